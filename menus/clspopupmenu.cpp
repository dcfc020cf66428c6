#include "menus/clspopupmenu.h"

#include "core/globals.h"
#include "menus/clsncmetrics.h"
#include "menus/modcustommenu.h"
#include "platform/win/systemfonts.h"
#include "platform/win/twips.h"
#include "skinlib/art/artpalette.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <array>
#include <cstdlib>
#include <set>

namespace pm = platform::menus;
namespace wp = platform::winproc;

namespace {

// The messages the object takes from its owner while a menu is tracked, in
// the order they are attached.
constexpr std::array<uint32_t, 6> kMenuMessages = {wp::WM_MENUSELECT, wp::WM_MEASUREITEM, wp::WM_DRAWITEM,
                                                   wp::WM_COMMAND,    wp::WM_MENUCHAR,    wp::WM_INITMENUPOPUP};

const QColor kItemBack(255, 255, 255);
const QColor kSelectedBar(94, 123, 183);
const QColor kSelectedText(255, 255, 255);
const QColor kText(0, 0, 0);
const QColor kDisabledBar(211, 229, 250);
const QColor kDisabledText(197, 194, 184);

constexpr int kLongestText = 60;

int twipsX()
{
    return TwipsPerPixelXValue > 0 ? TwipsPerPixelXValue : platform::forms::twipsPerPixelX();
}

int twipsY()
{
    return TwipsPerPixelYValue > 0 ? TwipsPerPixelYValue : platform::forms::twipsPerPixelY();
}

QColor menuColour()
{
    return skinart::colourFromSkinString(PopupMenuColor);
}

// A text longer than 60 characters shows its first 60 and " ...".
QString shortened(const QString& text)
{
    return text.size() > kLongestText ? text.left(kLongestText) + QStringLiteral(" ...") : text;
}

QString mnemonicOf(const QString& text)
{
    // "&&" is an "&" shown as it is, no shortcut.
    for (qsizetype at = text.indexOf(QLatin1Char('&')); at >= 0 && at + 1 < text.size();
         at = text.indexOf(QLatin1Char('&'), at + 2)) {
        if (text[at + 1] != QLatin1Char('&'))
            return text.mid(at + 1, 1).toUpper();
    }
    return QString();
}

// An item's text as the commands read it: "&&" back to one "&".
QString textAsWritten(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == QLatin1Char('&') && i + 1 < text.size() && text[i + 1] == QLatin1Char('&'))
            ++i;
    }
    return out;
}

int textWidth(const QFont& font, const QString& text)
{
    return QFontMetrics(font).size(Qt::TextShowMnemonic, text).width();
}

int textHeight(const QFont& font, const QString& text)
{
    return QFontMetrics(font).size(Qt::TextShowMnemonic, text).height();
}

} // namespace

clsPopupMenu::clsPopupMenu()
{
    RegisterMenuHookClient(this);
}

clsPopupMenu::~clsPopupMenu()
{
    UnregisterMenuHookClient(this);
    DestroySubClass();
    Clear();
}

const clsPopupMenu::MenuItemRecord* clsPopupMenu::Record(int32_t lIndex) const
{
    if (lIndex < 1 || lIndex > Count())
        return nullptr;
    return &items_[static_cast<size_t>(lIndex) - 1];
}

clsPopupMenu::MenuItemRecord* clsPopupMenu::record(int32_t lIndex)
{
    return const_cast<MenuItemRecord*>(static_cast<const clsPopupMenu*>(this)->Record(lIndex));
}

int32_t clsPopupMenu::ItemForID(uintptr_t id) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].currentId == id)
            return static_cast<int32_t>(i) + 1;
    return 0;
}

void clsPopupMenu::sethwndOwner(QWidget* hWndA)
{
    Clear();
    owner_ = hWndA;
    LoadMenuFonts();
}

// ---- Items -------------------------------------------------------------

