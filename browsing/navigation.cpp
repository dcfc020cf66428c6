#include "browsing/navigation.h"

#include "browsing/tabbrowsing.h"
#include "browsing/tabstaterecord.h"
#include "core/fileclasses.h"
#include "core/language.h"
#include "core/mainsettings.h"
#include "core/quicklist.h"
#include "core/settingsstore.h"
#include "core/shellnames.h"
#include "mainwindow/frmexplorer.h"
#include "platform/base/commandline.h"
#include "platform/base/paths.h"
#include "platform/win/shell.h"
#include "platform/base/textfile.h"
#include "platform/base/vbrt.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace {

// Lists are small text files: anything longer is not one of ours.
constexpr qint64 kListFileLimit = 1024 * 1024;

QString setting(const QString& name, const QString& fallback)
{
    return ReadZ5Setting(HiveCurrentUser, name, fallback);
}

QString programCommonFile(const QString& name)
{
    return platform::paths::programPath(QStringLiteral("\\Common\\") + name);
}

// "key=value" after trimming; nullopt for a blank or comment line; a line
// without "=" gives an empty optional name.
struct ListEntry {
    QString name;
    QString value;
    bool hasEquals = false;
};
std::optional<ListEntry> listEntryOf(const QString& rawLine)
{
    const QString line = TrimControlChars(rawLine);
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
        return std::nullopt;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return ListEntry{line, QString(), false};
    return ListEntry{TrimControlChars(line.left(eq)), TrimControlChars(line.mid(eq + 1)), true};
}

} // namespace

bool LooksLikeAddress(const QString& text)
{
    // The engine's own pages ("about:blank") are addresses as typed.
    if (text.startsWith(QLatin1String("about:"), Qt::CaseInsensitive))
        return true;
    for (const char* mark : {".", "http", "www", "/", "\\"})
        if (text.contains(QLatin1String(mark), Qt::CaseInsensitive))
            return true;
    return false;
}

QString FormEncodeQuery(const QString& words)
{
    QStringList parts;
    for (const QString& word : words.split(QLatin1Char(' ')))
        parts << QString::fromLatin1(QUrl::toPercentEncoding(word));
    return parts.join(QLatin1Char('+'));
}

std::optional<QueryPrefix> FindQueryPrefix(const QString& listFile, const QString& searchAddress)
{
    const auto lines = platform::textfile::readLines(listFile, kListFileLimit);
    if (!lines)
        return std::nullopt;
    for (const QString& raw : *lines) {
        const auto entry = listEntryOf(raw);
        if (!entry)
            continue;
        if (!entry->hasEquals)
            return std::nullopt;
        if (searchAddress.contains(entry->name, Qt::CaseInsensitive))
            return QueryPrefix{true, entry->value};
    }
    return QueryPrefix{};
}

StartPageSetting ParseStartPage(const QString& s)
{
    StartPageSetting r;
    const QString flags = s.left(2);
    r.validFlags = flags == QLatin1String("00") || flags == QLatin1String("10") || flags == QLatin1String("01")
                   || flags == QLatin1String("11");
    r.openHome = r.validFlags && flags[0] == QLatin1Char('1');
    r.openGroup = r.validFlags && flags[1] == QLatin1Char('1');
    // Without a "||" from character 5 on, the rest is the home address and
    // there is no folder.
    const qsizetype p = s.size() >= 4 ? s.indexOf(QLatin1String("||"), 4) : -1;
    if (p < 0) {
        r.home = s.mid(4);
    } else {
        r.home = s.mid(4, p - 4);
        r.folder = s.mid(p + 2);
    }
    return r;
}

QString ParentFolderAddress(const QString& url)
{
    if (!url.contains(QLatin1String("file://")))
        return {};
    QString u = url;
    if (u.endsWith(QLatin1Char('/')))
        u.chop(1);
    const qsizetype slash = u.lastIndexOf(QLatin1Char('/'));
    // "file://" itself (the root was given) has nothing above it.
    if (slash < 0 || u.size() <= 7)
        return {};
    return u.left(slash + 1);
}

