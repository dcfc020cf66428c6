// Names of handed lists, the settings' list of them, and which files of the
// data folder belong to download lists.

#include "core/downloadlists.h"
#include "downloads/downloadlistnames.h"

#include "testenv.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(DownloadListNames, FromTheTimeAndThePlaylist)
{
    const QDateTime fivePast(QDate(2024, 3, 1), QTime(0, 5));
    const QDateTime afternoon(QDate(2024, 12, 8), QTime(15, 47));
    const struct {
        QDateTime when;
        QString playlist;
        QString name;
    } cases[] = {
        {fivePast, "", "0301 1205AM"},
        {afternoon, "", "1208 0347PM"},
        {QDateTime(QDate(2024, 3, 1), QTime(9, 5)), "/home/u/Music.z5p", "0301 0905AM - Music"},
        {QDateTime(QDate(2024, 3, 1), QTime(12, 0)), "/x/a|b #1 %20 é.z5p", "0301 1200PM - a_b #1 %20 é"},
        {afternoon, "C:\\Lists\\back\\slash.z5p", "1208 0347PM - slash"},
        {afternoon, "/x/tab\there.z5p", "1208 0347PM - tabhere"},
        {afternoon, "/x/..sneaky.z5p", "1208 0347PM"},
        {afternoon, "/x/" + QString(250, 'n') + ".z5p", "1208 0347PM"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DownloadListName(c.when, c.playlist), c.name) << c.playlist.toStdString();
        EXPECT_TRUE(IsSafeListName(c.name));
    }
}

TEST(DownloadListNames, TheSettingsListKeepsTenNewestFirst)
{
    QString value;
    for (int i = 1; i <= 11; ++i)
        value = AddDownloadListName(value, QString("L%1").arg(i));
    EXPECT_EQ(ListedDownloadLists(value), (QStringList{"L11", "L10", "L9", "L8", "L7", "L6", "L5", "L4", "L3", "L2"}));
    // Only the exact name leaves; a name that starts like it stays.
    const QString two = "|0301 0905AM - Music|0301 0905AM|0301 0905AM";
    EXPECT_EQ(RemoveDownloadListName(two, "0301 0905AM"), "|0301 0905AM - Music");
    EXPECT_EQ(RemoveDownloadListName("", "x"), "");
}

TEST(DownloadListNames, ATakenNameGetsANumber)
{
    const QString data = testenv::freshDir("data");
    EXPECT_EQ(FreeDownloadListName(data, "0301 0905AM", ""), "0301 0905AM");
    testenv::writeFile(data + "/0301 0905AMF2.HTM", "");
    EXPECT_EQ(FreeDownloadListName(data, "0301 0905AM", ""), "0301 0905AM (2)");
    EXPECT_EQ(FreeDownloadListName(data, "0301 0905AM", "|0301 0905AM (2)"), "0301 0905AM (3)");
    // A playlist that only starts with the name takes nothing.
    EXPECT_EQ(FreeDownloadListName(data, "0301 0905", ""), "0301 0905");
}

TEST(DownloadListNames, SafeNamesAndListFiles)
{
    for (const char* bad : {"", "../x", "a/b", "a\\b", "a..b", "tab\tname", "del\x7f"})
        EXPECT_FALSE(IsSafeListName(QString::fromLatin1(bad))) << bad;
    EXPECT_FALSE(IsSafeListName(QString(201, 'a')));
    EXPECT_TRUE(IsSafeListName(QString(200, 'a')));
    EXPECT_TRUE(IsSafeListName("a|b #1 %20 é"));

    const struct {
        const char* file;
        bool listFile;
    } files[] = {
        {"0301 0905AM.Z5P", true},         {"0301 0905AM - Music.LOG", true}, {"1208 0347PM (2)F3.HTM", true},
        {"1208 0347PM - a (3).Z5C2", true}, {"0301 0905AM.HTM", true},        {"0301 0905AM.z5p", false},
        {"Music.Z5P", false},               {"0301 0905AM.txt", false},       {"0301 0905XM.Z5P", false},
        {"0301 0905AMF4.HTM", false},
    };
    for (const auto& f : files)
        EXPECT_EQ(IsDownloadListFileName(QString::fromUtf8(f.file)), f.listFile) << f.file;
}

TEST(DownloadListNames, TheFramesetShowsTheListsFrames)
{
    const QString page = QString::fromUtf8(DownloadStatusFrameset("/p/Data/a'b #1"));
    EXPECT_TRUE(page.contains("id='F1'") && page.contains("id='F2'") && page.contains("id='F3'"));
    EXPECT_TRUE(page.contains("src='file:///p/Data/a&#39;b%20%231F3.HTM'")) << page.toStdString();
}
