#include "platform/win/popupmenus.h"

#include "platform/win/winproc.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace platform::menus {

namespace {

using winproc::sendMessage;

struct MenuItem {
    uint32_t flags = 0;
    uintptr_t id = 0;     // the command, or the sub-menu handle of a popup item
    MenuHandle sub = 0;   // sub-menu of a popup item
    uintptr_t data = 0;
};

struct Menu {
    std::vector<MenuItem> items;
};

std::map<MenuHandle, Menu>& menus()
{
    static std::map<MenuHandle, Menu> all;
    return all;
}

// Handles count up from a base far above the command identifiers the
// program hands out, like the old system's handles.
MenuHandle nextHandle = 0x000A0000;

Menu* findMenu(MenuHandle h)
{
    auto it = menus().find(h);
    return it == menus().end() ? nullptr : &it->second;
}

// The item named by command (searched depth first, a popup item's own
// identifier after its sub-menu) or by position; its menu in holder.
MenuItem* findItem(MenuHandle menu, uintptr_t item, uint32_t flags, MenuHandle* holder, int* position,
                   int depth = 0)
{
    Menu* m = findMenu(menu);
    if (!m || depth > 32)
        return nullptr;
    if (flags & MF_BYPOSITION) {
        if (item >= m->items.size())
            return nullptr;
        *holder = menu;
        *position = static_cast<int>(item);
        return &m->items[item];
    }
    int fallback = -1;
    for (size_t i = 0; i < m->items.size(); ++i) {
        const MenuItem& it = m->items[i];
        if (it.flags & MF_POPUP) {
            if (MenuItem* inner = findItem(it.sub, item, flags, holder, position, depth + 1))
                return inner;
            if (it.id == item && fallback < 0)
                fallback = static_cast<int>(i);
        } else if (it.id == item) {
            *holder = menu;
            *position = static_cast<int>(i);
            return &m->items[i];
        }
    }
    if (fallback >= 0) {
        *holder = menu;
        *position = fallback;
        return &m->items[static_cast<size_t>(fallback)];
    }
    return nullptr;
}

MenuItem makeItem(uint32_t flags, uintptr_t idOrSubMenu, uintptr_t data)
{
    MenuItem it;
    it.flags = flags & ~MF_BYPOSITION;
    it.id = idOrSubMenu;
    it.sub = (flags & MF_POPUP) ? static_cast<MenuHandle>(idOrSubMenu) : 0;
    it.data = data;
    return it;
}

bool selectable(const MenuItem& it)
{
    return !(it.flags & MF_SEPARATOR);
}

bool enabled(const MenuItem& it)
{
    return !(it.flags & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR));
}

uint32_t drawState(const MenuItem& it, bool selected)
{
    uint32_t state = selected ? ODS_SELECTED : 0;
    if (it.flags & MF_SEPARATOR)
        state |= ODS_GRAYED | ODS_DISABLED;
    if (it.flags & MF_GRAYED)
        state |= ODS_GRAYED;
    if (it.flags & MF_DISABLED)
        state |= ODS_DISABLED;
    return state;
}

intptr_t makeLong(int low, int high)
{
    return static_cast<intptr_t>((static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16) |
                                 static_cast<uint16_t>(low));
}

constexpr int kFrame = 2;           // border around the items
constexpr int kDefaultHeight = 18;  // an item the owner did not measure
constexpr int kDefaultWidth = 100;
constexpr int kOpenDelayMs = 250;   // hover time before a sub-menu opens
constexpr int kArrowBand = 16;      // the scroll arrows of a menu taller than the screen
constexpr int kScrollMs = 40;       // one scroll step while the pointer rests on an arrow
constexpr int kScrollStep = 12;     // pixels per step

class Tracker;

// One menu window; everything it receives goes to the tracker.
class PopupWindow : public QWidget {
public:
    PopupWindow(Tracker& tracker, int level)
        : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint),
          tracker_(&tracker), level_(level)
    {
        setAttribute(Qt::WA_NoMouseReplay);
        setAttribute(Qt::WA_DeleteOnClose, false);
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
    }
    bool closingByTracker = false;
    // A window on its way out no longer reaches the tracker.
    void detach()
    {
        closingByTracker = true;
        tracker_ = nullptr;
    }

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    Tracker* tracker_;
    int level_;
};

