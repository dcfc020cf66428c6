#include "platform/commandline.h"

#include <gtest/gtest.h>

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
