// The background fetcher's slots for local pictures and the result it
// shows: the viewer cell, the single-image page and the status line.

#include "downloadsfixture.h"

#include "downloads/backgroundfetcher.h"
#include "downloads/fetchresultpage.h"
#include "tests/browsing/fakebrowser.h"

#include <QImage>

namespace {

class Fetcher : public DownloadsWindow {
protected:
    void SetUp() override
    {
        DownloadsWindow::SetUp();
        temp = testenv::freshDir(QStringLiteral("fetchtemp"));
        pictures = testenv::freshDir(QStringLiteral("pictures"));
        window->TempPagePrefix = temp + QStringLiteral("/~Z5_1430251");
        fakes.browsers[7] = &viewerTab;
        window->ListViewerBrowser[3] = 7;
        window->DisplayFlags[DisplayImageInfo] = 0;
    }

    QString picture(const QString& name, int w, int h, const char* format = nullptr)
    {
        const QString path = pictures + QLatin1Char('/') + name;
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::red);
        EXPECT_TRUE(image.save(path, format));
        return path;
    }
    BackgroundFetcher& fetcher() { return downloads->fetcher(); }
    QStringList viewerCalls() const
    {
        QStringList out;
        for (const QString& c : fakes.calls)
            if (c.startsWith(QLatin1String("ShowViewerImage")) || c.startsWith(QLatin1String("ClearViewerImage"))
                || c.startsWith(QLatin1String("HideImageViewer")) || c.startsWith(QLatin1String("OnViewerImagesLoaded"))
                || c.startsWith(QLatin1String("SetStatusMessage")))
                out << c;
        return out;
    }

    QString temp;
    QString pictures;
    platform::browser::FakeBrowser viewerTab;
};

} // namespace

// A local row is shown at once in the slot's cell, at the size its header
// gives; one that cannot be read empties the cell; either counts as in.
TEST_F(Fetcher, ALocalPictureGoesStraightToItsCell)
{
    const QString png = picture(QStringLiteral("a.png"), 64, 48);
    const QString tiff = picture(QStringLiteral("b.tif"), 30, 20, "TIFF");
    const QString wmf = pictures + QStringLiteral("/c.wmf");
    testenv::writeFile(wmf, QByteArray("\xd7\xcd\xc6\x9a\0\0", 6) + QByteArray(40, '\0'));
    fill(3, {{QStringLiteral("a.png"), png, QStringLiteral("http://ref/"), QStringLiteral("/dl")},
             {QStringLiteral("b.tif"), tiff},
             {QStringLiteral("c.wmf"), wmf},
             {QStringLiteral("gone.png"), pictures + QStringLiteral("/gone.png")},
             {QStringLiteral("url.png"), QUrl::fromLocalFile(png).toString()}});
    window->ListItemRecord[1][5] = QStringLiteral("kept host");
    fakes.calls.clear();
    for (int i = 1; i <= 5; ++i)
        fetcher().StartFetchSlot(static_cast<int16_t>(i), i);
    EXPECT_EQ(viewerCalls(), (QStringList{QStringLiteral("ShowViewerImage(1,%1,64,48)").arg(png),
                                          QStringLiteral("OnViewerImagesLoaded"),
                                          QStringLiteral("ShowViewerImage(2,%1,30,20)").arg(tiff),
                                          QStringLiteral("OnViewerImagesLoaded"),
                                          QStringLiteral("ClearViewerImage(3)"),
                                          QStringLiteral("OnViewerImagesLoaded"),
                                          QStringLiteral("ClearViewerImage(4)"),
                                          QStringLiteral("OnViewerImagesLoaded"),
                                          QStringLiteral("ShowViewerImage(5,%1,64,48)").arg(png),
                                          QStringLiteral("OnViewerImagesLoaded")}));
    const FetchSlot& record = window->ListItemRecord[1];
    EXPECT_EQ(record[fetchfield::Name], QStringLiteral("a.png"));
    EXPECT_EQ(record[fetchfield::Address], png);
    EXPECT_EQ(record[fetchfield::Referrer], QStringLiteral("http://ref/"));
    EXPECT_EQ(record[fetchfield::TargetFolder], QStringLiteral("/dl"));
    EXPECT_EQ(record[fetchfield::UrlPath], QString());
    EXPECT_EQ(record[fetchfield::Host], QStringLiteral("kept host"));
    EXPECT_EQ(fetcher().slots().Tag[1], QStringLiteral("1"));
    EXPECT_TRUE(FetchTempFiles(window->TempPagePrefix, 1).isEmpty()) << "nothing is fetched for a local row";
}

