// The libraries a removal meets, one per TEST_SKIN_KIND:
//   1 unregisters its class "SK_Goes_Away.clsResources" (and registers it);
//   2 has no registration entry points at all;
//   3 never returns from DllUnregisterServer (its beats go on counting);
//   4 returns a failure code from DllUnregisterServer.

#include "platform/base/com.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#if TEST_SKIN_KIND == 1
namespace {
platform::com::ClassRegistration goesAway()
{
    return {QStringLiteral("SK_Goes_Away.clsResources"), QStringLiteral("{3C1E7B52-8F0D-4A6B-9E21-5B7D0C4F1A93}")};
}
} // namespace

PLATFORM_COM_ENTRY int32_t DllRegisterServer()
{
    const QString path = platform::com::libraryPathOf(reinterpret_cast<const void*>(&DllRegisterServer));
    return platform::com::registerClass(goesAway(), path) ? platform::com::Ok : platform::com::RegistrationFailed;
}

PLATFORM_COM_ENTRY int32_t DllUnregisterServer()
{
    return platform::com::unregisterClass(goesAway()) ? platform::com::Ok : platform::com::RegistrationFailed;
}
#elif TEST_SKIN_KIND == 2
extern "C" __attribute__((visibility("default"))) int testSkinNothingHere() { return 7; }
#elif TEST_SKIN_KIND == 3
namespace {
std::atomic<int64_t> beats{0};
}

extern "C" __attribute__((visibility("default"))) int64_t testSkinBeats() { return beats.load(); }

PLATFORM_COM_ENTRY int32_t DllRegisterServer() { return platform::com::Ok; }

PLATFORM_COM_ENTRY int32_t DllUnregisterServer()
{
    for (;;) {
        ++beats;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
#elif TEST_SKIN_KIND == 4
PLATFORM_COM_ENTRY int32_t DllRegisterServer() { return platform::com::Ok; }
PLATFORM_COM_ENTRY int32_t DllUnregisterServer() { return platform::com::RegistrationFailed; }
#endif
