#include "lists/favorites.h"

#include "contracts/services.h"
#include "core/globals.h"
#include "core/shellnames.h"
#include "platform/base/paths.h"
#include "platform/base/textfile.h"
#include "platform/win/ibrowser.h"

namespace {

QString withoutControlCharacters(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            out += c;
    return out;
}

} // namespace

QByteArray ShortcutFileBytes(const QString& address)
{
    return (QStringLiteral("[InternetShortcut]\r\nURL=") + withoutControlCharacters(address) + QStringLiteral("\r\n"))
        .toUtf8();
}

Favorites::Favorites(ServiceSet& services) : services_(services) {}

void Favorites::AddToFavorites(int16_t mode)
{
    ITabsService& tabs = services_.Tabs();
    const platform::browser::IBrowser* b = tabs.CurrentBrowser();
    const QString address = b ? b->locationURL() : QString();
    DialogStrings[1] = MakeSafeFileName(tabs.TabTitle(tabs.CurrentTab()));
    DialogStrings[0] = QString::number(mode);
    services_.Dialogs().ShowInputDialog(4, 0);
    // A name is one file name: one with a "/" writes nothing.
    if (DialogCancelled == 1 || DialogStrings[1].contains(QLatin1Char('/')))
        return;
    // A file that cannot be written is passed over silently.
    const QString path = platform::paths::toLocal(DialogStrings[0]) + QLatin1Char('/') + DialogStrings[1]
                         + QStringLiteral(".url");
    platform::textfile::writeAtomically(path, ShortcutFileBytes(address));
}
