// Page collections on real pages: the program with its real tabs and lists
// against loopback servers. Links of a page with frames, a capture from a
// selection made by a mouse drag, and the view page's buttons clicked.

#include "app/browserprogram.h"
#include "browsing/explorertabs.h"
#include "core/globals.h"
#include "core/settingsstore.h"
#include "lists/favorites.h"
#include "lists/listsservice.h"
#include "lists/liststores.h"
#include "lists/pagelinks.h"
#include "lists/snippetview.h"
#include "lists/websnippets.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/com.h"
#include "platform/base/paths.h"
#include "platform/web/browser.h"
#include "platform/win/prompt.h"

#include "httpserver.h"
#include "modaldriver.h"
#include "programwindow.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

const bool schemeRegistered = (platform::browser::prepareBeforeApplication(), true);

class CollectionPages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(schemeRegistered);
        prog = testenv::prepareProgramFolder(QStringLiteral("prog fä"));
        ASSERT_FALSE(prog.isEmpty());
        program = testenv::showProgram(services);
        ASSERT_TRUE(program);
        window = &program->window();
    }

    void TearDown() override
    {
        platform::prompt::setResponder({});
        window = nullptr;
        program.reset();
    }

    ListsService& lists() { return *program->lists(); }
    platform::browser::Browser& current()
    {
        auto* b = dynamic_cast<platform::browser::Browser*>(services.Tabs().CurrentBrowser());
        if (!b)
            std::abort();
        return *b;
    }
    // The current tab shows url, loaded.
    bool load(const QString& url)
    {
        services.Tabs().NavigateCurrentTab(url);
        return testenv::waitFor(
            [&] {
                return services.Tabs().CurrentBrowser()->readyState() == platform::browser::ReadyComplete
                       && services.Tabs().CurrentBrowser()->locationURL() == url;
            },
            20000);
    }
    // A value the page's own script computes.
    QVariant pageValue(const QString& script)
    {
        QVariant out;
        bool done = false;
        current().page()->runJavaScript(script, [&](const QVariant& v) {
            out = v;
            done = true;
        });
        testenv::waitFor([&] { return done; }, 10000);
        return out;
    }
    // The middle of the first element the selector finds, in the page's pixels.
    QPoint centre(const QString& selector)
    {
        const QVariantList r = pageValue("(function(){var r=document.querySelector(\"" + selector
                                         + "\").getBoundingClientRect();return [r.left+r.width/2,r.top+r.height/2];})()")
                                   .toList();
        return r.size() == 2 ? QPoint(int(r[0].toDouble()), int(r[1].toDouble())) : QPoint();
    }
    QStringList scratchAddresses()
    {
        QStringList out;
        for (const auto& r : lists().pageLinks().scratch())
            out << r.columns[1];
        return out;
    }
    QString shot(const QString& name)
    {
        QTest::qWait(300);
        const QString dir = QStringLiteral(Z5_BINARY_DIR "/screenshots");
        QDir().mkpath(dir);
        const QString path = dir + QLatin1Char('/') + name;
        window->window()->grab().save(path);
        return path;
    }

    testenv::HttpServer server;
    testenv::HttpServer other;
    QString prog;
    ServiceSet services;
    std::unique_ptr<BrowserProgram> program;
    frmExplorer* window = nullptr;
};