class Tracker {
public:
    struct Level {
        MenuHandle menu = 0;
        std::unique_ptr<PopupWindow> window;
        std::vector<QRect> rects; // item rectangles in the drawing area
        int selected = -1;
        int parentItem = -1;      // the item of the level below that opened it
        // A menu taller than the screen shows part of its items between two
        // arrows; scroll is how far its items are moved up.
        bool scrolls = false;
        int scroll = 0;
        int itemsHeight = 0;
    };

    Tracker(QWidget* owner) : owner_(owner)
    {
        scrollTimer_.setInterval(kScrollMs);
        QObject::connect(&scrollTimer_, &QTimer::timeout, [this] { scrollStep(); });
        openTimer_.setSingleShot(true);
        openTimer_.setInterval(kOpenDelayMs);
        QObject::connect(&openTimer_, &QTimer::timeout, [this] {
            if (pendingLevel_ >= 0 && pendingLevel_ < static_cast<int>(levels_.size()) &&
                levels_[static_cast<size_t>(pendingLevel_)].selected == pendingItem_)
                openSub(pendingLevel_, pendingItem_, false);
        });
    }

    ~Tracker()
    {
        for (auto& l : levels_)
            if (l.window)
                l.window->detach();
    }

    uintptr_t run(MenuHandle root, uint32_t flags, QPoint point, const QRect* exclude)
    {
        send(winproc::WM_INITMENUPOPUP, root, 0);
        if (done_ || !isMenu(root) || itemCount(root) <= 0)
            return 0;
        Level level;
        level.menu = root;
        levels_.push_back(std::move(level));
        const QRect screen = screenArea(point);
        const QSize size = fitHeight(0, measure(0), screen);
        std::optional<QRect> excl;
        if (exclude && exclude->isValid())
            excl = *exclude;
        const QRect place = placePopup(size, point, excl, flags & TPM_VERTICAL, screen);
        // A menu opened by a mouse press: the release of that press, where
        // it was pressed, chooses nothing (the item under the pointer may be
        // any); a release after the pointer moved on chooses, as a drag does.
        if (QGuiApplication::mouseButtons() != Qt::NoButton)
            openingPress_ = QCursor::pos();
        showLevel(0, place);
        if (!done_)
            loop_.exec();
        return result_;
    }

    void menuDestroyed(MenuHandle h)
    {
        for (size_t i = 0; i < levels_.size(); ++i) {
            if (levels_[i].menu == h) {
                if (i == 0)
                    finish(0);
                else
                    closeAbove(static_cast<int>(i) - 1);
                return;
            }
        }
    }

    void menuChanged(MenuHandle h)
    {
        for (size_t i = 0; i < levels_.size(); ++i) {
            if (levels_[i].menu == h && levels_[i].window) {
                const QSize size = fitHeight(static_cast<int>(i), measure(static_cast<int>(i)),
                                             screenArea(levels_[i].window->geometry().center()));
                Level& l = levels_[i];
                if (l.selected >= static_cast<int>(l.rects.size()))
                    l.selected = -1;
                l.window->resize(size);
                l.window->update();
            }
        }
    }

    void paint(int level, QPainter& p)
    {
        if (level >= static_cast<int>(levels_.size()))
            return;
        Level& l = levels_[static_cast<size_t>(level)];
        const QRect outer = l.window->rect();
        p.setPen(QColor(128, 128, 128));
        p.drawRect(outer.adjusted(0, 0, -1, -1));
        p.fillRect(outer.adjusted(1, 1, -1, -1), Qt::white);
        if (l.scrolls)
            drawScrollArrows(p, l);
        p.translate(kFrame, kFrame + top(l));
        const Menu* m = findMenu(l.menu);
        if (!m)
            return;
        const QRect view = viewport(l).translated(0, -top(l));
        for (size_t i = 0; i < m->items.size() && i < l.rects.size(); ++i) {
            if (!l.rects[i].intersects(view))
                continue;
            const MenuItem it = m->items[i];
            DrawItemInfo di;
            di.itemId = it.id;
            di.itemState = drawState(it, static_cast<int>(i) == l.selected);
            di.menu = l.menu;
            di.painter = &p;
            di.rcItem = l.rects[i];
            di.itemData = it.data;
            p.save();
            p.setClipRect(l.rects[i].intersected(view));
            if (it.flags & MF_OWNERDRAW)
                send(winproc::WM_DRAWITEM, 0, reinterpret_cast<intptr_t>(&di));
            const QColor arrow = p.pen().color();
            p.restore();
            if (it.flags & MF_POPUP)
                drawArrow(p, l.rects[i], arrow);
        }
    }

