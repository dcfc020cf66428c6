#include "lists/websnippets.h"

#include "contracts/services.h"
#include "core/fileclasses.h"
#include "core/language.h"
#include "core/shellnames.h"
#include "lists/listoperations.h"
#include "lists/liststores.h"
#include "lists/pagelinks.h"
#include "lists/playlistformat.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/textfile.h"
#include "platform/win/ibrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <vector>

namespace {

// Tags of the kind lose their attributes; one that starts less than ten
// characters after the previous one is passed over.
void bareTags(QString& text, const QString& tag)
{
    const QString bare = tag + QLatin1Char('>');
    qsizetype q = -10;
    while (true) {
        q = text.indexOf(tag, q + 10, Qt::CaseInsensitive);
        if (q < 0)
            return;
        const qsizetype gt = text.indexOf(QLatin1Char('>'), q);
        if (gt >= 0)
            text.replace(q, gt - q + 1, bare);
    }
}

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

QString NormalizeSnippetHtml(const QString& fragment)
{
    const qsizetype p = fragment.indexOf(QLatin1String("<HTML"), 0, Qt::CaseInsensitive);
    if (p < 0)
        return fragment;
    QString text = fragment.mid(p);
    bareTags(text, QStringLiteral("<BODY"));
    bareTags(text, QStringLiteral("<TABLE"));
    return text;
}

void ExtractSnippetCaption(QString& text)
{
    const QString t = HtmlToPlainText(text);
    QString caption;
    int pieces = 0;
    const auto shorten = [&] {
        qsizetype length = std::min<qsizetype>(caption.size(), 30);
        if (pieces >= 2 || length == 30) {
            const qsizetype lower = length > 20 ? 20 : length > 15 ? 15 : 10;
            if (length > 10)
                for (qsizetype i = length; i >= lower; --i)
                    if (caption.at(i - 1) == QLatin1Char(' ')) {
                        length = i - 1;
                        break;
                    }
        }
        text = caption.left(length).trimmed();
    };
    // The text between the tags of the body.
    const qsizetype body = t.indexOf(QLatin1String("<BODY"), 0, Qt::CaseInsensitive);
    if (body >= 0) {
        qsizetype p = t.indexOf(QLatin1Char('>'), body);
        while (p >= 0) {
            ++p;
            const qsizetype lt = t.indexOf(QLatin1Char('<'), p);
            const qsizetype gt = t.indexOf(QLatin1Char('>'), p);
            if (lt >= 0 && gt > lt && lt > p) {
                const QString piece = t.mid(p, lt - p).trimmed();
                if (!piece.isEmpty()) {
                    caption += piece;
                    ++pieces;
                    if (caption.size() > 30)
                        return shorten();
                    caption += QLatin1Char(' ');
                }
            }
            p = gt;
        }
    }
    if (!caption.trimmed().isEmpty())
        return shorten();
    // No text: the ALT and TITLE values.
    qsizetype p = 0;
    while (true) {
        static const std::pair<const char*, qsizetype> kNames[] = {{"ALT=", 4}, {"TITLE=", 6}, {"ALT =", 5}, {"TITLE =", 7}};
        qsizetype a = -1;
        qsizetype k = 0;
        for (const auto& [name, length] : kNames) {
            a = t.indexOf(QLatin1String(name), p, Qt::CaseInsensitive);
            if (a >= 0) {
                k = length;
                break;
            }
        }
        if (a < 0)
            break;
        const bool quoted = a + k < t.size() && t.at(a + k) == QLatin1Char('\'');
        const qsizetype from = quoted ? a + k + 1 : a + k;
        const qsizetype to = t.indexOf(quoted ? QLatin1Char('\'') : QLatin1Char(' '), from);
        if (to >= 0)
            caption += t.mid(from, to - from);
        a = from;
        ++pieces;
        if (caption.size() > 30)
            break;
        caption += QLatin1Char(' ');
        const qsizetype lt = t.indexOf(QLatin1Char('<'), a);
        if (lt < 0)
            break;
        p = lt + 1;
    }
    shorten();
}

QString SnippetDateText(const QDateTime& when)
{
    const QTime time = when.time();
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1 %2, %3 %4:%5 %6")
        .arg(QLocale::system().monthName(when.date().month(), QLocale::ShortFormat))
        .arg(when.date().day(), 2, 10, QLatin1Char('0'))
        .arg(when.date().year(), 4, 10, QLatin1Char('0'))
        .arg(hour12, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QByteArray SnippetFileBytes(const QString& name, const QString& comment, const QString& source, const QString& date,
                            const QString& html, bool finalLineEnd)
{
    const QString crlf = QStringLiteral("\r\n");
    QString text = name + crlf + comment + crlf + source + crlf + date + crlf + html;
    if (finalLineEnd)
        text += crlf;
    return text.toUtf8();
}

void ReadSnippetFile(const QString& path, QString& name, QString& comment, QString& source, QString& dateCreated,
                     QString& html)
{
    const std::optional<QByteArray> bytes = platform::textfile::readAll(path, kMaxSnippetFileBytes);
    if (!bytes)
        return;
    const QString text = DecodeListText(*bytes);
    QString* const header[] = {&name, &comment, &source, &dateCreated};
    qsizetype at = 0;
    int line = 0;
    while (at < text.size() || (at == text.size() && line == 0 && !text.isEmpty())) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), at);
        const bool last = end < 0;
        if (last)
            end = text.size();
        qsizetype stop = end;
        if (stop > at && text.at(stop - 1) == QLatin1Char('\r'))
            --stop;
        const QString content = text.mid(at, stop - at);
        if (line < 4)
            *header[line] = content;
        else
            html += content;
        ++line;
        at = end + 1;
        if (last)
            break;
    }
}

