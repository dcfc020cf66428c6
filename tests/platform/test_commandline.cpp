#include "platform/commandline.h"
#include "platform/instance.h"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdlib>

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
