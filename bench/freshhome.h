#pragma once

// A fresh home for a staged program started by a bench: its own HOME and
// XDG folders (so its settings, caches and fonts start empty), the skin
// registered and the font in place as the installer does, offscreen unless
// the caller's environment names a platform.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <unistd.h>

namespace benchhome {

// The environment of a program living in the fresh home (emptied first);
// ok false when the skin could not be registered.
inline QProcessEnvironment freshHome(const QString& home, bool* ok = nullptr)
{
    QDir(home).removeRecursively();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* sub : {"home", "config", "data", "cache", "tmp"})
        QDir().mkpath(home + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(home + QStringLiteral("/tmp"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QStringLiteral("HOME"), home + QStringLiteral("/home"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/tmp"));
    env.insert(QStringLiteral("TMPDIR"), home + QStringLiteral("/tmp"));
    if (::getuid() == 0)
        env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess regsvr;
    regsvr.setProcessEnvironment(env);
    regsvr.start(QStringLiteral(Z5_BIN_DIR "/regsvr"), {QStringLiteral(Z5_STAGE_DIR "/Skin/SK_Morvane_1.dll")});
    const bool registered = regsvr.waitForFinished(30000) && regsvr.exitCode() == 0;
    if (ok)
        *ok = registered;
    QDir().mkpath(home + QStringLiteral("/data/fonts"));
    QFile::copy(QStringLiteral(Z5_STAGE_DIR "/Common/MICROSS.TTF"), home + QStringLiteral("/data/fonts/MICROSS.TTF"));
    return env;
}

} // namespace benchhome