TEST_F(CollectionPages, LinksOfThePageAndTwoLevelsOfFramesInDocumentOrder)
{
    other.serve("/cross.html", "<html><body><a href='cross-link.mp3'>c</a></body></html>");
    server.serve("/d/s/page.html",
                 "<html><body><img src='img/p.gif'><a href='../up.mp3'>up</a>"
                 "<a href='play?f=a%20b.mp3'>eq</a><a href='#top'>hash</a><a href='mailto:x@y'>m</a>"
                 "<a href='javascript:void(0)'>js</a><a href='file:///music/f.mp3'>f</a>"
                 "<a href='ftp://ftp.example/pub/g.mp3'>g</a>"
                 "<map name='m'><area href='area.html' shape='rect' coords='0,0,9,9'></map>"
                 "<iframe src='frame1.html'></iframe><iframe src='"
                     + other.address("/cross.html").toUtf8() + "'></iframe></body></html>");
    server.serve("/d/s/frame1.html", "<html><body><a href='f1.mp3'>f1</a><iframe src='frame2.html'></iframe></body></html>");
    server.serve("/d/s/frame2.html", "<html><body><a href='f2.mp3'>f2</a><iframe src='frame3.html'></iframe></body></html>");
    server.serve("/d/s/frame3.html", "<html><body><a href='f3.mp3'>f3</a></body></html>");
    ASSERT_TRUE(load(server.address("/d/s/page.html")));
    ASSERT_TRUE(testenv::waitFor([&] { return server.requestsFor("/d/s/frame3.html") == 1 && other.requestsFor("/cross.html") == 1; }));
    ASSERT_TRUE(testenv::waitFor([&] {
        return pageValue("document.querySelector('iframe').contentDocument.querySelector('iframe')"
                         ".contentDocument.querySelector('iframe').contentDocument.readyState")
                   .toString()
               == "complete";
    }));
    const QString base = server.address("/d/");
    lists().pageLinks().CollectPageLinks(0, 1, 0);
    EXPECT_EQ(scratchAddresses(),
              (QStringList{base + "up.mp3", base + "s/play?f=a%20b.mp3", "javascript:void(0)", "file:///music/f.mp3",
                           "ftp://ftp.example/pub/g.mp3", base + "s/area.html", base + "s/img/p.gif", base + "s/f1.mp3",
                           base + "s/f2.mp3"}));
    lists().pageLinks().scratch().clear();
}

TEST_F(CollectionPages, TenThousandLinksGiveTenThousandRows)
{
    QByteArray body = "<html><body>";
    for (int i = 0; i < 10000; ++i)
        body += "<a href='m/" + QByteArray::number(i) + ".mp3'>song " + QByteArray::number(i) + "</a>\n";
    server.serve("/many.html", body + "</body></html>");
    ASSERT_TRUE(load(server.address("/many.html")));
    lists().AddPageLinksToList(1, 2, 0);
    ASSERT_EQ(lists().stores()[1].count(), 10000);
    EXPECT_EQ(lists().stores()[1].column(10000, 1), server.address("/m/9999.mp3"));
    EXPECT_EQ(lists().stores()[1].column(1, 4), QStringLiteral("song 0"));
}

TEST_F(CollectionPages, ASelectionDraggedWithTheMouseIsCapturedAsASnippet)
{
    const QString docs = testenv::freshDir(QStringLiteral("docs"));
    server.serve("/cap.html", "<html><head><title>Cap</title></head><body style='margin:0'>"
                              "<p id='t' style='font-size:40px;margin:0'>Drag over <b>these</b> words</p>"
                              "<p style='font-size:40px;margin:0'><a href='/'>home</a> <img src='i/x.gif' alt='x'></p>"
                              "</body></html>");
    ASSERT_TRUE(load(server.address("/cap.html")));
    QWidget* input = current().inputWidget();
    ASSERT_TRUE(input);
    // A drag from the start of the first line to the end of the second.
    for (int attempt = 0; attempt < 10; ++attempt) {
        QTest::mousePress(input, Qt::LeftButton, {}, QPoint(2, 20));
        for (int x = 10; x <= 300; x += 20)
            QTest::mouseMove(input, QPoint(x, 20 + x / 5));
        QTest::mouseMove(input, QPoint(300, 75));
        QTest::mouseRelease(input, Qt::LeftButton, {}, QPoint(300, 75));
        if (testenv::waitFor([&] { return pageValue("String(window.getSelection())").toString().contains("home"); }, 1000))
            break;
    }
    ASSERT_TRUE(pageValue("String(window.getSelection())").toString().contains("these words"));

    window->CurrentListKind = 4;
    lists().ShowCurrentList();
    {
        const testenv::DocumentsAt documents(docs);
        // The snippet list's capture button, clicked twice.
        QWidget* capture = window->cmdPLControl[2].widget();
        ASSERT_TRUE(capture && capture->isVisible());
        EXPECT_EQ(window->cmdPLControl[2].toolTipText().trimmed(), QStringLiteral("Add Web Snippet"));
        for (int n = 1; n <= 2; ++n) {
            QTest::mouseClick(capture, Qt::LeftButton, {}, capture->rect().center());
            ASSERT_TRUE(testenv::waitFor([&] { return lists().stores()[4].count() == n; }, 20000));
        }
    }
    const QString folder = docs + QStringLiteral("/Z5 Collection");
    QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
    files.sort();
    ASSERT_EQ(files, (QStringList{"Drag over these words home(1).Z5S", "Drag over these words home.Z5S"}));
    const QStringList lines = QString::fromUtf8(testenv::readFile(folder + QLatin1Char('/') + files[1])).split("\r\n");
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("Drag over these words home"));
    EXPECT_EQ(lines[2], server.address("/cap.html"));
    const QString html = lines.mid(4).join(QString());
    EXPECT_TRUE(html.contains("<a href='" + server.address("/") + "'>home</a>")) << html.toStdString();
    EXPECT_TRUE(html.contains("src='" + server.address("/i/x.gif") + "'")) << html.toStdString();
    EXPECT_TRUE(html.endsWith("</BODY></HTML>")) << html.toStdString();
    EXPECT_EQ(lists().stores()[4].count(), 2);
    EXPECT_EQ(lists().stores()[4].text(2), QStringLiteral("Drag over these words home(1)"));
}

