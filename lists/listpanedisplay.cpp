#include "lists/listpanedisplay.h"

#include "contracts/services.h"
#include "core/globals.h"
#include "lists/listpanetables.h"
#include "lists/liststores.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/skinvalues.h"
#include "mainwindow/windowplacement.h"
#include "platform/base/vbrt.h"
#include "platform/win/listview.h"
#include "platform/win/twips.h"

#include <QTreeView>

#include <algorithm>

using platform::forms::ListView;

namespace {

QString padded(const QString& text)
{
    return QLatin1Char(' ') + text + QLatin1Char(' ');
}

} // namespace

std::optional<QColor> ListColorFromText(const QString& text)
{
    if (!vb::isNumeric(text) && !vb::trim(text).startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        return std::nullopt;
    const double v = vb::val(text);
    if (!std::isfinite(v) || v < 0 || v > 0xFFFFFF)
        return std::nullopt;
    const auto bgr = static_cast<uint32_t>(v);
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

ListPaneDisplay::ListPaneDisplay(frmExplorer& window, ServiceSet& services, ListStores& stores)
    : w_(window), services_(services), stores_(stores)
{
}

ListView* ListPaneDisplay::listView(int kind) const
{
    return ListStores::validKind(kind) ? w_.ListView.at(kind) : nullptr;
}

void ListPaneDisplay::ShowCurrentList()
{
    const int k = w_.CurrentListKind;
    if (ListStores::validKind(k)) {
        const int n = listpane::ButtonsUsed(k);
        services_.Tabs().SetStatusMessage(listpane::ListName(k), -1, -1);
        for (int b = 1; b <= n; ++b)
            SetListButtonPicture(static_cast<int16_t>(b), 0);
        for (int b = 1; b <= n; ++b)
            if (auto* button = w_.cmdPLControl.at(b))
                button->setToolTipText(padded(listpane::ButtonTooltip(b, k)));
        for (int b = 7; b <= 9; ++b)
            if (auto* button = w_.cmdPLControl.at(b))
                button->setVisible(b <= n);
    }
    if (ListView* list = listView(k))
        list->zOrder(0);
    UpdatePlaylistButtons();
    ShowListCount(false);
    if (ListStores::validKind(k) && w_.ListPlayState[static_cast<size_t>(k)] == 2)
        SelectCurrentListItem();
    SizeListColumns();
    if (ListStores::validKind(k) && w_.DisplayFlags[DisplayBottomBar] != 0 && w_.DisplayFlags[DisplayMediaRow] != 0)
        services_.Media().ShowMediaToolbarForKind(static_cast<int16_t>(k));
}

void ListPaneDisplay::InitListPaneToolbar()
{
    if (w_.ListPaneBuilt == 0) {
        for (int kind = 1; kind <= 6; ++kind) {
            ListView* list = w_.ListView.load(kind);
            if (!list)
                continue;
            list->setRows(&stores_[kind]);
            list->setSmallIcons(nullptr);
            list->setHideSelection(false);
            stores_[kind].setMultiSelect(true);
            list->setColumnWidth(0, 3000);
            list->setForeColor(QColor(0xFF, 0xFF, 0xFF));
            if (listLoaded)
                listLoaded(kind, *list);
        }
        w_.ListPaneBuilt = -1;
        for (int b = 1; b <= 14; ++b)
            w_.cmdPLControl.load(b);
        for (int b : {0, 10, 11, 12, 13, 14})
            if (auto* button = w_.cmdPLControl.at(b))
                button->setToolTipText(b == 10 ? QString() : padded(listpane::FixedButtonTooltip(b)));
    }
    for (int b : {0, 1, 10, 11, 12, 13, 14})
        SetListButtonPicture(static_cast<int16_t>(b), 0);
}

void ListPaneDisplay::HideListPaneControls()
{
    for (int i : {0, 1, 4})
        w_.APPLabel[i].setVisible(false);
    w_.cmdPLControl[0].setVisible(false);
    int32_t total = 0;
    for (int k = 1; k <= 6; ++k)
        total += w_.ListItemCount[static_cast<size_t>(k)];
    if (total > 0) {
        for (int k = 1; k <= 6; ++k)
            if (ListView* list = listView(k))
                list->setVisible(false);
        for (int b = 1; b <= 14; ++b)
            if (auto* button = w_.cmdPLControl.at(b))
                button->setVisible(false);
        return;
    }
    for (int k = 1; k <= 6; ++k) {
        w_.ListView.unload(k);
        // The sort settings went with the control.
        stores_[k].setSorted(false);
        stores_[k].setSortOrder(0);
        w_.ListItemCount[static_cast<size_t>(k)] = 0;
        w_.ListCurrentItem[static_cast<size_t>(k)] = 0;
    }
    w_.ListPaneBuilt = 0;
    for (int b = 1; b <= 14; ++b)
        w_.cmdPLControl.unload(b);
}

void ListPaneDisplay::SetListButtonPicture(int16_t button, int16_t state)
{
    const int k = w_.CurrentListKind;
    auto* control = w_.cmdPLControl.at(button);
    if (!control || !ListStores::validKind(k))
        return;
    if (button == 10 && w_.ListItemCount[static_cast<size_t>(k)] < 1 && state >= 1)
        return;
    const int16_t base = listpane::ButtonPicture(button, k, stores_[k].sortOrder());
    if (base > 0)
        SetSkinPicture(*control, static_cast<int16_t>(base + state));
}

void ListPaneDisplay::UpdatePlaylistButtons()
{
    if (w_.DisplayFlags[DisplaySidePane] == 0)
        return;
    const int k = w_.CurrentListKind;
    if (!ListStores::validKind(k))
        return;
    const bool enabled = !(w_.ListPlayState[static_cast<size_t>(k)] >= 2 || w_.ListItemCount[static_cast<size_t>(k)] <= 0);
    // A playing or empty list takes one row at a time: the audio list as it
    // always did, and the list shown with it.
    stores_[1].setMultiSelect(enabled);
    stores_[k].setMultiSelect(enabled);
    for (int b = 11; b <= 14; ++b) {
        if (auto* button = w_.cmdPLControl.at(b))
            button->setEnabled(enabled);
        SetListButtonPicture(static_cast<int16_t>(b), enabled ? 0 : 3);
    }
}

void ListPaneDisplay::SelectCurrentListItem()
{
    if (w_.DisplayFlags[DisplaySidePane] == 0 && w_.Placement().FullScreenMode() == 0)
        return;
    const int k = w_.CurrentListKind;
    if (!ListStores::validKind(k))
        return;
    platform::forms::ListRows& rows = stores_[k];
    int32_t i = w_.ListCurrentItem[static_cast<size_t>(k)];
    const int32_t count = w_.ListItemCount[static_cast<size_t>(k)];
    if (i > count)
        i = count;
    if (i < 1)
        i = 1;
    if (i <= rows.count()) {
        if (rows.multiSelect()) {
            rows.setMultiSelect(false);
            rows.setCurrentRow(i);
            rows.setMultiSelect(true);
        } else {
            rows.setCurrentRow(i);
        }
        if (ListView* list = listView(k))
            list->ensureVisible(i);
    }
    ShowListCount(false);
}

void ListPaneDisplay::SortCurrentList()
{
    const int k = w_.CurrentListKind;
    if (!ListStores::validKind(k) || w_.ListItemCount[static_cast<size_t>(k)] == 0)
        return;
    platform::forms::ListRows& rows = stores_[k];
    rows.setSortOrder(rows.sortOrder() == 1 ? 0 : 1);
    rows.setSorted(true);
    if (ListView* list = listView(k))
        list->ensureVisible(rows.currentRow());
    SetListButtonPicture(10, 0);
}

void ListPaneDisplay::HideAddressDropDown()
{
    if (ListView* dropDown = w_.ListView.at(0)) {
        dropDown->setDropHighlight(0);
        dropDown->setVisible(false);
        dropDown->setSmallIcons(nullptr);
    }
}

void ListPaneDisplay::SizeListColumns()
{
    const double s = TwipsScale;
    for (int k = 1; k <= 6; ++k) {
        ListView* list = listView(k);
        if (!list)
            continue;
        const int32_t count = w_.ListItemCount[static_cast<size_t>(k)];
        double margin = 25 * s;
        if (count > 0) {
            // The rows fit (no vertical scroll bar) when they take no more
            // than the list's inside.
            QTreeView* tree = list->tree();
            const int rowHeight = std::max(1, tree->sizeHintForRow(0));
            const int inside = platform::forms::toPixelsY(list->height()) - 2 * tree->frameWidth();
            const bool fits = static_cast<qint64>(count) * rowHeight <= inside;
            margin = (fits ? 75 : 325) * s;
        }
        list->setColumnWidth(0, std::max(0.0, list->width() - margin));
    }
}

void ListPaneDisplay::ShowListCount(bool showSelectedPath)
{
    const int k = w_.CurrentListKind;
    if (!ListStores::validKind(k))
        return;
    const platform::forms::ListRows& rows = stores_[k];
    const auto i = static_cast<size_t>(k);
    w_.ListItemCount[i] = rows.count();
    if (w_.ListItemCount[i] == 0)
        w_.ListCurrentItem[i] = 0;
    const int selected = rows.currentRow();
    const int32_t position = selected > 0 ? selected : w_.ListCurrentItem[i];
    const bool empty = w_.ListItemCount[i] == 0;
    w_.APPLabel[0].setCaption(empty ? QString() : QString::number(position));
    w_.APPLabel[1].setCaption(empty ? QString() : QString::number(w_.ListItemCount[i]));
    if (showSelectedPath)
        services_.Tabs().SetStatusMessage(rows.column(selected, 1), -1, -1);
}
