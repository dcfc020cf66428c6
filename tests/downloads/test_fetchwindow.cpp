// The image list of loopback addresses played in the running window: the
// program with its real tabs, lists, viewer and fetcher, pictures from
// nginx. The cells and the single page show the pictures, the status line
// tells about the last one in, and copies land in the target folder as the
// list's options say. Screenshots go to build/screenshots.

#include "programwindow.h"

#include "contracts/services.h"
#include "core/globals.h"
#include "downloads/fetchslots.h"
#include "lists/listsservice.h"
#include "lists/liststores.h"
#include "media/imageviewer.h"
#include "media/mediaservice.h"
#include "platform/web/browser.h"
#include "platform/win/listrows.h"
#include "platform/win/textbox.h"

#include "nginxserver.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const bool schemeRegistered = (platform::browser::prepareBeforeApplication(), true);

const QColor kColours[8] = {QColor(220, 20, 20),  QColor(20, 200, 20), QColor(20, 20, 220),  QColor(230, 230, 0),
                            QColor(0, 200, 200), QColor(200, 0, 200), QColor(240, 140, 0), QColor(90, 90, 90)};

QByteArray jpeg(QColor colour)
{
    QImage image(QSize(160, 120), QImage::Format_RGB32);
    image.fill(colour);
    QPainter(&image).fillRect(2, 2, 12, 12, Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes;
}

class FetchWindow : public ::testing::Test {
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
        root = testenv::freshDir(QStringLiteral("www"));
        QDir().mkpath(root + QStringLiteral("/pics"));
        for (int i = 0; i < 8; ++i)
            ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/pics/p%1.jpg").arg(i + 1), jpeg(kColours[i])));
        ASSERT_TRUE(nginx.start(root));
    }
    void TearDown() override
    {
        window = nullptr;
        program.reset();
    }

    ImageViewer& viewer() { return program->media()->viewer(); }
    platform::forms::ListRows& rows() { return program->lists()->stores()[3]; }
    void addRow(const QString& text, const QString& address, const QString& folder)
    {
        const int r = rows().add(text);
        rows().setColumn(r, 1, address);
        rows().setColumn(r, 3, folder);
    }
    void play()
    {
        window->CurrentListKind = 3;
        window->APPLabel[applabel::Delay].setCaption(QStringLiteral("60"));
        rows().setCurrentRow(1);
        services.Media().PlaySelectedItem(0);
    }
    QImage grab() { return window->window()->grab().toImage(); }
    QString shot(const QString& name, const QImage& image)
    {
        const QString dir = QStringLiteral(Z5_BINARY_DIR "/screenshots");
        QDir().mkpath(dir);
        const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        image.save(path);
        return path;
    }
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
    bool cellShows(int i)
    {
        return viewer().WBIMGH.at(i) && viewer().WBIMGH[i].visible() && !viewer().WBIMGH[i].picture().isNull();
    }
    QString statusLine() { return window->WBTextBox[1].text(); }
    QString address(int picture) const { return nginx.base() + QStringLiteral("/pics/p%1.jpg").arg(picture); }

    ServiceSet services;
    std::unique_ptr<BrowserProgram> program;
    frmExplorer* window = nullptr;
    QString prog;
    QString root;
    testenv::NginxServer nginx;
};

} // namespace

// One, four and eight pictures a view, each from nginx: every cell shows its
// picture in its colour, the status line reads as the picture's facts, and
// the target folder gets the copies the options' digits ask for.
TEST_F(FetchWindow, NetPicturesInOneFourAndEightImageViews)
{
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
        rows().clear();
        const QString target = testenv::freshDir(QStringLiteral("target"));
        if (run.existing) {
            ASSERT_TRUE(testenv::writeFile(target + QStringLiteral("/p1.jpg"), "old"));
        }
        for (int i = 1; i <= 8; ++i)
            addRow(QStringLiteral("p%1.jpg").arg(i), address(i), target);
        ListDownloadOptions[3] = QString::fromLatin1(run.options);
        window->ImagesPerView = static_cast<uint8_t>(run.perView);
        play();
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
        shot(QStringLiteral("fetch-net-%1-%2").arg(run.perView).arg(QLatin1String(run.options)), image);
        for (int i = 0; i < run.perView; ++i) {
            const QWidget* cell = viewer().WBIMGH[i].widget();
            EXPECT_TRUE(near(colourIn(image, cell, cell->rect().center()), kColours[i])) << "cell " << i;
        }
        static const QRegularExpression info(QStringLiteral("^ \\d: p\\d\\.jpg - \\d+\\.\\d\\d KBytes - 120 \\* 160 - 24 Bit$"));
        EXPECT_TRUE(info.match(statusLine()).hasMatch()) << statusLine().toStdString();
        QStringList copies = QDir(target).entryList(QDir::Files | QDir::Hidden);
        EXPECT_EQ(copies, run.copies);
        if (!run.copies.isEmpty()) {
            const QByteArray p1 = testenv::readFile(target + QLatin1Char('/') + run.copies.first());
            EXPECT_EQ(p1, run.p1.isEmpty() ? jpeg(kColours[0]) : run.p1);
        }
    }
    services.Media().StopImageList();
}

// One image a view with resizing off: the viewer tab loads the result page
// around a picture whose server-chosen name holds a quote and a script tag;
// the picture shows and no script of the name runs.
TEST_F(FetchWindow, AHostileNameShowsItsPictureOnTheSinglePageAndRunsNothing)
{
    const QString hostile = QStringLiteral("q'<script>document.title='owned';<!--.jpg");
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/pics/") + hostile, jpeg(kColours[2])));
    // The quote travels as it is; "<" and ">" can only come percent-encoded.
    const QString url = nginx.base() + QStringLiteral("/pics/") + QString::fromLatin1(QUrl::toPercentEncoding(hostile, "'"));
    addRow(hostile, url, QString());
    ListDownloadOptions[3] = QStringLiteral("101000");
    window->ImagesPerView = 1;
    window->AutoImageResize = 0;
    play();
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
    shot(QStringLiteral("fetch-net-hostile-name"), grab());
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
