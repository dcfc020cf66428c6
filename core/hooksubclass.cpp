#include "core/hooksubclass.h"

#include "core/globals.h"
#include "platform/base/paths.h"

#include <QCoreApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QLabel>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <map>

using namespace platform::winproc;

QWidget* CurrentSubclassWindow = nullptr;
WindowProc OldMainWindowProc;

std::array<platform::threadhooks::HookHandle, 16> HookHandles{};
std::vector<HookSubscriber> HookSubscribers;
int32_t CurrentHookType = 0;

platform::threadhooks::HookHandle CbtHookHandle = 0;
QWidget* CbtHookOwner = nullptr;
bool CbtHookActive = false;

namespace {

// What the old system kept in the window's properties.
struct SubclassedWindow {
    WindowProc previous;
    int32_t attachCount = 0;
    std::map<uint32_t, std::vector<clsISubclass*>> clients;
};

std::map<QWidget*, SubclassedWindow>& subclassed()
{
    static std::map<QWidget*, SubclassedWindow> map;
    return map;
}

uint32_t currentMessage = 0;

intptr_t SubclassWindowProc(QWidget* hWnd, uint32_t iMsg, uintptr_t wParam, intptr_t lParam)
{
    auto it = subclassed().find(hWnd);
    if (it == subclassed().end())
        return defWindowProc(hWnd, iMsg, wParam, lParam);
    const WindowProc previous = it->second.previous;
    auto found = it->second.clients.find(iMsg);
    if (found == it->second.clients.end() || found->second.empty())
        return callWindowProc(previous, hWnd, iMsg, wParam, lParam);

    // The clients as they are now: one may detach while it runs.
    const std::vector<clsISubclass*> clients = found->second;
    QWidget* const outerWindow = CurrentSubclassWindow;
    const uint32_t outerMessage = currentMessage;
    CurrentSubclassWindow = hWnd;
    intptr_t result = 0;
    // The previous procedure runs at most once per message.
    bool previousRan = false;
    for (size_t i = 0; i < clients.size(); ++i) {
        clsISubclass* client = clients[i];
        currentMessage = iMsg;
        if (i == 0 && client->MsgResponse() == 2) {
            result = callWindowProc(previous, hWnd, iMsg, wParam, lParam);
            previousRan = true;
        }
        currentMessage = iMsg;
        result = client->WindowProc(hWnd, iMsg, wParam, lParam);
        currentMessage = iMsg;
        if (i + 1 == clients.size() && !previousRan && client->MsgResponse() == 1)
            result = callWindowProc(previous, hWnd, iMsg, wParam, lParam);
    }
    CurrentSubclassWindow = outerWindow;
    currentMessage = outerMessage;
    return result;
}

} // namespace

SubclassError MakeSubclassError(int32_t number)
{
    SubclassError e;
    if (number < 1001) {
        e.Number = number;
        return e;
    }
    e.Number = static_cast<int32_t>(static_cast<uint32_t>(number) | 0x80040000u);
    e.Source = QCoreApplication::applicationName() + QStringLiteral(".WindowProc");
    switch (number) {
    case 13081: e.Description = QStringLiteral("Can't subclass window"); break;
    case 13082: e.Description = QStringLiteral("Message already handled by another class"); break;
    case 13083: e.Description = QStringLiteral("Invalid window"); break;
    case 13084: e.Description = QStringLiteral("Can't modify external window"); break;
    default: break;
    }
    return e;
}

std::optional<SubclassError> AttachMessage(clsISubclass* client, QWidget* hWnd, uint32_t iMsg)
{
    if (!hWnd)
        return MakeSubclassError(13083);
    if (hWnd->thread() != QCoreApplication::instance()->thread())
        return MakeSubclassError(13084);
    auto& map = subclassed();
    auto it = map.find(hWnd);
    if (it == map.end()) {
        bool ok = false;
        WindowProc previous = setWindowProc(hWnd, SubclassWindowProc, &ok);
        if (!ok)
            return MakeSubclassError(13081);
        it = map.emplace(hWnd, SubclassedWindow{}).first;
        it->second.previous = std::move(previous);
        QObject::connect(hWnd, &QObject::destroyed, [hWnd] { subclassed().erase(hWnd); });
    }
    std::vector<clsISubclass*>& clients = it->second.clients[iMsg];
    for (clsISubclass* c : clients)
        if (c == client)
            return MakeSubclassError(13082); // counted once, detached once
    it->second.attachCount += 1;
    clients.push_back(client);
    return std::nullopt;
}

