// The image, snippet and link lists played in the running window: the
// program with its real tabs, lists, media player and fetcher, pictures
// written here, pages from a loopback server. Screenshots go to
// build/screenshots.

#include "app/browserprogram.h"
#include "core/globals.h"
#include "lists/listsservice.h"
#include "lists/liststores.h"
#include "lists/websnippets.h"
#include "mainwindow/frmexplorer.h"
#include "media/imageviewer.h"
#include "media/mediaservice.h"
#include "platform/web/browser.h"
#include "platform/win/listrows.h"
#include "platform/win/prompt.h"
#include "platform/win/textbox.h"
#include "platform/win/twips.h"

#include "httpserver.h"
#include "mediafiles.h"
#include "nginxserver.h"
#include "programwindow.h"
#include "testenv.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>
#include <QWebEngineView>
#include <QWindow>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

const bool schemeRegistered = (platform::browser::prepareBeforeApplication(), true);

class Slideshow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(schemeRegistered);
        prog = testenv::prepareProgramFolder(QStringLiteral("prog"));
        ASSERT_FALSE(prog.isEmpty());
        program = testenv::showProgram(services);
        ASSERT_TRUE(program);
        window = &program->window();
        window->TempPagePrefix = testenv::freshDir(QStringLiteral("temp")) + QStringLiteral("/~Z5_1200001");
        pictures = testenv::freshDir(QStringLiteral("pictures"));
    }

    void TearDown() override
    {
        platform::prompt::setResponder({});
        window = nullptr;
        program.reset();
    }

    ImageViewer& viewer() { return program->media()->viewer(); }
    platform::forms::ListRows& rows(int kind) { return program->lists()->stores()[kind]; }
    void addRow(int kind, const QString& text, const QString& address)
    {
        const int r = rows(kind).add(text);
        rows(kind).setColumn(r, 1, address);
    }
    // An image list row on the Net, with the folder its copy goes to.
    void addNetRow(const QString& text, const QString& address, const QString& folder)
    {
        addRow(3, text, address);
        rows(3).setColumn(rows(3).count(), 3, folder);
    }
    // A picture of one colour with a white mark in its corner.
    QString picture(const QString& name, QColor colour, const char* format, QSize size = QSize(160, 120))
    {
        const QString path = pictures + QLatin1Char('/') + name;
        EXPECT_TRUE(testmedia::writeMarkedPicture(path, colour, format, size)) << name.toStdString();
        return path;
    }
    // Plays the current list as Play does, with the delay in seconds.
    void play(int kind, const QString& delay)
    {
        window->CurrentListKind = static_cast<int16_t>(kind);
        window->APPLabel[applabel::Delay].setCaption(delay);
        rows(kind).setCurrentRow(1);
        services.Media().PlaySelectedItem(0);
    }
    QImage grab() { return window->window()->grab().toImage(); }
    QString shot(const QString& name)
    {
        const QString dir = QStringLiteral(Z5_BINARY_DIR "/screenshots");
        QDir().mkpath(dir);
        const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        grab().save(path);
        return path;
    }
    // The colour at a point of a control, in the window's picture.
    static QColor colourIn(const QImage& shot, const QWidget* w, QPoint local)
    {
        const QPoint p = w->mapTo(w->window(), local);
        const qreal dpr = shot.devicePixelRatio();
        return shot.pixelColor(QPoint(qRound(p.x() * dpr), qRound(p.y() * dpr)));
    }
    static bool near(QColor a, QColor b, int tolerance = 40)
    {
        return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
               && std::abs(a.blue() - b.blue()) <= tolerance;
    }
    QString statusLine() { return window->WBTextBox[1].text(); }
    bool cellShows(int i) { return viewer().WBIMGH.at(i) && viewer().WBIMGH[i].visible() && !viewer().WBIMGH[i].picture().isNull(); }

    ServiceSet services;
    std::unique_ptr<BrowserProgram> program;
    frmExplorer* window = nullptr;
    QString prog;
    QString pictures;
};

} // namespace

