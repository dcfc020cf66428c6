#include "platform/win/prompt.h"

#include <QFile>

namespace platform::prompt {

namespace {

Responder& installed()
{
    static Responder r;
    return r;
}

QString oneLine(QString s)
{
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    s.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return s;
}

std::optional<Answer> answerFromEnvironment(const Prompt& p)
{
    const QString log = qEnvironmentVariable("PLATFORM_PROMPT_LOG");
    if (log.isEmpty())
        return std::nullopt;
    QFile f(log);
    if (f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        const QString line = oneLine(p.kind) + QLatin1Char('\t') + oneLine(p.title) + QLatin1Char('\t')
                             + oneLine(p.text) + QLatin1Char('\n');
        f.write(line.toUtf8());
    }
    Answer a;
    a.code = qEnvironmentVariableIntValue("PLATFORM_PROMPT_CODE");
    return a;
}

} // namespace

void setResponder(Responder responder)
{
    installed() = std::move(responder);
}

Answer ask(const Prompt& prompt, const std::function<Answer()>& interactive)
{
    if (installed())
        if (auto a = installed()(prompt))
            return *a;
    if (auto a = answerFromEnvironment(prompt))
        return *a;
    return interactive ? interactive() : Answer{};
}

} // namespace platform::prompt
