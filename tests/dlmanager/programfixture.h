#pragma once

// The download manager program run as the browser starts it: a program
// folder of the test's own, list files, runs and their logs and pages.

#include "dlmanager/partialfile.h"
#include "dlmanager/runstate.h"
#include "platform/base/registry.h"

#include "nginxserver.h"
#include "testenv.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sys/xattr.h>

namespace dltest {

namespace reg = platform::registry;

inline const QString kStage = QStringLiteral(Z5_STAGE_DIR);
inline const QString kExe = kStage + QStringLiteral("/Tool/Z5DownLoad.exe");

inline QByteArray randomBytes(qint64 size, uint64_t seed)
{
    QByteArray b(size, Qt::Uninitialized);
    std::mt19937_64 gen(seed);
    auto* p = reinterpret_cast<uint64_t*>(b.data());
    for (qint64 i = 0; i < size / 8; ++i)
        p[i] = gen();
    for (qint64 i = size / 8 * 8; i < size; ++i)
        b[i] = static_cast<char>(gen());
    return b;
}

inline QByteArray sha256(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result().toHex();
}

inline QByteArray sha256Of(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

class Z5DownLoadProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        prog = testenv::freshDir(QStringLiteral("Z5"));
        QDir().mkpath(prog + QStringLiteral("/Data"));
        QDir().mkpath(prog + QStringLiteral("/Language"));
        QFile::copy(kStage + QStringLiteral("/Language/English.ini"), prog + QStringLiteral("/Language/English.ini"));
        testenv::writeFile(prog + QStringLiteral("/Z5.exe"), "");
        reg::writeValue(reg::Hive::LocalMachine, QStringLiteral("Software\\Keldo\\Z5 Browser"),
                        QStringLiteral("Z5_APPLICATIONPATH"), reg::Value::string(prog));
        root = testenv::freshDir(QStringLiteral("www"));
        target = testenv::freshDir(QStringLiteral("target"));
    }

    void TearDown() override
    {
        if (process && process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    QString data(const QString& name) const { return prog + QStringLiteral("/Data/") + name; }

    // The list file as the browser writes it: kind, index, delay, options,
    // four empty lines, then the item lines.
    void writeList(const QString& name, const QStringList& items, const QString& options = QStringLiteral("101000"))
    {
        QByteArray text = "6\r\n1\r\n0\r\n" + options.toUtf8() + "\r\n\r\n\r\n\r\n\r\n";
        for (const QString& item : items)
            text += item.toUtf8() + "\r\n";
        ASSERT_TRUE(testenv::writeFile(data(name + QStringLiteral(".Z5P")), text));
    }

    QProcess* start(const QString& argument) { return start(QStringList{argument}); }
    QProcess* start(const QStringList& arguments)
    {
        process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(kExe, arguments);
        process->waitForStarted(5000);
        return process.get();
    }

    // Runs a list to its end; true when the program ended by itself in time.
    bool runList(const QString& name, const QString& flag = QStringLiteral("0"), int ms = 60000)
    {
        QProcess* p = start(name + QStringLiteral("||||||||||") + flag);
        return p->waitForFinished(ms) && p->exitStatus() == QProcess::NormalExit;
    }

    QStringList logRows(const QString& name) const
    {
        return QString::fromUtf8(testenv::readFile(data(name + QStringLiteral(".LOG")))).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    QString page(const QString& file) const { return QString::fromUtf8(testenv::readFile(data(file))); }

    // A partial file as the list's item on that line of the list file (9 for
    // the first) would have left it.
    bool plantOwnPartial(const QString& list, int line, const QString& url, const QString& finalPath, const QByteArray& bytes)
    {
        RunState run;
        run.ListBase = data(list);
        run.ItemLine = line;
        run.ItemURL = url;
        const QString path = finalPath + QStringLiteral("~~~");
        const QByteArray tag = PartialOwnerTag(run, finalPath);
        return testenv::writeFile(path, bytes) &&
               ::setxattr(QFile::encodeName(path).constData(), kPartialOwnerAttribute, tag.constData(),
                          static_cast<size_t>(tag.size()), 0) == 0;
    }

    QString item(const QString& name, const QString& url, const QString& folder) const
    {
        return name + QLatin1Char(',') + url + QStringLiteral(",,") + folder + QLatin1Char(',');
    }

    QString prog, root, target;
    testenv::NginxServer nginx;
    std::unique_ptr<QProcess> process;
};

} // namespace dltest
