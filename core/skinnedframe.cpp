#include "core/skinnedframe.h"

#include "platform/win/twips.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

// The shipped skin's colours ("&HB77B5E", "&HE59F79", "&HFFD09E").
const QColor kSkinBlue(0x5E, 0x7B, 0xB7);
const QColor kSkinLightBlue(0x79, 0x9F, 0xE5);
const QColor kSkinPale(0x9E, 0xD0, 0xFF);

} // namespace

QPixmap SkinnedPanel(QSize pixels, PanelStyle style)
{
    QPixmap face(pixels.expandedTo(QSize(1, 1)));
    QPainter p(&face);
    const QRectF r = face.rect();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    if (style == PanelStyle::Light) {
        g.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
        g.setColorAt(1, QColor(0xE6, 0xEE, 0xFA));
    } else {
        g.setColorAt(0, kSkinLightBlue);
        g.setColorAt(0.55, kSkinBlue);
        g.setColorAt(1, kSkinBlue.darker(135));
    }
    p.fillRect(r, g);
    if (style == PanelStyle::Dark) {
        // A soft band of light across the upper part.
        QLinearGradient band(r.topLeft(), QPointF(r.left(), r.height() * 0.45));
        band.setColorAt(0, QColor(255, 255, 255, 70));
        band.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.45), band);
    }
    p.setPen(style == PanelStyle::Light ? kSkinBlue : kSkinPale);
    p.drawRect(face.rect().adjusted(0, 0, -1, -1));
    return face;
}

QColor PanelTextColor(PanelStyle style)
{
    return style == PanelStyle::Light ? QColor(0x1F, 0x2D, 0x4A) : QColor(0xFF, 0xFF, 0xFF);
}

QSize toPixels(double widthTwips, double heightTwips)
{
    return QSize(platform::forms::toPixelsX(widthTwips), platform::forms::toPixelsY(heightTwips));
}
