#include "glyphs.h"

#include <QPainterPath>
#include <QtMath>

namespace skinart {

namespace {

constexpr double Grid = 24.0;

QPainterPath triangle(QPointF a, QPointF b, QPointF c)
{
    QPainterPath path(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

// An arrow with a shaft: from (x0, y) to (x1, y) when horizontal.
QPainterPath arrowRight(double x0, double x1, double y, double head, double shaft)
{
    QPainterPath path;
    path.moveTo(x0, y - shaft / 2);
    path.lineTo(x1 - head, y - shaft / 2);
    path.lineTo(x1 - head, y - head);
    path.lineTo(x1, y);
    path.lineTo(x1 - head, y + head);
    path.lineTo(x1 - head, y + shaft / 2);
    path.lineTo(x0, y + shaft / 2);
    path.closeSubpath();
    return path;
}

QTransform rotateAbout(double degrees)
{
    QTransform t;
    t.translate(Grid / 2, Grid / 2);
    t.rotate(degrees);
    t.translate(-Grid / 2, -Grid / 2);
    return t;
}

struct Pen {
    QPainter& p;
    QColor c;
    void stroke(const QPainterPath& path, double w) const
    {
        p.strokePath(path, QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    void fill(const QPainterPath& path) const { p.fillPath(path, c); }
    void line(double x0, double y0, double x1, double y1, double w) const
    {
        QPainterPath path(QPointF(x0, y0));
        path.lineTo(x1, y1);
        stroke(path, w);
    }
    void rect(double x, double y, double w, double h, double pw) const
    {
        QPainterPath path;
        path.addRect(x, y, w, h);
        stroke(path, pw);
    }
    void box(double x, double y, double w, double h) const
    {
        QPainterPath path;
        path.addRect(x, y, w, h);
        fill(path);
    }
    void disc(double cx, double cy, double r) const
    {
        QPainterPath path;
        path.addEllipse(QPointF(cx, cy), r, r);
        fill(path);
    }
    void ring(double cx, double cy, double r, double w) const
    {
        QPainterPath path;
        path.addEllipse(QPointF(cx, cy), r, r);
        stroke(path, w);
    }
};

void playTriangle(const Pen& pen, double x, double y, double w, double h)
{
    pen.fill(triangle({x, y}, {x + w, y + h / 2}, {x, y + h}));
}

void note(const Pen& pen, double x, double y, double s)
{
    // A pair of quavers joined by a beam, in a box of s x s at (x, y).
    pen.disc(x + s * 0.22, y + s * 0.80, s * 0.17);
    pen.disc(x + s * 0.78, y + s * 0.68, s * 0.17);
    pen.box(x + s * 0.34, y + s * 0.12, s * 0.09, s * 0.70);
    pen.box(x + s * 0.90, y + s * 0.02, s * 0.09, s * 0.68);
    QPainterPath beam;
    beam.moveTo(x + s * 0.34, y + s * 0.12);
    beam.lineTo(x + s * 0.99, y + s * 0.0);
    beam.lineTo(x + s * 0.99, y + s * 0.16);
    beam.lineTo(x + s * 0.34, y + s * 0.28);
    beam.closeSubpath();
    pen.fill(beam);
}

void folder(const Pen& pen, double x, double y, double w, double h, double pw)
{
    QPainterPath path;
    path.moveTo(x, y + h);
    path.lineTo(x, y);
    path.lineTo(x + w * 0.38, y);
    path.lineTo(x + w * 0.48, y + h * 0.18);
    path.lineTo(x + w, y + h * 0.18);
    path.lineTo(x + w, y + h);
    path.closeSubpath();
    pen.stroke(path, pw);
    pen.line(x, y + h * 0.36, x + w, y + h * 0.36, pw * 0.8);
}

void page(const Pen& pen, double x, double y, double w, double h, double pw)
{
    const double fold = w * 0.35;
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + w - fold, y);
    path.lineTo(x + w, y + fold);
    path.lineTo(x + w, y + h);
    path.lineTo(x, y + h);
    path.closeSubpath();
    path.moveTo(x + w - fold, y);
    path.lineTo(x + w - fold, y + fold);
    path.lineTo(x + w, y + fold);
    pen.stroke(path, pw);
}

void chain(const Pen& pen, double cx, double cy, double s, double pw)
{
    // Two interlocked links at 45 degrees.
    pen.p.save();
    pen.p.translate(cx, cy);
    pen.p.rotate(-45);
    QPainterPath a;
    a.addRoundedRect(QRectF(-s * 0.95, -s * 0.28, s * 1.15, s * 0.56), s * 0.28, s * 0.28);
    QPainterPath b;
    b.addRoundedRect(QRectF(-s * 0.20, -s * 0.28, s * 1.15, s * 0.56), s * 0.28, s * 0.28);
    pen.stroke(a, pw);
    pen.stroke(b, pw);
    pen.p.restore();
}

void picture(const Pen& pen, double x, double y, double w, double h, double pw)
{
    pen.rect(x, y, w, h, pw);
    pen.fill(triangle({x + w * 0.1, y + h * 0.9}, {x + w * 0.42, y + h * 0.42}, {x + w * 0.7, y + h * 0.9}));
    pen.fill(triangle({x + w * 0.5, y + h * 0.9}, {x + w * 0.72, y + h * 0.6}, {x + w * 0.92, y + h * 0.9}));
    pen.disc(x + w * 0.74, y + h * 0.3, w * 0.1);
}

void film(const Pen& pen, double x, double y, double w, double h, double pw)
{
    pen.rect(x, y, w, h, pw);
    const double hole = w * 0.1;
    for (int i = 0; i < 4; ++i) {
        const double hy = y + h * (0.12 + 0.22 * i);
        pen.box(x + w * 0.06, hy, hole, hole);
        pen.box(x + w * 0.84, hy, hole, hole);
    }
    pen.rect(x + w * 0.28, y + h * 0.18, w * 0.44, h * 0.64, pw * 0.8);
}

void downArrowToTray(const Pen& pen, double x, double y, double s, double pw)
{
    pen.fill(QTransform().translate(x, y).scale(s / Grid, s / Grid).map(
        rotateAbout(90).map(arrowRight(2, 17, 12, 6, 5))));
    pen.line(x + s * 0.12, y + s * 0.92, x + s * 0.88, y + s * 0.92, pw);
}

// A small round badge in the lower right corner with a symbol on it.
enum class Badge { Plus, Down, Cross, Eye, Gear, Join };

void badge(QPainter& p, Badge kind, const QColor& c, const QColor& accent)
{
    const QPointF centre(18.0, 18.0);
    const double r = 5.6;
    QPainterPath circle;
    circle.addEllipse(centre, r, r);
    p.fillPath(circle, accent);
    p.strokePath(circle, QPen(c, 1.2));
    const Pen on{p, c};
    switch (kind) {
    case Badge::Plus:
        on.line(centre.x() - 3, centre.y(), centre.x() + 3, centre.y(), 1.8);
        on.line(centre.x(), centre.y() - 3, centre.x(), centre.y() + 3, 1.8);
        break;
    case Badge::Down:
        on.fill(triangle({centre.x() - 3.2, centre.y() - 1}, {centre.x() + 3.2, centre.y() - 1},
                         {centre.x(), centre.y() + 3}));
        on.box(centre.x() - 1, centre.y() - 3.6, 2, 3);
        break;
    case Badge::Cross:
        on.line(centre.x() - 2.5, centre.y() - 2.5, centre.x() + 2.5, centre.y() + 2.5, 1.8);
        on.line(centre.x() + 2.5, centre.y() - 2.5, centre.x() - 2.5, centre.y() + 2.5, 1.8);
        break;
    case Badge::Eye: {
        QPainterPath eye;
        eye.moveTo(centre.x() - 3.8, centre.y());
        eye.quadTo(centre.x(), centre.y() - 3.6, centre.x() + 3.8, centre.y());
        eye.quadTo(centre.x(), centre.y() + 3.6, centre.x() - 3.8, centre.y());
        on.stroke(eye, 1.1);
        on.disc(centre.x(), centre.y(), 1.3);
        break;
    }
    case Badge::Gear:
        on.ring(centre.x(), centre.y(), 2.2, 1.4);
        for (int i = 0; i < 6; ++i) {
            const double a = i * M_PI / 3;
            on.line(centre.x() + 2.6 * std::cos(a), centre.y() + 2.6 * std::sin(a),
                    centre.x() + 4.0 * std::cos(a), centre.y() + 4.0 * std::sin(a), 1.4);
        }
        break;
    case Badge::Join:
        on.line(centre.x() - 3, centre.y() - 2.5, centre.x(), centre.y(), 1.4);
        on.line(centre.x() - 3, centre.y() + 2.5, centre.x(), centre.y(), 1.4);
        on.line(centre.x(), centre.y(), centre.x() + 3.5, centre.y(), 1.4);
        break;
    }
}

void listLines(const Pen& pen, double x, double y, double w, int rows, double step, double pw)
{
    for (int i = 0; i < rows; ++i) {
        pen.disc(x + pw * 0.6, y + i * step, pw * 0.7);
        pen.line(x + pw * 2.2, y + i * step, x + w, y + i * step, pw);
    }
}

void text(QPainter& p, const QString& s, const QRectF& r, const QColor& c, double pixel)
{
    QFont f = p.font();
    f.setPixelSize(qMax(1, int(pixel)));
    f.setBold(true);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, s);
}

} // namespace

void drawGlyph(QPainter& p, Glyph g, const QRectF& r, const QColor& c, const QColor& accent)
{
    if (g == Glyph::None)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const double s = qMin(r.width(), r.height()) / Grid;
    p.translate(r.center().x() - Grid * s / 2, r.center().y() - Grid * s / 2);
    p.scale(s, s);
    const Pen pen{p, c};
    const Pen acc{p, accent};
    const double w = 2.4; // the usual line width on the grid

    switch (g) {
    case Glyph::None:
        break;
    case Glyph::Back:
        pen.fill(rotateAbout(180).map(arrowRight(3, 21, 12, 8, 6)));
        break;
    case Glyph::Forward:
        pen.fill(arrowRight(3, 21, 12, 8, 6));
        break;
    case Glyph::Stop:
        pen.line(5, 5, 19, 19, 3.6);
        pen.line(19, 5, 5, 19, 3.6);
        break;
    case Glyph::Refresh: {
        QPainterPath arc;
        arc.arcMoveTo(QRectF(4, 4, 16, 16), 60);
        arc.arcTo(QRectF(4, 4, 16, 16), 60, 270);
        pen.stroke(arc, 3.0);
        pen.fill(triangle({13.5, 1.5}, {20.5, 6.5}, {13.0, 10.5}));
        break;
    }
    case Glyph::Star: {
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const double a = -M_PI / 2 + i * M_PI / 5;
            const double rad = (i % 2 == 0) ? 10.5 : 4.6;
            const QPointF pt(12 + rad * std::cos(a), 12.8 + rad * std::sin(a));
            if (i == 0)
                star.moveTo(pt);
            else
                star.lineTo(pt);
        }
        star.closeSubpath();
        p.fillPath(star, accent);
        pen.stroke(star, 1.6);
        break;
    }
    case Glyph::Clock:
        pen.ring(12, 12, 8.8, w);
        pen.line(12, 12, 12, 6.5, w);
        pen.line(12, 12, 16, 14, w);
        break;
    case Glyph::UpLevel:
        folder(pen, 2.5, 7, 19, 14, 2.0);
        pen.fill(rotateAbout(-90).map(arrowRight(4, 15, 12, 4.5, 3)).translated(0, -1));
        break;
    case Glyph::Go:
        pen.fill(arrowRight(3, 21, 12, 8, 6));
        pen.line(3, 4, 3, 20, 2.0);
        break;
    case Glyph::TabList:
        listLines(pen, 3, 6, 13, 3, 5, 2.0);
        pen.fill(triangle({15, 15}, {22, 15}, {18.5, 19.5}));
        break;
    case Glyph::Home: {
        QPainterPath roof;
        roof.moveTo(2.5, 12.5);
        roof.lineTo(12, 3.5);
        roof.lineTo(21.5, 12.5);
        pen.stroke(roof, 2.6);
        QPainterPath house;
        house.addRect(5.5, 11.5, 13, 9.5);
        pen.fill(house);
        p.fillRect(QRectF(10.3, 15, 3.4, 6), accent);
        break;
    }
    case Glyph::Search:
        pen.ring(10, 10, 6.2, 2.8);
        pen.line(14.6, 14.6, 20.5, 20.5, 3.8);
        break;
    case Glyph::Folder: {
        QPainterPath back;
        back.moveTo(2.5, 19.5);
        back.lineTo(2.5, 5);
        back.lineTo(9, 5);
        back.lineTo(11, 7.5);
        back.lineTo(20, 7.5);
        back.lineTo(20, 19.5);
        back.closeSubpath();
        pen.fill(back);
        QPainterPath front;
        front.moveTo(2.5, 19.5);
        front.lineTo(5.5, 10.5);
        front.lineTo(22.5, 10.5);
        front.lineTo(20, 19.5);
        front.closeSubpath();
        p.fillPath(front, accent);
        pen.stroke(front, 1.2);
        break;
    }
    case Glyph::Mail: {
        QPainterPath env;
        env.addRoundedRect(QRectF(2.5, 5.5, 19, 13), 1.5, 1.5);
        pen.fill(env);
        QPainterPath flap;
        flap.moveTo(3, 6.5);
        flap.lineTo(12, 13);
        flap.lineTo(21, 6.5);
        acc.stroke(flap, 1.8);
        break;
    }
    case Glyph::Help:
        pen.ring(12, 12, 9.2, 2.2);
        text(p, QStringLiteral("?"), QRectF(3, 3, 18, 18), c, 15);
        break;
    case Glyph::Move:
        for (int i = 0; i < 4; ++i)
            pen.fill(rotateAbout(90 * i).map(arrowRight(12, 21, 12, 3.8, 2.2)));
        break;
    case Glyph::Minimize:
        pen.box(5, 16, 14, 3.4);
        break;
    case Glyph::Maximize:
        pen.rect(5, 5, 14, 14, 2.0);
        pen.box(5, 5, 14, 3.4);
        break;
    case Glyph::Restore:
        pen.rect(8.5, 4, 11.5, 10, 1.8);
        pen.box(8.5, 4, 11.5, 2.8);
        p.fillRect(QRectF(4, 9.5, 11.5, 10.5), accent);
        pen.rect(4, 9.5, 11.5, 10.5, 1.8);
        pen.box(4, 9.5, 11.5, 2.8);
        break;
    case Glyph::Close:
        pen.line(6, 6, 18, 18, 3.4);
        pen.line(18, 6, 6, 18, 3.4);
        break;
    case Glyph::CloseTabMenu:
        pen.rect(3, 7, 18, 12, 2.0);
        pen.box(3, 4, 9, 4);
        pen.line(9.5, 10, 14.5, 16, 2.0);
        pen.line(14.5, 10, 9.5, 16, 2.0);
        break;
    case Glyph::GoToTabMenu:
        pen.rect(3, 7, 18, 12, 2.0);
        pen.box(3, 4, 9, 4);
        pen.fill(triangle({8, 11}, {16, 11}, {12, 16}));
        break;
    case Glyph::NextTab:
        pen.fill(triangle({8, 5}, {17, 12}, {8, 19}));
        break;
    case Glyph::PrevTab:
        pen.fill(triangle({16, 5}, {7, 12}, {16, 19}));
        break;
    case Glyph::MediaMenu:
        pen.ring(12, 12, 9, 2.0);
        pen.fill(triangle({7, 9.5}, {17, 9.5}, {12, 15.5}));
        break;
    case Glyph::ListCycle: {
        listLines(pen, 3, 6, 11, 3, 5.5, 2.0);
        QPainterPath arc;
        arc.arcMoveTo(QRectF(13, 9, 9, 10), 90);
        arc.arcTo(QRectF(13, 9, 9, 10), 90, -250);
        pen.stroke(arc, 1.8);
        pen.fill(triangle({15.5, 6.5}, {19.5, 9}, {15.5, 11.5}));
        break;
    }
    case Glyph::Play:
        playTriangle(pen, 6.5, 4, 13, 16);
        break;
    case Glyph::Pause:
        pen.box(6, 4.5, 4.5, 15);
        pen.box(13.5, 4.5, 4.5, 15);
        break;
    case Glyph::Rewind:
        pen.fill(triangle({12, 5}, {2.5, 12}, {12, 19}));
        pen.fill(triangle({21.5, 5}, {12, 12}, {21.5, 19}));
        break;
    case Glyph::FastForward:
        pen.fill(triangle({2.5, 5}, {12, 12}, {2.5, 19}));
        pen.fill(triangle({12, 5}, {21.5, 12}, {12, 19}));
        break;
    case Glyph::Previous:
        pen.box(4.5, 5, 3, 14);
        pen.fill(triangle({19.5, 5}, {8.5, 12}, {19.5, 19}));
        break;
    case Glyph::Next:
        pen.box(16.5, 5, 3, 14);
        pen.fill(triangle({4.5, 5}, {15.5, 12}, {4.5, 19}));
        break;
    case Glyph::StopSquare:
        pen.box(6, 6, 12, 12);
        break;
    case Glyph::FullScreen:
        pen.rect(3.5, 5.5, 17, 13, 1.6);
        for (int i = 0; i < 4; ++i) {
            QTransform t = rotateAbout(45 + 90 * i);
            pen.fill(t.map(arrowRight(13.5, 21, 12, 2.8, 1.6)));
        }
        break;
    case Glyph::ExitFullScreen:
        pen.rect(3.5, 5.5, 17, 13, 1.6);
        for (int i = 0; i < 4; ++i) {
            QTransform t = rotateAbout(45 + 90 * i);
            pen.fill(t.map(rotateAbout(180).map(arrowRight(3, 10.5, 12, 2.8, 1.6))));
        }
        break;
    case Glyph::Fit:
        pen.rect(3.5, 5.5, 17, 13, 1.6);
        pen.fill(arrowRight(12, 19, 12, 3, 1.8));
        pen.fill(rotateAbout(180).map(arrowRight(12, 19, 12, 3, 1.8)));
        break;
    case Glyph::ZoomOut:
    case Glyph::ZoomIn:
        pen.ring(10, 10, 6.5, 2.4);
        pen.line(14.8, 14.8, 20.5, 20.5, 3.4);
        pen.line(6.5, 10, 13.5, 10, 2.4);
        if (g == Glyph::ZoomIn)
            pen.line(10, 6.5, 10, 13.5, 2.4);
        break;
    case Glyph::Minus:
        pen.box(5, 10.3, 14, 3.4);
        break;
    case Glyph::Plus:
        pen.box(5, 10.3, 14, 3.4);
        pen.box(10.3, 5, 3.4, 14);
        break;
    case Glyph::MenuLines:
        pen.box(3, 5.5, 13, 2.6);
        pen.box(3, 10.7, 13, 2.6);
        pen.box(3, 15.9, 13, 2.6);
        pen.fill(triangle({17.5, 10}, {23, 10}, {20.25, 14}));
        break;
    case Glyph::Note:
        note(pen, 3, 3, 17);
        break;
    case Glyph::Film:
        film(pen, 3, 3, 18, 18, 1.8);
        break;
    case Glyph::Picture:
        picture(pen, 2.5, 4.5, 19, 15, 1.8);
        break;
    case Glyph::Snippet:
        page(pen, 4, 2.5, 13, 17, 1.7);
        pen.line(6.5, 8.5, 12, 8.5, 1.4);
        pen.line(6.5, 11.5, 14, 11.5, 1.4);
        acc.rect(8.5, 12, 12, 9, 1.8);
        break;
    case Glyph::Link:
        chain(pen, 12, 12, 8.5, 2.4);
        break;
    case Glyph::Download:
        downArrowToTray(pen, 2, 1, 20, 2.6);
        break;
    case Glyph::AddFolder:
        folder(pen, 2, 4, 16, 12, 2.0);
        badge(p, Badge::Plus, c, accent);
        break;
    case Glyph::AddFiles:
        page(pen, 3, 2, 10, 13, 1.6);
        page(pen, 7, 5, 10, 13, 1.6);
        badge(p, Badge::Plus, c, accent);
        break;
    case Glyph::AddLinks:
        chain(pen, 9.5, 9.5, 6.5, 2.0);
        badge(p, Badge::Plus, c, accent);
        break;
    case Glyph::AddManual: {
        QPainterPath pencil;
        pencil.moveTo(3, 17);
        pencil.lineTo(13.5, 6.5);
        pencil.lineTo(16.5, 9.5);
        pencil.lineTo(6, 20);
        pencil.lineTo(2.5, 20.5);
        pencil.closeSubpath();
        pen.fill(pencil);
        badge(p, Badge::Plus, c, accent);
        break;
    }
    case Glyph::AddImages:
        picture(pen, 2, 3, 15, 12, 1.6);
        badge(p, Badge::Plus, c, accent);
        break;
    case Glyph::AddPageAddress:
        page(pen, 3, 2, 12, 15, 1.6);
        text(p, QStringLiteral("@"), QRectF(3, 5, 12, 12), c, 9);
        badge(p, Badge::Plus, c, accent);
        break;
    case Glyph::AddSnippet:
        page(pen, 3, 2, 12, 15, 1.6);
        acc.rect(6, 8, 11, 7, 1.6);
        badge(p, Badge::Plus, c, accent);
        break;
    case Glyph::LinksAudio:
        note(pen, 2, 2, 10);
        chain(pen, 10, 15, 4.5, 1.6);
        badge(p, Badge::Plus, c, accent);
        break;
    case Glyph::LinksVideo:
        film(pen, 2, 2, 11, 11, 1.4);
        chain(pen, 10, 15, 4.5, 1.6);
        badge(p, Badge::Plus, c, accent);
        break;
    case Glyph::LinksImage:
        picture(pen, 2, 2, 12, 10, 1.4);
        chain(pen, 10, 15, 4.5, 1.6);
        badge(p, Badge::Plus, c, accent);
        break;
    case Glyph::LinksAll:
        page(pen, 2, 2, 9, 11, 1.4);
        chain(pen, 11, 14, 4.5, 1.6);
        badge(p, Badge::Plus, c, accent);
        break;
    case Glyph::LinksExe:
        pen.rect(2, 3, 12, 10, 1.4);
        pen.box(2, 3, 12, 2.6);
        chain(pen, 11, 15, 4.5, 1.6);
        badge(p, Badge::Plus, c, accent);
        break;
    case Glyph::Delete:
        page(pen, 3, 2, 12, 15, 1.6);
        badge(p, Badge::Cross, c, accent);
        break;
    case Glyph::DownloadAll:
        listLines(pen, 3, 4, 12, 3, 4.5, 1.8);
        badge(p, Badge::Down, c, accent);
        break;
    case Glyph::DownloadSelected:
        acc.box(0.5, 6.2, 17, 5.6);
        listLines(pen, 3, 4, 12, 3, 4.5, 1.8);
        badge(p, Badge::Down, c, accent);
        break;
    case Glyph::DownloadSetup:
        downArrowToTray(pen, 1, 1, 14, 2.0);
        badge(p, Badge::Gear, c, accent);
        break;
    case Glyph::ViewAll:
        pen.rect(2, 3, 7, 6, 1.4);
        pen.rect(11, 3, 7, 6, 1.4);
        pen.rect(2, 11, 7, 6, 1.4);
        badge(p, Badge::Eye, c, accent);
        break;
    case Glyph::ViewSelected:
        pen.rect(2, 3, 14, 12, 1.6);
        acc.box(4.5, 5.5, 9, 7);
        badge(p, Badge::Eye, c, accent);
        break;
    case Glyph::Merge:
        page(pen, 2, 2, 9, 11, 1.4);
        page(pen, 9, 5, 9, 11, 1.4);
        badge(p, Badge::Join, c, accent);
        break;
    case Glyph::ViewSetup:
        pen.rect(2, 3, 14, 12, 1.6);
        badge(p, Badge::Gear, c, accent);
        break;
    case Glyph::SortAsc:
    case Glyph::SortDesc: {
        const bool asc = g == Glyph::SortAsc;
        for (int i = 0; i < 3; ++i) {
            const double len = asc ? 5 + 4 * i : 13 - 4 * i;
            pen.box(3, 4 + 6 * i, len, 3);
        }
        if (asc)
            pen.fill(triangle({15, 11}, {22, 11}, {18.5, 4}));
        else
            pen.fill(triangle({15, 13}, {22, 13}, {18.5, 20}));
        pen.box(17.3, asc ? 10 : 4, 2.4, 10);
        break;
    }
    case Glyph::MoveUp:
        pen.fill(rotateAbout(-90).map(arrowRight(3, 21, 12, 8, 5)));
        break;
    case Glyph::MoveDown:
        pen.fill(rotateAbout(90).map(arrowRight(3, 21, 12, 8, 5)));
        break;
    case Glyph::Remove:
        pen.line(6, 6, 18, 18, 3.4);
        pen.line(18, 6, 6, 18, 3.4);
        break;
    case Glyph::Clear: {
        QPainterPath bin;
        bin.moveTo(5.5, 7.5);
        bin.lineTo(18.5, 7.5);
        bin.lineTo(17, 21);
        bin.lineTo(7, 21);
        bin.closeSubpath();
        pen.fill(bin);
        pen.box(3.5, 4.5, 17, 2.4);
        pen.box(9.5, 2.5, 5, 2.4);
        acc.line(10, 10.5, 10.3, 18, 1.2);
        acc.line(14, 10.5, 13.7, 18, 1.2);
        break;
    }
    case Glyph::Warning: {
        QPainterPath tri;
        tri.moveTo(12, 2);
        tri.lineTo(22.5, 21);
        tri.lineTo(1.5, 21);
        tri.closeSubpath();
        p.fillPath(tri, accent);
        p.strokePath(tri, QPen(c, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        pen.box(10.8, 8, 2.4, 7.5);
        pen.disc(12, 18.2, 1.4);
        break;
    }
    case Glyph::Question:
    case Glyph::Error:
    case Glyph::Info: {
        QPainterPath disc;
        disc.addEllipse(QPointF(12, 12), 10.5, 10.5);
        p.fillPath(disc, accent);
        p.strokePath(disc, QPen(c.darker(130), 1.0));
        if (g == Glyph::Error) {
            pen.line(7.5, 7.5, 16.5, 16.5, 3.0);
            pen.line(16.5, 7.5, 7.5, 16.5, 3.0);
        } else if (g == Glyph::Info) {
            pen.disc(12, 6.8, 1.7);
            pen.box(10.6, 10, 2.8, 8.5);
        } else {
            QPainterPath hook;
            hook.moveTo(8.3, 9.2);
            hook.cubicTo(8.3, 4.5, 15.8, 4.5, 15.8, 9.0);
            hook.cubicTo(15.8, 12.0, 12, 11.8, 12, 15.0);
            pen.stroke(hook, 2.6);
            pen.disc(12, 18.6, 1.6);
        }
        break;
    }
    case Glyph::Browse:
        folder(pen, 2.5, 5, 19, 14, 2.0);
        pen.disc(8, 14.5, 1.3);
        pen.disc(12, 14.5, 1.3);
        pen.disc(16, 14.5, 1.3);
        break;
    case Glyph::CurrentPage:
        page(pen, 5, 2.5, 14, 19, 1.8);
        pen.fill(arrowRight(8, 17, 14, 3.4, 2.2));
        break;
    case Glyph::Check: {
        QPainterPath tick;
        tick.moveTo(5, 12.5);
        tick.lineTo(10, 17.5);
        tick.lineTo(19, 6.5);
        pen.stroke(tick, 3.2);
        break;
    }
    case Glyph::TriLeft:
        pen.fill(triangle({17, 4}, {6, 12}, {17, 20}));
        break;
    case Glyph::TriRight:
        pen.fill(triangle({7, 4}, {18, 12}, {7, 20}));
        break;
    case Glyph::TriUp:
        pen.fill(triangle({4, 17}, {12, 6}, {20, 17}));
        break;
    case Glyph::TriDown:
        pen.fill(triangle({4, 7}, {12, 18}, {20, 7}));
        break;
    }
    p.restore();
}

} // namespace skinart
