#pragma once

// The rows of a list view, kept apart from any widget: a 1-based store of
// rows of five text columns (the row's text and four sub-items), with the
// row selection and the current row, a small-icon number per row and the
// sort settings. A list view shows a store while it exists; the store
// outlives it, so rows and their selection never die with a control.
//
// Whole-list work is done here in one pass each (select all or a range,
// remove the selection, move the selection one place, swap, sort), never
// row by row through a widget.

#include "platform/win/imagelist.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QString>

#include <array>
#include <memory>
#include <vector>

namespace platform::forms {

struct ListRow {
    std::array<QString, 5> columns; // 0 the text, 1-4 the sub-items
    int smallIcon = 0;              // picture of the small-icon list, 0 none
};

class ListRows : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 5;

    explicit ListRows(QObject* parent = nullptr);
    ~ListRows() override;

    int count() const { return static_cast<int>(rows_.size()); }

    // Appends a row, or inserts it at its place in the sort order while the
    // store is sorted; its number.
    int add(const QString& text, int smallIcon = 0);
    int add(ListRow row);
    // Inserts at position (1-based; past the end appends), whatever the sort.
    int insert(int position, const QString& text, int smallIcon = 0);
    // Appends many rows at once, in their order, whatever the sort.
    void append(std::vector<ListRow> rows);
    // Removes one row (1-based); false when there is no such row. The rows
    // behind it move up, keeping their selection.
    bool remove(int row);
    void clear();

    // Columns: 0 the text, 1-4 the sub-items; "" out of range.
    QString text(int row) const { return column(row, 0); }
    QString column(int row, int column) const;
    void setColumn(int row, int column, const QString& value);
    const ListRow* row(int row) const;

    // ---- Selection ----
    // Several rows may be selected at once; a single-selection store keeps
    // at most one.
    bool multiSelect() const { return multiSelect_; }
    void setMultiSelect(bool on);
    bool isSelected(int row) const;
    void setSelected(int row, bool selected);
    void selectAll();
    // Rows first to last (clamped to the rows there are).
    void selectRange(int first, int last, bool selected = true);
    void selectRows(const std::vector<int>& rows);
    void clearSelection();
    // The selected rows, in rising order.
    std::vector<int> selectedRows() const;
    int selectedCount() const;
    // The current row (the list's SelectedItem), 0 for none. Setting it
    // selects the row as well; in a single-selection store it becomes the
    // only selected row.
    int currentRow() const;
    void setCurrentRow(int row);

    // ---- Whole-list operations ----
    // Removes every selected row in one compacting pass; the rows removed,
    // in rising order. The selection and the current row are cleared.
    std::vector<int> removeSelected();
    // Swaps the five columns (and icons) of two rows; the rows keep their
    // places and their selection.
    void swap(int i, int j);
    // Moves every selected row one place up (or down), a block that already
    // touches the end staying where it is and the rows behind it closing up
    // against it; each move swaps the row with its neighbour, which takes
    // over the selection. True when a row moved; movedTo is the place the
    // leading moved row went to (the topmost moving up, the bottommost
    // moving down; 0 when none).
    bool moveSelected(bool up, int* movedTo = nullptr);
    // Sorted by the text, case-blind: 0 ascending, 1 descending. Equal texts
    // keep their order. Selected rows stay selected.
    int sortOrder() const { return sortOrder_; }
    void setSortOrder(int order) { sortOrder_ = order == 0 ? 0 : 1; }
    bool sorted() const { return sorted_; }
    // True sorts the rows at once and keeps later additions in order.
    void setSorted(bool sorted);

    // Small icons are drawn from this list (nullptr: none).
    void setSmallIcons(std::shared_ptr<const ImageList> icons);
    const std::shared_ptr<const ImageList>& smallIcons() const { return icons_; }

    QItemSelectionModel* selectionModel() const { return selection_; }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    void multiSelectChanged(bool on);

private:
    bool valid(int row) const { return row >= 1 && row <= count(); }
    int sortedPosition(const QString& text) const;
    void sortNow();
    QModelIndex at(int row) const { return index(row - 1, 0); }
    void resetWith(std::vector<ListRow> rows, const std::vector<bool>& selected, int current);

    std::vector<ListRow> rows_;
    QItemSelectionModel* selection_;
    std::shared_ptr<const ImageList> icons_;
    bool multiSelect_ = false;
    bool sorted_ = false;
    int sortOrder_ = 0;
};

} // namespace platform::forms