    void mouseMove(QPoint global)
    {
        // Resting on a scroll arrow scrolls the menu.
        scrollLevel_ = arrowUnder(global, &scrollDir_);
        if (scrollLevel_ >= 0) {
            if (!scrollTimer_.isActive())
                scrollTimer_.start();
            return;
        }
        scrollTimer_.stop();
        int item = -1;
        const int level = hit(global, &item);
        if (level < 0 || item < 0)
            return;
        Level& l = levels_[static_cast<size_t>(level)];
        if (l.selected == item)
            return;
        select(level, item);
        const MenuItem* it = itemAt(level, item);
        if (it && (it->flags & MF_POPUP) && enabled(*it)) {
            pendingLevel_ = level;
            pendingItem_ = item;
            openTimer_.start();
        }
    }

    void mousePress(QPoint global)
    {
        openingPress_.reset();
        int direction = 0;
        if (arrowUnder(global, &direction) >= 0)
            return; // the arrows scroll; a press on them chooses nothing
        int item = -1;
        const int level = hit(global, &item);
        if (level < 0) {
            finish(0); // a press outside every menu closes it
            return;
        }
        if (item < 0)
            return;
        select(level, item);
        const MenuItem* it = itemAt(level, item);
        if (it && (it->flags & MF_POPUP))
            openSub(level, item, false);
    }

    void mouseRelease(QPoint global)
    {
        if (const std::optional<QPoint> opening = std::exchange(openingPress_, std::nullopt);
            opening && (global - *opening).manhattanLength() <= QApplication::startDragDistance())
            return;
        int item = -1;
        const int level = hit(global, &item);
        if (level < 0 || item < 0)
            return;
        const MenuItem* it = itemAt(level, item);
        if (it && !(it->flags & MF_POPUP) && enabled(*it))
            finish(it->id);
    }

    void key(QKeyEvent* e)
    {
        if (levels_.empty())
            return;
        const int top = static_cast<int>(levels_.size()) - 1;
        Level& l = levels_[static_cast<size_t>(top)];
        switch (e->key()) {
        case Qt::Key_Down: step(top, +1); return;
        case Qt::Key_Up: step(top, -1); return;
        case Qt::Key_Home: l.selected = -1; step(top, +1); return;
        case Qt::Key_End: l.selected = -1; step(top, -1); return;
        case Qt::Key_Right:
            if (const MenuItem* it = itemAt(top, l.selected); it && (it->flags & MF_POPUP))
                openSub(top, l.selected, true);
            return;
        case Qt::Key_Left:
            if (top > 0)
                closeAbove(top - 1);
            return;
        case Qt::Key_Escape:
            if (top > 0)
                closeAbove(top - 1);
            else
                finish(0);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            execute(top, l.selected);
            return;
        default:
            break;
        }
        const QString text = e->text();
        if (text.isEmpty() || !text.at(0).isPrint() || (e->modifiers() & Qt::ControlModifier))
            return;
        const uintptr_t wParam = static_cast<uintptr_t>(text.at(0).unicode()) |
                                 (static_cast<uintptr_t>(MF_POPUP) << 16);
        const intptr_t answer = send(winproc::WM_MENUCHAR, wParam, static_cast<intptr_t>(l.menu));
        if (done_ || top >= static_cast<int>(levels_.size()))
            return;
        const int action = static_cast<int>((answer >> 16) & 0xFFFF);
        const int position = static_cast<int>(answer & 0xFFFF);
        if (action == MNC_EXECUTE) {
            select(top, position);
            execute(top, position);
        } else if (action == MNC_SELECT) {
            select(top, position);
        } else if (action == MNC_CLOSE) {
            finish(0);
        }
    }

    void windowClosed(int level)
    {
        // Closed from outside (the application lost the focus): no choice.
        if (!done_ && level == 0)
            finish(0);
        else if (!done_ && level > 0 && level < static_cast<int>(levels_.size()))
            closeAbove(level - 1);
    }

    std::vector<QWidget*> windows() const
    {
        std::vector<QWidget*> out;
        for (const auto& l : levels_)
            if (l.window && l.window->isVisible())
                out.push_back(l.window.get());
        return out;
    }

    void cancel() { finish(0); }

    void wheel(int level, int steps)
    {
        if (level < 0 || level >= static_cast<int>(levels_.size()))
            return;
        scrollBy(level, -steps * 3 * kDefaultHeight);
    }

