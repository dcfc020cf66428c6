#pragma once

// A headless test aid for process runs: PLATFORM_DRIVE_DIR=<dir> lets a test
// drive the running program with input that takes the path a user's mouse
// and keyboard take (through the window system into the windows), and read
// back what the windows show.
//
// A file "do-NAME" placed in that folder holds commands, one a line, fields
// separated by TAB. The program takes the file away, runs the commands in
// order from its event loop, also while a modal window, a menu or a prompt
// is open (a command that opens one does not hold up the next), and once the
// last one was delivered and the events it caused have run, writes one
// answer line per command to "NAME.txt" (atomically). An answer is "ok", a
// state line, or "error: " and the reason; the later commands still run.
//
// A window is named by its caption, "*" for the active window; a control by
// its name, with its index in brackets in a control array ("cmdTab(3)").
//   click  WINDOW CONTROL [X Y]  the left button pressed and released at the
//                                control's centre, or X Y pixels inside it
//   row    WINDOW CONTROL N      a click on row N (from 1) of a list view
//   choose WINDOW CONTROL TEXT   a click that opens a combo box's list, then
//                                a click on its entry TEXT
//   menu   LEVEL N               a click on item N (from 0) of the menu
//                                window LEVEL (the root 0), once it shows
//                                (at most 20 s)
//   key    WINDOW KEY [MS]       a key ("F3", "Escape", "Ctrl+A") pressed in
//                                the window, held MS milliseconds (at most
//                                5000), released
//   type   WINDOW TEXT           each character pressed and released
//   wait   WINDOW                until a shown window of that caption
//                                exists, at most 20 s
//   state  WINDOW CONTROL        "enabled TAB visible TAB value TAB text": a
//                                check box's or option button's value, a
//                                combo box's list index, a list view's row
//                                count; a text box's text as it shows, a
//                                label's caption, a list view's rows joined
//                                by " ; ", a combo box's entry
//   shot   WINDOW FILE           the window grabbed into a PNG file
// Without the variable nothing happens.

namespace platform::inputdriver {

void install();

} // namespace platform::inputdriver
