#pragma once

// A headless test aid for process runs. Environment variables:
// - PLATFORM_SHOT_FILE=<png>: the first top-level window that becomes
//   visible is grabbed into that file once it has painted;
// - PLATFORM_SHOT_DELAY_MS=<n>: the grab is taken n milliseconds (at most a
//   minute) after the window was first seen shown, so that pages can load;
// - PLATFORM_LAYOUT_FILE=<txt>: at the moment of the grab, the window (as
//   "(window)") and every control of
//   that window is written to the file, one line each:
//   name(index) TAB own Visible flag TAB shown (0/1) TAB Left Top Width Height
//   in twips TAB x y width height in pixels of the window;
// - PLATFORM_EXIT_AFTER_SHOT=1: the application then quits;
// - PLATFORM_CLOSE_AFTER_MS=<n>: n milliseconds after the grab the window
//   gets the window manager's close request, as a user closing it would.
// - PLATFORM_PROBE_DIR=<dir>: while the program runs, a file "ask-NAME"
//   placed in that folder is answered (within about 100 ms, also while a
//   menu or a prompt is open) with "NAME.txt": the layout lines above for the
//   program's main form (its largest form, shown or hidden), then
//   "(shown)" TAB 0/1 for that window, "(text)" TAB name TAB text for every
//   label and text box, "(menus)" TAB 1/0 (a popup menu is tracking) TAB the
//   number of menu windows, "(popup)" TAB x y width height per menu window,
//   "(item)" TAB level TAB index TAB x y width height per item that shows,
//   "(tooltip)" TAB the text of a tooltip on the screen, "(focus)" TAB the
//   object name of the focus widget. The ask file is then removed.
// Without the variables nothing happens.

namespace platform::shotonshow {

void install();

} // namespace platform::shotonshow
