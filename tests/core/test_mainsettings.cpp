#include "core/globals.h"
#include "core/mainsettings.h"
#include "core/registration.h"
#include "core/settingsstore.h"
#include "platform/base/paths.h"
#include "platform/web/wininet.h"

#include "testenv.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace reg = platform::registry;
namespace wininet = platform::wininet;

namespace {

QString z5(const QString& name, const QString& def = "<missing>")
{
    return ReadZ5Setting(HiveCurrentUser, name, def);
}

QString key(const QString& name)
{
    return ReadSetting(HiveCurrentUser, "Keldo", "Z5 Browser\\KeyBoard", name, "<missing>");
}

} // namespace

TEST(MainSettings, DefaultsOfAnEmptyStore)
{
    MainSettings s;
    LoadMainSettings(s);
    const std::array<int16_t, 11> flags = {-1, -1, 0, -1, -1, -1, -1, 0, 0, 0, 0};
    EXPECT_EQ(s.DisplayFlags, flags);
    EXPECT_EQ(s.ShownListKind, 1);
    EXPECT_FLOAT_EQ(s.VolumeFraction[1], 0.5f);
    EXPECT_FLOAT_EQ(s.VolumeFraction[2], 0.5f);
    EXPECT_EQ(s.CollectionFormat, "111111");
    EXPECT_EQ(s.CollectionFilter, 1);
    EXPECT_EQ(s.FavoritesSortOrder, 0);
    EXPECT_EQ(s.FavoritesFolderFirst, -1);
    EXPECT_EQ(s.PopupControlMode, 0);
    EXPECT_EQ(s.ClosedTabRingEnabled, -1);
    const std::array<uint8_t, 7> general = {0, 1, 0, 0, 1, 1, 1};
    EXPECT_EQ(s.GeneralOptionBytes, general);
    EXPECT_EQ(s.UnreachableTimeout, 5);
    for (int i = 0; i <= 8; ++i)
        EXPECT_EQ(s.LastFolders[i], "");
    for (int k = 3; k <= 5; ++k)
        EXPECT_FLOAT_EQ(s.ListDelayTime[k], 1.0f);
    EXPECT_EQ(s.NormalWindowRect.Left, 0);
    EXPECT_EQ(s.NormalWindowRect.Top, 0);
    EXPECT_EQ(s.NormalWindowRect.Width, 0);
    EXPECT_EQ(s.NormalWindowRect.Height, 0);
    for (int i = 0; i <= 11; ++i)
        EXPECT_EQ(s.KeyMap[i], i == 4 ? "|0|17|" : "|3|") << i;
    EXPECT_EQ(s.KeyMap[12], "");
    // Only the F5 record was written back.
    EXPECT_EQ(key("F5"), "|0|17|");
    EXPECT_EQ(key("F1"), "<missing>");
    EXPECT_EQ(z5("DIS_TOOLBAR1"), "<missing>");
}

