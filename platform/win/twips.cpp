#include "platform/win/twips.h"

#include "platform/base/vbrt.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace platform::forms {

namespace {

int overrideX = 0;
int overrideY = 0;

int fromDpi(qreal dpi)
{
    if (dpi <= 0)
        return 15;
    const int value = static_cast<int>(std::lround(1440.0 / dpi));
    return value > 0 ? value : 1;
}

QScreen* screen()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen()
                                                                        : nullptr;
}

} // namespace

int twipsPerPixelX()
{
    if (overrideX > 0)
        return overrideX;
    QScreen* s = screen();
    return s ? fromDpi(s->logicalDotsPerInchX()) : 15;
}

int twipsPerPixelY()
{
    if (overrideY > 0)
        return overrideY;
    QScreen* s = screen();
    return s ? fromDpi(s->logicalDotsPerInchY()) : 15;
}

void setTwipsPerPixel(int x, int y)
{
    if (x <= 0 || y <= 0)
        x = y = 0;
    overrideX = x;
    overrideY = y;
}

int toPixelsX(double twips)
{
    return static_cast<int>(vb::roundHalfEven(twips / twipsPerPixelX()));
}

int toPixelsY(double twips)
{
    return static_cast<int>(vb::roundHalfEven(twips / twipsPerPixelY()));
}

double toTwipsX(double pixels)
{
    return pixels * twipsPerPixelX();
}

double toTwipsY(double pixels)
{
    return pixels * twipsPerPixelY();
}

} // namespace platform::forms
