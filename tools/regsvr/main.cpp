// regsvr [/u] LIBRARY
// Registers (or with /u unregisters) an in-process server library by running
// its own DllRegisterServer (DllUnregisterServer), as an installer does.
// Exit status: 0 done, 1 bad command line, 3 the library did not load,
// 4 it has no such entry point, 5 the entry point reported a failure.

#include "platform/base/com.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    QStringList args = app.arguments();
    args.removeFirst();

    bool unregister = false;
    QString library;
    for (const QString& a : args) {
        if (a.compare(QLatin1String("/u"), Qt::CaseInsensitive) == 0 || a == QLatin1String("-u")) {
            unregister = true;
        } else if (library.isEmpty() && !a.isEmpty()) {
            library = a;
        } else {
            library.clear();
            break;
        }
    }
    if (library.isEmpty()) {
        err << "Usage: regsvr [/u] LIBRARY\n";
        return 1;
    }

    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    const auto r = unregister ? platform::com::unregisterServer(library) : platform::com::registerServer(library);
    switch (r.status) {
    case platform::com::RegistrationStatus::Done:
        out << entry << " in " << library << " succeeded.\n";
        return 0;
    case platform::com::RegistrationStatus::NotLoaded:
        err << "The library " << library << " could not be loaded: " << r.detail << "\n";
        return 3;
    case platform::com::RegistrationStatus::NoEntryPoint:
        err << library << " was loaded, but the entry point " << entry << " was not found.\n";
        return 4;
    case platform::com::RegistrationStatus::Failed:
        err << entry << " in " << library << " failed with code 0x"
            << QString::number(uint32_t(r.code), 16).rightJustified(8, QLatin1Char('0')) << ".\n";
        return 5;
    case platform::com::RegistrationStatus::TimedOut:
    case platform::com::RegistrationStatus::NoThread:
        break; // only runs on a thread of their own end so
    }
    return 5;
}
