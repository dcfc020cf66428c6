// A small in-process server for the tests of objects by ProgID: the class
// "PlatformTest.Echo". PLATFORM_TEST_FAIL_REGISTRATION=1 makes its
// registration entry points report a failure.

#include "platform/base/com.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <cstdint>

namespace {

const char kClsid[] = "{5D0C4E41-2B7A-4C0E-9A33-7F1E6B2D8C10}";

class Echo : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE QVariant Twice(qint16 n) { return int(n) * 2; }
    Q_INVOKABLE QString Join(const QString& a, const QString& b) { return a + QLatin1Char('|') + b; }
    Q_INVOKABLE int Fail(int number)
    {
        platform::com::raise(this, number, QStringLiteral("asked to fail"));
        return 0;
    }
    Q_INVOKABLE void Nothing() {}
};

platform::com::ClassRegistration reg()
{
    return {QStringLiteral("PlatformTest.Echo"), QString::fromLatin1(kClsid)};
}

bool failing() { return qEnvironmentVariable("PLATFORM_TEST_FAIL_REGISTRATION") == QLatin1String("1"); }

} // namespace

PLATFORM_COM_ENTRY int32_t DllRegisterServer()
{
    if (failing())
        return platform::com::RegistrationFailed;
    const QString path = platform::com::libraryPathOf(reinterpret_cast<const void*>(&DllRegisterServer));
    return platform::com::registerClass(reg(), path) ? platform::com::Ok : platform::com::RegistrationFailed;
}

PLATFORM_COM_ENTRY int32_t DllUnregisterServer()
{
    if (failing())
        return platform::com::RegistrationFailed;
    return platform::com::unregisterClass(reg()) ? platform::com::Ok : platform::com::RegistrationFailed;
}

PLATFORM_COM_ENTRY int32_t DllGetClassObject(const char* clsid, QObject** object)
{
    *object = nullptr;
    if (QString::fromLatin1(clsid).compare(QString::fromLatin1(kClsid), Qt::CaseInsensitive) != 0)
        return platform::com::ClassNotAvailable;
    *object = new Echo();
    return platform::com::Ok;
}

PLATFORM_COM_ENTRY int32_t DllCanUnloadNow() { return platform::com::Ok; }

#include "comserver.moc"
