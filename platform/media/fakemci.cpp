#include "platform/media/fakemci.h"

namespace platform::media {

int FakeMci::sendString(const QString& command, QString* reply)
{
    commands << command;
    QString out;
    std::optional<QString> given = answer ? answer(command) : std::nullopt;
    out = given ? *given : replies.value(command);
    if (reply)
        *reply = out;
    if (onCommand)
        onCommand(command);
    return MciOk;
}

QStringList FakeMci::take()
{
    QStringList out;
    out.swap(commands);
    return out;
}

} // namespace platform::media