QString ShellPlaceAddress(int16_t place)
{
    const QByteArray list = GetSpecialFolderIdList(place);
    if (list.isEmpty())
        return {};
    const std::optional<QString> path = platform::shell::pathFromItemIdList(list);
    return path ? QUrl::fromLocalFile(*path).toString(QUrl::FullyEncoded) : QString();
}

QString UpOneLevelTarget(const QString& url, const QString& name, const std::function<uint8_t(const QString&)>& specialFolder)
{
    if (!url.contains(QLatin1String("file://")))
        return {};
    const uint8_t number = specialFolder(name);
    if (number == kDesktopFolder)
        return {};
    const QString parent = ParentFolderAddress(url);
    const bool local = url.contains(QLatin1String("file:///"));
    if (local) {
        if (url.endsWith(QLatin1String(":/")))
            return ShellPlaceAddress(kMyComputerPlace);
        switch (number) {
        case 1:
        case 6: return ShellPlaceAddress(kDesktopPlace);
        case 4: return ShellPlaceAddress(kMyComputerPlace);
        case 5:
        case 7:
        case 8:
        case 9: return ShellPlaceAddress(kControlPanelPlace);
        default: break;
        }
        // Above a top folder is the desktop.
        if (parent.isEmpty() || parent == QLatin1String("file:///"))
            return ShellPlaceAddress(kDesktopPlace);
        return parent;
    }
    if (url.endsWith(QLatin1Char('/')))
        return ShellPlaceAddress(kNetworkPlace);
    if (number == 3)
        return ShellPlaceAddress(kDesktopPlace);
    return parent;
}

