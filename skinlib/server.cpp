// The entry points of a skin library: self-registration of its one class
// under "<library>.clsResources" and creation of its objects.

#include "platform/base/com.h"
#include "skinlib/clsresources.h"

#include <cstdint>
#include <cstring>

namespace {

platform::com::ClassRegistration classRegistration()
{
    return {QStringLiteral(Z5_SKIN_LIBRARY ".clsResources"), QStringLiteral(Z5_SKIN_CLSID)};
}

} // namespace

PLATFORM_COM_ENTRY int32_t DllRegisterServer()
{
    const QString path = platform::com::libraryPathOf(reinterpret_cast<const void*>(&DllRegisterServer));
    return platform::com::registerClass(classRegistration(), path) ? platform::com::Ok
                                                                   : platform::com::RegistrationFailed;
}

PLATFORM_COM_ENTRY int32_t DllUnregisterServer()
{
    return platform::com::unregisterClass(classRegistration()) ? platform::com::Ok
                                                               : platform::com::RegistrationFailed;
}

PLATFORM_COM_ENTRY int32_t DllGetClassObject(const char* clsid, QObject** object)
{
    if (!object)
        return platform::com::Fail;
    *object = nullptr;
    if (!clsid || QString::fromLatin1(clsid).compare(QLatin1String(Z5_SKIN_CLSID), Qt::CaseInsensitive) != 0)
        return platform::com::ClassNotAvailable;
    *object = new clsResources();
    return platform::com::Ok;
}

PLATFORM_COM_ENTRY int32_t DllCanUnloadNow()
{
    return clsResources::liveObjects() == 0 ? platform::com::Ok : platform::com::StillInUse;
}
