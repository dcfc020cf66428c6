#pragma once

// A recording stand-in for the media commands: every command is kept in
// order, and answers come from a table a test fills ("status Z5Audio mode"
// -> "playing"); a command without an entry answers "" and 0.

#include "platform/media/mci.h"

#include <QMap>
#include <QStringList>

#include <functional>

namespace platform::media {

class FakeMci : public IMci {
public:
    int sendString(const QString& command, QString* reply) override;

    QStringList commands;
    QMap<QString, QString> replies;
    // Asked before the table when set; nullopt falls back to the table.
    std::function<std::optional<QString>(const QString& command)> answer;
    // Runs after a command was recorded (a test may change the table).
    std::function<void(const QString& command)> onCommand;

    // The commands recorded since the last take, and a fresh record.
    QStringList take();
};

} // namespace platform::media
