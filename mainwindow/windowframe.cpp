#include "mainwindow/windowframe.h"

#include "mainwindow/frmexplorer.h"
#include "mainwindow/windowplacement.h"
#include "platform/win/control.h"
#include "platform/win/twips.h"
#include "platform/win/windowservices.h"

#include <QCoreApplication>

namespace {

// The sizing band: a fixed width, not scaled with the screen.
constexpr double kBand = 100;

enum Hit { HitNone = 0, HitCaption = 2, HitLeft = 10, HitRight = 11, HitTop = 12, HitTopLeft = 13,
           HitTopRight = 14, HitBottom = 15, HitBottomLeft = 16, HitBottomRight = 17 };

Qt::Edges edgesOf(int hitCode)
{
    switch (hitCode) {
    case HitLeft: return Qt::LeftEdge;
    case HitRight: return Qt::RightEdge;
    case HitTop: return Qt::TopEdge;
    case HitTopLeft: return Qt::TopEdge | Qt::LeftEdge;
    case HitTopRight: return Qt::TopEdge | Qt::RightEdge;
    case HitBottom: return Qt::BottomEdge;
    case HitBottomLeft: return Qt::BottomEdge | Qt::LeftEdge;
    case HitBottomRight: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
    }
}

using platform::forms::toPixelsX;
using platform::forms::toPixelsY;

bool maximised(const frmExplorer& f)
{
    return f.DisplayFlags[DisplayMaximised] != 0;
}

} // namespace

int FrameHitCode(int index, double x, double y, double w, double h, double titleHeight)
{
    const bool left = x < kBand;
    const bool top = y < kBand;
    const bool right = x > w - kBand;
    const bool bottom = y > h - kBand;
    switch (index) {
    case skinpiece::TopLeft:
        if (left && top)
            return HitTopLeft;
        if (top)
            return HitTop;
        if (left)
            return HitLeft;
        return HitNone;
    case skinpiece::TopRight:
        if (right && top)
            return HitTopRight;
        if (right)
            return HitRight;
        if (!top && y < titleHeight)
            return HitCaption;
        if (top)
            return HitTop;
        return HitNone;
    case skinpiece::BottomRight:
        if (right && bottom)
            return HitBottomRight;
        if (bottom)
            return HitBottom;
        if (right)
            return HitRight;
        return HitNone;
    case skinpiece::BottomLeft:
        if (left && bottom)
            return HitBottomLeft;
        if (bottom)
            return HitBottom;
        if (left)
            return HitLeft;
        return HitNone;
    case skinpiece::Top:
    case skinpiece::MenuStrip:
    case skinpiece::MenuStripEnd:
        if (top)
            return HitTop;
        if (y < titleHeight)
            return HitCaption;
        return HitNone;
    case skinpiece::Right: return HitRight;
    case skinpiece::Bottom: return bottom ? HitBottom : HitNone;
    case skinpiece::Left: return HitLeft;
    default: return HitNone;
    }
}

int FramePointer(int index, double x, double y, double w, double h)
{
    const bool left = x < kBand;
    const bool top = y < kBand;
    const bool right = x > w - kBand;
    const bool bottom = y > h - kBand;
    switch (index) {
    case skinpiece::TopLeft: return left && top ? 8 : top ? 7 : left ? 9 : 0;
    case skinpiece::TopRight: return right && top ? 6 : right ? 9 : top ? 7 : 0;
    case skinpiece::BottomRight: return right && bottom ? 8 : bottom ? 7 : right ? 9 : 0;
    case skinpiece::BottomLeft: return left && bottom ? 6 : bottom ? 7 : left ? 9 : 0;
    case skinpiece::Top:
    case skinpiece::MenuStrip:
    case skinpiece::MenuStripEnd: return top ? 7 : 0;
    case skinpiece::Right:
    case skinpiece::Left: return 9;
    case skinpiece::Bottom: return bottom ? 7 : 0;
    default: return 0;
    }
}

void SkinPiece_MouseDown(frmExplorer& f, int index, int button, int, double x, double y)
{
    f.ButtonReleased = 0;
    if (maximised(f) || !f.SkinPiece.exists(index))
        return;
    const auto& piece = f.SkinPiece[index];
    const double titleHeight = f.SkinPiece.exists(4) ? f.SkinPiece[skinpiece::Top].height() : 0;
    const int code = FrameHitCode(index, x, y, piece.width(), piece.height(), titleHeight);
    const QPoint pressAt = piece.widget()->mapToGlobal(QPoint(toPixelsX(x), toPixelsY(y)));
    // Any button moves or sizes the window.
    if (code == HitCaption)
        StartWindowDrag(f, pressAt, button);
    else if (code != HitNone)
        StartFrameResize(f, code, pressAt, button);
}

void SkinPiece_MouseMove(frmExplorer& f, int index, int, int, double x, double y)
{
    if (!f.SkinPiece.exists(index))
        return;
    auto& piece = f.SkinPiece[index];
    piece.setMousePointer(maximised(f) ? 0 : FramePointer(index, x, y, piece.width(), piece.height()));
}

static Qt::MouseButton heldButton(int button)
{
    return button == 2 ? Qt::RightButton : button == 4 ? Qt::MiddleButton : Qt::LeftButton;
}

void StartFrameResize(frmExplorer& f, int hitCode, std::optional<QPoint> pressAt, int button)
{
    const Qt::Edges edges = edgesOf(hitCode);
    if (!edges)
        return;
    // Pending events run, but not the drag's own pointer moves: the window
    // system's sizing starts from where the pointer is when it takes over.
    {
        const BusyFlag::Hold handing(f.Placement().FrameHandOver);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        platform::forms::Control::releaseCapture();
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    platform::windows::startSystemResize(f.window(), edges, pressAt, heldButton(button));
}

void StartWindowDrag(frmExplorer& f, std::optional<QPoint> pressAt, int button)
{
    platform::forms::Control::releaseCapture();
    platform::windows::startSystemMove(f.window(), pressAt, heldButton(button));
}

void WireWindowFrame(frmExplorer& f)
{
    f.SkinPiece.events().mouseDown = [&f](int index, int button, int shift, double x, double y) {
        SkinPiece_MouseDown(f, index, button, shift, x, y);
    };
    f.SkinPiece.events().mouseMove = [&f](int index, int button, int shift, double x, double y) {
        SkinPiece_MouseMove(f, index, button, shift, x, y);
    };
}
