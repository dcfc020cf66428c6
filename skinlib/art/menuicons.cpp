#include "skinlib/art/menuicons.h"

#include "skinlib/art/artpalette.h"
#include "skinlib/art/glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace skinart {

namespace {

// Colours of the strip: navy symbols with the program's accent; the grey
// twins of disabled commands take one grey for everything.
struct Ink {
    QColor main;
    QColor accent;
    QColor paper;
};

Ink colouredInk()
{
    return {QColor(0x16, 0x3F, 0x66), programPalette().accent, QColor(0xFF, 0xFF, 0xFF)};
}

Ink greyInk()
{
    return {QColor(0x9A, 0x9A, 0x9A), QColor(0xB8, 0xB8, 0xB8), QColor(0xF2, 0xF2, 0xF2)};
}

const QRectF kBox(0, 0, 16, 16);

void glyph(QPainter& p, Glyph g, const Ink& ink)
{
    drawGlyph(p, g, kBox, ink.main, ink.accent);
}

// A sheet of paper with a folded corner.
void sheet(QPainter& p, const QRectF& r, const Ink& ink)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 3.5, r.top());
    path.lineTo(r.right(), r.top() + 3.5);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(ink.main, 1.0));
    p.setBrush(ink.paper);
    p.drawPath(path);
}

void lines(QPainter& p, const QRectF& r, int count, const Ink& ink)
{
    p.setPen(QPen(ink.accent, 1.0));
    for (int i = 0; i < count; ++i) {
        const double y = r.top() + 3.5 + i * 2.5;
        if (y < r.bottom() - 1)
            p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
    }
}

void markBox(QPainter& p, const Ink& ink)
{
    p.setPen(QPen(ink.main, 1.0));
    p.setBrush(ink.paper);
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
}

void letterTile(QPainter& p, const QColor& tile, QChar letter)
{
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(1, 1, 14, 14), 2.5, 2.5);
    QFont f;
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QString(letter));
}

void printer(QPainter& p, const Ink& ink)
{
    sheet(p, QRectF(4.5, 1.5, 7, 5), ink);
    p.setPen(QPen(ink.main, 1.0));
    p.setBrush(ink.accent);
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.5, 1.5);
    p.setBrush(ink.paper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
}

void scissors(QPainter& p, const Ink& ink)
{
    p.setPen(QPen(ink.main, 1.4));
    p.drawLine(QPointF(4, 1.5), QPointF(10.5, 10));
    p.drawLine(QPointF(12, 1.5), QPointF(5.5, 10));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink.accent, 1.4));
    p.drawEllipse(QRectF(1.5, 10, 4.5, 4.5));
    p.drawEllipse(QRectF(10, 10, 4.5, 4.5));
}

void clipboard(QPainter& p, const Ink& ink)
{
    p.setPen(QPen(ink.main, 1.0));
    p.setBrush(ink.accent);
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 12.5), 1.5, 1.5);
    p.setBrush(ink.paper);
    p.drawRect(QRectF(4.5, 4.5, 7, 9));
    p.setBrush(ink.main);
    p.drawRect(QRectF(5.5, 1, 5, 3));
}

// A split layout: the cells are given in a 12 x 12 frame.
void layout(QPainter& p, std::initializer_list<QRectF> cells, const Ink& ink)
{
    p.setPen(QPen(ink.main, 1.0));
    p.setBrush(ink.paper);
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(ink.accent);
    for (const QRectF& c : cells)
        p.drawRect(c.translated(2.5, 2.5).adjusted(0.5, 0.5, -0.5, -0.5));
}

void bullet(QPainter& p, const Ink& ink, double radius)
{
    p.setPen(Qt::NoPen);
    p.setBrush(ink.main);
    p.drawEllipse(QPointF(8, 8), radius, radius);
}