void DetachMessage(clsISubclass* client, QWidget* hWnd, uint32_t iMsg)
{
    auto& map = subclassed();
    auto it = map.find(hWnd);
    if (it == map.end())
        return;
    auto found = it->second.clients.find(iMsg);
    if (found == it->second.clients.end())
        return;
    auto& clients = found->second;
    const auto c = std::find(clients.begin(), clients.end(), client);
    // A client that is not attached to the message takes no attachment of
    // the others away.
    if (c == clients.end())
        return;
    clients.erase(c);
    if (clients.empty())
        it->second.clients.erase(found);
    it->second.attachCount -= 1;
    if (it->second.attachCount <= 0) {
        setWindowProc(hWnd, it->second.previous);
        map.erase(it);
    }
}

intptr_t CallOldWindowProc(QWidget* hWnd, uint32_t iMsg, uintptr_t wParam, intptr_t lParam)
{
    auto it = subclassed().find(CurrentSubclassWindow);
    const WindowProc previous = it != subclassed().end() ? it->second.previous : WindowProc{};
    return callWindowProc(previous, hWnd, iMsg, wParam, lParam);
}

uint32_t CurrentMsgResponse()
{
    return currentMessage;
}

void SubclassMainWindow(QWidget* hWnd)
{
    OldMainWindowProc = setWindowProc(hWnd, MainWindowProc);
}

void UnsubclassMainWindow(QWidget* hWnd)
{
    setWindowProc(hWnd, OldMainWindowProc);
    OldMainWindowProc = {};
}

intptr_t MainWindowProc(QWidget* hWnd, uint32_t uMsg, uintptr_t wParam, intptr_t lParam)
{
    if (uMsg == WM_SYSCOMMAND && wParam == SC_CLOSE) {
        CloseRequested = -1;
        return 0;
    }
    return callWindowProc(OldMainWindowProc, hWnd, uMsg, wParam, lParam);
}

// ---- Thread hooks ---------------------------------------------------------

namespace {

platform::threadhooks::HookHandle& handleOf(int32_t hookType)
{
    return HookHandles[static_cast<size_t>(hookType + 1)];
}

bool hasOtherClient(int32_t hookType)
{
    for (const HookSubscriber& s : HookSubscribers)
        if (s.Client && s.HookType == hookType)
            return true;
    return false;
}

} // namespace

bool InstallThreadHook(clsIWindowsHook* client, int32_t hookType)
{
    if (!client || hookType < -1 || hookType > 14)
        return false;
    if (handleOf(hookType) == 0) {
        if (hookType == WH_KEYBOARD)
            handleOf(hookType) = platform::threadhooks::setHook(WH_KEYBOARD, KeyboardHookProc);
        else if (hookType == WH_MOUSE)
            handleOf(hookType) = platform::threadhooks::setHook(WH_MOUSE, MouseHookProc);
    }
    if (handleOf(hookType) == 0)
        return false;
    for (const HookSubscriber& s : HookSubscribers)
        if (s.Client == client && s.HookType == hookType)
            return true;
    for (HookSubscriber& s : HookSubscribers) {
        if (!s.Client) {
            s = HookSubscriber{client, hookType};
            return true;
        }
    }
    HookSubscribers.push_back(HookSubscriber{client, hookType});
    return true;
}

void RemoveThreadHook(clsIWindowsHook* client, int32_t hookType)
{
    for (HookSubscriber& s : HookSubscribers)
        if (s.Client == client && s.HookType == hookType)
            s = HookSubscriber{nullptr, -2};
    if (hookType < -1 || hookType > 14)
        return;
    if (!hasOtherClient(hookType) && handleOf(hookType) != 0) {
        platform::threadhooks::unhook(handleOf(hookType));
        handleOf(hookType) = 0;
    }
}

