// Page collections without a web engine: the snippet text routines and
// files, shortcut files and the page icon, the link rules on pages a fake
// browser answers for, the view page's text and its commands, and group
// opening on fake tabs.

#include "lists/favorites.h"
#include "lists/pagelinks.h"
#include "lists/snippetview.h"
#include "lists/websnippets.h"
#include "platform/win/pagequeries.h"

#include "../browsing/fakebrowser.h"
#include "listsfixture.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QUrl>

using platform::browser::FakeBrowser;

namespace {

TEST(SnippetText, NormalizeDropsTheHeaderAndBareBodyAndTableTags)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"<HTML><BODY bgcolor='#000000' onload='x()'><TABLE width='50%'>", "<HTML><BODY><TABLE>"},
        {"Version:0.9\r\nStartHTML:71\r\n<html><body class='a'>x</body></html>", "<html><BODY>x</body></html>"},
        // No <HTML>: kept whole, attributes and all.
        {"<BODY bgcolor='red'>x", "<BODY bgcolor='red'>x"},
        // A body tag without its closing ">" stays as it is.
        {"<HTML><BODY onload='x()'", "<HTML><BODY onload='x()'"},
        // A tag that starts less than ten characters after the previous one is passed over.
        {"<HTML><TABLE border='1'><TABLE border='2'>", "<HTML><TABLE><TABLE border='2'>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizeSnippetHtml(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}

TEST(SnippetText, CaptionsFromTextOrAltAndTitleValues)
{
    const struct {
        const char* html;
        const char* caption;
    } cases[] = {
        {"<HTML><BODY>The quick brown fox jumps over the lazy dog</BODY></HTML>", "The quick brown fox jumps"},
        {"<BODY> Hello <B>world</B> </BODY>", "Hello world"},
        {"<HTML><BODY><IMG SRC='logo.gif' ALT='Company logo'></BODY></HTML>", "Company logo"},
        {"<HTML><BODY><IMG ALT=logo width=20></BODY></HTML>", "logo"},
        {"<HTML><BODY><IMG SRC='x.gif'></BODY></HTML>", ""},
        {"<HTML><BODY></BODY></HTML>", ""},
    };
    for (const auto& c : cases) {
        QString text = QString::fromLatin1(c.html);
        ExtractSnippetCaption(text);
        EXPECT_EQ(text, QString::fromLatin1(c.caption)) << c.html;
    }
}

TEST(SnippetText, HeadTagsOfASnippetGoEvenWhenTheirPiecesWereSplit)
{
    EXPECT_EQ(StripSnippetHeadTags(QStringLiteral("a<META http-equiv='refresh' content='0;url=event:x'>b<base href='x'>c")),
              QStringLiteral("abc"));
    // Taking the inner tag out joins the outer one: it goes as well.
    EXPECT_FALSE(StripSnippetHeadTags(QStringLiteral("<me<meta>ta http-equiv='refresh'>"))
                     .contains(QLatin1String("<meta"), Qt::CaseInsensitive));
    EXPECT_EQ(StripSnippetHeadTags(QStringLiteral("<metadata>x</metadata>")), QStringLiteral("<metadata>x</metadata>"));
}

TEST(SnippetFiles, ReadBackJoinsTheMarkupLinesAndLeavesWhatIsAbsent)
{
    const QString dir = testenv::freshDir(QStringLiteral("snippetfiles"));
    const QString path = dir + QStringLiteral("/a.Z5S");
    ASSERT_TRUE(testenv::writeFile(path, SnippetFileBytes(QStringLiteral("N Ü"), QStringLiteral("C"),
                                                          QStringLiteral("http://h/p"), QStringLiteral("Dec 08, 2026 01:18 AM"),
                                                          QStringLiteral("<HTML><BODY>a\r\nb\r\n</BODY></HTML>"), true)));
    QString name, comment, source, date, html;
    ReadSnippetFile(path, name, comment, source, date, html);
    EXPECT_EQ(name, QStringLiteral("N Ü"));
    EXPECT_EQ(comment, QStringLiteral("C"));
    EXPECT_EQ(source, QStringLiteral("http://h/p"));
    EXPECT_EQ(date, QStringLiteral("Dec 08, 2026 01:18 AM"));
    EXPECT_EQ(html, QStringLiteral("<HTML><BODY>ab</BODY></HTML>"));

    // Two lines only: the others keep what the caller gave; a missing file changes nothing.
    ASSERT_TRUE(testenv::writeFile(path, "only\r\ntwo"));
    QString n2, c2, s2 = QStringLiteral("kept"), d2, h2;
    ReadSnippetFile(path, n2, c2, s2, d2, h2);
    EXPECT_EQ(n2 + QLatin1Char('|') + c2 + QLatin1Char('|') + s2 + QLatin1Char('|') + h2, QStringLiteral("only|two|kept|"));
    QString n3 = QStringLiteral("x");
    ReadSnippetFile(dir + QStringLiteral("/missing.Z5S"), n3, c2, s2, d2, h2);
    EXPECT_EQ(n3, QStringLiteral("x"));
}

TEST(SnippetFiles, DateTextHasTheTwelveHourClock)
{
    const QString month = QLocale::system().monthName(12, QLocale::ShortFormat);
    EXPECT_EQ(SnippetDateText(QDateTime(QDate(2026, 12, 8), QTime(1, 18))), month + QStringLiteral(" 08, 2026 01:18 AM"));
    EXPECT_EQ(SnippetDateText(QDateTime(QDate(2026, 12, 8), QTime(0, 5))), month + QStringLiteral(" 08, 2026 12:05 AM"));
    EXPECT_EQ(SnippetDateText(QDateTime(QDate(2026, 12, 8), QTime(13, 0))), month + QStringLiteral(" 08, 2026 01:00 PM"));
}

TEST(Shortcuts, FileBytesWithAndWithoutTheIconLines)
{
    EXPECT_EQ(ShortcutFileBytes(QStringLiteral("http://h/a b")), QByteArray("[InternetShortcut]\r\nURL=http://h/a b\r\n"));
    EXPECT_EQ(ShortcutFileBytes(QStringLiteral("http://h/"), true, QStringLiteral("http://h/favicon.ico")),
              QByteArray("[InternetShortcut]\r\nURL=http://h/\r\nIconFile=http://h/favicon.ico\r\nIconIndex=1\r\n"));
    // A line break in an address adds no line to the file.
    EXPECT_EQ(ShortcutFileBytes(QStringLiteral("http://h/x\r\nIconFile=evil"), true, QStringLiteral("i\r\n[x]")),
              QByteArray("[InternetShortcut]\r\nURL=http://h/xIconFile=evil\r\nIconFile=i[x]\r\nIconIndex=1\r\n"));
}

TEST(Shortcuts, PageIconFromTheShortcutIconTagWhereverItStands)
{
    const QString base = QStringLiteral("http://h/");
    EXPECT_EQ(PageIconUrlIn(QStringLiteral("<head></head>"), base), QStringLiteral("http://h/favicon.ico"));
    EXPECT_EQ(PageIconUrlIn(QStringLiteral("<link rel=\"SHORTCUT ICON\" href=\"/i/a.ico\">"), base),
              QStringLiteral("http://h/i/a.ico"));
    EXPECT_EQ(PageIconUrlIn(QStringLiteral("<link href=\"http://o/b.ico\" rel=\"shortcut icon\">"), base),
              QStringLiteral("http://o/b.ico"));
    // Past position 32,767 of a 40 KB page.
    const QString page = QStringLiteral("<head>") + QString(35000, QLatin1Char('x'))
                         + QStringLiteral("<link rel=\"shortcut icon\" href=\"/far.ico\">") + QString(5000, QLatin1Char('y'));
    EXPECT_EQ(PageIconUrlIn(page, base), QStringLiteral("http://h/far.ico"));
    // A tag whose HREF cannot be read gives nothing.
    EXPECT_EQ(PageIconUrlIn(QStringLiteral("<link rel=\"shortcut icon\">"), base), QString());
}

// The answer a page gives to the link question, built from documents of
// (address, [(tag, address, text)]).
QString linksAnswer(const QList<std::pair<QString, QList<QStringList>>>& documents)
{
    QJsonArray all;
    for (const auto& [address, links] : documents) {
        QJsonArray items;
        for (const QStringList& l : links)
            items.append(QJsonArray{l[0] == QLatin1String("A") ? 0 : l[0] == QLatin1String("AREA") ? 1 : 2, l[1],
                                    l.value(2)});
        all.append(QJsonArray{address, items});
    }
    return QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact));
}