TEST_F(CollectionPages, TheViewPageButtonsSendTheirPathAndForeignMarkupSendsNothing)
{
    const QString dir = testenv::freshDir(QStringLiteral("snip dir"));
    const QString path = dir + QStringLiteral("/a b #%'Ü.Z5S");
    server.serve("/hit", "hit");
    testenv::writeFile(path, SnippetFileBytes(QStringLiteral("Ü name"), QStringLiteral("a comment"), server.address("/"),
                                              QStringLiteral("Dec 08, 2026 01:18 AM"),
                                              QStringLiteral("<HTML><BODY><p id='c'>content</p>"
                                                             "<script>document.title='ran';location.href='event:Z5_VIEWSP_CLOSE-x'</script>"
                                                             "<img src='nothing.gif' onerror=\"document.title='onerror'\">"
                                                             "<meta http-equiv='refresh' content='1;url=EVENT:Z5_VIEWSP_CLOSE-")
                                                  + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"))
                                                  + QStringLiteral("'><a id='l' href='EVENT:Z5_VIEWSP_CLOSE-")
                                                  + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"))
                                                  + QStringLiteral("'>link</a></BODY></HTML>"),
                                              true));
    window->CollectionFormat = QStringLiteral("111111");
    lists().ShowSnippetViewPage(0, path);
    const QString pageUrl = QUrl::fromLocalFile(lists().snippetView().PageFilePath(0)).toString(QUrl::FullyEncoded);
    ASSERT_TRUE(testenv::waitFor([&] {
        return current().readyState() == platform::browser::ReadyComplete && current().locationURL() == pageUrl;
    }, 20000));
    ASSERT_TRUE(testenv::waitFor([&] { return pageValue("document.getElementById('c') !== null").toBool(); }));
    shot(QStringLiteral("snippet-view-mode0.png"));
    // The snippet's script and handler did not run; its refresh is gone.
    QTest::qWait(1500);
    EXPECT_NE(pageValue("document.title").toString(), QStringLiteral("ran"));
    EXPECT_NE(pageValue("document.title").toString(), QStringLiteral("onerror"));
    EXPECT_EQ(current().locationURL(), pageUrl);
    EXPECT_EQ(services.Tabs().TabCount(), 1);

    QWidget* input = current().inputWidget();
    // A click on the snippet's link to a command address goes nowhere.
    QTest::mouseClick(input, Qt::LeftButton, {}, centre("#l"));
    QTest::qWait(1000);
    EXPECT_EQ(current().locationURL(), pageUrl);

    // Save: the save picker is asked, and the snippet goes where it says.
    const QString saved = dir + QStringLiteral("/saved.Z5S");
    QStringList asked;
    platform::prompt::setResponder([&](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
        asked << p.kind + QLatin1Char(':') + p.title;
        platform::prompt::Answer a;
        a.accepted = true;
        a.text = saved;
        a.paths = {saved};
        return a;
    });
    QTest::mouseClick(input, Qt::LeftButton, {}, centre("input[name=Z5SAVE]"));
    ASSERT_TRUE(testenv::waitFor([&] { return QFile::exists(saved); }, 10000)) << asked.join(',').toStdString();
    EXPECT_EQ(asked, QStringList{"save:Save Snippet"});
    EXPECT_FALSE(QFile::exists(path)) << "a snippet file saved elsewhere moves";
    EXPECT_TRUE(testenv::readFile(saved).startsWith("saved\r\na comment\r\n"));

    // The page of the saved file is shown; Close closes its tab.
    ASSERT_TRUE(testenv::waitFor([&] {
        return testenv::readFile(lists().snippetView().PageFilePath(0)).contains("saved.Z5S")
               && current().readyState() == platform::browser::ReadyComplete
               && pageValue("document.querySelector('input[name=Z5CLOSE]') !== null").toBool();
    }, 20000));
    shot(QStringLiteral("snippet-view-saved.png"));

    // Edit: the input dialog opens over the window; a new name and comment
    // typed there and its OK button clicked rename the file and rewrite it.
    platform::prompt::setResponder({});
    bool edited = false;
    testenv::whenActive<QWidget>(
        [&](QWidget& dialog) {
            QList<QLineEdit*> boxes = dialog.findChildren<QLineEdit*>();
            boxes.removeIf([](QLineEdit* e) { return !e->isVisible(); });
            std::sort(boxes.begin(), boxes.end(), [](QLineEdit* a, QLineEdit* b) { return a->y() < b->y(); });
            ASSERT_EQ(boxes.size(), 2);
            EXPECT_EQ(boxes[0]->text(), QStringLiteral("saved"));
            for (const auto& [box, text] : {std::pair{boxes[0], QStringLiteral("Édited #1")}, std::pair{boxes[1], QStringLiteral("new comment")}}) {
                box->setFocus();
                QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(box, text);
            }
            QLabel* ok = nullptr;
            for (QLabel* l : dialog.findChildren<QLabel*>())
                if (l->text() == QLatin1String("OK") && l->isVisible())
                    ok = l;
            ASSERT_NE(ok, nullptr);
            QWidget* button = ok->parentWidget();
            edited = true;
            QTest::mouseClick(button, Qt::LeftButton, {}, ok->geometry().center());
        },
        1500);
    QTest::mouseClick(input, Qt::LeftButton, {}, centre("input[name=Z5EDIT]"));
    const QString renamed = dir + QStringLiteral("/Édited #1.Z5S");
    ASSERT_TRUE(testenv::waitFor([&] { return edited && QFile::exists(renamed); }, 30000));
    EXPECT_FALSE(QFile::exists(saved));
    EXPECT_TRUE(testenv::readFile(renamed).startsWith("Édited #1\r\nnew comment\r\n"));
    ASSERT_TRUE(testenv::waitFor([&] {
        return testenv::readFile(lists().snippetView().PageFilePath(0)).contains("new comment")
               && current().readyState() == platform::browser::ReadyComplete
               && pageValue("document.querySelector('input[name=Z5CLOSE]') !== null").toBool();
    }, 20000));
    // Offscreen, nothing gives the window back its activation once the dialog is gone.
    window->window()->activateWindow();
    ASSERT_TRUE(testenv::waitFor([&] { return QApplication::activeWindow() == window->window(); }));
    services.Tabs().NavigateInNewTab(server.address("/hit"));
    ASSERT_TRUE(testenv::waitFor([&] { return services.Tabs().TabCount() == 2; }));
    services.Tabs().GoToTab(0);
    ASSERT_TRUE(testenv::waitFor([&] { return services.Tabs().CurrentTab() == 0; }));
    input = current().inputWidget();
    // A view just shown again may drop a click that comes before its first
    // frame; the click is repeated until the tab goes (bounded).
    for (int attempt = 0; attempt < 5 && services.Tabs().TabCount() == 2; ++attempt) {
        QTest::mouseClick(input, Qt::LeftButton, {}, centre("input[name=Z5CLOSE]"));
        testenv::waitFor([&] { return services.Tabs().TabCount() == 1; }, 4000);
    }
    EXPECT_EQ(services.Tabs().TabCount(), 1);
}

