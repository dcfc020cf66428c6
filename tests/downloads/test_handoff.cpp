// Handing a list to the download manager and the commands of its status
// page, with a stand-in download manager that writes down its arguments.

#include "downloadsfixture.h"

#include "core/downloadlists.h"
#include "downloads/downloadlistnames.h"
#include "core/globals.h"
#include "core/language.h"
#include "platform/base/namedlock.h"

#include <QRegularExpression>
#include <QUrl>

#include <sys/xattr.h>

namespace {

const QString kValue = "Z5_DOWNLOADLIST";

QString listed()
{
    return ReadZ5Setting(HiveCurrentUser, kValue, QString());
}

} // namespace

using HandOff = DownloadsWindow;

TEST_F(HandOff, WritesTheListStartsTheManagerAndShowsItsStatus)
{
    fill(6, {{"a,b.bin", "http://h/a,b.bin", "http://h/", "/dl"},
             {"\"q\".bin", "http://h/q.bin", "", "/dl"},
             {"c.bin", "http://h/c.bin", "", "/dl"}});
    ListDownloadOptions[6] = "011000";
    window->ListDelayTime[6] = 2.5f;
    window->CurrentListKind = 6;
    fakes.currentTabBlank = false;
    downloads->StartListDownload(6, true, 1);

    const QStringList names = ListedDownloadLists(listed());
    ASSERT_EQ(names.size(), 1);
    const QString name = names[0];
    EXPECT_TRUE(QRegularExpression("^\\d{4} \\d{4}(AM|PM)$").match(name).hasMatch()) << name.toStdString();
    const QString file = QString::fromUtf8(testenv::readFile(data(name + ".Z5P")));
    EXPECT_EQ(file, "6\r\n1\r\n2.5\r\n011000\r\n\r\n\r\n\r\n\r\n"
                    "\"a,b.bin\",\"http://h/a,b.bin\",http://h/,/dl,\r\n"
                    "\"\"\"q\"\".bin\",http://h/q.bin,,/dl,\r\n"
                    "c.bin,http://h/c.bin,,/dl,\r\n");
    ASSERT_TRUE(waitForStarts(1));
    EXPECT_EQ(starts(), QList<QStringList>{{name + "||||||||||0"}});
    EXPECT_EQ(rows(6).count(), 0) << "the whole list was handed";
    // The frameset stands in until the manager writes its own.
    EXPECT_TRUE(QFile::exists(data(name + ".HTM")));
    EXPECT_TRUE(fakes.calls.contains("OpenNewTab"));
    EXPECT_TRUE(fakes.calls.contains("NavigateCurrentTab(" +
                                     QUrl::fromLocalFile(data(name + ".HTM")).toString(QUrl::FullyEncoded) + ")"));
}

TEST_F(HandOff, NamesNeverClashAndTheSettingsKeepTen)
{
    fill(6, {{"f", "http://h/f", "", "/dl"}});
    window->CurrentListKind = 6;
    window->ListFilePath[6] = "/lists/a|b #1 %20 é.z5p";
    for (int i = 0; i < 3; ++i)
        downloads->StartListDownload(6, true, 2); // from the second item: the list stays
    QStringList names = ListedDownloadLists(listed());
    ASSERT_EQ(names.size(), 3);
    // Within one minute the names are numbered; never two the same.
    const QRegularExpression form("^\\d{4} \\d{4}(AM|PM) - a_b #1 %20 é( \\([23]\\))?$");
    for (const QString& n : names) {
        EXPECT_TRUE(form.match(n).hasMatch()) << n.toStdString();
        EXPECT_EQ(names.count(n), 1);
        EXPECT_TRUE(QFile::exists(data(n + ".Z5P"))) << n.toStdString();
    }
    EXPECT_EQ(rows(6).count(), 1);
    const QString oldest = names[2];
    for (int i = 0; i < 9; ++i)
        downloads->StartListDownload(6, false, 1);
    names = ListedDownloadLists(listed());
    EXPECT_EQ(names.size(), 10);
    EXPECT_FALSE(names.contains(oldest));
    ASSERT_TRUE(waitForStarts(12));
}