void draw(QPainter& p, int n)
{
    const Ink ink = colouredInk();
    const Ink grey = greyInk();
    // The grey twins: 15, 17, 19, 21 and 28, 30, 32, 34.
    const bool twin = (n >= 15 && n <= 21 && n % 2 == 1) || (n >= 28 && n <= 34 && n % 2 == 0);
    const Ink& k = twin ? grey : ink;
    switch (n) {
    case 1: glyph(p, Glyph::Folder, ink); break;
    case 2: glyph(p, Glyph::Clock, ink); break;
    case 3:
        sheet(p, QRectF(2.5, 1.5, 11, 13), ink);
        lines(p, QRectF(2.5, 1.5, 11, 13), 4, ink);
        break;
    case 4:
        sheet(p, QRectF(2.5, 1.5, 11, 13), grey);
        lines(p, QRectF(2.5, 1.5, 11, 13), 4, grey);
        break;
    case 5: glyph(p, Glyph::TabList, ink); break;
    case 6: markBox(p, ink); break;
    case 7:
        markBox(p, ink);
        drawGlyph(p, Glyph::Check, QRectF(2, 2, 12, 12), ink.main, ink.accent);
        break;
    case 8:
        p.setPen(QPen(ink.main, 1.0));
        p.setBrush(ink.paper);
        p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
        bullet(p, ink, 3);
        break;
    case 9:
        p.setPen(QPen(grey.main, 2.0));
        p.drawLine(QPointF(2, 8), QPointF(14, 8));
        break;
    case 10: glyph(p, Glyph::CloseTabMenu, ink); break;
    case 11: drawGlyph(p, Glyph::Close, kBox, programPalette().signal, ink.accent); break;
    case 12:
        sheet(p, QRectF(2.5, 1.5, 10, 13), ink);
        drawGlyph(p, Glyph::Plus, QRectF(7, 7, 9, 9), ink.accent, ink.main);
        break;
    case 13: glyph(p, Glyph::Folder, ink); drawGlyph(p, Glyph::TriUp, QRectF(8, 0, 8, 8), ink.accent, ink.main); break;
    case 14: case 15:
        glyph(p, Glyph::Download, k);
        break;
    case 16: case 17: printer(p, k); break;
    case 18: case 19:
        sheet(p, QRectF(1.5, 1.5, 10, 12), k);
        drawGlyph(p, Glyph::Search, QRectF(6, 6, 10, 10), k.main, k.accent);
        break;
    case 20: case 21: drawGlyph(p, Glyph::Info, kBox, k.main, k.accent); break;
    case 22: letterTile(p, QColor(0x21, 0x73, 0x46), QLatin1Char('X')); break;
    case 23: letterTile(p, QColor(0x2B, 0x57, 0x9A), QLatin1Char('F')); break;
    case 24: letterTile(p, QColor(0xC4, 0x3E, 0x1C), QLatin1Char('P')); break;
    case 25: letterTile(p, QColor(0x07, 0x7C, 0x79), QLatin1Char('B')); break;
    case 26: letterTile(p, QColor(0x1E, 0x4E, 0xA8), QLatin1Char('W')); break;
    case 27: case 28: scissors(p, k); break;
    case 29: case 30:
        sheet(p, QRectF(1.5, 1.5, 9, 10), k);
        sheet(p, QRectF(5.5, 4.5, 9, 10), k);
        lines(p, QRectF(5.5, 4.5, 9, 10), 3, k);
        break;
    case 31: case 32: clipboard(p, k); break;
    case 33: case 34: drawGlyph(p, Glyph::Search, kBox, k.main, k.accent); break;
    case 35: glyph(p, Glyph::Home, ink); break;
    case 36: drawGlyph(p, Glyph::Search, kBox, ink.accent, ink.main); break; // web search, in the accent
    case 37: drawGlyph(p, Glyph::Stop, kBox, programPalette().signal, ink.accent); break;
    case 38: glyph(p, Glyph::Refresh, ink); break;
    case 39: {
        QFont f;
        f.setBold(true);
        f.setPixelSize(13);
        p.setFont(f);
        p.setPen(ink.main);
        p.drawText(QRectF(0, 1, 10, 15), Qt::AlignCenter, QStringLiteral("A"));
        f.setPixelSize(8);
        p.setFont(f);
        p.setPen(ink.accent);
        p.drawText(QRectF(8, 5, 8, 11), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case 40: {
        QFont f;
        f.setBold(true);
        f.setPixelSize(9);
        p.setFont(f);
        sheet(p, QRectF(1.5, 1.5, 13, 13), ink);
        p.setPen(ink.accent);
        p.drawText(QRectF(1.5, 2, 13, 13), Qt::AlignCenter, QStringLiteral("</>"));
        break;
    }
    case 41: glyph(p, Glyph::ListCycle, ink); break;
    case 42: layout(p, {QRectF(0, 0, 5.5, 11), QRectF(5.5, 0, 5.5, 11)}, ink); break;
    case 43: layout(p, {QRectF(0, 0, 11, 5.5), QRectF(0, 5.5, 11, 5.5)}, ink); break;
    case 44: layout(p, {QRectF(0, 0, 3.7, 11), QRectF(3.7, 0, 3.7, 11), QRectF(7.4, 0, 3.6, 11)}, ink); break;
    case 45: layout(p, {QRectF(0, 0, 5.5, 11), QRectF(5.5, 0, 5.5, 5.5), QRectF(5.5, 5.5, 5.5, 5.5)}, ink); break;
    case 46:
        layout(p, {QRectF(0, 0, 5.5, 5.5), QRectF(5.5, 0, 5.5, 5.5), QRectF(0, 5.5, 5.5, 5.5),
                   QRectF(5.5, 5.5, 5.5, 5.5)}, ink);
        break;
    case 47: layout(p, {QRectF(0, 0, 11, 3.7), QRectF(0, 3.7, 11, 3.7), QRectF(0, 7.4, 11, 3.6)}, ink); break;
    case 48:
        layout(p, {QRectF(0, 0, 3.7, 5.5), QRectF(3.7, 0, 3.7, 5.5), QRectF(7.4, 0, 3.6, 5.5),
                   QRectF(0, 5.5, 3.7, 5.5), QRectF(3.7, 5.5, 3.7, 5.5), QRectF(7.4, 5.5, 3.6, 5.5)}, ink);
        break;
    case 49:
        sheet(p, QRectF(1.5, 1.5, 10, 13), ink);
        lines(p, QRectF(1.5, 1.5, 10, 13), 3, ink);
        p.setPen(QPen(ink.accent, 2.0));
        p.drawLine(QPointF(8, 14), QPointF(14.5, 7.5));
        break;
    case 50: drawGlyph(p, Glyph::TriRight, QRectF(2, 2, 12, 12), ink.accent, ink.main); break;
    case 51: bullet(p, ink, 2.5); break;
    default: break;
    }
}

} // namespace

QImage drawMenuIcon(int n)
{
    if (n < 1 || n > kMenuIconCount)
        return QImage();
    QImage img(kMenuIconSize, kMenuIconSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p, n);
    p.end();
    return img;
}

} // namespace skinart
