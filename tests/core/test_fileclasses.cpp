#include "core/fileclasses.h"
#include "core/settingsstore.h"
#include "platform/base/paths.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char* name;
    bool image, audio, video, windowsMedia;
};

} // namespace

TEST(FileClasses, ExtensionListsMatchBySubstring)
{
    const NameCase cases[] = {
        // name                    image  audio  video  wm
        {"photo.JPEG",             true,  false, false, false},
        {"x.jp",                   true,  false, false, false}, // partial entry ".jp"
        {"name.",                  true,  true,  true,  true},  // a lone "." is in every list
        {"view_expandtofull.jpg",  false, false, false, false},
        {"VIEW_EXPANDTOFULL.JPG2", false, false, false, false},
        {"song.wma",               false, true,  false, false}, // ".wma" is not in ".asf.wm.wmd"
        {"clip.asf",               false, true,  true,  true},
        {"archive.mpeg4",          false, false, false, false}, // no "." in the last five
        {"movie.MPG",              false, false, true,  false},
        {"a.b.wav",                false, true,  false, false},
        {"tune.wm",                true,  true,  true,  true},  // ".wm" occurs in ".wmf"
        {"noext",                  false, false, false, false},
        {"",                       false, false, false, false},
        {"x.g",                    true,  false, false, false}, // ".g" occurs in ".gif"
        {"x.Bmp",                  true,  false, false, false},
        {"dir.jpg/file",           false, false, false, false}, // the last 5 are "/file"
    };
    for (const NameCase& c : cases) {
        const QString n = QString::fromUtf8(c.name);
        EXPECT_EQ(IsImageFile(n), c.image) << c.name;
        EXPECT_EQ(IsAudioFile(n), c.audio) << c.name;
        EXPECT_EQ(IsVideoFile(n), c.video) << c.name;
        EXPECT_EQ(IsWindowsMediaAudio(n), c.windowsMedia) << c.name;
    }
    EXPECT_EQ(ExtensionPart(QStringLiteral("A.B.JPEG"), 5), QStringLiteral(".jpeg"));
    EXPECT_EQ(ExtensionPart(QStringLiteral("x.tar.gz"), 5), QStringLiteral(".gz"));
    EXPECT_EQ(ExtensionPart(QStringLiteral("ab.c.d"), 4), QStringLiteral(".c.d"));
    EXPECT_EQ(ExtensionPart(QStringLiteral("abcdef"), 4), QString());
}