bool IsProgramName(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString ext = (dot < 0 ? name : name.mid(dot + 1)).toUpper();
    if (ext == QLatin1String("EXE") || ext == QLatin1String("PIF"))
        return true;
    if (name.contains(QLatin1String("://")) || name.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return false;
    const QFileInfo info(platform::paths::toLocal(name));
    return info.isFile() && info.isExecutable();
}

Navigation::Navigation(frmExplorer& window, TabBrowsing& tabs) : w_(window), tabs_(tabs) {}

void Navigation::NavigateAddressText(bool newTabAllowed, bool interpret, bool)
{
    QString text = TrimControlChars(w_.WBTextBox[wbtextbox::Address].text());
    if (text.isEmpty())
        return;
    if (GetTabStateFieldOfCurrent() > 1)
        tabs_.EnsureUsableTab();
    if (interpret) {
        if (!LooksLikeAddress(text)) {
            const QString search = setting(QStringLiteral("DEFAULTSEARCH"), kDefaultSearchPage);
            const auto prefix = FindQueryPrefix(programCommonFile(QStringLiteral("Z5_LIST_SEARCHQUERY.INI")), search);
            if (!prefix)
                return;
            if (prefix->found)
                text = prefix->prefix + FormEncodeQuery(text);
        }
        w_.WBTextBox[wbtextbox::Address].setText(text);
    }
    IBrowser* browser = tabs_.CurrentBrowser();
    if (!browser)
        return;
    const QString here = browser->locationURL();
    if (w_.GeneralOptionBytes[OptOpenLinkWithNewTab] == 1 && newTabAllowed && !here.isEmpty()
        && !IsBlankPageUrl(here)) {
        w_.Layout.SetSingleView();
        const int n = tabs_.model().TabCount();
        tabs_.NewTab(n, true, true);
        tabs_.ResetTab(n);
        tabs_.SelectTab(n);
        browser = tabs_.CurrentBrowser();
        if (!browser)
            return;
    } else {
        const int index = tabs_.model().TabBrowserMap().value(tabs_.model().CurrentTab(), 0);
        tabs_.UnlinkTabRelations(index);
        // A tab a page opened as its popup becomes an ordinary tab.
        if (tabs_.GetTabState(index, FieldPopupRole) == 2) {
            browser->setVisible(true);
            browser->bringToFront();
            browser->setTag(kInitialTabState);
        }
    }
    // The engine keeps every navigation in the session history: the
    // no-history request has nothing to switch off.
    browser->navigate2(text);
    tabs_.SetStatusMessage(QString(), -1, -1);
    tabs_.model().SetUserClickState(0);
}

void Navigation::PrepareTabForCommand(int tab)
{
    const int index = tabs_.model().TabBrowserMap().value(tab, 0);
    if (tabs_.GetTabState(index, FieldViewKind) >= 2)
        tabs_.EnsureUsableTab();
    tabs_.UnlinkTabRelations(index);
    tabs_.SetTabState(index, FieldPopupCount, 0);
    tabs_.SetTabState(index, FieldOpenerBrowser, -1);
}

void Navigation::OpenWB_StartPage(int mode, int tab)
{
    if (GetTabStateFieldOfCurrent() >= 2)
        tabs_.EnsureUsableTab();
    IBrowser* b0 = tabs_.WBMAIN(0);
    if (mode == 1) {
        QString target = vb::trim(platform::commandline::text());
        if (target.contains(QLatin1Char('"')))
            target = target.mid(1, target.size() - 2);
        OpenTarget(target, 0);
        return;
    }
    const StartPageSetting s = ParseStartPage(setting(QStringLiteral("STARTPAGE"), kDefaultStartPage));
    const auto homeOrBlank = [this](const QString& home) {
        return home.isEmpty() || home.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0
                   ? tabs_.BlankPageUrl
                   : home;
    };
    if (mode == 2) {
        if (!b0 || !s.validFlags)
            return;
        if (!s.openHome && !s.openGroup) {
            b0->navigate2(tabs_.BlankPageUrl);
            return;
        }
        if (s.openHome)
            b0->navigate2(homeOrBlank(s.home));
        if (s.openGroup) {
            if (s.folder.isEmpty())
                b0->navigate2(tabs_.BlankPageUrl);
            else
                w_.PendingUrl = s.folder + QLatin1Char('\\');
        }
        return;
    }
    if (mode == 3) {
        if (tab < 0 || tab >= tabs_.model().TabCount())
            return;
        PrepareTabForCommand(tab);
        if (IBrowser* b = tabs_.WBMAIN(tabs_.model().TabBrowserMap()[tab]))
            b->navigate2(homeOrBlank(s.home));
    }
}

void Navigation::OpenTarget(const QString& target, int browserIndex)
{
    const QString kind = target.right(4).toUpper();
    // Playlists and snippet files belong to the lists pane, which opens them.
    if (kind == QLatin1String(".Z5P") || kind == QLatin1String(".Z5S")) {
        if (openListFile)
            openListFile(target);
        return;
    }
    IBrowser* b = tabs_.WBMAIN(browserIndex);
    if (!b || target.isEmpty())
        return;
    if (kind == QLatin1String(".URL")) {
        const QString address = ReadIniValue(QStringLiteral("InternetShortcut"), QStringLiteral("URL"), QString(),
                                             target);
        if (!address.isEmpty())
            b->navigate2(address);
        return;
    }
    // A file named on the command line opens as the file it is, whatever
    // characters its name holds.
    const QFileInfo file(target);
    if (file.isFile())
        b->navigate2(QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded));
    else
        b->navigate2(target);
}

void Navigation::OpenSearchPage()
{
    PrepareTabForCommand(tabs_.model().CurrentTab());
    w_.WBTextBox[wbtextbox::Address].setText(setting(QStringLiteral("DEFAULTSEARCH"), kDefaultSearchPage));
    NavigateAddressText(true, false, true);
}

void Navigation::OpenMyFolder()
{
    PrepareTabForCommand(tabs_.model().CurrentTab());
    w_.WBTextBox[wbtextbox::Address].setText(setting(QStringLiteral("DEFAULTFOLDER"), GetSpecialFolder(4)));
    NavigateAddressText(true, false, true);
}

void Navigation::startProgram(const QString& program)
{
    platform::shell::startProgram(platform::paths::toLocal(program), {});
}

