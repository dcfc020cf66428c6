#include "skinart.h"

#include "artpalette.h"
#include "glyphs.h"

#include <QBuffer>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

#include <algorithm>
#include <deque>
#include <map>
#include <string>

namespace skinart {

namespace {

// ---------------------------------------------------------------------------
// Geometry of the chrome the pictures are drawn for (pixels).

constexpr int TopBarHeight = 30;
constexpr int BottomBarHeight = 50;
constexpr int HiddenBarHeight = 8;
constexpr int StatusBandHeight = 18; // upper band of the bottom bar
constexpr int NavRowTop = 5;         // caption and navigation buttons
constexpr int QuickRowTop = 18;      // quick-launch and first media buttons
constexpr int MediaRowTop = 25;      // media buttons, sliders, displays
constexpr int KnobTop = 30;          // slider knobs

// Where a picture sits, so that whatever shows around its face is the
// background it covers.
enum class Ground { TopBar, TopHidden, BottomBar, BottomHidden, TabStrip, SidePane, Groove, Display };

enum class State { Normal, Hover, Pressed, Disabled, Focus };

// ---------------------------------------------------------------------------
// The plan of pictures.

enum class Kind {
    Piece,        // frame and bar pieces, drawn by id
    NavButton,    // 20 x 20 in the top bar
    CaptionButton,
    QuickButton,  // bottom bar, second row
    GroupButton,  // bottom bar, status band
    MediaTall,    // bottom bar, from the quick-launch row
    MediaButton,  // bottom bar, media row
    DelayButton,  // ends of the delay display
    Knob,
    ListButton,   // side pane
    Tab,
    CloseTab,
    ShowHide,
    Busy,
    DropDown,
};

struct Group {
    int first;
    int last;
    int width;
    int height;
    int depth;
    Kind kind;
    Glyph glyph;
    int states; // pictures per button (3 or 4); 1 for single pictures
    const char* what;
};

// clang-format off
const Group Plan[] = {
    {103, 103, 5, 29, 24, Kind::Piece, Glyph::None, 1, "spare frame piece, left edge"},
    {104, 104, 18, 30, 24, Kind::Piece, Glyph::None, 1, "top-left corner, menu shown"},
    {105, 105, 380, 30, 24, Kind::Piece, Glyph::None, 1, "menu strip"},
    {106, 106, 8, 30, 24, Kind::Piece, Glyph::None, 1, "end of the menu strip"},
    {107, 107, 5, 30, 24, Kind::Piece, Glyph::None, 1, "spare top bar piece"},
    {108, 108, 22, 30, 24, Kind::Piece, Glyph::None, 1, "top-left corner, menu hidden"},
    {109, 109, 5, 8, 24, Kind::Piece, Glyph::None, 1, "top-left corner, top bar hidden"},
    {110, 110, 80, 30, 24, Kind::Piece, Glyph::None, 1, "top-right corner"},
    {111, 111, 5, 8, 24, Kind::Piece, Glyph::None, 1, "top-right corner, top bar hidden"},
    {112, 112, 12, 50, 24, Kind::Piece, Glyph::None, 1, "bottom-right corner"},
    {113, 113, 5, 8, 24, Kind::Piece, Glyph::None, 1, "bottom-right corner, bottom bar hidden"},
    {114, 114, 16, 50, 24, Kind::Piece, Glyph::None, 1, "bottom-left corner, media row shown"},
    {115, 115, 16, 50, 24, Kind::Piece, Glyph::None, 1, "bottom-left corner, media row hidden"},
    {116, 116, 5, 8, 24, Kind::Piece, Glyph::None, 1, "bottom-left corner, bottom bar hidden"},
    {117, 117, 5, 30, 24, Kind::Piece, Glyph::None, 1, "top edge"},
    {118, 118, 5, 8, 24, Kind::Piece, Glyph::None, 1, "top edge, top bar hidden"},
    {119, 119, 5, 50, 24, Kind::Piece, Glyph::None, 1, "right edge"},
    {120, 120, 5, 50, 24, Kind::Piece, Glyph::None, 1, "bottom edge"},
    {121, 121, 5, 8, 24, Kind::Piece, Glyph::None, 1, "bottom edge, bottom bar hidden"},
    {122, 122, 5, 50, 24, Kind::Piece, Glyph::None, 1, "left edge"},
    {123, 124, 5, 5, 24, Kind::Piece, Glyph::None, 1, "spare corner piece"},
    {125, 125, 8, 5, 24, Kind::Piece, Glyph::None, 1, "splitter"},
    {128, 128, 80, 18, 8, Kind::Piece, Glyph::None, 1, "delay display"},
    {129, 129, 40, 20, 24, Kind::Piece, Glyph::None, 1, "tab number box"},
    {130, 130, 100, 20, 24, Kind::Piece, Glyph::None, 1, "time panel"},
    {131, 131, 312, 12, 24, Kind::Piece, Glyph::None, 1, "text colour bar"},
    {132, 132, 5, 18, 24, Kind::Piece, Glyph::None, 1, "tab strip"},
    {133, 134, 6, 10, 24, Kind::ShowHide, Glyph::TriLeft, 2, "hide media row"},
    {135, 136, 6, 10, 24, Kind::ShowHide, Glyph::TriRight, 2, "show media row"},
    {137, 138, 6, 10, 24, Kind::ShowHide, Glyph::TriLeft, 2, "hide menu"},
    {139, 140, 6, 10, 24, Kind::ShowHide, Glyph::TriRight, 2, "show menu"},
    {141, 142, 43, 8, 24, Kind::ShowHide, Glyph::TriUp, 2, "show bottom bar"},
    {143, 144, 8, 43, 24, Kind::ShowHide, Glyph::TriLeft, 2, "hide side pane"},
    {145, 146, 8, 43, 24, Kind::ShowHide, Glyph::TriRight, 2, "show side pane"},
    {147, 148, 43, 8, 24, Kind::ShowHide, Glyph::TriDown, 2, "show top bar"},
    {149, 152, 12, 12, 24, Kind::Busy, Glyph::None, 1, "busy indicator"},
    {171, 174, 20, 20, 24, Kind::NavButton, Glyph::Back, 4, "back"},
    {175, 178, 20, 20, 24, Kind::NavButton, Glyph::Forward, 4, "forward"},
    {179, 181, 20, 20, 24, Kind::NavButton, Glyph::Stop, 3, "stop"},
    {182, 184, 20, 20, 24, Kind::NavButton, Glyph::Refresh, 3, "refresh"},
    {185, 187, 20, 20, 24, Kind::NavButton, Glyph::Star, 3, "favorites"},
    {188, 190, 20, 20, 24, Kind::NavButton, Glyph::Clock, 3, "history"},
    {191, 193, 20, 20, 24, Kind::NavButton, Glyph::UpLevel, 3, "up one level"},
    {194, 196, 20, 20, 24, Kind::NavButton, Glyph::Go, 3, "go"},
    {197, 199, 20, 20, 24, Kind::NavButton, Glyph::TabList, 3, "tab list"},
    {200, 202, 15, 18, 24, Kind::DropDown, Glyph::TriDown, 3, "address drop-down arrow"},
    {203, 203, 16, 16, 24, Kind::Piece, Glyph::None, 1, "page icon"},
    {204, 206, 17, 18, 24, Kind::CaptionButton, Glyph::Move, 3, "move"},
    {207, 209, 17, 18, 24, Kind::CaptionButton, Glyph::Minimize, 3, "minimize"},
    {210, 212, 17, 18, 24, Kind::CaptionButton, Glyph::Maximize, 3, "maximize"},
    {213, 215, 17, 18, 24, Kind::CaptionButton, Glyph::Restore, 3, "restore down"},
    {216, 218, 17, 18, 24, Kind::CaptionButton, Glyph::Close, 3, "close"},
    {264, 266, 26, 32, 24, Kind::QuickButton, Glyph::Search, 3, "search page"},
    {267, 269, 25, 32, 24, Kind::QuickButton, Glyph::Help, 3, "help menu"},
    {270, 272, 26, 32, 24, Kind::QuickButton, Glyph::Folder, 3, "my folder"},
    {273, 275, 26, 32, 24, Kind::QuickButton, Glyph::Mail, 3, "mail"},
    {276, 278, 26, 32, 24, Kind::QuickButton, Glyph::Home, 3, "start page"},
    {284, 286, 16, 16, 24, Kind::ListButton, Glyph::SortAsc, 3, "sort ascending"},
    {287, 289, 16, 16, 24, Kind::ListButton, Glyph::SortDesc, 3, "sort descending"},
    {290, 293, 20, 20, 24, Kind::ListButton, Glyph::MoveUp, 4, "move selected item up"},
    {294, 297, 20, 20, 24, Kind::ListButton, Glyph::MoveDown, 4, "move selected item down"},
    {298, 301, 20, 20, 24, Kind::ListButton, Glyph::Remove, 4, "remove selected item"},
    {302, 305, 20, 20, 24, Kind::ListButton, Glyph::Clear, 4, "clear playlist"},
    {306, 308, 32, 16, 24, Kind::ListButton, Glyph::MenuLines, 3, "playlist menu"},
    {309, 311, 32, 32, 24, Kind::ListButton, Glyph::Note, 3, "audio list"},
    {312, 314, 32, 32, 24, Kind::ListButton, Glyph::Film, 3, "video list"},
    {315, 317, 32, 32, 24, Kind::ListButton, Glyph::Picture, 3, "image list"},
    {318, 320, 32, 32, 24, Kind::ListButton, Glyph::Snippet, 3, "web snippet list"},
    {321, 323, 32, 32, 24, Kind::ListButton, Glyph::Link, 3, "link list"},
    {324, 326, 32, 32, 24, Kind::ListButton, Glyph::Download, 3, "download file list"},
    {327, 329, 32, 32, 24, Kind::ListButton, Glyph::AddFolder, 3, "add all files in folder"},
    {330, 332, 32, 32, 24, Kind::ListButton, Glyph::AddFiles, 3, "add files"},
    {333, 335, 32, 32, 24, Kind::ListButton, Glyph::AddLinks, 3, "add links on page"},
    {336, 338, 32, 32, 24, Kind::ListButton, Glyph::AddManual, 3, "add manually"},
    {339, 341, 32, 32, 24, Kind::ListButton, Glyph::AddImages, 3, "add images on page"},
    {342, 344, 32, 32, 24, Kind::ListButton, Glyph::AddPageAddress, 3, "add page address"},
    {345, 347, 32, 32, 24, Kind::ListButton, Glyph::AddSnippet, 3, "add web snippet"},
    {348, 350, 32, 32, 24, Kind::ListButton, Glyph::LinksAudio, 3, "add links to audio files"},
    {351, 353, 32, 32, 24, Kind::ListButton, Glyph::LinksVideo, 3, "add links to video files"},
    {354, 356, 32, 32, 24, Kind::ListButton, Glyph::LinksImage, 3, "add links to image files"},
    {357, 359, 32, 32, 24, Kind::ListButton, Glyph::LinksAll, 3, "add links to files"},
    {360, 362, 32, 32, 24, Kind::ListButton, Glyph::LinksExe, 3, "add links to exe, zip, rar files"},
    {363, 365, 32, 32, 24, Kind::ListButton, Glyph::Delete, 3, "delete selected files"},
    {366, 368, 32, 32, 24, Kind::ListButton, Glyph::DownloadAll, 3, "download all"},
    {369, 371, 32, 32, 24, Kind::ListButton, Glyph::DownloadSelected, 3, "download selected files"},
    {372, 374, 32, 32, 24, Kind::ListButton, Glyph::DownloadSetup, 3, "download setup"},
    {375, 377, 32, 32, 24, Kind::ListButton, Glyph::ViewAll, 3, "view all"},
    {378, 380, 32, 32, 24, Kind::ListButton, Glyph::ViewSelected, 3, "view selected files"},
    {381, 383, 32, 32, 24, Kind::ListButton, Glyph::Merge, 3, "merge selected files"},
    {384, 386, 32, 32, 24, Kind::ListButton, Glyph::ViewSetup, 3, "view setup"},
    {390, 392, 30, 18, 24, Kind::GroupButton, Glyph::PrevTab, 3, "previous tab"},
    {393, 395, 30, 18, 24, Kind::GroupButton, Glyph::NextTab, 3, "next tab"},
    {396, 398, 30, 18, 24, Kind::CloseTab, Glyph::None, 3, "close tab"},
    {399, 402, 100, 18, 24, Kind::Tab, Glyph::None, 1, "tab"},
    {403, 405, 30, 18, 24, Kind::GroupButton, Glyph::CloseTabMenu, 3, "close tab menu"},
    {406, 408, 30, 18, 24, Kind::GroupButton, Glyph::GoToTabMenu, 3, "go to tab menu"},
    {411, 412, 60, 18, 24, Kind::Piece, Glyph::None, 1, "volume track"},
    {416, 417, 60, 18, 24, Kind::Piece, Glyph::None, 1, "position track"},
    {500, 502, 25, 32, 24, Kind::MediaTall, Glyph::MediaMenu, 3, "media menu"},
    {503, 505, 25, 32, 24, Kind::MediaTall, Glyph::ListCycle, 3, "change playlist"},
    {506, 509, 25, 20, 24, Kind::MediaButton, Glyph::Play, 4, "play"},
    {510, 513, 25, 20, 24, Kind::MediaButton, Glyph::Pause, 4, "pause"},
    {514, 517, 25, 20, 24, Kind::MediaButton, Glyph::Rewind, 4, "rewind"},
    {518, 521, 25, 20, 24, Kind::MediaButton, Glyph::Previous, 4, "back"},
    {522, 525, 25, 20, 24, Kind::MediaButton, Glyph::StopSquare, 4, "stop"},
    {526, 529, 25, 20, 24, Kind::MediaButton, Glyph::Next, 4, "next"},
    {530, 533, 25, 20, 24, Kind::MediaButton, Glyph::FastForward, 4, "fast forward"},
    {534, 537, 25, 20, 24, Kind::MediaButton, Glyph::FullScreen, 4, "view full screen"},
    {538, 541, 25, 20, 24, Kind::MediaButton, Glyph::ExitFullScreen, 4, "exit full screen"},
    {542, 545, 25, 20, 24, Kind::MediaButton, Glyph::Fit, 4, "fit to screen"},
    {546, 549, 25, 20, 24, Kind::MediaButton, Glyph::ZoomOut, 4, "zoom out"},
    {550, 553, 25, 20, 24, Kind::MediaButton, Glyph::ZoomIn, 4, "zoom in"},
    {554, 556, 22, 18, 8, Kind::DelayButton, Glyph::Minus, 3, "decrease delay time"},
    {557, 559, 22, 18, 8, Kind::DelayButton, Glyph::Plus, 3, "increase delay time"},
    {560, 562, 8, 7, 24, Kind::Knob, Glyph::None, 3, "volume knob"},
    {563, 565, 8, 7, 24, Kind::Knob, Glyph::None, 3, "position knob"},
};
// clang-format on

const char* const StateNames[] = {"normal", "hover", "pressed", "disabled"};

struct Entry {
    PictureSpec spec;
    const Group* group;
};

const std::map<int, Entry>& entries()
{
    static const std::map<int, Entry> table = [] {
        static std::deque<std::string> names;
        std::map<int, Entry> m;
        for (const Group& g : Plan) {
            for (int id = g.first; id <= g.last; ++id) {
                std::string what = g.what;
                if (g.kind == Kind::Tab) {
                    static const char* const tabStates[] = {"current", "other", "hover", "pressed"};
                    what += std::string(", ") + tabStates[id - g.first];
                } else if (g.kind == Kind::Busy) {
                    static const char* const busy[] = {"idle", "loading", "paused", "stopped"};
                    what += std::string(", ") + busy[id - g.first];
                } else if (g.states > 1) {
                    what += std::string(", ") + StateNames[(id - g.first) % g.states];
                } else if (g.last > g.first && (id == 411 || id == 416)) {
                    what += ", empty list";
                }
                names.push_back(what);
                m[id] = Entry{PictureSpec{id, 0, g.width, g.height, g.depth, names.back().c_str()}, &g};
            }
        }
        return m;
    }();
    return table;
}

// ---------------------------------------------------------------------------
// Colours of the grounds, row by row.

QColor lerp(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// The colour of row y of a bar, away from its side borders.
QColor groundRow(const Palette& pal, Ground g, int y)
{
    switch (g) {
    case Ground::TopBar:
        if (y <= 0)
            return pal.edgeDark;
        if (y == 1)
            return pal.edgeLight;
        if (y >= TopBarHeight - 1)
            return pal.innerDark;
        return lerp(pal.barTop, pal.barBottom, (y - 2) / double(TopBarHeight - 4));
    case Ground::TopHidden:
        if (y <= 0)
            return pal.edgeDark;
        if (y == 1)
            return pal.edgeLight;
        if (y >= HiddenBarHeight - 1)
            return pal.innerDark;
        return pal.frameMid;
    case Ground::BottomBar:
        if (y <= 0)
            return pal.innerDark;
        if (y < StatusBandHeight)
            return lerp(pal.band, pal.band.darker(112), (y - 1) / double(StatusBandHeight - 2));
        if (y == StatusBandHeight)
            return lerp(pal.band, pal.edgeLight, 0.35);
        if (y == BottomBarHeight - 2)
            return pal.edgeLight;
        if (y >= BottomBarHeight - 1)
            return pal.edgeDark;
        return lerp(pal.barTop, pal.barBottom, (y - StatusBandHeight - 1) / double(BottomBarHeight - StatusBandHeight - 4));
    case Ground::BottomHidden:
        if (y <= 0)
            return pal.innerDark;
        if (y == HiddenBarHeight - 2)
            return pal.edgeLight;
        if (y >= HiddenBarHeight - 1)
            return pal.edgeDark;
        return pal.frameMid;
    case Ground::TabStrip:
        if (y <= 0)
            return pal.innerDark;
        return lerp(pal.tabStrip.darker(115), pal.tabStrip, y / 17.0);
    case Ground::SidePane:
        return pal.sidePane;
    case Ground::Groove:
        return pal.groove;
    case Ground::Display:
        return pal.display;
    }
    return pal.frameMid;
}

// The side frame, from the outside in.
QColor frameColumn(const Palette& pal, int i)
{
    switch (i) {
    case 0: return pal.edgeDark;
    case 1: return pal.edgeLight;
    case 4: return pal.innerDark;
    default: return pal.frameMid;
    }
}

void fillGround(QImage& img, const Palette& pal, Ground g, int top)
{
    for (int y = 0; y < img.height(); ++y) {
        const QRgb c = groundRow(pal, g, top + y).rgb();
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, c);
    }
}

// Side borders of a bar piece: the outer two columns run down the bar; the
// row that meets the body carries the full frame pattern.
enum Side { LeftSide = 1, RightSide = 2 };

void bordersOfBar(QImage& img, const Palette& pal, int sides, int bodyRow)
{
    const int w = img.width();
    const int h = img.height();
    for (int y = 0; y < h; ++y) {
        const bool outerRow = (bodyRow == 0) ? (y == h - 1) : (y == 0);
        if (outerRow)
            continue; // the outer line runs across the whole piece
        for (int i = 0; i < 2; ++i) {
            if (sides & LeftSide)
                img.setPixel(i, y, frameColumn(pal, i).rgb());
            if (sides & RightSide)
                img.setPixel(w - 1 - i, y, frameColumn(pal, i).rgb());
        }
    }
    const int y = bodyRow < 0 ? h - 1 : bodyRow;
    for (int i = 0; i < 5 && i < w; ++i) {
        if (sides & LeftSide)
            img.setPixel(i, y, frameColumn(pal, i).rgb());
        if (sides & RightSide)
            img.setPixel(w - 1 - i, y, frameColumn(pal, i).rgb());
    }
}

// A recessed rounded panel (menu strip, show/hide pills) from x0 to x1.
void groovePanel(QPainter& p, const Palette& pal, double x0, double x1, double y0, double y1, double radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(pal.grooveDark);
    p.drawRoundedRect(QRectF(x0, y0, x1 - x0, y1 - y0), radius, radius);
    p.setBrush(pal.grooveLight);
    p.drawRoundedRect(QRectF(x0, y0 + 1, x1 - x0, y1 - y0 - 1), radius - 0.5, radius - 0.5);
    p.setBrush(pal.groove);
    p.drawRoundedRect(QRectF(x0, y0 + 1, x1 - x0, y1 - y0 - 2), radius - 0.5, radius - 0.5);
    p.restore();
}

constexpr double MenuPanelTop = 6;
constexpr double MenuPanelBottom = 26;
constexpr double PillRadius = 3;

// ---------------------------------------------------------------------------
// Button faces.

void face(QPainter& p, const Palette& pal, const QRectF& r, State s, double radius, bool subtleNormal)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient grad(r.topLeft(), r.bottomLeft());
    QColor border;
    switch (s) {
    case State::Disabled:
        p.restore();
        return;
    case State::Normal: {
        QColor top = pal.faceTop;
        QColor bottom = pal.faceBottom;
        if (subtleNormal) {
            top.setAlpha(90);
            bottom.setAlpha(40);
        }
        grad.setColorAt(0, top);
        grad.setColorAt(1, bottom);
        border = pal.faceBorder;
        border.setAlpha(subtleNormal ? 120 : 255);
        break;
    }
    case State::Hover:
    case State::Focus:
        grad.setColorAt(0, pal.hoverTop);
        grad.setColorAt(0.5, pal.hoverBottom);
        grad.setColorAt(1, lerp(pal.hoverBottom, pal.hoverTop, 0.5));
        border = s == State::Focus ? pal.accent.darker(130) : pal.hoverBorder.darker(140);
        break;
    case State::Pressed:
        grad.setColorAt(0, pal.pressedTop);
        grad.setColorAt(1, pal.pressedBottom);
        border = pal.edgeDark;
        break;
    }
    const QRectF box = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(border, 1.0));
    p.setBrush(grad);
    p.drawRoundedRect(box, radius, radius);
    if (s == State::Normal || s == State::Hover || s == State::Focus) {
        // A glassy sheen on the upper half.
        QColor sheen(255, 255, 255, s == State::Normal && subtleNormal ? 40 : 90);
        p.setPen(Qt::NoPen);
        p.setBrush(sheen);
        p.drawRoundedRect(QRectF(box.left() + 1, box.top() + 1, box.width() - 2, box.height() * 0.45), radius - 1,
                          radius - 1);
    }
    if (s == State::Pressed) {
        p.setPen(QPen(QColor(0, 0, 0, 70), 1.0));
        p.drawLine(QPointF(box.left() + 1.5, box.top() + 1.5), QPointF(box.right() - 1.5, box.top() + 1.5));
    }
    p.restore();
}