TEST_F(HandOff, ItemsWithoutAnAbsoluteFolderAskForTheSetUpFirst)
{
    window->CurrentListKind = 6;
    const struct {
        const char* what;
        QString typed; // "" cancels the dialog
        bool offline;
        bool handed;
        int messages;
    } cases[] = {
        {"cancelled", "", false, false, 0},
        {"a folder chosen", "/dl", false, true, 0},
        {"Offline without a folder", "", true, false, 1},
    };
    for (const auto& c : cases) {
        rows(6).clear();
        fill(6, {{"f", "http://h/f", "", "relative"}});
        ListDownloadOptions[6] = "010000";
        SaveZ5Setting(HiveCurrentUser, kValue, QString());
        prompts.clear();
        testenv::whenActive<QWidget>([&](QWidget& w) {
            if (c.typed.isEmpty() && !c.offline) {
                clickControl(w, "cmdButton1(1)");
                return;
            }
            w.findChild<QLineEdit*>("TxtSelectedDir")->setText(c.typed);
            if (c.offline)
                clickControl(w, "Check1(0)");
            clickControl(w, "cmdButton1(0)");
        });
        downloads->StartListDownload(6, true, 1);
        EXPECT_EQ(listed().isEmpty(), !c.handed) << c.what;
        EXPECT_EQ(messages().size(), c.messages) << c.what;
    }
}

using StatusPage = DownloadsWindow;

