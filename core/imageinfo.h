#pragma once

// The image information class: width, height and colour depth of a GIF,
// BMP, PNG or JPEG file, read from its header without decoding the picture.

#include <QByteArray>
#include <QString>
#include <cstdint>

class clsGetInfo {
public:
    QString FileName; // set by the caller
    int16_t Width = 0;
    int16_t Height = 0;
    int16_t Depth = 0;
    bool HasInfo = false;

    // Reads the first 64 KiB of FileName and fills the properties. HasInfo
    // tells whether a header was recognised; a value that does not fit the
    // 16-bit properties ends the reading with HasInfo False, leaving the
    // values stored before it.
    void GetImageFileInfo();

    // The same on bytes already read (the file's head; at most the first
    // 64 KiB are looked at, the rest of the window reads as zeros).
    void ReadHeaderBytes(const QByteArray& head);
};
