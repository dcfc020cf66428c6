#include "mainwindow/shortcuts.h"

#include "core/globals.h"
#include "core/keyhandle.h"
#include "core/mousegestures.h"
#include "mainwindow/bartoggles.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "mainwindow/menubarpopups.h"
#include "contracts/services.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/windowplacement.h"
#include "platform/win/delay.h"
#include "platform/win/inputstate.h"
#include "platform/base/paths.h"
#include "platform/win/shell.h"
#include "platform/win/windowservices.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace input = platform::inputstate;

namespace {

constexpr int kEscape = 0x1B;
constexpr int kF1 = 0x70;
constexpr int kLeft = 0x25;
constexpr int kUp = 0x26;
constexpr int kRight = 0x27;
constexpr int kDown = 0x28;

bool mouseButtonDown()
{
    return input::asyncKeyState(input::VK_LBUTTON) != 0 || input::asyncKeyState(input::VK_RBUTTON) != 0;
}

// The text box of the window that has the focus (address or search box).
QLineEdit* focusedTextBox(frmExplorer& f)
{
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (!edit || !f.window() || edit->window() != f.window())
        return nullptr;
    return edit;
}

// The letter after the first "&" of a caption (the first character without one), upper-cased.
int accelerator(const QString& caption)
{
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    const QString rest = amp < 0 ? caption.trimmed() : caption.mid(amp + 1);
    return rest.isEmpty() ? 0 : rest.at(0).toUpper().unicode();
}

} // namespace

bool IsKeyDown(int key1, int key2)
{
    // A press since the previous poll: a tap between two polls counts once,
    // a press held over two polls once, a held key again with each repeat.
    const bool pressed = (input::asyncKeyState(key1) & 1) != 0;
    if (key2 <= 0)
        return pressed;
    return pressed && input::isDown(key2);
}

bool BossKeySeenWhileHidden()
{
    // Once every window is hidden no key reaches the program: only the key
    // state of the whole display (X11) can bring the window back.
    return input::seesKeysWhileHidden();
}

void Shortcuts::PollHotKeys()
{
    if (f.Hover().HoverElementId() != -1)
        f.Hover().CheckHoverLeave(f.Hover().HoverElementId());
    QWidget* window = f.window();
    if (!window)
        return;
    // Hidden, the boss key is seen held now or pressed since the last poll.
    if (bossKeyCode_ >= 1 && !window->isVisible() && input::asyncKeyState(bossKeyCode_) != 0) {
        input::watchWhileHidden(bossKeyCode_, false);
        window->setVisible(true);
        platform::Delay(100);
        return;
    }
    if (reinterpret_cast<quintptr>(input::activeWindow()) != f.MainHwnd)
        return;
    if (f.ButtonReleased == 0 && !mouseButtonDown())
        f.ButtonReleased = -1;
    if (IsKeyDown(kEscape)) {
        f.services().Tabs().StopEverything();
        return;
    }
    for (int n = 0; n <= 11; ++n) {
        if (IsKeyDown(kF1 + n)) {
            RunShortcut(n);
            return;
        }
    }
    // The arrows steer the player while a viewer shows, unless they edit text.
    if (focusedTextBox(f))
        return;
    for (int key : {kUp, kDown, kLeft, kRight}) {
        if (!IsKeyDown(key))
            continue;
        if (ShortcutRunning)
            return;
        const BusyFlag::Hold running(ShortcutRunning);
        if (!CanUseMediaKeys(f))
            return;
        IMediaService& media = f.services().Media();
        switch (key) {
        case kUp: media.PlayPreviousItem(2); break;
        case kDown: media.PlayNextItem(2); break;
        case kLeft: media.PauseList(0, f.CurrentListKind); break;
        default: media.PlaySelectedItem(0); break;
        }
        return;
    }
}

