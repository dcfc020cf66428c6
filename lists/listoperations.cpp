#include "lists/listoperations.h"

#include "contracts/services.h"
#include "core/fileclasses.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/messagebox.h"
#include "core/shelldialogs.h"
#include "core/waitwindow.h"
#include "lists/listpanedisplay.h"
#include "lists/liststores.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/mainlayout.h"
#include "platform/win/ibrowser.h"
#include "platform/win/listview.h"

#include <QCoreApplication>
#include <QWidget>

#include <array>

namespace {

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool offline(int kind)
{
    const auto digit = GetOptionDigit(ListDownloadOptions[kind], 1);
    return !(digit && *digit == 0);
}

} // namespace

ListOperations::ListOperations(frmExplorer& window, ServiceSet& services, ListStores& stores, ListPaneDisplay& display)
    : w_(window), services_(services), stores_(stores), display_(display)
{
}

bool ListOperations::fitsKind(const QString& name, int kind)
{
    switch (kind) {
    case 1: return IsAudioFile(name);
    case 2: return IsVideoFile(name);
    case 3: return IsImageFile(name);
    case 4: return IsSnippetFile(name);
    case 5: return IsShortcutFile(name);
    default: return false;
    }
}

void ListOperations::releaseButton()
{
    w_.ButtonReleased = -1;
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
}

void ListOperations::LoadItemsIntoListView_Start(int16_t kind)
{
    if (w_.ListPaneBuilt == 0) {
        // The pane shows, and the page area makes room for it.
        w_.DisplayFlags[DisplaySidePane] = -1;
        LayoutBody(w_);
    }
    ShowWaitWindow(true, GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9040"),
                                       QStringLiteral("Running .... Please Wait")));
    QCoreApplication::processEvents();
    if (platform::forms::ListRows* rows = stores_.at(kind))
        rows->setSorted(false);
    w_.LockControl(true);
}

void ListOperations::LoadItemsIntoListView_Final(int16_t kind)
{
    if (ListStores::validKind(kind))
        w_.ListCurrentItem[static_cast<size_t>(kind)] = 0;
    display_.ShowListCount(false);
    display_.SizeListColumns();
    if (ListStores::validKind(kind)) {
        w_.SaveEnabled[static_cast<size_t>(kind)] = 0;
        w_.SaveAsEnabled[static_cast<size_t>(kind)] = -1;
        if (w_.ListItemCount[static_cast<size_t>(kind)] > 0 && kind == w_.CurrentListKind && (kind == 1 || kind == 2))
            services_.Media().SetSliderTrackPictures(false);
    }
    services_.Media().UpdateTransportButtons();
    display_.UpdatePlaylistButtons();
    w_.LockControl(false);
    ShowWaitWindow(false, QString());
}

void ListOperations::AppendRow(int16_t kind, const QString& text, const QString& address)
{
    platform::forms::ListRows* rows = stores_.at(kind);
    if (!rows)
        return;
    platform::forms::ListRow row;
    row.columns[0] = text;
    row.columns[1] = address;
    if (!offline(kind))
        row.columns[3] = ListTargetDirectory[kind];
    rows->add(std::move(row));
}

void ListOperations::AddFileToList(const QString& path, int16_t kind, bool skipTypeCheck)
{
    auto& scratch = w_.ListItemRecord[0];
    scratch[0] = fileNameOf(path);
    scratch[1] = path;
    if (!ListStores::validKind(kind) || !(skipTypeCheck || fitsKind(scratch[0], kind)))
        return;
    QString name = scratch[0];
    if (kind == 4 || kind == 5)
        name.chop(4);
    AppendRow(kind, name, path);
}

void ListOperations::AddFolderFiles(const QString& folder, bool withSubfolders, int16_t kind)
{
    QStringList lines;
    const LineWriter collect = [&lines](const QString& line) {
        lines << line;
        return true;
    };
    QString from = folder;
    if (!from.endsWith(QLatin1Char('/')) && !from.endsWith(QLatin1Char('\\')))
        from += QLatin1Char('/');
    if (withSubfolders)
        ListFolderTree(from, collect);
    else
        ListFolderFiles(from, collect);

    std::array<bool, 6> filled{};
    bool readFiles = false;
    for (const QString& path : lines) {
        readFiles = true;
        int fileKind = kind;
        if (kind == -1) {
            fileKind = 0;
            for (int k = 1; k <= 5 && fileKind == 0; ++k)
                if (fitsKind(fileNameOf(path), k))
                    fileKind = k;
            if (fileKind == 0)
                continue;
            filled[static_cast<size_t>(fileKind)] = true;
        } else if (!fitsKind(fileNameOf(path), kind)) {
            continue;
        }
        AddFileToList(path, static_cast<int16_t>(fileKind), true);
    }
    if (kind != -1 || !readFiles)
        return;
    for (int k = 1; k <= 5; ++k) {
        if (!filled[static_cast<size_t>(k)])
            continue;
        w_.CurrentListKind = static_cast<int16_t>(k);
        LoadItemsIntoListView_Final(static_cast<int16_t>(k));
    }
    display_.ShowCurrentList();
    QCoreApplication::processEvents();
    w_.TimerStage = 2;
}

