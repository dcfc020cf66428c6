#pragma once

// The slots of the background fetcher: what each of the nine slots holds
// while it gets one item of the image list for one viewer cell. Slot i's
// record is the window's ListItemRecord(i); the per-slot arrays below sit
// beside it, indexed by slot.

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class QFile;

// The six fields of a slot's record.
using FetchSlot = std::array<QString, 6>;

namespace fetchfield {
enum : int {
    Name = 0,         // the item's display name; the file name of a file address
    Address = 1,      // path or address; "host" & "path" once cracked
    Referrer = 2,     // the page the item was found on
    TargetFolder = 3, // where a fetched file is copied to
    UrlPath = 4,      // the address's path, empty until cracked
    Host = 5,         // the address's host
};
}

// How a slot's hidden browser works for it.
namespace fetchmode {
enum : int16_t {
    Idle = 0,
    File = 1,       // a file, by socket or by the browser after the socket failed
    Page = 2,       // a page whose pictures are wanted
    ClickPage = 3,  // the page that holds a script link is loading
    Clicked = 4,    // the script link has been clicked
};
}

struct FetchSlots {
    static constexpr int Count = 9;

    std::array<int32_t, Count> FetchTotal{};     // bytes of the whole file
    std::array<int32_t, Count> FetchReceived{};  // bytes in, with what the temporary file held
    std::array<bool, Count> FetchPartial{};      // the answer was 206
    std::array<bool, Count> FetchResume{};       // the temporary file was not empty at connect
    std::array<bool, Count> FetchHeaderDone{};   // the status line has been seen
    std::array<std::shared_ptr<QFile>, Count> FetchFile{}; // the open temporary file (FetchFileNo)
    std::array<QString, Count> FetchTempPath{};  // the socket's temporary file
    // The slot's hidden browser: its Tag (the slot number once started)
    // and its FetchMode.
    std::array<QString, Count> Tag{};
    std::array<int16_t, Count> FetchMode{};
    // Counts up at every start and stop of the slot: a late answer that
    // carries an older number changes nothing.
    std::array<uint64_t, Count> Generation{};

    static bool validSlot(int slot) { return slot >= 0 && slot < Count; }
};

// The stem of every temporary file of a slot: prefix, slot number, "~~~".
QString FetchTempStem(const QString& tempPagePrefix, int slot);
// The slot's temporary files that exist now, in the order the folder
// lists them (full paths).
QStringList FetchTempFiles(const QString& tempPagePrefix, int slot);
// Deletes every temporary file of the slot.
void DeleteFetchTempFiles(const QString& tempPagePrefix, int slot);