    // Screen rectangles of the items that show, per level.
    std::vector<std::vector<QRect>> itemRects() const
    {
        std::vector<std::vector<QRect>> out;
        for (size_t i = 0; i < levels_.size(); ++i) {
            std::vector<QRect> rects;
            for (size_t k = 0; k < levels_[i].rects.size(); ++k)
                rects.push_back(itemOnScreen(static_cast<int>(i), static_cast<int>(k)));
            out.push_back(std::move(rects));
        }
        return out;
    }

private:
    intptr_t send(uint32_t msg, uintptr_t wParam, intptr_t lParam)
    {
        if (!owner_)
            return 0;
        return sendMessage(owner_, msg, wParam, lParam);
    }

    // Where the items start below the window's frame: the top arrow's band
    // less what is scrolled away.
    static int top(const Level& l) { return l.scrolls ? kArrowBand - l.scroll : 0; }

    // The part of the window's drawing area the items show in (coordinates
    // of the drawing area, which starts inside the frame).
    static QRect viewport(const Level& l)
    {
        const QRect inner = l.window ? l.window->rect().adjusted(0, 0, -2 * kFrame, -2 * kFrame) : QRect();
        return l.scrolls ? inner.adjusted(0, kArrowBand, 0, -kArrowBand) : inner;
    }

    // A menu higher than the screen gets the screen's height and scrolls.
    QSize fitHeight(int level, QSize size, const QRect& screen)
    {
        Level& l = levels_[static_cast<size_t>(level)];
        l.itemsHeight = size.height() - 2 * kFrame;
        l.scrolls = size.height() > screen.height();
        if (!l.scrolls) {
            l.scroll = 0;
            return size;
        }
        size.setHeight(screen.height());
        l.scroll = std::clamp(l.scroll, 0, maxScroll(l, size.height()));
        return size;
    }

    static int maxScroll(const Level& l, int windowHeight)
    {
        return std::max(0, l.itemsHeight - (windowHeight - 2 * kFrame - 2 * kArrowBand));
    }

    void scrollBy(int level, int dy)
    {
        Level& l = levels_[static_cast<size_t>(level)];
        if (!l.scrolls || !l.window)
            return;
        const int next = std::clamp(l.scroll + dy, 0, maxScroll(l, l.window->height()));
        if (next == l.scroll)
            return;
        l.scroll = next;
        // A deeper menu belonged to an item that moved.
        closeAbove(level);
        l.window->update();
    }

    void scrollStep()
    {
        if (scrollLevel_ < 0 || scrollLevel_ >= static_cast<int>(levels_.size())) {
            scrollTimer_.stop();
            return;
        }
        scrollBy(scrollLevel_, scrollDir_ * kScrollStep);
    }

    // The level whose scroll arrow is under the point (-1: none) and the
    // direction: -1 the top arrow, 1 the bottom one. The uppermost menu
    // window under the point decides.
    int arrowUnder(QPoint global, int* direction) const
    {
        for (int i = static_cast<int>(levels_.size()) - 1; i >= 0; --i) {
            const Level& l = levels_[static_cast<size_t>(i)];
            if (!l.window || !l.window->isVisible() || !l.window->geometry().contains(global))
                continue;
            if (!l.scrolls)
                return -1;
            const int y = global.y() - l.window->geometry().top();
            *direction = y < kFrame + kArrowBand ? -1 : y >= l.window->height() - kFrame - kArrowBand ? 1 : 0;
            return *direction != 0 ? i : -1;
        }
        return -1;
    }

    // The item's place on the screen; empty when it is scrolled out of view.
    QRect itemOnScreen(int level, int item) const
    {
        const Level& l = levels_[static_cast<size_t>(level)];
        if (!l.window || item < 0 || item >= static_cast<int>(l.rects.size()))
            return {};
        const QRect view = viewport(l);
        const QRect r = l.rects[static_cast<size_t>(item)].translated(0, top(l)).intersected(view);
        return r.isEmpty() ? QRect() : r.translated(l.window->geometry().topLeft() + QPoint(kFrame, kFrame));
    }

    void ensureVisible(int level, int item)
    {
        Level& l = levels_[static_cast<size_t>(level)];
        if (!l.scrolls || !l.window || item < 0 || item >= static_cast<int>(l.rects.size()))
            return;
        const QRect r = l.rects[static_cast<size_t>(item)];
        const int viewHeight = l.window->height() - 2 * kFrame - 2 * kArrowBand;
        int next = l.scroll;
        if (r.top() < next)
            next = r.top();
        else if (r.bottom() + 1 > next + viewHeight)
            next = r.bottom() + 1 - viewHeight;
        scrollBy(level, next - l.scroll);
    }

