// The Favorites and History menus: fixed heads, then trees filled when
// their sub-menus open.

#include "menus/menubuilders.h"

#include "core/language.h"
#include "menus/clspopupmenu.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString lang(const char* section, const char* key, const char* english)
{
    return GetLangString(QString::fromLatin1(section), QString::fromLatin1(key), QString::fromUtf8(english));
}
QString emptyText()
{
    return lang("MESSAGE", "9021", "<Empty>");
}
void separator(clsPopupMenu& m, int32_t parent)
{
    m.AddItem(QStringLiteral("-"), {}, 0, parent, menuicon::None, true, {});
}

// Shell sort with the gaps 1, 4, 13, ... on the upper-cased names; an entry
// moves only past strictly greater (ascending) or smaller ones, so equal
// names keep their listing order within a pass.
void sortEntries(QVector<FolderEntry>& e, bool ascending)
{
    const qsizetype n = e.size();
    qsizetype h = 1;
    while (h <= n)
        h = 3 * h + 1;
    do {
        h /= 3;
        for (qsizetype i = h; i < n; ++i) {
            const FolderEntry v = e[i];
            const QString key = v.name.toUpper();
            qsizetype j = i;
            while (j >= h) {
                const int c = QString::compare(e[j - h].name.toUpper(), key, Qt::CaseSensitive);
                if (ascending ? c <= 0 : c >= 0)
                    break;
                e[j] = e[j - h];
                j -= h;
            }
            e[j] = v;
        }
    } while (h > 1);
}

} // namespace

QVector<FolderEntry> ListFolderEntries(const QString& localFolder, int sortOrder)
{
    QVector<FolderEntry> entries;
    if (localFolder.isEmpty())
        return entries;
    const QDir dir(localFolder);
    // Hidden entries (dot names here) are left out.
    for (const QFileInfo& fi : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                                                 QDir::Unsorted)) {
        if (fi.isHidden() || fi.fileName().startsWith(QLatin1Char('.')))
            continue;
        entries.append({fi.fileName(), fi.isDir()});
    }
    sortEntries(entries, sortOrder == 0);
    return entries;
}

void LoadFavoritesFolder(clsPopupMenu& m, int32_t parent, const QString& localFolder, const MenuState& s)
{
    const QVector<FolderEntry> entries = ListFolderEntries(localFolder, s.favoritesSortOrder);
    if (entries.isEmpty())
        return;
    m.ClearSubMenusOfItem(parent);
    m.AddItem(lang("MENU-07", "0707", "OPEN ALL").toUpper(), QStringLiteral("FAVORITES"), 0, parent,
              menuicon::OpenAll, true, QStringLiteral("OPEN ALL"));
    separator(m, parent);
    for (int walk = 0; walk < 2; ++walk) {
        const bool folders = (walk == 0) == s.favoritesFolderFirst;
        for (const FolderEntry& e : entries) {
            if (e.isFolder != folders)
                continue;
            if (e.isFolder) {
                const int32_t f =
                    m.AddItem(MenuCaptionFromData(e.name), QStringLiteral("FAVORITES"), 0, parent, menuicon::Folder, true, {});
                m.AddItem(emptyText(), {}, 0, f, menuicon::None, false, {});
            } else {
                // A name without "." keeps its whole name.
                const qsizetype dot = e.name.lastIndexOf(QLatin1Char('.'));
                const QString caption = dot < 0 ? e.name : e.name.left(dot);
                m.AddItem(MenuCaptionFromData(caption), QStringLiteral("FAVORITES"), 0, parent, menuicon::CurrentTab, true, {});
            }
        }
    }
}

