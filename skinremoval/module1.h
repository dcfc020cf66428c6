#pragma once

// The skin removal tool's program state and shared routines: where the
// browser lives, which skin it uses, the tool's texts and pictures, and the
// unregistration of a skin library.

#include <QPixmap>
#include <QString>

#include <cstdint>
#include <memory>

class frmRemoval;

// Set once by RemovalMain and never changed afterwards.
extern QString RemovalAppPath;      // the browser's program folder, "" when not installed
extern QString RemovalLanguagePath; // its language file
extern QString CurrentSkinName;     // the skin in use, as the list shows it
extern float RemovalScale;          // the screen's twips per pixel / 15

// The tool's window while the program lives.
extern std::unique_ptr<frmRemoval> RemovalWindow;

// Reads the settings and shows the window modeless; the program then lives
// while the window is loaded.
void RemovalMain();

// The text of section and key in the browser's language file, or the
// English default when the file or the entry is missing; at most 2047
// characters.
QString ReadLanguageString(const QString& section, const QString& key, const QString& englishDefault);

// The name a skin library's file name shows in the list: the name without
// its first three and last four characters, every "_" shown as a blank.
QString SkinNameOfFile(const QString& fileName);
// The library file name of a skin name: "SK_", the name with "_" for every
// blank, ".dll".
QString SkinFileOfName(const QString& skinName);

// The result codes of CallDllRegistration.
inline constexpr int16_t RegistrationRan = 0;        // the entry point ended within the wait
inline constexpr int16_t RegistrationNotLoaded = 1;  // the library did not load
inline constexpr int16_t RegistrationNoEntry = 2;    // no such entry point, or an unknown mode
inline constexpr int16_t RegistrationNotEnded = 3;   // it did not end within the wait (or never started)

// The longest wait for a library's own registration entry point.
inline constexpr int kRegistrationWaitMs = 10000;

// Runs the library's DllRegisterServer (mode 1) or DllUnregisterServer
// (mode 2) on a thread of its own and waits for it; the calling thread
// blocks for the whole wait. The entry point's own result code is not looked
// at. path is written as the program writes paths ("\" between folders).
int16_t CallDllRegistration(const QString& path, int32_t mode);

// True when unregistering the library at path would take away what the
// browser binds the skin in use by: the library is the one registered for
// the skin's ProgID, or (a copy or another link of it) serves the class
// registered there.
bool LibraryMeetsSkinInUse(const QString& localPath);

// The tool's own pictures: bitmaps 101 to 105 and its icon; an empty
// picture for an identifier it does not have.
const QPixmap& RemovalBitmap(int id);
const QPixmap& RemovalIcon();