void glyphFor(QPainter& p, const Palette& pal, Glyph g, QRectF r, State s)
{
    QColor c = pal.glyph;
    if (s == State::Disabled)
        c = pal.disabledGlyph;
    if (s == State::Pressed)
        r.translate(0.7, 0.7);
    if (s != State::Disabled) {
        QColor shadow = pal.glyphShadow;
        shadow.setAlpha(s == State::Hover ? 200 : 140);
        drawGlyph(p, g, r.translated(0.8, 0.8), shadow, shadow);
    }
    const QColor accent = s == State::Disabled ? lerp(pal.disabledGlyph, pal.groove, 0.4) : pal.accent;
    drawGlyph(p, g, r, c, accent);
}

State stateOf(const Group& g, int id)
{
    const int k = (id - g.first) % std::max(1, g.states);
    switch (k) {
    case 1: return State::Hover;
    case 2: return State::Pressed;
    case 3: return State::Disabled;
    default: return State::Normal;
    }
}

void drawButton(QImage& img, const Palette& pal, const Group& g, int id)
{
    const State s = stateOf(g, id);
    const QRectF all(0, 0, img.width(), img.height());
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    switch (g.kind) {
    case Kind::NavButton:
        face(p, pal, all, s, 4, true);
        glyphFor(p, pal, g.glyph, all.adjusted(3, 3, -3, -3), s);
        break;
    case Kind::CaptionButton: {
        State look = s;
        face(p, pal, all.adjusted(0, 0, 0, 0), look, 3, true);
        if (g.glyph == Glyph::Close && s == State::Hover) {
            p.setPen(Qt::NoPen);
            p.setBrush(pal.signal);
            p.drawRoundedRect(all.adjusted(1.5, 1.5, -1.5, -1.5), 2.5, 2.5);
        }
        glyphFor(p, pal, g.glyph, all.adjusted(3, 3.5, -3, -3.5), s);
        break;
    }
    case Kind::QuickButton:
    case Kind::MediaTall:
        face(p, pal, all.adjusted(0, 2, 0, -3), s, 5, true);
        glyphFor(p, pal, g.glyph, QRectF(all.center().x() - 8.5, all.center().y() - 9, 17, 17), s);
        break;
    case Kind::GroupButton:
        face(p, pal, all.adjusted(0, 1, 0, -1), s, 4, true);
        glyphFor(p, pal, g.glyph, QRectF(all.center().x() - 6.5, 2.5, 13, 13), s);
        break;
    case Kind::MediaButton:
        face(p, pal, all, s, 4, true);
        glyphFor(p, pal, g.glyph, QRectF(all.center().x() - 7.5, 2.5, 15, 15), s);
        break;
    case Kind::ListButton: {
        face(p, pal, all, s, g.height >= 32 ? 6 : 3, true);
        const double inset = g.height >= 32 ? 4 : (g.height >= 20 ? 3 : 2);
        QRectF gr = all.adjusted(inset, inset, -inset, -inset);
        if (g.width > g.height)
            gr = QRectF(all.center().x() - (g.height - 2 * inset) / 2, inset, g.height - 2 * inset, g.height - 2 * inset);
        glyphFor(p, pal, g.glyph, gr, s);
        break;
    }
    case Kind::CloseTab: {
        // The tab number is written over the face; a small cross sits at its end.
        if (s == State::Normal) {
            QLinearGradient grad(0, 1, 0, img.height() - 1);
            grad.setColorAt(0, pal.display);
            grad.setColorAt(1, lerp(pal.display, pal.tabStrip, 0.5));
            p.setPen(QPen(pal.grooveDark, 1));
            p.setBrush(grad);
            p.drawRoundedRect(all.adjusted(0.5, 1.5, -0.5, -1.5), 4, 4);
        } else {
            face(p, pal, all.adjusted(0, 1, 0, -1), s, 4, false);
        }
        drawGlyph(p, Glyph::Close, QRectF(img.width() - 10.5, 5.5, 7, 7),
                  s == State::Hover ? pal.signal : pal.hoverBottom, pal.accent);
        break;
    }
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Single pieces.

void drawTopPiece(QImage& img, const Palette& pal, int id)
{
    const bool hidden = id == 109 || id == 111 || id == 118;
    fillGround(img, pal, hidden ? Ground::TopHidden : Ground::TopBar, 0);
    QPainter p(&img);
    const double w = img.width();
    switch (id) {
    case 104:
        p.end();
        bordersOfBar(img, pal, LeftSide, -1);
        p.begin(&img);
        groovePanel(p, pal, 9, w + 20, MenuPanelTop, MenuPanelBottom, PillRadius);
        break;
    case 105:
        groovePanel(p, pal, -20, w + 20, MenuPanelTop, MenuPanelBottom, PillRadius);
        break;
    case 106:
        groovePanel(p, pal, -20, w - 2, MenuPanelTop, MenuPanelBottom, PillRadius);
        break;
    case 108:
        p.end();
        bordersOfBar(img, pal, LeftSide, -1);
        p.begin(&img);
        groovePanel(p, pal, 9, 21, MenuPanelTop, MenuPanelBottom, PillRadius);
        break;
    case 109:
        p.end();
        bordersOfBar(img, pal, LeftSide, -1);
        return;
    case 110:
    case 111:
        p.end();
        bordersOfBar(img, pal, RightSide, -1);
        return;
    default:
        break;
    }
}

void drawBottomPiece(QImage& img, const Palette& pal, int id)
{
    const bool hidden = id == 113 || id == 116 || id == 121;
    fillGround(img, pal, hidden ? Ground::BottomHidden : Ground::BottomBar, 0);
    if (id == 112 || id == 113)
        bordersOfBar(img, pal, RightSide, 0);
    if (id == 114 || id == 115 || id == 116)
        bordersOfBar(img, pal, LeftSide, 0);
    if (id == 114 || id == 115) {
        QPainter p(&img);
        groovePanel(p, pal, 2.5, 12.5, 27, 43, PillRadius);
        if (id == 114) {
            // The media row is shown: a lit mark under the switch.
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setPen(QPen(pal.accent.lighter(130), 1.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(5, 41.5), QPointF(10, 41.5));
        }
    }
}

void drawSideEdge(QImage& img, const Palette& pal, bool left)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int i = left ? x : img.width() - 1 - x;
            img.setPixel(x, y, frameColumn(pal, std::min(i, 4)).rgb());
        }
}

void drawShowHide(QImage& img, const Palette& pal, const Group& g, int id)
{
    const bool hover = (id - g.first) == 1;
    const int w = img.width();
    const int h = img.height();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QColor glyph = hover ? pal.hoverBottom.lighter(115) : lerp(pal.glyph, pal.groove, 0.25);
    if (w == 6) {
        // Small switches sit inside a groove pill.
        img.fill(pal.groove);
        drawGlyph(p, g.glyph, QRectF(-1, 1, 8, 8), glyph, glyph);
        return;
    }
    if (h == 8) {
        // A pull tab in the thin strip of a hidden bar.
        const bool top = g.glyph == Glyph::TriDown;
        p.end();
        fillGround(img, pal, top ? Ground::TopHidden : Ground::BottomHidden, 0);
        p.begin(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        const QRectF tab = top ? QRectF(0.5, 1.5, w - 1, h - 1.5) : QRectF(0.5, 0, w - 1, h - 1.5);
        face(p, pal, tab, hover ? State::Hover : State::Normal, 2, false);
        drawGlyph(p, g.glyph, QRectF(w / 2.0 - 4, top ? 1.5 : 0.5, 8, 6), hover ? pal.glyphShadow : pal.glyph,
                  pal.accent);
        return;
    }
    // A tall tab on the left frame.
    p.end();
    img.fill(pal.frameMid);
    for (int y = 0; y < h; ++y)
        img.setPixel(0, y, pal.edgeDark.rgb());
    p.begin(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    face(p, pal, QRectF(1, 0.5, w - 1, h - 1), hover ? State::Hover : State::Normal, 2.5, false);
    drawGlyph(p, g.glyph, QRectF(0.5, h / 2.0 - 4, 7, 8), hover ? pal.glyphShadow : pal.glyph, pal.accent);
}

void drawBusy(QImage& img, const Palette& pal, int id)
{
    fillGround(img, pal, Ground::BottomBar, 3);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c(6, 6);
    switch (id) {
    case 149: { // idle: a calm lamp
        QRadialGradient lamp(QPointF(5, 4.5), 6);
        lamp.setColorAt(0, pal.go.lighter(170));
        lamp.setColorAt(1, pal.go);
        p.setPen(QPen(pal.edgeDark, 0.8));
        p.setBrush(lamp);
        p.drawEllipse(c, 4.6, 4.6);
        break;
    }
    case 150: // loading or playing: a ring of dots fading round
        for (int i = 0; i < 8; ++i) {
            QColor d = pal.hoverBottom.lighter(110);
            d.setAlpha(60 + i * 24);
            const double a = i * M_PI / 4;
            p.setPen(Qt::NoPen);
            p.setBrush(d);
            p.drawEllipse(QPointF(c.x() + 4 * std::cos(a), c.y() + 4 * std::sin(a)), 1.4, 1.4);
        }
        break;
    case 151: // paused
        p.fillRect(QRectF(3, 2.5, 2.4, 7), pal.hoverTop);
        p.fillRect(QRectF(6.6, 2.5, 2.4, 7), pal.hoverTop);
        break;
    default: // stopped
        p.setPen(QPen(pal.edgeDark, 0.8));
        p.setBrush(pal.signal);
        p.drawRoundedRect(QRectF(2.5, 2.5, 7, 7), 1.5, 1.5);
        break;
    }
}

void drawDisplay(QImage& img, const Palette& pal, Ground ground, int groundTop, double offsetX, double fullWidth)
{
    fillGround(img, pal, ground, groundTop);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF box(offsetX + 0.5, 0.5, fullWidth - 1, img.height() - 1);
    QLinearGradient grad(box.topLeft(), box.bottomLeft());
    grad.setColorAt(0, pal.display);
    grad.setColorAt(1, lerp(pal.display, pal.groove, 0.45));
    p.setPen(QPen(pal.grooveDark, 1));
    p.setBrush(grad);
    p.drawRoundedRect(box, 4, 4);
    p.setPen(QPen(QColor(255, 255, 255, 50), 1));
    p.drawLine(QPointF(box.left() + 3, box.bottom() - 0.5), QPointF(box.right() - 3, box.bottom() - 0.5));
}

void drawDelayButton(QImage& img, const Palette& pal, const Group& g, int id)
{
    const State s = stateOf(g, id);
    const bool left = g.glyph == Glyph::Minus;
    drawDisplay(img, pal, Ground::BottomBar, MediaRowTop, left ? 0 : -(80 - img.width()), 80);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF pad = QRectF(left ? 2 : 1, 2, img.width() - 3, img.height() - 4);
    if (s == State::Hover) {
        QColor glow = pal.hoverBottom;
        glow.setAlpha(70);
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawRoundedRect(pad, 3, 3);
    } else if (s == State::Pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawRoundedRect(pad, 3, 3);
    }
    const QColor c = s == State::Hover ? pal.hoverTop : (s == State::Pressed ? pal.accent : pal.hoverBottom);
    QRectF gr(img.width() / 2.0 - 5, img.height() / 2.0 - 5, 10, 10);
    if (s == State::Pressed)
        gr.translate(0.5, 0.5);
    drawGlyph(p, g.glyph == Glyph::Minus ? Glyph::TriLeft : Glyph::TriRight, gr, c, c);
}

void drawKnob(QImage& img, const Palette& pal, const Group& g, int id)
{
    const State s = stateOf(g, id);
    fillGround(img, pal, Ground::BottomBar, KnobTop);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient grad(0, 0, 0, img.height());
    if (s == State::Pressed) {
        grad.setColorAt(0, pal.accent.darker(130));
        grad.setColorAt(1, pal.accent);
    } else if (s == State::Hover) {
        grad.setColorAt(0, pal.hoverTop);
        grad.setColorAt(1, pal.hoverBottom);
    } else {
        grad.setColorAt(0, pal.faceTop);
        grad.setColorAt(1, pal.faceBottom);
    }
    p.setPen(QPen(pal.edgeDark, 1));
    p.setBrush(grad);
    p.drawRoundedRect(QRectF(0.5, 0.5, img.width() - 1, img.height() - 1), 2, 2);
    p.setPen(QPen(s == State::Pressed ? pal.hoverTop : pal.innerDark, 1));
    p.drawLine(QPointF(4, 2), QPointF(4, img.height() - 2));
}

void drawTrack(QImage& img, const Palette& pal, int id)
{
    fillGround(img, pal, Ground::BottomBar, MediaRowTop);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const bool empty = id == 411 || id == 416;
    const QColor fill = empty ? lerp(pal.groove, pal.disabledGlyph, 0.3) : pal.accent;
    if (id == 411 || id == 412) {
        // Volume: a wedge that grows to the right.
        QPainterPath wedge;
        wedge.moveTo(3.5, 12.5);
        wedge.lineTo(56.5, 12.5);
        wedge.lineTo(56.5, 3.5);
        wedge.closeSubpath();
        p.fillPath(wedge, pal.groove);
        QLinearGradient grad(3, 0, 57, 0);
        grad.setColorAt(0, lerp(fill, pal.groove, 0.6));
        grad.setColorAt(1, fill);
        if (!empty)
            p.fillPath(wedge, grad);
        p.strokePath(wedge, QPen(pal.grooveDark, 1));
        p.setPen(QPen(pal.grooveLight, 1));
        p.drawLine(QPointF(4, 13.5), QPointF(56, 13.5));
    } else {
        // Position: a groove with a fine scale of ticks.
        QRectF groove(3.5, 7.5, 53, 4);
        p.setPen(QPen(pal.grooveDark, 1));
        p.setBrush(empty ? pal.groove : lerp(pal.groove, fill, 0.55));
        p.drawRoundedRect(groove, 2, 2);
        p.setPen(QPen(empty ? pal.groove : pal.grooveLight, 1));
        for (int i = 0; i <= 10; ++i) {
            const double x = 4 + i * 5.2;
            p.drawLine(QPointF(x, 14), QPointF(x, i % 5 == 0 ? 16.5 : 15.2));
        }
    }
}

void drawColourBar(QImage& img, const Palette& pal)
{
    static const char* const cells[26] = {
        "white", "lightyellow", "lightcyan", "yellow", "lightblue", "lightgrey", "lightpink",
        "gold", "lightgreen", "silver", "lightsteelblue", "lightskyblue", "cyan", "violet",
        "orange", "lightcoral", "lightseagreen", "gray", "magenta", "brown", "green",
        "red", "maroon", "blue", "navy", "black"};
    img.fill(pal.innerDark);
    QPainter p(&img);
    const int cw = img.width() / 26;
    for (int i = 0; i < 26; ++i) {
        const QRect cell(i * cw + 1, 1, cw - 1, img.height() - 2);
        p.fillRect(cell, QColor::fromString(QLatin1String(cells[i])));
        p.fillRect(QRect(cell.left(), cell.top(), cell.width(), 1), QColor(255, 255, 255, 70));
    }
}

void drawTab(QImage& img, const Palette& pal, int id)
{
    fillGround(img, pal, Ground::TabStrip, 0);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF r(0.5, 1.5, img.width() - 1, img.height() - 1);
    QPainterPath shape;
    shape.moveTo(r.left(), r.bottom() + 1);
    shape.lineTo(r.left(), r.top() + 4);
    shape.quadTo(r.left(), r.top(), r.left() + 4, r.top());
    shape.lineTo(r.right() - 4, r.top());
    shape.quadTo(r.right(), r.top(), r.right(), r.top() + 4);
    shape.lineTo(r.right(), r.bottom() + 1);
    QLinearGradient grad(r.topLeft(), r.bottomLeft());
    QColor border = pal.innerDark;
    switch (id) {
    case 399: // current
        grad.setColorAt(0, pal.barTop);
        grad.setColorAt(1, pal.barBottom);
        border = pal.edgeDark;
        break;
    case 401: // hover
        grad.setColorAt(0, lerp(pal.hoverBottom, pal.barBottom, 0.35));
        grad.setColorAt(1, lerp(pal.hoverBottom, pal.barBottom, 0.75));
        break;
    case 402: // pressed
        grad.setColorAt(0, pal.pressedTop);
        grad.setColorAt(1, pal.pressedBottom);
        border = pal.edgeDark;
        break;
    default: // another tab
        grad.setColorAt(0, lerp(pal.tabStrip, pal.barBottom, 0.5));
        grad.setColorAt(1, pal.tabStrip);
        break;
    }
    p.fillPath(shape, grad);
    p.strokePath(shape, QPen(border, 1));
    if (id == 399) {
        p.setPen(QPen(pal.accent.lighter(125), 2));
        p.drawLine(QPointF(4, 2.5), QPointF(img.width() - 4, 2.5));
    }
}

void drawPageIcon(QImage& img, const Palette& pal)
{
    img.fill(pal.addressBack);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath sheet;
    sheet.moveTo(2.5, 1.5);
    sheet.lineTo(10.5, 1.5);
    sheet.lineTo(13.5, 4.5);
    sheet.lineTo(13.5, 14.5);
    sheet.lineTo(2.5, 14.5);
    sheet.closeSubpath();
    p.fillPath(sheet, QColor(0xFB, 0xFC, 0xFF));
    p.strokePath(sheet, QPen(pal.edgeDark, 1));
    QRadialGradient globe(QPointF(7, 8), 4.5);
    globe.setColorAt(0, pal.hoverBottom.lighter(120));
    globe.setColorAt(1, pal.accent.darker(120));
    p.setPen(Qt::NoPen);
    p.setBrush(globe);
    p.drawEllipse(QPointF(8, 9.5), 3.6, 3.6);
    p.setPen(QPen(QColor(255, 255, 255, 180), 0.7));
    p.drawLine(QPointF(4.6, 9.5), QPointF(11.4, 9.5));
    p.drawEllipse(QPointF(8, 9.5), 1.6, 3.4);
}

void drawTabNumberBox(QImage& img, const Palette& pal)
{
    fillGround(img, pal, Ground::TopBar, NavRowTop);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(pal.grooveDark, 1));
    p.setBrush(pal.addressBack);
    p.drawRoundedRect(QRectF(0.5, 0.5, img.width() - 1, img.height() - 1), 4, 4);
    p.setPen(QPen(pal.grooveLight, 1));
    p.drawLine(QPointF(4, img.height() - 1.5), QPointF(img.width() - 4, img.height() - 1.5));
}

void drawDropDown(QImage& img, const Palette& pal, const Group& g, int id)
{
    const State s = stateOf(g, id);
    img.fill(pal.addressBack);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF r(0.5, 1.5, img.width() - 1.5, img.height() - 3);
    if (s != State::Normal)
        face(p, pal, r, s, 3, false);
    p.setPen(QPen(lerp(pal.addressBack, pal.grooveDark, 0.6), 1));
    if (s == State::Normal)
        p.drawLine(QPointF(0.5, 3), QPointF(0.5, img.height() - 3));
    QRectF gr(img.width() / 2.0 - 4, img.height() / 2.0 - 3.5, 8, 8);
    if (s == State::Pressed)
        gr.translate(0.5, 0.5);
    drawGlyph(p, Glyph::TriDown, gr, s == State::Hover ? pal.glyphShadow : pal.glyph, pal.accent);
}

void drawPiece(QImage& img, const Palette& pal, int id)
{
    switch (id) {
    case 103: // a spare left edge of a 29 pixel bar
        drawSideEdge(img, pal, true);
        return;
    case 104: case 105: case 106: case 107: case 108: case 109: case 110: case 111: case 117: case 118:
        drawTopPiece(img, pal, id);
        return;
    case 112: case 113: case 114: case 115: case 116: case 120: case 121:
        drawBottomPiece(img, pal, id);
        return;
    case 119:
        drawSideEdge(img, pal, false);
        return;
    case 122:
        drawSideEdge(img, pal, true);
        return;
    case 123:
    case 124: {
        // Outer corners: the frame lines turn round.
        img.fill(pal.frameMid);
        for (int i = 0; i < 5; ++i) {
            const bool right = id == 124;
            img.setPixel(right ? 4 : 0, i, pal.edgeDark.rgb());
            img.setPixel(i, 0, pal.edgeDark.rgb());
            if (i > 0) {
                img.setPixel(right ? 3 : 1, i, pal.edgeLight.rgb());
                img.setPixel(right ? std::min(i, 3) : std::max(i, 1), 1, pal.edgeLight.rgb());
            }
        }
        return;
    }
    case 125: // splitter: rows repeat, so it stretches in height
        for (int y = 0; y < img.height(); ++y) {
            const QColor cols[8] = {pal.innerDark, pal.edgeLight, pal.frameMid, pal.barTop,
                                    pal.barTop,    pal.frameMid,  pal.frameMid, pal.innerDark};
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, cols[x].rgb());
        }
        return;
    case 128:
        drawDisplay(img, pal, Ground::BottomBar, MediaRowTop, 0, img.width());
        return;
    case 129:
        drawTabNumberBox(img, pal);
        return;
    case 130:
        drawDisplay(img, pal, Ground::BottomBar, MediaRowTop, 0, img.width());
        return;
    case 131:
        drawColourBar(img, pal);
        return;
    case 132:
        fillGround(img, pal, Ground::TabStrip, 0);
        return;
    case 203:
        drawPageIcon(img, pal);
        return;
    case 411: case 412: case 416: case 417:
        drawTrack(img, pal, id);
        return;
    default:
        img.fill(pal.frameMid);
        return;
    }
}

Ground groundOf(Kind k)
{
    switch (k) {
    case Kind::NavButton:
    case Kind::CaptionButton:
        return Ground::TopBar;
    case Kind::ListButton:
        return Ground::SidePane;
    default:
        return Ground::BottomBar;
    }
}

int groundTopOf(Kind k)
{
    switch (k) {
    case Kind::NavButton:
    case Kind::CaptionButton:
        return NavRowTop;
    case Kind::QuickButton:
    case Kind::MediaTall:
        return QuickRowTop;
    case Kind::MediaButton:
        return MediaRowTop;
    default:
        return 0;
    }
}

// Reduces a picture to at most 256 colours, exactly when it has no more.
QImage toIndexed8(const QImage& rgb)
{
    for (int shift = 0; shift < 8; ++shift) {
        const uint mask = (0xFFu << shift) & 0xFFu;
        QHash<QRgb, int> index;
        QList<QRgb> table;
        bool fits = true;
        QImage out(rgb.size(), QImage::Format_Indexed8);
        out.setColorCount(256);
        for (int y = 0; y < rgb.height() && fits; ++y)
            for (int x = 0; x < rgb.width(); ++x) {
                const QRgb c = rgb.pixel(x, y);
                const QRgb q = qRgb(int(qRed(c) & mask), int(qGreen(c) & mask), int(qBlue(c) & mask));
                auto it = index.constFind(q);
                if (it == index.constEnd()) {
                    if (table.size() == 256) {
                        fits = false;
                        break;
                    }
                    it = index.insert(q, int(table.size()));
                    table.append(q);
                }
                out.setPixel(x, y, uint(*it));
            }
        if (fits) {
            out.setColorTable(table);
            return out;
        }
    }
    return rgb.convertToFormat(QImage::Format_Indexed8);
}

QImage finish(const QImage& drawn, int depth)
{
    const QImage rgb = drawn.convertToFormat(QImage::Format_RGB888);
    return depth == 8 ? toIndexed8(drawn.convertToFormat(QImage::Format_RGB32)) : rgb;
}

} // namespace

