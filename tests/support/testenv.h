#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

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

} // namespace testenv
