// The staged Z5.exe with an image list of loopback addresses, driven from
// outside: the list from the command line, the view set from the media
// menu, play by the Right key. Each run's cells show, the status line tells
// about a picture in, and the target folder gets the copies the list's
// option digits ask for.

#include "tests/dialogs/programdriver.h"

#include "mediafiles.h"
#include "nginxserver.h"

#include <QImage>
#include <QRegularExpression>

namespace {

struct NetRun {
    int perView;
    int menuRow;        // the row of "View By Set"
    const char* options;
    bool existing;      // the target folder holds p1.jpg ("old") before
    QStringList copies;
    bool keptOld;       // the first copy still holds "old"
};

class FetchProcess : public programdriver::DrivenProgram {
protected:
    void SetUp() override
    {
        DrivenProgram::SetUp();
        root = testenv::freshDir(QStringLiteral("www"));
        QDir().mkpath(root + QStringLiteral("/pics"));
        for (int i = 1; i <= 8; ++i)
            ASSERT_TRUE(testmedia::writeMarkedPicture(root + QStringLiteral("/pics/p%1.jpg").arg(i),
                                                      QColor::fromHsv(i * 40, 220, 220), "JPEG"));
        ASSERT_TRUE(nginx.start(root));
    }

    // Z5.exe started on the list, the view set chosen, played by the Right
    // key; the test fails when the media menu's button is not on the window.
    void play(const NetRun& run)
    {
        const QByteArray fetched = testenv::readFile(root + QStringLiteral("/pics/p1.jpg"));
        const QString target = testenv::freshDir(QStringLiteral("target"));
        if (run.existing) {
            ASSERT_TRUE(testenv::writeFile(target + QStringLiteral("/p1.jpg"), "old"));
        }
        QByteArray list = "3\r\n1\r\n60\r\n" + QByteArray(run.options) + "\r\n\r\n\r\n\r\n\r\n";
        for (int i = 1; i <= 8; ++i)
            list += QStringLiteral("p%1.jpg,%2/pics/p%1.jpg,,%3\r\n").arg(i).arg(nginx.base(), target).toUtf8();
        const QString playlist = work + QStringLiteral("/net.z5p");
        ASSERT_TRUE(testenv::writeFile(playlist, list));

        // The Media Control Center row shows, with the toolbar's menu button.
        platform::registry::writeValue(platform::registry::Hive::CurrentUser, QStringLiteral("Software\\Keldo\\Z5 Browser"),
                                       QStringLiteral("DIS_MENUBAR2"), platform::registry::Value::string(QStringLiteral("True")));
        QProcess* program = start({playlist});
        ASSERT_TRUE(driveOk({QStringLiteral("wait\tZ5")}));
        ASSERT_TRUE(testenv::waitFor(
            [&] { return state(QStringLiteral("frmExplorer"), QStringLiteral("APPLabel(1)")).value(3).contains(QLatin1Char('8')); }, 30000))
            << "the image list holds its eight items";
        ASSERT_TRUE(testenv::waitFor(
            [&] { return state(QStringLiteral("frmExplorer"), QStringLiteral("cmdMediaControl(0)")).value(1) == QLatin1String("1"); },
            20000))
            << "the media toolbar's menu button cmdMediaControl(0) never showed";
        // Media > View By Set > View set of n.
        ASSERT_TRUE(driveOk({click(QStringLiteral("cmdMediaControl(0)"), QStringLiteral("frmExplorer")), QStringLiteral("menu\t0\t17"),
                             QStringLiteral("menu\t1\t%1").arg(run.menuRow)}));
        // The first row clicked (the keyboard leaves the address box), then
        // Play: by the Right key where several images show at once, by the
        // toolbar's Play button for one (the arrow keys are the page's then).
        ASSERT_TRUE(driveOk({QStringLiteral("row\tfrmExplorer\tListView(3)\t1")}));
        if (run.perView > 1)
            ASSERT_TRUE(driveOk({QStringLiteral("key\tfrmExplorer\tRight\t100")}));
        else
            ASSERT_TRUE(driveOk({click(QStringLiteral("cmdMediaControl(2)"), QStringLiteral("frmExplorer"))}));
        const auto shown = [&](int cell) {
            return state(QStringLiteral("frmExplorer"), QStringLiteral("WBIMGH(%1)").arg(cell)).value(1) == QLatin1String("1");
        };
        ASSERT_TRUE(testenv::waitFor(
            [&] {
                for (int i = 0; i < run.perView; ++i)
                    if (!shown(i))
                        return false;
                return QDir(target).entryList(QDir::Files).size() >= run.copies.size();
            },
            30000))
            << "every cell shows and the copies are in; the status line: "
            << state(QStringLiteral("frmExplorer"), QStringLiteral("WBTextBox(1)")).value(3).toStdString() << "; the folder: "
            << QDir(target).entryList(QDir::Files).join(QLatin1Char(' ')).toStdString() << "; the list: "
            << state(QStringLiteral("frmExplorer"), QStringLiteral("APPLabel(0)")).value(3).toStdString();
        const QString shot = QStringLiteral(Z5_BINARY_DIR "/screenshots/process-fetch-%1-%2.png")
                                 .arg(run.perView)
                                 .arg(QLatin1String(run.options));
        QDir().mkpath(QStringLiteral(Z5_BINARY_DIR "/screenshots"));
        ASSERT_TRUE(driveOk({QStringLiteral("shot\tfrmExplorer\t") + shot}));
        EXPECT_FALSE(QImage(shot).isNull());
        static const QRegularExpression info(QStringLiteral("^ \\d: p\\d\\.jpg - \\d+\\.\\d\\d KBytes - 120 \\* 160 - 24 Bit$"));
        const QString status = state(QStringLiteral("frmExplorer"), QStringLiteral("WBTextBox(1)")).value(3);
        EXPECT_TRUE(info.match(status).hasMatch()) << status.toStdString();
        EXPECT_EQ(QDir(target).entryList(QDir::Files | QDir::Hidden), run.copies);
        EXPECT_EQ(testenv::readFile(target + QLatin1Char('/') + run.copies.first()),
                  run.keptOld ? QByteArray("old") : fetched);
        program->kill();
        program->waitForFinished(10000);
    }

    QString root;
    testenv::NginxServer nginx;
};

} // namespace

// One, four and eight a view from the media menu: the copies named as digit
// 5 says, an existing copy kept or replaced as digit 6 says.
TEST_F(FetchProcess, SetsOfOneFourAndEight)
{
    const NetRun runs[] = {
        {1, 6, "001000", false, {"p1.jpg"}, false},
        {4, 2, "001010", false,
         {"127.0.0.1-pics-p1.jpg", "127.0.0.1-pics-p2.jpg", "127.0.0.1-pics-p3.jpg", "127.0.0.1-pics-p4.jpg"}, false},
        {8, 0, "001000", true, {"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg", "p6.jpg", "p7.jpg", "p8.jpg"}, true},
        {8, 0, "001001", true, {"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg", "p6.jpg", "p7.jpg", "p8.jpg"}, false},
    };
    for (const NetRun& run : runs) {
        SCOPED_TRACE(QStringLiteral("%1 a view, options %2").arg(run.perView).arg(QLatin1String(run.options)).toStdString());
        play(run);
        if (HasFatalFailure())
            return;
    }
}