const std::vector<PictureSpec>& pictureTable()
{
    static const std::vector<PictureSpec> table = [] {
        std::vector<PictureSpec> v;
        for (const auto& [id, e] : entries())
            v.push_back(e.spec);
        return v;
    }();
    return table;
}

const PictureSpec* findPicture(int id)
{
    const auto& m = entries();
    const auto it = m.find(id);
    return it == m.end() ? nullptr : &it->second.spec;
}

std::optional<QImage> drawSkinPicture(Skin skin, int id)
{
    const auto& m = entries();
    const auto it = m.find(id);
    if (it == m.end())
        return std::nullopt;
    const Entry& e = it->second;
    const Palette& pal = paletteOf(skin);
    QImage img(e.spec.width, e.spec.height, QImage::Format_ARGB32_Premultiplied);
    img.fill(groundRow(pal, groundOf(e.group->kind), 0));
    switch (e.group->kind) {
    case Kind::Piece:
        drawPiece(img, pal, id);
        break;
    case Kind::ShowHide:
        drawShowHide(img, pal, *e.group, id);
        break;
    case Kind::Busy:
        drawBusy(img, pal, id);
        break;
    case Kind::Tab:
        drawTab(img, pal, id);
        break;
    case Kind::DropDown:
        drawDropDown(img, pal, *e.group, id);
        break;
    case Kind::DelayButton:
        drawDelayButton(img, pal, *e.group, id);
        break;
    case Kind::Knob:
        drawKnob(img, pal, *e.group, id);
        break;
    case Kind::CloseTab:
    case Kind::GroupButton:
        fillGround(img, pal, Ground::BottomBar, 0);
        drawButton(img, pal, *e.group, id);
        break;
    default:
        fillGround(img, pal, groundOf(e.group->kind), groundTopOf(e.group->kind));
        drawButton(img, pal, *e.group, id);
        break;
    }
    return finish(img, e.spec.bitDepth);
}