int32_t clsPopupMenu::AddItem(const QString& sCaption, const QString& sMenuName, int32_t lItemData,
                              int32_t lParentIndex, int32_t lIconIndex, bool bEnabled, const QString& sKey)
{
    items_.emplace_back();
    const int32_t index = Count();
    const uintptr_t id = NewItemID();
    MenuItemRecord& r = items_.back();
    r.createdId = id;
    r.currentId = id;
    SetItemText(r, sCaption);
    r.menuName = sMenuName;
    r.itemData = lItemData;
    r.iconIndex = lIconIndex;
    r.enabled = bEnabled;
    r.key = sKey;
    if (lParentIndex != 0) {
        if (const MenuItemRecord* parent = Record(lParentIndex); parent && lParentIndex != index)
            r.parentHandle = parent->currentId;
    }
    CreateMenuItem(index);
    setItemData(index, lItemData);
    return index;
}

uintptr_t clsPopupMenu::NewItemID()
{
    const auto count = static_cast<uintptr_t>(Count());
    if (nextItemId_ >= count)
        ++nextItemId_;
    else
        nextItemId_ = count;
    while (!IsItemIDFree(nextItemId_))
        ++nextItemId_;
    return nextItemId_;
}

bool clsPopupMenu::IsItemIDFree(uintptr_t id) const
{
    for (const MenuItemRecord& r : items_)
        if (r.createdId == id || r.currentId == id)
            return false;
    return true;
}

void clsPopupMenu::SetItemText(MenuItemRecord& r, const QString& caption)
{
    r.rawCaption = caption;
    if (caption == QStringLiteral("-")) {
        r.text = caption;
        return;
    }
    QString body = caption.startsWith(QLatin1Char('-')) ? caption.mid(1) : caption;
    const qsizetype tab = body.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
        r.text = body.left(tab);
        ParseShortcutText(r, body.mid(tab + 1));
    } else {
        r.text = body;
    }
    r.mnemonic = mnemonicOf(caption);
}

void clsPopupMenu::ParseShortcutText(MenuItemRecord& r, const QString& text)
{
    r.shortcutText = text.trimmed();
    r.modifierMask = 0;
    r.keyCode = 0;
    if (r.shortcutText.isEmpty())
        return;
    static const struct {
        const char* name;
        int16_t mask;
        int16_t key;
    } names[] = {
        {"Alt", 4, 0},           {"Shift", 1, 0},         {"Left Arrow", 0, 37}, {"Right Arrow", 0, 39},
        {"Up Arrow", 0, 38},     {"Down Arrow", 0, 40},   {"Esc", 0, 27},        {"Enter", 0, 13},
    };
    for (const QString& part : r.shortcutText.split(QLatin1Char('+'))) {
        if (part.size() == 1) {
            r.keyCode = static_cast<int16_t>(part.toUpper().at(0).unicode());
            continue;
        }
        for (const auto& n : names) {
            if (part == QLatin1String(n.name)) {
                r.modifierMask = static_cast<int16_t>(r.modifierMask | n.mask);
                if (n.key)
                    r.keyCode = n.key;
            }
        }
    }
}

uint32_t clsPopupMenu::ItemMenuFlags(const MenuItemRecord& r) const
{
    uint32_t flags = r.enabled ? 0 : pm::MF_GRAYED;
    if (r.rawCaption.trimmed().startsWith(QLatin1Char('-')))
        flags |= pm::MF_SEPARATOR;
    return flags;
}

void clsPopupMenu::CreateMenuItem(int32_t index)
{
    MenuItemRecord* r = record(index);
    MenuHandle holding = 0;
    if (r->parentHandle != 0) {
        const int32_t parentIndex = IndexOfItemID(r->parentHandle);
        if (parentIndex == 0) {
            r->holdingMenu = 0;
            return;
        }
        MenuItemRecord* parent = record(parentIndex);
        holding = pm::subMenu(parent->holdingMenu, parent->currentId, pm::MF_BYCOMMAND);
        if (holding == 0) {
            MenuHandle first = pm::createPopupMenu();
            MenuHandle made = first;
            if (!IsItemIDFree(first)) {
                made = 0;
                for (int attempt = 0; attempt < 100 && made == 0; ++attempt) {
                    const MenuHandle another = pm::createPopupMenu();
                    if (IsItemIDFree(another))
                        made = another;
                    else
                        pm::destroyMenu(another);
                }
                pm::destroyMenu(first);
            }
            if (made == 0) {
                r->holdingMenu = 0;
                return;
            }
            subMenuHandles_.push_back(made);
            pm::modifyMenu(parent->holdingMenu, parent->currentId,
                           ItemMenuFlags(*parent) | pm::MF_OWNERDRAW | pm::MF_POPUP, made,
                           static_cast<uint32_t>(parent->itemData));
            setItemData(parentIndex, parent->itemData);
            parent->currentId = made;
            r = record(index);
            r->parentHandle = made;
            holding = made;
        }
    } else if (index == 1) {
        holding = pm::createPopupMenu();
    } else {
        holding = items_.front().holdingMenu;
    }
    if (holding != 0)
        pm::appendMenu(holding, ItemMenuFlags(*r) | pm::MF_OWNERDRAW | pm::MF_BYPOSITION, r->createdId,
                       static_cast<uint32_t>(r->itemData));
    r->holdingMenu = holding;
}

