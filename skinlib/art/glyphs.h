#pragma once

// The symbols drawn on buttons, each designed on a 24 x 24 grid and scaled
// into the rectangle it is given.

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace skinart {

enum class Glyph {
    None,
    // Browsing.
    Back, Forward, Stop, Refresh, Star, Clock, UpLevel, Go, TabList, Home, Search, Folder, Mail, Help,
    // Window.
    Move, Minimize, Maximize, Restore, Close,
    // Tabs.
    CloseTabMenu, GoToTabMenu, NextTab, PrevTab,
    // Media.
    MediaMenu, ListCycle, Play, Pause, Rewind, Previous, StopSquare, Next, FastForward,
    FullScreen, ExitFullScreen, Fit, ZoomOut, ZoomIn, Minus, Plus,
    // Lists.
    MenuLines, Note, Film, Picture, Snippet, Link, Download,
    AddFolder, AddFiles, AddLinks, AddManual, AddImages, AddPageAddress, AddSnippet,
    LinksAudio, LinksVideo, LinksImage, LinksAll, LinksExe,
    Delete, DownloadAll, DownloadSelected, DownloadSetup, ViewAll, ViewSelected, Merge, ViewSetup,
    SortAsc, SortDesc, MoveUp, MoveDown, Remove, Clear,
    // Messages and dialogs.
    Warning, Question, Error, Info, Browse, CurrentPage, Check,
    // Plain triangles.
    TriLeft, TriRight, TriUp, TriDown,
};

// Draws the glyph centred in r, in colour c (the glyph's own accent colours
// are derived from c where a glyph needs more than one).
void drawGlyph(QPainter& p, Glyph g, const QRectF& r, const QColor& c, const QColor& accent);

} // namespace skinart