// ---------------------------------------------------------------------------
// The browser's own resources.

namespace {

const QString Bitmap = QStringLiteral("BITMAP");
const QString Message = QStringLiteral("MESSAGE");

QImage pushButtonFace(int w, int h, State s, Glyph g)
{
    const Palette& pal = programPalette();
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(0xEC, 0xEC, 0xEC));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF box(0.5, 0.5, w - 1, h - 1);
    QLinearGradient grad(box.topLeft(), box.bottomLeft());
    QColor border = pal.barBottom;
    switch (s) {
    case State::Hover:
        grad.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
        grad.setColorAt(0.5, pal.hoverTop);
        grad.setColorAt(1, pal.hoverBottom);
        border = pal.accent.darker(110);
        break;
    case State::Pressed:
        grad.setColorAt(0, pal.faceBottom);
        grad.setColorAt(1, pal.hoverTop);
        border = pal.edgeDark;
        break;
    default:
        grad.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
        grad.setColorAt(0.5, QColor(0xF1, 0xF4, 0xFA));
        grad.setColorAt(1, lerp(QColor(0xE2, 0xE8, 0xF3), pal.faceBottom, 0.2));
        break;
    }
    p.setPen(QPen(border, 1));
    p.setBrush(grad);
    p.drawRoundedRect(box, 3, 3);
    if (s == State::Focus) {
        p.setPen(QPen(pal.accent, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(box.adjusted(1.2, 1.2, -1.2, -1.2), 2, 2);
    }
    if (s == State::Pressed) {
        p.setPen(QPen(QColor(0, 0, 0, 60), 1));
        p.drawLine(QPointF(3, 1.5), QPointF(w - 3, 1.5));
    }
    if (g != Glyph::None) {
        QRectF gr(w / 2.0 - 8, h / 2.0 - 8, 16, 16);
        if (s == State::Pressed)
            gr.translate(0.5, 0.5);
        drawGlyph(p, g, gr, pal.barBottom.darker(130), QColor(0xFF, 0xE2, 0x8A));
    }
    return img;
}

QImage ruleImage(int w, int h)
{
    const Palette& pal = programPalette();
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    const QColor rows[3] = {pal.barBottom, pal.accent.lighter(120), QColor(0xFF, 0xFF, 0xFF)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, rows[std::min(y, 2)].rgb());
    return img;
}

QImage aboutOkImage(int w, int h, State s)
{
    const Palette& pal = programPalette();
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(0xFF, 0xFF, 0xFF));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QRadialGradient grad(QPointF(w * 0.4, h * 0.35), w * 0.6);
    if (s == State::Hover) {
        grad.setColorAt(0, pal.hoverTop);
        grad.setColorAt(1, pal.accent);
    } else if (s == State::Pressed) {
        grad.setColorAt(0, pal.barBottom);
        grad.setColorAt(1, pal.edgeDark);
    } else {
        grad.setColorAt(0, pal.faceTop);
        grad.setColorAt(1, pal.barBottom);
    }
    p.setPen(QPen(pal.edgeDark, 1));
    p.setBrush(grad);
    p.drawEllipse(QRectF(0.5, 0.5, w - 1, h - 1));
    QRectF gr(3, 3, w - 6, h - 6);
    if (s == State::Pressed)
        gr.translate(0.5, 0.5);
    drawGlyph(p, Glyph::Check, gr, QColor(0xFF, 0xFF, 0xFF), pal.accent);
    return img;
}

QImage messageIcon(int id)
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    const QRectF r(0, 0, 32, 32);
    switch (id) {
    case 101:
        drawGlyph(p, Glyph::Warning, r, QColor(0x3A, 0x2A, 0x00), QColor(0xFF, 0xC8, 0x2E));
        break;
    case 102:
        drawGlyph(p, Glyph::Question, r, QColor(0xFF, 0xFF, 0xFF), QColor(0x3E, 0x74, 0xC9));
        break;
    case 103:
        drawGlyph(p, Glyph::Error, r, QColor(0xFF, 0xFF, 0xFF), QColor(0xD2, 0x33, 0x2B));
        break;
    default:
        drawGlyph(p, Glyph::Info, r, QColor(0xFF, 0xFF, 0xFF), QColor(0x5E, 0x7B, 0xB7));
        break;
    }
    return img;
}

