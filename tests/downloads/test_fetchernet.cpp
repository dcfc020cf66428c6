// The background fetcher's slots on the Net, against loopback servers:
// files over the socket copied as the image list's options say, pages and
// script links through the hidden browsers, errors that pause the list,
// and a stop that late answers cannot undo.

#include "downloadsfixture.h"

#include "downloads/backgroundfetcher.h"
#include "downloads/fetchslots.h"
#include "tests/browsing/fakebrowser.h"

#include "httpserver.h"
#include "nginxserver.h"
#include "scriptedserver.h"

#include <QImage>
#include <QBuffer>

namespace {

QByteArray jpeg(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

class NetFetcher : public DownloadsWindow {
protected:
    void SetUp() override
    {
        DownloadsWindow::SetUp();
        temp = testenv::freshDir(QStringLiteral("fetchtemp"));
        target = testenv::freshDir(QStringLiteral("target"));
        window->TempPagePrefix = temp + QStringLiteral("/~Z5_1430251");
        fakes.browsers[7] = &viewerTab;
        window->ListViewerBrowser[3] = 7;
        window->ImagesPerView = 1;
        window->ListPlayState[3] = 2;
        window->ViewerFetchActive = -1;
        window->FetchStopped = 0;
        ListDownloadOptions[3] = QStringLiteral("101000");
    }
    BackgroundFetcher& fetcher() { return downloads->fetcher(); }
    // The pictures shown (ShowViewerImage) and emptied cells (ClearViewerImage).
    QStringList shown() const
    {
        QStringList out;
        for (const QString& c : fakes.calls)
            if (c.startsWith(QLatin1String("ShowViewerImage")) || c.startsWith(QLatin1String("ClearViewerImage")))
                out << c;
        return out;
    }
    bool waitShown(int count = 1, int ms = 30000)
    {
        return testenv::waitFor([&] { return shown().size() >= count; }, ms);
    }
    bool called(const QString& start) const
    {
        for (const QString& c : fakes.calls)
            if (c.startsWith(start))
                return true;
        return false;
    }
    QStringList targetFiles() const { return QDir(target).entryList(QDir::Files | QDir::Hidden); }

    QString temp;
    QString target;
    platform::browser::FakeBrowser viewerTab;
};

} // namespace

// A file over the socket is shown from the slot's temporary file and copied
// into the target folder only as the options' digits say.
TEST_F(NetFetcher, AFileIsShownAndCopiedAsTheOptionsSay)
{
    const QString root = testenv::freshDir(QStringLiteral("www"));
    QDir().mkpath(root + QStringLiteral("/pics"));
    const QByteArray picture = jpeg(40, 30);
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/pics/photo.jpg"), picture));
    testenv::NginxServer nginx;
    ASSERT_TRUE(nginx.start(root));
    const QString address = nginx.base() + QStringLiteral("/pics/photo.jpg");

    const struct {
        const char* name;
        const char* options;
        QString folder;
        std::optional<QByteArray> existing; // photo.jpg in the target folder before
        QStringList files;                  // the target folder afterwards
        QByteArray photo;                   // photo.jpg's bytes afterwards
    } cases[] = {
        {"shown, not copied", "101000", target, std::nullopt, {}, {}},
        {"copied", "001000", target, std::nullopt, {"photo.jpg"}, picture},
        {"an existing file is kept", "001000", target, QByteArray("old"), {"photo.jpg"}, "old"},
        {"an existing file is replaced", "001001", target, QByteArray("old"), {"photo.jpg"}, picture},
        {"the path in the name", "001010", target, std::nullopt, {"127.0.0.1-pics-photo.jpg"}, {}},
        {"no folder: no copy", "001000", QString(), std::nullopt, {}, {}},
        {"a relative folder: no copy", "001000", QStringLiteral("pics"), std::nullopt, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& f : targetFiles())
            QFile::remove(target + QLatin1Char('/') + f);
        if (c.existing) {
            testenv::writeFile(target + QStringLiteral("/photo.jpg"), *c.existing);
        }
        rows(3).clear();
        fill(3, {{QStringLiteral("photo.jpg"), address, nginx.base() + QStringLiteral("/"), c.folder}});
        ListDownloadOptions[3] = QString::fromLatin1(c.options);
        fakes.calls.clear();
        fetcher().StartFetchSlot(0, 1);
        ASSERT_TRUE(waitShown());
        const QString fetched = FetchTempStem(window->TempPagePrefix, 0) + QStringLiteral("photo.jpg");
        EXPECT_EQ(shown(), QStringList{QStringLiteral("ShowViewerImage(0,%1,40,30)").arg(fetched)});
        EXPECT_EQ(testenv::readFile(fetched), picture);
        EXPECT_EQ(targetFiles(), c.files);
        if (!c.photo.isEmpty()) {
            EXPECT_EQ(testenv::readFile(target + QStringLiteral("/photo.jpg")), c.photo);
        }
    }
    // The window's progress bar was given the file's size.
    EXPECT_EQ(window->WBProgressBar->maximum(), picture.size());
}

// With digit 4 set, the single view takes a fetched item off the list and
// steps the current index back; several images at once leave the list.
TEST_F(NetFetcher, AFetchedItemLeavesTheListInSingleView)
{
    testenv::HttpServer server;
    server.serve(QStringLiteral("/a/photo.jpg"), jpeg(8, 8), "image/jpeg");
    ListDownloadOptions[3] = QStringLiteral("101100");
    for (int perView : {1, 2}) {
        SCOPED_TRACE(perView);
        rows(3).clear();
        fill(3, {{QStringLiteral("one"), server.address(QStringLiteral("/a/photo.jpg"))},
                 {QStringLiteral("two"), server.address(QStringLiteral("/a/photo.jpg"))}});
        window->ImagesPerView = static_cast<uint8_t>(perView);
        window->ListCurrentItem[3] = 2;
        fakes.calls.clear();
        fetcher().StartFetchSlot(0, 2);
        ASSERT_TRUE(waitShown());
        EXPECT_EQ(rows(3).count(), perView == 1 ? 1 : 2);
        EXPECT_EQ(window->ListCurrentItem[3], perView == 1 ? 1 : 2);
    }
}

// What the socket cannot get, the hidden browser tries; a page's pictures
// are fetched and the item's chosen by its name, its stem or its size.
TEST_F(NetFetcher, PagesAndFilesTheSocketCouldNotGet)
{
    testenv::HttpServer server;
    server.serve(QStringLiteral("/small.jpg"), jpeg(10, 10), "image/jpeg");
    server.serve(QStringLiteral("/photo.jpg"), jpeg(20, 15), "image/jpeg");
    server.serve(QStringLiteral("/large.jpg"), jpeg(64, 48), "image/jpeg");
    server.serve(QStringLiteral("/gallery.html"),
                 "<html><body><img src='small.jpg'><img src='photo.jpg'><img src='large.jpg'></body></html>");

    const struct {
        const char* name;
        QString itemName;
        QString address;
        QString picture; // the temporary file shown
        int w, h;
    } cases[] = {
        {"by its name", QStringLiteral("photo.jpg"), server.address(QStringLiteral("/gallery.html")), QStringLiteral("photo.jpg"), 20, 15},
        {"by its stem in the address", QStringLiteral("x"), server.address(QStringLiteral("/gallery.html?show=small")),
         QStringLiteral("small.jpg"), 10, 10},
        {"by its size", QStringLiteral("x"), server.address(QStringLiteral("/gallery.html")), QStringLiteral("large.jpg"), 64, 48},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rows(3).clear();
        fill(3, {{c.itemName, c.address, server.address(QStringLiteral("/"))}});
        fakes.calls.clear();
        fetcher().StartFetchSlot(0, 1);
        ASSERT_TRUE(waitShown());
        EXPECT_EQ(shown(), QStringList{QStringLiteral("ShowViewerImage(0,%1,%2,%3)")
                                           .arg(FetchTempStem(window->TempPagePrefix, 0) + c.picture)
                                           .arg(c.w)
                                           .arg(c.h)});
    }
}

// A file the server does not have goes on to the hidden browser, whose
// error then ends the slot with an empty cell.
TEST_F(NetFetcher, A404FileIsTriedByTheHiddenBrowser)
{
    testenv::HttpServer server;
    rows(3).clear();
    fill(3, {{QStringLiteral("gone.jpg"), server.address(QStringLiteral("/pics/gone.jpg")), server.address(QStringLiteral("/ref.html"))}});
    fakes.calls.clear();
    fetcher().StartFetchSlot(0, 1);
    // The socket's request, then the browser's.
    EXPECT_TRUE(testenv::waitFor([&] { return server.requestsFor(QStringLiteral("/pics/gone.jpg")) >= 2; }, 20000));
    ASSERT_TRUE(waitShown());
    EXPECT_EQ(shown(), QStringList{QStringLiteral("ClearViewerImage(0)")});
    EXPECT_TRUE(called(QStringLiteral("PauseList(0,3)")));
    EXPECT_TRUE(FetchTempFiles(window->TempPagePrefix, 0).isEmpty());
}

// A server that goes silent after the request: the socket gives up and the
// hidden browser gets the picture.
TEST_F(NetFetcher, AStalledServerTimesOutAndTheBrowserTriesIt)
{
    const QByteArray picture = jpeg(12, 9);
    ScriptedServer server([&](int n, const QByteArray&) {
        if (n == 0)
            return Answer{{}, false};
        return Answer{{"HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                       QByteArray::number(picture.size()) + "\r\n\r\n" + picture}};
    });
    fetcher().setSocketTimeouts(2000, 300);
    fill(3, {{QStringLiteral("slow.jpg"), server.url(QStringLiteral("/pics/slow.jpg"))}});
    fakes.calls.clear();
    fetcher().StartFetchSlot(0, 1);
    ASSERT_TRUE(waitShown());
    EXPECT_EQ(shown(), QStringList{QStringLiteral("ShowViewerImage(0,%1,12,9)")
                                       .arg(FetchTempStem(window->TempPagePrefix, 0) + QStringLiteral("slow.jpg"))});
    EXPECT_GE(server.requests.size(), 2);
}

// A script link is clicked on its page; a popup it opens loads in the slot's
// companion, whose pictures are fetched there.
TEST_F(NetFetcher, ScriptLinksAndTheirPopups)
{
    testenv::HttpServer server;
    server.serve(QStringLiteral("/photo.jpg"), jpeg(20, 15), "image/jpeg");
    server.serve(QStringLiteral("/gallery.html"), "<html><body><img src='photo.jpg'></body></html>");
    server.serve(QStringLiteral("/links.html"),
                 "<html><body><a href=\"javascript:location.href='/gallery.html'\">Show</a>"
                 "<a href=\"javascript:window.open('/gallery.html')\">Pop</a></body></html>");
    for (const char* link : {"javascript:location.href='/gallery.html'", "javascript:window.open('/gallery.html')"}) {
        SCOPED_TRACE(link);
        rows(3).clear();
        fill(3, {{QStringLiteral("photo.jpg"), QString::fromLatin1(link), server.address(QStringLiteral("/links.html"))}});
        fakes.calls.clear();
        fetcher().StartFetchSlot(0, 1);
        ASSERT_TRUE(waitShown());
        EXPECT_EQ(shown(), QStringList{QStringLiteral("ShowViewerImage(0,%1,20,15)")
                                           .arg(FetchTempStem(window->TempPagePrefix, 0) + QStringLiteral("photo.jpg"))});
    }
}

// A page that cannot be loaded: with "On Error - Stop" the list pauses with
// the status text; otherwise its advance timer goes on.
TEST_F(NetFetcher, ANavigationErrorPausesTheListOrGoesOn)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    const QString page = QStringLiteral("http://127.0.0.1:%1/page.html").arg(closedPort);
    for (const char* options : {"101000", "100000"}) {
        SCOPED_TRACE(options);
        ListDownloadOptions[3] = QString::fromLatin1(options);
        rows(3).clear();
        fill(3, {{QStringLiteral("page"), page}});
        if (auto* t = window->AppTimer.at(3))
            t->setEnabled(false);
        fakes.calls.clear();
        fetcher().StartFetchSlot(0, 1);
        ASSERT_TRUE(testenv::waitFor([&] { return called(QStringLiteral("OnViewerImagesLoaded")); }, 20000));
        EXPECT_EQ(shown(), QStringList{QStringLiteral("ClearViewerImage(0)")});
        const bool stop = options[2] == '1';
        EXPECT_EQ(called(QStringLiteral("PauseList(0,3)")), stop);
        EXPECT_EQ(called(QStringLiteral("SetStatusMessage(Paused on error")), stop);
        EXPECT_EQ(window->AppTimer.at(3)->enabled(), !stop);
    }
}

// A stop in the middle of a transfer: the bar, the list and the target
// folder stay as the stop left them; starting the slot again leaves no
// temporary file of the earlier item.
TEST_F(NetFetcher, AStopMidTransferIsNotUndoneByLateAnswers)
{
    const QString root = testenv::freshDir(QStringLiteral("www"));
    QByteArray big = jpeg(900, 700);
    big += QByteArray(400000 - std::min<qsizetype>(big.size(), 400000), '\0');
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/big.jpg"), big));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/small.jpg"), jpeg(8, 8)));
    testenv::NginxServer nginx;
    ASSERT_TRUE(nginx.start(root, QStringLiteral("limit_rate 100k;")));
    ListDownloadOptions[3] = QStringLiteral("001100");
    fill(3, {{QStringLiteral("big.jpg"), nginx.base() + QStringLiteral("/big.jpg"), QString(), target},
             {QStringLiteral("small.jpg"), nginx.base() + QStringLiteral("/small.jpg"), QString(), target}});
    window->ListCurrentItem[3] = 1;
    fakes.calls.clear();
    fetcher().StartFetchSlot(0, 1);
    ASSERT_TRUE(testenv::waitFor([&] { return window->WBProgressBar->value() > 0; }, 15000));
    fetcher().StopAllFetches();
    EXPECT_EQ(window->WBProgressBar->value(), 0);
    QTest::qWait(1500);
    EXPECT_EQ(window->WBProgressBar->value(), 0);
    EXPECT_TRUE(shown().isEmpty());
    EXPECT_EQ(rows(3).count(), 2);
    EXPECT_TRUE(targetFiles().isEmpty());
    EXPECT_TRUE(FetchTempFiles(window->TempPagePrefix, 0).isEmpty());

    // Played again: the slot restarts on another item mid-transfer.
    window->FetchStopped = 0;
    fetcher().StartFetchSlot(0, 1);
    ASSERT_TRUE(testenv::waitFor([&] { return window->WBProgressBar->value() > 0; }, 15000));
    fetcher().StartFetchSlot(0, 2);
    ASSERT_TRUE(waitShown());
    EXPECT_EQ(FetchTempFiles(window->TempPagePrefix, 0),
              QStringList{FetchTempStem(window->TempPagePrefix, 0) + QStringLiteral("small.jpg")});
    EXPECT_EQ(targetFiles(), QStringList{QStringLiteral("small.jpg")});
}
