#include "platform/win/imagelist.h"

#include "platform/win/twips.h"

#include <QPainter>

namespace platform::forms {

ImageList::ImageList(int imageWidth, int imageHeight)
    : width_(std::max(1, imageWidth)), height_(std::max(1, imageHeight))
{
}

int ImageList::add(const QImage& picture)
{
    QImage p = picture;
    if (!p.isNull() && p.size() != QSize(width_, height_))
        p = p.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    images_.push_back(p);
    return count();
}

QImage ImageList::picture(int index) const
{
    if (index < 1 || index > count())
        return QImage();
    return images_[static_cast<size_t>(index) - 1];
}

bool ImageList::draw(int index, QPainter& painter, double xTwips, double yTwips, int style) const
{
    const QImage p = picture(index);
    if (p.isNull())
        return false;
    const QPoint at(static_cast<int>(xTwips / twipsPerPixelX()), static_cast<int>(yTwips / twipsPerPixelY()));
    if (style == Normal)
        painter.fillRect(QRect(at, p.size()), back_);
    painter.drawImage(at, p);
    return true;
}

} // namespace platform::forms