void ListOperations::AddItemManually(int16_t kind)
{
    services_.Dialogs().ShowInputDialog(3, kind);
    LoadItemsIntoListView_Final(kind);
}

void ListOperations::AddPageAddress()
{
    if (services_.Tabs().IsCurrentTabBlank())
        return;
    const platform::browser::IBrowser* b = services_.Tabs().CurrentBrowser();
    if (!b)
        return;
    AppendRow(5, b->locationName(), b->locationURL());
}

bool ListOperations::FindListItem(int16_t kind, const QString& text, bool matchNameAndReferrer) const
{
    const platform::forms::ListRows* rows = stores_.at(kind);
    if (!rows)
        return false;
    for (int i = 1; i <= rows->count(); ++i) {
        const platform::forms::ListRow& r = *rows->row(i);
        if (matchNameAndReferrer ? r.columns[0] + r.columns[2] == text : r.columns[1] == text)
            return true;
    }
    return false;
}

void ListOperations::ClearCurrentList(bool ask)
{
    const int16_t k = w_.CurrentListKind;
    if (!ListStores::validKind(k) || w_.ListItemCount[static_cast<size_t>(k)] == 0)
        return;
    if (ask
        && ShowMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9013"),
                                     QStringLiteral("Are you sure you want to clear the Playlist ?")),
                       2, 1)
               != 3)
        return;
    const auto i = static_cast<size_t>(k);
    w_.ListItemCount[i] = 0;
    w_.ListCurrentItem[i] = 0;
    ListTargetDirectory[k].clear();
    stores_[k].clear();
    IMediaService& media = services_.Media();
    if (k == 1) {
        media.SetSliderTrackPictures(true);
        media.CloseAudioPlayer();
    } else if (k == 2) {
        media.SetSliderTrackPictures(true);
        media.CloseVideoPlayer();
    } else if (k == 3) {
        media.StopImageList();
    }
    w_.ListFilePath[i].clear();
    SetOptionDigit(ListDownloadOptions[k], 1, 1);
    SetOptionDigit(ListDownloadOptions[k], 2, 0);
    w_.SaveEnabled[i] = 0;
    w_.SaveAsEnabled[i] = 0;
    media.UpdateTransportButtons();
    display_.UpdatePlaylistButtons();
    display_.ShowListCount(false);
    display_.SizeListColumns();
    releaseButton();
}

void ListOperations::SelectAllListItems()
{
    if (platform::forms::ListRows* rows = stores_.at(w_.CurrentListKind)) {
        rows->setMultiSelect(true);
        rows->selectAll();
    }
}

void ListOperations::RemoveSelectedItems()
{
    const int16_t k = w_.CurrentListKind;
    platform::forms::ListRows* rows = stores_.at(k);
    if (!rows)
        return;
    const auto i = static_cast<size_t>(k);
    const std::vector<int> removed = rows->removeSelected();
    if (!removed.empty())
        w_.ListCurrentItem[i] = removed.front();
    services_.Tabs().SetStatusMessage(QString(), -1, -1);
    w_.ListItemCount[i] = rows->count();
    if (w_.ListCurrentItem[i] > w_.ListItemCount[i])
        w_.ListCurrentItem[i] = w_.ListItemCount[i];
    if (w_.ListItemCount[i] < 1) {
        services_.Tabs().SetStatusMessage(QString(), -1, -1);
        SetOptionDigit(ListDownloadOptions[k], 1, 1);
        w_.ListCurrentItem[i] = 0;
        if (k == 1 || k == 2)
            services_.Media().SetSliderTrackPictures(true);
    } else if (w_.ListCurrentItem[i] >= 1) {
        rows->setCurrentRow(w_.ListCurrentItem[i]);
        if (platform::forms::ListView* list = display_.listView(k))
            list->ensureVisible(w_.ListCurrentItem[i]);
    }
    services_.Media().UpdateTransportButtons();
    display_.UpdatePlaylistButtons();
    display_.ShowListCount(false);
    display_.SizeListColumns();
    releaseButton();
}

void ListOperations::SwapListItems(int32_t i, int32_t j)
{
    platform::forms::ListRows* rows = stores_.at(w_.CurrentListKind);
    if (!rows || i < 1 || j < 1 || i > rows->count() || j > rows->count())
        return;
    rows->swap(i, j);
    rows->setCurrentRow(j);
    rows->setSelected(i, false);
    if (platform::forms::ListView* list = display_.listView(w_.CurrentListKind))
        list->ensureVisible(j);
}

bool ListOperations::MoveSelectedItems(bool up)
{
    const auto moving = movingItems_.tryHold();
    if (!moving)
        return false;
    platform::forms::ListRows* rows = stores_.at(w_.CurrentListKind);
    if (!rows || !rows->selectionModel()->hasSelection())
        return false;
    int lead = 0;
    if (!rows->moveSelected(up, &lead))
        return false;
    // The row that leads the move stays in sight.
    if (platform::forms::ListView* list = display_.listView(w_.CurrentListKind))
        list->ensureVisible(lead);
    return true;
}
