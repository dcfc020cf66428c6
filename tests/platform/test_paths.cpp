#include "platform/base/paths.h"

#include "testenv.h"
#include "twousers.h"

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

TEST(Paths, AFolderAnotherUserControlsIsNeverUsed)
{
    if (::getuid() != 0)
        GTEST_SKIP() << "acting as two users needs root";
    const auto f = twousers::makeFolders();
    ASSERT_TRUE(f.has_value());
    const QString own = QLatin1Char('/') + twousers::privateName();
    const struct {
        const char* what;
        QString tmpDir;
        std::optional<QString> runtimeDir;
        QString expected;
    } cases[] = {
        {"a sticky folder as /tmp", f->sticky, f->runtime, f->sticky + own},
        {"the other user's folder", f->othersOwn, f->runtime, f->runtime + own},
        {"a folder anyone may rename in", f->worldWritable, f->runtime, f->runtime + own},
        {"a link planted in its place", f->linkPlanted, f->runtime, f->runtime + own},
        {"a folder of the other user's planted in its place", f->folderPlanted, f->runtime, f->runtime + own},
        {"the user's own folder inside the other user's", f->belowOthers, f->runtime, f->runtime + own},
        {"a runtime folder of the other user's too", f->othersOwn, f->othersRuntime, QString()},
        {"no runtime folder", f->worldWritable, std::nullopt, QString()},
    };
    for (const auto& c : cases) {
        const std::optional<QByteArray> runtime =
            c.runtimeDir ? std::optional<QByteArray>(QFile::encodeName(*c.runtimeDir)) : std::nullopt;
        const auto got = twousers::runAsUser({{"TMPDIR", QFile::encodeName(c.tmpDir)}, {"XDG_RUNTIME_DIR", runtime}},
                                             [] { return platform::paths::privateTempFolder().toUtf8(); });
        ASSERT_TRUE(got.has_value()) << c.what;
        EXPECT_EQ(got->toStdString(), c.expected.toStdString()) << c.what;
        struct stat st {};
        if (!c.expected.isEmpty() && got == c.expected.toUtf8()) {
            EXPECT_EQ(::lstat(QFile::encodeName(c.expected).constData(), &st), 0) << c.what;
            EXPECT_TRUE(S_ISDIR(st.st_mode) && st.st_uid == twousers::kUser && (st.st_mode & 0777) == 0700) << c.what;
        }
        for (const QString& folder : f->others())
            EXPECT_EQ(twousers::entriesOwnedBy(folder, twousers::kUser).join(QLatin1Char(' ')).toStdString(), "")
                << c.what;
        EXPECT_TRUE(QDir(f->belowOthers).isEmpty()) << c.what;
    }
}
