#pragma once

// A list view in report mode over a row store (platform/win/listrows.h):
// rows of text in columns (widths in twips), each row with a small icon from
// an image list. A view made without a store keeps one of its own; a view
// given a store shows it until another is given or the view goes, and the
// store keeps its rows and selection after that. Only the first column is
// shown. The whole row is selected; several rows when the store allows it.
// A click on a row reports its 1-based index.

#include "platform/win/control.h"
#include "platform/win/imagelist.h"
#include "platform/win/listrows.h"

#include <QColor>
#include <QMetaObject>
#include <QStringList>

#include <functional>
#include <memory>

class QTreeView;

namespace platform::forms {

// What a drag over a list view carries, in the two forms a list takes: the
// local files of its file: URLs (addresses of any other scheme left out,
// never fetched) and text (HTML or plain).
struct ListDrop {
    QStringList files; // local paths, in the order given
    bool hasText = false;
    QString html;
    QString text;
    // Where the pointer is, in twips within the list.
    double x = 0;
    double y = 0;

    bool hasFiles() const { return !files.isEmpty(); }
};

class ListView : public Control {
public:
    ListView(Form& form, const QString& name, int index = -1, Control* container = nullptr);
    // Its list may still report a focus change while the control goes.
    ~ListView() override;

    // The store shown; nullptr gives the view its own (empty) store back.
    void setRows(ListRows* rows);
    ListRows& rows() const { return *rows_; }

    void clear();
    // Inserts a row at position (1-based; past the end appends) with the
    // picture `smallIcon` of the small-icon list (0: none).
    void addItem(int position, const QString& text, int smallIcon = 0);
    // Removes row index (1-based); false when there is no such row.
    bool removeItem(int index);
    int count() const;
    QString itemText(int index) const; // 1-based; "" out of range
    // Height of row 1 in twips (0 without rows).
    double itemHeight() const;
    void setColumnWidth(int column, double twips);
    double columnWidth(int column) const;
    void setSmallIcons(std::shared_ptr<const ImageList> icons);
    int selectedIndex() const; // 0 when none
    void setSelectedIndex(int index);

    // The selected rows stay drawn as selected while another control has
    // the focus (HideSelection false).
    void setHideSelection(bool hide);
    void setBackColor(const QColor& color);
    QColor backColor() const;
    // Scrolls the row into view (EnsureVisible).
    void ensureVisible(int index);
    // The first row shown at the top, 0 without rows.
    int firstVisibleIndex() const;
    // The row at a point (twips within the list), 0 for none.
    int hitTest(double x, double y) const;
    // The row drawn highlighted as a drop target (0 none). A look of its
    // own: it neither selects the row nor changes the selection.
    void setDropHighlight(int index);
    int dropHighlight() const { return dropHighlight_; }

    // Drops: while it accepts them, a drag of files or text over the list
    // offers copying only; dragOver may refuse one (false).
    void setAcceptDrops(bool accept);
    bool acceptDrops() const;

    QTreeView* tree() const;

    // A row clicked (or chosen with Enter): its 1-based index.
    std::function<void(int index)> itemClick;
    // The list lost the keyboard focus to a widget outside it.
    std::function<void()> focusLeft;
    std::function<bool(const ListDrop& drop)> dragOver;
    std::function<void(const ListDrop& drop)> dropped;

private:
    void attach();

    std::unique_ptr<ListRows> own_;
    QMetaObject::Connection multiSelectFollower_;
    ListRows* rows_; // never null: the view's own store when it has no other
    QMetaObject::Connection storeGone_;
    bool hideSelection_ = true;
    int dropHighlight_ = 0;
};

} // namespace platform::forms
