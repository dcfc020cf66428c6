#include "core/contentfilter.h"

#include "core/globals.h"
#include "core/language.h"
#include "core/messagebox.h"
#include "core/settingsstore.h"
#include "platform/base/paths.h"
#include "platform/base/textfile.h"
#include "platform/base/vbrt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace {

// A list longer than this is neither saved nor read back: the data file is
// read whole into memory at start-up.
constexpr int64_t kMaxFilterDataBytes = 16 * 1024 * 1024;

std::optional<int32_t> storedCode(const QString& text)
{
    const std::optional<double> n = vb::toNumber(text);
    if (!n)
        return std::nullopt;
    return vb::toInt32(*n);
}

// Marks a list stored as UTF-8. A list text always starts with "|", so a
// file without the mark is a list of Latin-1 characters, as every list was
// stored before.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// The transform works on bytes: odd positions (counting from 1) add the
// key, even ones subtract it, then the byte is xored with 10 - key.
QByteArray scrambleBytes(int key, QByteArray bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const bool odd = (i % 2) == 0;
        const int c = static_cast<uint8_t>(bytes[i]);
        bytes[i] = static_cast<char>(((odd ? c + key : c - key) & 0xFF) ^ (10 - key));
    }
    return bytes;
}

QByteArray unscrambleBytes(int key, QByteArray bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const bool odd = (i % 2) == 0;
        const int c = (static_cast<uint8_t>(bytes[i]) ^ (10 - key)) & 0xFF;
        bytes[i] = static_cast<char>((odd ? c - key : c + key) & 0xFF);
    }
    return bytes;
}

bool isAscii(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 127)
            return false;
    return true;
}

// ASCII text as it is (the same bytes either way), any other text as UTF-8
// behind the mark, so that sites and passwords in any script come back.
QByteArray encodeList(const QString& text)
{
    return isAscii(text) ? text.toLatin1() : QByteArray(kUtf8Mark) + text.toUtf8();
}

QString decodeList(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf8Mark))
        return QString::fromUtf8(bytes.mid(3));
    return QString::fromLatin1(bytes);
}

// Host names are compared in one form: an internationalised name is
// written by users as they read it ("bücher.example") and reaches the gate
// in its ASCII form ("xn--bcher-kva.example"). Every run of name characters
// that holds a non-ASCII letter or an ASCII-encoded label is brought to its
// Unicode form, as the name rules map it (case and composition included);
// runs that are no valid name stay as they are.
QString withUnicodeHosts(const QString& text)
{
    bool nonAscii = false;
    for (const QChar c : text)
        nonAscii = nonAscii || c.unicode() > 127;
    if (!nonAscii && !text.contains(QLatin1String("xn--"), Qt::CaseInsensitive))
        return text;
    static const QRegularExpression nameRun(QStringLiteral("[^\\s/:?#@\\[\\]\\\\|%]+"));
    QString out;
    qsizetype done = 0;
    for (auto it = nameRun.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString run = m.captured();
        bool special = run.contains(QLatin1String("xn--"), Qt::CaseInsensitive);
        for (const QChar c : run)
            special = special || c.unicode() > 127;
        if (!special)
            continue;
        const QByteArray ace = QUrl::toAce(run);
        const QString unicode = ace.isEmpty() ? QString() : QUrl::fromAce(ace, QUrl::IgnoreIDNWhitelist);
        if (unicode.isEmpty())
            continue;
        out += QStringView(text).mid(done, m.capturedStart() - done) + unicode;
        done = m.capturedEnd();
    }
    return out + QStringView(text).mid(done);
}

// Text with its percent-encoded bytes decoded as UTF-8: an address holds
// "/b%C3%BCcher.html" where the user reads and lists "bücher".
QString percentDecoded(const QString& text)
{
    if (!text.contains(QLatin1Char('%')))
        return text;
    return QUrl::fromPercentEncoding(text.toUtf8());
}

struct FilterSite {
    QString text;    // as listed
    QString unicode; // its host names in Unicode
    QString decoded; // its host names in Unicode, percent-encoded bytes decoded
};

