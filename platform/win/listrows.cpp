#include "platform/win/listrows.h"

#include <QSignalBlocker>

#include <QIcon>
#include <QPixmap>

#include <algorithm>

namespace platform::forms {

namespace {

// Adjacent rows of a mark vector (0-based) as whole-row ranges.
QItemSelection rangesOf(const QAbstractItemModel& model, const std::vector<char>& marks)
{
    QItemSelection out;
    const int n = static_cast<int>(marks.size());
    const int lastColumn = ListRows::ColumnCount - 1;
    for (int i = 0; i < n;) {
        if (!marks[static_cast<size_t>(i)]) {
            ++i;
            continue;
        }
        int j = i;
        while (j + 1 < n && marks[static_cast<size_t>(j + 1)])
            ++j;
        out.append(QItemSelectionRange(model.index(i, 0), model.index(j, lastColumn)));
        i = j + 1;
    }
    return out;
}

bool textBefore(const QString& a, const QString& b, int order)
{
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return order == 0 ? c < 0 : c > 0;
}

} // namespace

ListRows::ListRows(QObject* parent) : QAbstractTableModel(parent), selection_(new QItemSelectionModel(this, this)) {}

ListRows::~ListRows() = default;

int ListRows::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int ListRows::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ListRows::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count() || index.column() >= ColumnCount)
        return {};
    const ListRow& r = rows_[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return r.columns[static_cast<size_t>(index.column())];
    case Qt::DecorationRole:
        if (index.column() == 0 && r.smallIcon > 0 && icons_) {
            const QImage picture = icons_->picture(r.smallIcon);
            if (!picture.isNull())
                return QIcon(QPixmap::fromImage(picture));
        }
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags ListRows::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

int ListRows::sortedPosition(const QString& text) const
{
    // After every row of an equal text, so that equal texts keep their order.
    const auto it = std::upper_bound(rows_.begin(), rows_.end(), text, [this](const QString& t, const ListRow& r) {
        return textBefore(t, r.columns[0], sortOrder_);
    });
    return static_cast<int>(it - rows_.begin()) + 1;
}

int ListRows::add(const QString& text, int smallIcon)
{
    ListRow r;
    r.columns[0] = text;
    r.smallIcon = smallIcon;
    return add(std::move(r));
}

int ListRows::add(ListRow row)
{
    const int at = sorted_ ? sortedPosition(row.columns[0]) - 1 : count();
    beginInsertRows(QModelIndex(), at, at);
    rows_.insert(rows_.begin() + at, std::move(row));
    endInsertRows();
    return at + 1;
}

int ListRows::insert(int position, const QString& text, int smallIcon)
{
    const int at = std::clamp(position - 1, 0, count());
    beginInsertRows(QModelIndex(), at, at);
    ListRow r;
    r.columns[0] = text;
    r.smallIcon = smallIcon;
    rows_.insert(rows_.begin() + at, std::move(r));
    endInsertRows();
    return at + 1;
}

void ListRows::append(std::vector<ListRow> rows)
{
    if (rows.empty())
        return;
    beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(rows.size()) - 1);
    if (rows_.empty()) {
        rows_ = std::move(rows);
    } else {
        rows_.reserve(rows_.size() + rows.size());
        std::move(rows.begin(), rows.end(), std::back_inserter(rows_));
    }
    endInsertRows();
}

bool ListRows::remove(int row)
{
    if (!valid(row))
        return false;
    beginRemoveRows(QModelIndex(), row - 1, row - 1);
    rows_.erase(rows_.begin() + (row - 1));
    endRemoveRows();
    return true;
}

void ListRows::clear()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
}

QString ListRows::column(int row, int column) const
{
    if (!valid(row) || column < 0 || column >= ColumnCount)
        return {};
    return rows_[static_cast<size_t>(row - 1)].columns[static_cast<size_t>(column)];
}

void ListRows::setColumn(int row, int column, const QString& value)
{
    if (!valid(row) || column < 0 || column >= ColumnCount)
        return;
    rows_[static_cast<size_t>(row - 1)].columns[static_cast<size_t>(column)] = value;
    const QModelIndex i = index(row - 1, column);
    Q_EMIT dataChanged(i, i, {Qt::DisplayRole});
}

