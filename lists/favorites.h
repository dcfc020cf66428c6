#pragma once

// The current page added to Favorites or to a folder as an Internet
// shortcut, named in the input dialog.

#include <QByteArray>
#include <QString>

#include <cstdint>

class ServiceSet;

// The two lines of a shortcut file without its icon: "[InternetShortcut]"
// and "URL=" with the address, control characters taken out, each ended by
// CR LF, UTF-8.
QByteArray ShortcutFileBytes(const QString& address);

class Favorites {
public:
    explicit Favorites(ServiceSet& services);

    // mode 1 into the Favorites folder, 2 into a folder the user picks.
    void AddToFavorites(int16_t mode);

private:
    ServiceSet& services_;
};
