#include "lists/listpanebuttons.h"

#include "contracts/services.h"
#include "lists/listoperations.h"
#include "lists/listpanedisplay.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "platform/base/holdrepeat.h"

ListPaneButtons::ListPaneButtons(frmExplorer& window, ServiceSet& services, ListPaneDisplay& display,
                                 ListOperations& operations)
    : w_(window), services_(services), display_(display), ops_(operations),
      hold_(std::make_unique<platform::HoldRepeat>())
{
    pointerOver = [this](int index) {
        const auto* c = w_.cmdPLControl.at(index);
        return c && IsCursorOverControl(w_, *c);
    };
    platform::forms::IndexedEvents& ev = w_.cmdPLControl.events();
    ev.mouseMove = [this](int index, int, int, double, double) { cmdPLControl_MouseMove(index); };
    ev.mouseDown = [this](int index, int button, int, double, double) { cmdPLControl_MouseDown(index, button); };
    ev.mouseUp = [this](int index, int, int, double x, double y) { cmdPLControl_MouseUp(index, x, y); };
}

ListPaneButtons::~ListPaneButtons()
{
    hold_.reset();
    platform::forms::IndexedEvents& ev = w_.cmdPLControl.events();
    ev.mouseMove = nullptr;
    ev.mouseDown = nullptr;
    ev.mouseUp = nullptr;
}

void ListPaneButtons::cmdPLControl_MouseMove(int index)
{
    const int16_t code = static_cast<int16_t>(1010 + index);
    HoverTracking& hover = w_.Hover();
    if (hover.HoverElementId() == code)
        return;
    hover.SetHoverElement(hover.HoverElementId());
    const int k = w_.CurrentListKind;
    if (index == 10 && (k < 1 || k > 6 || w_.ListItemCount[static_cast<size_t>(k)] < 2))
        return;
    hover.SetHoverElementId(code);
    display_.SetListButtonPicture(static_cast<int16_t>(index), 1);
}

void ListPaneButtons::cmdPLControl_MouseDown(int index, int button)
{
    w_.ButtonReleased = 0;
    display_.SetListButtonPicture(static_cast<int16_t>(index), 2);
    switch (index) {
    case 0: {
        const auto& b = w_.cmdPLControl[0];
        services_.Menus().ShowPlaylistMenu(static_cast<int32_t>(b.left()), static_cast<int32_t>(b.top()),
                                           static_cast<int32_t>(b.width()), static_cast<int32_t>(b.height()));
        break;
    }
    case 1: {
        int16_t& k = w_.CurrentListKind;
        if (button == platform::forms::LeftButton)
            k = static_cast<int16_t>(k + 1 > 6 ? 1 : k + 1);
        else
            k = static_cast<int16_t>(k - 1 < 1 ? 6 : k - 1);
        display_.ShowCurrentList();
        break;
    }
    case 11:
    case 12: {
        // One place at once, again after 100 ms, then every 10 ms while the
        // button is held and the pointer on it, until nothing moves.
        const bool up = index == 11;
        hold_->start({100, 10}, [this, up] { return ops_.MoveSelectedItems(up); },
                     [this, index] { return w_.ButtonReleased == 0 && pointerOver && pointerOver(index); });
        break;
    }
    default: break;
    }
}

void ListPaneButtons::cmdPLControl_MouseUp(int index, double x, double y)
{
    if (w_.ButtonReleased != 0)
        return;
    w_.ButtonReleased = -1;
    hold_->stop();
    const auto* control = w_.cmdPLControl.at(index);
    if (!control || x < 0 || y < 0 || x >= control->width() || y >= control->height())
        return;
    display_.SetListButtonPicture(static_cast<int16_t>(index), 1);
    switch (index) {
    case 10: display_.SortCurrentList(); break;
    case 13: ops_.RemoveSelectedItems(); break;
    case 14: ops_.ClearCurrentList(true); break;
    default:
        if (index >= 2 && index <= 9)
            RunKindCommand(index, w_.CurrentListKind);
        break;
    }
}

bool ListPaneButtons::Repeating() const
{
    return hold_->running();
}

void ListPaneButtons::setRepeatTimer(std::unique_ptr<platform::RepeatTimer> timer)
{
    hold_ = std::make_unique<platform::HoldRepeat>(std::move(timer));
}

void ListPaneButtons::RunKindCommand(int button, int kind)
{
    IListsService& lists = services_.Lists();
    IDownloadsService& downloads = services_.Downloads();
    const auto k = static_cast<int16_t>(kind);
    const auto menuAtButton = [this, button] {
        const auto& b = w_.cmdPLControl[button];
        services_.Menus().ShowPlaylistFormatMenu(static_cast<int32_t>(b.left()), static_cast<int32_t>(b.top()),
                                                 static_cast<int32_t>(b.width()), static_cast<int32_t>(b.height()));
    };
    switch (kind) {
    case 1:
    case 2:
        switch (button) {
        case 2: lists.AddPageLinksToList(k, 2, 0); break;
        case 3: lists.AddClipboardLinksToList(k); break;
        case 4: lists.AddFilesFromDialog(k); break;
        case 5: lists.AddAllFilesInFolder(k); break;
        case 6: lists.AddItemManually(k); break;
        case 7: lists.DeleteSelectedToRecycleBin(k); break;
        case 8: downloads.ShowDownloadSetup(k); break;
        default: break;
        }
        break;
    case 3:
        switch (button) {
        case 2: lists.AddPageLinksToList(3, 2, 0); break;
        case 3: lists.AddPageLinksToList(3, 3, 1); break;
        case 4: lists.AddClipboardLinksToList(3); break;
        case 5: lists.AddFilesFromDialog(3); break;
        case 6: lists.AddAllFilesInFolder(3); break;
        case 7: lists.AddItemManually(3); break;
        case 8: lists.DeleteSelectedToRecycleBin(3); break;
        case 9: downloads.ShowDownloadSetup(3); break;
        default: break;
        }
        break;
    case 4:
        switch (button) {
        case 2: lists.CaptureSelectionAsSnippet(); break;
        case 3: lists.AddFilesFromDialog(4); break;
        case 4: lists.AddAllFilesInFolder(4); break;
        case 5: lists.ShowSnippetViewPage(1, QString()); break;
        case 6: lists.ShowSnippetViewPage(2, QString()); break;
        case 7: lists.ShowSnippetViewPage(3, QString()); break;
        case 8: lists.DeleteSelectedToRecycleBin(4); break;
        case 9: menuAtButton(); break;
        default: break;
        }
        break;
    case 5:
        switch (button) {
        case 2: lists.AddPageAddress(); break;
        case 3: lists.AddClipboardLinksToList(5); break;
        case 4: lists.AddFilesFromDialog(5); break;
        case 5: lists.AddAllFilesInFolder(5); break;
        case 6: lists.AddItemManually(5); break;
        default: break;
        }
        break;
    case 6:
        switch (button) {
        case 2: lists.AddPageLinksToList(6, 2, 1); break;
        case 3: lists.AddPageLinksToList(6, 2, 2); break;
        case 4: lists.AddClipboardLinksToList(6); break;
        case 5: lists.AddItemManually(6); break;
        case 6: downloads.StartListDownload(6, true, 1); break;
        case 7: downloads.StartListDownload(6, false, 1); break;
        case 8: downloads.ShowDownloadSetup(6); break;
        default: break;
        }
        break;
    default: break;
    }
}
