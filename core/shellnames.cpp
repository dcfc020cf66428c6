#include "core/shellnames.h"

#include "core/language.h"
#include "platform/base/paths.h"
#include "platform/base/vbrt.h"
#include "platform/win/shell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

namespace shell = platform::shell;

int csidlOfFolderIndex(int16_t index)
{
    switch (index) {
    case 1: return shell::csidl::Favorites;
    case 2: return shell::csidl::System;
    case 3: return shell::csidl::ProgramFiles;
    case 4: return shell::csidl::Personal;
    case 5: return shell::csidl::Desktop;
    case 6: return shell::csidl::Fonts;
    case 7: return shell::csidl::Windows;
    case 8: return shell::csidl::AppData;
    default: return index;
    }
}

int csidlOfPlaceIndex(int16_t index)
{
    switch (index) {
    case 1: return shell::csidl::MyComputer;
    case 2: return shell::csidl::Network;
    case 3: return shell::csidl::Desktop;
    case 4: return shell::csidl::ControlPanel;
    case 5: return shell::csidl::Printers;
    case 6: return shell::csidl::NetworkConnections;
    default: return index;
    }
}

bool isControlOrBlank(QChar c)
{
    return c.unicode() <= 32;
}

} // namespace

QString GetSpecialFolder(int16_t index)
{
    const std::optional<QByteArray> list = shell::specialFolderLocation(csidlOfFolderIndex(index));
    if (!list)
        return {};
    return shell::pathFromItemIdList(*list).value_or(QString());
}

QByteArray GetSpecialFolderIdList(int16_t index)
{
    const std::optional<QByteArray> list = shell::specialFolderLocation(csidlOfPlaceIndex(index));
    if (!list)
        return {};
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(list->constData()),
                                         static_cast<size_t>(list->size()));
    const int size = GetIdListSize(bytes);
    if (size == 0)
        return {};
    return list->left(size);
}

QString SpecialPlaceName(int number)
{
    // Keys and English names in the order of their numbers.
    static constexpr const char* names[kSpecialPlaceCount][2] = {
        {"9500", "My Computer"},         {"9501", "Desktop"},              {"9502", "My Network Places"},
        {"9503", "Control Panel"},       {"9504", "Printers and Faxes"},   {"9505", "Recycle Bin"},
        {"9506", "Network Connections"}, {"9507", "Scanners and Cameras"}, {"9508", "Scheduled Tasks"}};
    if (number < 1 || number > kSpecialPlaceCount)
        return {};
    return GetLangString(QStringLiteral("WINDOWS"), QLatin1String(names[number - 1][0]),
                         QLatin1String(names[number - 1][1]));
}

int SpecialPlaceOfAddress(const QString& address)
{
    const QUrl url(address);
    if (!url.isLocalFile() || !url.host().isEmpty())
        return 0;
    const QString path = QDir::cleanPath(url.toLocalFile());
    const struct {
        int folder;
        int place;
    } places[] = {{shell::csidl::Desktop, kDesktopPlaceNumber}, {shell::csidl::BitBucket, kRecycleBinPlaceNumber}};
    for (const auto& p : places) {
        const std::optional<QString> folder = shell::specialFolderPath(p.folder);
        if (folder && QDir::cleanPath(*folder) == path)
            return p.place;
    }
    return 0;
}

QString ShownLocationName(const QString& address, const QString& pageName)
{
    const int place = SpecialPlaceOfAddress(address);
    return place > 0 ? SpecialPlaceName(place) : pageName;
}

uint16_t ReadIdListWord(std::span<const uint8_t> at)
{
    if (at.size() < 2)
        return 0;
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

std::span<const uint8_t> NextIdListItem(std::span<const uint8_t> at)
{
    const uint16_t count = ReadIdListWord(at);
    if (count == 0 || count > at.size())
        return {};
    return at.subspan(count);
}

int GetIdListSize(std::span<const uint8_t> list)
{
    if (list.empty())
        return 0;
    int size = 0;
    std::span<const uint8_t> at = list;
    while (ReadIdListWord(at) != 0) {
        size += ReadIdListWord(at);
        at = NextIdListItem(at);
    }
    return size + 2;
}

QString GetTempFolder()
{
    const QString temp = vb::trim(platform::paths::privateTempFolder());
    if (temp.isEmpty() || temp.size() >= 511)
        return {};
    return LongPathOf(temp + QLatin1Char('/'));
}

QString LongPathOf(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!p.startsWith(QLatin1Char('/')))
        return {};
    // Text after the last separator is not taken over.
    const QString folder = p.left(p.lastIndexOf(QLatin1Char('/')) + 1);
    const QStringList names = folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString result;
    for (const QString& name : names) {
        QString stored;
        if (name == QLatin1String(".") || name == QLatin1String("..")) {
            stored = name;
        } else {
            // toLocal finds the entry whatever the case of the name written.
            const QString found = platform::paths::toLocal(result + QLatin1Char('/') + name);
            if (!QFileInfo::exists(found))
                return {};
            stored = found.mid(found.lastIndexOf(QLatin1Char('/')) + 1);
        }
        result += QLatin1Char('/') + stored;
    }
    return result.isEmpty() ? QStringLiteral("/") : QDir::cleanPath(result);
}