// A single-image ICO file: 32-bit colour with alpha plus the AND mask.
QByteArray icoBytes(const QImage& icon)
{
    const QImage img = icon.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width();
    const int h = img.height();
    const int maskStride = ((w + 31) / 32) * 4;
    const quint32 dibSize = 40 + quint32(w * h * 4) + quint32(maskStride * h);
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    auto u16 = [&buf](quint16 v) { v = qToLittleEndian(v); buf.write(reinterpret_cast<const char*>(&v), 2); };
    auto u32 = [&buf](quint32 v) { v = qToLittleEndian(v); buf.write(reinterpret_cast<const char*>(&v), 4); };
    u16(0);
    u16(1); // icon
    u16(1); // one image
    buf.putChar(char(w >= 256 ? 0 : w));
    buf.putChar(char(h >= 256 ? 0 : h));
    buf.putChar(0);
    buf.putChar(0);
    u16(1);
    u16(32);
    u32(dibSize);
    u32(6 + 16);
    // BITMAPINFOHEADER; the height counts the colour rows and the mask rows.
    u32(40);
    u32(quint32(w));
    u32(quint32(h * 2));
    u16(1);
    u16(32);
    u32(0);
    u32(quint32(w * h * 4) + quint32(maskStride * h));
    u32(0);
    u32(0);
    u32(0);
    u32(0);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x)
            u32(line[x]); // BGRA in memory order on little endian
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        buf.write(row);
    }
    return out;
}

