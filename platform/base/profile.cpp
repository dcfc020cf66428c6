#include "platform/base/profile.h"

#include "platform/base/textfile.h"

#include <QFile>

namespace platform::profile {

namespace {

QString blankTrimmed(const QString& s)
{
    return s.trimmed();
}

// The section a line opens, or nullopt when it is no header.
std::optional<QString> headerName(const QString& line)
{
    const QString t = blankTrimmed(line);
    if (t.size() < 2 || !t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']')))
        return std::nullopt;
    return blankTrimmed(t.mid(1, t.size() - 2));
}

struct Entry {
    QString key;
    QString value;
};

std::optional<Entry> entry(const QString& line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    const QString t = blankTrimmed(line);
    if (eq < 0 || t.startsWith(QLatin1Char(';')))
        return std::nullopt;
    return Entry{blankTrimmed(line.left(eq)), blankTrimmed(line.mid(eq + 1))};
}

bool same(const QString& a, const QString& b)
{
    return blankTrimmed(a).compare(blankTrimmed(b), Qt::CaseInsensitive) == 0;
}

QStringList lines(const QString& path)
{
    return textfile::readLines(path, kMaxProfileBytes).value_or(QStringList());
}

bool usesCrLf(const QString& path)
{
    const auto bytes = textfile::readAll(path, kMaxProfileBytes);
    return bytes && bytes->contains("\r\n");
}

bool save(const QString& path, const QStringList& content, bool crlf)
{
    const QString eol = crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const QString& l : content)
        text += l + eol;
    return textfile::writeAtomically(path, text.toUtf8());
}

} // namespace

QString readString(const QString& filePath, const QString& section, const QString& key, const QString& defaultValue)
{
    bool inSection = false;
    for (const QString& line : lines(filePath)) {
        if (const auto h = headerName(line)) {
            inSection = same(*h, section);
            continue;
        }
        if (!inSection)
            continue;
        if (const auto e = entry(line); e && same(e->key, key))
            return e->value;
    }
    return defaultValue;
}

bool writeString(const QString& filePath, const QString& section, const QString& key, const QString& value)
{
    // A line break would start lines of its own (another entry, another
    // section): text taken from pages and users never gets that far.
    for (const QString* text : {&section, &key, &value})
        if (text->contains(QLatin1Char('\n')) || text->contains(QLatin1Char('\r')))
            return false;
    // Nor may a key read back as something else: "a=b" would be key "a",
    // ";x" a comment and "[x" a section header.
    const QString trimmedKey = blankTrimmed(key);
    if (key.contains(QLatin1Char('=')) || trimmedKey.startsWith(QLatin1Char(';'))
        || trimmedKey.startsWith(QLatin1Char('[')))
        return false;
    const bool exists = QFile::exists(filePath);
    if (exists && !textfile::readAll(filePath, kMaxProfileBytes))
        return false; // unreadable or too large: never overwrite it
    QStringList content = lines(filePath);
    const QString newLine = blankTrimmed(key) + QLatin1Char('=') + value;
    bool inSection = false;
    qsizetype sectionEnd = -1;
    for (qsizetype i = 0; i < content.size(); ++i) {
        if (const auto h = headerName(content[i])) {
            if (inSection)
                break;
            inSection = same(*h, section);
            if (inSection)
                sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (const auto e = entry(content[i]); e && same(e->key, key)) {
            content[i] = e->key + QLatin1Char('=') + value; // the key keeps its spelling
            return save(filePath, content, usesCrLf(filePath));
        }
        if (!blankTrimmed(content[i]).isEmpty())
            sectionEnd = i + 1;
    }
    if (sectionEnd < 0) {
        content << (QLatin1Char('[') + blankTrimmed(section) + QLatin1Char(']')) << newLine;
    } else {
        content.insert(sectionEnd, newLine);
    }
    return save(filePath, content, exists ? usesCrLf(filePath) : true);
}

bool removeKey(const QString& filePath, const QString& section, const QString& key)
{
    QStringList content = lines(filePath);
    bool inSection = false;
    for (qsizetype i = 0; i < content.size(); ++i) {
        if (const auto h = headerName(content[i])) {
            inSection = same(*h, section);
            continue;
        }
        if (inSection) {
            if (const auto e = entry(content[i]); e && same(e->key, key)) {
                content.removeAt(i);
                return save(filePath, content, usesCrLf(filePath));
            }
        }
    }
    return false;
}

QStringList sectionNames(const QString& filePath)
{
    QStringList names;
    for (const QString& line : lines(filePath))
        if (const auto h = headerName(line))
            names << *h;
    return names;
}

QStringList keyNames(const QString& filePath, const QString& section)
{
    QStringList names;
    bool inSection = false;
    for (const QString& line : lines(filePath)) {
        if (const auto h = headerName(line)) {
            inSection = same(*h, section);
            continue;
        }
        if (inSection)
            if (const auto e = entry(line))
                names << e->key;
    }
    return names;
}

} // namespace platform::profile