class Collections : public ListsWindow {
protected:
    void SetUp() override
    {
        ListsWindow::SetUp();
        page.location = QStringLiteral("http://site/x/y/z/page.html");
        page.state = platform::browser::ReadyComplete;
        page.scriptAnswer = [this](const QString& script) {
            if (script.contains(QLatin1String("getSelection")))
                return selection;
            if (script.contains(QLatin1String("getElementsByTagName")))
                return links;
            if (script.contains(QLatin1String("documentElement")))
                return markup;
            return QString();
        };
        fakes.currentBrowser = &page;
        fakes.browsers[0] = &page;
        fakes.currentTabBlank = false;
        fakes.tabTitles = QStringList{QStringLiteral("The Title")};
    }
    QStringList column(int kind, int c)
    {
        QStringList out;
        for (int i = 1; i <= rows(kind).count(); ++i)
            out << rows(kind).column(i, c);
        return out;
    }

    bool called(const QString& prefix) const
    {
        return std::any_of(fakes.calls.cbegin(), fakes.calls.cend(),
                           [&prefix](const QString& c) { return c.startsWith(prefix); });
    }
    int times(const QString& call) const { return static_cast<int>(fakes.calls.count(call)); }

    FakeBrowser page;
    QString selection;
    QString links;
    QString markup;
};