void Navigation::OpenMail()
{
    PrepareTabForCommand(tabs_.model().CurrentTab());
    const QString mail = setting(QStringLiteral("DEFAULTMAIL"), GetMailProgram());
    if (mail.isEmpty())
        return;
    if (IsProgramName(mail))
        startProgram(mail);
    else
        navigateCurrent(mail);
}

void Navigation::navigateCurrent(const QString& url)
{
    if (IBrowser* b = tabs_.CurrentBrowser())
        b->navigate2(url);
}

void Navigation::QuickListLookup(int list, const QString& name)
{
    if (list < 1 || list > 4)
        return;
    PrepareTabForCommand(tabs_.model().CurrentTab());
    // The same reader and the same copy of the list as the menu that showed it.
    for (const QuickListLine& entry : ::QuickListLookup(list, name)) {
        if (entry.separator)
            continue;
        if (list == 2 && IsProgramName(entry.value)) {
            startProgram(entry.value);
            continue;
        }
        w_.WBTextBox[wbtextbox::Address].setText(entry.value);
        NavigateAddressText(true, false, true);
    }
}

int Navigation::GetTabStateFieldOfCurrent() const
{
    return tabs_.GetTabState(tabs_.model().TabBrowserMap().value(tabs_.model().CurrentTab(), 0), FieldViewKind);
}

void Navigation::GoBack()
{
    if (GetTabStateFieldOfCurrent() > 1)
        tabs_.EnsureUsableTab();
    IBrowser* b = tabs_.CurrentBrowser();
    if (!b)
        return;
    const bool could = b->canGoBack();
    b->goBack();
    QCoreApplication::processEvents();
    if (could)
        return;
    const int index = tabs_.model().TabBrowserMap().value(tabs_.model().CurrentTab(), 0);
    const int opener = tabs_.GetTabState(index, FieldOpenerBrowser);
    if (opener < 0)
        return;
    const int tab = tabs_.TabOfBrowser(opener);
    if (tab < 0)
        return;
    tabs_.SelectTab(tab);
}

void Navigation::GoForward()
{
    if (GetTabStateFieldOfCurrent() > 1)
        tabs_.EnsureUsableTab();
    if (IBrowser* b = tabs_.CurrentBrowser())
        b->goForward();
}

void Navigation::StopBrowsing()
{
    if (IBrowser* b = tabs_.CurrentBrowser())
        b->stop();
    tabs_.GroupStopFlag = -1;
    tabs_.StopAllTabBrowsers();
}

void Navigation::RefreshPage()
{
    if (GetTabStateFieldOfCurrent() >= 2)
        tabs_.EnsureUsableTab();
    if (IBrowser* b = tabs_.CurrentBrowser())
        b->refresh();
    tabs_.model().SetUserClickState(0);
}

void Navigation::GoUpOneLevel()
{
    PrepareTabForCommand(tabs_.model().CurrentTab());
    IBrowser* b = tabs_.CurrentBrowser();
    if (!b)
        return;
    const QString url = b->locationURL();
    const QString target = UpOneLevelTarget(url, ShownLocationName(url, b->locationName()),
                                            [this](const QString& name) {
                                                return w_.services().Media().SpecialFolderDisplayName(name);
                                            });
    if (target.isEmpty())
        return;
    b->navigate2(target);
    QCoreApplication::processEvents();
}

void Navigation::OpenNewTab()
{
    const auto opening = openingTab_.tryHold();
    if (!opening)
        return;
    QCoreApplication::processEvents();
    w_.Layout.SetSingleView();
    const int k = tabs_.model().TabCount();
    tabs_.NewTab(k, true, true);
    tabs_.ResetTab(k);
    tabs_.SelectTab(k);
    QCoreApplication::processEvents();
}

void Navigation::StopEverything()
{
    if (IBrowser* b = tabs_.CurrentBrowser())
        b->stop();
    tabs_.StopMediaAndTimers();
    tabs_.SetStatusMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9029"), QStringLiteral("Stopped")));
}
