#include "menus/menucommands.h"

#include "core/cleanup.h"
#include "core/globals.h"
#include "core/language.h"
#include "core/shellnames.h"
#include "mainwindow/explorerstate.h"
#include "core/quicklist.h"
#include "platform/base/paths.h"

#include <QFileInfo>

namespace {

using Host = IMenuCommandHost;
using Item = ChosenItem;

QString lang(const char* section, const char* key, const char* english)
{
    return GetLangString(QString::fromLatin1(section), QString::fromLatin1(key), QString::fromUtf8(english));
}

// Where the maker's pages live.
const QString kSkinsPage = QStringLiteral("https://www.keldo.com/z5/skins.htm");
const QString kSupportPage = QStringLiteral("https://www.keldo.com/support/");
const QString kUpdatePage = QStringLiteral("https://www.keldo.com/z5/update.htm?v=1.0");
const QString kProductPage = QStringLiteral("https://www.keldo.com/z5/");
const QString kCompanyPage = QStringLiteral("https://www.keldo.com/");

CommandRow row(const char* menu, const char* key, std::function<void(Host&, const Item&)> run)
{
    return {QString::fromLatin1(menu), QString::fromLatin1(key), std::move(run)};
}
CommandRow deferredRow(const char* menu, const char* key, const QString& op)
{
    return row(menu, key, [op](Host& h, const Item&) { h.deferred(op); });
}

void openFavorite(Host& h, const Item& it)
{
    const QString file =
        platform::paths::toLocal(GetSpecialFolder(1) + QLatin1Char('\\') + it.hierarchyPath + QStringLiteral(".url"));
    if (!QFileInfo(file).isFile())
        return;
    const QString address = ReadIniValue(QStringLiteral("InternetShortcut"), QStringLiteral("URL"), {}, file);
    // A shortcut without an address opens nothing.
    if (!address.isEmpty())
        h.navigateText(address, true);
}

std::vector<CommandRow> makeRows()
{
    std::vector<CommandRow> r;
    const auto add = [&r](CommandRow c) { r.push_back(std::move(c)); };

    // ---- FAVORITES ----
    add(deferredRow("FAVORITES", "ADDFAVORITES", QStringLiteral("AddToFavorites(1)")));
    add(deferredRow("FAVORITES", "ADDALLSELECTED1", QStringLiteral("AddSelectionLinksToFolder(1)")));
    add(row("FAVORITES", "ORGFAVORITES", [](Host& h, const Item&) { h.organizeFavorites(); }));
    add(row("FAVORITES", "FAV_SORTASC", [](Host& h, const Item&) {
        h.state().FavoritesSortOrder = 0;
        h.saveSetting(QStringLiteral("OPT_FAVORITESSORTORDER"), QStringLiteral("0"));
    }));
    add(row("FAVORITES", "FAV_SORTDES", [](Host& h, const Item&) {
        h.state().FavoritesSortOrder = 1;
        h.saveSetting(QStringLiteral("OPT_FAVORITESSORTORDER"), QStringLiteral("1"));
    }));
    add(row("FAVORITES", "FAV_FOLDER1ST", [](Host& h, const Item&) {
        auto& f = h.state().FavoritesFolderFirst;
        f = f != 0 ? 0 : -1;
        h.saveSetting(QStringLiteral("OPT_FAVORITESFOLDER1ST"), f != 0 ? QStringLiteral("True") : QStringLiteral("False"));
    }));
    add(deferredRow("FAVORITES", "ADDGROUP", QStringLiteral("AddToFavorites(2)")));
    add(deferredRow("FAVORITES", "ADDALLSELECTED2", QStringLiteral("AddSelectionLinksToFolder(2)")));
    add(row("FAVORITES", "OPEN ALL", [](Host& h, const Item& it) {
        h.state().PendingUrl = OpenAllFolder(GetSpecialFolder(1), it.hierarchyPath);
    }));
    add(row("FAVORITES", "*", openFavorite));

    // ---- HISTORY ----
    add(row("HISTORY", "CLEARHISTORY", [](Host& h, const Item&) { h.clearHistory(); }));
    add(row("HISTORY", "*", [](Host& h, const Item& it) {
        if (!it.caption.isEmpty())
            h.navigateText(it.caption, true);
    }));

    // ---- FILE ----
    add(row("FILE", "FILE_NEW", [](Host& h, const Item&) { h.openNewTab(); }));
    add(deferredRow("FILE", "FILE_OPEN", QStringLiteral("OpenFileDialogCommand")));
    add(deferredRow("FILE", "FILE_OPENGROUP", QStringLiteral("SelectGroupFolder")));
    add(deferredRow("FILE", "FILE_OPENSELECTED", QStringLiteral("OpenGroupFolder(1)")));
    for (int n = 1; n <= 5; ++n)
        r.push_back({QStringLiteral("FILE"), QStringLiteral("FILE_EDIT%1").arg(n),
                     [n](Host& h, const Item&) { h.openInOfficeProgram(n); }});
    add(row("FILE", "FILE_SAVEAS", [](Host& h, const Item&) { h.pageCommand(PageCommand::SaveAs); }));
    add(row("FILE", "FILE_PAGESETUP", [](Host& h, const Item&) { h.pageCommand(PageCommand::PageSetup); }));
    add(row("FILE", "FILE_PRINT", [](Host& h, const Item&) { h.pageCommand(PageCommand::Print); }));
    add(row("FILE", "FILE_PRINTPREVIEW", [](Host& h, const Item&) { h.pageCommand(PageCommand::PrintPreview); }));
    add(row("FILE", "FILE_SEND1", [](Host& h, const Item&) { h.mailPageLink(); }));
    add(deferredRow("FILE", "FILE_SEND2", QStringLiteral("CreateDesktopShortcut")));
    add(row("FILE", "FILE_PROPERTIES", [](Host& h, const Item&) { h.pageCommand(PageCommand::Properties); }));
    add(row("FILE", "FILE_WORKOFFLINE", [](Host& h, const Item&) { h.toggleWorkOffline(); }));
    add(row("FILE", "FILE_CLOSEOPTION0", [](Host& h, const Item&) { h.closeTab(h.currentTab()); }));
    for (int n = 1; n <= 3; ++n)
        r.push_back({QStringLiteral("FILE"), QStringLiteral("FILE_CLOSEOPTION%1").arg(n),
                     [n](Host& h, const Item&) { h.closeTabs(n); }});
    add(row("FILE", "FILE_CLOSE", [](Host&, const Item&) { CloseRequested = -1; }));

    // ---- EDIT ----
    add(row("EDIT", "EDIT_CUT", [](Host& h, const Item&) { h.pageCommand(PageCommand::Cut); }));
    add(row("EDIT", "EDIT_COPY", [](Host& h, const Item&) { h.pageCommand(PageCommand::Copy); }));
    add(row("EDIT", "EDIT_PASTE", [](Host& h, const Item&) { h.pageCommand(PageCommand::Paste); }));
    add(row("EDIT", "EDIT_SELECTALL", [](Host& h, const Item&) { h.pageCommand(PageCommand::SelectAll); }));
    add(row("EDIT", "EDIT_FIND", [](Host& h, const Item&) { h.pageCommand(PageCommand::Find); }));
    add(row("EDIT", "EDIT_REFERENCES", [](Host& h, const Item&) { h.openPreferences(); }));

    // ---- VIEW ----
    for (const char* bar : {"VIEW_TBAR1", "VIEW_TBAR2", "VIEW_MBAR1", "VIEW_MBAR2", "VIEW_PLAYLIST", "VIEW_HIDEALL",
                            "VIEW_TABCONTROL", "VIEW_COLORBAR"})
        add(row("VIEW", bar, [key = QString::fromLatin1(bar)](Host& h, const Item&) { h.toggleBar(key); }));
    add(row("VIEW", "VIEW_GOHOME", [](Host& h, const Item&) { h.openStartPage(); }));
    add(row("VIEW", "VIEW_GOSEARCH", [](Host& h, const Item&) { h.openSearchPage(); }));
    add(row("VIEW", "VIEW_CLEAR", [](Host& h, const Item&) { h.clearTabs(false, -1); }));
    add(row("VIEW", "VIEW_CLEARALL", [](Host& h, const Item&) { h.clearTabs(true, -1); }));
    add(row("VIEW", "VIEW_STOP", [](Host& h, const Item&) { h.stopBrowsing(); }));
    add(row("VIEW", "VIEW_REFRESH", [](Host& h, const Item&) { h.refreshPage(); }));
    add(row("VIEW", "VIEW_SKIN", [](Host& h, const Item& it) {
        SkinName = it.caption;
        h.saveSetting(QStringLiteral("Z5_SKINNAME"), it.caption);
        h.reapplySkin();
    }));
    add(row("VIEW", "VIEW_DOWNLOADSKIN", [](Host& h, const Item&) { h.navigateText(kSkinsPage, true); }));
    add(row("VIEW", "VIEW_DELETESKIN",
            [](Host& h, const Item&) { h.startProgram(QStringLiteral("\\Tool\\Z5SkinRemoval.exe")); }));
    add(row("VIEW", "VIEW_LANGUAGE", [](Host& h, const Item& it) {
        h.saveSetting(QStringLiteral("Z5_LANGUAGE"), it.caption);
        h.showMessage(lang("MESSAGE", "9020", "Restart Z5 is required for the changes to take affect"));
    }));
    for (int n = 0; n <= 4; ++n)
        r.push_back({QStringLiteral("VIEW"), QStringLiteral("VIEW_TEXTSIZE%1").arg(n),
                     [n](Host& h, const Item&) { h.setTextSize(4 - n); }});
    add(row("VIEW", "VIEW_SOURC", [](Host& h, const Item&) { h.viewPageSource(); }));

    // ---- TOOL ----
    for (int n = 1; n <= 5; ++n)
        r.push_back({QStringLiteral("TOOL"), QStringLiteral("TOOL_DOWNLOAD%1").arg(n),
                     [n](Host& h, const Item&) { h.flipDisplayOption(n); }});
    add(row("TOOL", "TOOL_TRANSLATE", [](Host& h, const Item& it) { h.translatePage(it.caption); }));
    add(row("TOOL", "TOOL_MODIFYLIST", [](Host& h, const Item&) { h.editListFile(0); }));
    add(deferredRow("TOOL", "TOOL_INTERNETSYSOPTIONS", QStringLiteral("InternetOptions")));
    for (int n : {0, 2, 3, 4})
        r.push_back({QStringLiteral("TOOL"), QStringLiteral("TOOL_POPUP%1").arg(n), [n](Host& h, const Item&) {
                         h.state().PopupControlMode = static_cast<uint8_t>(n);
                         h.saveSetting(QStringLiteral("OPT_POPUPCONTROL"), QString::number(n));
                     }});
    add(row("TOOL", "TOOL_DEFAULTBROWSER", [](Host& h, const Item&) { h.makeDefaultBrowser(); }));
    add(row("TOOL", "TOOL_SYNCHRONIZE", [](Host& h, const Item&) { h.synchronizeOfflinePages(); }));

    // ---- WINDOW1, WINDOW2 ----
    add(row("WINDOW1", "NEW", [](Host& h, const Item&) { h.startProgram(QStringLiteral("\\Z5.exe")); }));
    for (const char* a : {"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8", "A9", "A0"})
        add(row("WINDOW1", a, [key = QString::fromLatin1(a)](Host& h, const Item&) { h.setArrangeMode(key); }));
    add(row("WINDOW1", "*", [](Host& h, const Item& it) {
        if (const int t = TabFromKey(it.key); t >= 0)
            h.goToTab(t);
    }));
    add(row("WINDOW2", "*", [](Host& h, const Item& it) {
        if (const int t = TabFromKey(it.key); t >= 0)
            h.selectTabFromMenu(t);
    }));

    // ---- TABCLOSE, TABACTIVATE, TABHANDLE ----
    add(row("TABCLOSE", "CLOSEOPTION0", [](Host& h, const Item&) { h.closeTab(h.currentTab()); }));
    for (int n = 1; n <= 3; ++n)
        r.push_back({QStringLiteral("TABCLOSE"), QStringLiteral("CLOSEOPTION%1").arg(n),
                     [n](Host& h, const Item&) { h.closeTabs(n); }});
    add(row("TABCLOSE", "*", [](Host& h, const Item& it) {
        if (const int t = TabFromKey(it.key); t >= 0)
            h.closeTab(t);
    }));
    add(row("TABACTIVATE", "*", [](Host& h, const Item& it) {
        if (const int t = TabFromKey(it.key); t >= 0)
            h.goToTab(t);
    }));
    const auto handleTab = [](Host& h) {
        const int t = h.tabMenuTab();
        return t > 32767 ? -1 : t;
    };
    add(row("TABHANDLE", "OPTION0", [handleTab](Host& h, const Item&) {
        if (const int t = handleTab(h); t >= 0)
            h.closeTab(t);
    }));
    add(row("TABHANDLE", "OPTION1", [handleTab](Host& h, const Item&) {
        if (const int t = handleTab(h); t >= 0)
            h.clearTabs(false, t);
    }));

    // ---- MHELP ----
    add(row("MHELP", "MHELP_PL0", [](Host& h, const Item&) {
        h.navigateText(platform::paths::programPath(QStringLiteral("\\HELP\\Index.htm")), true);
    }));
    add(row("MHELP", "MHELP_PL1", [](Host& h, const Item&) {
        h.navigateText(platform::paths::programPath(QStringLiteral("\\HELP\\P0501.htm")), true);
    }));
    add(row("MHELP", "MHELP_PL2", [](Host& h, const Item&) { h.navigateText(kSupportPage, true); }));
    add(row("MHELP", "MHELP_PL3", [](Host& h, const Item&) { h.navigateText(kUpdatePage, true); }));
    add(row("MHELP", "MHELP_PL4", [](Host& h, const Item&) { h.navigateText(kProductPage, true); }));
    add(row("MHELP", "MHELP_PL5", [](Host& h, const Item&) { h.navigateText(kCompanyPage, true); }));
    add(row("MHELP", "MHELP_PL6", [](Host& h, const Item&) { h.showAbout(); }));

    // ---- MLISTVIEWEDIT ----
    add(deferredRow("MLISTVIEWEDIT", "MLISTVIEWEDIT1", QStringLiteral("SelectAllListItems")));
    add(deferredRow("MLISTVIEWEDIT", "MLISTVIEWEDIT2", QStringLiteral("RemoveSelectedItems")));
    add(deferredRow("MLISTVIEWEDIT", "MLISTVIEWEDIT3", QStringLiteral("ClearCurrentList(True)")));

    // ---- MOPTION ----
    for (int n = 1; n <= 4; ++n) {
        r.push_back({QStringLiteral("MOPTION"), QStringLiteral("MOPTION_MOD%1").arg(n),
                     [n](Host& h, const Item&) { h.editListFile(n); }});
        r.push_back({QStringLiteral("MOPTION"), QStringLiteral("MOPTION_EXE%1").arg(n),
                     [n](Host& h, const Item& it) { h.quickListLookup(n, it.caption); }});
    }

    // ---- MPLAYLIST: list kinds ----
    for (int n = 1; n <= 6; ++n)
        r.push_back({QStringLiteral("MPLAYLIST"), QStringLiteral("MPLAYLIST_CMODE%1").arg(n),
                     [n](Host& h, const Item&) {
                         h.state().CurrentListKind = static_cast<int16_t>(n);
                         h.toggleBar(QStringLiteral("SHOW_SIDEPANE"));
                         h.deferred(QStringLiteral("ShowCurrentList(%1)").arg(n));
                     }});

    add(deferredRow("MPLAYLIST", "MPLAYLIST_OPEN", QStringLiteral("OpenPlaylistDialog")));
    add(deferredRow("MPLAYLIST", "MPLAYLIST_SAVE", QStringLiteral("SavePlaylistFile(False)")));
    add(deferredRow("MPLAYLIST", "MPLAYLIST_SAVEAS", QStringLiteral("SavePlaylistFile(True)")));
    add(deferredRow("MPLAYLIST", "MPLAYLIST_PLCLEAR", QStringLiteral("ClearCurrentList(True)")));
    add(row("MPLAYLIST", "MPLAYLIST_PLCLOSE", [](Host& h, const Item&) { h.toggleBar(QStringLiteral("VIEW_PLAYLIST")); }));
    for (int n = 1; n <= 6; ++n)
        r.push_back({QStringLiteral("MPLAYLIST"), QStringLiteral("MPLAYLIST_FORMAT%1").arg(n), [n](Host& h, const Item&) {
                         QString& format = h.state().CollectionFormat;
                         const auto d = GetOptionDigit(format, static_cast<int16_t>(n));
                         SetOptionDigit(format, static_cast<int16_t>(n), d && *d == 0 ? 1 : 0);
                     }});
    for (const ListCommand& c : ListCommands())
        if (c.item > 0)
            r.push_back({QStringLiteral("MPLAYLIST"), ListCommandKey(c),
                         [op = QString::fromLatin1(c.operation)](Host& h, const Item&) { h.deferred(op); }});

    // ---- MMEDIA ----
    add(row("MMEDIA", "MMEDIA_VIEWSTAT", [](Host& h, const Item& it) {
        const QString name = SafeListName(it.caption);
        if (!name.isEmpty())
            h.navigateText(platform::paths::programPath(QStringLiteral("\\Data\\") + name + QStringLiteral(".HTM")),
                           false);
    }));
    add(deferredRow("MMEDIA", "MMEDIA_CLEARSTAT", QStringLiteral("ClearDownloadStatusList")));
    add(row("MMEDIA", "MMEDIA_IINFO", [](Host& h, const Item&) { h.toggleBar(QStringLiteral("MMEDIA_IINFO")); }));
    add(row("MMEDIA", "MMEDIA_RESIZE", [](Host& h, const Item&) {
        auto& v = h.state().AutoImageResize;
        v = v != 0 ? 0 : -1;
    }));
    for (int n : {1, 2, 3, 4, 6, 8})
        r.push_back({QStringLiteral("MMEDIA"), QStringLiteral("MMEDIA_VIEWSET%1").arg(n), [n](Host& h, const Item&) {
                         h.state().ImagesPerView = static_cast<uint8_t>(n);
                         h.showImageViewerTab();
                     }});
    for (int n = 1; n <= 3; ++n)
        r.push_back({QStringLiteral("MMEDIA"), QStringLiteral("MMEDIA_REPEAT%1").arg(n), [n](Host& h, const Item&) {
                         auto& f = h.state().RepeatFlags[static_cast<size_t>(n)];
                         f = f != 0 ? 0 : -1;
                     }});
    for (int n = 1; n <= 2; ++n) {
        r.push_back({QStringLiteral("MMEDIA"), QStringLiteral("MMEDIA_SINGLE%1").arg(n), [n](Host& h, const Item&) {
                         auto& f = h.state().SingleFlags[static_cast<size_t>(n)];
                         f = f != 0 ? 0 : -1;
                     }});
        r.push_back({QStringLiteral("MMEDIA"), QStringLiteral("MMEDIA_SHUFFL%1").arg(n), [n](Host& h, const Item&) {
                         auto& f = h.state().ShuffleFlags[static_cast<size_t>(n)];
                         f = f != 0 ? 0 : -1;
                     }});
    }
    return r;
}

} // namespace