bool CanUseMediaKeys(const frmExplorer& f)
{
    const int k = f.CurrentListKind;
    const int32_t items = k >= 1 && k <= 6 ? f.ListItemCount[k] : 0;
    if (items < 1 && f.Placement().FullScreenMode() == 0)
        return false;
    const ITabsService& tabs = f.services().Tabs();
    const int16_t b = tabs.TabBrowserMap(tabs.CurrentTab());
    if (f.ImagesPerView < 2 && b != f.ListViewerBrowser[2] && b != f.ListViewerBrowser[3])
        return false;
    return true;
}

ShortcutRecord ParseShortcutRecord(const QString& record)
{
    ShortcutRecord r;
    const QStringList parts = record.split(QLatin1Char('|'));
    // "", type, value, "" for a full record.
    if (parts.size() < 3 || !parts[0].isEmpty())
        return r;
    bool ok = false;
    const int type = parts[1].toInt(&ok);
    r.type = ok ? type : 3;
    r.value = parts.size() >= 4 ? parts[2] : QString();
    return r;
}

void Shortcuts::RunShortcutCommand(int command, int functionKey)
{
    auto& tabs = f.services().Tabs();
    switch (command) {
    case 0: tabs.GoToTab(0); break;
    case 1: tabs.GoToTab(static_cast<int16_t>(tabs.TabCount() - 1)); break;
    case 2: tabs.SwitchToAdjacentTab(8, true); break;
    case 3: tabs.SwitchToAdjacentTab(7, true); break;
    case 4: tabs.OpenNewTab(); break;
    case 5: tabs.CloseTab(tabs.CurrentTab(), true); break;
    case 6: tabs.CloseTabs(1); break;
    case 7: tabs.CloseTabs(2); break;
    case 8: tabs.CloseTabs(3); break;
    case 9: f.unload(); break;
    case 10:
        if (f.window() && f.window()->isVisible() && BossKeySeenWhileHidden()) {
            f.window()->setVisible(false);
            platform::Delay(100);
            bossKeyCode_ = static_cast<int16_t>(112 + functionKey);
            // A short press while hidden falls between two polls: it is watched.
            platform::inputstate::watchWhileHidden(bossKeyCode_, true);
        }
        break;
    case 11: tabs.OpenWB_StartPage(3); break;
    case 12: tabs.OpenSearchPage(); break;
    case 13: tabs.OpenMyFolder(); break;
    case 14:
        ToggleHideAll(f, f.DisplayFlags[DisplayTopBar] == 0 && f.DisplayFlags[DisplayBottomBar] == 0);
        break;
    case 15:
        f.CurrentListKind = static_cast<int16_t>(f.CurrentListKind + 1 > 6 ? 1 : f.CurrentListKind + 1);
        f.services().Lists().ShowCurrentList();
        break;
    case 16: tabs.ReopenClosedTab(); break;
    case 17: tabs.RefreshPage(); break;
    default: break;
    }
}

void Shortcuts::RunShortcut(int n)
{
    if (ShortcutRunning || n < 0 || n >= static_cast<int>(f.KeyMap.size()))
        return;
    const BusyFlag::Hold running(ShortcutRunning);
    const QString record = f.KeyMap[n];
    if (record.isEmpty())
        return;
    const ShortcutRecord r = ParseShortcutRecord(record);
    switch (r.type) {
    case 0: RunShortcutCommand(r.value.toInt(), n); break;
    case 1:
        f.services().Tabs().SetStatusMessage(QString(), -1, -1);
        f.services().Tabs().NavigateCurrentTab(r.value);
        break;
    case 2:
        // The program alone, with no arguments and no shell between.
        if (!r.value.trimmed().isEmpty())
            platform::shell::startProgram(platform::paths::toLocal(r.value.trimmed()), {});
        break;
    default: break;
    }
}

