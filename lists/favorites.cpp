#include "lists/favorites.h"

#include "contracts/services.h"
#include "core/fileclasses.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/shelldialogs.h"
#include "core/shellnames.h"
#include "lists/pagelinks.h"
#include "lists/pagequery.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/paths.h"
#include "platform/base/textfile.h"
#include "platform/win/ibrowser.h"
#include "platform/win/pagequeries.h"

#include <QCoreApplication>
#include <QDir>

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

QString lang(const char* section, const char* key, const char* english)
{
    return GetLangString(QLatin1String(section), QLatin1String(key), QLatin1String(english));
}

} // namespace

QByteArray ShortcutFileBytes(const QString& address, bool withIcon, const QString& iconAddress)
{
    QString text = QStringLiteral("[InternetShortcut]\r\nURL=") + withoutControlCharacters(address)
                   + QStringLiteral("\r\n");
    if (withIcon)
        text += QStringLiteral("IconFile=") + withoutControlCharacters(iconAddress)
                + QStringLiteral("\r\nIconIndex=1\r\n");
    return text.toUtf8();
}

QString PageIconUrlIn(const QString& html, const QString& base)
{
    const qsizetype at = html.indexOf(QLatin1String("SHORTCUT ICON"), 0, Qt::CaseInsensitive);
    if (at < 0)
        return base + QStringLiteral("favicon.ico");
    const qsizetype tagAt = html.lastIndexOf(QLatin1Char('<'), at);
    const qsizetype hrefAt = tagAt < 0 ? -1 : html.indexOf(QLatin1String("HREF"), tagAt, Qt::CaseInsensitive);
    const qsizetype open = hrefAt < 0 ? -1 : html.indexOf(QLatin1Char('"'), hrefAt);
    const qsizetype close = open < 0 ? -1 : html.indexOf(QLatin1Char('"'), open + 1);
    if (close < 0)
        return {};
    QString value = html.mid(open + 1, close - open - 1);
    if (value.startsWith(QLatin1Char('/')))
        value = base + value.mid(1);
    return value;
}

Favorites::Favorites(frmExplorer& window, ServiceSet& services, PageLinks& links)
    : w_(window), services_(services), links_(links)
{
}

void Favorites::WriteUrlShortcut(const QString& address, const QString& path, bool withIcon)
{
    const QString icon = withIcon ? FindPageIconUrl(address) : QString();
    // A file that cannot be written is passed over silently.
    platform::textfile::writeAtomically(platform::paths::toLocal(path), ShortcutFileBytes(address, withIcon, icon));
}

QString Favorites::FindPageIconUrl(const QString& base)
{
    const std::optional<QString> html =
        AskPage(services_.Tabs().CurrentBrowser(), platform::browser::documentMarkupScript());
    return html ? PageIconUrlIn(*html, base) : QString();
}

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
    WriteUrlShortcut(address, platform::paths::toLocal(DialogStrings[0]) + QLatin1Char('/') + DialogStrings[1]
                                  + QStringLiteral(".url"),
                     false);
}

void Favorites::AddSelectionLinksToFolder(int16_t mode)
{
    QString folder;
    if (mode == 1) {
        folder = BrowseForFolderShell(w_.window(),
                                      lang("DIAGLOG", "7104", "Add all Links in the selected area to Favorites Folder ..."),
                                      GetSpecialFolder(1));
    } else {
        folder = BrowseForFolder(w_.window(), lang("DIAGLOG", "7105", "Add all Links in the selected area to Folder ..."),
                                 w_.LastFolders[7]);
        if (!folder.isEmpty())
            w_.LastFolders[7] = folder;
    }
    if (folder.isEmpty())
        return;
    const int n = links_.ExtractSelectionLinks();
    const auto& rows = links_.scratch();
    for (int i = 0; i < n && i < static_cast<int>(rows.size()); ++i) {
        const QString& address = rows[static_cast<size_t>(i)].columns[1];
        const QString name = MakeSafeFileName(rows[static_cast<size_t>(i)].columns[4]);
        WriteUrlShortcut(address, folder + QLatin1Char('/') + name + QStringLiteral(".url"), false);
    }
    links_.scratch().clear();
}

void Favorites::CreateDesktopShortcut()
{
    ITabsService& tabs = services_.Tabs();
    const platform::browser::IBrowser* b = tabs.CurrentBrowser();
    const QString address = b ? b->locationURL() : QString();
    if (IsBlankPageUrl(address))
        return;
    WriteUrlShortcut(address,
                     GetSpecialFolder(5) + QLatin1Char('/') + MakeSafeFileName(tabs.TabTitle(tabs.CurrentTab()))
                         + QStringLiteral(".url"),
                     true);
}

