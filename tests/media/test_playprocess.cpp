// The staged browser program plays the audio list to its end, driven from
// outside as a user drives it: its input driver sends the keys and clicks,
// its probe reports where the controls are.

#include "tests/dialogs/programdriver.h"

#include "mediafiles.h"

#include <QImage>

#include <algorithm>

namespace {

class PlayProcess : public programdriver::DrivenProgram {
protected:
    // The pixel rectangle of a control of the main window, from the probe.
    QRect controlRect(const QString& probes, const QString& control)
    {
        const QString name = QStringLiteral("p%1").arg(++asked);
        const QString answer = probes + QLatin1Char('/') + name + QStringLiteral(".txt");
        testenv::writeFile(probes + QStringLiteral("/ask-") + name, {});
        if (!testenv::waitFor([&] { return QFile::exists(answer); }, 20000))
            return {};
        for (const QString& line : QString::fromUtf8(testenv::readFile(answer)).split(QLatin1Char('\n'))) {
            const QStringList f = line.split(QLatin1Char('\t'));
            if (f.size() == 5 && f[0] == control) {
                const QStringList p = f[4].split(QLatin1Char(' '));
                if (p.size() == 4)
                    return QRect(p[0].toInt(), p[1].toInt(), p[2].toInt(), p[3].toInt());
            }
        }
        return {};
    }

    int asked = 0;
};

// Whether the process has a library whose file name holds name mapped.
bool maps(QProcess* p, const char* name)
{
    QFile f(QStringLiteral("/proc/%1/maps").arg(p->processId()));
    return f.open(QIODevice::ReadOnly) && f.readAll().contains(name);
}

QByteArray playlist(int kind, const QStringList& rows)
{
    QByteArray text = QByteArray::number(kind) + "\r\n1\r\n1\r\n000000\r\n\r\n\r\n\r\n\r\n";
    for (const QString& row : rows)
        text += row.toUtf8() + "\r\n";
    return text;
}

} // namespace

