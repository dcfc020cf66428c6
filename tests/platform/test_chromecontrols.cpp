// The controls and services the skinned main window is built from: text
// box, progress bar, picture box text, pointers and tooltips per control,
// the bounded wait and the window-state services.

#include "platform/win/controls.h"
#include "platform/win/delay.h"
#include "platform/win/form.h"
#include "platform/win/progressbar.h"
#include "platform/win/textbox.h"
#include "platform/win/windowservices.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

using namespace platform::forms;

namespace {

// What a tooltip shows, as the tooltip renders it.
QString shownText(const QString& toolTip)
{
    QTextDocument doc;
    if (Qt::mightBeRichText(toolTip))
        doc.setHtml(toolTip);
    else
        doc.setPlainText(toolTip);
    return doc.toPlainText();
}

} // namespace

TEST(ChromeControls, TooltipsShowTheirTextAsWritten)
{
    Form form;
    Image image(form, QStringLiteral("img"));
    const QString texts[] = {
        QStringLiteral(" Hide Menu "),
        QStringLiteral("<b>Bold</b> page"),
        QStringLiteral("Tom & Jerry <script>x</script>"),
        QStringLiteral("a &amp; b"),
    };
    for (const QString& text : texts) {
        image.setToolTipText(text);
        EXPECT_EQ(image.toolTipText(), text);
        EXPECT_EQ(shownText(image.widget()->toolTip()), text) << text.toStdString();
    }
    image.setToolTipText(QString());
    EXPECT_TRUE(image.widget()->toolTip().isEmpty());
}

TEST(ChromeControls, EachControlHasItsOwnPointer)
{
    Form form;
    Image a(form, QStringLiteral("a"));
    Label b(form, QStringLiteral("b"));
    const struct {
        int code;
        Qt::CursorShape shape;
    } cases[] = {{1, Qt::ArrowCursor}, {3, Qt::IBeamCursor}, {7, Qt::SizeVerCursor}, {9, Qt::SizeHorCursor},
                 {11, Qt::WaitCursor}, {15, Qt::SizeAllCursor}, {99, Qt::PointingHandCursor}};
    for (const auto& c : cases) {
        a.setMousePointer(c.code);
        EXPECT_EQ(a.widget()->cursor().shape(), c.shape) << c.code;
        EXPECT_EQ(a.mousePointer(), c.code);
        EXPECT_FALSE(b.widget()->testAttribute(Qt::WA_SetCursor)) << "the other control keeps the window's";
    }
    a.setMousePointer(0);
    EXPECT_FALSE(a.widget()->testAttribute(Qt::WA_SetCursor));
}

TEST(ChromeControls, TheTextBoxKeepsTextSelectionAndLock)
{
    Form form;
    TextBox box(form, QStringLiteral("txt"));
    box.setText(QStringLiteral("http://a.example/"));
    box.setSelStart(7);
    box.setSelLength(9);
    EXPECT_EQ(box.selStart(), 7);
    EXPECT_EQ(box.selLength(), 9);
    EXPECT_EQ(box.lineEdit()->selectedText(), QStringLiteral("a.example"));
    box.setSelLength(100); // cut at the end of the text
    EXPECT_EQ(box.selLength(), 10);
    box.setSelStart(-4);
    EXPECT_EQ(box.selStart(), 0);
    box.setLocked(true);
    EXPECT_TRUE(box.lineEdit()->isReadOnly());
    box.setBackColor(QColor(1, 2, 3));
    EXPECT_EQ(box.backColor(), QColor(1, 2, 3));
}

TEST(ChromeControls, TheTextBoxRefusesDroppedLocalFilesButTakesText)
{
    Form form;
    TextBox box(form, QStringLiteral("txt"));
    box.move(0, 0, 3000, 300);
    form.show();
    const struct {
        const char* what;
        QList<QUrl> urls;
        QString text;
        bool accepted;
    } cases[] = {
        {"a local file", {QUrl::fromLocalFile(QStringLiteral("/etc/passwd"))}, QString(), false},
        {"a file among addresses", {QUrl(QStringLiteral("http://x.example/")), QUrl::fromLocalFile(QStringLiteral("/tmp/a"))}, QString(), false},
        {"plain text", {}, QStringLiteral("typed words"), true},
    };
    for (const auto& c : cases) {
        QMimeData data;
        if (!c.urls.isEmpty())
            data.setUrls(c.urls);
        if (!c.text.isEmpty())
            data.setText(c.text);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(box.widget(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.accepted) << c.what;
    }
}

TEST(ChromeControls, TheProgressBarFillsInProportionWithinItsBounds)
{
    Form form;
    ProgressBar bar(form, QStringLiteral("bar"));
    bar.move(0, 0, 1500, 150); // 100 x 10 pixels
    bar.setBarColor(QColor(0x73, 0x96, 0xE3));
    bar.setBackColor(QColor(0, 0, 0));
    const struct {
        int min, max, value, filled;
    } cases[] = {{0, 100, 0, 0}, {0, 100, 25, 25}, {0, 100, 150, 100}, {10, 20, 15, 50}, {0, 100, -5, 0}, {5, 5, 5, 0}};
    for (const auto& c : cases) {
        bar.setMinimum(c.min);
        bar.setMaximum(c.max);
        bar.setValue(c.value);
        EXPECT_EQ(bar.filledWidth(100), c.filled) << c.min << ".." << c.max << " " << c.value;
    }
    bar.setMinimum(0);
    bar.setMaximum(100);
    bar.setValue(30);
    const QImage shot = bar.widget()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 5), QColor(0x73, 0x96, 0xE3));
    EXPECT_EQ(shot.pixelColor(80, 5), QColor(0, 0, 0));
}

