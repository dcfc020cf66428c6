#pragma once

// A list view in report mode: rows of text in one or more columns (widths
// in twips), each row with a small icon from an image list, one row
// selectable. A click on a row reports its 1-based index.

#include "platform/win/control.h"
#include "platform/win/imagelist.h"

#include <QStringList>

#include <functional>
#include <memory>

class QTreeWidget;

namespace platform::forms {

class ListView : public Control {
public:
    ListView(Form& form, const QString& name, int index = -1, Control* container = nullptr);
    // Its list may still report a focus change while the control goes.
    ~ListView() override;

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
    void setSmallIcons(std::shared_ptr<const ImageList> icons);
    int selectedIndex() const; // 0 when none
    void setSelectedIndex(int index);

    QTreeWidget* tree() const;

    // A row clicked (or chosen with Enter): its 1-based index.
    std::function<void(int index)> itemClick;
    // The list lost the keyboard focus to a widget outside it.
    std::function<void()> focusLeft;

private:
    std::shared_ptr<const ImageList> icons_;
};

} // namespace platform::forms
