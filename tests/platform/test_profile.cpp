#include "platform/base/profile.h"

#include "testenv.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace profile = platform::profile;

TEST(Profile, ReadsIgnoreCaseAndBlanks)
{
    const QString file = testenv::freshDir(QStringLiteral("p")) + QStringLiteral("/list.ini");
    ASSERT_TRUE(testenv::writeFile(file, "; comment\r\n[Main]\r\nName = Value one \r\n\r\n[ Other ]\r\nname=second\r\n"));
    EXPECT_EQ(profile::readString(file, QStringLiteral("MAIN"), QStringLiteral("NAME"), QStringLiteral("d")),
              QStringLiteral("Value one"));
    EXPECT_EQ(profile::readString(file, QStringLiteral("other"), QStringLiteral("name"), QStringLiteral("d")),
              QStringLiteral("second"));
    EXPECT_EQ(profile::readString(file, QStringLiteral("Main"), QStringLiteral("missing"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(profile::readString(file + QStringLiteral("x"), QStringLiteral("Main"), QStringLiteral("Name"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(profile::sectionNames(file), (QStringList{QStringLiteral("Main"), QStringLiteral("Other")}));
    EXPECT_EQ(profile::keyNames(file, QStringLiteral("main")), QStringList{QStringLiteral("Name")});
}

TEST(Profile, AWriteKeepsEveryOtherLine)
{
    const QString file = testenv::freshDir(QStringLiteral("p")) + QStringLiteral("/list.ini");
    ASSERT_TRUE(testenv::writeFile(file, "; keep me\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"));
    ASSERT_TRUE(profile::writeString(file, QStringLiteral("a"), QStringLiteral("X"), QStringLiteral("9")));
    ASSERT_TRUE(profile::writeString(file, QStringLiteral("A"), QStringLiteral("z"), QStringLiteral("3")));
    ASSERT_TRUE(profile::writeString(file, QStringLiteral("C"), QStringLiteral("w"), QStringLiteral("4")));
    EXPECT_EQ(testenv::readFile(file), QByteArray("; keep me\r\n[A]\r\nx=9\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=4\r\n"));
    ASSERT_TRUE(profile::removeKey(file, QStringLiteral("B"), QStringLiteral("Y")));
    EXPECT_EQ(profile::readString(file, QStringLiteral("B"), QStringLiteral("y"), QStringLiteral("gone")), QStringLiteral("gone"));
    const QString fresh = QFileInfo(file).path() + QStringLiteral("/new.ini");
    ASSERT_TRUE(profile::writeString(fresh, QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_EQ(profile::readString(fresh, QStringLiteral("s"), QStringLiteral("K"), QString()), QStringLiteral("v"));
}

TEST(Profile, AWriteNeverMakesLinesOfItsOwn)
{
    const QString file = testenv::freshDir(QStringLiteral("p")) + QStringLiteral("/link.url");
    const QByteArray before = "[InternetShortcut]\r\nURL=http://a/\r\n";
    ASSERT_TRUE(testenv::writeFile(file, before));
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"InternetShortcut", "Title", "x\r\nURL=http://evil/"},
        {"InternetShortcut", "Title", "x\n[Other]"},
        {"InternetShortcut", "Ti\rtle", "x"},
        {"Internet\nShortcut", "Title", "x"},
        // Keys that would read back as another key, a comment or a header.
        {"InternetShortcut", "URL=http://evil/", "x"},
        {"InternetShortcut", "a=b", "x"},
        {"InternetShortcut", ";URL", "http://evil/"},
        {"InternetShortcut", " ;URL", "http://evil/"},
        {"InternetShortcut", "[Other", "x"},
        {"InternetShortcut", "  [Other]", "x"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(profile::writeString(file, QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                          QString::fromUtf8(c.value)))
            << c.key << " " << c.value;
        EXPECT_EQ(testenv::readFile(file), before) << c.key << " " << c.value;
    }
    EXPECT_EQ(profile::readString(file, QStringLiteral("InternetShortcut"), QStringLiteral("URL"), QString()),
              QStringLiteral("http://a/"));
}