    static void drawScrollArrows(QPainter& p, const Level& l)
    {
        const QRect outer = l.window->rect();
        const int maxS = maxScroll(l, outer.height());
        const auto arrow = [&p](QRect band, bool up, bool live) {
            const QPoint c = band.center();
            const int tip = up ? -3 : 3;
            const QPoint tri[3] = {QPoint(c.x() - 5, c.y() - tip), QPoint(c.x() + 5, c.y() - tip), QPoint(c.x(), c.y() + tip)};
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(live ? QColor(0, 0, 0) : QColor(197, 194, 184));
            p.drawPolygon(tri, 3);
            p.restore();
        };
        const QRect topBand(kFrame, kFrame, outer.width() - 2 * kFrame, kArrowBand);
        const QRect bottomBand(kFrame, outer.height() - kFrame - kArrowBand, outer.width() - 2 * kFrame, kArrowBand);
        arrow(topBand, true, l.scroll > 0);
        arrow(bottomBand, false, l.scroll < maxS);
    }

    QRect screenArea(QPoint at) const
    {
        QScreen* screen = owner_ ? owner_->screen() : nullptr;
        if (!screen)
            screen = QGuiApplication::screenAt(at);
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    }

    const MenuItem* itemAt(int level, int item) const
    {
        if (level < 0 || level >= static_cast<int>(levels_.size()) || item < 0)
            return nullptr;
        const Menu* m = findMenu(levels_[static_cast<size_t>(level)].menu);
        if (!m || item >= static_cast<int>(m->items.size()))
            return nullptr;
        return &m->items[static_cast<size_t>(item)];
    }

    // Asks the owner for every item's size; the window's size.
    QSize measure(int level)
    {
        Level& l = levels_[static_cast<size_t>(level)];
        l.rects.clear();
        const Menu* m = findMenu(l.menu);
        if (!m)
            return QSize(2 * kFrame, 2 * kFrame);
        const std::vector<MenuItem> items = m->items; // the owner may change the menu meanwhile
        std::vector<QSize> sizes;
        int width = 0;
        for (const MenuItem& it : items) {
            MeasureItemInfo mi;
            mi.itemId = it.id;
            mi.itemData = it.data;
            if (it.flags & MF_OWNERDRAW)
                send(winproc::WM_MEASUREITEM, 0, reinterpret_cast<intptr_t>(&mi));
            if (mi.itemHeight <= 0)
                mi.itemHeight = kDefaultHeight;
            if (mi.itemWidth <= 0)
                mi.itemWidth = kDefaultWidth;
            sizes.emplace_back(mi.itemWidth, mi.itemHeight);
            width = std::max(width, mi.itemWidth);
        }
        int y = 0;
        for (const QSize& s : sizes) {
            l.rects.emplace_back(0, y, width, s.height());
            y += s.height();
        }
        return QSize(width + 2 * kFrame, y + 2 * kFrame);
    }

    void showLevel(int level, const QRect& place)
    {
        Level& l = levels_[static_cast<size_t>(level)];
        l.window = std::make_unique<PopupWindow>(*this, level);
        QScreen* screen = QGuiApplication::screenAt(place.center());
        if (screen)
            l.window->setScreen(screen);
        l.window->setGeometry(place);
        // A menu window belongs to the window it opened from (window systems
        // that place popups relative to their parent need it).
        QWidget* from = level > 0 ? levels_[static_cast<size_t>(level) - 1].window.get()
                                  : (owner_ ? owner_->window() : nullptr);
        if (from && from->windowHandle()) {
            l.window->winId();
            if (QWindow* handle = l.window->windowHandle())
                handle->setTransientParent(from->windowHandle());
        }
        l.window->show();
        l.window->setFocus();
    }

    int hit(QPoint global, int* item) const
    {
        for (int i = static_cast<int>(levels_.size()) - 1; i >= 0; --i) {
            const Level& l = levels_[static_cast<size_t>(i)];
            if (!l.window || !l.window->isVisible())
                continue;
            if (!l.window->geometry().contains(global))
                continue;
            QPoint local = global - l.window->geometry().topLeft() - QPoint(kFrame, kFrame);
            *item = -1;
            if (!viewport(l).contains(local))
                return i;
            local.ry() -= top(l);
            for (size_t k = 0; k < l.rects.size(); ++k) {
                if (l.rects[k].contains(local)) {
                    const MenuItem* it = itemAt(i, static_cast<int>(k));
                    if (it && selectable(*it))
                        *item = static_cast<int>(k);
                    break;
                }
            }
            return i;
        }
        return -1;
    }