TEST_F(CollectionPages, TheViewPageButtonsWorkWhateverFramesTheSnippetHoldsAndAFramesCommandIsRefused)
{
    const QString dir = testenv::freshDir(QStringLiteral("framed"));
    const QString path = dir + QStringLiteral("/framed.Z5S");
    const QString close = QStringLiteral("EVENT:Z5_VIEWSP_CLOSE-") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
    // The web frame tries both ways a frame has: a link to the top and its
    // own script on a click; it fills the frame so that a click lands on it.
    server.serve("/frame.html", ("<html><body style='margin:0'><a id='f' target='_top' href='" + close
                                 + "' style='display:block;width:100%;height:100%'>frame</a><script>"
                                   "document.addEventListener('click',function(){top.location.href='"
                                 + close + "';});</script></body></html>").toUtf8());
    server.serve("/moving.html", "<html><body><script>location.href='/frame.html?moved';</script></body></html>");
    server.serve("/hit", "hit");
    testenv::writeFile(path, SnippetFileBytes(QStringLiteral("framed"), QStringLiteral("with frames"), server.address("/"),
                                              QStringLiteral("Dec 08, 2026 01:18 AM"),
                                              QStringLiteral("<HTML><BODY><iframe id='web' style='width:300px;height:120px' src='")
                                                  + server.address("/frame.html")
                                                  + QStringLiteral("'></iframe><iframe src='data:text/html,<p>data</p>'></iframe>"
                                                                   "<iframe srcdoc='<p>srcdoc</p>'></iframe><iframe></iframe>"
                                                                   "<iframe src='")
                                                  + server.address("/moving.html") + QStringLiteral("'></iframe></BODY></HTML>"),
                                              true));
    window->CollectionFormat = QStringLiteral("111111");
    services.Tabs().NavigateInNewTab(server.address("/hit"));
    ASSERT_TRUE(testenv::waitFor([&] { return services.Tabs().TabCount() == 2; }));
    services.Tabs().GoToTab(0);
    ASSERT_TRUE(testenv::waitFor([&] { return services.Tabs().CurrentTab() == 0; }));
    lists().ShowSnippetViewPage(0, path);
    const QString pageUrl = QUrl::fromLocalFile(lists().snippetView().PageFilePath(0)).toString(QUrl::FullyEncoded);
    ASSERT_TRUE(testenv::waitFor([&] {
        return current().readyState() == platform::browser::ReadyComplete && current().locationURL() == pageUrl
               && server.log().contains(QStringLiteral("GET /frame.html")) && server.log().contains(QStringLiteral("GET /frame.html?moved"));
    }, 20000)) << "the web frames never loaded";
    shot(QStringLiteral("snippet-view-frames.png"));
    QWidget* input = current().inputWidget();

    // A click in the web frame: its link and its script both try Close.
    QTest::mouseClick(input, Qt::LeftButton, {}, centre("#web"));
    QTest::qWait(1500);
    EXPECT_EQ(services.Tabs().TabCount(), 2) << "a frame's command closed the tab";
    EXPECT_EQ(current().locationURL(), pageUrl);

    // Edit: the input dialog is asked for (and cancelled).
    QStringList asked;
    platform::prompt::setResponder([&](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
        asked << p.kind + QLatin1Char(':') + p.title;
        return platform::prompt::Answer{};
    });
    QTest::mouseClick(input, Qt::LeftButton, {}, centre("input[name=Z5EDIT]"));
    ASSERT_TRUE(testenv::waitFor([&] { return !asked.isEmpty(); }, 10000)) << "Edit opened no dialog";
    EXPECT_EQ(asked, QStringList{"input:Edit Web Snippet"});

    // Close closes the tab (a view may drop a click before its first frame:
    // repeated until the tab goes, bounded).
    for (int attempt = 0; attempt < 5 && services.Tabs().TabCount() == 2; ++attempt) {
        QTest::mouseClick(input, Qt::LeftButton, {}, centre("input[name=Z5CLOSE]"));
        testenv::waitFor([&] { return services.Tabs().TabCount() == 1; }, 4000);
    }
    EXPECT_EQ(services.Tabs().TabCount(), 1);
}