// The sites of a list text, parsed once per list: IsUrlBlocked runs before
// every navigation and request.
const QList<FilterSite>& sitesOf(const QString& list)
{
    static QString parsed;
    static QList<FilterSite> sites;
    if (list.constData() != parsed.constData() || list.size() != parsed.size()) {
        parsed = list;
        sites.clear();
        for (const ContentFilterEntry& e : ContentListEntries(list))
            sites.append({e.site, withUnicodeHosts(e.site), percentDecoded(withUnicodeHosts(e.site))});
    }
    return sites;
}

void reportSaveFailure()
{
    ShowMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9007"),
                              QStringLiteral("Unable to save Content Data")),
                1, 0);
}

} // namespace

QString FilterDataFilePath()
{
    return platform::registry::storeFolder() + QLatin1Char('/') + FilterDataFileName;
}

QString ShippedFilterDataFilePath()
{
    return platform::paths::programPath(QLatin1Char('\\') + FilterDataFileName);
}

QString FilterDataFileInUse()
{
    const QString own = FilterDataFilePath();
    const QFileInfo info(own);
    return info.exists() || info.isSymLink() ? own : ShippedFilterDataFilePath();
}

std::optional<int64_t> FilterDataLengthOfCode(const QString& code)
{
    const std::optional<int32_t> n = storedCode(code);
    if (!n || *n < 0)
        return std::nullopt;
    const int32_t k = *n % 10;
    if (k == 0)
        return std::nullopt;
    return static_cast<int64_t>(vb::roundHalfEven(static_cast<double>(*n - k) / (k * 10.0)));
}

namespace {

// True when the data file reads as a list the writer saved: longer than the
// shipped file, and its text running from one "|" to another.
bool holdsSavedList(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile() || file.size() <= *FilterDataLengthOfCode(QString::number(InitialStartupCode)))
        return false;
    const auto bytes = platform::textfile::readAll(path, kMaxFilterDataBytes);
    if (!bytes)
        return false;
    const QString text = decodeList(unscrambleBytes(ContentFilterKey, *bytes));
    return text.startsWith(QLatin1Char('|')) && text.endsWith(QLatin1Char('|'));
}

} // namespace

namespace {

// A code of the machine hive as ReadZ5Setting reads it: a value of another
// type reads as ""; nullopt when there is none.
std::optional<QString> recordedCode(const QString& name)
{
    const auto stored = platform::registry::readValue(HiveLocalMachine, SettingsKey(kSettingsApp, kSettingsSection), name);
    if (!stored)
        return std::nullopt;
    return stored->type == platform::registry::ValueType::String ? stored->text : QString();
}

// The code the data file goes with: the stored one (the initial code when
// none is stored), or the previous one when only that one stands for the
// file's length (a save that stopped half-way).
QString codeOfDataFile()
{
    const QString code = recordedCode(StartupCodeSetting).value_or(QString::number(InitialStartupCode));
    const QFileInfo file(FilterDataFileInUse());
    const auto lengthIs = [&file](const QString& c) {
        const std::optional<int64_t> length = FilterDataLengthOfCode(c);
        return length && file.isFile() && file.size() == *length;
    };
    if (!lengthIs(code))
        if (const std::optional<QString> previous = recordedCode(PreviousStartupCodeSetting); previous && lengthIs(*previous))
            return *previous;
    return code;
}

} // namespace

FilterDataCheck CheckFilterData()
{
    const QString code = codeOfDataFile();
    const std::optional<int64_t> expected = FilterDataLengthOfCode(code);
    const QFileInfo file(FilterDataFileInUse());
    if (expected && file.isFile() && file.size() == *expected)
        return FilterDataCheck::Passes;
    if (!recordedCode(StartupCodeSetting) && holdsSavedList(file.filePath()))
        return FilterDataCheck::CodeMissing;
    return FilterDataCheck::FileWrong;
}

bool FilterDataFileMatchesCode()
{
    return CheckFilterData() == FilterDataCheck::Passes;
}