WebSnippets::WebSnippets(frmExplorer& window, ServiceSet& services, ListStores& stores, ListOperations& ops,
                         PageLinks& links)
    : w_(window), services_(services), stores_(stores), ops_(ops), links_(links)
{
}

QString WebSnippets::CollectionFolder()
{
    return GetSpecialFolder(4) + QStringLiteral("/Z5 Collection");
}

void WebSnippets::AbsolutizeSnippetLinks(QString& html)
{
    const qsizetype bodyPos = html.indexOf(QLatin1String("<BODY"));
    links_.CollectPageLinks(0, 1, 0);
    std::vector<platform::forms::ListRow>& rows = links_.scratch();
    const qsizetype n = static_cast<qsizetype>(rows.size());
    const auto address = [&rows](qsizetype r) -> const QString& { return rows[static_cast<size_t>(r)].columns[1]; };
    for (const QString& attribute : {QStringLiteral("HREF='"), QStringLiteral("SRC='")}) {
        if (n == 0 || bodyPos < 0)
            break;
        qsizetype start = 0;
        qsizetype p = html.indexOf(attribute, bodyPos, Qt::CaseInsensitive);
        while (p >= 0) {
            const qsizetype vs = p + attribute.size();
            const qsizetype ve = html.indexOf(QLatin1Char('\''), vs);
            if (ve < 0)
                break; // a value without its closing quote ends the pass
            const QString raw = html.mid(vs, ve - vs);
            QString value = raw;
            while (value.startsWith(QLatin1Char('.'))) {
                value.remove(0, 1);
                if (value.startsWith(QLatin1Char('/')))
                    value.remove(0, 1);
            }
            qsizetype next = vs + raw.size() + 1;
            if (!value.isEmpty()) {
                const qsizetype w = value.size() + 1;
                qsizetype found = -1;
                for (qsizetype r = start; r < n && found < 0; ++r)
                    if (address(r).right(w).contains(value))
                        found = r;
                for (qsizetype r = 0; r < start && found < 0; ++r)
                    if (address(r).right(w).contains(value))
                        found = r;
                if (found >= 0) {
                    // Every HREF or SRC attribute of that value, and nothing
                    // else of the markup, takes the page's address.
                    const QRegularExpression same(QStringLiteral("(HREF|SRC)='") + QRegularExpression::escape(raw)
                                                      + QLatin1Char('\''),
                                                  QRegularExpression::CaseInsensitiveOption);
                    QString target = address(found);
                    target.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
                    html.replace(same, QStringLiteral("\\1='") + target + QLatin1Char('\''));
                    next = vs + address(found).size() + 1;
                    start = found;
                }
            }
            p = html.indexOf(attribute, next, Qt::CaseInsensitive);
        }
    }
    rows.clear();
}

