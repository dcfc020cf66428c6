#pragma once

// Pages kept as Internet shortcut files (".url"): the current page added
// to Favorites or to a folder, the selection's links written one file
// each, a shortcut on the desktop, and a group opened: every shortcut of a
// folder, or every link of the selection, in a tab of its own, loaded in
// turn.

#include <QByteArray>
#include <QString>

#include <cstdint>

class frmExplorer;
class PageLinks;
class ServiceSet;

// A shortcut file: "[InternetShortcut]", "URL=" and the address, and with
// an icon "IconFile=" and its address and "IconIndex=1"; control
// characters taken out of both addresses, each line ended by CR LF, UTF-8.
QByteArray ShortcutFileBytes(const QString& address, bool withIcon = false, const QString& iconAddress = QString());
// The icon address of a page whose markup is html: the HREF of the tag
// that names the "shortcut icon" (one beginning with "/" put after base),
// or base and "favicon.ico" when there is none; "" when the tag cannot be
// read.
QString PageIconUrlIn(const QString& html, const QString& base);

class Favorites {
public:
    Favorites(frmExplorer& window, ServiceSet& services, PageLinks& links);

    void WriteUrlShortcut(const QString& address, const QString& path, bool withIcon);
    // The icon address of the current page.
    QString FindPageIconUrl(const QString& base);
    // mode 1 into the Favorites folder, 2 into a folder the user picks.
    void AddToFavorites(int16_t mode);
    // mode 1 the Favorites folder, 2 any folder.
    void AddSelectionLinksToFolder(int16_t mode);
    void CreateDesktopShortcut();
    void SelectGroupFolder();
    // mode 1 the selection's links, any other the shortcuts of folder.
    void OpenGroupFolder(int16_t mode, const QString& folder);

private:
    frmExplorer& w_;
    ServiceSet& services_;
    PageLinks& links_;
};
