#include "languagekeys.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

struct Token {
    bool literal = false; // a string literal (its text) or any other token
    QString text;

    bool is(const char* s) const { return !literal && text == QLatin1String(s); }
};

bool identChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char(':');
}

QString unescape(const QString& s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QLatin1Char('\\') || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const QChar c = s[++i];
        out += c == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : c == QLatin1Char('t') ? QChar(QLatin1Char('\t')) : c;
    }
    return out;
}

// The tokens of a C++ source: comments dropped, character literals kept as
// one token, adjacent string literals joined.
std::vector<Token> tokenize(const QString& src)
{
    std::vector<Token> out;
    auto addLiteral = [&out](const QString& text) {
        if (!out.empty() && out.back().literal)
            out.back().text += text;
        else
            out.push_back({true, text});
    };
    const qsizetype n = src.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = src[i];
        if (c.isSpace()) {
            ++i;
        } else if (src.mid(i, 2) == QLatin1String("//")) {
            while (i < n && src[i] != QLatin1Char('\n'))
                ++i;
        } else if (src.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = src.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            qsizetype j = i + 1;
            while (j < n && src[j] != c && src[j] != QLatin1Char('\n'))
                j += src[j] == QLatin1Char('\\') ? 2 : 1;
            if (c == QLatin1Char('"'))
                addLiteral(unescape(src.mid(i + 1, j - i - 1)));
            else
                out.push_back({false, src.mid(i, j - i + 1)});
            i = j + 1;
        } else if (identChar(c)) {
            qsizetype j = i;
            while (j < n && identChar(src[j]))
                ++j;
            const QString word = src.mid(i, j - i);
            if (j < n && src[j] == QLatin1Char('"') && word.endsWith(QLatin1Char('R'))) {
                // A raw string: R"delim( ... )delim".
                const qsizetype open = src.indexOf(QLatin1Char('('), j);
                const QString close = QLatin1Char(')') + src.mid(j + 1, open - j - 1) + QLatin1Char('"');
                const qsizetype end = src.indexOf(close, open);
                addLiteral(src.mid(open + 1, (end < 0 ? n : end) - open - 1));
                i = end < 0 ? n : end + close.size();
            } else if (j < n && src[j] == QLatin1Char('"') && (word == QLatin1String("u8") || word == QLatin1String("u"))) {
                i = j; // the encoding prefix of a literal
            } else {
                out.push_back({false, word});
                i = j;
            }
        } else {
            out.push_back({false, QString(c)});
            ++i;
        }
    }
    // The string wrappers of Qt stand for their literal.
    static const QSet<QString> wrappers = {QStringLiteral("QStringLiteral"), QStringLiteral("QLatin1String"),
                                           QStringLiteral("QLatin1StringView"), QStringLiteral("QString::fromLatin1"),
                                           QStringLiteral("QString::fromUtf8"), QStringLiteral("QString")};
    std::vector<Token> res;
    for (size_t k = 0; k < out.size(); ++k) {
        if (!out[k].literal && wrappers.contains(out[k].text) && k + 3 < out.size() && out[k + 1].is("(")
            && out[k + 2].literal && out[k + 3].is(")")) {
            res.push_back(out[k + 2]);
            k += 3;
        } else {
            res.push_back(out[k]);
        }
    }
    return res;
}

bool isKey(const Token& t)
{
    static const QRegularExpression re(QStringLiteral("^\\d{4,6}$"));
    return t.literal && re.match(t.text).hasMatch();
}

// The index of the token closing the bracket opened at open, or the end.
size_t closing(const std::vector<Token>& t, size_t open, const char* opener, const char* closer)
{
    int depth = 0;
    for (size_t k = open; k < t.size(); ++k) {
        if (t[k].is(opener))
            ++depth;
        else if (t[k].is(closer) && --depth == 0)
            return k;
    }
    return t.size();
}

class FileScan {
public:
    FileScan(std::vector<Token> tokens, const QSet<QString>& sections) : t_(std::move(tokens)), sections_(sections)
    {
        findConstants();
        findHelpers();
    }