TEST_F(CollectionPages, AGroupFolderChosenInThePickerOpensEachShortcutInATab)
{
    const QString dir = testenv::freshDir(QStringLiteral("group fä"));
    for (const char* n : {"b", "a", "c"})
        testenv::writeFile(dir + QStringLiteral("/%1.url").arg(QLatin1String(n)),
                           ShortcutFileBytes(server.address(QStringLiteral("/g/%1.html").arg(QLatin1String(n)))));
    for (const char* n : {"a", "b", "c"})
        server.serve(QStringLiteral("/g/%1.html").arg(QLatin1String(n)),
                     "<html><head><title>" + QByteArray(n) + "</title></head><body>" + QByteArray(n) + "</body></html>");
    QStringList asked;
    platform::prompt::setResponder([&](const platform::prompt::Prompt& p) -> std::optional<platform::prompt::Answer> {
        asked << p.kind;
        platform::prompt::Answer a;
        a.accepted = true;
        a.text = dir;
        a.paths = {dir};
        return a;
    });
    // A tab that shows the blank page takes the first shortcut; the picker
    // hands the folder to the program's tick, which opens the group.
    services.Tabs().NavigateCurrentTab(QUrl::fromLocalFile(prog + QStringLiteral("/Common/Z5_BlankPage.HTM")).toString());
    ASSERT_TRUE(testenv::waitFor([&] {
        return current().readyState() == platform::browser::ReadyComplete
               && current().locationURL().endsWith(QLatin1String("/Z5_BlankPage.HTM"));
    }, 20000));
    lists().SelectGroupFolder();
    EXPECT_EQ(asked, QStringList{"folder"});
    ASSERT_TRUE(testenv::waitFor([&] {
        return server.requestsFor("/g/a.html") == 1 && server.requestsFor("/g/b.html") == 1
               && server.requestsFor("/g/c.html") == 1;
    }, 30000));
    ASSERT_TRUE(testenv::waitFor([&] { return GroupOpening == 0; }, 30000));
    QStringList shown;
    for (int16_t t = 0; t < services.Tabs().TabCount(); ++t)
        if (auto* b = services.Tabs().Browser(services.Tabs().TabBrowserMap(t)))
            shown << b->locationURL();
    EXPECT_EQ(shown, (QStringList{server.address("/g/a.html"), server.address("/g/b.html"), server.address("/g/c.html")}));
    QTest::qWait(500);
    EXPECT_EQ(server.requestsFor("/g/a.html") + server.requestsFor("/g/b.html") + server.requestsFor("/g/c.html"), 3);
}