TEST(MainSettings, StoredValuesAndTheirConversions)
{
    const struct {
        const char* name;
        const char* value;
    } stored[] = {
        {"DIS_TOOLBAR1", "False"}, {"DIS_TOOLBAR2", "0"}, {"DIS_PLAYLIST", "true"}, {"DIS_TABCTBAR", "junk"},
        {"DIS_MENUBAR1", "False"}, {"DIS_MENUBAR2", "-1"}, {"DIS_COLORBAR", "True"}, {"DIS_IMAGEINF", "False"},
        {"LASTPLAYLIST", "4"}, {"VolumePosP1", "0.25"}, {"VolumePosP2", "x"},
        {"OPT_COLLECTIONFORMAT", "10101011"}, {"OPT_COLLECTIONFILTER", "300"}, {"OPT_FAVORITESSORTORDER", "2"},
        {"OPT_FAVORITESFOLDER1ST", "False"}, {"OPT_POPUPCONTROL", "2.5"}, {"OPT_CLOSEDTABRING", "False"},
        {"DISABLESCRIPTERROR", "0"}, {"USETXTAUTOCOMPLETE", "1"}, {"GROUPLOADONSTARTUP", "1"},
        {"REMEMBERLASTFOLDER", "0"}, {"OPENLINKWITHNEWTAB", "0"}, {"MOUSEGESTURESINUSE", "0"},
        {"UNREACHABLETIMEOUT", "40000"}, {"LASTFOLDER3", "/home/u/Pictures"}, {"Z5_DELAYTIME4", "2.5"},
        {"DIS_MAXIMIZE", "False"}, {"WIN_T", "120"}, {"WIN_L", "-300"}, {"WIN_H", "40000"}, {"WIN_W", "57600"},
    };
    for (const auto& v : stored)
        SaveZ5Setting(HiveCurrentUser, v.name, v.value);
    SaveSetting(HiveCurrentUser, "Keldo", "Z5 Browser\\KeyBoard", "F1", "|1|http://x/|");
    SaveSetting(HiveCurrentUser, "Keldo", "Z5 Browser\\KeyBoard", "F5", "|2|");
    RunOneInstanceFlag = 1;

    MainSettings s;
    s.DisplayFlags[3] = -1;   // "junk" cannot be converted: the field keeps this
    s.VolumeFraction[2] = 0.75f;
    s.UnreachableTimeout = 9; // 40000 does not fit a 16-bit number
    s.CollectionFilter = 7;   // 300 does not fit a byte
    LoadMainSettings(s);
    RunOneInstanceFlag = 0;

    const std::array<int16_t, 11> flags = {0, 0, -1, -1, 0, 0, 0, -1, -1, 0, -1};
    EXPECT_EQ(s.DisplayFlags, flags);
    EXPECT_EQ(s.ShownListKind, 4);
    EXPECT_FLOAT_EQ(s.VolumeFraction[1], 0.25f);
    EXPECT_FLOAT_EQ(s.VolumeFraction[2], 0.75f);
    EXPECT_EQ(s.CollectionFormat, "101010");
    EXPECT_EQ(s.CollectionFilter, 7);
    EXPECT_EQ(s.FavoritesSortOrder, 2);
    EXPECT_EQ(s.FavoritesFolderFirst, 0);
    EXPECT_EQ(s.PopupControlMode, 2); // halves go to the even number
    EXPECT_EQ(s.ClosedTabRingEnabled, 0);
    const std::array<uint8_t, 7> general = {1, 0, 1, 1, 0, 0, 0};
    EXPECT_EQ(s.GeneralOptionBytes, general);
    EXPECT_EQ(s.UnreachableTimeout, 9);
    EXPECT_EQ(s.LastFolders[3], "/home/u/Pictures");
    EXPECT_FLOAT_EQ(s.ListDelayTime[4], 2.5f);
    EXPECT_FLOAT_EQ(s.ListDelayTime[3], 1.0f);
    // Positions and sizes beyond 16 bits come back.
    EXPECT_EQ(s.NormalWindowRect.Top, 120);
    EXPECT_EQ(s.NormalWindowRect.Left, -300);
    EXPECT_EQ(s.NormalWindowRect.Height, 40000);
    EXPECT_EQ(s.NormalWindowRect.Width, 57600);
    EXPECT_EQ(s.KeyMap[0], "|1|http://x/|");
    EXPECT_EQ(s.KeyMap[4], "|2|");
    EXPECT_EQ(key("F5"), "|2|");
}

TEST(MainSettings, ShortCollectionFormatIsPadded)
{
    SaveZ5Setting(HiveCurrentUser, "OPT_COLLECTIONFORMAT", "11");
    MainSettings s;
    LoadMainSettings(s);
    EXPECT_EQ(s.CollectionFormat, "11    ");
}

TEST(MainSettings, SaveAndLoadRoundTrip)
{
    MainSettings s;
    LoadMainSettings(s);
    s.ShownListKind = 6;
    s.VolumeFraction[1] = 0.3f;
    s.VolumeFraction[2] = 1.0f;
    s.CollectionFormat = "010101";
    s.CollectionFilter = 3;
    for (int i = 1; i <= 8; ++i)
        s.LastFolders[i] = QString("/folder/%1").arg(i);
    s.ListDelayTime[3] = 0.5f;
    s.ListDelayTime[4] = 12.0f;
    s.ListDelayTime[5] = 3.25f;
    s.DisplayFlags[5] = 0;
    const WindowRectTwips window{-1500, 300, 48000, 36000}; // Left, Top, Width, Height
    SaveMainSettings(s, window);

    const struct {
        const char* name;
        const char* text;
    } written[] = {
        {"LASTPLAYLIST", "6"},   {"VolumePosP1", "0.3"},  {"VolumePosP2", "1"},      {"OPT_COLLECTIONFORMAT", "010101"},
        {"OPT_COLLECTIONFILTER", "3"}, {"LASTFOLDER1", "/folder/1"}, {"LASTFOLDER8", "/folder/8"},
        {"Z5_DELAYTIME3", "0.5"}, {"Z5_DELAYTIME4", "12"}, {"Z5_DELAYTIME5", "3.25"}, {"DIS_MAXIMIZE", "False"},
        {"WIN_T", "300"},        {"WIN_L", "-1500"},      {"WIN_H", "36000"},        {"WIN_W", "48000"},
    };
    for (const auto& w : written)
        EXPECT_EQ(z5(w.name), w.text) << w.name;
    // Values the window does not own are not written.
    EXPECT_EQ(z5("DIS_TOOLBAR1"), "<missing>");
    EXPECT_EQ(z5("OPT_POPUPCONTROL"), "<missing>");

    MainSettings back;
    LoadMainSettings(back);
    EXPECT_EQ(back.ShownListKind, 6);
    EXPECT_FLOAT_EQ(back.VolumeFraction[1], 0.3f);
    EXPECT_FLOAT_EQ(back.VolumeFraction[2], 1.0f);
    EXPECT_EQ(back.CollectionFormat, "010101");
    EXPECT_EQ(back.CollectionFilter, 3);
    EXPECT_EQ(back.LastFolders, s.LastFolders);
    EXPECT_EQ(back.ListDelayTime, s.ListDelayTime);
    EXPECT_EQ(back.DisplayFlags[5], 0);
    EXPECT_EQ(back.NormalWindowRect.Left, -1500);
    EXPECT_EQ(back.NormalWindowRect.Top, 300);
    EXPECT_EQ(back.NormalWindowRect.Width, 48000);
    EXPECT_EQ(back.NormalWindowRect.Height, 36000);
}