TEST_F(Collections, LinkAddressesResolveByTheirForm)
{
    const QString doc = page.location;
    links = linksAnswer({{doc,
                          {{"A", "../../b/c.mp3", "two up"},
                           {"A", "/b/c2.mp3", ""},
                           {"A", "play?file=a%20b.mp3", "eq"},
                           {"A", "http://o/m.mp3#x", "hash"},
                           {"A", "MAILTO:a@b.mp3", "mail"},
                           {"A", "javascript:play('m.mp3')", ""},
                           {"A", "file:///music/f.mp3", "file"},
                           {"A", "ftp://ftp.o/pub/g.mp3", "ftp"},
                           {"A", "http://o/n.mp3", "n"},
                           {"A", "http://o/n.mp3", "again"},
                           {"A", "http://o/page.html", "not audio"}}}});
    lists->AddPageLinksToList(1, 2, 0);
    EXPECT_EQ(column(1, 1), (QStringList{"http://site/x/b/c.mp3", "http://site/x/y/z/b/c2.mp3",
                                         "http://site/x/y/z/play?file=a%20b.mp3", "file:///music/f.mp3",
                                         "ftp://ftp.o/pub/g.mp3", "http://o/n.mp3"}));
    EXPECT_EQ(column(1, 0), (QStringList{"c.mp3", "c2.mp3", "a b.mp3", "f.mp3", "g.mp3", "n.mp3"}));
    EXPECT_EQ(column(1, 2), QStringList(6, doc));
    EXPECT_EQ(window->CurrentListKind, 1);
    EXPECT_EQ(window->TimerStage, 2);
    // The same page again adds nothing.
    lists->AddPageLinksToList(1, 2, 0);
    EXPECT_EQ(rows(1).count(), 6);
}

TEST_F(Collections, TheDownloadListTakesItsFolderUnlessOfflineAndFiltersArchives)
{
    links = linksAnswer({{page.location, {{"A", "http://o/a.zip", "z"}, {"A", "http://o/b.pdf", "p"}}}});
    ListTargetDirectory[6] = QStringLiteral("/dl");
    ListDownloadOptions[6] = QStringLiteral("001000");
    lists->AddPageLinksToList(6, 2, 2);
    EXPECT_EQ(column(6, 1), QStringList{"http://o/a.zip"});
    EXPECT_EQ(column(6, 3), QStringList{"/dl"});
    rows(6).clear();
    ListDownloadOptions[6] = QStringLiteral("101000");
    lists->AddPageLinksToList(6, 2, 1);
    EXPECT_EQ(column(6, 1), (QStringList{"http://o/a.zip", "http://o/b.pdf"}));
    EXPECT_EQ(column(6, 3), (QStringList{"", ""}));
}

