#include "platform/win/listview.h"

#include "platform/win/twips.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>

namespace platform::forms {

namespace {

class Tree : public QTreeWidget {
public:
    explicit Tree(QWidget* parent) : QTreeWidget(parent)
    {
        setColumnCount(1);
        setHeaderHidden(true);
        setRootIsDecorated(false);
        setUniformRowHeights(true);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setIndentation(0);
        // The columns are sized by the owner: no sideways scrolling.
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setFrameShape(QFrame::Box);
        setLineWidth(1);
    }
    ListView* owner = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem() && owner
            && owner->itemClick) {
            owner->itemClick(indexOfTopLevelItem(currentItem()) + 1);
            return;
        }
        QTreeWidget::keyPressEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QTreeWidget::focusOutEvent(event);
        if (owner && owner->focusLeft && event->reason() != Qt::PopupFocusReason)
            owner->focusLeft();
    }
};

} // namespace

ListView::ListView(Form& form, const QString& name, int index, Control* container)
    : Control(form, new Tree(parentWidgetFor(form, container)), name, index, container)
{
    auto* t = static_cast<Tree*>(tree());
    t->owner = this;
    QObject::connect(t, &QTreeWidget::itemClicked, t, [this, t](QTreeWidgetItem* item, int) {
        if (itemClick)
            itemClick(t->indexOfTopLevelItem(item) + 1);
    });
}

ListView::~ListView()
{
    static_cast<Tree*>(tree())->owner = nullptr;
}

QTreeWidget* ListView::tree() const
{
    return static_cast<QTreeWidget*>(widget());
}

void ListView::clear()
{
    tree()->clear();
}

void ListView::addItem(int position, const QString& text, int smallIcon)
{
    auto* item = new QTreeWidgetItem(QStringList{text});
    if (icons_ && smallIcon > 0) {
        const QImage picture = icons_->picture(smallIcon);
        if (!picture.isNull())
            item->setIcon(0, QIcon(QPixmap::fromImage(picture)));
    }
    const int at = std::clamp(position - 1, 0, count());
    tree()->insertTopLevelItem(at, item);
}

bool ListView::removeItem(int index)
{
    if (index < 1 || index > count())
        return false;
    delete tree()->takeTopLevelItem(index - 1);
    return true;
}

int ListView::count() const
{
    return tree()->topLevelItemCount();
}

QString ListView::itemText(int index) const
{
    const QTreeWidgetItem* item = index >= 1 ? tree()->topLevelItem(index - 1) : nullptr;
    return item ? item->text(0) : QString();
}

double ListView::itemHeight() const
{
    const QTreeWidgetItem* item = tree()->topLevelItem(0);
    if (!item)
        return 0;
    int h = tree()->visualItemRect(item).height();
    if (h <= 0)
        h = tree()->sizeHintForRow(0);
    return toTwipsY(h);
}

void ListView::setColumnWidth(int column, double twips)
{
    tree()->setColumnWidth(column, std::max(0, toPixelsX(twips)));
}

void ListView::setSmallIcons(std::shared_ptr<const ImageList> icons)
{
    icons_ = std::move(icons);
    if (icons_)
        tree()->setIconSize(QSize(icons_->imageWidth(), icons_->imageHeight()));
}

int ListView::selectedIndex() const
{
    QTreeWidgetItem* item = tree()->currentItem();
    return item ? tree()->indexOfTopLevelItem(item) + 1 : 0;
}

void ListView::setSelectedIndex(int index)
{
    if (QTreeWidgetItem* item = index >= 1 ? tree()->topLevelItem(index - 1) : nullptr)
        tree()->setCurrentItem(item);
}

} // namespace platform::forms
