#include "platform/win/prompt.h"

#include <QFile>
#include <QHash>
#include <QSet>

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

// The next unused line of the answers file for this kind of prompt.
std::optional<Answer> chosenAnswer(const QString& kind)
{
    const QString file = qEnvironmentVariable("PLATFORM_PROMPT_ANSWERS");
    if (file.isEmpty())
        return std::nullopt;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    static QHash<QString, QSet<int>> used; // per answers file: the lines already given
    const QStringList lines = QString::fromUtf8(f.read(1 << 20)).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 2 || fields.constFirst() != kind || used[file].contains(i))
            continue;
        used[file].insert(i);
        Answer a;
        a.accepted = true;
        a.text = fields.at(1);
        a.paths = fields.mid(1);
        return a;
    }
    return std::nullopt;
}

std::optional<Answer> answerFromEnvironment(const Prompt& p)
{
    const QString log = qEnvironmentVariable("PLATFORM_PROMPT_LOG");
    std::optional<Answer> chosen = chosenAnswer(p.kind);
    if (log.isEmpty() && !chosen)
        return std::nullopt;
    if (!log.isEmpty()) {
        QFile f(log);
        if (f.open(QIODevice::WriteOnly | QIODevice::Append)) {
            const QString line = oneLine(p.kind) + QLatin1Char('\t') + oneLine(p.title) + QLatin1Char('\t')
                                 + oneLine(p.text) + QLatin1Char('\n');
            f.write(line.toUtf8());
        }
    }
    Answer a = chosen ? *chosen : Answer{};
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
