#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace testenv {

// Home, settings, data, cache, runtime and temporary folders all below
// root, for a program run outside the test runner's private home (a
// benchmark): nothing it writes reaches the user's own. Call before the
// application is made.
inline void useHomeBelow(const QString& root)
{
    for (const char* sub : {"home", "config", "data", "cache", "tmp", "prog"})
        QDir().mkpath(root + QLatin1Char('/') + QLatin1String(sub));
    qputenv("HOME", QFile::encodeName(root + QStringLiteral("/home")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/data")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(root + QStringLiteral("/cache")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + QStringLiteral("/tmp")));
    qputenv("TMPDIR", QFile::encodeName(root + QStringLiteral("/tmp")));
    QFile::setPermissions(root + QStringLiteral("/tmp"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

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

// Copies the files and folders below from into to (made when missing).
inline void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + path.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(path, target);
    }
}

// While it lives, the user's documents folder (QStandardPaths) is folder:
// a configuration folder of its own names it. The registry follows the
// configuration folder too, so keep it to calls that read no settings.
class DocumentsAt {
public:
    explicit DocumentsAt(const QString& folder)
        : saved_(qgetenv("XDG_CONFIG_HOME")), had_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
    {
        const QString config = freshDir(QStringLiteral("documents-config"));
        writeFile(config + QStringLiteral("/user-dirs.dirs"),
                  "XDG_DOCUMENTS_DIR=\"" + folder.toUtf8() + "\"\n");
        qputenv("XDG_CONFIG_HOME", config.toUtf8());
    }
    ~DocumentsAt()
    {
        if (had_)
            qputenv("XDG_CONFIG_HOME", saved_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    DocumentsAt(const DocumentsAt&) = delete;
    DocumentsAt& operator=(const DocumentsAt&) = delete;

private:
    QByteArray saved_;
    bool had_;
};

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

// Collects what this process writes to standard error while it lives.
class StderrCapture {
public:
    StderrCapture() : path_(QDir::tempPath() + QStringLiteral("/stderr-capture.txt"))
    {
        fflush(stderr);
        saved_ = ::dup(2);
        const int fd = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(fd, 2);
        ::close(fd);
    }
    ~StderrCapture() { restore(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // What was written so far; the capture goes on.
    QString text() const
    {
        fflush(stderr);
        return QString::fromLocal8Bit(readFile(path_));
    }

private:
    void restore()
    {
        if (saved_ < 0)
            return;
        fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
        saved_ = -1;
    }

    QString path_;
    int saved_ = -1;
};

} // namespace testenv