QString clsPopupMenu::ItemKey(int32_t lIndex) const
{
    const MenuItemRecord* r = Record(lIndex);
    return r ? r->key : QString();
}

QString clsPopupMenu::MenuName(int32_t lIndex) const
{
    const MenuItemRecord* r = Record(lIndex);
    return r ? r->menuName : QString();
}

QString clsPopupMenu::Caption(int32_t lIndex) const
{
    const MenuItemRecord* r = Record(lIndex);
    return r ? textAsWritten(r->text) : QString();
}

void clsPopupMenu::setItemData(int32_t lIndex, int32_t lItemData)
{
    MenuItemRecord* r = record(lIndex);
    if (!r)
        return;
    r->itemData = lItemData;
    pm::setItemData(r->holdingMenu, r->currentId, pm::MF_BYCOMMAND, static_cast<uint32_t>(lItemData));
}

QString clsPopupMenu::HierarchyPath(int32_t lIndex, int32_t lStartLevel, const QString& sSeparator) const
{
    const MenuItemRecord* r = Record(lIndex);
    if (!r)
        return QString();
    QStringList texts;
    // At most one step per item: a broken chain cannot loop.
    for (int32_t steps = 0; r && steps <= Count(); ++steps) {
        texts.prepend(textAsWritten(r->text));
        if (r->parentHandle == 0)
            break;
        r = Record(ItemForID(r->parentHandle));
    }
    if (lStartLevel < 1)
        lStartLevel = 1;
    if (lStartLevel > texts.size())
        return QString();
    return texts.mid(lStartLevel - 1).join(sSeparator);
}

void clsPopupMenu::Clear()
{
    nextItemId_ = 2048;
    for (MenuHandle h : subMenuHandles_)
        pm::destroyMenu(h);
    subMenuHandles_.clear();
    if (!items_.empty())
        pm::destroyMenu(items_.front().holdingMenu);
    items_.clear();
}

int32_t clsPopupMenu::ItemIndexFromKey(const QVariant& vKey) const
{
    bool numeric = false;
    double value = 0;
    const int type = vKey.typeId();
    if (type == QMetaType::Int || type == QMetaType::LongLong || type == QMetaType::Double ||
        type == QMetaType::UInt || type == QMetaType::ULongLong || type == QMetaType::Short) {
        value = vKey.toDouble(&numeric);
    } else if (type == QMetaType::QString) {
        value = vKey.toString().trimmed().toDouble(&numeric);
    }
    if (numeric) {
        const double rounded = std::nearbyint(value);
        return rounded >= 1 && rounded <= Count() ? static_cast<int32_t>(rounded) : -1;
    }
    const QString key = vKey.toString();
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].key == key)
            return static_cast<int32_t>(i) + 1;
    return -1;
}

int32_t clsPopupMenu::ClearSubMenusOfItem(const QVariant& vKey)
{
    const int32_t index = ItemIndexFromKey(vKey);
    if (index < 1)
        return 0;
    const uintptr_t handle = Record(index)->currentId;
    for (int32_t i = Count(); i >= 1; --i)
        if (i <= Count() && Record(i)->holdingMenu == handle)
            RemoveMenuItem(i);
    return ItemForID(handle);
}