TEST_F(Collections, AddLinksOnPageTakesTheSelectionsLinksOrEveryLinkWithoutOne)
{
    links = linksAnswer({{page.location,
                          {{"A", "http://site/a.mp3", "A song"},
                           {"A", "javascript:play('music/b.mp3')", ""},
                           {"A", "mailto:x@y", "mail"},
                           {"IMG", "http://site/i.gif", ""}}}});
    rows(5).add(QStringLiteral("already"));
    rows(5).setColumn(1, 1, QStringLiteral("http://site/a.mp3"));
    // Nothing selected: every link, each once, no duplicate test against the list.
    lists->AddClipboardLinksToList(5);
    EXPECT_EQ(column(5, 0), (QStringList{"already", "A song", "b.mp3", "i.gif"}));
    EXPECT_EQ(column(5, 1).mid(1), (QStringList{"http://site/a.mp3", "javascript:play('music/b.mp3')", "http://site/i.gif"}));
    EXPECT_TRUE(lists->pageLinks().scratch().empty());

    // A selection holding one of them.
    rows(5).clear();
    selection = QStringLiteral("<HTML><BODY><a href=\"i.gif\">x</a> text</BODY></HTML>");
    lists->AddClipboardLinksToList(5);
    EXPECT_EQ(column(5, 1), QStringList{"http://site/i.gif"});
}

TEST_F(Collections, SelectionLinksAreThoseItsMarkupNames)
{
    links = linksAnswer({{page.location,
                          {{"A", "http://site/x/y/z/a.html", "a"},
                           {"A", "http://site/x/y/b.html", "b"},
                           {"A", "http://site/c.html#top", "c"},
                           {"A", "http://site/d.html", "d"}}}});
    selection = QStringLiteral("<HTML><BODY><a href=\"../b.html\">b</a><a href='a.html'>a</a>"
                               "<a href=\"c.html#top\">c</a><a href=''>e</a></BODY></HTML>");
    EXPECT_EQ(lists->pageLinks().ExtractSelectionLinks(), 2);
    QStringList kept;
    for (const auto& r : lists->pageLinks().scratch())
        kept << r.columns[1];
    EXPECT_EQ(kept, (QStringList{"http://site/x/y/z/a.html", "http://site/x/y/b.html"}));
    lists->pageLinks().scratch().clear();
    selection.clear();
    EXPECT_EQ(lists->pageLinks().ExtractSelectionLinks(), 0);
}