const std::vector<ListCommand>& ListCommands()
{
    static const std::vector<ListCommand> table = [] {
        std::vector<ListCommand> t;
        const auto sep = [&t](int kind) { t.push_back({kind, 0, "", "", ""}); };
        // Audio and video share their block.
        for (int k : {1, 2}) {
            const bool audio = k == 1;
            t.push_back({k, 1, audio ? "0921" : "0922", audio ? "Add Links To Audio Files" : "Add Links To Video Files",
                         audio ? "AddPageLinksToList(1, 2, 0)" : "AddPageLinksToList(2, 2, 0)"});
            t.push_back({k, 2, "0911", "Add Links On Page", audio ? "AddClipboardLinksToList(1)" : "AddClipboardLinksToList(2)"});
            sep(k);
            t.push_back({k, 3, "0912", "Add Files ...", audio ? "AddFilesFromDialog(1)" : "AddFilesFromDialog(2)"});
            t.push_back({k, 4, "0913", "Add All Files In Folder ...", audio ? "AddAllFilesInFolder(1)" : "AddAllFilesInFolder(2)"});
            sep(k);
            t.push_back({k, 5, "0914", "Add Manually ...", audio ? "AddItemManually(1)" : "AddItemManually(2)"});
            sep(k);
            t.push_back({k, 6, "0915", "Delete Selected Files",
                         audio ? "DeleteSelectedToRecycleBin(1)" : "DeleteSelectedToRecycleBin(2)"});
            sep(k);
            t.push_back({k, 7, "0916", "Download Setup ...", audio ? "ShowDownloadSetup(1)" : "ShowDownloadSetup(2)"});
        }
        t.push_back({3, 1, "0923", "Add Links To Image Files", "AddPageLinksToList(3, 2, 0)"});
        t.push_back({3, 2, "0924", "Add Images On Page", "AddPageLinksToList(3, 3, 1)"});
        t.push_back({3, 3, "0911", "Add Links On Page", "AddClipboardLinksToList(3)"});
        sep(3);
        t.push_back({3, 4, "0912", "Add Files ...", "AddFilesFromDialog(3)"});
        t.push_back({3, 5, "0913", "Add All Files In Folder ...", "AddAllFilesInFolder(3)"});
        sep(3);
        t.push_back({3, 6, "0914", "Add Manually ...", "AddItemManually(3)"});
        sep(3);
        t.push_back({3, 7, "0915", "Delete Selected Files", "DeleteSelectedToRecycleBin(3)"});
        sep(3);
        t.push_back({3, 8, "0916", "Download Setup ...", "ShowDownloadSetup(3)"});
        t.push_back({4, 1, "0925", "Add Web Snippet", "CaptureSelectionAsSnippet"});
        sep(4);
        t.push_back({4, 2, "0912", "Add Files ...", "AddFilesFromDialog(4)"});
        t.push_back({4, 3, "0913", "Add All Files In Folder ...", "AddAllFilesInFolder(4)"});
        sep(4);
        t.push_back({4, 4, "0931", "View All", "ShowSnippetViewPage(1)"});
        t.push_back({4, 5, "0932", "View Selected Files", "ShowSnippetViewPage(2)"});
        sep(4);
        t.push_back({4, 6, "0933", "Merge Selected Files", "ShowSnippetViewPage(3)"});
        sep(4);
        t.push_back({4, 7, "0915", "Delete Selected Files", "DeleteSelectedToRecycleBin(4)"});
        sep(4);
        t.push_back({5, 1, "0926", "Add Page Address", "AddPageAddress"});
        t.push_back({5, 2, "0911", "Add Links On Page", "AddClipboardLinksToList(5)"});
        sep(5);
        t.push_back({5, 3, "0912", "Add Files ...", "AddFilesFromDialog(5)"});
        t.push_back({5, 4, "0913", "Add All Files In Folder ...", "AddAllFilesInFolder(5)"});
        sep(5);
        t.push_back({5, 5, "0914", "Add Manually ...", "AddItemManually(5)"});
        t.push_back({6, 1, "0927", "Add Links To Files", "AddPageLinksToList(6, 2, 1)"});
        t.push_back({6, 2, "0928", "Add Links To EXE, ZIP, RAR Files", "AddPageLinksToList(6, 2, 2)"});
        t.push_back({6, 3, "0911", "Add Links On Page", "AddClipboardLinksToList(6)"});
        sep(6);
        t.push_back({6, 4, "0914", "Add Manually ...", "AddItemManually(6)"});
        t.push_back({6, 5, "0935", "Download All", "StartListDownload(6, True, 1)"});
        t.push_back({6, 6, "0936", "Download Selected Files", "StartListDownload(6, False, 1)"});
        sep(6);
        t.push_back({6, 7, "0916", "Download Setup ...", "ShowDownloadSetup(6)"});
        return t;
    }();
    return table;
}