TEST(FileClasses, FixedEndingsAndPageTests)
{
    const struct {
        const char* name;
        bool (*test)(const QString&);
        bool expected;
    } cases[] = {
        {"track01.cda", IsCdTrack, true},
        {"TRACK.CDA ", IsCdTrack, false},
        {"a.Wav", IsWaveFile, true},
        {"link.url", IsShortcutFile, true},
        {"cut.z5s", IsSnippetFile, true},
        {"cut.z5p", IsSnippetFile, false},
        {"http://h/dir/", IsWebPageUrl, false},
        {"", IsWebPageUrl, false},
        {"http://h/index.PHP3?x=1", IsWebPageUrl, true},
        {"http://h/a.shtml", IsWebPageUrl, false}, // ".sh" breaks ".HTM"
        {"http://h/a.phtml", IsWebPageUrl, true},
        {"http://h/a.aspx", IsWebPageUrl, true},
        {"http://h/cgi-bin/run.cgi", IsWebPageUrl, true},
        {"http://h.htm/file.zip", IsWebPageUrl, false}, // only the last segment counts
        {"C:\\Temp\\~Z5_1234561page.htm", IsTempPageName, true},
        {"C:\\Temp\\~z5_1234561page.htm", IsTempPageName, false},
        {"", IsBlankPageUrl, true},
        {"   ", IsBlankPageUrl, true},
        {"file:///x/Common/Z5_BlankPage.HTM", IsBlankPageUrl, true},
        {"file:///x/Common/z5_blankpage.htm", IsBlankPageUrl, false},
        {"http:///", IsEmptyAddress, true},
        {"HTTP:///", IsEmptyAddress, false},
        {"  ", IsEmptyAddress, true},
        {"about:blank", IsEmptyAddress, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.test(QString::fromUtf8(c.name)), c.expected) << c.name;
}

TEST(FileClasses, FileAndArchiveLinks)
{
    const struct {
        const char* url;
        bool fileLink, archive;
    } cases[] = {
        {"http://h/setup.zip", true, true},
        {"http://h/page.html", false, false},
        {"http://h/dir/", false, false},
        {"http://192.168.0.1", false, false},   // a dotted number
        {"http://10.0.0.1/", false, false},
        {"www.example.com", true, false},       // a bare host name with a dot
        {"http://h/tool.EXE", true, true},
        {"http://h/a.rar", true, true},
        {"http://h/x.1a", true, false},        // "1a" is no number
        {"http://h/x. 5", false, false},       // blanks around a number still read as one
        {"http://h/x.", true, true},           // empty text is no number; "." is in the list
        {"javascript:go('a.zip')", false, false},
        {"http://h/mailto:me.zip", false, false},
        {"mailto:me@h.zip", false, false},
        {"http://h/a.zip?javascript:", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsFileLink(QString::fromUtf8(c.url)), c.fileLink) << c.url;
        EXPECT_EQ(IsDownloadArchiveLink(QString::fromUtf8(c.url)), c.archive) << c.url;
    }
}

TEST(FileClasses, HelpAndDataPagesOfTheProgramFolder)
{
    platform::paths::setProgramFolder(QStringLiteral("/opt/My Apps/Web"));
    const struct {
        const char* url;
        bool help, data;
    } cases[] = {
        {"file:///opt/My%20Apps/Web/Help/index.htm", true, false},
        {"/opt/My Apps/Web/Help/index.htm", true, false},
        {"/opt/My Apps/Web\\Help\\index.htm", true, false},
        {"file:///opt/My%20Apps/Web/Data/list.htm", false, true},
        {"file:///opt/My%20Apps/Web/help/index.htm", false, false}, // case-sensitive
        {"http://h/Help/", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetHelpPagePath(QString::fromUtf8(c.url)), c.help) << c.url;
        EXPECT_EQ(GetDataPagePath(QString::fromUtf8(c.url)), c.data) << c.url;
    }
    platform::paths::setProgramFolder(QString());
}

TEST(FileClasses, OfficeProgramsAndMailProgramFromTheRegistry)
{
    EXPECT_EQ(IsWordInstalled(), QString());
    WriteRegistryValue(HiveLocalMachine, QStringLiteral("SOFTWARE\\Classes\\Word.Application\\CLSID"), QString(),
                       QStringLiteral("{W}"));
    EXPECT_EQ(IsWordInstalled(), QString()); // the class has no local server
    WriteRegistryValue(HiveLocalMachine, QStringLiteral("Software\\Classes\\CLSID\\{W}\\LocalServer32"), QString(),
                       QStringLiteral("/usr/bin/wordproc /automation"));
    EXPECT_EQ(IsWordInstalled(), QStringLiteral("/usr/bin/wordproc /automation"));
    EXPECT_EQ(IsExcelInstalled(), QString());

    const QString mailKey = QStringLiteral("SOFTWARE\\Classes\\mailto\\shell\\open\\command");
    const struct {
        const char* command;
        const char* program;
    } mail[] = {
        {"\"%ProgramFiles%/mail/mailer\" -compose \"%1\"", "/usr/bin/mail/mailer"},
        {"mailer -compose %1", "mailer -compose %1"}, // no quotes: arguments kept
        {"\"unterminated -x", "\"unterminated -x"},
        {"%programfiles%/x", "%programfiles%/x"},       // the replacement is case-sensitive
    };
    for (const auto& m : mail) {
        WriteRegistryValue(HiveLocalMachine, mailKey, QString(), QString::fromUtf8(m.command));
        EXPECT_EQ(GetMailProgram(), QString::fromUtf8(m.program)) << m.command;
    }
}

TEST(FileClasses, GridForEveryCount)
{
    const int16_t expected[33][2] = {
        {0, 0}, {0, 0}, {1, 2}, {1, 3}, {2, 2}, {2, 3}, {2, 3}, {2, 4}, {2, 4}, {3, 3}, {2, 5},
        {3, 4}, {3, 4}, {3, 5}, {3, 5}, {3, 5}, {4, 4}, {3, 6}, {3, 6}, {4, 5}, {4, 5}, {3, 7},
        {4, 6}, {4, 6}, {4, 6}, {5, 5}, {4, 7}, {3, 9}, {4, 7}, {5, 6}, {5, 6}, {4, 8}, {4, 8},
    };
    for (int16_t count = 2; count <= 32; ++count) {
        int16_t rows = -1, columns = -1;
        GridForCount(count, rows, columns);
        EXPECT_EQ(rows, expected[count][0]) << count;
        EXPECT_EQ(columns, expected[count][1]) << count;
        EXPECT_GE(rows * columns, count);
    }
    for (const int16_t count : {int16_t(-1), int16_t(0), int16_t(1), int16_t(33)}) {
        int16_t rows = 7, columns = 9;
        GridForCount(count, rows, columns);
        EXPECT_EQ(rows, 7);
        EXPECT_EQ(columns, 9);
    }
}