TEST_F(Collections, CaptureWritesTheFileAndTheRowAndNumbersASecondCapture)
{
    const QString docs = testenv::freshDir(QStringLiteral("documents"));
    const testenv::DocumentsAt documents(docs);
    links = linksAnswer({{page.location, {{"A", "http://site/x/y/z/a/b.html", "b"}}}});
    selection = QStringLiteral("<HTML><BODY style=\"x\"><p>Words \"quoted\"</p><a href=\"a/b.html\">b</a>\u0000</BODY></HTML>");
    lists->CaptureSelectionAsSnippet();
    lists->CaptureSelectionAsSnippet();
    const QString folder = docs + QStringLiteral("/Z5 Collection");
    EXPECT_EQ(column(4, 1), (QStringList{folder + "/Words 'quoted' b.Z5S", folder + "/Words 'quoted' b(1).Z5S"}));
    EXPECT_EQ(column(4, 0), (QStringList{"Words 'quoted' b", "Words 'quoted' b(1)"}));
    EXPECT_EQ(column(4, 2), (QStringList{"2", "2"}));
    const QStringList lines = QString::fromUtf8(testenv::readFile(folder + "/Words 'quoted' b(1).Z5S")).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("Words 'quoted' b(1)"));
    EXPECT_EQ(lines[1], QString());
    EXPECT_EQ(lines[2], page.location);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\S+ \\d\\d, \\d{4} \\d\\d:\\d\\d (AM|PM)$")).match(lines[3]).hasMatch())
        << lines[3].toStdString();
    EXPECT_EQ(lines[4], QStringLiteral("<HTML><BODY><p>Words 'quoted'</p><a href='http://site/x/y/z/a/b.html'>b</a></BODY></HTML>"));
    EXPECT_EQ(lines[5], QString());

    // Nothing selected and nothing pressed: named after the tab.
    selection.clear();
    lists->CaptureSelectionAsSnippet();
    EXPECT_EQ(rows(4).text(3), QStringLiteral("The Title"));
    EXPECT_TRUE(testenv::readFile(folder + "/The Title.Z5S").endsWith("<HTML><BODY></BODY></HTML>\r\n"));

    // A collection folder that cannot be written (a file stands in its
    // place, which stops root as well): no row, and the status line says why.
    const QString blocked = testenv::freshDir(QStringLiteral("documents-blocked"));
    ASSERT_TRUE(testenv::writeFile(blocked + QStringLiteral("/Z5 Collection"), "a file"));
    const testenv::DocumentsAt blockedDocuments(blocked);
    fakes.calls.clear();
    lists->CaptureSelectionAsSnippet();
    EXPECT_EQ(rows(4).count(), 3);
    EXPECT_TRUE(called(QStringLiteral("SetStatusMessage(Unable to save the Web Snippet in ") + blocked));
}

TEST_F(Collections, AbsoluteLinksReplaceOnlyAttributesOfTheSameValue)
{
    links = linksAnswer({{page.location, {{"IMG", "http://site/x/img/a.gif", ""}, {"A", "http://site/", "home"}}}});
    QString html = QStringLiteral("<HTML><BODY><IMG SRC='../img/a.gif'> img/a.gif <a href='../img/a.gif'>i</a>"
                                  "<a href='/'>home</a></BODY></HTML>");
    lists->snippets().AbsolutizeSnippetLinks(html);
    EXPECT_EQ(html, QStringLiteral("<HTML><BODY><IMG SRC='http://site/x/img/a.gif'> img/a.gif "
                                   "<a href='http://site/x/img/a.gif'>i</a><a href='http://site/'>home</a></BODY></HTML>"));
    EXPECT_TRUE(lists->pageLinks().scratch().empty());
}

TEST_F(Collections, RewritingMovesTheFileAndItsRowOrKeepsTheOriginalWhenItCannotWrite)
{
    const QString dir = testenv::freshDir(QStringLiteral("rewrite"));
    const QString old = dir + QStringLiteral("/Old.Z5S");
    ASSERT_TRUE(testenv::writeFile(old, SnippetFileBytes(QStringLiteral("Old"), QStringLiteral("c"), QStringLiteral("http://s/"),
                                                         QStringLiteral("d"), QStringLiteral("<HTML><BODY>x</BODY></HTML>"), true)));
    const QString other = dir + QStringLiteral("/New.Z5S");
    for (const QString& p : {old, other}) {
        const int r = rows(4).add(QStringLiteral("row"));
        rows(4).setColumn(r, 1, p);
    }
    QString target = other;
    lists->RewriteSnippetFile(old, target, QStringLiteral("New"), QStringLiteral("new comment"), true, true);
    EXPECT_FALSE(QFile::exists(old));
    EXPECT_EQ(testenv::readFile(other), QByteArray("New\r\nnew comment\r\nhttp://s/\r\nd\r\n<HTML><BODY>x</BODY></HTML>"));
    EXPECT_EQ(column(4, 1), QStringList{other});
    EXPECT_EQ(column(4, 0), QStringList{"New"});
    EXPECT_TRUE(called(QStringLiteral("SetTabState(0,1,4)")));

    // Into a folder that cannot be written (a file in its place): the original stays.
    const QString notAFolder = dir + QStringLiteral("/plain file");
    ASSERT_TRUE(testenv::writeFile(notAFolder, "x"));
    QString into = notAFolder + QStringLiteral("/Copy.Z5S");
    lists->RewriteSnippetFile(other, into, QStringLiteral("Copy"), QString(), false, true);
    EXPECT_TRUE(QFile::exists(other));
    EXPECT_EQ(column(4, 1), QStringList{other});
}