// Six pictures four a page, half a second apart: page one shows four cells
// in their colours inside grey frames; page two the TIFF, an empty cell
// for the WMF and two cleared cells, and the list pauses there.
TEST_F(Slideshow, ImagesPlayAPageAtATimeAndPauseAtTheEnd)
{
    const auto& files = testmedia::kSlidePictures;
    for (const auto& f : files)
        addRow(3, QString::fromLatin1(f.name), picture(QString::fromLatin1(f.name), f.colour, f.format));
    const QString wmf = pictures + QStringLiteral("/stub.wmf");
    testenv::writeFile(wmf, QByteArray("\xd7\xcd\xc6\x9a", 4) + QByteArray(60, '\0'));
    addRow(3, QStringLiteral("stub.wmf"), wmf);
    window->ImagesPerView = 4;

    play(3, QStringLiteral("0.5"));
    ASSERT_EQ(window->ListPlayState[3], 2);
    const int16_t viewerBrowser = window->ListViewerBrowser[3];
    EXPECT_EQ(viewerBrowser, services.Tabs().TabBrowserMap(services.Tabs().CurrentTab()));
    // The pictures are decoded off the UI thread and show within moments.
    ASSERT_TRUE(testenv::waitFor([&] { return cellShows(0) && cellShows(1) && cellShows(2) && cellShows(3); }, 5000));
    const QImage first = grab();
    first.save(shot(QStringLiteral("slideshow-page1")));
    ASSERT_TRUE(window->PicHolder.at(4) && window->PicHolder[4].visible());
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(cellShows(i)) << "cell " << i;
        const QWidget* cell = viewer().WBIMGH[i].widget();
        EXPECT_TRUE(near(colourIn(first, cell, cell->rect().center()), files[i].colour))
            << "cell " << i << " shows " << files[i].name;
        EXPECT_TRUE(near(colourIn(first, cell, QPoint(3, 3)), Qt::white)) << "the mark of " << files[i].name;
    }
    // The frames: grey on the holder's black, at each cell's top left.
    const QWidget* holder = window->PicHolder[4].widget();
    for (int i = 0; i < 4; ++i) {
        const auto& c = viewer().ViewerCellRects[static_cast<size_t>(i)];
        const QPoint corner(platform::forms::toPixelsX(c.Left), platform::forms::toPixelsY(c.Top));
        EXPECT_TRUE(near(colourIn(first, holder, corner + QPoint(0, 10)), QColor(0xC0, 0xC0, 0xC0), 8)) << "frame " << i;
        EXPECT_TRUE(near(colourIn(first, holder, corner + QPoint(5, 10)), Qt::black, 8)) << "inside frame " << i;
    }

    ASSERT_TRUE(testenv::waitFor([&] { return window->ListPlayState[3] == 1; }, 10000)) << "the list pauses";
    ASSERT_TRUE(testenv::waitFor([&] { return cellShows(0); }, 5000));
    const QImage second = grab();
    second.save(shot(QStringLiteral("slideshow-page2")));
    ASSERT_TRUE(cellShows(0));
    const QWidget* tiff = viewer().WBIMGH[0].widget();
    EXPECT_TRUE(near(colourIn(second, tiff, tiff->rect().center()), files[4].colour));
    EXPECT_FALSE(cellShows(1)) << "the WMF cell stays empty";
    EXPECT_FALSE(cellShows(2));
    EXPECT_FALSE(cellShows(3));
    EXPECT_EQ(window->ListCurrentItem[3], 8);
    EXPECT_EQ(statusLine(), QStringLiteral("Paused"));
    EXPECT_FALSE(window->AppTimer[3].enabled());
}

