#include "lists/snippetview.h"

#include "contracts/services.h"
#include "core/fileclasses.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/shellnames.h"
#include "core/waitwindow.h"
#include "lists/liststores.h"
#include "lists/websnippets.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/paths.h"
#include "platform/base/textfile.h"
#include "platform/win/filedialogs.h"
#include "platform/win/ibrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QMap>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>

namespace {

QString lang(const char* section, const char* key, const char* english)
{
    return GetLangString(QLatin1String(section), QLatin1String(key), QLatin1String(english));
}

// Text for an element's content or a value quoted with either quote.
QString escaped(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&#39;"));
}

bool digitOn(const QString& format, int position)
{
    const auto d = GetOptionDigit(format, static_cast<int16_t>(position));
    return d && *d == 1;
}

QString nonce()
{
    QString out;
    for (int i = 0; i < 4; ++i)
        out += QString::number(QRandomGenerator::system()->generate(), 36);
    return out;
}

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// The markup between <HTML><BODY> and </BODY></HTML>, for a merged file.
QString bodyPart(const QString& html)
{
    static const QRegularExpression head(QStringLiteral("^\\s*<HTML[^>]*>\\s*<BODY[^>]*>"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tail(QStringLiteral("</BODY>\\s*</HTML>\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString part = html;
    part.remove(QChar(0));
    part.remove(head);
    part.remove(tail);
    return part;
}

// The lines of the page's body for one snippet and the commands of its buttons.
class PageWriter {
public:
    PageWriter(QString format, int16_t mode, QString nonce)
        : format_(std::move(format)), mode_(mode), nonce_(std::move(nonce)),
          common_(QDir::cleanPath(platform::paths::programFolder()) + QStringLiteral("/Common/"))
    {
    }

    void header(const QString& path, const QString& name, const QString& comment, const QString& source,
                const QString& date, bool first)
    {
        if (!digitOn(format_, 1))
            return;
        const bool editable = mode_ == 0 || mode_ == 3;
        line("<table border='0' cellspacing='1' style='border-collapse: collapse' width='100%' bgcolor='#FFFFFF'>");
        if (digitOn(format_, 3))
            row(lang("EXTERNAL", "9801", "Name"), name,
                first ? button(path, "Z5_Close.bmp", "Z5CLOSE", "CLOSE", lang("BUTTON", "4108", "Close")) : QString());
        if (digitOn(format_, 4))
            row(lang("EXTERNAL", "9802", "Comment"), comment,
                editable ? button(path, "Z5_Save.bmp", "Z5SAVE", "SAVE", lang("EXTERNAL", "9805", "Save As ..."))
                         : QString());
        if (digitOn(format_, 5))
            row(lang("EXTERNAL", "9803", "Source"), source,
                editable ? button(path, "Z5_Modify.bmp", "Z5EDIT", "EDIT",
                                  lang("EXTERNAL", "9800", "Edit Name and Comment"))
                         : QString());
        if (digitOn(format_, 6)) {
            line("<tr>");
            line("<td width='125' height='25' bgcolor='#D6DFF7' align='right'><p style='margin-left: 10; "
                 "margin-right: 10'><b><font size='1' color='#215DC6' face='Arial'>");
            body_ += escaped(lang("EXTERNAL", "9804", "Date Created")) + crlf();
            line("</font></b></td>");
            line("<td height='25' bgcolor='#D6DFF7'><p style='margin-left: 10; margin-right: 10'><font size='1' "
                 "face='Arial'>");
            body_ += escaped(date) + crlf();
            line("</font></td>");
            line("<td width='25' height='25' bgcolor='#D6DFF7'>&nbsp;</td>");
            line("</tr>");
        }
        line("</table>");
    }

    void content(const QString& html)
    {
        if (digitOn(format_, 2))
            line("<table border='2' cellspacing='0' cellpadding='0' style='border-collapse: collapse' width='100%' "
                 "bordercolor='#D6DFF7'>");
        else
            line("<table border='0' cellspacing='0' cellpadding='0' style='border-collapse: collapse' width='100%'>");
        line("<tr><td width='100%' height='30' bgcolor='#FFFFFF'><font size='2' face='Arial'>");
        body_ += StripSnippetHeadTags(html) + crlf();
        line("</font></td></tr></table>");
    }

    // The whole page: its head with the one script that may run, the body.
    QString page() const
    {
        QJsonObject table;
        for (auto it = commands_.cbegin(); it != commands_.cend(); ++it)
            table.insert(it.key(), it.value());
        const QString commands = QString::fromUtf8(QJsonDocument(table).toJson(QJsonDocument::Compact))
                                     .replace(QLatin1String("<"), QLatin1String("\\u003c"));
        QString out;
        const auto add = [&out](const QString& l) { out += l + QStringLiteral("\r\n"); };
        add(QStringLiteral("<HTML><head><meta charset='utf-8'>"));
        add(QStringLiteral("<meta http-equiv='Content-Security-Policy' content=\"script-src 'nonce-%1'; "
                           "object-src 'none'; base-uri 'none'; form-action http: https:; "
                           "frame-src http: https: data:\">")
                .arg(nonce_));
        add(QStringLiteral("<title>Z5 Web Snippet</title>"));
        add(QStringLiteral("<script nonce='%1'>").arg(nonce_));
        add(QStringLiteral("window.onerror = function () { return true; };"));
        add(QStringLiteral("(function () {"));
        add(QStringLiteral("  var commands = %1;").arg(commands));
        add(QStringLiteral("  document.addEventListener('click', function (e) {"));
        add(QStringLiteral("    var t = e.target;"));
        add(QStringLiteral("    if (t && t.id && Object.prototype.hasOwnProperty.call(commands, t.id)) {"));
        add(QStringLiteral("      e.preventDefault(); e.stopPropagation(); location.href = commands[t.id]; return;"));
        add(QStringLiteral("    }"));
        add(QStringLiteral("    var a = t && t.closest ? t.closest('a[href], area[href]') : null;"));
        add(QStringLiteral("    if (a && /^\\s*event:/i.test(a.getAttribute('href'))) e.preventDefault();"));
        add(QStringLiteral("  }, true);"));
        add(QStringLiteral("})();"));
        add(QStringLiteral("</script></head>"));
        add(QStringLiteral("<BODY topmargin='0' leftmargin='0' style='background-color: #FFFFFF'>"));
        out += body_;
        add(QStringLiteral("</BODY></HTML>"));
        return out;
    }

    QStringList paths() const { return paths_; }
    QString token() const { return nonce_; }

private:
    static QString crlf() { return QStringLiteral("\r\n"); }
    void line(const char* text) { body_ += QLatin1String(text) + crlf(); }

    void row(const QString& label, const QString& value, const QString& buttonLine)
    {
        line("<tr>");
        line("<td width='125' height='25' bgcolor='#EBEBEB' align='right'><p style='margin-left: 10; margin-right: "
             "10'><b><font size='1' color='#215DC6' face='Arial'>");
        body_ += escaped(label) + crlf();
        line("</font></b></td>");
        line("<td height='25' bgcolor='#F5F5F5'><p style='margin-left: 10; margin-right: 10'><font size='2' "
             "face='Arial'>");
        body_ += escaped(value) + crlf();
        line("</font></td>");
        line("<td width='25' height='25' bgcolor='#D6DFF7'>");
        if (!buttonLine.isEmpty())
            body_ += buttonLine + crlf();
        line("</td>");
        line("</tr>");
    }

    QString button(const QString& path, const char* picture, const char* name, const char* command,
                   const QString& tooltip)
    {
        const QString id = QStringLiteral("z5-%1-%2").arg(nonce_).arg(commands_.size() + 1);
        commands_.insert(id, QStringLiteral("EVENT:Z5_VIEWSP_%1-%2-").arg(QLatin1String(command), nonce_)
                                 + QString::fromLatin1(QUrl::toPercentEncoding(path, "/")));
        if (!paths_.contains(path))
            paths_ << path;
        const QString src = QUrl::fromLocalFile(common_ + QLatin1String(picture)).toString(QUrl::FullyEncoded);
        return QStringLiteral("<input border='0' src='%1' name='%2' id='%3' type='image' alt='%4' title='%4'>")
            .arg(escaped(src), QLatin1String(name), id, escaped(tooltip));
    }

    QString format_;
    int16_t mode_;
    QString nonce_;
    QString common_;
    QString body_;
    QMap<QString, QString> commands_;
    QStringList paths_;
};

} // namespace

QString StripSnippetHeadTags(const QString& html)
{
    static const QRegularExpression tags(QStringLiteral("<\\s*/?\\s*(meta|base)\\b[^>]*>?"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString out = html;
    // Taking one out may join the pieces of another: repeat until none is left.
    for (qsizetype before = -1; before != out.size();) {
        before = out.size();
        out.remove(tags);
    }
    return out;
}

SnippetView::SnippetView(frmExplorer& window, ServiceSet& services, ListStores& stores, WebSnippets& snippets)
    : w_(window), services_(services), stores_(stores), snippets_(snippets)
{
}

SnippetView::~SnippetView()
{
    // This run's pages and merged files go with it.
    for (auto it = pages_.cbegin(); it != pages_.cend(); ++it)
        QFile::remove(it.key());
    for (int tab = 0; tab < 256; ++tab)
        if (QFileInfo::exists(MergedFilePath(tab)))
            QFile::remove(MergedFilePath(tab));
}

QString SnippetView::tempStem() const
{
    if (!w_.TempPagePrefix.isEmpty())
        return w_.TempPagePrefix;
    return GetTempFolder() + QStringLiteral("/~Z5_");
}

QString SnippetView::PageFilePath(int tab) const
{
    return tempStem() + QStringLiteral("My Collection") + QString::number(tab + 1) + QStringLiteral(".htm");
}

QString SnippetView::MergedFilePath(int tab) const
{
    return tempStem() + QStringLiteral("My Collection") + QString::number(tab + 1) + QStringLiteral(".z5s");
}

void SnippetView::ShowSnippetViewPage(int16_t mode, const QString& path)
{
    ITabsService& tabs = services_.Tabs();
    platform::forms::ListRows& list = stores_[4];
    const bool listMode = mode >= 1 && mode <= 3;
    if (listMode) {
        if (list.count() == 0)
            return;
        ShowWaitWindow(true, lang("MESSAGE", "9019", "In progress ...."));
        QCoreApplication::processEvents();
    }
    const int tab = tabs.CurrentTab();
    const QString pageFile = PageFilePath(tab);
    const QString mergedFile = MergedFilePath(tab);

    QStringList paths;
    if (mode == 0) {
        paths << path;
    } else if (mode == 1) {
        for (int i = 1; i <= list.count(); ++i)
            paths << list.column(i, 1);
    } else if (listMode) {
        for (const int i : list.selectedRows())
            paths << list.column(i, 1);
    }

    PageWriter writer(w_.CollectionFormat, mode, nonce());
    QString merged;
    QString lastName;
    for (int i = 0; i < paths.size(); ++i) {
        QString name, comment, source, date, html;
        ReadSnippetFile(platform::paths::toLocal(paths[i]), name, comment, source, date, html);
        lastName = name;
        if (mode == 3) {
            if (i == 0) {
                writer.header(mergedFile, QString(), QString(), QString(), QString(), true);
                lastName.clear();
            }
            merged += QStringLiteral("<p>") + bodyPart(html) + QStringLiteral("</p>\r\n");
        } else {
            writer.header(paths[i], name, comment, source, date, i == 0);
        }
        writer.content(html);
    }
    if (mode == 3) {
        const QString text = QStringLiteral("\r\n\r\n\r\n") + SnippetDateText(QDateTime::currentDateTime())
                             + QStringLiteral("\r\n<HTML><BODY>\r\n") + merged + QStringLiteral("</BODY></HTML>\r\n");
        platform::textfile::writeAtomically(mergedFile, text.toUtf8());
        if (paths.size() == 1)
            lastName.clear();
    }
    const bool written = platform::textfile::writeAtomically(pageFile, writer.page().toUtf8());
    if (written)
        pages_.insert(QFileInfo(pageFile).absoluteFilePath(), {writer.token(), writer.paths()});

    const int16_t browser = w_.ListPlayState[4] == 2 ? w_.ListViewerBrowser[4] : tabs.TabBrowserMap(tab);
    if (platform::browser::IBrowser* b = written ? tabs.Browser(browser) : nullptr) {
        w_.ListStepBrowser[4] = browser;
        b->navigate2(QUrl::fromLocalFile(pageFile).toString(QUrl::FullyEncoded));
        tabs.SetTabState(browser, 1, 4);
    }
    services_.Lists().SelectCurrentListItem();
    tabs.SetTabTitle(static_cast<int16_t>(tab), lastName);
    tabs.RefreshTabsShown();
    if (listMode)
        ShowWaitWindow(false, QString());
}

void SnippetView::HandleSnippetPageEvent(int16_t browserIndex, const QString& url)
{
    ITabsService& tabs = services_.Tabs();
    platform::browser::IBrowser* b = tabs.Browser(browserIndex);
    if (!b)
        return;
    const QString page = QFileInfo(QUrl(b->locationURL()).toLocalFile()).absoluteFilePath();
    // "EVENT:Z5_VIEWSP_<command>-<token>-<path>".
    const qsizetype dash = url.indexOf(QLatin1Char('-'));
    const qsizetype second = dash < 0 ? -1 : url.indexOf(QLatin1Char('-'), dash + 1);
    if (second < 0)
        return;
    const QString token = url.mid(dash + 1, second - dash - 1);
    const QString path = QUrl::fromPercentEncoding(url.mid(second + 1).toUtf8());
    // Only the page's own buttons (its token: none of its frames knows it)
    // and only for a snippet the page was written with.
    const auto written = pages_.constFind(page);
    if (written == pages_.cend() || written->token.isEmpty() || token != written->token || !written->paths.contains(path))
        return;
    const QString command = url.left(20).toUpper();
    if (command == QLatin1String("EVENT:Z5_VIEWSP_CLOS")) {
        const int16_t tab = tabs.TabOfBrowser(browserIndex);
        if (tab >= 0)
            tabs.CloseTab(tab, false);
    } else if (command == QLatin1String("EVENT:Z5_VIEWSP_SAVE")) {
        platform::filedialogs::FileRequest request;
        request.title = lang("DIAGLOG", "7009", "Save Snippet");
        request.filter = lang("FILEFORMAT", "8006", "Z5 Web Snippet File") + QStringLiteral(" (*.z5s)|*.z5s");
        request.initialFolder = w_.LastFolders[4];
        request.fileName = IsSnippetFile(path) ? QString() : fileNameOf(path);
        request.flags = platform::filedialogs::OverwritePrompt | platform::filedialogs::PathMustExist;
        QString chosen = platform::filedialogs::saveFile(w_.window(), request);
        if (chosen.isEmpty())
            return;
        w_.LastFolders[4] = chosen.left(chosen.lastIndexOf(QLatin1Char('/')));
        const QString name = fileNameOf(chosen).chopped(std::min<qsizetype>(4, fileNameOf(chosen).size()));
        snippets_.RewriteSnippetFile(path, chosen, name, QString(), false, IsSnippetFile(path));
    } else if (command == QLatin1String("EVENT:Z5_VIEWSP_EDIT")) {
        DialogStrings[1] = path;
        services_.Dialogs().ShowInputDialog(5, 0);
        if (DialogCancelled == 1)
            return;
        QString target = platform::paths::toLocal(DialogStrings[1]);
        snippets_.RewriteSnippetFile(path, target, DialogStrings[2], DialogStrings[3], true, true);
    }
}
