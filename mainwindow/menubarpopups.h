#pragma once

// Small mechanisms between the skinned chrome and the popups: captions drawn
// on the tab buttons, the menu bar that follows the pointer from caption to
// caption while a menu is open, and clicks seen in the browser area.

#include <QString>

#include <cstdint>

class frmExplorer;

namespace platform::forms {
class Control;
class PictureBox;
}

// Draws text on a tab button or the close-tab button as plain text; an
// empty text without clearOnly repeats the button's last caption (kept in
// its Tag), with clearOnly it blanks the button and forgets the caption.
void PaintTabButtonCaption(platform::forms::PictureBox& button, const QString& text, bool clearOnly);

// The pointer lies over the control, its right and bottom edges included.
bool IsCursorOnControl(const platform::forms::Control& control);

// The press of menu-bar caption index: the window enters menu-bar mode and
// the menus open that caption's menu.
void PressMenuBarCaption(frmExplorer& f, int index, int button = 1, int shift = 0);

// Application-timer ticks while a popup of the window is showing: while it
// tracks, a pointer on another caption closes it and opens that caption's
// menu once the popup's loop has returned; once it has closed, the menu
// bar returns to normal.
void RollOverMenuBar(frmExplorer& f);
void EndMenuBarMode(frmExplorer& f);

// A press of the left (2) or right (3) button seen in the browser area: the
// click is recorded in UserClickState and, in multi-view, the tab of the
// pane under the pointer becomes the current tab.
void HandleBrowserClick(frmExplorer& f, int code);