QByteArray bmpBytes(const QImage& img)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.convertToFormat(QImage::Format_RGB888).save(&buf, "BMP");
    return out;
}

} // namespace

const std::vector<ResourceSpec>& programResourceTable()
{
    static const std::vector<ResourceSpec> table = {
        {Message, 101, 32, 32, QStringLiteral("message icon, exclamation")},
        {Message, 102, 32, 32, QStringLiteral("message icon, question")},
        {Message, 103, 32, 32, QStringLiteral("message icon, error")},
        {Message, 104, 32, 32, QStringLiteral("message icon, information")},
        {Bitmap, 101, 100, 23, QStringLiteral("push button, normal")},
        {Bitmap, 102, 100, 23, QStringLiteral("push button, hover")},
        {Bitmap, 103, 100, 23, QStringLiteral("push button, focus")},
        {Bitmap, 104, 100, 23, QStringLiteral("push button, pressed")},
        {Bitmap, 105, 32, 21, QStringLiteral("browse button, normal")},
        {Bitmap, 106, 32, 21, QStringLiteral("browse button, hover")},
        {Bitmap, 107, 32, 21, QStringLiteral("browse button, focus")},
        {Bitmap, 108, 32, 21, QStringLiteral("browse button, pressed")},
        {Bitmap, 109, 32, 21, QStringLiteral("current page button, normal")},
        {Bitmap, 110, 32, 21, QStringLiteral("current page button, hover")},
        {Bitmap, 111, 32, 21, QStringLiteral("current page button, focus")},
        {Bitmap, 112, 32, 21, QStringLiteral("current page button, pressed")},
        {Bitmap, 120, 290, 3, QStringLiteral("rule")},
        {Bitmap, 124, 20, 20, QStringLiteral("about box OK, normal")},
        {Bitmap, 125, 20, 20, QStringLiteral("about box OK, hover")},
        {Bitmap, 126, 20, 20, QStringLiteral("about box OK, pressed")},
    };
    return table;
}