TEST_F(Collections, RewritingComparesPathsExactlyAndTheRowFollowsTheFile)
{
    const struct {
        const char* what;
        const char* from;
        const char* to;
        bool move;                // an Edit moves, a Save As copies
        QStringList files;        // the folder afterwards
        const char* row;          // the row's file afterwards
    } cases[] = {
        {"an Edit of the comment alone gives the name's own letter case", "x.z5s", "x.Z5S", true, {"x.Z5S"}, "x.Z5S"},
        {"a Save As to a name in another letter case", "y.z5s", "Y.z5s", false, {"Y.z5s", "y.z5s"}, "y.z5s"},
        {"an Edit to the very same path", "z.Z5S", "z.Z5S", true, {"z.Z5S"}, "z.Z5S"},
    };
    for (const auto& c : cases) {
        const QString dir = testenv::freshDir(QStringLiteral("case"));
        const QString from = dir + QLatin1Char('/') + QLatin1String(c.from);
        ASSERT_TRUE(testenv::writeFile(from, SnippetFileBytes(QStringLiteral("n"), QStringLiteral("old"), QString(), QString(),
                                                              QStringLiteral("<HTML><BODY>x</BODY></HTML>"), true)));
        rows(4).clear();
        rows(4).setColumn(rows(4).add(QStringLiteral("n")), 1, from);
        QString to = dir + QLatin1Char('/') + QLatin1String(c.to);
        lists->RewriteSnippetFile(from, to, QStringLiteral("n"), QStringLiteral("new"), true, c.move);
        EXPECT_EQ(QDir(dir).entryList(QDir::Files, QDir::Name), c.files) << c.what;
        EXPECT_TRUE(testenv::readFile(to).startsWith("n\r\nnew\r\n")) << c.what;
        EXPECT_EQ(column(4, 1), QStringList{dir + QLatin1Char('/') + QLatin1String(c.row)}) << c.what;
    }
}

