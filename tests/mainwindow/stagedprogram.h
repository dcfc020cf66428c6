#pragma once

// The staged program folder copied into a test's fresh home and installed
// there as the installer would: the skin registered, the font in place.

#include "platform/base/paths.h"

#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <gtest/gtest.h>

namespace testenv {

// The copy's folder in prog; the fonts folder the font went to in fonts.
inline testing::AssertionResult installProgramCopy(QString& prog, QString& fonts)
{
    const QString stage = QStringLiteral(Z5_STAGE_DIR);
    prog = freshDir(QStringLiteral("Z5"));
    for (const QString& sub : {QStringLiteral("Common"), QStringLiteral("Language"), QStringLiteral("Skin"),
                               QStringLiteral("Help"), QStringLiteral("Data"), QStringLiteral("Tool")})
        copyTree(stage + QLatin1Char('/') + sub, prog + QLatin1Char('/') + sub);
    for (const QString& f : QDir(stage).entryList({QStringLiteral("*.so"), QStringLiteral("Z51.DAT")}, QDir::Files))
        QFile::copy(stage + QLatin1Char('/') + f, prog + QLatin1Char('/') + f);
    QProcess regsvr;
    regsvr.start(QStringLiteral(Z5_BIN_DIR "/regsvr"), {prog + QStringLiteral("/Skin/SK_Morvane_1.dll")});
    if (!regsvr.waitForFinished(30000) || regsvr.exitCode() != 0)
        return testing::AssertionFailure() << "the skin was not registered";
    fonts = platform::paths::fontsFolder();
    QFile::remove(fonts + QStringLiteral("/MICROSS.TTF"));
    if (!QFile::copy(prog + QStringLiteral("/Common/MICROSS.TTF"), fonts + QStringLiteral("/MICROSS.TTF")))
        return testing::AssertionFailure() << "the font was not copied";
    return testing::AssertionSuccess();
}

} // namespace testenv