QString ReadFilterList()
{
    const QString codeText = codeOfDataFile();
    const std::optional<int32_t> code = storedCode(codeText);
    if (!code || *code <= InitialStartupCode)
        return {};
    const std::optional<int64_t> length = FilterDataLengthOfCode(codeText);
    if (!length || *length <= 0 || *length > kMaxFilterDataBytes)
        return {};
    QFile f(FilterDataFileInUse());
    if (!QFileInfo(f.fileName()).isFile() || !f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.read(*length);
    const QString text = decodeList(unscrambleBytes(ContentFilterKey, bytes));
    const qsizetype first = text.indexOf(QLatin1Char('|'));
    const qsizetype last = text.lastIndexOf(QLatin1Char('|'));
    if (first < 0)
        return {};
    return text.mid(first, last - first + 1);
}

bool IsUrlBlocked(const QString& url)
{
    if (url.contains(QLatin1String("HTTP:///"), Qt::CaseInsensitive))
        return true;
    if (FilterList.isEmpty())
        return false;
    // The address in the forms a site may be found in: as it came, with its
    // host names in Unicode, and with its path's encoded bytes decoded too.
    const QString unicodeUrl = withUnicodeHosts(url);
    const QString decodedUrl = percentDecoded(unicodeUrl);
    for (const FilterSite& site : sitesOf(FilterList))
        if (url.contains(site.text, Qt::CaseInsensitive) || unicodeUrl.contains(site.unicode, Qt::CaseInsensitive)
            || decodedUrl.contains(site.decoded, Qt::CaseInsensitive))
            return true;
    return false;
}

QString ScrambleText(int key, const QString& text)
{
    return QString::fromLatin1(scrambleBytes(key, text.toLatin1()));
}

QString UnscrambleText(int key, const QString& text)
{
    return QString::fromLatin1(unscrambleBytes(key, text.toLatin1()));
}

QString ContentListText(const QList<ContentFilterEntry>& entries)
{
    QString s = QStringLiteral("|");
    for (const ContentFilterEntry& e : entries)
        s += e.site + QLatin1Char('|') + e.password + QLatin1Char('|');
    return s;
}

QList<ContentFilterEntry> ContentListEntries(const QString& list)
{
    QList<ContentFilterEntry> entries;
    const QStringList parts = list.split(QLatin1Char('|'));
    for (qsizetype i = 1; i < parts.size(); i += 2)
        if (!vb::trim(parts[i]).isEmpty())
            entries.append({parts[i], parts.value(i + 1)});
    return entries;
}

bool SaveContentList(const QList<ContentFilterEntry>& entries)
{
    const QString text = ContentListText(entries);
    const int digit = static_cast<int>(QRandomGenerator::global()->bounded(1, 10));
    const QByteArray bytes = scrambleBytes(ContentFilterKey, encodeList(text));
    const int64_t code = static_cast<int64_t>(bytes.size()) * digit * 10 + digit;
    // A list the start-up reader would refuse is not saved: it would pass
    // the start-up check and then block nothing.
    if (code > INT32_MAX || bytes.size() > kMaxFilterDataBytes) {
        reportSaveFailure();
        return false;
    }
    // The code and the file change in an order that a crash at any step
    // survives: the current code is kept as the previous one, the new code
    // is stored, the file is replaced, and the previous code goes. A step
    // that fails undoes the ones before it.
    const std::optional<QString> current = recordedCode(StartupCodeSetting);
    if (!SaveZ5Setting(HiveLocalMachine, PreviousStartupCodeSetting, current.value_or(QString::number(InitialStartupCode)))) {
        reportSaveFailure();
        return false;
    }
    const QString key = SettingsKey(kSettingsApp, kSettingsSection);
    const auto dropPrevious = [&key] { platform::registry::deleteValue(HiveLocalMachine, key, PreviousStartupCodeSetting); };
    if (!SaveZ5Setting(HiveLocalMachine, StartupCodeSetting, QString::number(code))) {
        dropPrevious();
        reportSaveFailure();
        return false;
    }
    // The list goes beside the user's hives, readable by the user alone:
    // the program folder's copy is the shipped default and never written.
    const QString folder = platform::registry::storeFolder();
    if (!QDir().mkpath(folder) || !platform::textfile::writePrivateAtomically(FilterDataFilePath(), bytes)) {
        if (current)
            SaveZ5Setting(HiveLocalMachine, StartupCodeSetting, *current);
        else
            platform::registry::deleteValue(HiveLocalMachine, key, StartupCodeSetting);
        dropPrevious();
        reportSaveFailure();
        return false;
    }
    dropPrevious();
    FilterList = entries.isEmpty() ? QString() : text;
    return true;
}