void clsPopupMenu::RemoveMenuItem(int32_t index)
{
    MenuItemRecord* r = record(index);
    if (!r)
        return;
    const bool removed = pm::removeMenu(r->holdingMenu, r->currentId, pm::MF_BYCOMMAND);
    r->removalMark = -1;
    std::vector<MenuHandle> toDestroy;
    bool descendants = false;
    for (bool more = true; more;) {
        more = false;
        std::set<uintptr_t> markedIds;
        for (const MenuItemRecord& m : items_)
            if (m.removalMark)
                markedIds.insert(m.currentId);
        for (MenuItemRecord& m : items_) {
            if (!m.removalMark && m.parentHandle != 0 && markedIds.count(m.parentHandle)) {
                m.removalMark = -1;
                more = descendants = true;
                if (m.holdingMenu && std::find(toDestroy.begin(), toDestroy.end(), m.holdingMenu) == toDestroy.end())
                    toDestroy.push_back(m.holdingMenu);
            }
        }
    }
    for (MenuHandle h : toDestroy) {
        pm::destroyMenu(h);
        std::erase(subMenuHandles_, h);
    }
    if (!removed && !descendants)
        return;
    std::erase_if(items_, [](const MenuItemRecord& m) { return m.removalMark != 0; });
    uintptr_t largest = 0;
    for (const MenuItemRecord& m : items_)
        if (pm::itemCount(m.currentId) < 0)
            largest = std::max(largest, m.currentId);
    nextItemId_ = std::max(static_cast<uintptr_t>(Count()), largest);
}

// ---- Showing -------------------------------------------------------------

int32_t clsPopupMenu::ShowPopupMenu(int32_t lLeft, int32_t lTop, int32_t lExcludeLeft, int32_t lExcludeTop,
                                    int32_t lExcludeRight, int32_t lExcludeBottom, bool bTryToKeepLeft)
{
    if (Count() == 0)
        return 0;
    const int tx = twipsX();
    const int ty = twipsY();
    auto toScreen = [&](int32_t x, int32_t y) {
        const QPoint p(x / tx, y / ty);
        return owner_ ? owner_->mapToGlobal(p) : p;
    };
    const QPoint point = toScreen(lLeft, lTop);
    QRect exclude;
    const bool excluding = std::abs(lExcludeLeft - lExcludeRight) >= 1 || std::abs(lExcludeTop - lExcludeBottom) >= 1;
    if (excluding) {
        const QPoint tl = toScreen(lExcludeLeft, lExcludeTop);
        const QPoint br = toScreen(lExcludeRight, lExcludeBottom);
        exclude = QRect(tl, br - QPoint(1, 1)); // right and bottom edges are outside
    }
    uint32_t flags = pm::TPM_RETURNCMD;
    if (!bTryToKeepLeft)
        flags |= pm::TPM_VERTICAL;

    if (owner_)
        wp::sendMessage(owner_, pm::WM_ENTERMENULOOP, 1, 0);
    const bool hadSubclass = subclassedWindow_ != nullptr;
    if (owner_)
        AttachSubClass(owner_);
    const MenuHandle root = items_.front().holdingMenu;
    const uintptr_t chosen =
        pm::trackPopupMenuEx(root, flags, point, owner_.data(), excluding ? &exclude : nullptr);
    const int32_t index = chosen > 0 ? ItemForID(chosen) : 0;
    if (!hadSubclass) {
        if (chosen > 0)
            raiseClick(index);
        DestroySubClass();
    }
    if (owner_)
        wp::sendMessage(owner_, pm::WM_EXITMENULOOP, 1, 0);
    return index;
}

void clsPopupMenu::raiseClick(int32_t index)
{
    if (events_.Click)
        events_.Click(index);
}

void clsPopupMenu::AttachSubClass(QWidget* hWnd)
{
    if (subclassedWindow_ == hWnd)
        return;
    DestroySubClass();
    subclassStatus_ = true;
    for (uint32_t msg : kMenuMessages)
        AttachMessage(this, hWnd, msg); // a window that cannot be subclassed is tracked undrawn
    subclassedWindow_ = hWnd;
    subclassedAlive_ = hWnd;
}

void clsPopupMenu::DestroySubClass()
{
    if (!subclassedWindow_)
        return;
    subclassStatus_ = false;
    if (subclassedAlive_)
        for (uint32_t msg : kMenuMessages)
            DetachMessage(this, subclassedWindow_, msg);
    subclassedWindow_ = nullptr;
    subclassedAlive_ = nullptr;
}

int32_t clsPopupMenu::MsgResponse()
{
    switch (CurrentMsgResponse()) {
    case wp::WM_DRAWITEM:
    case wp::WM_MEASUREITEM:
    case wp::WM_COMMAND:
        return 0;
    default:
        return 2;
    }
}

