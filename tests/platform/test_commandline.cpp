#include "platform/base/commandline.h"
#include "platform/base/instance.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

TEST(CommandLine, ArgumentsJoinIntoOneText)
{
    const struct {
        QStringList args;
        const char* text;
    } cases[] = {
        {{}, ""},
        {{"http://a/"}, "http://a/"},
        {{"/x/a b/list.z5p"}, "\"/x/a b/list.z5p\""},
        {{"   "}, "   "},
        {{"a", "b"}, "a b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::commandline::joinArguments(c.args), QString::fromUtf8(c.text)) << c.text;
}

// Run as a child by the test below: reports through its exit code whether
// another instance of "InstanceTest" runs.
TEST(InstanceChild, Probe)
{
    if (qEnvironmentVariable("INSTANCE_TEST_CHILD") != QLatin1String("1"))
        GTEST_SKIP() << "run only as a child of the instance test";
    std::exit(platform::instance::previousInstanceRunning(QStringLiteral("InstanceTest")) ? 3 : 4);
}

TEST(Instance, OnlyAnotherProcessCountsAsAPreviousInstance)
{
    const QString name = QStringLiteral("InstanceTest");
    EXPECT_FALSE(platform::instance::previousInstanceRunning(name)) << "the first process";
    EXPECT_FALSE(platform::instance::previousInstanceRunning(name)) << "asking again does not find itself";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("INSTANCE_TEST_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=InstanceChild.Probe")});
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitCode(), 3) << "a second process sees the first";
    EXPECT_FALSE(platform::instance::previousInstanceRunning(name)) << "the child has ended";
}

// Starts released together: each of 50 processes asks once, then stays
// alive until all have asked. Exactly one may take itself for the first.
TEST(Instance, RacingStartsFindExactlyOneFirst)
{
    constexpr int kProcesses = 50;
    for (int round = 0; round < 30; ++round) {
        const QString name = QStringLiteral("Race%1").arg(round);
        int release[2], answers[2], done[2];
        ASSERT_EQ(::pipe(release), 0);
        ASSERT_EQ(::pipe(answers), 0);
        ASSERT_EQ(::pipe(done), 0);
        std::vector<pid_t> children;
        for (int i = 0; i < kProcesses; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(release[1]);
                ::close(answers[0]);
                ::close(done[1]);
                char c;
                (void)!::read(release[0], &c, 1); // the end of file releases everyone
                const char answer = platform::instance::previousInstanceRunning(name) ? 'r' : 'f';
                (void)!::write(answers[1], &answer, 1);
                (void)!::read(done[0], &c, 1);
                ::_exit(0);
            }
            ASSERT_GT(pid, 0);
            children.push_back(pid);
        }
        ::close(release[0]);
        ::close(answers[1]);
        ::close(done[0]);
        ::close(release[1]);
        QByteArray got;
        char buffer[64];
        while (got.size() < kProcesses) {
            const ssize_t n = ::read(answers[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, n);
        }
        ::close(done[1]);
        ::close(answers[0]);
        for (const pid_t pid : children)
            ::waitpid(pid, nullptr, 0);
        ASSERT_EQ(got.size(), kProcesses);
        EXPECT_EQ(got.count('f'), 1) << "round " << round;
    }
}