QString ListCommandKey(const ListCommand& c)
{
    return QStringLiteral("MPLAYLIST_CMODE%1_%2").arg(c.kind).arg(c.item);
}

const std::vector<CommandRow>& CommandRows()
{
    static const std::vector<CommandRow> rows = makeRows();
    return rows;
}

bool DispatchMenuCommand(IMenuCommandHost& host, const ChosenItem& item)
{
    const CommandRow* other = nullptr;
    for (const CommandRow& r : CommandRows()) {
        if (r.menuName != item.menuName)
            continue;
        if (r.key == item.key) {
            r.run(host, item);
            return true;
        }
        if (r.key == QLatin1String("*"))
            other = &r;
    }
    if (!other)
        return false;
    other->run(host, item);
    return true;
}

int TabFromKey(const QString& key)
{
    if (key.isEmpty() || key.size() > 5)
        return -1;
    for (const QChar c : key)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    const int n = key.toInt();
    return n >= 1 && n <= 32767 ? n - 1 : -1;
}

QString SafeListName(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))
        || name.contains(QLatin1String("..")) || name.contains(QLatin1Char(':')))
        return {};
    return name;
}

QString OpenAllFolder(const QString& favorites, const QString& hierarchyPath)
{
    const qsizetype cut = hierarchyPath.lastIndexOf(QLatin1Char('\\'));
    const QString folder = cut < 0 ? QString() : hierarchyPath.left(cut);
    QString result = favorites + QLatin1Char('\\');
    if (!folder.isEmpty())
        result += folder + QLatin1Char('\\');
    return result;
}