intptr_t clsPopupMenu::WindowProc(QWidget* hWnd, uint32_t iMsg, uintptr_t wParam, intptr_t lParam)
{
    switch (iMsg) {
    case wp::WM_DRAWITEM: {
        const auto* di = reinterpret_cast<const pm::DrawItemInfo*>(lParam);
        if (di && di->ctlType == pm::ODT_MENU && DrawMenuItem(*di))
            return 1;
        return CallOldWindowProc(hWnd, iMsg, wParam, lParam);
    }
    case wp::WM_MEASUREITEM: {
        auto* mi = reinterpret_cast<pm::MeasureItemInfo*>(lParam);
        if (mi && mi->ctlType == pm::ODT_MENU && MeasureMenuItem(*mi))
            return 1;
        return CallOldWindowProc(hWnd, iMsg, wParam, lParam);
    }
    case wp::WM_COMMAND:
        if (lParam == 0 || lParam == reinterpret_cast<intptr_t>(subclassedWindow_)) {
            OnMenuCommand(wParam & 0xFFFF);
            return 1;
        }
        return CallOldWindowProc(hWnd, iMsg, wParam, lParam);
    case wp::WM_INITMENUPOPUP:
        if (((static_cast<uintptr_t>(lParam) >> 16) & 0xFFFF) == 0)
            OnInitMenuPopup(static_cast<MenuHandle>(wParam));
        return 0;
    case wp::WM_MENUCHAR:
        // The previous procedure has answered already (it ran first); its
        // answer to a character no item has is to ignore it.
        if (!(((wParam >> 16) & 0xFFFF) & pm::MF_SYSMENU))
            return OnMenuChar(static_cast<MenuHandle>(lParam), QChar(static_cast<char16_t>(wParam & 0xFFFF)));
        return 0;
    default:
        return 0;
    }
}

void clsPopupMenu::OnMenuCommand(uintptr_t id)
{
    if (const int32_t index = ItemForID(id); index > 0)
        raiseClick(index);
}

void clsPopupMenu::OnInitMenuPopup(MenuHandle menu)
{
    uintptr_t parent = 0;
    for (int32_t i = Count(); i >= 1; --i) {
        const MenuItemRecord* r = Record(i);
        if (parent == 0) {
            if (r->holdingMenu != menu)
                continue;
            parent = r->parentHandle;
            if (parent == 0)
                return; // the root
            continue;
        }
        if (r->currentId == parent) {
            if (events_.InitPopupMenu)
                events_.InitPopupMenu(i);
            return;
        }
    }
}

intptr_t clsPopupMenu::OnMenuChar(MenuHandle menu, QChar character) const
{
    const QString wanted = QString(character).toUpper();
    int position = 0;
    for (const MenuItemRecord& r : items_) {
        if (r.holdingMenu != menu)
            continue;
        if (r.mnemonic == wanted)
            return (static_cast<intptr_t>(pm::MNC_EXECUTE) << 16) | position;
        ++position;
    }
    return 0;
}

// ---- Fonts, measuring and drawing ------------------------------------------

void clsPopupMenu::LoadMenuFonts()
{
    if (!metrics_)
        metrics_ = std::make_unique<clsNCMetrics>();
    metrics_->GetMetrics();
    if (auto font = platform::systemfonts::fontOf(metrics_->FontHandle(clsNCMetrics::MenuFont)))
        menuFont_ = *font;
    const int h = textHeight(menuFont_, QStringLiteral("yY"));
    standardItemHeight_ = h < 19 ? 22 : h + 6;
}

bool clsPopupMenu::MeasureMenuItem(pm::MeasureItemInfo& mi)
{
    const int32_t index = IndexOfItemID(mi.itemId);
    if (index == 0)
        return false;
    const MenuItemRecord& item = *Record(index);
    if (item.text == QStringLiteral("-")) {
        mi.itemHeight = 6;
        mi.itemWidth = 32 + 16;
        return true;
    }
    mi.itemHeight = standardItemHeight_;
    QString longest;
    QString longestShortcut;
    for (const MenuItemRecord& r : items_) {
        if (r.holdingMenu != item.holdingMenu)
            continue;
        if (r.text.size() > longest.size())
            longest = r.text;
        if (r.shortcutText.size() > longestShortcut.size())
            longestShortcut = r.shortcutText;
    }
    int width = 32 + textWidth(menuFont_, shortened(longest));
    if (!longestShortcut.isEmpty()) {
        width += 8;
        for (MenuItemRecord& r : items_)
            if (r.holdingMenu == item.holdingMenu)
                r.shortcutColumn = width;
        width += textWidth(menuFont_, longestShortcut);
    }
    mi.itemWidth = width + 16;
    return true;
}

