#include "platform/paths.h"

#include "testenv.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(Paths, BackslashPathsFindNamesWhateverTheirCase)
{
    const QString root = testenv::freshDir(QStringLiteral("prog"));
    QDir(root).mkpath(QStringLiteral("Help/Sub"));
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/Help/Index.htm"), "x"));
    const QString r = QString(root).replace(QLatin1Char('/'), QLatin1Char('\\'));
    const struct { QString in; QString out; } cases[] = {
        {r + QStringLiteral("\\HELP\\index.HTM"), root + QStringLiteral("/Help/Index.htm")},
        {r + QStringLiteral("\\help\\sub"), root + QStringLiteral("/Help/Sub")},
        {r + QStringLiteral("\\Help\\New File.txt"), root + QStringLiteral("/Help/New File.txt")},
        {r + QStringLiteral("\\NOPE\\Index.htm"), root + QStringLiteral("/NOPE/Index.htm")},
        {root + QStringLiteral("/HELP/Index.htm"), root + QStringLiteral("/Help/Index.htm")},
        {QString(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::paths::toLocal(c.in), c.out) << c.in.toStdString();
}

TEST(Paths, ProgramFolderCanBeRedirected)
{
    platform::paths::setProgramFolder(QStringLiteral("/opt/x/"));
    EXPECT_EQ(platform::paths::programFolder(), QStringLiteral("/opt/x"));
    platform::paths::setProgramFolder(QString());
    EXPECT_EQ(platform::paths::programFolder(), QCoreApplication::applicationDirPath());
}

TEST(Paths, TheTemporaryFolderIsPrivate)
{
    const QString t = platform::paths::privateTempFolder();
    ASSERT_FALSE(t.isEmpty());
    EXPECT_TRUE(t.startsWith(QDir::tempPath()));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(t).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // A folder of that name that is a link planted by someone else is refused.
    QDir(t).removeRecursively();
    ASSERT_TRUE(QFile::link(QDir::tempPath(), t));
    EXPECT_TRUE(platform::paths::privateTempFolder().isEmpty());
    QFile::remove(t);
    EXPECT_EQ(platform::paths::privateTempFolder(), t);
}