std::optional<QImage> drawProgramResource(const QString& type, int id)
{
    const ResourceSpec* spec = nullptr;
    for (const ResourceSpec& r : programResourceTable())
        if (r.id == id && r.type.compare(type, Qt::CaseInsensitive) == 0)
            spec = &r;
    if (!spec)
        return std::nullopt;
    if (spec->type == Message)
        return messageIcon(id);
    static const State four[] = {State::Normal, State::Hover, State::Focus, State::Pressed};
    if (id >= 101 && id <= 104)
        return pushButtonFace(spec->width, spec->height, four[id - 101], Glyph::None);
    if (id >= 105 && id <= 108)
        return pushButtonFace(spec->width, spec->height, four[id - 105], Glyph::Browse);
    if (id >= 109 && id <= 112)
        return pushButtonFace(spec->width, spec->height, four[id - 109], Glyph::CurrentPage);
    if (id == 120)
        return ruleImage(spec->width, spec->height);
    static const State three[] = {State::Normal, State::Hover, State::Pressed};
    return aboutOkImage(spec->width, spec->height, three[id - 124]);
}

std::optional<QByteArray> programResourceBytes(const QString& type, int id)
{
    const std::optional<QImage> img = drawProgramResource(type, id);
    if (!img)
        return std::nullopt;
    if (type.compare(Message, Qt::CaseInsensitive) == 0)
        return icoBytes(*img);
    return bmpBytes(*img);
}