TEST(ChromeControls, APictureBoxDrawsItsTextCentredAndCut)
{
    Form form;
    PictureBox box(form, QStringLiteral("pic"));
    box.move(0, 0, 900, 300); // 60 x 20 pixels
    box.setBackColor(QColor(255, 255, 255));
    box.setForeColor(QColor(0, 0, 0));
    box.setCentredText(QStringLiteral("12"));
    QImage shot = box.widget()->grab().toImage();
    int leftmost = 60, rightmost = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x)
            if (shot.pixelColor(x, y).lightness() < 128) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
    ASSERT_GE(rightmost, 0) << "the text is drawn";
    EXPECT_LE(std::abs((leftmost + rightmost) / 2 - 30), 3) << "centred";
    // A text longer than the box is cut at its edges, drawing nothing outside.
    box.setCentredText(QString(200, QLatin1Char('W')));
    EXPECT_EQ(box.widget()->grab().size(), QSize(60, 20));
    box.setCentredText(QString());
    shot = box.widget()->grab().toImage();
    for (int x = 0; x < 60; ++x)
        EXPECT_EQ(shot.pixelColor(x, 10), QColor(255, 255, 255));
}

TEST(ChromeControls, DelayWaitsTheTimeAskedWhileEventsRunAndNeverLonger)
{
    bool fired = false;
    QTimer::singleShot(20, [&] { fired = true; });
    // A timer of 10 ms counts how long the wait let events run: at most 12
    // ticks fit in 120 ms (a busy machine only lets fewer run).
    int ticks = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    QElapsedTimer clock;
    clock.start();
    platform::Delay(120);
    ticker.stop();
    EXPECT_GE(clock.elapsed(), 115);
    EXPECT_LE(ticks, 13);
    EXPECT_TRUE(fired);
    const float noWaits[] = {0.0f, -50.0f, std::numeric_limits<float>::quiet_NaN()};
    for (float ms : noWaits) {
        // No wait at all: not even an event that is due at once runs.
        bool ran = false;
        QTimer::singleShot(0, [&] { ran = true; });
        platform::Delay(ms);
        EXPECT_FALSE(ran) << ms;
        QCoreApplication::processEvents();
    }
}

TEST(ChromeControls, WindowStateAndTheTaskbarProvider)
{
    QWidget w;
    w.resize(200, 100);
    w.show();
    EXPECT_EQ(platform::windows::windowState(&w), platform::windows::StateNormal);
    platform::windows::setWindowState(&w, platform::windows::StateMinimized);
    EXPECT_EQ(platform::windows::windowState(&w), platform::windows::StateMinimized);
    platform::windows::setWindowState(&w, platform::windows::StateNormal);
    EXPECT_EQ(platform::windows::windowState(&w), platform::windows::StateNormal);
    EXPECT_FALSE(platform::windows::workArea(&w).isEmpty());

    EXPECT_EQ(platform::windows::taskbarState(), platform::windows::TaskbarAlwaysOnTop);
    EXPECT_FALSE(platform::windows::autoHideBarOn(3));
    platform::windows::setTaskbarProvider({[] { return platform::windows::TaskbarAutoHide; }, [](int edge) { return edge == 3; }});
    EXPECT_EQ(platform::windows::taskbarState(), platform::windows::TaskbarAutoHide);
    EXPECT_TRUE(platform::windows::autoHideBarOn(3));
    EXPECT_FALSE(platform::windows::autoHideBarOn(0));
    platform::windows::setTaskbarProvider({});
    EXPECT_EQ(platform::windows::taskbarState(), platform::windows::TaskbarAlwaysOnTop);
}