void BuildFavoritesMenu(clsPopupMenu& m, const MenuState& s)
{
    m.Clear();
    const QString fav = QStringLiteral("FAVORITES");
    const int32_t t = m.AddItem(lang("MENUNAME", "06", "FAVORITES").toUpper(), {}, 0, 0, menuicon::Title, true, {});
    m.AddItem(lang("MENU-07", "0701", "Add to Favorites - Current Page ..."), fav, 0, t, menuicon::Bullet, s.pageShown,
              QStringLiteral("ADDFAVORITES"));
    m.AddItem(lang("MENU-07", "0702", "Add to Favorites - Links in Selected Area ..."), fav, 0, t, menuicon::Bullet,
              s.canCopy, QStringLiteral("ADDALLSELECTED1"));
    m.AddItem(lang("MENU-07", "0703", "Organize Favorites ..."), fav, 0, t, menuicon::Bullet, true,
              QStringLiteral("ORGFAVORITES"));
    const int32_t sort = m.AddItem(lang("MENU-07", "0704", "Sort Favorites"), {}, 0, t, menuicon::Bullet, true, {});
    m.AddItem(lang("MENU-07", "070401", "Ascending"), fav, 0, sort,
              s.favoritesSortOrder == 0 ? menuicon::Radio : menuicon::Off, true, QStringLiteral("FAV_SORTASC"));
    m.AddItem(lang("MENU-07", "070402", "Descending"), fav, 0, sort,
              s.favoritesSortOrder == 1 ? menuicon::Radio : menuicon::Off, true, QStringLiteral("FAV_SORTDES"));
    separator(m, sort);
    m.AddItem(lang("MENU-07", "070403", "Folder First"), fav, 0, sort,
              s.favoritesFolderFirst ? menuicon::Check : menuicon::Off, true, QStringLiteral("FAV_FOLDER1ST"));
    separator(m, t);
    m.AddItem(lang("MENU-07", "0705", "Add to Folder - Current Page ..."), fav, 0, t, menuicon::Bullet, s.pageShown,
              QStringLiteral("ADDGROUP"));
    m.AddItem(lang("MENU-07", "0706", "Add to Folder - Links in Selected Area ..."), fav, 0, t, menuicon::Bullet,
              s.canCopy, QStringLiteral("ADDALLSELECTED2"));
    separator(m, 0);
    LoadFavoritesFolder(m, 0, s.favoritesFolder, s);
}

void BuildHistoryMenu(clsPopupMenu& m)
{
    m.Clear();
    const QString his = QStringLiteral("HISTORY");
    const int32_t t = m.AddItem(lang("MENUNAME", "07", "HISTORY").toUpper(), {}, 0, 0, menuicon::Title, true, {});
    m.AddItem(lang("MENU-08", "0801", "Clear History"), his, 0, t, menuicon::Bullet, true,
              QStringLiteral("CLEARHISTORY"));
    separator(m, 0);
    static const char* const keys[3] = {"0802", "0803", "0804"};
    static const char* const texts[3] = {"View by Date", "View by Site", "View by Order Visited Today"};
    for (int v = 0; v < 3; ++v) {
        const int32_t view = m.AddItem(lang("MENU-08", keys[v], texts[v]), his, 0, 0, menuicon::Bullet, true,
                                       QStringLiteral("VIEWORDER") + QString::number(v));
        m.AddItem(emptyText(), {}, 0, view, menuicon::None, true, {});
    }
}

int HistoryViewForPath(const QString& path, QString& key)
{
    static const char* const keys[3] = {"0802", "0803", "0804"};
    static const char* const texts[3] = {"View by Date", "View by Site", "View by Order Visited Today"};
    for (int v = 0; v < 3; ++v)
        if (path == lang("MENU-08", keys[v], texts[v])) {
            key.clear();
            return v;
        }
    const qsizetype slash = path.indexOf(QLatin1Char('\\'));
    key = slash < 0 ? QString() : path.mid(slash + 1);
    return -1;
}

void LoadHistoryView(clsPopupMenu& m, int32_t parent, int mode, const QString& viewKey, const QStringList& stamped,
                     const QStringList& plain, const QString& today)
{
    constexpr int kCap = 100;
    const QStringList& list = mode == 1 ? plain : stamped;
    if (list.isEmpty())
        return;
    m.ClearSubMenusOfItem(parent);
    const QString his = QStringLiteral("HISTORY");
    const auto addLevel = [&](const QString& caption) {
        const int32_t g = m.AddItem(MenuCaptionFromData(caption), his, 0, parent, menuicon::Group, true, {});
        m.AddItem(emptyText(), {}, 0, g, menuicon::None, false, {});
    };
    QString previous;
    int added = 0;
    for (const QString& e : list) {
        if (added >= kCap)
            break;
        if (e.isEmpty())
            continue;
        if (mode == 2) {
            if (e.left(8) == today) {
                m.AddItem(MenuCaptionFromData(e.mid(14)), his, 0, parent, menuicon::CurrentTab, true, {});
                ++added;
            }
        } else if (mode == 0) {
            const QString date = e.mid(4, 2) + e.mid(6, 2) + e.left(4);
            if (viewKey.isEmpty()) {
                if (date != previous) {
                    addLevel(date);
                    ++added;
                }
                previous = date;
            } else if (date == viewKey) {
                m.AddItem(MenuCaptionFromData(e.mid(14)), his, 0, parent, menuicon::CurrentTab, true, {});
                ++added;
            }
        } else {
            if (viewKey.isEmpty()) {
                const qsizetype slash = e.indexOf(QLatin1Char('/'), 8);
                const QString site = slash < 0 ? e : e.left(slash);
                if (site != previous) {
                    addLevel(site);
                    ++added;
                }
                previous = site;
            } else if (e.contains(viewKey)) {
                m.AddItem(MenuCaptionFromData(e), his, 0, parent, menuicon::CurrentTab, true, {});
                ++added;
            }
        }
    }
}
