#pragma once

// The window a video plays in: a plain widget that paints the newest frame
// of a video sink scaled to its own size, on black. Frames are converted on
// the processor, once each, so it draws (and can be grabbed) on any
// platform, the headless one included.
//
// While it is on the screen, the frames reach the screen through a native
// window of its own laid over the part of the widget that shows (within the
// widgets it lies in, less the widgets stacked over it; transparent to the
// mouse), not through the program's window: a window that also holds web pages is composed whole
// on every repaint, and a frame 25 times a second would compose it all.
// The widget itself is then painted only when the window's content is
// asked (an expose, a grab).

#include <QImage>
#include <QList>
#include <QPointer>
#include <QVideoFrame>
#include <QWidget>

class QPainter;
class QVideoSink;
class QWindow;

namespace platform::media {

class FrameWindow;

class VideoSurface : public QWidget {
public:
    explicit VideoSurface(QWidget* parent);
    ~VideoSurface() override;

    // The sink whose frames are shown (nullptr: none, the surface is black).
    void attach(QVideoSink* sink);
    // The size of the last frame that arrived; invalid before the first.
    QSize frameSize() const { return frame_.size(); }
    bool hasFrame() const { return frame_.isValid(); }
    // The surface fills its parent and follows its size until it is placed
    // here ("put window at").
    void place(const QRect& rect);

    // The native window the frames are shown through while the surface is
    // on the screen; nullptr when it is not (hidden, or lying wholly outside
    // the widgets it is in).
    QWindow* frameWindow() const;
    // Paints the frame scaled to target (black without one).
    void paintFrame(QPainter& p, const QRect& target);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Lays the frame window over the visible part of the surface, or hides it.
    void follow();
    // Watches every widget the surface lies in, and the widgets beside
    // each, for moves, resizes, shows, hides and restacking.
    void watchAncestors();
    void watch(QWidget* w);
    const QImage& image();

    QVideoFrame frame_;
    QImage image_;
    bool converted_ = false;
    bool placed_ = false;
    QMetaObject::Connection connection_;
    QPointer<FrameWindow> window_;
    QList<QPointer<QWidget>> watched_;
};

} // namespace platform::media