    void select(int level, int item)
    {
        Level& l = levels_[static_cast<size_t>(level)];
        const MenuItem* it = itemAt(level, item);
        if (!it || !selectable(*it))
            return;
        // A deeper menu stays open only while its own item is selected.
        if (level + 1 < static_cast<int>(levels_.size()) &&
            levels_[static_cast<size_t>(level) + 1].parentItem != item)
            closeAbove(level);
        ensureVisible(level, item);
        if (l.selected != item) {
            l.selected = item;
            if (l.window)
                l.window->update();
            send(winproc::WM_MENUSELECT, static_cast<uintptr_t>(makeLong(static_cast<int>(it->id & 0xFFFF),
                                                                          static_cast<int>(it->flags))),
                 static_cast<intptr_t>(l.menu));
        }
    }

    void step(int level, int direction)
    {
        const Menu* m = findMenu(levels_[static_cast<size_t>(level)].menu);
        if (!m || m->items.empty())
            return;
        const int n = static_cast<int>(m->items.size());
        int i = levels_[static_cast<size_t>(level)].selected;
        for (int k = 0; k < n; ++k) {
            i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
            if (selectable(m->items[static_cast<size_t>(i)])) {
                select(level, i);
                return;
            }
        }
    }

    void execute(int level, int item)
    {
        const MenuItem* it = itemAt(level, item);
        if (!it)
            return;
        if (it->flags & MF_POPUP)
            openSub(level, item, true);
        else if (enabled(*it))
            finish(it->id);
    }

    void openSub(int level, int item, bool selectFirst)
    {
        openTimer_.stop();
        const MenuItem* it = itemAt(level, item);
        if (!it || !(it->flags & MF_POPUP) || !enabled(*it))
            return;
        const MenuHandle sub = it->sub;
        if (level + 1 < static_cast<int>(levels_.size())) {
            if (levels_[static_cast<size_t>(level) + 1].parentItem == item && levels_[static_cast<size_t>(level) + 1].menu == sub) {
                if (selectFirst && levels_[static_cast<size_t>(level) + 1].selected < 0)
                    step(level + 1, +1);
                return;
            }
            closeAbove(level);
        }
        select(level, item);
        send(winproc::WM_INITMENUPOPUP, sub, makeLong(item, 0));
        // The owner may have ended the menu or rebuilt this one meanwhile.
        if (done_ || level >= static_cast<int>(levels_.size()) || !isMenu(sub) || itemCount(sub) <= 0)
            return;
        const MenuItem* again = itemAt(level, item);
        if (!again || again->sub != sub)
            return;
        Level next;
        next.menu = sub;
        next.parentItem = item;
        levels_.push_back(std::move(next));
        const int nl = static_cast<int>(levels_.size()) - 1;
        const QRect itemRect = itemOnScreen(level, item);
        const QRect screen = screenArea(itemRect.center());
        const QSize size = fitHeight(nl, measure(nl), screen);
        const Level& parent = levels_[static_cast<size_t>(level)];
        QRect place(QPoint(parent.window->geometry().right() - 2, itemRect.top() - kFrame), size);
        if (place.right() > screen.right())
            place.moveRight(parent.window->geometry().left() + 2);
        if (place.bottom() > screen.bottom())
            place.moveBottom(screen.bottom());
        if (place.left() < screen.left())
            place.moveLeft(screen.left());
        if (place.top() < screen.top())
            place.moveTop(screen.top());
        showLevel(nl, place);
        if (selectFirst)
            step(nl, +1);
    }

    void closeAbove(int level)
    {
        while (static_cast<int>(levels_.size()) > level + 1) {
            Level& l = levels_.back();
            if (l.window) {
                // The window may be handling the event that closes it.
                l.window->detach();
                l.window->hide();
                l.window.release()->deleteLater();
            }
            levels_.pop_back();
        }
        if (level >= 0 && level < static_cast<int>(levels_.size()) && levels_[static_cast<size_t>(level)].window)
            levels_[static_cast<size_t>(level)].window->setFocus();
    }

    void finish(uintptr_t id)
    {
        if (done_)
            return;
        done_ = true;
        result_ = id;
        openTimer_.stop();
        scrollTimer_.stop();
        closeAbove(-1);
        send(winproc::WM_MENUSELECT, static_cast<uintptr_t>(makeLong(0, 0xFFFF)), 0);
        loop_.exit(0);
    }

