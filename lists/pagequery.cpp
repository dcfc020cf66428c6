#include "lists/pagequery.h"

#include "platform/win/delay.h"

#include <memory>

std::optional<QString> AskPage(platform::browser::IBrowser* browser, const QString& script, int limitMs)
{
    if (!browser)
        return std::nullopt;
    struct Answer {
        bool arrived = false;
        std::optional<QString> text;
    };
    // The answer may come after the wait has given up: it lands here unseen.
    auto answer = std::make_shared<Answer>();
    browser->evaluateWhole(script, [answer](const std::optional<QString>& text) {
        answer->text = text;
        answer->arrived = true;
    });
    if (!platform::WaitUntil([&answer] { return answer->arrived; }, limitMs))
        return std::nullopt;
    return answer->text;
}