TEST(MainSettings, ForgottenFoldersWhenNotRemembered)
{
    SaveZ5Setting(HiveCurrentUser, "LASTFOLDER2", "/old");
    SaveZ5Setting(HiveCurrentUser, "REMEMBERLASTFOLDER", "0");
    MainSettings s;
    LoadMainSettings(s);
    s.LastFolders[5] = "/new";
    SaveMainSettings(s, {});
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(z5(QString("LASTFOLDER%1").arg(i)), "") << i;
    EXPECT_EQ(s.LastFolders[5], "");
}

TEST(MainSettings, DefaultBrowserRenewedAtExitOnlyWhileHeld)
{
    platform::paths::setProgramFolder("/opt/z5");
    MainSettings s;
    LoadMainSettings(s);
    const QString command = "SOFTWARE\\CLASSES\\http\\shell\\open\\command";

    SaveMainSettings(s, {});
    EXPECT_FALSE(RegistryKeyExists(HiveLocalMachine, "SOFTWARE\\CLIENTS"));

    MakeDefaultBrowser();
    reg::writeValue(HiveLocalMachine, command, "", reg::Value::string("someone else"));
    SaveMainSettings(s, {});
    EXPECT_EQ(ReadRegistryString(HiveLocalMachine, command, ""), ProgramExeStem() + ".EXE \"%1\"");

    reg::writeValue(HiveLocalMachine, "SOFTWARE\\CLASSES\\.htm", "", reg::Value::string("OtherBrowser.HTML"));
    reg::writeValue(HiveLocalMachine, command, "", reg::Value::string("someone else"));
    SaveMainSettings(s, {});
    EXPECT_EQ(ReadRegistryString(HiveLocalMachine, command, ""), "someone else");
    platform::paths::setProgramFolder(QString());
}

TEST(MainSettings, ExitCleanupPositions)
{
    const QString temp = platform::paths::privateTempFolder();
    const QString typed = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
    const struct {
        const char* flags;
        bool normal, cookies, typedUrls, history, tempFile;
    } cases[] = {
        {"", false, false, false, false, false}, // default "000000"
        {"000000", false, false, false, false, false},
        {"111111", true, true, true, true, true},
        {"101111", false, false, true, true, true},
        {"011111", false, false, false, false, false},
        {"101000", false, false, false, false, false},
        {"1100", true, false, false, false, false},
        {"1101", true, false, true, false, false},  // cookies only together with the cache
        {"1x1x1x", false, false, false, true, false},  // only digits count
        {"100001", false, false, false, false, true},
        {"1000100", false, false, false, true, false},
        {"1", false, false, false, false, false},
    };
    for (const auto& c : cases) {
        reg::deleteKey(HiveCurrentUser, "Software\\Keldo", true);
        if (*c.flags)
            SaveZ5Setting(HiveCurrentUser, "OPT_CLEANUP", c.flags);
        for (const auto& e : wininet::cacheEntries())
            wininet::deleteCacheEntry(e.sourceName);
        wininet::addCacheEntry("http://page/", wininet::NormalEntry, QDateTime::currentDateTimeUtc());
        wininet::addCacheEntry("Cookie:u@page/", wininet::CookieEntry, QDateTime::currentDateTimeUtc());
        wininet::addCacheEntry("Visited: u@http://page/", wininet::UrlHistoryEntry, QDateTime::currentDateTimeUtc());
        reg::writeValue(HiveCurrentUser, typed, "url1", reg::Value::string("http://typed/"));
        ASSERT_TRUE(testenv::writeFile(temp + "/~Z5_1200001.htm", "x"));

        RunExitCleanup();

        QStringList left;
        for (const auto& e : wininet::cacheEntries())
            left << e.sourceName;
        EXPECT_EQ(!left.contains("http://page/"), c.normal) << c.flags;
        EXPECT_EQ(!left.contains("Cookie:u@page/"), c.cookies) << c.flags;
        EXPECT_EQ(!left.contains("Visited: u@http://page/"), c.history) << c.flags;
        EXPECT_EQ(ReadTypedUrl("url1").isEmpty(), c.typedUrls) << c.flags;
        EXPECT_EQ(!QFileInfo::exists(temp + "/~Z5_1200001.htm"), c.tempFile) << c.flags;
    }
}