TEST_F(Collections, TheViewPageFollowsTheFormatAndMergesIntoANewSnippet)
{
    const QString dir = testenv::freshDir(QStringLiteral("view"));
    QStringList paths;
    for (int i = 1; i <= 3; ++i) {
        const QString p = dir + QStringLiteral("/s%1.Z5S").arg(i);
        testenv::writeFile(p, SnippetFileBytes(QStringLiteral("Name %1 <b>").arg(i), QStringLiteral("C&%1").arg(i),
                                               QStringLiteral("http://s/%1").arg(i), QStringLiteral("d"),
                                               QStringLiteral("<HTML><BODY>body %1<meta http-equiv='refresh' "
                                                              "content='0;url=event:Z5_VIEWSP_CLOSE-x'></BODY></HTML>")
                                                   .arg(i),
                                               true));
        const int r = rows(4).add(QStringLiteral("s"));
        rows(4).setColumn(r, 1, p);
        paths << p;
    }
    const QString pageFile = lists->snippetView().PageFilePath(0);
    const auto pageText = [&] { return QString::fromUtf8(testenv::readFile(pageFile)); };

    window->CollectionFormat = QStringLiteral("111111");
    lists->ShowSnippetViewPage(0, paths[0]);
    EXPECT_EQ(window->ListStepBrowser[4], 0) << "the view page's load is marked as the step's own";
    QString text = pageText();
    EXPECT_EQ(text.count(QLatin1String("<table border='0' cellspacing='1'")), 1);
    EXPECT_TRUE(text.contains(QLatin1String("name='Z5CLOSE'")));
    EXPECT_TRUE(text.contains(QLatin1String("name='Z5SAVE'")));
    EXPECT_TRUE(text.contains(QLatin1String("name='Z5EDIT'")));
    EXPECT_TRUE(text.contains(QLatin1String("bordercolor='#D6DFF7'")));
    EXPECT_TRUE(text.contains(QLatin1String("Name 1 &lt;b&gt;")));
    EXPECT_TRUE(text.contains(QLatin1String("C&amp;1")));
    EXPECT_FALSE(text.contains(QLatin1String("http-equiv='refresh'")));
    EXPECT_TRUE(text.contains(QLatin1String("Content-Security-Policy")));
    EXPECT_EQ(text.count(QLatin1String("<script")), 1);
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("EVENT:Z5_VIEWSP_SAVE-[0-9a-z]+-")
                                                 + QRegularExpression::escape(QString::fromLatin1(QUrl::toPercentEncoding(paths[0], "/"))))));
    EXPECT_EQ(fakes.tabTitles.value(0), QStringLiteral("Name 1 <b>"));
    EXPECT_TRUE(page.navigated.contains(QUrl::fromLocalFile(pageFile).toString(QUrl::FullyEncoded)));

    // All: three headers, Close on the first only, no Save or Edit.
    lists->ShowSnippetViewPage(1, QString());
    text = pageText();
    EXPECT_EQ(text.count(QLatin1String("<table border='0' cellspacing='1'")), 3);
    EXPECT_EQ(text.count(QLatin1String("name='Z5CLOSE'")), 1);
    EXPECT_FALSE(text.contains(QLatin1String("Z5SAVE")));

    // Merged: one header for the new file, every content table, the merged file's lines.
    rows(4).setMultiSelect(true);
    rows(4).setSelected(1, true);
    rows(4).setSelected(3, true);
    lists->ShowSnippetViewPage(3, QString());
    text = pageText();
    EXPECT_EQ(text.count(QLatin1String("<table border='0' cellspacing='1'")), 1);
    EXPECT_EQ(text.count(QLatin1String("<table border='2'")), 2);
    const QString merged = lists->snippetView().MergedFilePath(0);
    EXPECT_TRUE(text.contains(QString::fromLatin1(QUrl::toPercentEncoding(merged, "/"))));
    const QStringList lines = QString::fromUtf8(testenv::readFile(merged)).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"", "", ""}));
    EXPECT_EQ(lines[4], QStringLiteral("<HTML><BODY>"));
    EXPECT_TRUE(lines[5].startsWith(QLatin1String("<p>body 1")));
    EXPECT_TRUE(lines[6].startsWith(QLatin1String("<p>body 3")));
    EXPECT_EQ(lines[7], QStringLiteral("</BODY></HTML>"));

    // Format digit 1 off: no header and no script.
    window->CollectionFormat = QStringLiteral("011111");
    lists->ShowSnippetViewPage(0, paths[1]);
    text = pageText();
    EXPECT_FALSE(text.contains(QLatin1String("cellspacing='1'")));
    EXPECT_FALSE(text.contains(QLatin1String("Z5CLOSE")));

    // An empty list shows nothing in the list modes.
    rows(4).clear();
    page.navigated.clear();
    lists->ShowSnippetViewPage(1, QString());
    EXPECT_TRUE(page.navigated.isEmpty());
}

TEST_F(Collections, PageCommandsAreTakenOnlyForTheSnippetsOfThePageThatSentThem)
{
    const QString dir = testenv::freshDir(QStringLiteral("commands"));
    const QString path = dir + QStringLiteral("/a b#%'Ü.Z5S");
    testenv::writeFile(path, SnippetFileBytes(QStringLiteral("a"), QString(), QString(), QString(), QStringLiteral("<HTML><BODY></BODY></HTML>"), true));
    window->CollectionFormat = QStringLiteral("111111");
    lists->ShowSnippetViewPage(0, path);
    page.location = QUrl::fromLocalFile(lists->snippetView().PageFilePath(0)).toString(QUrl::FullyEncoded);
    const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
    // The page's token, as its buttons send it.
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("EVENT:Z5_VIEWSP_CLOSE-([0-9a-z]+)-"))
                                          .match(QString::fromUtf8(testenv::readFile(lists->snippetView().PageFilePath(0))));
    ASSERT_TRUE(m.hasMatch());
    const QString token = m.captured(1);
    fakes.calls.clear();
    const QString prefix = QStringLiteral("EVENT:Z5_VIEWSP_CLOSE-");
    for (const QString& refused : QStringList{prefix + token + QLatin1Char('-') + encoded + QStringLiteral("x"),
                                   prefix + token + QStringLiteral("-/etc/passwd"),
                                   // A command without the token or with another: a frame's, or a link of the snippet's.
                                   prefix + encoded, prefix + QLatin1Char('-') + encoded,
                                   prefix + QLatin1Char('0') + token + QLatin1Char('-') + encoded})
        lists->HandleSnippetPageEvent(0, refused);
    EXPECT_FALSE(called(QStringLiteral("CloseTab")));
    lists->HandleSnippetPageEvent(0, QStringLiteral("event:z5_viewsp_close-") + token + QLatin1Char('-') + encoded);
    EXPECT_EQ(times(QStringLiteral("CloseTab(0)")), 1);
    // Another page of the same browser sends nothing.
    page.location = QStringLiteral("http://site/");
    lists->HandleSnippetPageEvent(0, QStringLiteral("EVENT:Z5_VIEWSP_CLOSE-") + token + QLatin1Char('-') + encoded);
    EXPECT_EQ(times(QStringLiteral("CloseTab(0)")), 1);
}

