#include "platform/media/videosurface.h"

#include <QEvent>
#include <QPainter>
#include <QRasterWindow>
#include <QVideoSink>

namespace platform::media {

// The native window over the visible part of a surface: it paints the
// surface's frame shifted by where that part begins.
class FrameWindow : public QRasterWindow {
public:
    FrameWindow(VideoSurface& surface, QWindow* parent) : QRasterWindow(parent), surface_(surface)
    {
        setFlags(Qt::Widget | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
    }

    // Where the surface's top left corner lies in this window.
    QPoint origin;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        surface_.paintFrame(p, QRect(origin, surface_.size()));
    }

private:
    VideoSurface& surface_;
};

VideoSurface::VideoSurface(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    if (parent)
        setGeometry(parent->rect());
    watchAncestors();
}

VideoSurface::~VideoSurface()
{
    delete window_.data();
}

void VideoSurface::place(const QRect& rect)
{
    placed_ = true;
    setGeometry(rect);
}

QWindow* VideoSurface::frameWindow() const
{
    return window_ && window_->isVisible() ? window_.data() : nullptr;
}

void VideoSurface::watch(QWidget* w)
{
    w->installEventFilter(this);
    watched_.append(w);
}

void VideoSurface::watchAncestors()
{
    for (const QPointer<QWidget>& w : std::as_const(watched_))
        if (w)
            w->removeEventFilter(this);
    watched_.clear();
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        watch(w);
        for (QObject* child : w->children())
            if (auto* sibling = qobject_cast<QWidget*>(child); sibling && sibling != this && !sibling->isWindow())
                watch(sibling);
        if (w->isWindow())
            break;
    }
}

bool VideoSurface::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
        if (!placed_ && watched == parentWidget())
            setGeometry(parentWidget()->rect()); // its own resize follows
        else
            follow();
        break;
    case QEvent::Move:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ZOrderChange:
        follow();
        break;
    case QEvent::ChildAdded:
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()); child && child != this)
            watch(child);
        break;
    case QEvent::ParentChange:
        watchAncestors();
        follow();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool VideoSurface::event(QEvent* event)
{
    const bool done = QWidget::event(event);
    switch (event->type()) {
    case QEvent::ParentChange:
        watchAncestors();
        follow();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        follow();
        break;
    default:
        break;
    }
    return done;
}

namespace {

QRect rectIn(const QWidget* top, const QWidget* w)
{
    return QRect(w->mapTo(top, QPoint(0, 0)), w->size());
}

// The part of a widget that shows in its top-level window: its rectangle
// within each widget it lies in, less the widgets stacked over it (and over
// each of those) there.
QRegion shownPart(const QWidget* top, const QWidget* widget)
{
    QRegion shown(rectIn(top, widget));
    for (const QWidget* w = widget; w != top && !shown.isEmpty(); w = w->parentWidget()) {
        const QWidget* parent = w->parentWidget();
        shown &= parent == top ? top->rect() : rectIn(top, parent);
        const QObjectList& siblings = parent->children();
        for (qsizetype i = siblings.indexOf(const_cast<QWidget*>(w)) + 1; i < siblings.size(); ++i) {
            const auto* over = qobject_cast<const QWidget*>(siblings.at(i));
            if (over && !over->isWindow() && over->isVisible())
                shown -= rectIn(top, over);
        }
    }
    return shown;
}

} // namespace

void VideoSurface::follow()
{
    QWidget* top = window();
    QWindow* native = top != this && isVisible() ? top->windowHandle() : nullptr;
    const QRegion shown = native ? shownPart(top, this) : QRegion();
    if (!shown.isEmpty() && window_ && window_->parent() != native)
        delete window_.data();
    if (!shown.isEmpty() && !window_)
        window_ = new FrameWindow(*this, native);
    FrameWindow* w = window_.data();
    if (!w)
        return;
    if (shown.isEmpty()) {
        if (w->isVisible()) {
            w->hide();
            // What the window showed is painted in the widget again.
            update();
        }
        return;
    }
    const QRect bounds = shown.boundingRect();
    w->origin = mapTo(top, QPoint(0, 0)) - bounds.topLeft();
    if (w->geometry() != bounds)
        w->setGeometry(bounds);
    const QRegion mask = shown == QRegion(bounds) ? QRegion() : shown.translated(-bounds.topLeft());
    if (w->mask() != mask)
        w->setMask(mask);
    w->show();
    w->update();
}

void VideoSurface::attach(QVideoSink* sink)
{
    disconnect(connection_);
    frame_ = QVideoFrame();
    converted_ = false;
    if (sink)
        connection_ = connect(sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& frame) {
            if (!frame.isValid())
                return;
            frame_ = frame;
            converted_ = false;
            if (window_ && window_->isVisible())
                window_->update();
            else
                update();
        });
    update();
    if (window_)
        window_->update();
}

const QImage& VideoSurface::image()
{
    if (!converted_) {
        image_ = frame_.isValid() ? frame_.toImage() : QImage();
        converted_ = true;
    }
    return image_;
}

void VideoSurface::paintFrame(QPainter& p, const QRect& target)
{
    const QImage& picture = image();
    if (picture.isNull() || picture.hasAlphaChannel())
        p.fillRect(target, Qt::black);
    if (picture.isNull() || target.isEmpty())
        return;
    if (picture.size() != target.size())
        p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, picture);
}

void VideoSurface::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintFrame(p, rect());
}

} // namespace platform::media
