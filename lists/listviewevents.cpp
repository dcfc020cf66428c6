#include "lists/listviewevents.h"

#include "contracts/services.h"
#include "core/fileclasses.h"
#include "lists/listoperations.h"
#include "lists/listpanedisplay.h"
#include "lists/liststores.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/hovertracking.h"
#include "platform/win/listview.h"

#include <QDrag>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QTreeView>

using platform::forms::ListDrop;
using platform::forms::ListView;

ListViewEvents::ListViewEvents(frmExplorer& window, ServiceSet& services, ListStores& stores, ListOperations& operations,
                               ListPaneDisplay& display)
    : w_(window), services_(services), stores_(stores), ops_(operations), display_(display)
{
    platform::forms::IndexedEvents& ev = w_.ListView.events();
    ev.dblClick = [this](int index) { ListView_DblClick(index); };
    ev.mouseDown = [this](int index, int button, int, double x, double y) { ListView_MouseDown(index, button, x, y); };
    ev.mouseMove = [this](int index, int, int, double x, double y) { ListView_MouseMove(index, x, y); };
    display_.listLoaded = [this](int kind, ListView& list) { Attach(kind, list); };
    for (int k = 1; k <= 6; ++k)
        if (ListView* list = w_.ListView.at(k))
            Attach(k, *list);
    runDrag = [](ListView& list, QMimeData* data) {
        auto* drag = new QDrag(list.tree());
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction, Qt::CopyAction);
    };
}

ListViewEvents::~ListViewEvents()
{
    *alive_ = false;
    display_.listLoaded = nullptr;
    platform::forms::IndexedEvents& ev = w_.ListView.events();
    ev.dblClick = nullptr;
    ev.mouseDown = nullptr;
    ev.mouseMove = nullptr;
    for (int k = 1; k <= 6; ++k) {
        if (ListView* list = w_.ListView.at(k)) {
            list->itemClick = nullptr;
            list->dragOver = nullptr;
            list->dropped = nullptr;
        }
    }
}

void ListViewEvents::Attach(int kind, ListView& list)
{
    list.itemClick = [this, kind](int row) { ListView_ItemClick(kind, row); };
    list.dragOver = [this, kind](const ListDrop& drop) { return ListView_OLEDragOver(kind, drop); };
    list.dropped = [this, kind](const ListDrop& drop) { ListView_OLEDragDrop(kind, drop); };
    list.setAcceptDrops(true);
}

void ListViewEvents::ListView_ItemClick(int index, int row)
{
    if (!ListStores::validKind(index))
        return;
    const auto k = static_cast<int16_t>(index);
    if (k == 1 || k == 2)
        services_.Media().StopList(k);
    const auto i = static_cast<size_t>(k);
    const int32_t old = w_.ListCurrentItem[i];
    const int32_t count = stores_[k].count();
    w_.ListCurrentItem[i] = row;
    // A move between two inner rows changes neither end's buttons.
    const bool inner = old > 1 && old < count && row > 1 && row < count;
    if (!inner) {
        services_.Media().UpdateTransportButtons();
        display_.UpdatePlaylistButtons();
    }
    display_.ShowListCount(true);
}

void ListViewEvents::ListView_DblClick(int index)
{
    switch (index) {
    case 1:
    case 2:
    case 3: services_.Media().PlaySelectedItem(0); break;
    case 4:
    case 5: services_.Media().PlaySelectedItem(-1); break;
    case 6: services_.Downloads().StartListDownload(6, true, w_.ListCurrentItem[6]); break;
    default: break;
    }
}

void ListViewEvents::ListView_MouseDown(int index, int button, double x, double y)
{
    w_.ButtonReleased = 0;
    if (!ListStores::validKind(index) || button != platform::forms::RightButton)
        return;
    const auto i = static_cast<size_t>(index);
    if (w_.ListPlayState[i] == 2 || w_.ListItemCount[i] == 0)
        return;
    const ListView* list = w_.ListView.at(index);
    if (!list)
        return;
    services_.Menus().ShowListViewEditMenu(static_cast<float>(list->left() + x), static_cast<float>(list->top() + y));
}

void ListViewEvents::ListView_MouseMove(int index, double x, double y)
{
    if (index != 0)
        return;
    ListView* dropDown = w_.ListView.at(0);
    if (!dropDown)
        return;
    dropDown->rows().clearSelection();
    dropDown->setDropHighlight(dropDown->hitTest(x, y));
    HoverTracking& hover = w_.Hover();
    if (hover.HoverElementId() != 1000) {
        hover.SetHoverElement(hover.HoverElementId());
        hover.SetHoverElementId(1000);
    }
}

bool ListViewEvents::ListView_OLEDragOver(int index, const ListDrop& drop)
{
    return ListStores::validKind(index) && (drop.hasFiles() || drop.hasText);
}

void ListViewEvents::ListView_OLEDragDrop(int index, const ListDrop& drop)
{
    if (!ListStores::validKind(index))
        return;
    int16_t& current = w_.CurrentListKind;
    if (drop.hasFiles()) {
        ops_.LoadItemsIntoListView_Start(current);
        for (const QString& name : drop.files) {
            const QFileInfo info(name);
            if (info.isDir()) {
                ops_.AddFolderFiles(name, true, -1);
                continue;
            }
            int16_t kind = 0;
            if (IsImageFile(name))
                kind = 3;
            else if (IsSnippetFile(name))
                kind = 4;
            else if (IsShortcutFile(name))
                kind = 5;
            if (kind != 0) {
                current = kind;
                ops_.AddFileToList(name, kind, true);
                continue;
            }
            // A name both tests accept goes into both lists.
            if (IsAudioFile(name)) {
                current = 1;
                ops_.AddFileToList(name, 1, true);
            }
            if (IsVideoFile(name)) {
                current = 2;
                ops_.AddFileToList(name, 2, true);
            }
        }
        ops_.LoadItemsIntoListView_Final(current);
    } else if (drop.hasText) {
        current = 4;
        display_.ShowCurrentList();
        ops_.LoadItemsIntoListView_Start(4);
        services_.Lists().CaptureSelectionAsSnippet();
        ops_.LoadItemsIntoListView_Final(4);
    }
    // The list now current is brought forward by the next tick, after the
    // drag has ended.
    w_.TimerStage = 2;
}

void ListViewEvents::StartListDrag()
{
    // The drag runs an event loop of its own: never inside the page's call.
    QTimer::singleShot(0, [this, alive = alive_] {
        if (*alive)
            ListView_OLEStartDrag();
    });
}

void ListViewEvents::ListView_OLEStartDrag()
{
    ListView* list = display_.listView(w_.CurrentListKind);
    if (w_.ListPaneBuilt == 0 || w_.DisplayFlags[DisplaySidePane] == 0 || !list || !list->tree()->isVisible() || !runDrag)
        return;
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/plain"), QByteArray());
    runDrag(*list, data);
}
