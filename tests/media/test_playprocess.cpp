// The staged browser program plays the audio list to its end, driven from
// outside as a user drives it: its input driver sends the keys and clicks,
// its probe reports where the controls are.

#include "tests/dialogs/programdriver.h"

#include "mediafiles.h"

#include <QImage>

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
    start({clips + QStringLiteral("/images.z5p")}, {{QStringLiteral("PLATFORM_PROBE_DIR"), probes}});
    ASSERT_TRUE(driveOk({QStringLiteral("wait\tZ5")}));
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
}