// One picture a view, resizing off: the viewer tab shows the result page
// with the picture; Down steps on, and with Repeat the end wraps to the
// first picture.
TEST_F(Slideshow, OneImageAViewShowsItsPageAndSteps)
{
    addRow(3, QStringLiteral("one"), picture(QStringLiteral("one.png"), QColor(200, 0, 200), "PNG", QSize(90, 60)));
    addRow(3, QStringLiteral("two"), picture(QStringLiteral("two.png"), QColor(0, 120, 255), "PNG", QSize(90, 60)));
    window->ImagesPerView = 1;
    window->AutoImageResize = 0;
    window->RepeatFlags[3] = -1;
    play(3, QStringLiteral("30"));
    auto* page = dynamic_cast<platform::browser::Browser*>(services.Tabs().Browser(window->ListViewerBrowser[3]));
    ASSERT_NE(page, nullptr);
    // The page is deleted once its tab loaded it: what it shows is read from the screen.
    const QColor one(200, 0, 200);
    const QColor two(0, 120, 255);
    const auto showing = [&](const QColor& colour) {
        return testenv::waitFor(
            [&] {
                const QWidget* view = page->view();
                return page->readyState() == platform::browser::ReadyComplete
                       && page->locationURL().endsWith(QStringLiteral("~Z5_12000010N.htm"))
                       && near(colourIn(grab(), view, QPoint(view->width() / 2, 30)), colour);
            },
            20000);
    };
    ASSERT_TRUE(showing(one));
    EXPECT_FALSE(window->PicHolder.at(4) && window->PicHolder[4].visible()) << "the page shows, not the cells";
    EXPECT_TRUE(testenv::waitFor([&] { return !QFile::exists(window->TempPagePrefix + QStringLiteral("0N.htm")); }, 10000))
        << "the result page stays after its tab loaded it";
    // The picture, at its natural size, centred at the top of a black page.
    const QWidget* view = page->view();
    shot(QStringLiteral("slideshow-single"));
    EXPECT_TRUE(near(colourIn(grab(), view, QPoint(view->width() / 2, 200)), Qt::black));

    services.Media().PlayNextItem(2);
    EXPECT_EQ(window->ListCurrentItem[3], 2);
    ASSERT_TRUE(showing(two));
    services.Media().PlayNextItem(2);
    EXPECT_EQ(window->ListCurrentItem[3], 1) << "Repeat wraps";
    ASSERT_TRUE(showing(one));

    window->RepeatFlags[3] = 0;
    services.Media().PlayNextItem(2);
    services.Media().PlayNextItem(2);
    EXPECT_EQ(window->ListPlayState[3], 1) << "past the end without Repeat the list pauses";
    EXPECT_TRUE(rows(3).isSelected(2));
}

// The cells laid out in the running window for each page size, over a
// 6000 x 3000 twip pane; small pictures keep their size, large ones fit;
// in multi-view the holder covers the viewer tab's pane.
TEST_F(Slideshow, TheViewerLaysOutItsCellsInItsPane)
{
    const QString small = picture(QStringLiteral("small.png"), Qt::red, "PNG", QSize(20, 10));
    const QString large = picture(QStringLiteral("large.png"), Qt::green, "PNG", QSize(2000, 1000));
    window->ListViewerBrowser[3] = services.Tabs().TabBrowserMap(0);
    window->Layout.SetPaneRectCount(2);
    for (int perView : {1, 2, 3, 4, 6, 8}) {
        window->ImagesPerView = static_cast<uint8_t>(perView);
        window->Layout.SetPaneRect(0, {0, 0, 3000, 6000});
        viewer().LayoutImageViewer();
        std::vector<ImageViewer::CellRect> expected;
        ImageViewer::ComputeCellRects(perView, 6000, 3000, expected);
        for (int i = 0; i < perView; ++i)
            EXPECT_EQ(viewer().ViewerCellRects[static_cast<size_t>(i)], expected[static_cast<size_t>(i)]) << perView;
        EXPECT_EQ(window->PicHolder[4].width(), 6000);
        EXPECT_EQ(window->PicHolder[4].height(), 3000);
        for (int i = 0; i < perView; ++i)
            viewer().ShowViewerImage(static_cast<int16_t>(i), i % 2 ? large : small, i % 2 ? 2000 : 20, i % 2 ? 1000 : 10);
        ASSERT_TRUE(testenv::waitFor([&] {
            for (int i = 0; i < perView; ++i)
                if (!cellShows(i))
                    return false;
            return true;
        }, 5000)) << perView;
        shot(QStringLiteral("viewer-layout-%1").arg(perView));
        for (int i = 0; i < perView; ++i) {
            const auto& cell = viewer().ViewerCellRects[static_cast<size_t>(i)];
            const auto& image = viewer().WBIMGH[i];
            if (i % 2 == 0) {
                EXPECT_EQ(image.width(), 20 * platform::forms::twipsPerPixelX() - 60) << "not enlarged, " << perView;
            } else {
                EXPECT_LE(image.width(), cell.Width - 60 + 0.5) << perView;
                EXPECT_LE(image.height(), cell.Height - 60 + 0.5) << perView;
                EXPECT_NEAR(image.width() + 60, 2 * (image.height() + 60), 2) << "proportions kept, " << perView;
            }
            EXPECT_EQ(image.top(), cell.Top + 30);
            EXPECT_NEAR(image.left() + image.width() / 2, cell.Left + cell.Width / 2.0, 1) << "centred across";
            EXPECT_EQ(image.picture().width(), platform::forms::toPixelsX(image.width())) << "decoded at its size";
        }
    }

    // A pane of no size: nothing shows, and nothing is a NaN.
    window->Layout.SetPaneRect(0, {0, 0, 0, 0});
    window->PicHolder[picholder::Body].move(0, 0, 0, 0);
    window->ImagesPerView = 4;
    viewer().RelayoutImageViewer();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(viewer().ViewerCellRects[static_cast<size_t>(i)], ImageViewer::CellRect{});
    EXPECT_FALSE(cellShows(0));
    window->Form_Resize();

    // Two tabs side by side: the viewer takes the pane of its tab.
    services.Tabs().OpenNewTab();
    window->Layout.SetViewMode(8);
    window->Layout.SetPaneCount(2);
    services.Tabs().LayoutViewPanes(true, services.Tabs().TabCount(), 2);
    window->ListViewerBrowser[3] = services.Tabs().TabBrowserMap(1);
    viewer().LayoutImageViewer();
    const PaneRect pane = window->Layout.PaneRects()[1];
    EXPECT_EQ(window->PicHolder[4].left(), pane.Left);
    EXPECT_EQ(window->PicHolder[4].width(), pane.Width);
    EXPECT_GT(pane.Left, 0);
    shot(QStringLiteral("viewer-multiview"));
}