// With "Display Image Information" on the status line tells the cell, the
// name, the size in KBytes and height * width (and the depth when known).
TEST_F(Fetcher, TheInformationLineIsPlainTextAboutThePicture)
{
    struct Case {
        int16_t slot;
        QString path;
        qint64 bytes;
        bool known;
        int height, width, depth;
        QString line;
    } cases[] = {
        {0, QStringLiteral("/tmp/~Z5_14302510~~~photo.jpg"), 12345, true, 480, 640, 24,
         QStringLiteral(" 1: photo.jpg - 12.06 KBytes - 480 * 640 - 24 Bit")},
        {2, QStringLiteral("/pics/big <b>.png"), 2'000'000, true, 10, 20, 0,
         QStringLiteral(" 3: big <b>.png - 1,953.13 KBytes - 10 * 20")},
        {1, QStringLiteral("/pics/x.wmf"), 0, false, 0, 0, 0, QStringLiteral(" 2: x.wmf - 0.00 KBytes")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FetchInfoLine(c.slot, c.path, c.bytes, c.known, c.height, c.width, c.depth), c.line);

    const QString jpg = picture(QStringLiteral("p.jpg"), 40, 30, "JPEG");
    fill(3, {{QStringLiteral("p.jpg"), jpg}});
    window->DisplayFlags[DisplayImageInfo] = -1;
    fakes.calls.clear();
    fetcher().StartFetchSlot(0, 1);
    ASSERT_FALSE(viewerCalls().isEmpty());
    EXPECT_TRUE(viewerCalls().first().startsWith(QLatin1String("SetStatusMessage( 1: p.jpg - ")));
    EXPECT_TRUE(viewerCalls().first().endsWith(QLatin1String(" - 30 * 40 - 24 Bit,-1,-1)"))) << viewerCalls().first().toStdString();
}

// With resizing off the single picture is a black page in the viewer tab;
// its address is encoded and escaped, so a name holding a quote adds no
// attribute and no script to a page the program loads.
TEST_F(Fetcher, TheSingleImagePageCarriesTheAddressSafely)
{
    const QString hostile = picture(QStringLiteral("x' onerror='alert(1)&<b>.png"), 8, 8);
    fill(3, {{QStringLiteral("x"), hostile}});
    window->AutoImageResize = 0;
    fakes.calls.clear();
    fetcher().StartFetchSlot(0, 1);
    EXPECT_EQ(viewerCalls(), (QStringList{QStringLiteral("HideImageViewer"), QStringLiteral("OnViewerImagesLoaded")}));
    const QString page = FetchResultPagePath(window->TempPagePrefix, 0);
    EXPECT_EQ(page, temp + QStringLiteral("/~Z5_14302510N.htm"));
    const QString html = QString::fromUtf8(testenv::readFile(page));
    EXPECT_FALSE(html.contains(QLatin1String("onerror='"))) << html.toStdString();
    EXPECT_FALSE(html.contains(QLatin1String("<b>"))) << html.toStdString();
    EXPECT_EQ(html.count(QLatin1Char('\'')), FetchResultPageHtml(QString()).count(QLatin1Char('\'')));
    const int start = html.indexOf(QLatin1String("src='")) + 5;
    const QString src = html.mid(start, html.indexOf(QLatin1Char('\''), start) - start);
    const QString unescaped = QString(src).replace(QLatin1String("&#39;"), QLatin1String("'")).replace(QLatin1String("&amp;"), QLatin1String("&"));
    EXPECT_EQ(QUrl(unescaped).toLocalFile(), hostile);
    EXPECT_EQ(viewerTab.navigated, QStringList{QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded)});
    // The page goes once its tab has loaded it, not before, and only then.
    downloads->TabPageLoaded(6, QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded));
    downloads->TabPageLoaded(7, QStringLiteral("http://h/~Z5_14302510N.htm"));
    downloads->TabPageLoaded(7, QUrl::fromLocalFile(hostile).toString(QUrl::FullyEncoded));
    EXPECT_TRUE(QFile::exists(page));
    downloads->TabPageLoaded(7, QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded));
    EXPECT_FALSE(QFile::exists(page));
    EXPECT_TRUE(QFile::exists(hostile));

    EXPECT_EQ(FetchResultPageHtml(QString()),
              QStringLiteral("<html><body bgcolor='#000000' topmargin='0' leftmargin='0'><p align='center'>"
                             "<img border='0' src='file:///'></p></body></html>"));
}

// A stop makes every later result a no-op until the lists play again, and
// takes the slots' temporary files away.
TEST_F(Fetcher, AfterAStopNothingIsShown)
{
    const QString png = picture(QStringLiteral("a.png"), 8, 8);
    fill(3, {{QStringLiteral("a.png"), png}});
    window->ImagesPerView = 2;
    for (int slot : {0, 1})
        testenv::writeFile(FetchTempStem(window->TempPagePrefix, slot) + QStringLiteral("part.jpg"), "x");
    window->ViewerFetchActive = -1;
    fetcher().StopAllFetches();
    EXPECT_NE(window->FetchStopped, 0);
    EXPECT_EQ(window->ViewerFetchActive, 0);
    EXPECT_TRUE(FetchTempFiles(window->TempPagePrefix, 0).isEmpty());
    EXPECT_TRUE(FetchTempFiles(window->TempPagePrefix, 1).isEmpty());
    fakes.calls.clear();
    window->DisplayFlags[DisplayImageInfo] = -1;
    fetcher().StartFetchSlot(0, 1);
    EXPECT_TRUE(viewerCalls().isEmpty()) << viewerCalls().join(QLatin1Char(' ')).toStdString();
}
