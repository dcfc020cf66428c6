#pragma once

// The window a video plays in: a plain widget that paints the newest frame
// of a video sink scaled to its own size, on black. Frames are converted on
// the processor, so it draws (and can be grabbed) on any platform, the
// headless one included.

#include <QVideoFrame>
#include <QWidget>

class QVideoSink;

namespace platform::media {

class VideoSurface : public QWidget {
public:
    explicit VideoSurface(QWidget* parent);

    // The sink whose frames are shown (nullptr: none, the surface is black).
    void attach(QVideoSink* sink);
    // The size of the last frame that arrived; invalid before the first.
    QSize frameSize() const { return frame_.size(); }
    bool hasFrame() const { return frame_.isValid(); }
    // The surface fills its parent and follows its size until it is placed
    // here ("put window at").
    void place(const QRect& rect);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QVideoFrame frame_;
    bool placed_ = false;
    QMetaObject::Connection connection_;
};

} // namespace platform::media