// Three link rows (two shortcut files and a plain address), with a script
// row between them that is skipped: the server sees the three pages in
// order, a third of a second apart, and the list pauses on the last.
TEST_F(Slideshow, TheLinkListOpensEachPageInTurn)
{
    testenv::HttpServer server;
    for (const char* p : {"/one.html", "/two.html", "/three.html"})
        server.serve(QString::fromLatin1(p), QByteArray("<html><body>") + p + "</body></html>");
    const QString dir = testenv::freshDir(QStringLiteral("links"));
    const auto shortcut = [&](const QString& name, const QString& url) {
        const QString path = dir + QLatin1Char('/') + name;
        testenv::writeFile(path, ("[InternetShortcut]\r\nURL=" + url + "\r\n").toUtf8());
        return path;
    };
    addRow(5, QStringLiteral("one"), shortcut(QStringLiteral("one.URL"), server.address(QStringLiteral("/one.html"))));
    addRow(5, QStringLiteral("script"), QStringLiteral("javascript:document.title='ran'"));
    addRow(5, QStringLiteral("two"), shortcut(QStringLiteral("two.url"), server.address(QStringLiteral("/two.html"))));
    addRow(5, QStringLiteral("three"), server.address(QStringLiteral("/three.html")));

    play(5, QStringLiteral("0.3"));
    ASSERT_TRUE(testenv::waitFor([&] { return window->ListPlayState[5] == 1; }, 30000)) << server.log().join(QLatin1Char(' ')).toStdString();
    QStringList pages;
    for (const QString& line : server.log())
        if (!line.contains(QLatin1String("favicon")))
            pages << line;
    EXPECT_EQ(pages, (QStringList{QStringLiteral("GET /one.html"), QStringLiteral("GET /two.html"),
                                  QStringLiteral("GET /three.html")}));
    platform::browser::IBrowser* tab = services.Tabs().Browser(window->ListViewerBrowser[5]);
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->locationURL(), server.address(QStringLiteral("/three.html")));
    EXPECT_NE(tab->locationName(), QStringLiteral("ran"));
    EXPECT_EQ(window->ListCurrentItem[5], 5);
    EXPECT_TRUE(rows(5).isSelected(4));
}

