#pragma once

// The window's timers: AppTimer(0) sequences the first tick and then does
// the 100 ms housekeeping; (2) watches the players for the end of an item;
// (3), (4), (5) step the image, web-snippet and link slide shows.

#include <cstdint>

class frmExplorer;

void AppTimer_Timer(frmExplorer& f, int index);
// The slide-show step of list kind 3, 4 or 5 from the delay shown in the
// list pane; a delay of 0 steps every 55 ms.
void SetAutoAdvanceDelay(frmExplorer& f, int16_t kind);