    std::vector<LanguageLookup> lookups(const QString& file) const
    {
        std::vector<LanguageLookup> out;
        for (size_t k = 0; k + 2 < t_.size(); ++k) {
            if (!isKey(t_[k]) || !t_[k + 1].is(",") || !t_[k + 2].literal || isKey(t_[k + 2]))
                continue;
            out.push_back({file, k >= 2 ? sectionBefore(k) : QString(), t_[k].text, t_[k + 2].text});
        }
        return out;
    }

private:
    bool isSection(const Token& t) const { return t.literal && sections_.contains(t.text.toUpper()); }

    // The section of the lookup whose key is at k: "SECTION", KEY / kConst,
    // KEY / helper(KEY.
    QString sectionBefore(size_t k) const
    {
        const Token& before = t_[k - 2];
        if (t_[k - 1].is(",")) {
            if (isSection(before))
                return before.text.toUpper();
            if (!before.literal)
                return constants_.value(before.text);
        }
        if (t_[k - 1].is("(") && !before.literal)
            return helpers_.value(before.text);
        return {};
    }

    // NAME = "SECTION" and NAME("SECTION") / NAME{"SECTION"} at the end of a
    // declaration.
    void findConstants()
    {
        for (size_t k = 0; k + 2 < t_.size(); ++k) {
            if (t_[k].literal || !isSection(t_[k + 2]))
                continue;
            if (t_[k + 1].is("=") || ((t_[k + 1].is("(") || t_[k + 1].is("{")) && k + 3 < t_.size() && t_[k + 3].is(";")))
                constants_.insert(t_[k].text, t_[k + 2].text.toUpper());
        }
    }

    // Small functions whose body names one section: directly, by a constant
    // or by a helper found before (repeated until nothing more is found).
    void findHelpers()
    {
        struct Body {
            QString name;
            size_t begin, end;
        };
        std::vector<Body> bodies;
        for (size_t k = 0; k + 1 < t_.size(); ++k) {
            if (t_[k].literal || !t_[k + 1].is("("))
                continue;
            size_t after = closing(t_, k + 1, "(", ")") + 1;
            while (after < t_.size() && (t_[after].is("const") || t_[after].is("noexcept")))
                ++after;
            if (after >= t_.size() || !t_[after].is("{"))
                continue;
            const size_t end = closing(t_, after, "{", "}");
            if (end - after < 120)
                bodies.push_back({t_[k].text, after, end});
        }
        for (bool grew = true; grew;) {
            grew = false;
            for (const Body& b : bodies) {
                if (helpers_.contains(b.name))
                    continue;
                QSet<QString> named;
                for (size_t k = b.begin; k < b.end; ++k) {
                    if (isSection(t_[k]) && t_[k + 1].is(","))
                        named.insert(t_[k].text.toUpper());
                    else if (!t_[k].literal && constants_.contains(t_[k].text))
                        named.insert(constants_.value(t_[k].text));
                    else if (!t_[k].literal && t_[k + 1].is("(") && helpers_.contains(t_[k].text))
                        named.insert(helpers_.value(t_[k].text));
                }
                if (named.size() == 1) {
                    helpers_.insert(b.name, *named.begin());
                    grew = true;
                }
            }
        }
    }

    std::vector<Token> t_;
    const QSet<QString>& sections_;
    QHash<QString, QString> constants_;
    QHash<QString, QString> helpers_;
};

QString norm(const QString& s)
{
    return s.trimmed().toCaseFolded();
}

struct LanguageFile {
    QMap<QString, QMap<QString, QString>> sections; // upper-cased section -> key -> text
    QStringList repeated;
};

// The file by the lookup's rules: the first header of a name and the first
// entry of a key count; later ones are reported.
LanguageFile readLanguageFile(const QString& path)
{
    LanguageFile lf;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return lf;
    QString section;
    QSet<QString> seenHeaders;
    bool skipping = false;
    for (const QString& raw : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.endsWith(QLatin1Char('\r')) ? raw.chopped(1) : raw;
        if (line.startsWith(QLatin1Char('['))) {
            section = line.trimmed().mid(1).chopped(1).toUpper();
            skipping = seenHeaders.contains(section);
            seenHeaders.insert(section);
            lf.sections[section];
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || skipping)
            continue;
        const QString key = line.left(eq).toUpper();
        auto& entries = lf.sections[section];
        if (entries.contains(key))
            lf.repeated << QStringLiteral("twice: %1 %2").arg(section, key);
        else
            entries.insert(key, line.mid(eq + 1).trimmed());
    }
    return lf;
}

} // namespace