    static void drawArrow(QPainter& p, const QRect& r, const QColor& c)
    {
        const int cx = r.right() - 8;
        const int cy = r.center().y();
        const QPoint tri[3] = {QPoint(cx, cy - 4), QPoint(cx + 4, cy), QPoint(cx, cy + 4)};
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPolygon(tri, 3);
        p.restore();
    }

    QPointer<QWidget> owner_;
    std::vector<Level> levels_;
    QEventLoop loop_;
    QTimer openTimer_;
    QTimer scrollTimer_;
    int scrollLevel_ = -1;
    int scrollDir_ = 0;
    int pendingLevel_ = -1;
    int pendingItem_ = -1;
    uintptr_t result_ = 0;
    bool done_ = false;
    // Where the mouse press that opened the menu was, until a release.
    std::optional<QPoint> openingPress_;
};

Tracker* activeTracker = nullptr;

std::vector<std::function<void()>>& afterClose()
{
    static std::vector<std::function<void()>> work;
    return work;
}

void PopupWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (tracker_)
        tracker_->paint(level_, p);
}

void PopupWindow::mouseMoveEvent(QMouseEvent* e)
{
    if (tracker_)
        tracker_->mouseMove(e->globalPosition().toPoint());
}

void PopupWindow::mousePressEvent(QMouseEvent* e)
{
    if (tracker_)
        tracker_->mousePress(e->globalPosition().toPoint());
}

void PopupWindow::mouseReleaseEvent(QMouseEvent* e)
{
    if (tracker_)
        tracker_->mouseRelease(e->globalPosition().toPoint());
}

void PopupWindow::wheelEvent(QWheelEvent* e)
{
    const int steps = e->angleDelta().y() / 120;
    if (tracker_ && steps != 0)
        tracker_->wheel(level_, steps);
}

void PopupWindow::keyPressEvent(QKeyEvent* e)
{
    if (tracker_)
        tracker_->key(e);
}

void PopupWindow::closeEvent(QCloseEvent* e)
{
    QWidget::closeEvent(e);
    if (!closingByTracker && tracker_) {
        closingByTracker = true;
        tracker_->windowClosed(level_);
    }
}

void notifyChanged(MenuHandle h)
{
    if (activeTracker)
        activeTracker->menuChanged(h);
}

} // namespace

MenuHandle createPopupMenu()
{
    while (menus().count(nextHandle) || nextHandle == 0)
        ++nextHandle;
    const MenuHandle h = nextHandle++;
    menus()[h];
    return h;
}

bool destroyMenu(MenuHandle menu)
{
    Menu* m = findMenu(menu);
    if (!m)
        return false;
    std::vector<MenuHandle> subs;
    for (const MenuItem& it : m->items)
        if (it.flags & MF_POPUP)
            subs.push_back(it.sub);
    menus().erase(menu);
    if (activeTracker)
        activeTracker->menuDestroyed(menu);
    for (MenuHandle s : subs)
        destroyMenu(s);
    return true;
}

bool isMenu(MenuHandle menu)
{
    return findMenu(menu) != nullptr;
}