TEST_F(CollectionPages, TheViewPageOfTheWholeListAndOfTheSelectedSnippetsMerged)
{
    const QString dir = testenv::freshDir(QStringLiteral("snip list"));
    const QStringList names{QStringLiteral("a b #%'Ü"), QStringLiteral("second"), QStringLiteral("third")};
    auto& rows = lists().stores()[4];
    rows.clear();
    for (const QString& name : names) {
        const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".Z5S");
        testenv::writeFile(path, SnippetFileBytes(name, QStringLiteral("about ") + name, server.address("/"),
                                                  QStringLiteral("Dec 08, 2026 01:18 AM"),
                                                  QStringLiteral("<HTML><BODY><p class='c'>body of ") + name.toHtmlEscaped()
                                                      + QStringLiteral("</p></BODY></HTML>"),
                                                  true));
        rows.setColumn(rows.add(name), 1, path);
    }
    window->CollectionFormat = QStringLiteral("111111");
    const QString pageUrl = QUrl::fromLocalFile(lists().snippetView().PageFilePath(0)).toString(QUrl::FullyEncoded);
    const auto shown = [&](int bodies, const QString& first) {
        return testenv::waitFor([&] {
            return current().readyState() == platform::browser::ReadyComplete && current().locationURL() == pageUrl
                   && pageValue("document.querySelectorAll('p.c').length").toInt() == bodies
                   && pageValue("document.querySelector('p.c').textContent").toString() == first;
        }, 20000);
    };

    // The whole list: every snippet with its header, Close on the first.
    lists().ShowSnippetViewPage(1, QString());
    ASSERT_TRUE(shown(3, QStringLiteral("body of a b #%'Ü")));
    EXPECT_EQ(pageValue("document.querySelectorAll('input[name=Z5CLOSE]').length").toInt(), 1);
    EXPECT_EQ(pageValue("document.querySelectorAll('input[name=Z5SAVE]').length").toInt(), 0);
    shot(QStringLiteral("snippet-view-mode1.png"));

    // The selected rows merged into one new snippet under one header.
    rows.setMultiSelect(true);
    rows.setSelected(1, true);
    rows.setSelected(3, true);
    lists().ShowSnippetViewPage(3, QString());
    ASSERT_TRUE(shown(2, QStringLiteral("body of a b #%'Ü")));
    EXPECT_EQ(pageValue("document.querySelectorAll('p.c')[1].textContent").toString(), QStringLiteral("body of third"));
    EXPECT_EQ(pageValue("document.querySelectorAll('input[name=Z5SAVE]').length").toInt(), 1);
    shot(QStringLiteral("snippet-view-mode3.png"));
}

} // namespace
