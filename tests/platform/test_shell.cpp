#include "platform/win/shell.h"
#include "testenv.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace shell = platform::shell;

TEST(Shell, ItemIdListsNameFolders)
{
    const struct {
        const char* path;
        QByteArray list;
    } cases[] = {
        {"/", QByteArray(2, '\0')},
        {"/usr", QByteArray("\x05\0usr\0\0", 7)},
        {"/a/bc/", QByteArray("\x03\0a\x04\0bc\0\0", 9)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shell::itemIdListOf(QString::fromUtf8(c.path)), c.list) << c.path;
        EXPECT_EQ(shell::pathFromItemIdList(c.list).value_or(QStringLiteral("?")),
                  QString::fromUtf8(c.path).size() > 1 && QString::fromUtf8(c.path).endsWith(QLatin1Char('/'))
                      ? QString::fromUtf8(c.path).chopped(1)
                      : QString::fromUtf8(c.path))
            << c.path;
    }
    const QString unicode = QStringLiteral("/tmp/") + QChar(0x00E9) + QChar(0x4E2D);
    EXPECT_EQ(shell::pathFromItemIdList(shell::itemIdListOf(unicode)), unicode);

    // Damaged lists name nothing.
    for (const QByteArray& bad : {QByteArray(), QByteArray("\x05\0usr", 5), QByteArray("\x09\0usr\0\0", 7),
                                  QByteArray("\x02\0\0\0", 4), QByteArray("\x04\0..\0\0", 6),
                                  QByteArray("\x04\0a/\0\0", 6)})
        EXPECT_FALSE(shell::pathFromItemIdList(bad).has_value()) << bad.toHex().toStdString();

    EXPECT_EQ(shell::specialFolderLocation(shell::csidl::Fonts),
              shell::itemIdListOf(*shell::specialFolderPath(shell::csidl::Fonts)));
    for (const int none : {shell::csidl::MyComputer, shell::csidl::ControlPanel, shell::csidl::Printers,
                           shell::csidl::Network, shell::csidl::NetworkConnections, 99, -1})
        EXPECT_FALSE(shell::specialFolderLocation(none).has_value()) << none;
}

TEST(Shell, ListingsHoldOnlyFilesAndRealFolders)
{
    const QString dir = testenv::freshDir(QStringLiteral("listing"));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/b.txt"), "x"));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/A.txt"), "x"));
    ASSERT_TRUE(testenv::writeFile(dir + QStringLiteral("/.h"), "x"));
    ASSERT_TRUE(QDir(dir).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QDir(dir).mkdir(QStringLiteral(".hsub")));
    ASSERT_TRUE(QFile::link(dir + QStringLiteral("/sub"), dir + QStringLiteral("/linked")));
    ASSERT_TRUE(QFile::link(dir + QStringLiteral("/A.txt"), dir + QStringLiteral("/alias.txt")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + QStringLiteral("/pipe")).constData(), 0600), 0);

    EXPECT_EQ(shell::listFolder(dir, shell::Listing::Files),
              (QStringList{QStringLiteral("A.txt"), QStringLiteral("alias.txt"), QStringLiteral("b.txt")}));
    EXPECT_EQ(shell::listFolder(dir, shell::Listing::FilesWithHidden),
              (QStringList{QStringLiteral(".h"), QStringLiteral("A.txt"), QStringLiteral("alias.txt"),
                           QStringLiteral("b.txt")}));
    EXPECT_EQ(shell::listFolder(dir, shell::Listing::FoldersWithHidden),
              (QStringList{QStringLiteral(".hsub"), QStringLiteral("sub")}));
    EXPECT_FALSE(shell::listFolder(dir + QStringLiteral("/missing"), shell::Listing::Files).has_value());
    EXPECT_FALSE(shell::listFolder(dir + QStringLiteral("/b.txt"), shell::Listing::Files).has_value());
}

TEST(Shell, StartsProgramsWithArgumentsAsAList)
{
    const QString dir = testenv::freshDir(QStringLiteral("launch"));
    const QString script = dir + QStringLiteral("/write args.sh");
    ASSERT_TRUE(testenv::writeFile(script, "#!/bin/sh\nprintf '%s|' \"$@\" > \"$PWD/out.tmp\"\nmv \"$PWD/out.tmp\" \"$PWD/out\"\n"));
    ASSERT_TRUE(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    // Blanks, quotes and shell characters reach the program unchanged.
    ASSERT_TRUE(shell::startProgram(script, {QStringLiteral("a b"), QStringLiteral("\"q\""), QStringLiteral("$(x);|")},
                                    dir));
    const QString out = dir + QStringLiteral("/out");
    QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(out) && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_EQ(testenv::readFile(out), QByteArray("a b|\"q\"|$(x);||"));

    EXPECT_FALSE(shell::startProgram(dir + QStringLiteral("/missing.exe"), {}));
    EXPECT_FALSE(shell::startProgram(QString(), {}));
    EXPECT_FALSE(shell::openDocument(QString()));
}
