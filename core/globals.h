#pragma once

// Process-wide values that the start procedure sets and every part of the
// browser reads for the life of the process.

#include <QString>
#include <cstdint>

extern int32_t TwipsPerPixelXValue;
extern int32_t TwipsPerPixelYValue;
extern float TwipsScale;
extern uint8_t RunOneInstanceFlag;
extern QString HandOffFolder;
extern QString LanguageName;
extern QString LanguageFilePath;
extern QString SkinName;
extern QString FilterList;

// Main-window globals shared with the window procedure and the media code.
extern int16_t CloseRequested;          // -1 once the system Close command arrived or shutdown began
extern int32_t SavedMasterVolume;       // master volume before the program first changed it; -1 none
extern QString ListDownloadOptions[7];  // per list kind 1-6: the list's option flags
extern QString ListTargetDirectory[7];  // per list kind 1-6: the folder its downloads go to
extern int16_t GroupOpening;
// What dialogs and their callers exchange. A caller reads them right after
// the modal call returns; nothing resets them between uses.
// The answer of the last message box (3 Yes, 2 No, 1 OK, Cancel or closed),
// or of the last dialog closed by OK (0) or Cancel (1).
extern int16_t DialogCancelled;
extern QString DialogUrl;         // an address handed to or returned by a dialog
extern QString DialogStrings[4];  // texts handed to and returned by the input dialog
extern int16_t DialogMode;        // what the input dialog asks for
extern int16_t DialogListIndex;   // the list the input dialog adds its entry to

// The skin's colour of the popup menus' icon column and separator lines, in
// the skin's "&H" notation (skin string 121), kept by the main window.
extern QString PopupMenuColor;