namespace {

QString pageOf(const QString& path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

} // namespace

TEST_F(StatusPage, PauseAndResumeKeepOneRunPerList)
{
    const QString name = "0301 0905AM - a|b #1 %20 é";
    testenv::writeFile(data(name + ".Z5P"), "6\r\n1\r\n0\r\n011000\r\n\r\n\r\n\r\n\r\n");
    const QString page = pageOf(data(name + ".HTM"));
    platform::NamedLock run(DownloadListLockName(prog, name));
    ASSERT_TRUE(run.tryLock());

    downloads->HandlePageEvent("EVENT:Z5_DLSTAT_pause", 3, page);
    EXPECT_TRUE(QFile::exists(data(name + ".Z5C1")));
    // While the run holds the list, or its pause is not answered, resumes do nothing.
    downloads->HandlePageEvent("EVENT:Z5_DLSTAT_RESUME", 3, page);
    run.unlock();
    EXPECT_EQ(window->PendingListPauses.count(name), 1u);
    testenv::writeFile(data(name + ".Z5C2"), "");
    // A double click: the second resume comes while the first one starts.
    for (int i = 0; i < 2; ++i)
        QMetaObject::invokeMethod(
            window->window(), [&] { downloads->HandlePageEvent("EVENT:Z5_DLSTAT_RESUME", 3, page); }, Qt::QueuedConnection);
    ASSERT_TRUE(waitForStarts(1));
    QTest::qWait(300);
    EXPECT_EQ(starts(), QList<QStringList>{{name + "||||||||||1"}});
    EXPECT_FALSE(QFile::exists(data(name + ".Z5C1"))) << "a stale stop request would end the new run";
    EXPECT_TRUE(window->PendingListPauses.empty());

    // A pause of a run that had already ended does not hold later resumes.
    QTest::qWait(400); // the started run would hold the list by now
    downloads->HandlePageEvent("EVENT:Z5_DLSTAT_PAUSE", 3, page);
    downloads->HandlePageEvent("EVENT:Z5_DLSTAT_RESUME", 3, page);
    ASSERT_TRUE(waitForStarts(2));
}

TEST_F(StatusPage, StopDeletesExactlyThatListAndCloseOnlyClosesItsTab)
{
    const QString name = "0301 0905AM";
    const QString sibling = "0301 0905AM - Music";
    for (const QString& n : {name, sibling})
        for (const QString& suffix : DownloadListSuffixes())
            testenv::writeFile(data(n + suffix), "x");
    testenv::writeFile(data("Music.z5p"), "1\r\n");
    SaveZ5Setting(HiveCurrentUser, kValue, "|" + sibling + "|" + name);
    fakes.tabBrowsers = {0, 4, 7};
    const QString page = pageOf(data(name + ".HTM"));

    answers = {2};
    downloads->HandlePageEvent("EVENT:Z5_DLSTAT_STOP", 7, page);
    EXPECT_TRUE(QFile::exists(data(name + ".Z5P"))) << "No keeps the list";
    answers = {3};
    fakes.calls.clear();
    downloads->HandlePageEvent("event:z5_dlstat_stop", 7, page);
    EXPECT_EQ(messages().last(), "Are you sure you want to cancel download ?");
    EXPECT_TRUE(fakes.calls.contains("CloseTab(2)")) << fakes.calls.join(" ").toStdString();
    EXPECT_EQ(listed(), "|" + sibling);
    for (const QString& suffix : DownloadListSuffixes()) {
        EXPECT_FALSE(QFile::exists(data(name + suffix))) << suffix.toStdString();
        EXPECT_TRUE(QFile::exists(data(sibling + suffix))) << suffix.toStdString();
    }
    EXPECT_TRUE(QFile::exists(data("Music.z5p")));

    fakes.calls.clear();
    downloads->HandlePageEvent("EVENT:Z5_DLSTAT_CLOSE", 4, pageOf(data(sibling + ".HTM")));
    EXPECT_EQ(fakes.calls, QStringList{"CloseTab(1)"});
    EXPECT_TRUE(QFile::exists(data(sibling + ".Z5P")));
}

TEST_F(StatusPage, OtherPagesChangeNothing)
{
    const QString name = "0301 0905AM";
    for (const QString& suffix : DownloadListSuffixes())
        testenv::writeFile(data(name + suffix), "x");
    QDir().mkpath(prog + "/Help");
    answers = {3, 3, 3, 3, 3};
    for (const QString& page : {QString("http://127.0.0.1:1/0301 0905AM.HTM"), pageOf(prog + "/Help/0301 0905AM.HTM"),
                                pageOf(data(name + ".htm")), pageOf(data("../" + name + ".HTM")),
                                pageOf(platform::paths::privateTempFolder() + "/~Z5_1234561.htm"), QString()}) {
        downloads->HandlePageEvent("EVENT:Z5_DLSTAT_STOP", 1, page);
        downloads->HandlePageEvent("EVENT:Z5_DLSTAT_PAUSE", 1, page);
    }
    EXPECT_TRUE(messages().isEmpty());
    for (const QString& suffix : DownloadListSuffixes())
        EXPECT_EQ(testenv::readFile(data(name + suffix)), "x") << suffix.toStdString();
}

TEST_F(StatusPage, ModifyLoadsTheListBackAsAnswered)
{
    const QString name = "0301 0905AM";
    testenv::writeFile(data(name + ".Z5P"), "6\r\n1\r\n0\r\n011000\r\n\r\n\r\n\r\n\r\nnew,http://h/new,,/dl,\r\n");
    const struct {
        int answer;
        QStringList texts;
    } cases[] = {{1, {"old"}}, {2, {"old", "new"}}, {3, {"new"}}};
    for (const auto& c : cases) {
        rows(6).clear();
        window->CurrentListKind = 6;
        fill(6, {{"old", "http://h/old", "", "/dl"}});
        answers = {c.answer};
        downloads->HandlePageEvent("EVENT:Z5_DLSTAT_MODIFY", 1, pageOf(data(name + ".HTM")));
        EXPECT_EQ(texts(6), c.texts) << c.answer;
    }
    // An empty list takes the items without a question.
    rows(6).clear();
    window->ListItemCount[6] = 0;
    prompts.clear();
    downloads->HandlePageEvent("EVENT:Z5_DLSTAT_MODIFY", 1, pageOf(data(name + ".HTM")));
    EXPECT_EQ(texts(6), QStringList{"new"});
    EXPECT_TRUE(messages().isEmpty());

    // A list far longer than one read buffer comes back whole.
    QByteArray big = "6\r\n1\r\n0\r\n011000\r\n\r\n\r\n\r\n\r\n";
    QStringList bigTexts;
    for (int i = 1; i <= 200; ++i) {
        const QString text = QStringLiteral("item %1 with a long enough name").arg(i);
        big += (text + ",http://h/file" + QString::number(i) + ".bin,http://h/page.htm,/dl,\r\n").toUtf8();
        bigTexts << text;
    }
    testenv::writeFile(data(name + ".Z5P"), big);
    rows(6).clear();
    window->ListItemCount[6] = 0;
    downloads->HandlePageEvent("EVENT:Z5_DLSTAT_MODIFY", 1, pageOf(data(name + ".HTM")));
    EXPECT_EQ(texts(6), bigTexts);
}

// A stop the download manager does not answer in time is told, and the list
// keeps its files and its name until its run has ended; then it goes.
TEST_F(StatusPage, AListStillRunningIsToldAndRemovedWhenItsRunEnds)
{
    const QString name = "0301 0905AM - a & b";
    const QString other = "0302 1000PM";
    for (const QString& n : {name, other}) {
        testenv::writeFile(data(n + ".Z5P"), "6\r\n1\r\n0\r\n011000\r\n\r\n\r\n\r\n\r\n");
        testenv::writeFile(data(n + ".LOG"), "x");
    }
    SaveZ5Setting(HiveCurrentUser, kValue, "|" + name + "|" + other);
    downloads->statusCommands().stopWaitMs = 200;
    downloads->statusCommands().removal().setPollInterval(50);
    const struct {
        const char* what;
        bool clear;
    } cases[] = {{"Stop", false}, {"Clear Status", true}};
    for (const auto& c : cases) {
        auto run = std::make_unique<platform::NamedLock>(DownloadListLockName(prog, name));
        ASSERT_TRUE(run->tryLock());
        prompts.clear();
        answers = {3};
        if (c.clear)
            downloads->ClearDownloadStatusList();
        else
            downloads->HandlePageEvent("EVENT:Z5_DLSTAT_STOP", 1, pageOf(data(name + ".HTM")));
        ASSERT_EQ(messages().size(), 2) << c.what;
        EXPECT_TRUE(messages()[1].contains("\"" + name + "\"")) << c.what << messages()[1].toStdString();
        EXPECT_TRUE(messages()[1].startsWith(GetLangString("MESSAGE", "9085", "x"))) << c.what;
        EXPECT_TRUE(listed().contains("|" + name)) << c.what;
        EXPECT_TRUE(QFile::exists(data(name + ".Z5P"))) << c.what;
        EXPECT_EQ(QFile::exists(data(other + ".Z5P")), !c.clear) << c.what;
        // The run ends: the list goes with its name.
        run.reset();
        EXPECT_TRUE(testenv::waitFor([&] { return !QFile::exists(data(name + ".Z5P")); }, 5000)) << c.what;
        EXPECT_FALSE(QFile::exists(data(name + ".LOG"))) << c.what;
        EXPECT_FALSE(listed().contains(name)) << c.what;
        EXPECT_TRUE(downloads->statusCommands().removal().waiting().isEmpty()) << c.what;
        if (!c.clear) {
            EXPECT_EQ(listed(), "|" + other);
            testenv::writeFile(data(name + ".Z5P"), "6\r\n1\r\n0\r\n011000\r\n\r\n\r\n\r\n\r\n");
            testenv::writeFile(data(name + ".LOG"), "x");
            SaveZ5Setting(HiveCurrentUser, kValue, "|" + name + "|" + other);
        }
    }
}

// A list that ends for good takes the partial files its items left, found
// by their list's tag; nothing else in their folders.
TEST_F(StatusPage, AnEndedListTakesItsOwnPartialsOnly)
{
    const QString name = "0301 0905AM - g";
    const QString folder = testenv::freshDir("target");
    const auto tagged = [&](const QString& file, const QByteArray& tag) {
        const QString path = folder + "/" + file;
        ASSERT_TRUE(testenv::writeFile(path, "part"));
        if (!tag.isEmpty()) {
            ASSERT_EQ(::setxattr(QFile::encodeName(path).constData(), kPartialListAttribute, tag.constData(),
                                 static_cast<size_t>(tag.size()), 0),
                      0);
        }
    };
    const struct {
        const char* what;
        bool clear;
    } cases[] = {{"Stop", false}, {"Clear Status", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        testenv::writeFile(data(name + ".Z5P"), ("6\r\n1\r\n0\r\n011000\r\n\r\n\r\n\r\n\r\ng,http://h/g.bin,," + folder +
                                                 ",\r\n")
                                                    .toUtf8());
        SaveZ5Setting(HiveCurrentUser, kValue, "|" + name);
        tagged("g.bin~~~", DownloadListPartialTag(prog, name));
        tagged("g (2).bin~~~", DownloadListPartialTag(prog, name));
        tagged("h.bin~~~", DownloadListPartialTag(prog, "0302 1000PM"));
        tagged("i.bin~~~", {});
        tagged("g.bin", DownloadListPartialTag(prog, name)); // no partial's name
        ASSERT_TRUE(QFile::link(folder + "/g.bin~~~", folder + "/link.bin~~~"));
        answers = {3};
        if (c.clear)
            downloads->ClearDownloadStatusList();
        else
            downloads->HandlePageEvent("EVENT:Z5_DLSTAT_STOP", 1, pageOf(data(name + ".HTM")));
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
        left.sort();
        EXPECT_EQ(left, (QStringList{"g.bin", "h.bin~~~", "i.bin~~~", "link.bin~~~"}));
        EXPECT_FALSE(QFile::exists(data(name + ".Z5P")));
    }
}

TEST_F(StatusPage, ClearStatusStopsEveryListAndKeepsPlaylists)
{
    const QStringList names = {"0301 0905AM", "0301 0905AM - Music", "0302 1000PM (2)"};
    for (const QString& n : names)
        for (const QString& suffix : DownloadListSuffixes())
            testenv::writeFile(data(n + suffix), "x");
    testenv::writeFile(data("0101 0101AM - orphan.LOG"), "x");
    testenv::writeFile(data("Music.z5p"), "1\r\n");
    testenv::writeFile(data("notes.txt"), "x");
    SaveZ5Setting(HiveCurrentUser, kValue, "|" + names[0] + "|" + names[1]);
    // A list still run: its files stay, the others go.
    platform::NamedLock run(DownloadListLockName(prog, names[1]));
    ASSERT_TRUE(run.tryLock());
    fakes.tabBrowsers = {0, 1, 2, 3};
    fakes.tabLocations = {pageOf(data(names[0] + ".HTM")), "http://h/", pageOf(data(names[1] + ".HTM")),
                          pageOf(data("Music.z5p"))};
    answers = {2};
    downloads->ClearDownloadStatusList();
    EXPECT_EQ(listed(), "|" + names[0] + "|" + names[1]) << "No changes nothing";
    answers = {3};
    fakes.calls.clear();
    downloads->ClearDownloadStatusList();
    EXPECT_EQ(listed(), "|" + names[1]) << "a list still run keeps its name";
    QStringList closed;
    for (const QString& call : fakes.calls)
        if (call.startsWith("CloseTab"))
            closed << call;
    EXPECT_EQ(closed, (QStringList{"CloseTab(3)", "CloseTab(2)", "CloseTab(0)"}));
    EXPECT_TRUE(QFile::exists(data(names[1] + ".Z5C1"))) << "the run was asked to stop";
    for (const QString& suffix : DownloadListSuffixes()) {
        EXPECT_FALSE(QFile::exists(data(names[0] + suffix))) << suffix.toStdString();
        EXPECT_TRUE(QFile::exists(data(names[1] + suffix))) << suffix.toStdString();
        EXPECT_FALSE(QFile::exists(data(names[2] + suffix))) << suffix.toStdString();
    }
    EXPECT_FALSE(QFile::exists(data("0101 0101AM - orphan.LOG")));
    EXPECT_TRUE(QFile::exists(data("Music.z5p")));
    EXPECT_TRUE(QFile::exists(data("notes.txt")));
}
