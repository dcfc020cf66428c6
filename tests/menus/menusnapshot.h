#pragma once

// A menu as a test sees it: one line per item, and look-ups by key.

#include "menus/clspopupmenu.h"

#include <QString>
#include <QStringList>

namespace menusnapshot {

struct Item {
    int index = 0;
    QString caption;
    QString menuName;
    QString key;
    int icon = -1;
    bool enabled = true;
    bool checked = false; // a check or radio mark
    int parent = 0;       // the index of the item whose sub-menu holds it
};

inline QVector<Item> take(const clsPopupMenu& m)
{
    QVector<Item> items;
    for (int32_t i = 1; i <= m.Count(); ++i) {
        const clsPopupMenu::MenuItemRecord* r = m.Record(i);
        int parent = 0;
        for (int32_t p = 1; p <= m.Count() && r->parentHandle; ++p)
            if (m.Record(p)->currentId == r->parentHandle)
                parent = p;
        items.append({i, r->rawCaption, r->menuName, r->key, r->iconIndex, r->enabled,
                      r->iconIndex == 7 || r->iconIndex == 8, parent});
    }
    return items;
}

// The first item of that key (and caption, when given); a default item
// (index 0) when there is none.
inline Item byKey(const clsPopupMenu& m, const QString& key, const QString& caption = {})
{
    for (const Item& it : take(m))
        if (it.key == key && (caption.isEmpty() || it.caption == caption))
            return it;
    return {};
}

inline QVector<Item> childrenOf(const clsPopupMenu& m, int parent)
{
    QVector<Item> out;
    for (const Item& it : take(m))
        if (it.parent == parent)
            out.append(it);
    return out;
}

inline QStringList captions(const QVector<Item>& items)
{
    QStringList out;
    for (const Item& it : items)
        out << it.caption;
    return out;
}

} // namespace menusnapshot