// Two short WAVs and a missing file in the audio list, started by the Right
// key while the image viewer shows a set: each item plays in turn, the
// missing one is stepped over, the list stops at its end; the position knob
// moves while it plays.
TEST_F(PlayProcess, TheAudioListPlaysToItsEndFromItsKey)
{
    const QString clips = testenv::freshDir(QStringLiteral("clips"));
    ASSERT_TRUE(testmedia::writeWav(clips + QStringLiteral("/one.wav"), 600));
    ASSERT_TRUE(testmedia::writeWav(clips + QStringLiteral("/two.wav"), 900));
    ASSERT_TRUE(QImage(QSize(40, 30), QImage::Format_RGB32).save(clips + QStringLiteral("/pic.png")));
    ASSERT_TRUE(testenv::writeFile(clips + QStringLiteral("/audio.z5p"),
                                   playlist(1, {QStringLiteral("one.wav,") + clips + QStringLiteral("/one.wav"),
                                                QStringLiteral("two.wav,") + clips + QStringLiteral("/two.wav"),
                                                QStringLiteral("gone.wav,") + clips + QStringLiteral("/gone.wav")})));
    ASSERT_TRUE(testenv::writeFile(clips + QStringLiteral("/images.z5p"),
                                   playlist(3, {QStringLiteral("pic.png,") + clips + QStringLiteral("/pic.png")})));
    const QString probes = testenv::freshDir(QStringLiteral("probes"));
    platform::registry::writeValue(platform::registry::Hive::CurrentUser, QStringLiteral("Software\\Keldo\\Z5 Browser"),
                                   QStringLiteral("RUNONEINSTANCEONLY"), platform::registry::Value::string(QStringLiteral("1")));
    // The Media Control Center row shows, with the toolbar's menu button.
    platform::registry::writeValue(platform::registry::Hive::CurrentUser, QStringLiteral("Software\\Keldo\\Z5 Browser"),
                                   QStringLiteral("DIS_MENUBAR2"), platform::registry::Value::string(QStringLiteral("True")));

    // The image list from the command line, then the audio list handed
    // over by a second start, as opening the two files does.
    QProcess* z5 = start({clips + QStringLiteral("/images.z5p")}, {{QStringLiteral("PLATFORM_PROBE_DIR"), probes}});
    ASSERT_TRUE(driveOk({QStringLiteral("wait\tZ5")}));
    // Nothing has played: the media layer and Qt Multimedia are not loaded.
    EXPECT_FALSE(maps(z5, "libz5platformmedia.so"));
    EXPECT_FALSE(maps(z5, "libQt6Multimedia"));
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PLATFORM_PROGRAM_DIR"), prog);
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(Z5_STAGE_DIR "/Z5.exe"), {clips + QStringLiteral("/audio.z5p")});
    ASSERT_TRUE(second.waitForFinished(60000));
    ASSERT_TRUE(testenv::waitFor([&] { return state(QStringLiteral("Z5"), QStringLiteral("APPLabel(1)")).value(3).contains(QLatin1Char('3')); },
                                 30000))
        << "the audio list holds its three items";

    // The image viewer shows sets of two (Media > View By Set > View set
    // of 2), so the arrow keys steer the player.
    ASSERT_TRUE(testenv::waitFor([&] { return state(QStringLiteral("Z5"), QStringLiteral("cmdMediaControl(0)")).value(1) == QLatin1String("1"); },
                                 20000))
        << "the media toolbar shows its menu button";
    ASSERT_TRUE(driveOk({click(QStringLiteral("cmdMediaControl(0)"), QStringLiteral("Z5")), QStringLiteral("menu\t0\t17"),
                         QStringLiteral("menu\t1\t4")}));
    // The keyboard leaves the address box (arrows there edit its text): a
    // click on the audio list below its rows.
    const QRect list = controlRect(probes, QStringLiteral("ListView(1)"));
    ASSERT_FALSE(list.isEmpty());
    ASSERT_TRUE(driveOk({QStringLiteral("click\tZ5\tListView(1)\t5\t%1").arg(list.height() - 8)}));
    ASSERT_TRUE(driveOk({QStringLiteral("key\tZ5\tRight\t100")}));

    // The status and the item number, as often as they can be read.
    QStringList statuses;
    QList<int> items;
    QImage first, later;
    QDeadlineTimer playing;
    const QRect knob = controlRect(probes, QStringLiteral("cmdMediaControl(15)"));
    testenv::waitFor(
        [&] {
            const QString status = state(QStringLiteral("Z5"), QStringLiteral("WBTextBox(1)")).value(3);
            const int item = state(QStringLiteral("Z5"), QStringLiteral("APPLabel(0)")).value(3).trimmed().toInt();
            if (statuses.isEmpty() || statuses.last() != status)
                statuses << status;
            if (items.isEmpty() || items.last() != item)
                items << item;
            if (status == QLatin1String("Playing") && first.isNull()) {
                driveOk({QStringLiteral("shot\tZ5\t") + work + QStringLiteral("/first.png")});
                first.load(work + QStringLiteral("/first.png"));
                playing = QDeadlineTimer(1000);
            } else if (!first.isNull() && later.isNull() && playing.hasExpired()) {
                driveOk({QStringLiteral("shot\tZ5\t") + work + QStringLiteral("/later.png")});
                later.load(work + QStringLiteral("/later.png"));
            }
            return status == QLatin1String("Stopped") && !later.isNull();
        },
        90000);
    EXPECT_EQ(statuses.value(statuses.indexOf(QStringLiteral("Playing"))), QStringLiteral("Playing"));
    EXPECT_EQ(statuses.last(), QStringLiteral("Stopped"));
    EXPECT_EQ(items, (QList<int>{1, 2, 3})) << "each item in turn, the missing one stepped over";
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(later.isNull());
    ASSERT_FALSE(knob.isEmpty());
    const QRect track(0, knob.top(), first.width(), knob.height());
    EXPECT_NE(first.copy(track), later.copy(track)) << "the position knob moved";
    EXPECT_TRUE(maps(z5, "libQt6Multimedia")) << "the media layer came in with the first item";
}

