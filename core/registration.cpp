#include "core/registration.h"

#include "core/settingsstore.h"
#include "platform/base/paths.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace reg = platform::registry;

namespace {
const QString kHtmlClass = QStringLiteral("Z5Browser.HTML");
const QString kClientKey = QStringLiteral("SOFTWARE\\CLIENTS\\StartMenuInternet\\Z5.EXE");
const QString kClasses = QStringLiteral("SOFTWARE\\CLASSES\\");
} // namespace

QString ProgramExeStem()
{
    const QString file = QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                                      : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    QString name = QFileInfo(file).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        name.truncate(dot);
    return platform::paths::programFolder() + QLatin1Char('\\') + name;
}

void RegisterFileTypes()
{
    const QString folder = platform::paths::programFolder();
    const QString open = folder + QStringLiteral("\\Z5.exe") + QStringLiteral(" %1");
    const QString icon = folder + QStringLiteral("\\Z5.exe") + QStringLiteral(",1");
    const auto row = [](const QString& key, const QString& value) {
        return reg::ValueWrite{key, QString(), reg::Value::string(value)};
    };
    // One change of the hive file: a first start writes it once, and the
    // types are registered whole or not at all.
    reg::writeValues(HiveClassesRoot, {
                                          row(QStringLiteral(".z5p"), QStringLiteral("Z5.PlayList")),
                                          row(QStringLiteral("Z5.PlayList"), QStringLiteral("Z5 Playlist File")),
                                          row(QStringLiteral("Z5.PlayList\\shell\\open\\command"), open),
                                          row(QStringLiteral("Z5.PlayList\\DefaultIcon"), icon),
                                          row(QStringLiteral(".z5s"), QStringLiteral("Z5.WebSnippet")),
                                          row(QStringLiteral("Z5.WebSnippet"), QStringLiteral("Z5 WebSnippet File")),
                                          row(QStringLiteral("Z5.WebSnippet\\shell\\open\\command"), open),
                                          row(QStringLiteral("Z5.WebSnippet\\DefaultIcon"), icon),
                                      });
}

void MakeDefaultBrowser()
{
    const QString exe = ProgramExeStem();
    const QString icon = exe + QStringLiteral(".EXE,0");
    const QString open = exe + QStringLiteral(".EXE") + QStringLiteral(" \"%1\"");

    // 1. The Start-menu Internet client.
    for (const QString& sub : {QString(), QStringLiteral("\\DefaultIcon"), QStringLiteral("\\shell"),
                               QStringLiteral("\\shell\\open"), QStringLiteral("\\shell\\open\\command")})
        CreateRegistryKey(HiveLocalMachine, kClientKey + sub);

    // 2. Its values and the page extensions.
    WriteRegistryValue(HiveLocalMachine, QStringLiteral("SOFTWARE\\CLIENTS\\StartMenuInternet"), QString(),
                       QStringLiteral("Z5.EXE"));
    WriteRegistryValue(HiveLocalMachine, kClientKey, QStringLiteral("LocalizedString"), QStringLiteral("Z5"));
    WriteRegistryValue(HiveLocalMachine, kClientKey + QStringLiteral("\\DefaultIcon"), QString(), icon);
    WriteRegistryValue(HiveLocalMachine, kClientKey + QStringLiteral("\\shell\\open\\command"), QString(),
                       exe + QStringLiteral(".EXE"));
    WriteRegistryValue(HiveLocalMachine, kClasses + QStringLiteral(".htm"), QString(), kHtmlClass);
    WriteRegistryValue(HiveLocalMachine, kClasses + QStringLiteral(".html"), QString(), kHtmlClass);

    // 3. The page class and the open commands of the two protocols.
    const QString classKey = kClasses + kHtmlClass;
    for (const QString& sub : {QString(), QStringLiteral("\\DefaultIcon"), QStringLiteral("\\shell"),
                               QStringLiteral("\\shell\\open"), QStringLiteral("\\shell\\open\\command")})
        CreateRegistryKey(HiveLocalMachine, classKey + sub);
    WriteRegistryValue(HiveLocalMachine, classKey, QString(), QStringLiteral("HTML Document"));
    WriteRegistryValue(HiveLocalMachine, classKey + QStringLiteral("\\DefaultIcon"), QString(), icon);
    WriteRegistryValue(HiveLocalMachine, classKey + QStringLiteral("\\shell\\open\\command"), QString(), open);
    WriteRegistryValue(HiveLocalMachine, kClasses + QStringLiteral("http\\shell\\open\\command"), QString(), open);
    WriteRegistryValue(HiveLocalMachine, kClasses + QStringLiteral("https\\shell\\open\\command"), QString(), open);

    // 4. No hand-over of the protocols by dynamic data exchange.
    for (const QString& protocol : {QStringLiteral("http"), QStringLiteral("https")}) {
        const QString openKey = kClasses + protocol + QStringLiteral("\\shell\\open");
        DeleteRegistryKey(HiveLocalMachine, openKey + QStringLiteral("\\ddeexec"), QStringLiteral("Application"));
        DeleteRegistryKey(HiveLocalMachine, openKey + QStringLiteral("\\ddeexec"), QStringLiteral("Topic"));
        DeleteRegistryKey(HiveLocalMachine, openKey, QStringLiteral("ddeexec"));
    }
}

bool IsDefaultBrowser()
{
    return ReadRegistryString(HiveLocalMachine, kClasses + QStringLiteral(".htm"), QString()) == kHtmlClass;
}
