#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace testenv {

// A fresh folder below the test's private temporary home.
inline QString freshDir(const QString& name)
{
    QDir root(QDir::tempPath());
    const QString path = root.filePath(name);
    QDir(path).removeRecursively();
    root.mkpath(name);
    return path;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// Processes events until done() holds or ms milliseconds have passed;
// false when the time ran out.
template <typename F>
bool waitFor(F done, int ms = 5000)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

// Sends what the process writes to standard error into a file for the
// life of the object; text() is what was written so far.
class StderrCapture {
public:
    StderrCapture()
        : path_(QDir::temp().filePath(QStringLiteral("stderr-capture-%1.txt").arg(::getpid())))
    {
        std::fflush(stderr);
        saved_ = ::dup(2);
        const int fd = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::dup2(fd, 2);
            ::close(fd);
        }
    }
    ~StderrCapture()
    {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, 2);
            ::close(saved_);
        }
        QFile::remove(path_);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    QString text() const
    {
        std::fflush(stderr);
        return QString::fromLocal8Bit(readFile(path_));
    }

private:
    QString path_;
    int saved_ = -1;
};

} // namespace testenv