int itemCount(MenuHandle menu)
{
    const Menu* m = findMenu(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

bool appendMenu(MenuHandle menu, uint32_t flags, uintptr_t idOrSubMenu, uintptr_t itemData)
{
    Menu* m = findMenu(menu);
    if (!m || ((flags & MF_POPUP) && !isMenu(idOrSubMenu)))
        return false;
    m->items.push_back(makeItem(flags, idOrSubMenu, itemData));
    notifyChanged(menu);
    return true;
}

bool modifyMenu(MenuHandle menu, uintptr_t item, uint32_t flags, uintptr_t idOrSubMenu, uintptr_t itemData)
{
    if ((flags & MF_POPUP) && !isMenu(idOrSubMenu))
        return false;
    MenuHandle holder = 0;
    int position = -1;
    MenuItem* it = findItem(menu, item, flags, &holder, &position);
    if (!it)
        return false;
    *it = makeItem(flags, idOrSubMenu, itemData);
    notifyChanged(holder);
    return true;
}

bool removeMenu(MenuHandle menu, uintptr_t item, uint32_t flags)
{
    MenuHandle holder = 0;
    int position = -1;
    if (!findItem(menu, item, flags, &holder, &position))
        return false;
    Menu* m = findMenu(holder);
    m->items.erase(m->items.begin() + position);
    notifyChanged(holder);
    return true;
}

MenuHandle subMenu(MenuHandle menu, uintptr_t item, uint32_t flags)
{
    MenuHandle holder = 0;
    int position = -1;
    const MenuItem* it = findItem(menu, item, flags, &holder, &position);
    return it && (it->flags & MF_POPUP) ? it->sub : 0;
}

std::optional<uintptr_t> itemData(MenuHandle menu, uintptr_t item, uint32_t flags)
{
    MenuHandle holder = 0;
    int position = -1;
    const MenuItem* it = findItem(menu, item, flags, &holder, &position);
    if (!it)
        return std::nullopt;
    return it->data;
}

bool setItemData(MenuHandle menu, uintptr_t item, uint32_t flags, uintptr_t data)
{
    MenuHandle holder = 0;
    int position = -1;
    MenuItem* it = findItem(menu, item, flags, &holder, &position);
    if (!it)
        return false;
    it->data = data;
    return true;
}

uintptr_t trackPopupMenuEx(MenuHandle menu, uint32_t flags, QPoint screenPoint, QWidget* owner, const QRect* exclude)
{
    if (activeTracker || itemCount(menu) <= 0 || !QGuiApplication::instance())
        return 0;
    uintptr_t chosen = 0;
    {
        Tracker tracker(owner);
        activeTracker = &tracker;
        chosen = tracker.run(menu, flags, screenPoint, exclude);
        activeTracker = nullptr;
    }
    // The window the menu was opened from has the keyboard again (a window
    // system that gave the menu the activation may have left it with none).
    if (owner && !QApplication::activeWindow() && owner->window()->isVisible())
        owner->window()->activateWindow();
    // Work that waited for the menu to close, in the order it came.
    auto waiting = std::move(afterClose());
    afterClose().clear();
    for (auto& f : waiting)
        f();
    if (flags & TPM_RETURNCMD)
        return chosen;
    if (chosen && owner)
        sendMessage(owner, winproc::WM_COMMAND, chosen & 0xFFFF, 0);
    return chosen ? 1 : 0;
}

void endMenu()
{
    if (activeTracker)
        activeTracker->cancel();
}

void whenMenuClosed(std::function<void()> work)
{
    if (activeTracker)
        afterClose().push_back(std::move(work));
    else if (work)
        work();
}

bool isTracking()
{
    return activeTracker != nullptr;
}

std::vector<QWidget*> openPopups()
{
    return activeTracker ? activeTracker->windows() : std::vector<QWidget*>{};
}

std::vector<std::vector<QRect>> openItemRects()
{
    return activeTracker ? activeTracker->itemRects() : std::vector<std::vector<QRect>>{};
}

QRect placePopup(QSize size, QPoint point, const std::optional<QRect>& exclude, bool verticalFirst,
                 const QRect& screen)
{
    auto fitInside = [&](QRect r) {
        if (r.right() > screen.right())
            r.moveRight(screen.right());
        if (r.left() < screen.left())
            r.moveLeft(screen.left());
        if (r.bottom() > screen.bottom())
            r.moveBottom(screen.bottom());
        if (r.top() < screen.top())
            r.moveTop(screen.top());
        return r;
    };
    QRect r(point, size);
    // Off the screen's right or bottom edge the menu turns to the other
    // side of the point.
    if (r.right() > screen.right())
        r.moveRight(point.x() - 1);
    if (r.bottom() > screen.bottom())
        r.moveBottom(point.y() - 1);
    r = fitInside(r);
    if (!exclude || !r.intersects(*exclude))
        return r;

    const QRect& ex = *exclude;
    const QRect below(QPoint(r.left(), ex.bottom() + 1), size);
    const QRect above(QPoint(r.left(), ex.top() - size.height()), size);
    const QRect right(QPoint(ex.right() + 1, r.top()), size);
    const QRect left(QPoint(ex.left() - size.width(), r.top()), size);
    const std::vector<QRect> tries = verticalFirst ? std::vector<QRect>{below, above, right, left}
                                                   : std::vector<QRect>{right, left, below, above};
    for (const QRect& t : tries)
        if (screen.contains(t.topLeft()) && screen.contains(t.bottomRight()))
            return t;
    // No place fits whole: the first that stays off the rectangle once
    // moved inside the screen.
    for (const QRect& t : tries) {
        const QRect fitted = fitInside(t);
        if (!fitted.intersects(ex))
            return fitted;
    }
    return r;
}

} // namespace platform::menus