void WebSnippets::CaptureSelectionAsSnippet()
{
    ITabsService& tabs = services_.Tabs();
    QString html = links_.SelectionHtml();
    if (!html.isEmpty())
        html = NormalizeSnippetHtml(html);
    else
        html = QStringLiteral("<HTML><BODY>") + tabs.ClickedElementHtml() + QStringLiteral("</BODY></HTML>");
    html.remove(QChar(0));
    html.replace(QLatin1Char('"'), QLatin1Char('\''));
    AbsolutizeSnippetLinks(html);
    QString caption = html;
    ExtractSnippetCaption(caption);
    const platform::browser::IBrowser* b = tabs.CurrentBrowser();
    const QString source = b ? b->locationURL() : QString();
    QString name = caption;
    if (name.isEmpty())
        name = tabs.TabTitle(tabs.CurrentTab());
    if (name.isEmpty())
        name = source;
    name = MakeSafeFileName(name);

    const QString folder = CollectionFolder();
    const QString status = GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9064"),
                                         QStringLiteral("Unable to save the Web Snippet in"))
                           + QLatin1Char(' ') + folder;
    // Without a documents folder there is no place for the file.
    if (GetSpecialFolder(4).isEmpty()) {
        tabs.SetStatusMessage(status, -1, -1);
        return;
    }
    QDir().mkpath(folder);
    const QString base = folder + QLatin1Char('/') + name;
    QString path = base + QStringLiteral(".Z5S");
    int n = 0;
    while (QFileInfo::exists(path)) {
        ++n;
        path = base + QLatin1Char('(') + QString::number(n) + QStringLiteral(").Z5S");
    }
    if (n > 0)
        name += QLatin1Char('(') + QString::number(n) + QLatin1Char(')');
    const QByteArray bytes =
        SnippetFileBytes(name, QString(), source, SnippetDateText(QDateTime::currentDateTime()), html, true);
    if (!platform::textfile::writeAtomically(path, bytes)) {
        // No file, no row: the status line says why.
        tabs.SetStatusMessage(status, -1, -1);
        return;
    }
    ops_.LoadItemsIntoListView_Start(4);
    platform::forms::ListRow row;
    row.columns[0] = name;
    row.columns[1] = path;
    row.columns[2] = QStringLiteral("2");
    stores_[4].add(std::move(row));
    ops_.LoadItemsIntoListView_Final(4);
    QCoreApplication::processEvents();
    w_.TimerStage = 2;
}

void WebSnippets::RewriteSnippetFile(const QString& oldPath, QString& newPath, const QString& name,
                                     const QString& comment, bool replaceComment, bool move)
{
    // Paths compare as the file system names files: exactly, so a name that
    // differs in letter case only is another file.
    const bool samePath = QFileInfo(oldPath).absoluteFilePath() == QFileInfo(newPath).absoluteFilePath();
    if (!move && samePath)
        return;
    QString oldName, oldComment, source, date, html;
    ReadSnippetFile(oldPath, oldName, oldComment, source, date, html);
    const QString keptComment = replaceComment ? comment : oldComment;
    // The new file first; the old one goes only once the new one is there.
    if (!platform::textfile::writeAtomically(newPath,
                                             SnippetFileBytes(name, keptComment, source, date, html, false))) {
        services_.Tabs().SetStatusMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9064"),
                                                        QStringLiteral("Unable to save the Web Snippet in"))
                                              + QLatin1Char(' ') + QFileInfo(newPath).path(),
                                          -1, -1);
        return;
    }
    if (move && !samePath) {
        QFile::setPermissions(oldPath, QFile::permissions(oldPath) | QFileDevice::WriteOwner);
        QFile::remove(oldPath);
    }
    if (!move)
        return;
    if (!samePath && !IsTempPageName(fileNameOf(oldPath))) {
        platform::forms::ListRows& rows = stores_[4];
        std::vector<platform::forms::ListRow> kept;
        bool removed = false;
        for (int i = 1; i <= rows.count(); ++i) {
            platform::forms::ListRow row = *rows.row(i);
            if (row.columns[1] == oldPath) {
                const QString file = fileNameOf(newPath);
                row.columns[1] = newPath;
                row.columns[0] = file.chopped(std::min<qsizetype>(4, file.size()));
                rows.setColumn(i, 1, row.columns[1]);
                rows.setColumn(i, 0, row.columns[0]);
            } else if (row.columns[1] == newPath) {
                removed = true;
                continue;
            }
            kept.push_back(std::move(row));
        }
        if (removed) {
            rows.clear();
            rows.append(std::move(kept));
        }
    }
    if (showSnippet)
        showSnippet(newPath);
}