void Shortcuts::KeyHandle_KeyPressed(int16_t keyCode, int16_t shift)
{
    if (shift == 4) {
        f.SetMenuBarCaptions(true);
        for (int i = 0; i <= menucaption::Last; ++i) {
            if (accelerator(f.cmdMenu[i].caption()) != keyCode)
                continue;
            // The key opens the menu and nothing else; the menu opens once
            // the keystroke has been handled, not inside its delivery.
            if (keys_)
                keys_->ConsumeKey();
            QPointer<QWidget> alive = f.window();
            frmExplorer& window = f;
            QTimer::singleShot(0, f.window(), [&window, i, alive] {
                if (alive && CloseRequested == 0 && !window.services().Menus().SubClassStatus())
                    PressMenuBarCaption(window, i);
            });
            return;
        }
        return;
    }
    if (shift != 2)
        return;
    // The clipboard keys and select-all act on a text box that has the
    // focus; the page gets them otherwise.
    if (QLineEdit* edit = focusedTextBox(f)) {
        // The hook swallows Ctrl keys: the box's own KeyDown still gets them.
        for (int i : f.WBTextBox.indexes())
            if (f.WBTextBox[i].lineEdit() == edit && f.WBTextBox.events().keyDown)
                f.WBTextBox.events().keyDown(i, keyCode, 2);
        switch (keyCode) {
        case 'A': edit->selectAll(); return;
        case 'C': edit->copy(); return;
        case 'X': edit->cut(); return;
        case 'V': edit->paste(); return;
        default: break;
        }
    }
    switch (keyCode) {
    case 'N': f.services().Tabs().OpenNewTab(); break;
    case 'O': f.services().Tabs().OpenFileDialogCommand(); break;
    case 'P':
    case 'S':
    case 'F':
    case 'A':
    case 'X':
    case 'C':
    case 'V': f.services().Tabs().RunPageKey(keyCode); break;
    default: break;
    }
}

void Shortcuts::MouseGestures_MouseGesture(int32_t gestureType, bool& acceptGesture)
{
    auto& tabs = f.services().Tabs();
    switch (gestureType) {
    case 1: tabs.RefreshPage(); break;
    case 2: tabs.OpenNewTab(); break;
    case 4: tabs.GoForward(); break;
    case 8: tabs.GoBack(); break;
    case 16: tabs.SwitchToAdjacentTab(7, true); break;
    case 32: tabs.CloseTab(tabs.CurrentTab(), true); break;
    case 64: platform::windows::setWindowState(f.window(), platform::windows::StateMinimized); break;
    case 128: tabs.SwitchToAdjacentTab(8, true); break;
    case 256: tabs.GoToTab(static_cast<int16_t>(tabs.TabCount() - 1)); break;
    case 512: tabs.CloseTabs(1); break;
    case 1024: tabs.CloseTabs(3); break;
    case 2048: tabs.GoToTab(0); break;
    default: break;
    }
    acceptGesture = true;
}

Shortcuts::Shortcuts(frmExplorer& window) : f(window) {}

Shortcuts::~Shortcuts() = default;

void Shortcuts::Attach(bool gestures)
{
    if (gestures) {
        gestures_ = std::make_unique<clsMouseGestures>();
        // Strokes belong to the page area; the frame and the buttons take
        // either button at once.
        QPointer<QWidget> pages = f.PicHolder[picholder::Body].widget();
        gestures_->SetArea([pages](const QWidget* w) { return w && pages && (w == pages || pages->isAncestorOf(w)); });
        gestures_->Attach();
        QObject::connect(gestures_.get(), &clsMouseGestures::MouseGesture, gestures_.get(),
                         [this](int32_t type, int32_t, int32_t, int32_t, int32_t, bool& accept) {
                             MouseGestures_MouseGesture(type, accept);
                         });
    }
    keys_ = std::make_unique<clsKeyHandle>();
    // The window's own keys: a dialog over it keeps its Ctrl and Alt keys.
    keys_->SetWindow(f.window());
    keys_->Attach();
    QObject::connect(keys_.get(), &clsKeyHandle::KeyPressed, keys_.get(),
                     [this](int16_t keyCode, int16_t shift) { KeyHandle_KeyPressed(keyCode, shift); });
}

void Shortcuts::Detach()
{
    if (gestures_)
        gestures_->Detach();
    if (keys_)
        keys_->Detach();
}