// The snippet list shows each snippet's view page in turn, the tab titled
// with its name; started in the image viewer's tab it ends the image list
// there first.
TEST_F(Slideshow, SnippetsPlayInTheViewerTabAfterTheImagesStop)
{
    addRow(3, QStringLiteral("red"), picture(QStringLiteral("red.png"), Qt::red, "PNG"));
    addRow(3, QStringLiteral("blue"), picture(QStringLiteral("blue.png"), Qt::blue, "PNG"));
    window->ImagesPerView = 2;
    play(3, QStringLiteral("30"));
    ASSERT_TRUE(window->PicHolder[4].visible());
    const int16_t tab = services.Tabs().TabBrowserMap(services.Tabs().CurrentTab());
    ASSERT_EQ(window->ListViewerBrowser[3], tab);

    const QString dir = testenv::freshDir(QStringLiteral("snippets"));
    for (int i = 1; i <= 2; ++i) {
        const QString p = dir + QStringLiteral("/s%1.Z5S").arg(i);
        testenv::writeFile(p, SnippetFileBytes(QStringLiteral("Snippet %1").arg(i), QString(), QStringLiteral("http://s/"),
                                               QStringLiteral("d"),
                                               QStringLiteral("<HTML><BODY>snippet body %1</BODY></HTML>").arg(i), true));
        addRow(4, QStringLiteral("s%1").arg(i), p);
    }
    QStringList titles;
    play(4, QStringLiteral("0.2"));
    EXPECT_EQ(window->ListViewerBrowser[3], -1) << "the image list stopped";
    EXPECT_FALSE(window->PicHolder[4].visible());
    EXPECT_EQ(window->ImagesPerView, 1);
    EXPECT_EQ(window->ListViewerBrowser[4], tab);
    ASSERT_TRUE(testenv::waitFor(
        [&] {
            const QString t = services.Tabs().TabTitle(services.Tabs().CurrentTab());
            if (titles.isEmpty() || titles.last() != t)
                titles << t;
            return window->ListPlayState[4] == 1;
        },
        30000));
    shot(QStringLiteral("slideshow-snippets"));
    EXPECT_TRUE(titles.contains(QStringLiteral("Snippet 1"))) << titles.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(titles.last(), QStringLiteral("Snippet 2"));
    EXPECT_EQ(titles.indexOf(QStringLiteral("Snippet 1")) < titles.indexOf(QStringLiteral("Snippet 2")), true);
}

// A slide show started in the video's tab closes the video first.
TEST_F(Slideshow, ImagesStartedInTheVideoTabCloseTheVideo)
{
    addRow(3, QStringLiteral("red"), picture(QStringLiteral("red.png"), Qt::red, "PNG"));
    const int16_t tab = services.Tabs().TabBrowserMap(services.Tabs().CurrentTab());
    window->ListViewerBrowser[2] = tab;
    services.Tabs().SetTabState(tab, 1, 2);
    play(3, QStringLiteral("30"));
    EXPECT_EQ(window->ListViewerBrowser[2], -1);
    EXPECT_EQ(window->ListViewerBrowser[3], tab);
    EXPECT_TRUE(testenv::waitFor([&] { return cellShows(0); }, 5000));
}

// ---- The image list on the Net: pictures from nginx through the fetcher ----

namespace {

const QColor kNetColours[8] = {QColor(220, 20, 20),  QColor(20, 200, 20), QColor(20, 20, 220),  QColor(230, 230, 0),
                               QColor(0, 200, 200), QColor(200, 0, 200), QColor(240, 140, 0), QColor(90, 90, 90)};

// Eight marked JPEGs, p1.jpg to p8.jpg in kNetColours, served by nginx
// below /pics.
struct NetPictures {
    bool start()
    {
        root = testenv::freshDir(QStringLiteral("www"));
        QDir().mkpath(root + QStringLiteral("/pics"));
        for (int i = 0; i < 8; ++i)
            if (!testmedia::writeMarkedPicture(root + QStringLiteral("/pics/p%1.jpg").arg(i + 1), kNetColours[i], "JPEG"))
                return false;
        return nginx.start(root);
    }
    QString address(int picture) const { return nginx.base() + QStringLiteral("/pics/p%1.jpg").arg(picture); }

    QString root;
    testenv::NginxServer nginx;
};

} // namespace

