#pragma once

// Window subclassing and thread hooks of the browser.
//
// Subclassing: client objects attach to single messages of a window of the
// program and see them before (or instead of) the window's own handling.
// The main window's procedure turns the system Close command into the
// CloseRequested flag.
//
// Thread hooks: keyboard and mouse notifications of the user-interface
// thread fan out to client objects in subscription order; a client may
// consume a notification so that no window sees the input. The dialog hook
// acts on every top-level window of the program when it is activated.

#include "platform/win/threadhooks.h"
#include "platform/win/winproc.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QWidget;

// ---- Subclassing ----------------------------------------------------------

// A window-procedure client.
class clsISubclass {
public:
    virtual ~clsISubclass() = default;
    // 0: the client alone handles the message; 1: the window's previous
    // procedure runs after the clients; 2: it runs before them.
    virtual int32_t MsgResponse() { return 0; }
    virtual void setMsgResponse(int32_t /*value*/) {}
    virtual intptr_t WindowProc(QWidget* /*hWnd*/, uint32_t /*iMsg*/, uintptr_t /*wParam*/, intptr_t /*lParam*/)
    {
        return 0;
    }
};

// An error of AttachMessage: Number is the error number or'ed with
// 0x80040000 (numbers below 1001 unchanged, without source or description).
struct SubclassError {
    int32_t Number = 0;
    QString Source;
    QString Description;
};
SubclassError MakeSubclassError(int32_t number);

std::optional<SubclassError> AttachMessage(clsISubclass* client, QWidget* hWnd, uint32_t iMsg);
void DetachMessage(clsISubclass* client, QWidget* hWnd, uint32_t iMsg);
// The previous procedure of the window being dispatched.
intptr_t CallOldWindowProc(QWidget* hWnd, uint32_t iMsg, uintptr_t wParam, intptr_t lParam);
// The message being dispatched to the clients (0 outside a dispatch); a
// client's MsgResponse asks it to choose its mode for that message.
uint32_t CurrentMsgResponse();

extern QWidget* CurrentSubclassWindow;
extern platform::winproc::WindowProc OldMainWindowProc;

void SubclassMainWindow(QWidget* hWnd);
void UnsubclassMainWindow(QWidget* hWnd);
intptr_t MainWindowProc(QWidget* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam);

// ---- Thread hooks ---------------------------------------------------------

// A hook client.
class clsIWindowsHook {
public:
    virtual ~clsIWindowsHook() = default;
    // Fired whenever a Hook receives a notification.  Set bConsume to True
    // if you wish to stop the notification from reaching your app.
    virtual void HookProc(int32_t /*nCode*/, uintptr_t /*wParam*/, intptr_t /*lParam*/, bool& /*bConsume*/) {}
};

inline constexpr int32_t WH_KEYBOARD = platform::threadhooks::WH_KEYBOARD;
inline constexpr int32_t WH_CBT = platform::threadhooks::WH_CBT;
inline constexpr int32_t WH_MOUSE = platform::threadhooks::WH_MOUSE;

struct HookSubscriber {
    clsIWindowsHook* Client = nullptr; // null: a free slot
    int32_t HookType = 0;              // -2 in a freed slot
};

// Indexed by hook type + 1; 0: not installed.
extern std::array<platform::threadhooks::HookHandle, 16> HookHandles;
// In subscription order; a removed client leaves a free slot that the next
// new client takes.
extern std::vector<HookSubscriber> HookSubscribers;
extern int32_t CurrentHookType;

bool InstallThreadHook(clsIWindowsHook* client, int32_t hookType);
void RemoveThreadHook(clsIWindowsHook* client, int32_t hookType);

intptr_t MouseHookProc(int nCode, uintptr_t wParam, intptr_t lParam);
intptr_t KeyboardHookProc(int nCode, uintptr_t wParam, intptr_t lParam);
// 1 when a client consumed the notification (the others are not called).
int32_t HookDispatcher(int32_t hookType, int nCode, uintptr_t wParam, intptr_t lParam);

// ---- Dialog hook ----------------------------------------------------------

extern platform::threadhooks::HookHandle CbtHookHandle;
extern QWidget* CbtHookOwner;
extern bool CbtHookActive;

void InstallDialogHook(QWidget* mainWindow);
void RemoveDialogHook();
// HCBT_ACTIVATE: closes script-error windows (and page dialogs while a
// group of pages opens), retitles the engine's windows and gives every
// other activated window the program's small icon.
intptr_t DialogHookProc(int nCode, uintptr_t wParam, intptr_t lParam);