namespace {

QImage removalToolIcon()
{
    const Palette& pal = programPalette();
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient grad(QPointF(0, 0), QPointF(0, 32));
    grad.setColorAt(0, pal.faceTop);
    grad.setColorAt(1, pal.barBottom);
    p.setPen(QPen(pal.edgeDark, 1));
    p.setBrush(grad);
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    drawGlyph(p, Glyph::Delete, QRectF(5, 5, 22, 22), QColor(0xFF, 0xFF, 0xFF), pal.signal);
    return img;
}

} // namespace

const std::vector<ResourceSpec>& removalToolResourceTable()
{
    static const std::vector<ResourceSpec> table = {
        {QStringLiteral("ICON"), 1, 32, 32, QStringLiteral("program icon")},
        {Bitmap, 101, 290, 3, QStringLiteral("separator strip")},
        {Bitmap, 102, 100, 23, QStringLiteral("push button, normal")},
        {Bitmap, 103, 100, 23, QStringLiteral("push button, hover")},
        {Bitmap, 104, 100, 23, QStringLiteral("push button, focus")},
        {Bitmap, 105, 100, 23, QStringLiteral("push button, pressed")},
    };
    return table;
}

std::optional<QImage> drawRemovalToolResource(const QString& type, int id)
{
    const ResourceSpec* spec = nullptr;
    for (const ResourceSpec& r : removalToolResourceTable())
        if (r.id == id && r.type.compare(type, Qt::CaseInsensitive) == 0)
            spec = &r;
    if (!spec)
        return std::nullopt;
    if (spec->type != Bitmap)
        return removalToolIcon();
    static const State four[] = {State::Normal, State::Hover, State::Focus, State::Pressed};
    const QImage img = id == 101 ? ruleImage(spec->width, spec->height)
                                 : pushButtonFace(spec->width, spec->height, four[id - 102], Glyph::None);
    return img.convertToFormat(QImage::Format_RGB888);
}

} // namespace skinart
