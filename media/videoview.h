#pragma once

// The video of the video list shown in a tab's place: the video area
// (PicHolder(2)) lies over the video tab's browser, the window holder
// (PicHolder(3)) inside it carries the video window at the displayed size,
// centred. Sizes in twips; the window command takes pixels.

#include "media/mediacontext.h"

#include <QString>

#include <array>

namespace platform::forms {
class PictureBox;
}

class VideoView {
public:
    explicit VideoView(MediaContext& m) : m_(m) {}

    bool ReadVideoNativeSize();
    void PrepareVideoView();
    // 0 fit or restore the native size, 1 zoom in 10 %, 2 zoom out 10 %;
    // any other value only centres and sends the size again.
    void ZoomVideo(uint8_t mode);
    void FitVideoToWidth();
    void PlaceVideoView();

    // The number the video window's parent (PicHolder(3)) is known by.
    quintptr WindowHandle();
    // Hides the area; clearMark also forgets that it was placed.
    void HideVideoArea(bool clearMark);

    // "X" once the area has been placed over the video tab, "" before.
    QString VideoAreaMark;
    // The native width and height in twips, as texts.
    std::array<QString, 2> VideoNativeSize;

    platform::forms::PictureBox& area();
    platform::forms::PictureBox& holder();

private:
    // Width and height in pixels from "where Z5Video destination"; false
    // when the width is not above 0.
    bool destination(float& width, float& height);
    void placeArea();
    void centre();
    void sendWindowSize(float width, float height);

    MediaContext& m_;
};
