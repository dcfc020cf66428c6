// The status pages, the log rows and the texts they print.

#include "core/urlcracker.h"
#include "dlmanager/downloadname.h"
#include "dlmanager/fileitem.h"
#include "dlmanager/moddownload.h"
#include "dlmanager/runstate.h"
#include "dlmanager/statuspages.h"
#include "platform/base/vbrt.h"

#include "testenv.h"

#include <QDateTime>
#include <QDir>
#include <gtest/gtest.h>

#include <limits>

TEST(FormatByteSize, Table)
{
    const struct {
        qint64 count;
        const char* text;
    } cases[] = {
        {0, "0 Bytes"},
        {1023, "1023 Bytes"},
        {1024, "1.00 KB"},
        {1536, "1.50 KB"},
        {1048575, "1024.00 KB"},
        {1048576, "1.00 MB"},
        {2147483647, "2.00 GB"},
        {3LL * 1024 * 1024 * 1024 + 512LL * 1024 * 1024, "3.50 GB"},
        {1LL << 40, "1.00 TB"},
        {std::numeric_limits<qint64>::max(), "8388608.00 TB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatByteSize(c.count), QString::fromLatin1(c.text)) << c.count;
}

TEST(RuntimeFormat, NumberAndClockPatterns)
{
    const struct {
        double value;
        const char* pattern;
        const char* text;
    } numbers[] = {
        {0.5, "#.00", ".50"},   {1.125, "#.00", "1.13"}, {12.5, "####.00", "12.50"}, {1234.567, "0.0", "1234.6"},
        {0, "0.00", "0.00"},    {-2.25, "#.0", "-2.3"},  {7, "#", "7"},
    };
    for (const auto& c : numbers)
        EXPECT_EQ(vb::format(c.value, QString::fromLatin1(c.pattern)), QString::fromLatin1(c.text)) << c.value << " " << c.pattern;
    EXPECT_EQ(vb::formatClockDate(QDateTime(QDate(2026, 12, 8), QTime(15, 47))), QStringLiteral("03:47PM 12/08/2026"));
    EXPECT_EQ(vb::formatClockDate(QDateTime(QDate(2026, 3, 1), QTime(0, 5))), QStringLiteral("12:05AM 03/01/2026"));
    EXPECT_EQ(vb::formatClockDate(QDateTime(QDate(2026, 3, 1), QTime(12, 0))), QStringLiteral("12:00PM 03/01/2026"));
}

TEST(TransferRate, ShortestFormOfTwoDecimals)
{
    const struct {
        double rate;
        const char* text;
    } cases[] = {{12.5, "12.5"}, {0.25, "0.25"}, {1234.567, "1234.57"}, {3, "3"}, {0.004, "0"}, {99999.999, "100000"}};
    for (const auto& c : cases)
        EXPECT_EQ(TransferRateText(c.rate), QString::fromLatin1(c.text)) << c.rate;
}

TEST(DownloadCommandLine, Forms)
{
    const struct {
        const char* argument;
        DownloadCommand::Form form;
        const char* first; // list name or address
        bool resume;
        const char* target;
    } cases[] = {
        {"0301 0905AM - Music||||||||||0", DownloadCommand::List, "0301 0905AM - Music", false, ""},
        {"0301 0905AM - Music||||||||||1", DownloadCommand::List, "0301 0905AM - Music", true, ""},
        {"L||||||||||yes", DownloadCommand::List, "L", true, ""},
        {"L||||||||||", DownloadCommand::List, "L", false, ""},
        {"http://h/a.mp3|||||/x||||||||||0", DownloadCommand::List, "http://h/a.mp3|||||/x", false, ""},
        {"http://h/a.mp3|||||/m/a.mp3", DownloadCommand::SingleFile, "http://h/a.mp3", false, "/m/a.mp3"},
        {"http://h/a%7Cb.mp3|||||/m/a|b.mp3", DownloadCommand::SingleFile, "http://h/a%7Cb.mp3", false, "/m/a|b.mp3"},
        // An address that holds the separator must never move the target.
        {"http://h/a.txt?q=|||||/home/u/.profile|||||/m/T", DownloadCommand::None, "", false, ""},
        {"http://h/a.mp3||||||/m/a.mp3", DownloadCommand::None, "", false, ""},
        {"http://h/a|b.mp3|||||/m/a.mp3", DownloadCommand::None, "", false, ""},
        {"plain", DownloadCommand::None, "", false, ""},
    };
    for (const auto& c : cases) {
        const DownloadCommand d = ParseDownloadCommand(QString::fromUtf8(c.argument));
        EXPECT_EQ(d.form, c.form) << c.argument;
        EXPECT_EQ(d.form == DownloadCommand::List ? d.listName : d.address, QString::fromUtf8(c.first)) << c.argument;
        EXPECT_EQ(d.resume, c.resume) << c.argument;
        EXPECT_EQ(d.targetPath, QString::fromUtf8(c.target)) << c.argument;
    }
}

TEST(DownloadNames, FilesAndPages)
{
    const struct {
        const char* address;
        const char* file;
    } cases[] = {
        {"http://host/pub/setup.exe", "setup.exe"},
        {"http://host/pub/setup.exe?x=1", "setup.exe"},
        {"http://host/index.html", ""},
        {"http://host/cgi/get.php", ""},
        {"http://host/pub/", ""},
        {"http://host/pub/file.001", ""},
        {"http://host/setup.2.0.exe", ""},
        {"http://host/pub/file.", "file."},
        {"http://host/FILE.ASPX", ""},
        {"not an address", ""},
    };
    for (const auto& c : cases) {
        clsWinInet cracker;
        EXPECT_EQ(GetDownloadFileName(QString::fromUtf8(c.address), cracker), QString::fromUtf8(c.file)) << c.address;
    }
    EXPECT_FALSE(IsDownloadableName(QStringLiteral("mailto:a.b")));
    EXPECT_TRUE(IsPageUrl(QStringLiteral("DOWNLOAD.PHP?ID=1")));
    EXPECT_FALSE(IsPageUrl(QString()));
}

namespace {

RunState sampleRun()
{
    RunState run;
    run.AppPath = QStringLiteral("/opt/Z5 Browser");
    run.CommonPath = run.AppPath + QStringLiteral("/Common");
    run.ListName = QStringLiteral("1208 0347PM - <b>Mix</b> & 'Co'");
    run.ListBase = run.AppPath + QStringLiteral("/Data/") + run.ListName;
    run.TotalItems = 5;
    run.DoneItems = 3;
    run.ItemName = QStringLiteral("song <1>.mp3");
    run.ItemFolder = QStringLiteral("/home/u/My Music");
    run.StartTime = QStringLiteral("03:47PM 12/08/2026");
    return run;
}

// Compares with the golden file; Z5_UPDATE_GOLDEN=1 writes it instead.
void expectGolden(const QByteArray& page, const QString& name)
{
    const QString path = QStringLiteral(GOLDEN_DIR "/") + name;
    if (qEnvironmentVariableIsSet("Z5_UPDATE_GOLDEN")) {
        QDir().mkpath(QStringLiteral(GOLDEN_DIR));
        ASSERT_TRUE(testenv::writeFile(path, page));
    }
    EXPECT_EQ(page, testenv::readFile(path)) << name.toStdString();
}

} // namespace

TEST(StatusPages, GoldenPagesInEachState)
{
    const QDateTime at(QDate(2026, 12, 8), QTime(16, 5));
    RunState run = sampleRun();
    expectGolden(StatusFramesetPage(run), QStringLiteral("frameset.htm"));

    const struct {
        const char* name;
        int16_t state;
        bool stopped;
        bool completed;
        const char* status;
        const char* progress;
    } states[] = {
        {"starting", JobConnecting, false, false, "STARTING", ""},
        {"transferring", JobTransferring, false, false, "", "1.50 MB of 3.00 MB copied"},
        {"transferring-no-progress", JobTransferring, false, false, "", ""},
        {"resuming", JobResuming, false, false, "Resuming... song.mp3 - Size: 1000", ""},
        {"stopped", JobStopped, true, false, "STOPPED", ""},
        {"done", JobDone, false, true, "COMPLETED", ""},
        {"failed-line", JobFailed, false, false, "Error: line 10 of the list is blank", ""},
    };
    for (const auto& s : states) {
        run.JobState = s.state;
        run.StoppedByUser = s.stopped;
        run.StatusText = QString::fromUtf8(s.status);
        run.ProgressText = QString::fromUtf8(s.progress);
        run.RateText = s.state == JobTransferring ? QStringLiteral("1234.5 KB/Sec") : QString();
        expectGolden(StatusHeaderPage(run), QStringLiteral("f1-%1.htm").arg(QLatin1String(s.name)));
        expectGolden(StatusBarPage(run, s.completed, at), QStringLiteral("f3-%1.htm").arg(QLatin1String(s.name)));
    }

    run.JobState = JobDone;
    QByteArray log = LogRow(run) + "\r\n";
    run.JobState = JobFailed;
    run.ItemName = QStringLiteral("<script>alert('x')</script>");
    run.StatusText = QStringLiteral("404 - Bad server responds");
    log += LogRow(run) + "\r\n";
    log += "<tr><td>half a row"; // a row cut by a kill is not shown half
    expectGolden(StatusLogPage(log.left(log.lastIndexOf('\n') + 1)), QStringLiteral("f2.htm"));
}

TEST(StatusPages, NoTextEscapesItsPlace)
{
    RunState run = sampleRun();
    run.JobState = JobFailed;
    run.ItemName = QStringLiteral("a'><script>x</script>\r\nb");
    run.StatusText = QStringLiteral("500 - \"Server\" <errors>");
    run.ItemFolder = QStringLiteral("/t/'\"<>&");
    run.ItemNote = QStringLiteral("2 images skipped <script>");
    for (int16_t state : {JobFailed, JobDone}) {
        run.JobState = state;
        const QByteArray row = LogRow(run);
        EXPECT_FALSE(row.contains("<script>")) << row.constData();
        EXPECT_FALSE(row.contains('\n'));
        EXPECT_FALSE(row.contains("a'")) << row.constData();
        // A done row tells what its item passed over.
        EXPECT_EQ(row.contains(" - 2 images skipped &lt;script&gt;"), state == JobDone) << row.constData();
    }
    const QByteArray header = StatusHeaderPage(run);
    EXPECT_FALSE(header.contains("<b>Mix")) << header.constData();
    EXPECT_FALSE(header.contains("'Co'"));
}

TEST(StatusPages, FileAddressesAreEncoded)
{
    EXPECT_EQ(FileUrl(QStringLiteral("/opt/Z5 Browser/Data/a#b%c'.HTM")),
              QStringLiteral("file:///opt/Z5%20Browser/Data/a%23b%25c'.HTM"));
    EXPECT_EQ(EscapeHtml(FileUrl(QStringLiteral("/a'b"))), QStringLiteral("file:///a&#39;b"));
}
