#include "platform/media/videosurface.h"

#include <QEvent>
#include <QPainter>
#include <QVideoSink>

namespace platform::media {

VideoSurface::VideoSurface(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    if (parent) {
        setGeometry(parent->rect());
        parent->installEventFilter(this);
    }
}

void VideoSurface::place(const QRect& rect)
{
    placed_ = true;
    setGeometry(rect);
}

bool VideoSurface::eventFilter(QObject* watched, QEvent* event)
{
    if (!placed_ && watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void VideoSurface::attach(QVideoSink* sink)
{
    disconnect(connection_);
    frame_ = QVideoFrame();
    if (sink)
        connection_ = connect(sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& frame) {
            if (!frame.isValid())
                return;
            frame_ = frame;
            update();
        });
    update();
}

void VideoSurface::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!frame_.isValid() || width() <= 0 || height() <= 0)
        return;
    const QImage image = frame_.toImage();
    if (image.isNull())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), image);
}

} // namespace platform::media