// Six pictures, four a view, half a second apart, started from the media
// menu (View set of 4) and the Right key in Z5.exe: the first page shows
// four cells in their colours, the second the TIFF, an empty cell for the
// WMF and two cleared cells, and the list pauses there.
TEST_F(PlayProcess, TheImageListPlaysAsASlideShowOfPages)
{
    const QString pics = testenv::freshDir(QStringLiteral("slides"));
    const auto& files = testmedia::kSlidePictures;
    QByteArray list = "3\r\n1\r\n0.5\r\n101000\r\n\r\n\r\n\r\n\r\n";
    for (const auto& f : files) {
        const QString path = pics + QLatin1Char('/') + QString::fromLatin1(f.name);
        ASSERT_TRUE(testmedia::writeMarkedPicture(path, f.colour, f.format));
        list += QByteArray(f.name) + "," + path.toUtf8() + "\r\n";
    }
    ASSERT_TRUE(testenv::writeFile(pics + QStringLiteral("/stub.wmf"), QByteArray("\xd7\xcd\xc6\x9a", 4) + QByteArray(60, '\0')));
    list += "stub.wmf," + pics.toUtf8() + "/stub.wmf\r\n";
    ASSERT_TRUE(testenv::writeFile(pics + QStringLiteral("/slides.z5p"), list));
    const QString probes = testenv::freshDir(QStringLiteral("probes"));
    // The Media Control Center row shows, with the toolbar's menu button.
    platform::registry::writeValue(platform::registry::Hive::CurrentUser, QStringLiteral("Software\\Keldo\\Z5 Browser"),
                                   QStringLiteral("DIS_MENUBAR2"), platform::registry::Value::string(QStringLiteral("True")));

    start({pics + QStringLiteral("/slides.z5p")}, {{QStringLiteral("PLATFORM_PROBE_DIR"), probes}});
    ASSERT_TRUE(driveOk({QStringLiteral("wait\tZ5")}));
    ASSERT_TRUE(testenv::waitFor([&] { return state(QStringLiteral("frmExplorer"), QStringLiteral("APPLabel(1)")).value(3).contains(QLatin1Char('6')); },
                                 30000))
        << "the image list holds its six items";
    ASSERT_TRUE(testenv::waitFor([&] { return state(QStringLiteral("frmExplorer"), QStringLiteral("cmdMediaControl(0)")).value(1) == QLatin1String("1"); },
                                 20000))
        << "the media toolbar's menu button cmdMediaControl(0) never showed";
    // Media > View By Set > View set of 4; then a click on the image list
    // below its rows (the keyboard leaves the address box) and Play by the
    // Right key.
    ASSERT_TRUE(driveOk({click(QStringLiteral("cmdMediaControl(0)"), QStringLiteral("frmExplorer")), QStringLiteral("menu\t0\t17"),
                         QStringLiteral("menu\t1\t2")}));
    const QRect rows = controlRect(probes, QStringLiteral("ListView(3)"));
    ASSERT_FALSE(rows.isEmpty());
    ASSERT_TRUE(driveOk({QStringLiteral("click\tfrmExplorer\tListView(3)\t5\t%1").arg(rows.height() - 8)}));
    ASSERT_TRUE(driveOk({QStringLiteral("key\tfrmExplorer\tRight\t100")}));

    const auto shown = [&](int cell) {
        return state(QStringLiteral("frmExplorer"), QStringLiteral("WBIMGH(%1)").arg(cell)).value(1) == QLatin1String("1");
    };
    const auto status = [&] { return state(QStringLiteral("frmExplorer"), QStringLiteral("WBTextBox(1)")).value(3); };
    // The window as often as it can be grabbed until the list pauses.
    QList<QImage> shots;
    ASSERT_TRUE(testenv::waitFor(
        [&] {
            const QString file = work + QStringLiteral("/shot%1.png").arg(shots.size());
            if (driveOk({QStringLiteral("shot\tfrmExplorer\t") + file}))
                shots << QImage(file);
            return status() == QLatin1String("Paused");
        },
        30000))
        << "the list pauses after its second page";
    const auto near = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) <= 40 && std::abs(a.green() - b.green()) <= 40 && std::abs(a.blue() - b.blue()) <= 40;
    };
    QList<QRect> cells;
    for (int i = 0; i < 4; ++i)
        cells << controlRect(probes, QStringLiteral("WBIMGH(%1)").arg(i));
    ASSERT_FALSE(cells[0].isEmpty());
    // Page one: four cells in the colours of the first four pictures.
    const auto pageOne = std::find_if(shots.begin(), shots.end(), [&](const QImage& shot) {
        for (int i = 0; i < 4; ++i)
            if (!near(shot.pixelColor(cells[i].center()), files[i].colour))
                return false;
        return true;
    });
    ASSERT_NE(pageOne, shots.end()) << "no picture of the window showed page one; " << shots.size() << " taken";
    pageOne->save(QStringLiteral(Z5_BINARY_DIR "/screenshots/process-slideshow-page1.png"));

    // Page two: the TIFF, and three empty cells (the WMF and two without an item).
    ASSERT_TRUE(testenv::waitFor([&] { return shown(0); }, 10000));
    ASSERT_TRUE(driveOk({QStringLiteral("shot\tfrmExplorer\t") + work + QStringLiteral("/page2.png")}));
    QImage second(work + QStringLiteral("/page2.png"));
    second.save(QStringLiteral(Z5_BINARY_DIR "/screenshots/process-slideshow-page2.png"));
    EXPECT_TRUE(near(second.pixelColor(controlRect(probes, QStringLiteral("WBIMGH(0)")).center()), files[4].colour));
    for (int i = 1; i < 4; ++i)
        EXPECT_FALSE(shown(i)) << "cell " << i << " stays empty";
}