void clsPopupMenu::FillIconColumn(QPainter& p, const QRect& item) const
{
    p.fillRect(QRect(item.left(), item.top(), standardItemHeight_ + 3, standardItemHeight_), menuColour());
}

QRect clsPopupMenu::PlaceItemText(QPainter& p, const MenuItemRecord& r, QRect rect) const
{
    const int h = QFontMetrics(p.font()).size(Qt::TextShowMnemonic, r.text).height();
    rect.setLeft(rect.left() + standardItemHeight_ + 6);
    if (standardItemHeight_ > h)
        rect.setTop(rect.top() + (standardItemHeight_ - h) / 2);
    return rect;
}

void clsPopupMenu::DrawItemText(QPainter& p, const MenuItemRecord& r, const QRect& rect) const
{
    QRect textRect = rect;
    textRect.setLeft(rect.left() + 3);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, shortened(r.text.trimmed()));
    const QString shortcut = r.shortcutText.trimmed();
    if (!shortcut.isEmpty()) {
        QRect s = rect;
        s.setLeft(r.shortcutColumn);
        p.drawText(s, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, shortcut);
    }
}

bool clsPopupMenu::DrawMenuItem(const pm::DrawItemInfo& di)
{
    const int32_t index = IndexOfItemID(di.itemId);
    if (index == 0 || !di.painter)
        return false;
    const MenuItemRecord& r = *Record(index);
    QPainter& p = *di.painter;
    p.setFont(menuFont_);
    const bool disabled = (di.itemState & (pm::ODS_DISABLED | pm::ODS_GRAYED)) != 0;
    const bool selected = (di.itemState & pm::ODS_SELECTED) != 0;
    const QRect item = di.rcItem;
    if (disabled && r.text == QStringLiteral("-")) {
        p.fillRect(item, kItemBack);
        p.fillRect(QRect(item.left(), item.top() + 3, item.width(), 2), menuColour());
        FillIconColumn(p, item);
    } else {
        const QColor bar = disabled ? kDisabledBar : kSelectedBar;
        if (selected) {
            p.fillRect(item, bar);
        } else {
            p.fillRect(item, kItemBack);
            FillIconColumn(p, item);
        }
        p.setPen(disabled ? kDisabledText : (selected ? kSelectedText : kText));
        const QRect textRect = PlaceItemText(p, r, item);
        DrawItemText(p, r, textRect);
    }
    if (r.iconIndex >= 0 && imageList_)
        imageList_->draw(r.iconIndex, p, (item.left() + 4) * twipsX(), (item.top() + 2) * twipsY(),
                         platform::forms::ImageList::Transparent);
    return true;
}

bool clsPopupMenu::FireAccelerator(int keyCode, int mask)
{
    for (size_t i = 0; i < items_.size(); ++i) {
        const MenuItemRecord& r = items_[i];
        if (r.keyCode != 0 && r.modifierMask == mask && r.keyCode == keyCode) {
            const auto index = static_cast<int32_t>(i) + 1;
            if (pm::isTracking()) {
                // A shortcut pressed while a menu is open closes it; the
                // command runs once the menu loop has ended.
                pm::endMenu();
                pm::whenMenuClosed([this, alive = std::weak_ptr<bool>(alive_), index] {
                    if (!alive.expired())
                        raiseClick(index);
                });
                return true;
            }
            raiseClick(index);
            return true;
        }
    }
    return false;
}

QString MenuCaptionFromData(const QString& text)
{
    QString caption = text;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    caption.replace(QLatin1Char('\t'), QLatin1Char(' '));
    // The one leading "-" a caption loses is given to it here.
    if (caption.startsWith(QLatin1Char('-')) && caption != QLatin1String("-"))
        caption.prepend(QLatin1Char('-'));
    return caption;
}
