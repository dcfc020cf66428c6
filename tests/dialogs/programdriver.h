#pragma once

// The staged browser program run in a test's fresh home and driven from
// outside: real mouse clicks and keys through its input driver
// (PLATFORM_DRIVE_DIR), its prompts logged and answered from files, its
// registry read back with the `reg` command.

#include "platform/base/paths.h"
#include "platform/base/registry.h"

#include "tests/mainwindow/stagedprogram.h"
#include "testenv.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

// QStrings in failure messages as text.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace programdriver {

class DrivenProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testenv::installProgramCopy(prog, fonts));
        work = testenv::freshDir(QStringLiteral("work"));
        driveDir = testenv::freshDir(QStringLiteral("drive"));
    }

    void TearDown() override
    {
        for (auto& p : running) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(10000);
            }
        }
    }

    // Starts Z5.exe with its input driver, its prompts logged to
    // prompts.txt and pickers answered from answers.txt (written before).
    QProcess* start(const QStringList& args = {}, const QMap<QString, QString>& extraEnv = {})
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PLATFORM_PROGRAM_DIR"), prog);
        env.insert(QStringLiteral("PLATFORM_PROMPT_LOG"), work + QStringLiteral("/prompts.txt"));
        env.insert(QStringLiteral("PLATFORM_PROMPT_ANSWERS"), work + QStringLiteral("/answers.txt"));
        env.insert(QStringLiteral("PLATFORM_DRIVE_DIR"), driveDir);
        for (auto it = extraEnv.begin(); it != extraEnv.end(); ++it)
            env.insert(it.key(), it.value());
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(Z5_STAGE_DIR "/Z5.exe"), args);
        running.push_back(std::move(p));
        return running.back().get();
    }

    // Sends the commands (fields separated by tabs) and waits for their
    // answers, one per command; an empty list when none came in time.
    QStringList drive(const QStringList& commands, int ms = 60000)
    {
        const QString name = QString::number(++scripts);
        const QString temporary = driveDir + QStringLiteral("/.part-") + name;
        if (!testenv::writeFile(temporary, (commands.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8())
            || !QFile::rename(temporary, driveDir + QStringLiteral("/do-") + name))
            return {};
        const QString answers = driveDir + QLatin1Char('/') + name + QStringLiteral(".txt");
        if (!testenv::waitFor([&] { return QFile::exists(answers); }, ms))
            return {};
        return QString::fromUtf8(testenv::readFile(answers)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Every command answered "ok".
    ::testing::AssertionResult driveOk(const QStringList& commands, int ms = 60000)
    {
        const QStringList answers = drive(commands, ms);
        if (answers.size() != commands.size())
            return ::testing::AssertionFailure() << "answers: " << answers.join(QLatin1Char('|')).toStdString();
        for (int i = 0; i < answers.size(); ++i)
            if (answers[i] != QLatin1String("ok"))
                return ::testing::AssertionFailure() << commands[i].toStdString() << " -> " << answers[i].toStdString();
        return ::testing::AssertionSuccess();
    }
    // The state line of one control ("enabled TAB visible TAB value TAB text").
    QStringList state(const QString& window, const QString& control)
    {
        return drive({QStringLiteral("state\t%1\t%2").arg(window, control)}).value(0).split(QLatin1Char('\t'));
    }

    // A click at a check box's or option button's box, at its left end.
    static QString tick(const QString& control) { return QStringLiteral("click\tPreferences\t%1\t8\t9").arg(control); }
    static QString click(const QString& control, const QString& window = QStringLiteral("Preferences"))
    {
        return QStringLiteral("click\t%1\t%2").arg(window, control);
    }
    // A box's text replaced by typing.
    static QStringList retype(const QString& control, const QString& text)
    {
        return {click(control), QStringLiteral("key\tPreferences\tEnd"), QStringLiteral("key\tPreferences\tShift+Home"),
                QStringLiteral("type\tPreferences\t") + text};
    }
    // Edit > Preferences by mouse: the menu caption, then the menu's row.
    static QStringList openPreferences()
    {
        return {QStringLiteral("wait\tZ5"), QStringLiteral("click\tZ5\tcmdMenu(1)"), QStringLiteral("menu\t0\t8"),
                QStringLiteral("wait\tPreferences")};
    }

    QStringList prompts() const
    {
        return QString::fromUtf8(testenv::readFile(work + QStringLiteral("/prompts.txt")))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    bool prompted(const QString& text) const
    {
        for (const QString& line : prompts())
            if (line.contains(text))
                return true;
        return false;
    }

    // `reg query KEY /s` on the real hive files, as a user would run it.
    QString regQuery(const QString& key) const
    {
        QProcess reg;
        reg.start(QStringLiteral(Z5_BIN_DIR "/reg"), {QStringLiteral("query"), key, QStringLiteral("/s")});
        if (!reg.waitForFinished(30000))
            return {};
        return QString::fromUtf8(reg.readAllStandardOutput());
    }
    // The value lines of one key in a `reg query` listing: "NAME TYPE DATA"
    // with single blanks, in the listed order.
    static QStringList valuesOf(const QString& listing, const QString& key)
    {
        QString full = key;
        full.replace(QRegularExpression(QStringLiteral("^HKCU\\\\")), QStringLiteral("HKEY_CURRENT_USER\\"))
            .replace(QRegularExpression(QStringLiteral("^HKLM\\\\")), QStringLiteral("HKEY_LOCAL_MACHINE\\"));
        QStringList out;
        bool inKey = false;
        for (const QString& line : listing.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("HKEY_"))) {
                inKey = line.trimmed().compare(full, Qt::CaseInsensitive) == 0;
                continue;
            }
            if (inKey && !line.trimmed().isEmpty())
                out << line.trimmed().replace(QStringLiteral("    "), QStringLiteral(" "));
        }
        return out;
    }

    // Closes the program as a user does, by its window's close button, and
    // waits for its end.
    bool closeByItsButton(QProcess* p)
    {
        const QString name = QString::number(++scripts);
        testenv::writeFile(driveDir + QStringLiteral("/.part-") + name, "click\tZ5\tcmdFormControl(3)\n");
        QFile::rename(driveDir + QStringLiteral("/.part-") + name, driveDir + QStringLiteral("/do-") + name);
        return p->waitForFinished(60000) && p->exitStatus() == QProcess::NormalExit;
    }

    QString prog;
    QString fonts;
    QString work;
    QString driveDir;
    int scripts = 0;
    std::vector<std::unique_ptr<QProcess>> running;
};

} // namespace programdriver