void Favorites::SelectGroupFolder()
{
    QString folder = BrowseForFolder(w_.window(), lang("DIAGLOG", "7101", "Select Group ..."), w_.LastFolders[7]);
    if (folder.isEmpty())
        return;
    w_.LastFolders[7] = folder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    w_.PendingUrl = folder;
}

void Favorites::OpenGroupFolder(int16_t mode, const QString& folder)
{
    ITabsService& tabs = services_.Tabs();
    // The time-out in 32 bits; none set (or a nonsense one) counts as 5 s.
    int32_t waitLimit = static_cast<int32_t>(w_.UnreachableTimeout) * 1000;
    if (waitLimit <= 0)
        waitLimit = 5000;
    const auto status = [&tabs](const QString& text, int16_t tab = -1) { tabs.SetStatusMessage(text, -1, tab); };
    const auto stopped = [&tabs] { return CloseRequested != 0 || tabs.GroupStopRequested(); };
    if (tabs.GetTabState(tabs.TabBrowserMap(tabs.CurrentTab()), 1) > 1)
        tabs.EnsureUsableTab();
    status(lang("MESSAGE", "9030", "Establish the Connection ..."));
    tabs.SetBusyIndicator(2);
    GroupOpening = -1;
    tabs.ClearGroupStop();

    const auto finish = [&] {
        if (mode == 1)
            links_.scratch().clear();
        GroupOpening = 0;
        tabs.SetBusyIndicator(1);
    };
    int firstNew = tabs.TabCount();
    int lastShown = tabs.LastFittingTab();

    QStringList addresses;
    if (mode == 1) {
        const int n = links_.ExtractSelectionLinks();
        for (int i = 0; i < n && i < static_cast<int>(links_.scratch().size()); ++i)
            addresses << links_.scratch()[static_cast<size_t>(i)].columns[1];
    } else {
        QString dir = platform::paths::toLocal(folder);
        while (dir.size() > 1 && (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\'))))
            dir.chop(1);
        const QStringList files =
            QDir(dir).entryList({QStringLiteral("*.url")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QString& f : files)
            addresses << ReadIniValue(QStringLiteral("InternetShortcut"), QStringLiteral("URL"), QString(),
                                      dir + QLatin1Char('/') + f);
    }
    if (addresses.isEmpty())
        return finish();

    w_.Layout.SetSingleView();
    int t = tabs.TabCount() - 1;
    tabs.SetUserClickState(0);
    QCoreApplication::processEvents();
    if (mode != 1) {
        // A last tab that shows nothing takes the first page.
        const platform::browser::IBrowser* last = tabs.Browser(tabs.TabBrowserMap(static_cast<int16_t>(t)));
        if (last && last->readyState() == platform::browser::ReadyComplete
            && (last->locationURL().trimmed().isEmpty() || IsBlankPageUrl(last->locationURL()))) {
            firstNew = tabs.TabCount() - 1;
            --t;
        }
    }
    const QString connecting = lang("MESSAGE", "9031", "Connecting to ...");
    for (const QString& address : addresses) {
        ++t;
        tabs.NewTab(static_cast<int16_t>(t));
        if (platform::browser::IBrowser* b = tabs.Browser(tabs.TabBrowserMap(static_cast<int16_t>(t))))
            b->navigate2(address);
        status(connecting + QLatin1Char(' ') + address);
        if (stopped())
            return finish();
    }
    tabs.RefreshTabsShown();
    lastShown = std::min(lastShown, tabs.TabCount() - 1);

    const QString loading = lang("MESSAGE", "9032", "Loading ...");
    const auto load = [&](int tab, bool stopCurrent) {
        const int16_t browser = tabs.TabBrowserMap(static_cast<int16_t>(tab));
        tabs.SetProgressBrowser(browser);
        status(loading + QLatin1Char(' ') + tabs.TabTitle(static_cast<int16_t>(tab)), static_cast<int16_t>(tab));
        const bool timedOut = tabs.WaitUntilReady(static_cast<int16_t>(tab), waitLimit);
        if (timedOut && (stopCurrent || tab != tabs.CurrentTab()))
            if (platform::browser::IBrowser* b = tabs.Browser(browser))
                b->stop();
    };
    for (int tab = firstNew; tab <= lastShown; ++tab) {
        load(tab, false);
        if (stopped())
            return finish();
    }
    if (w_.GeneralOptionBytes[OptGroupLoadOnStartup] != 0) {
        for (int tab = std::max(firstNew, lastShown + 1); tab <= tabs.TabCount() - 1; ++tab) {
            load(tab, true);
            if (stopped())
                return finish();
        }
    }
    status(lang("MESSAGE", "9028", "Done"));
    services_.Downloads().ResetFetchProgress();
    QCoreApplication::processEvents();
    finish();
}