const ListRow* ListRows::row(int row) const
{
    return valid(row) ? &rows_[static_cast<size_t>(row - 1)] : nullptr;
}

void ListRows::setMultiSelect(bool on)
{
    if (on == multiSelect_)
        return;
    multiSelect_ = on;
    Q_EMIT multiSelectChanged(on);
}

bool ListRows::isSelected(int row) const
{
    return valid(row) && selection_->isRowSelected(row - 1, QModelIndex());
}

void ListRows::setSelected(int row, bool selected)
{
    if (!valid(row))
        return;
    if (selected && !multiSelect_) {
        selection_->select(at(row), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    selection_->select(at(row), (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect)
                                    | QItemSelectionModel::Rows);
}

void ListRows::selectAll()
{
    selectRange(1, count(), true);
}

void ListRows::selectRange(int first, int last, bool selected)
{
    first = std::max(first, 1);
    last = std::min(last, count());
    if (first > last)
        return;
    if (selected && !multiSelect_)
        first = last;
    const QItemSelection range(index(first - 1, 0), index(last - 1, ColumnCount - 1));
    QItemSelectionModel::SelectionFlags how = selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect;
    if (selected && !multiSelect_)
        how = QItemSelectionModel::ClearAndSelect;
    selection_->select(range, how);
}

void ListRows::selectRows(const std::vector<int>& rows)
{
    std::vector<char> marks(rows_.size(), 0);
    int last = 0;
    for (int r : rows)
        if (valid(r)) {
            marks[static_cast<size_t>(r - 1)] = 1;
            last = r;
        }
    if (!multiSelect_) {
        std::fill(marks.begin(), marks.end(), 0);
        if (last > 0)
            marks[static_cast<size_t>(last - 1)] = 1;
    }
    selection_->select(rangesOf(*this, marks), QItemSelectionModel::ClearAndSelect);
}

void ListRows::clearSelection()
{
    selection_->clearSelection();
}

std::vector<int> ListRows::selectedRows() const
{
    std::vector<char> marks(rows_.size(), 0);
    for (const QItemSelectionRange& r : selection_->selection())
        for (int i = r.top(); i <= r.bottom() && i < count(); ++i)
            marks[static_cast<size_t>(i)] = 1;
    std::vector<int> out;
    for (size_t i = 0; i < marks.size(); ++i)
        if (marks[i])
            out.push_back(static_cast<int>(i) + 1);
    return out;
}

int ListRows::selectedCount() const
{
    return static_cast<int>(selectedRows().size());
}

int ListRows::currentRow() const
{
    const QModelIndex i = selection_->currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

void ListRows::setCurrentRow(int row)
{
    if (!valid(row))
        return;
    selection_->setCurrentIndex(at(row), (multiSelect_ ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect)
                                             | QItemSelectionModel::Rows);
}

void ListRows::resetWith(std::vector<ListRow> rows, const std::vector<bool>& selected, int current)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
    std::vector<char> marks(rows_.size(), 0);
    for (size_t i = 0; i < selected.size() && i < marks.size(); ++i)
        marks[i] = selected[i] ? 1 : 0;
    if (current >= 1 && current <= count())
        selection_->setCurrentIndex(at(current), QItemSelectionModel::NoUpdate);
    selection_->select(rangesOf(*this, marks), QItemSelectionModel::ClearAndSelect);
}

std::vector<int> ListRows::removeSelected()
{
    std::vector<int> removed = selectedRows();
    if (removed.empty())
        return removed;
    std::vector<ListRow> kept;
    kept.reserve(rows_.size() - removed.size());
    size_t next = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (next < removed.size() && static_cast<size_t>(removed[next] - 1) == i) {
            ++next;
            continue;
        }
        kept.push_back(std::move(rows_[i]));
    }
    resetWith(std::move(kept), {}, 0);
    return removed;
}

void ListRows::swap(int i, int j)
{
    if (!valid(i) || !valid(j) || i == j)
        return;
    std::swap(rows_[static_cast<size_t>(i - 1)], rows_[static_cast<size_t>(j - 1)]);
    const int lo = std::min(i, j);
    const int hi = std::max(i, j);
    Q_EMIT dataChanged(index(lo - 1, 0), index(hi - 1, ColumnCount - 1));
}

bool ListRows::moveSelected(bool up, int* movedTo)
{
    if (movedTo)
        *movedTo = 0;
    const int n = count();
    std::vector<char> marks(rows_.size(), 0);
    int first = 0;
    int last = 0;
    for (int r : selectedRows()) {
        marks[static_cast<size_t>(r - 1)] = 1;
        if (first == 0)
            first = r;
        last = r;
    }
    if (first == 0)
        return false;
    bool result = false;
    int moved = 0;
    int lo = n + 1;
    int hi = 0;
    int leadTarget = 0;
    const auto swapRows = [&](int i, int target) {
        std::swap(rows_[static_cast<size_t>(i - 1)], rows_[static_cast<size_t>(target - 1)]);
        marks[static_cast<size_t>(target - 1)] = 1;
        marks[static_cast<size_t>(i - 1)] = 0;
        lo = std::min({lo, i, target});
        hi = std::max({hi, i, target});
        if (leadTarget == 0)
            leadTarget = target;
        result = true;
    };
    if (up) {
        for (int i = first; i <= last; ++i) {
            if (!marks[static_cast<size_t>(i - 1)])
                continue;
            if (i - 1 > moved)
                swapRows(i, i - 1);
            ++moved;
        }
    } else {
        for (int i = last; i >= first; --i) {
            if (!marks[static_cast<size_t>(i - 1)])
                continue;
            if (i + 1 <= n - moved)
                swapRows(i, i + 1);
            ++moved;
        }
    }
    if (!result)
        return false;
    selection_->setCurrentIndex(at(leadTarget), QItemSelectionModel::NoUpdate);
    // The selection moves with its rows: cleared, then selected anew (one
    // step replacing a thousand scattered ranges compares old and new range
    // by range, tens of milliseconds); the views are told once, below, by
    // the rows that changed.
    {
        const QSignalBlocker quiet(selection_);
        selection_->select(QItemSelection(), QItemSelectionModel::Clear);
        selection_->select(rangesOf(*this, marks), QItemSelectionModel::Select);
    }
    Q_EMIT dataChanged(index(lo - 1, 0), index(hi - 1, ColumnCount - 1));
    if (movedTo)
        *movedTo = leadTarget;
    return true;
}

void ListRows::setSorted(bool sorted)
{
    sorted_ = sorted;
    if (sorted_)
        sortNow();
}

void ListRows::sortNow()
{
    const int n = count();
    if (n < 2)
        return;
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        order[static_cast<size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return textBefore(rows_[static_cast<size_t>(a)].columns[0], rows_[static_cast<size_t>(b)].columns[0], sortOrder_);
    });
    std::vector<char> wasSelected(static_cast<size_t>(n), 0);
    for (int r : selectedRows())
        wasSelected[static_cast<size_t>(r - 1)] = 1;
    const int current = currentRow();
    std::vector<ListRow> sortedRows;
    sortedRows.reserve(static_cast<size_t>(n));
    std::vector<bool> selected(static_cast<size_t>(n), false);
    int newCurrent = 0;
    for (int i = 0; i < n; ++i) {
        const int from = order[static_cast<size_t>(i)];
        sortedRows.push_back(std::move(rows_[static_cast<size_t>(from)]));
        selected[static_cast<size_t>(i)] = wasSelected[static_cast<size_t>(from)] != 0;
        if (from + 1 == current)
            newCurrent = i + 1;
    }
    resetWith(std::move(sortedRows), selected, newCurrent);
}

void ListRows::setSmallIcons(std::shared_ptr<const ImageList> icons)
{
    icons_ = std::move(icons);
    if (count() > 0)
        Q_EMIT dataChanged(index(0, 0), index(count() - 1, 0), {Qt::DecorationRole});
}

} // namespace platform::forms
