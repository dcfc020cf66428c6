#include "core/language.h"

#include "core/globals.h"
#include "platform/base/textfile.h"
#include "platform/base/vbrt.h"

#include <QFile>
#include <QHash>

#include <cstdio>
#include <mutex>
#include <sys/stat.h>

// The language file's matching rules, which translators rely on:
// - a section starts at the first line whose first character is "[" and
//   whose text, trimmed of blanks and upper-cased, is "[" & SECTION & "]";
// - inside it, blank lines are skipped, the next "[" line ends it, and an
//   entry is "key=text" with the key compared case-insensitively and
//   untrimmed and the text trimmed of blanks;
// - a non-blank line without "=" inside the searched section ends the lookup
//   with the default untrimmed, as does a file that cannot be read; every
//   other miss returns the default trimmed.
//
// The file is read and indexed once and read again only when it changed on
// disk, so a lookup costs a stat and two hash look-ups. A file that cannot
// be read (too large, unreadable) is reported once and its refusal kept
// until it changes.

namespace {

constexpr qint64 kMaxLanguageBytes = 8 * 1024 * 1024;

struct SectionIndex {
    QHash<QString, QString> entries; // upper-cased key -> trimmed text
    bool endsInError = false;        // a malformed line cut the section short
};

struct LanguageIndex {
    QHash<QString, SectionIndex> sections; // "[NAME]" of the first header
};

bool isBlankLine(const QString& line)
{
    return vb::trim(line).isEmpty();
}

LanguageIndex buildIndex(const QStringList& lines)
{
    LanguageIndex index;
    SectionIndex* current = nullptr;
    for (const QString& line : lines) {
        if (isBlankLine(line))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const QString header = vb::trim(line.toUpper());
            current = index.sections.contains(header) ? nullptr : &index.sections[header];
            continue;
        }
        if (!current || current->endsInError)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) {
            current->endsInError = true;
            continue;
        }
        const QString key = line.left(eq).toUpper();
        if (!current->entries.contains(key))
            current->entries.insert(key, vb::trim(line.mid(eq + 1)));
    }
    return index;
}

struct CachedFile {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = -1;
    timespec mtime{};
    bool refused = false; // too large or unreadable: lookups give the default
    LanguageIndex index;

    bool sameFileAs(const struct stat& st) const
    {
        return dev == st.st_dev && ino == st.st_ino && size == st.st_size && mtime.tv_sec == st.st_mtim.tv_sec
               && mtime.tv_nsec == st.st_mtim.tv_nsec;
    }
};

std::mutex cacheMutex;
QHash<QString, CachedFile> cache;

// The index of the file, or nullptr when it cannot be read.
const LanguageIndex* indexFor(const QString& filePath)
{
    struct stat st {};
    if (::stat(QFile::encodeName(filePath).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        cache.remove(filePath);
        return nullptr;
    }
    auto it = cache.find(filePath);
    if (it != cache.end() && it->sameFileAs(st))
        return it->refused ? nullptr : &it->index;
    auto lines = st.st_size > kMaxLanguageBytes ? std::nullopt
                                                 : platform::textfile::readLines(filePath, kMaxLanguageBytes);
    if (!lines) {
        // Said once and remembered until the file changes: lookups come by
        // the hundred, and each would read the file again.
        std::fprintf(stderr, "Z5: the language file %s cannot be read%s; English texts are used\n",
                     QFile::encodeName(filePath).constData(),
                     st.st_size > kMaxLanguageBytes ? " (it is too large)" : "");
        CachedFile refused{st.st_dev, st.st_ino, st.st_size, st.st_mtim, true, {}};
        cache.insert(filePath, std::move(refused));
        return nullptr;
    }
    if (!lines->isEmpty() && lines->first().startsWith(QChar(0xFEFF)))
        (*lines)[0].remove(0, 1);
    CachedFile entry{st.st_dev, st.st_ino, st.st_size, st.st_mtim, false, buildIndex(*lines)};
    return &cache.insert(filePath, std::move(entry))->index;
}

} // namespace

QString ReadIniValue(const QString& section, const QString& key, const QString& defaultValue,
                     const QString& filePath)
{
    std::lock_guard guard(cacheMutex);
    const LanguageIndex* index = indexFor(filePath);
    if (!index)
        return defaultValue;
    const auto s = index->sections.constFind(QLatin1Char('[') + section.toUpper() + QLatin1Char(']'));
    if (s == index->sections.cend())
        return vb::trim(defaultValue);
    const auto e = s->entries.constFind(key.toUpper());
    if (e != s->entries.cend())
        return *e;
    return s->endsInError ? defaultValue : vb::trim(defaultValue);
}

QString GetLangString(const QString& section, const QString& key, const QString& englishDefault)
{
    return ReadIniValue(section, key, englishDefault, LanguageFilePath);
}

QString GetLangCaption(const QString& section, const QString& key, const QString& englishDefault)
{
    return QLatin1Char(' ') + GetLangString(section, key, englishDefault) + QLatin1Char(' ');
}

std::optional<int16_t> GetOptionDigit(const QString& optionString, int16_t position)
{
    if (position < 1 || position > optionString.size())
        return std::nullopt;
    const QChar c = optionString[position - 1];
    if (!c.isDigit() || c.unicode() > 127)
        return std::nullopt;
    return static_cast<int16_t>(c.unicode() - '0');
}

bool SetOptionDigit(QString& optionString, int16_t position, int16_t value)
{
    if (position < 1)
        return false;
    optionString = optionString.left(position - 1) + QString::number(value) + vb::mid(optionString, position + 1);
    return true;
}