bool MakeTempFileName(const QString& folder, const QString& prefix, uint16_t unique, QString& tempFileName)
{
    const QString stem = prefix.left(3);
    if (stem.contains(QLatin1Char('/')) || stem.contains(QLatin1Char('\\')))
        return false;
    // The folder is opened once and the file made relative to it, so it
    // lands in the folder that was looked at.
    QString dir;
    int dirFd = -1;
    if (folder.isEmpty()) {
        dir = platform::paths::privateTempFolder();
        dirFd = platform::paths::openPrivateTempFolder();
    } else {
        dir = platform::paths::toLocal(folder);
        dirFd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (dir.isEmpty() || dirFd < 0) {
        if (dirFd >= 0)
            ::close(dirFd);
        return false;
    }
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    const auto nameOf = [&stem](uint16_t n) -> QString { return stem + vb::hex(n) + QStringLiteral(".tmp"); };
    if (unique != 0) {
        ::close(dirFd);
        tempFileName = TrimControlChars(dir + nameOf(unique));
        return true;
    }
    // Numbers from a clock-derived start, each tried once; the file is
    // created exclusively, so two processes never get the same name.
    const uint16_t start = static_cast<uint16_t>(QTime::currentTime().msecsSinceStartOfDay());
    bool made = false;
    for (uint32_t i = 0; i < 0x10000 && !made; ++i) {
        const uint16_t n = static_cast<uint16_t>(start + i);
        if (n == 0)
            continue;
        const QByteArray name = QFile::encodeName(nameOf(n));
        const int fd = ::openat(dirFd, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            tempFileName = TrimControlChars(dir + nameOf(n));
            made = true;
        } else if (errno != EEXIST) {
            break; // the folder refuses new files
        }
    }
    ::close(dirFd);
    return made;
}

QString MakeTempPagePrefix()
{
    const QString temp = GetTempFolder();
    if (temp.isEmpty())
        return {};
    const std::optional<QStringList> names = shell::listFolder(temp, shell::Listing::FilesWithHidden);
    QString candidate;
    for (int n = 1; n <= 9; ++n) {
        const QString stem = QStringLiteral("~Z5_") + QTime::currentTime().toString(QStringLiteral("hhmmss")) +
                             QString::number(n);
        // Mapped to the local path here, so that a file named after it
        // lands inside the temporary folder, not beside it.
        candidate = platform::paths::toLocal(temp + QLatin1Char('\\') + stem);
        bool used = false;
        for (const QString& name : names.value_or(QStringList()))
            used = used || name.startsWith(stem, Qt::CaseInsensitive);
        if (!used)
            return candidate;
    }
    return candidate;
}

QString TrimControlChars(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isControlOrBlank(text[first]))
        ++first;
    while (last > first && isControlOrBlank(text[last - 1]))
        --last;
    return text.mid(first, last - first);
}

QString HtmlToPlainText(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("&nbsp;"), QString(QChar(u'\u00A4')));
    QString out;
    out.reserve(s.size());
    bool inRun = false;
    for (const QChar c : s) {
        const bool drop = c.unicode() < 32 || c.unicode() >= 128;
        if (drop) {
            if (!inRun)
                out += QLatin1Char(' ');
            inRun = true;
        } else {
            out += c;
            inRun = false;
        }
    }
    return out;
}

QString AnsiPointerToString(const char* pointer, size_t capacity)
{
    if (!pointer)
        return {};
    return QString::fromLatin1(pointer, static_cast<qsizetype>(::strnlen(pointer, capacity)));
}

QString MakeSafeFileName(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u':')
            continue;
        if (c == u'/')
            out += QLatin1Char('-');
        else if (c < 32 || c > 127 || c == u'*' || c == u'<' || c == u'>' || c == u'?' || c == u'\\' || c == u'|')
            out += QChar(u'\x7F');
        else
            out += ch;
    }
    out = vb::trim(out);
    if (out.size() >= 81)
        out.truncate(80);
    // "." and ".." would name a folder, not a file inside it.
    if (out == QLatin1String(".") || out == QLatin1String(".."))
        return {};
    return out;
}