TEST_F(Collections, AGroupOpensEveryShortcutOfTheFolderInATabAndStopsWhenAsked)
{
    const QString dir = testenv::freshDir(QStringLiteral("group"));
    for (const char* n : {"b", "a", "c"})
        testenv::writeFile(dir + QStringLiteral("/%1.url").arg(QLatin1String(n)),
                           ShortcutFileBytes(QStringLiteral("http://site/%1").arg(QLatin1String(n))));
    testenv::writeFile(dir + QStringLiteral("/not-a-shortcut.txt"), "URL=http://no/");
    std::vector<std::unique_ptr<FakeBrowser>> made;
    fakes.makeBrowser = [&](int16_t) {
        made.push_back(std::make_unique<FakeBrowser>());
        return made.back().get();
    };
    page.location = QStringLiteral("http://site/shown");
    lists->OpenGroupFolder(2, dir + QLatin1Char('\\'));
    ASSERT_EQ(made.size(), 3u);
    QStringList opened;
    for (const auto& b : made)
        opened << b->navigated;
    EXPECT_EQ(opened, (QStringList{"http://site/a", "http://site/b", "http://site/c"}));
    EXPECT_EQ(fakes.tabBrowsers.size(), 4);
    EXPECT_EQ(GroupOpening, 0);
    EXPECT_TRUE(called(QStringLiteral("SetBusyIndicator(1)")));
    EXPECT_TRUE(called(QStringLiteral("WaitUntilReady(1,")));

    // The stop flag after the first tab ends the loop.
    made.clear();
    fakes.tabBrowsers = {0};
    fakes.makeBrowser = [&](int16_t) {
        fakes.groupStop = true;
        made.push_back(std::make_unique<FakeBrowser>());
        return made.back().get();
    };
    lists->OpenGroupFolder(2, dir);
    EXPECT_EQ(made.size(), 1u);
    EXPECT_EQ(GroupOpening, 0);
}

TEST_F(Collections, SelectionLinksBecomeShortcutsNamedByTheirText)
{
    const QString dir = testenv::freshDir(QStringLiteral("linkfolder"));
    links = linksAnswer({{page.location, {{"A", "http://site/a.html", "First: link"}, {"A", "http://site/b.html", "B"}}}});
    selection = QStringLiteral("<HTML><BODY><a href=\"a.html\">x</a><a href=\"b.html\">y</a></BODY></HTML>");
    platform::prompt::setResponder([&](const platform::prompt::Prompt& p) {
        platform::prompt::Answer a;
        a.accepted = p.kind == QLatin1String("folder");
        a.text = dir;
        return a;
    });
    lists->AddSelectionLinksToFolder(2);
    EXPECT_EQ(testenv::readFile(dir + QStringLiteral("/First link.url")),
              QByteArray("[InternetShortcut]\r\nURL=http://site/a.html\r\n"));
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("/B.url")));
    EXPECT_EQ(window->LastFolders[7], dir);
    EXPECT_TRUE(lists->pageLinks().scratch().empty());
}

} // namespace
