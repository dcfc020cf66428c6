#include "platform/win/listview.h"

#include "platform/win/twips.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QUrl>

#include <algorithm>

namespace platform::forms {

namespace {

int buttonCode(Qt::MouseButtons buttons)
{
    return ((buttons & Qt::LeftButton) ? LeftButton : 0) | ((buttons & Qt::RightButton) ? RightButton : 0)
           | ((buttons & Qt::MiddleButton) ? MiddleButton : 0);
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return ((modifiers & Qt::ShiftModifier) ? 1 : 0) | ((modifiers & Qt::ControlModifier) ? 2 : 0)
           | ((modifiers & Qt::AltModifier) ? 4 : 0);
}

// The drag's data as a list takes it: local files only, and text.
ListDrop dropOf(const QMimeData* data, const QPoint& at)
{
    ListDrop d;
    d.x = toTwipsX(at.x());
    d.y = toTwipsY(at.y());
    if (!data)
        return d;
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            const bool thisMachine = url.host().isEmpty() || url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
            if (url.isLocalFile() && thisMachine && !url.toLocalFile().isEmpty())
                d.files << url.toLocalFile();
        }
    }
    if (data->hasHtml())
        d.html = data->html();
    // Text of the drag's own: QMimeData counts bare addresses as text too,
    // and a drop of links alone is no text.
    const QStringList formats = data->formats();
    const bool plainText = std::any_of(formats.begin(), formats.end(), [](const QString& f) {
        return f.startsWith(QLatin1String("text/plain"), Qt::CaseInsensitive);
    });
    if (plainText)
        d.text = data->text();
    d.hasText = data->hasHtml() || plainText;
    return d;
}

// Draws the drop-target row as a selected one would look, whatever the
// selection is.
class DropHighlightDelegate : public QStyledItemDelegate {
public:
    DropHighlightDelegate(QObject* parent, const ListView*& owner) : QStyledItemDelegate(parent), owner_(owner) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (owner_ && owner_->dropHighlight() == index.row() + 1) {
            QStyleOptionViewItem o(option);
            o.state |= QStyle::State_Selected | QStyle::State_Active;
            QStyledItemDelegate::paint(painter, o, index);
            return;
        }
        QStyledItemDelegate::paint(painter, option, index);
    }

private:
    const ListView*& owner_;
};

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
        setItemDelegate(new DropHighlightDelegate(this, ownerView));
        // Moves without a button reach the list (the drop-down's highlight).
        viewport()->setMouseTracking(true);
        setDropIndicatorShown(false);
    }
    ListView* owner = nullptr;
    const ListView* ownerView = nullptr;

protected:
    // The list's mouse events, raised as the control's, in twips within it.
    void raise(QMouseEvent* e, MouseHandler ControlEvents::*which, Qt::MouseButtons buttons)
    {
        if (!owner)
            return;
        const MouseHandler& handler = owner->events().*which;
        if (handler)
            handler(buttonCode(buttons), shiftCode(e->modifiers()), toTwipsX(e->position().x()), toTwipsY(e->position().y()));
    }
    // The list's own handling first, then the control's event (only while
    // the list is still there: a handler may unload it).
    template <typename Base>
    void forward(QMouseEvent* e, Base base, MouseHandler ControlEvents::*which, Qt::MouseButtons buttons)
    {
        const QPointer<Tree> self(this);
        base();
        if (self)
            raise(e, which, buttons);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        forward(e, [&] { QTreeView::mousePressEvent(e); }, &ControlEvents::mouseDown, e->button());
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        forward(e, [&] { QTreeView::mouseMoveEvent(e); }, &ControlEvents::mouseMove, e->buttons());
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        forward(e, [&] { QTreeView::mouseReleaseEvent(e); }, &ControlEvents::mouseUp, e->button());
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        const QPointer<Tree> self(this);
        QTreeView::mouseDoubleClickEvent(e);
        if (self && owner && owner->events().dblClick)
            owner->events().dblClick();
    }
    // Drops: copying only, of files or text, while the owner takes them.
    // True when this one is taken (and marked so).
    bool take(QDropEvent* e, ListDrop& d)
    {
        d = dropOf(e->mimeData(), e->position().toPoint());
        const bool taken = owner && (d.hasFiles() || d.hasText) && (!owner->dragOver || owner->dragOver(d));
        if (!taken) {
            e->ignore();
            return false;
        }
        e->setDropAction(Qt::CopyAction);
        e->accept();
        return true;
    }
    void dragEnterEvent(QDragEnterEvent* e) override
    {
        ListDrop d;
        take(e, d);
    }
    void dragMoveEvent(QDragMoveEvent* e) override
    {
        ListDrop d;
        if (take(e, d) && owner)
            owner->setDropHighlight(owner->hitTest(d.x, d.y));
    }
    void dragLeaveEvent(QDragLeaveEvent* e) override
    {
        if (owner)
            owner->setDropHighlight(0);
        e->accept();
    }
    void dropEvent(QDropEvent* e) override
    {
        if (owner)
            owner->setDropHighlight(0);
        ListDrop d;
        // The handler may unload the list: nothing of it is touched after.
        if (take(e, d) && owner && owner->dropped) {
            const auto handler = owner->dropped;
            handler(d);
        }
    }
};

} // namespace

ListView::ListView(Form& form, const QString& name, int index, Control* container)
    : Control(form, new Tree(parentWidgetFor(form, container)), name, index, container),
      own_(std::make_unique<ListRows>()), rows_(own_.get())
{
    auto* t = static_cast<Tree*>(tree());
    t->owner = this;
    t->ownerView = this;
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
    t->ownerView = nullptr;
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

int ListView::hitTest(double x, double y) const
{
    const QModelIndex at = tree()->indexAt(QPoint(toPixelsX(x), toPixelsY(y)));
    return at.isValid() ? at.row() + 1 : 0;
}

void ListView::setDropHighlight(int index)
{
    const int row = index >= 1 && index <= count() ? index : 0;
    if (row == dropHighlight_)
        return;
    dropHighlight_ = row;
    tree()->viewport()->update();
}

void ListView::setAcceptDrops(bool accept)
{
    tree()->setAcceptDrops(accept);
    tree()->viewport()->setAcceptDrops(accept);
    if (!accept)
        setDropHighlight(0);
}

bool ListView::acceptDrops() const
{
    return tree()->viewport()->acceptDrops();
}

} // namespace platform::forms
