#include "platform/win/listview.h"

#include "platform/win/twips.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTreeView>

namespace platform::forms {

namespace {

class Tree : public QTreeView {
public:
    explicit Tree(QWidget* parent) : QTreeView(parent)
    {
        setHeaderHidden(true);
        // Column widths are the owner's: the last one is not stretched.
        header()->setStretchLastSection(false);
        setRootIsDecorated(false);
        setItemsExpandable(false);
        setUniformRowHeights(true);
        setAllColumnsShowFocus(true);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setIndentation(0);
        // The columns are sized by the owner: no sideways scrolling.
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setFrameShape(QFrame::Box);
        setLineWidth(1);
    }
    ListView* owner = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid() && owner
            && owner->itemClick) {
            owner->itemClick(currentIndex().row() + 1);
            return;
        }
        QTreeView::keyPressEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QTreeView::focusOutEvent(event);
        if (owner && owner->focusLeft && event->reason() != Qt::PopupFocusReason)
            owner->focusLeft();
    }
};

} // namespace

ListView::ListView(Form& form, const QString& name, int index, Control* container)
    : Control(form, new Tree(parentWidgetFor(form, container)), name, index, container),
      own_(std::make_unique<ListRows>()), rows_(own_.get())
{
    auto* t = static_cast<Tree*>(tree());
    t->owner = this;
    QObject::connect(t, &QAbstractItemView::clicked, t, [this](const QModelIndex& i) {
        if (itemClick && i.isValid())
            itemClick(i.row() + 1);
    });
    attach();
}

ListView::~ListView()
{
    auto* t = static_cast<Tree*>(tree());
    t->owner = nullptr;
    QObject::disconnect(storeGone_);
    QObject::disconnect(multiSelectFollower_);
    // The widget outlives the control a little; it lets go of the store now.
    t->setModel(nullptr);
}

QTreeView* ListView::tree() const
{
    return static_cast<QTreeView*>(widget());
}

void ListView::setRows(ListRows* rows)
{
    rows_ = rows ? rows : own_.get();
    QObject::disconnect(storeGone_);
    if (rows_ != own_.get())
        storeGone_ = QObject::connect(rows_, &QObject::destroyed, tree(), [this] { setRows(nullptr); });
    attach();
}

void ListView::attach()
{
    QTreeView* t = tree();
    ListRows* store = rows_;
    QItemSelectionModel* made = nullptr;
    if (t->model() != store) {
        t->setModel(store);
        made = t->selectionModel();
        t->setSelectionModel(store->selectionModel());
        if (made && made != store->selectionModel())
            made->deleteLater();
    }
    for (int c = 1; c < ListRows::ColumnCount; ++c)
        t->setColumnHidden(c, true);
    const auto follow = [t](bool multi) {
        t->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    };
    follow(store->multiSelect());
    QObject::disconnect(multiSelectFollower_);
    multiSelectFollower_ = QObject::connect(store, &ListRows::multiSelectChanged, t, follow);
    if (store->smallIcons())
        t->setIconSize(QSize(store->smallIcons()->imageWidth(), store->smallIcons()->imageHeight()));
}

void ListView::clear()
{
    rows().clear();
}

void ListView::addItem(int position, const QString& text, int smallIcon)
{
    rows().insert(position, text, smallIcon);
}

bool ListView::removeItem(int index)
{
    return rows().remove(index);
}

int ListView::count() const
{
    return rows().count();
}

QString ListView::itemText(int index) const
{
    return rows().text(index);
}

double ListView::itemHeight() const
{
    if (count() == 0)
        return 0;
    int h = tree()->visualRect(rows().index(0, 0)).height();
    if (h <= 0)
        h = tree()->sizeHintForRow(0);
    return toTwipsY(h);
}

void ListView::setColumnWidth(int column, double twips)
{
    tree()->setColumnWidth(column, std::max(0, toPixelsX(twips)));
}

double ListView::columnWidth(int column) const
{
    return toTwipsX(tree()->columnWidth(column));
}

void ListView::setSmallIcons(std::shared_ptr<const ImageList> icons)
{
    if (icons)
        tree()->setIconSize(QSize(icons->imageWidth(), icons->imageHeight()));
    rows().setSmallIcons(std::move(icons));
}

int ListView::selectedIndex() const
{
    return rows().currentRow();
}

void ListView::setSelectedIndex(int index)
{
    rows().setCurrentRow(index);
}

void ListView::setHideSelection(bool hide)
{
    hideSelection_ = hide;
    QPalette p = tree()->palette();
    const QPalette standard = tree()->style()->standardPalette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        p.setColor(QPalette::Inactive, role,
                   hide ? standard.color(QPalette::Inactive, role) : p.color(QPalette::Active, role));
    tree()->setPalette(p);
}

void ListView::setBackColor(const QColor& color)
{
    QPalette p = tree()->palette();
    p.setColor(QPalette::Base, color);
    p.setColor(QPalette::Window, color);
    tree()->setPalette(p);
}

QColor ListView::backColor() const
{
    return tree()->palette().color(QPalette::Base);
}

void ListView::ensureVisible(int index)
{
    if (index >= 1 && index <= count())
        tree()->scrollTo(rows().index(index - 1, 0));
}

int ListView::firstVisibleIndex() const
{
    if (count() == 0)
        return 0;
    const QModelIndex top = tree()->indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() + 1 : 1;
}

} // namespace platform::forms