int32_t HookDispatcher(int32_t hookType, int nCode, uintptr_t wParam, intptr_t lParam)
{
    const size_t count = HookSubscribers.size();
    for (size_t i = 0; i < count && i < HookSubscribers.size(); ++i) {
        const HookSubscriber s = HookSubscribers[i];
        if (!s.Client || s.HookType != hookType)
            continue;
        bool consume = false;
        CurrentHookType = hookType;
        try {
            s.Client->HookProc(nCode, wParam, lParam, consume);
        } catch (...) {
            consume = false;
        }
        CurrentHookType = 0;
        if (consume)
            return 1;
    }
    return 0;
}

namespace {

intptr_t threadHookProc(int32_t hookType, int nCode, uintptr_t wParam, intptr_t lParam)
{
    if (nCode < 0)
        return platform::threadhooks::callNextHook(handleOf(hookType), nCode, wParam, lParam);
    if (HookDispatcher(hookType, nCode, wParam, lParam) == 1)
        return 1;
    return platform::threadhooks::callNextHook(handleOf(hookType), nCode, wParam, lParam);
}

QIcon& programSmallIcon()
{
    static QIcon icon;
    return icon;
}

bool containsText(const QString& text, const QString& part)
{
    return text.contains(part, Qt::CaseInsensitive);
}

// The window's static label, as far as the old dialog item could hold it:
// the first label that shows a text (a message box's icon label comes
// before its text label and shows none).
QString staticTextOf(const QWidget* window)
{
    for (const QLabel* label : window->findChildren<const QLabel*>())
        if (!label->text().isEmpty())
            return label->text().left(50);
    return QString();
}

} // namespace

intptr_t MouseHookProc(int nCode, uintptr_t wParam, intptr_t lParam)
{
    return threadHookProc(WH_MOUSE, nCode, wParam, lParam);
}

intptr_t KeyboardHookProc(int nCode, uintptr_t wParam, intptr_t lParam)
{
    return threadHookProc(WH_KEYBOARD, nCode, wParam, lParam);
}

void InstallDialogHook(QWidget* mainWindow)
{
    if (CbtHookActive && CbtHookHandle != 0)
        platform::threadhooks::unhook(CbtHookHandle);
    CbtHookOwner = mainWindow;
    // The icon is read once here, not at every activation.
    QImageReader reader(platform::paths::programPath(QStringLiteral("\\Common\\Z5_1_16.ico")));
    reader.setScaledSize(QSize(16, 16));
    const QImage image = reader.read();
    programSmallIcon() = image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
    CbtHookHandle = platform::threadhooks::setHook(WH_CBT, DialogHookProc);
    CbtHookActive = true;
}

void RemoveDialogHook()
{
    platform::threadhooks::unhook(CbtHookHandle);
    CbtHookHandle = 0;
    CbtHookActive = false;
}

intptr_t DialogHookProc(int nCode, uintptr_t wParam, intptr_t /*lParam*/)
{
    if (nCode != platform::threadhooks::HCBT_ACTIVATE || wParam == 0)
        return 0;
    QWidget* window = reinterpret_cast<QWidget*>(wParam);
    const QString title = window->windowTitle();
    const QString staticText = staticTextOf(window);
    if (containsText(title, QStringLiteral("Internet Explorer Script Error")) ||
        containsText(staticText, QStringLiteral("Stack overflow at line")) ||
        (containsText(title, QStringLiteral("Web Page Dialog")) && GroupOpening != 0)) {
        sendMessage(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (containsText(title, QStringLiteral("Internet Explorer"))) {
        const QString newTitle = QStringLiteral("Z5 Browser");
        sendMessage(window, WM_SETTEXT, 0, reinterpret_cast<intptr_t>(&newTitle));
    }
    const QIcon& icon = programSmallIcon();
    if (!icon.isNull())
        sendMessage(window, WM_SETICON, 0, reinterpret_cast<intptr_t>(&icon));
    return 0;
}