// One, four and eight pictures a view, each from nginx: every cell shows its
// picture in its colour, the status line reads as the picture's facts, and
// the target folder gets the copies the options' digits ask for.
TEST_F(Slideshow, NetPicturesInOneFourAndEightImageViews)
{
    NetPictures net;
    ASSERT_TRUE(net.start());
    const struct {
        int perView;
        const char* options;
        bool existing;      // p1.jpg is in the target folder before (holding "old")
        QStringList copies; // the target folder afterwards
        QByteArray p1;      // p1.jpg's bytes afterwards ("" for the fetched picture)
    } runs[] = {
        {1, "001000", false, {"p1.jpg"}, {}},
        {4, "001010", false, {"127.0.0.1-pics-p1.jpg", "127.0.0.1-pics-p2.jpg", "127.0.0.1-pics-p3.jpg", "127.0.0.1-pics-p4.jpg"}, {}},
        {8, "001000", true, {"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg", "p6.jpg", "p7.jpg", "p8.jpg"}, "old"},
        {8, "001001", true, {"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg", "p6.jpg", "p7.jpg", "p8.jpg"}, {}},
        {4, "101000", false, {}, {}},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(QStringLiteral("%1 a view, options %2").arg(run.perView).arg(QLatin1String(run.options)).toStdString());
        services.Media().StopImageList();
        rows(3).clear();
        const QString target = testenv::freshDir(QStringLiteral("target"));
        if (run.existing) {
            ASSERT_TRUE(testenv::writeFile(target + QStringLiteral("/p1.jpg"), "old"));
        }
        for (int i = 1; i <= 8; ++i)
            addNetRow(QStringLiteral("p%1.jpg").arg(i), net.address(i), target);
        ListDownloadOptions[3] = QString::fromLatin1(run.options);
        window->ImagesPerView = static_cast<uint8_t>(run.perView);
        play(3, QStringLiteral("60"));
        ASSERT_TRUE(testenv::waitFor(
            [&] {
                for (int i = 0; i < run.perView; ++i)
                    if (!cellShows(i))
                        return false;
                return true;
            },
            30000));
        // The copies are made right after the cells show.
        testenv::waitFor([&] { return QDir(target).entryList(QDir::Files).size() >= run.copies.size(); }, 5000);
        const QImage image = grab();
        image.save(shot(QStringLiteral("fetch-net-%1-%2").arg(run.perView).arg(QLatin1String(run.options))));
        for (int i = 0; i < run.perView; ++i) {
            const QWidget* cell = viewer().WBIMGH[i].widget();
            EXPECT_TRUE(near(colourIn(image, cell, cell->rect().center()), kNetColours[i])) << "cell " << i;
        }
        static const QRegularExpression info(QStringLiteral("^ \\d: p\\d\\.jpg - \\d+\\.\\d\\d KBytes - 120 \\* 160 - 24 Bit$"));
        EXPECT_TRUE(info.match(statusLine()).hasMatch()) << statusLine().toStdString();
        QStringList copies = QDir(target).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(copies, run.copies);
        if (!run.copies.isEmpty()) {
            const QByteArray p1 = testenv::readFile(target + QLatin1Char('/') + run.copies.first());
            EXPECT_EQ(p1, run.p1.isEmpty() ? testenv::readFile(net.root + QStringLiteral("/pics/p1.jpg")) : run.p1);
        }
    }
    services.Media().StopImageList();
}

// One image a view with resizing off: the viewer tab loads the result page
// around a picture whose server-chosen name holds a quote and a script tag;
// the picture shows and no script of the name runs.
TEST_F(Slideshow, AHostileNameShowsItsPictureOnTheSinglePageAndRunsNothing)
{
    NetPictures net;
    ASSERT_TRUE(net.start());
    const QString hostile = QStringLiteral("q'<script>document.title='owned';<!--.jpg");
    ASSERT_TRUE(testmedia::writeMarkedPicture(net.root + QStringLiteral("/pics/") + hostile, kNetColours[2], "JPEG"));
    // The quote travels as it is; "<" and ">" can only come percent-encoded.
    const QString url = net.nginx.base() + QStringLiteral("/pics/") + QString::fromLatin1(QUrl::toPercentEncoding(hostile, "'"));
    addNetRow(hostile, url, QString());
    ListDownloadOptions[3] = QStringLiteral("101000");
    window->ImagesPerView = 1;
    window->AutoImageResize = 0;
    play(3, QStringLiteral("60"));
    platform::browser::IBrowser* tab = services.Tabs().Browser(window->ListViewerBrowser[3]);
    ASSERT_NE(tab, nullptr);
    QString width;
    ASSERT_TRUE(testenv::waitFor(
        [&] {
            if (!tab->locationURL().endsWith(QLatin1String(".htm")) || tab->busy())
                return false;
            bool answered = false;
            tab->evaluateScript(QStringLiteral("String(document.images.length ? document.images[0].naturalWidth : 0)"),
                                [&](const QString& r) {
                                    width = r;
                                    answered = true;
                                });
            testenv::waitFor([&] { return answered; }, 2000);
            return width == QLatin1String("160");
        },
        30000))
        << width.toStdString();
    shot(QStringLiteral("fetch-net-hostile-name"));
    QString title;
    bool answered = false;
    tab->evaluateScript(QStringLiteral("document.title + '|' + document.scripts.length"), [&](const QString& r) {
        title = r;
        answered = true;
    });
    ASSERT_TRUE(testenv::waitFor([&] { return answered; }));
    EXPECT_EQ(title, QStringLiteral("|0"));
    EXPECT_TRUE(statusLine().startsWith(QStringLiteral(" 1: q'%3Cscript%3Edocument.title"))) << statusLine().toStdString();
    services.Media().StopImageList();
}
