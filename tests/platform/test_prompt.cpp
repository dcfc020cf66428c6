#include "platform/win/prompt.h"

#include "testenv.h"

#include <gtest/gtest.h>

namespace prompt = platform::prompt;

TEST(PromptSeam, AResponderAnswersInsteadOfTheWindow)
{
    bool shown = false;
    auto window = [&] {
        shown = true;
        return prompt::Answer{true, 7, QStringLiteral("from window")};
    };
    prompt::setResponder([](const prompt::Prompt& p) -> std::optional<prompt::Answer> {
        if (p.kind == QLatin1String("folder"))
            return prompt::Answer{true, 0, QStringLiteral("/picked")};
        return std::nullopt; // everything else shows its window
    });
    EXPECT_EQ(prompt::ask({QStringLiteral("folder"), {}, {}, {}, {}}, window).text, QStringLiteral("/picked"));
    EXPECT_FALSE(shown);
    EXPECT_EQ(prompt::ask({QStringLiteral("message"), {}, {}, {}, {}}, window).code, 7);
    EXPECT_TRUE(shown);
    prompt::setResponder({});
}

TEST(PromptSeam, TheEnvironmentLogAnswersEveryPrompt)
{
    const QString log = testenv::freshDir(QStringLiteral("prompt")) + QStringLiteral("/log.txt");
    qputenv("PLATFORM_PROMPT_LOG", QFile::encodeName(log));
    qputenv("PLATFORM_PROMPT_CODE", "3");
    const prompt::Answer a = prompt::ask({QStringLiteral("message"), QStringLiteral("Z5"), QStringLiteral("line one\nline two"), {}, {}},
                                         [] { return prompt::Answer{true, 1, {}}; });
    qunsetenv("PLATFORM_PROMPT_LOG");
    qunsetenv("PLATFORM_PROMPT_CODE");
    EXPECT_EQ(a.code, 3);
    EXPECT_FALSE(a.accepted);
    EXPECT_EQ(testenv::readFile(log), QByteArray("message\tZ5\tline one line two\n"));
}
