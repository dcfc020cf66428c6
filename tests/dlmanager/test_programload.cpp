// What the download manager program loads for a list of plain http files:
// only what the transfer needs. TLS comes with the first https address, and
// the widget application's fonts are never read, not even on the way out.

#include "programfixture.h"

#include <QProcessEnvironment>

using namespace dltest;

TEST_F(Z5DownLoadProgram, AListOfPlainFilesLoadsNeitherTlsNorTheFonts)
{
    ASSERT_TRUE(testenv::writeFile(root + QStringLiteral("/a.bin"), randomBytes(200 * 1024, 7)));
    ASSERT_TRUE(nginx.start(root));
    writeList(QStringLiteral("plain"), {item(QStringLiteral("a"), nginx.base() + QStringLiteral("/a.bin"), target)});

    // The loader names every library it maps; fontconfig says when it reads
    // its configuration.
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    env.insert(QStringLiteral("FC_DEBUG"), QStringLiteral("1024"));
    p.setProcessEnvironment(env);
    p.start(kExe, {QStringLiteral("plain||||||||||0")});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(sha256(target + QStringLiteral("/a.bin")), sha256Of(randomBytes(200 * 1024, 7)));
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    ASSERT_TRUE(out.contains(QStringLiteral("libQt6Network"))) << "the loader's trace is missing";

    const struct {
        const char* what;
        const char* trace;
    } absent[] = {
        {"the TLS backend", "libqopensslbackend"},
        {"the TLS library", "libssl.so"},
        {"the font configuration", "Loading config file"},
    };
    for (const auto& a : absent)
        EXPECT_FALSE(out.contains(QLatin1String(a.trace))) << "the program loaded " << a.what;
}