std::vector<LanguageLookup> FindLanguageLookups(const QString& root, const QStringList& folders,
                                                const QStringList& sections)
{
    QSet<QString> names;
    for (const QString& s : sections)
        names.insert(s.toUpper());
    std::vector<LanguageLookup> out;
    for (const QString& folder : folders) {
        QStringList files;
        QDirIterator it(root + QLatin1Char('/') + folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        files.sort();
        for (const QString& path : files) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const FileScan scan(tokenize(QString::fromUtf8(f.readAll())), names);
            const auto found = scan.lookups(path.mid(root.size() + 1));
            out.insert(out.end(), found.begin(), found.end());
        }
    }
    return out;
}

QStringList CheckLanguageKeys(const QString& root, const QStringList& folders, const QString& languageFile,
                              const std::vector<LanguageKeyExemption>& exemptions)
{
    const LanguageFile lf = readLanguageFile(languageFile);
    QStringList findings = lf.repeated;
    auto exemption = [&exemptions](const QString& section, const QString& key) -> const LanguageKeyExemption* {
        for (const auto& e : exemptions)
            if ((section.isEmpty() || e.section == section) && e.key == key)
                return &e;
        return nullptr;
    };
    QMap<QString, QString> firstText; // "SECTION KEY" -> the first text the code gives it
    QSet<QString> reported;
    for (const LanguageLookup& l : FindLanguageLookups(root, folders, lf.sections.keys())) {
        const LanguageKeyExemption* ex = exemption(l.section, l.key);
        if (l.section.isEmpty()) {
            bool held = false;
            for (const auto& entries : lf.sections)
                held = held || (entries.contains(l.key) && (ex || norm(entries.value(l.key)) == norm(l.english)));
            if (!held)
                findings << QStringLiteral("nowhere: %1 \"%2\" (%3)").arg(l.key, l.english, l.file);
            continue;
        }
        const QString id = l.section + QLatin1Char(' ') + l.key;
        const auto entries = lf.sections.value(l.section);
        if (!entries.contains(l.key)) {
            if (!(ex && ex->absent))
                findings << QStringLiteral("missing: %1 \"%2\" (%3)").arg(id, l.english, l.file);
        } else if (!ex && norm(entries.value(l.key)) != norm(l.english)) {
            findings << QStringLiteral("differs: %1 \"%2\" vs \"%3\" (%4)").arg(id, l.english, entries.value(l.key), l.file);
        }
        if (!firstText.contains(id))
            firstText.insert(id, l.english);
        else if (!ex && norm(firstText.value(id)) != norm(l.english) && !reported.contains(id)) {
            reported.insert(id);
            findings << QStringLiteral("two texts: %1 \"%2\" / \"%3\"").arg(id, firstText.value(id), l.english);
        }
    }
    return findings;
}

QStringList ProjectCodeFolders()
{
    return {QStringLiteral("app"),       QStringLiteral("browsing"),   QStringLiteral("contracts"),
            QStringLiteral("core"),      QStringLiteral("dialogs"),    QStringLiteral("dlmanager"),
            QStringLiteral("downloads"), QStringLiteral("lists"),      QStringLiteral("mainwindow"),
            QStringLiteral("media"),     QStringLiteral("menus"),      QStringLiteral("platform"),
            QStringLiteral("skinlib"),   QStringLiteral("skinremoval"), QStringLiteral("tools")};
}

std::vector<LanguageKeyExemption> ProjectLanguageKeyExemptions()
{
    return {
        // The file deletion question: one key, a text for one file and one for several.
        {QStringLiteral("MESSAGE"), QStringLiteral("9043"), true},
        // The preferences' category list and the heading of its page.
        {QStringLiteral("FORM-OPTIONS"), QStringLiteral("6206")},
        // The tab close choices of the File menu and of the tab menu.
        {QStringLiteral("MENU-01"), QStringLiteral("011203")},
        {QStringLiteral("MENU-01"), QStringLiteral("011204")},
        // The list names of the lists pane and of the list menu.
        {QStringLiteral("MENU-03"), QStringLiteral("030204")},
    };
}
