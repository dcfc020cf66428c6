#pragma once

// The media command strings of the old players ("open ... alias A", "play A",
// "status A mode", ...), interpreted over Qt Multimedia. Each alias is one
// open item: a player with its audio output and, for an item opened into a
// window ("parent n"), a video sink painted by a VideoSurface in that window.
//
// Verbs: open, play [from n], pause, resume, stop, seek to n|start|end,
// close (an alias or "all"), status mode/position/length/volume/ready
// (/current track, position track n, length track n), set time format
// milliseconds|ms|tmsf, setaudio volume to n, where destination, put window
// at / destination at; "wait", "notify", "shareable", "type", "style" and
// "parent" are accepted.
//
// "open" waits, events still running but no user input, until the item has
// loaded (at most 3 s for a file, 15 s for an address); a video item also
// until its frame size is known. While it waits the alias is pending: a
// close, stop or "close all" cancels it, the open then fails and nothing of
// it is left. A failed open leaves no alias. End of media and errors answer
// "stopped" to "status mode".

#include "platform/base/mediainterfaces.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace platform::media {

class Mci : public IMci {
public:
    Mci();
    ~Mci() override;
    Mci(const Mci&) = delete;
    Mci& operator=(const Mci&) = delete;

    int sendString(const QString& command, QString* reply) override;

    // The volume applied to every alias on top of its own (0..1): the
    // program's master volume where the machine has no mixer.
    void setAppVolume(double fraction);
    double appVolume() const { return appVolume_; }
    // Aliases open now (pending ones included).
    QStringList aliases() const;
    // How long an open waits for a file and for an address (ms).
    void setOpenWait(int fileMs, int addressMs);
    // Makes the player the next "open" takes, when none waits: a new player
    // costs tens of milliseconds, which the item's start then does not pay.
    // Every open prepares the next one once the events run again.
    void prepare();

    struct Alias;

private:
    int open(const QString& rest);
    int close(const QString& name);
    std::shared_ptr<Alias> find(const QString& name) const;
    void applyVolume(Alias& a) const;

    struct Spare {
        QObject* holder = nullptr;
        QMediaPlayer* player = nullptr;
        QAudioOutput* output = nullptr;
    };
    Spare spare_;
    // Owns the timers this object starts: they die with it.
    std::unique_ptr<QObject> timers_;
    QHash<QString, std::shared_ptr<Alias>> aliases_;
    double appVolume_ = 1.0;
    int fileWaitMs_ = 3000;
    int addressWaitMs_ = 15000;
};

} // namespace platform::media
