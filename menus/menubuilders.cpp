#include "menus/menubuilders.h"

#include "core/language.h"
#include "menus/clspopupmenu.h"
#include "menus/menucommands.h"
#include "core/quicklist.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace {

using Cond = std::function<bool(const MenuState&)>;
using Icon = std::function<int32_t(const MenuState&)>;

// One item of a menu's table. parent is the number of a row of the same
// table (1-based), 0 for the top level. A head is a row with an empty key
// and menu name; fill adds its entries that come from disk or state.
struct Row {
    int parent = 0;
    QString caption;  // from the language file; "-" a separator
    QString menuName;
    QString key;
    Icon icon;
    Cond enabled;
    std::function<void(clsPopupMenu&, int32_t self)> fill;
};

QString lang(const char* section, const char* key, const char* english)
{
    return GetLangString(QString::fromLatin1(section), QString::fromLatin1(key), QString::fromUtf8(english));
}

Icon fixed(int32_t n)
{
    return [n](const MenuState&) { return n; };
}
// An icon pair: the first when the row is enabled, the second when not.
Icon pair(int32_t on, int32_t off, Cond c)
{
    return [on, off, c](const MenuState& s) { return c(s) ? on : off; };
}
Icon check(std::function<bool(const MenuState&)> c)
{
    return [c](const MenuState& s) { return c(s) ? menuicon::Check : menuicon::Off; };
}
Icon radio(std::function<bool(const MenuState&)> c)
{
    return [c](const MenuState& s) { return c(s) ? menuicon::Radio : menuicon::Off; };
}
const Cond always = [](const MenuState&) { return true; };
const Cond page = [](const MenuState& s) { return s.pageShown; };

Row item(int parent, QString caption, const char* menu, const char* key, Icon icon, Cond en = always)
{
    return {parent, std::move(caption), QString::fromLatin1(menu), QString::fromLatin1(key), std::move(icon),
            std::move(en), {}};
}
Row sep(int parent = 0)
{
    return {parent, QStringLiteral("-"), {}, {}, fixed(menuicon::None), always, {}};
}
Row head(int parent, QString caption, int32_t icon = menuicon::None, Cond en = always,
         std::function<void(clsPopupMenu&, int32_t)> fill = {})
{
    return {parent, std::move(caption), {}, {}, fixed(icon), std::move(en), std::move(fill)};
}
QString withShortcut(QString caption, const char* shortcut)
{
    return caption + QLatin1Char('\t') + QString::fromLatin1(shortcut);
}

void addRows(clsPopupMenu& m, const MenuState& s, const std::vector<Row>& rows, int32_t topParent = 0)
{
    std::vector<int32_t> index(rows.size() + 1, topParent);
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        const int32_t parent = r.parent > 0 ? index[static_cast<size_t>(r.parent)] : topParent;
        index[i + 1] = m.AddItem(r.caption, r.menuName, 0, parent, r.icon(s), r.enabled(s), r.key);
        if (r.fill)
            r.fill(m, index[i + 1]);
    }
}

void addSeparator(clsPopupMenu& m, int32_t parent)
{
    m.AddItem(QStringLiteral("-"), {}, 0, parent, menuicon::None, true, {});
}

} // namespace

QString TabCaption(int tabNumber, const QString& title, int viewKind)
{
    QString text = title;
    switch (viewKind) {
    case 1:
    case 4:
    case 5:
        if (text.isEmpty())
            text = lang("MESSAGE", "9022", "Blank Page");
        break;
    case 2: text = lang("MESSAGE", "9100", "Video Player"); break;
    case 3: text = lang("MESSAGE", "9101", "Image Viewer"); break;
    case 6: text = lang("MESSAGE", "9102", "Download Status"); break;
    default: break;
    }
    return QString::number(tabNumber) + QStringLiteral(" : ") + text;
}

void BuildFileMenu(clsPopupMenu& m, const MenuState& s)
{
    static const char* const officeKeys[5] = {"FILE_EDIT1", "FILE_EDIT2", "FILE_EDIT3", "FILE_EDIT4", "FILE_EDIT5"};
    static const char* const officeLang[5] = {"010501", "010502", "010503", "010504", "010505"};
    static const char* const officeText[5] = {"Edit with Microsoft Excel", "Edit with Microsoft FrontPage",
                                              "Edit with Microsoft PowerPoint", "Edit with Microsoft Publisher",
                                              "Edit with Microsoft Word"};
    const bool anyOffice = s.office[0] || s.office[1] || s.office[2] || s.office[3] || s.office[4];
    const Cond copy = [](const MenuState& st) { return st.canCopy; };
    const std::vector<Row> rows = {
        item(0, withShortcut(lang("MENU-01", "0101", "&New"), "Ctrl+N"), "FILE", "FILE_NEW", fixed(12)),
        sep(),
        item(0, withShortcut(lang("MENU-01", "0102", "&Open ..."), "Ctrl+0"), "FILE", "FILE_OPEN", fixed(13)),
        item(0, lang("MENU-01", "0103", "Open Group ..."), "FILE", "FILE_OPENGROUP", fixed(-1)),
        item(0, lang("MENU-01", "0104", "Open Links in Selected Area"), "FILE", "FILE_OPENSELECTED", fixed(-1), copy),
        sep(),
        head(0, lang("MENU-01", "0105", "Edit"), menuicon::None,
             [anyOffice](const MenuState& st) { return anyOffice && st.pageShown; },
             [&s](clsPopupMenu& menu, int32_t self) {
                 for (int i = 0; i < 5; ++i)
                     if (s.office[static_cast<size_t>(i)])
                         menu.AddItem(lang("MENU-01", officeLang[i], officeText[i]), QStringLiteral("FILE"), 0, self,
                                      22 + i, true, QString::fromLatin1(officeKeys[i]));
             }),
        sep(),
        item(0, lang("MENU-01", "0106", "Save Page &As ..."), "FILE", "FILE_SAVEAS", pair(14, 15, page), page),
        sep(),
        item(0, lang("MENU-01", "0107", "Page Set&up ..."), "FILE", "FILE_PAGESETUP", fixed(-1), page),
        item(0, withShortcut(lang("MENU-01", "0108", "&Print ..."), "Ctrl+P"), "FILE", "FILE_PRINT",
             pair(16, 17, page), page),
        item(0, lang("MENU-01", "0109", "Print Pre&view ..."), "FILE", "FILE_PRINTPREVIEW", pair(18, 19, page), page),
        sep(),
        head(0, lang("MENU-01", "0114", "Send"), menuicon::None, page),
        item(15, lang("MENU-01", "011401", "Link by Email ..."), "FILE", "FILE_SEND1", fixed(menuicon::Bullet)),
        item(15, lang("MENU-01", "011402", "Shortcut to Desktop"), "FILE", "FILE_SEND2", fixed(menuicon::Bullet)),
        sep(),
        item(0, lang("MENU-01", "0110", "Properties"), "FILE", "FILE_PROPERTIES", pair(20, 21, page), page),
        item(0, lang("MENU-01", "0111", "Work Offline"), "FILE", "FILE_WORKOFFLINE",
             [](const MenuState& st) { return st.workOffline ? menuicon::Check : menuicon::None; }),
        sep(),
        head(0, lang("MENU-01", "0112", "Close Tab")),
        item(22, lang("MENU-01", "011201", "Close Current"), "FILE", "FILE_CLOSEOPTION0", fixed(10)),
        sep(22),
        item(22, lang("MENU-01", "011202", "Close All"), "FILE", "FILE_CLOSEOPTION1", fixed(menuicon::Bullet)),
        item(22, lang("MENU-01", "011203", "Close All - Except First Tab"), "FILE", "FILE_CLOSEOPTION2",
             fixed(menuicon::Bullet)),
        item(22, lang("MENU-01", "011204", "Close All - Except Current Tab"), "FILE", "FILE_CLOSEOPTION3",
             fixed(menuicon::Bullet)),
        sep(),
        item(0, lang("MENU-01", "0113", "&Close"), "FILE", "FILE_CLOSE", fixed(11)),
    };
    m.Clear();
    addRows(m, s, rows);
}

void BuildEditMenu(clsPopupMenu& m, const MenuState& s)
{
    const Cond cut = [](const MenuState& st) { return st.canCut; };
    const Cond copy = [](const MenuState& st) { return st.canCopy; };
    const Cond paste = [](const MenuState& st) { return st.canPaste; };
    const std::vector<Row> rows = {
        item(0, withShortcut(lang("MENU-02", "0201", "Cu&t"), "Ctrl+X"), "EDIT", "EDIT_CUT", pair(27, 28, cut), cut),
        item(0, withShortcut(lang("MENU-02", "0202", "&Copy"), "Ctrl+C"), "EDIT", "EDIT_COPY", pair(29, 30, copy),
             copy),
        item(0, withShortcut(lang("MENU-02", "0203", "&Paste"), "Ctrl+V"), "EDIT", "EDIT_PASTE",
             pair(31, 32, paste), paste),
        sep(),
        item(0, withShortcut(lang("MENU-02", "0204", "Select &All"), "Ctrl+A"), "EDIT", "EDIT_SELECTALL", fixed(-1),
             page),
        sep(),
        item(0, withShortcut(lang("MENU-02", "0205", "&Find(on This Page)..."), "Ctrl+F"), "EDIT", "EDIT_FIND",
             pair(33, 34, page), page),
        sep(),
        item(0, lang("MENU-02", "0206", "Preferences ..."), "EDIT", "EDIT_REFERENCES", fixed(-1)),
    };
    m.Clear();
    addRows(m, s, rows);
}

void BuildViewMenu(clsPopupMenu& m, const MenuState& s)
{
    const auto flag = [](int i) { return check([i](const MenuState& st) { return st.display[static_cast<size_t>(i)]; }); };
    const auto size = [](int z) { return radio([z](const MenuState& st) { return st.zoom == z; }); };
    const auto skins = [&s](clsPopupMenu& menu, int32_t self) {
        for (const QString& file : s.skinFiles) {
            QString name = file.mid(3, file.size() - 7);
            name.replace(QLatin1Char('_'), QLatin1Char(' '));
            menu.AddItem(MenuCaptionFromData(name), QStringLiteral("VIEW"), 0, self, name == s.skinName ? menuicon::Radio : menuicon::Off,
                         true, QStringLiteral("VIEW_SKIN"));
        }
        addSeparator(menu, self);
        menu.AddItem(lang("MENU-03", "031101", "Download Skins"), QStringLiteral("VIEW"), 0, self, menuicon::Bullet,
                     true, QStringLiteral("VIEW_DOWNLOADSKIN"));
        menu.AddItem(lang("MENU-03", "031102", "Delete Skin ..."), QStringLiteral("VIEW"), 0, self, menuicon::Bullet,
                     s.skinFiles.size() > 1, QStringLiteral("VIEW_DELETESKIN"));
    };
    const auto languages = [&s](clsPopupMenu& menu, int32_t self) {
        for (const QString& file : s.languageFiles) {
            const QString name = file.left(file.size() - 4);
            menu.AddItem(MenuCaptionFromData(name), QStringLiteral("VIEW"), 0, self,
                         name == s.languageName ? menuicon::Radio : menuicon::Off, true,
                         QStringLiteral("VIEW_LANGUAGE"));
        }
    };
    const Cond never = [](const MenuState&) { return false; };
    const std::vector<Row> rows = {
        head(0, lang("MENU-03", "0301", "Tool Bars and Menu")),
        item(1, lang("MENU-03", "030101", "Top Bar"), "VIEW", "VIEW_TBAR1", flag(0)),
        item(1, lang("MENU-03", "030102", "Bottom Bar"), "VIEW", "VIEW_TBAR2", flag(1)),
        sep(1),
        item(1, lang("MENU-03", "030103", "Menu"), "VIEW", "VIEW_MBAR1", flag(6)),
        item(1, lang("MENU-03", "030104", "Media Control Center"), "VIEW", "VIEW_MBAR2", flag(7)),
        sep(1),
        item(1, lang("MENU-03", "030105", "Hide All"), "VIEW", "VIEW_HIDEALL", fixed(-1)),
        sep(),
        item(0, lang("MENU-03", "0302", "Play List"), "VIEW", "VIEW_PLAYLIST", flag(2)),
        sep(),
        item(0, lang("MENU-03", "0303", "Tab Bar"), "VIEW", "VIEW_TABCONTROL", flag(3)),
        item(0, lang("MENU-03", "0304", "Text Color Bar"), "VIEW", "VIEW_COLORBAR", flag(8)),
        sep(),
        item(0, lang("MENU-03", "0305", "Go To Home Page"), "VIEW", "VIEW_GOHOME", fixed(35)),
        item(0, lang("MENU-03", "0306", "Go Search"), "VIEW", "VIEW_GOSEARCH", fixed(36)),
        sep(),
        item(0, lang("MENU-03", "0307", "Clear Current Tab"), "VIEW", "VIEW_CLEAR", fixed(-1)),
        item(0, lang("MENU-03", "0308", "Clear All"), "VIEW", "VIEW_CLEARALL", fixed(-1)),
        sep(),
        item(0, withShortcut(lang("MENU-03", "0309", "Stop"), "ESC"), "VIEW", "VIEW_STOP", fixed(37)),
        item(0, lang("MENU-03", "0310", "Refresh"), "VIEW", "VIEW_REFRESH", fixed(38)),
        sep(),
        head(0, lang("MENU-03", "0311", "Skin"), menuicon::None, always, skins),
        sep(),
        head(0, lang("MENU-03", "0314", "Language"), menuicon::None, always, languages),
        sep(),
        head(0, lang("MENU-03", "0312", "Text Size"), 39),
        item(28, lang("MENU-03", "031201", "Largest"), "VIEW", "VIEW_TEXTSIZE0", size(4)),
        item(28, lang("MENU-03", "031202", "Larger"), "VIEW", "VIEW_TEXTSIZE1", size(3)),
        item(28, lang("MENU-03", "031203", "Medium"), "VIEW", "VIEW_TEXTSIZE2", size(2)),
        item(28, lang("MENU-03", "031204", "Smaller"), "VIEW", "VIEW_TEXTSIZE3", size(1)),
        item(28, lang("MENU-03", "031205", "Smallest"), "VIEW", "VIEW_TEXTSIZE4", size(0)),
        head(0, lang("MENU-03", "0313", "Encoding"), menuicon::None, never),
        item(34, QStringLiteral("Encode 1"), "VIEW", "VIEW_ENCODE1", fixed(-1)),
        sep(),
        item(0, lang("MENU-03", "0315", "View Source"), "VIEW", "VIEW_SOURC", fixed(40)),
    };
    m.Clear();
    addRows(m, s, rows);
}

void BuildToolsMenu(clsPopupMenu& m, const MenuState& s)
{
    const auto option = [](int n) {
        return check([n](const MenuState& st) { return st.displayOptions[static_cast<size_t>(n - 1)]; });
    };
    const auto popup = [](int n) { return radio([n](const MenuState& st) { return st.popupMode == n; }); };
    const auto kind = [](int n) { return radio([n](const MenuState& st) { return st.listKind == n; }); };
    const auto translations = [&s](clsPopupMenu& menu, int32_t self) {
        for (const QuickListLine& l : ReadQuickList(s.translationList)) {
            if (l.separator)
                addSeparator(menu, self);
            else
                menu.AddItem(MenuCaptionFromData(l.name), QStringLiteral("TOOL"), 0, self, menuicon::Bullet, true,
                             QStringLiteral("TOOL_TRANSLATE"));
        }
        addSeparator(menu, self);
        menu.AddItem(lang("MENU-04", "0408", "Modify Translation List ..."), QStringLiteral("TOOL"), 0, self, 49, true,
                     QStringLiteral("TOOL_MODIFYLIST"));
    };
    const Cond never = [](const MenuState&) { return false; };
    const Cond notDefault = [](const MenuState& st) { return !st.isDefaultBrowser; };
    const std::vector<Row> rows = {
        head(0, lang("MENU-04", "0409", "Multimedia Download")),
        item(1, lang("MENU-04", "040901", "Load Animations"), "TOOL", "TOOL_DOWNLOAD1", option(1)),
        item(1, lang("MENU-04", "040902", "Load Pictures"), "TOOL", "TOOL_DOWNLOAD2", option(2)),
        item(1, lang("MENU-04", "040903", "Load Sounds"), "TOOL", "TOOL_DOWNLOAD3", option(3)),
        item(1, lang("MENU-04", "040904", "Load Video"), "TOOL", "TOOL_DOWNLOAD4", option(4)),
        item(1, lang("MENU-04", "040905", "Load Flash"), "TOOL", "TOOL_DOWNLOAD5", option(5)),
        sep(),
        head(0, lang("MENU-04", "0407", "Translate"), menuicon::None, always, translations),
        sep(),
        head(0, lang("MENU-04", "0403", "Popup Manager")),
        item(10, lang("MENU-04", "040301", "Allow Popup Windows"), "TOOL", "TOOL_POPUP0", popup(0)),
        item(10, lang("MENU-04", "040302", "Disable Popup Windows"), "TOOL", "TOOL_POPUP2", popup(2)),
        item(10, lang("MENU-04", "040303", "Hide Popup Windows"), "TOOL", "TOOL_POPUP3", popup(3)),
        item(10, lang("MENU-04", "040304", "Use Same Window for Popup"), "TOOL", "TOOL_POPUP4", popup(4)),
        sep(),
        head(0, lang("MENU-04", "0410", "Collection Tools")),
        item(16, lang("MENU-04", "041001", "Audio"), "MPLAYLIST", "MPLAYLIST_CMODE1", kind(1)),
        item(16, lang("MENU-04", "041002", "Video"), "MPLAYLIST", "MPLAYLIST_CMODE2", kind(2)),
        item(16, lang("MENU-04", "041003", "Image"), "MPLAYLIST", "MPLAYLIST_CMODE3", kind(3)),
        item(16, lang("MENU-04", "041004", "Web-Snippet"), "MPLAYLIST", "MPLAYLIST_CMODE4", kind(4)),
        item(16, lang("MENU-04", "041005", "Link"), "MPLAYLIST", "MPLAYLIST_CMODE5", kind(5)),
        item(16, lang("MENU-04", "041006", "Download"), "MPLAYLIST", "MPLAYLIST_CMODE6", kind(6)),
        sep(),
        head(0, lang("MENU-04", "0406", "Utilities")),
        item(24, lang("MENU-04", "040601", "File Utilities ..."), "TOOL", "TOOL_FILEUTILITIES", fixed(-1), never),
        item(24, lang("MENU-04", "040602", "Advanced Playlist Setup ..."), "TOOL", "TOOL_ADVANCEDPLSETUP", fixed(-1),
             never),
        sep(),
        item(0, lang("MENU-04", "0401", "Internet Properties ..."), "TOOL", "TOOL_INTERNETSYSOPTIONS", fixed(-1)),
        sep(),
        item(0, lang("MENU-04", "0405", "Synchronize ..."), "TOOL", "TOOL_SYNCHRONIZE", fixed(41)),
        sep(),
        item(0, lang("MENU-04", "0404", "Set As Default Browser"), "TOOL", "TOOL_DEFAULTBROWSER", fixed(-1),
             notDefault),
    };
    m.Clear();
    addRows(m, s, rows);
}

void AddTabListItems(clsPopupMenu& m, const MenuState& s, const QString& menuName)
{
    const int count = static_cast<int>(s.tabCaptions.size());
    const int groups = count / 10;
    const int digits = static_cast<int>(QString::number(count).size());
    const QString label = lang("MENU-12", "1203", "Tab No.");
    int groupFirst = 1;
    int groupLast = 10;
    int32_t group = 0;
    for (int i = 1; i <= count; ++i) {
        const int32_t icon = i == s.currentTab + 1 ? menuicon::CurrentTab : menuicon::OtherTab;
        const QString caption = MenuCaptionFromData(s.tabCaptions[i - 1]);
        if (i > groups * 10) {
            m.AddItem(caption, menuName, 0, 0, icon, true, QString::number(i));
            continue;
        }
        if (i == groupFirst)
            group = m.AddItem(label + QStringLiteral("%1 - %2")
                                          .arg(groupFirst, digits, 10, QLatin1Char('0'))
                                          .arg(groupLast, digits, 10, QLatin1Char('0')),
                              {}, 0, 0, menuicon::Folder, true, {});
        m.AddItem(caption, menuName, 0, group, icon, true, QString::number(i));
        if (i == groupLast) {
            groupFirst += 10;
            groupLast = groupFirst + 9;
        }
    }
}

void BuildWindowMenu(clsPopupMenu& m, const MenuState& s)
{
    const auto mode = [](int v) { return radio([v](const MenuState& st) { return st.viewMode == v; }); };
    const std::vector<Row> rows = {
        item(0, lang("MENU-05", "0501", "New Window"), "WINDOW1", "NEW", fixed(12)),
        sep(),
        item(0, lang("MENU-05", "0502", "Auto Arrange"), "WINDOW1", "A1", mode(1)),
        item(0, lang("MENU-05", "0503", "Tile Horizontally"), "WINDOW1", "A2", mode(2)),
        item(0, lang("MENU-05", "0504", "Tile Vertically"), "WINDOW1", "A3", mode(3)),
        sep(),
        head(0, lang("MENU-05", "0505", "Special Arrange Mode")),
        item(7, lang("MENU-05", "050501", "2 - Left, Right"), "WINDOW1", "A8", fixed(42)),
        item(7, lang("MENU-05", "050502", "2 - Top, Bottom"), "WINDOW1", "A9", fixed(43)),
        sep(7),
        item(7, lang("MENU-05", "050503", "3 - 2 Left, 1 Right"), "WINDOW1", "A4", fixed(44)),
        item(7, lang("MENU-05", "050504", "3 - 1 Left, 2 Right"), "WINDOW1", "A5", fixed(45)),
        item(7, lang("MENU-05", "050505", "3 - 1 Top, 2 Bottom"), "WINDOW1", "A6", fixed(46)),
        item(7, lang("MENU-05", "050506", "3 - 2 Top, 1 Bottom"), "WINDOW1", "A7", fixed(47)),
        sep(7),
        item(7, lang("MENU-05", "050507", "4 - 2 Top, 2 Bottom"), "WINDOW1", "A0", fixed(48)),
        sep(),
    };
    m.Clear();
    addRows(m, s, rows);
    AddTabListItems(m, s, QStringLiteral("WINDOW1"));
}

void BuildTabListMenu(clsPopupMenu& m, const MenuState& s)
{
    m.Clear();
    AddTabListItems(m, s, QStringLiteral("WINDOW2"));
}

void BuildCloseTabMenu(clsPopupMenu& m, const MenuState& s)
{
    m.Clear();
    m.AddItem(lang("MENU-12", "1201", "CLOSE TAB ...").toUpper(), {}, 0, 0, menuicon::Title, true, {});
    addSeparator(m, 0);
    AddTabListItems(m, s, QStringLiteral("TABCLOSE"));
    const std::vector<Row> rows = {
        sep(),
        item(0, lang("MENU-01", "011201", "Close Current"), "TABCLOSE", "CLOSEOPTION0", fixed(10)),
        sep(),
        item(0, lang("MENU-01", "011204", "Close All - except the Current Tab"), "TABCLOSE", "CLOSEOPTION3",
             fixed(menuicon::Bullet)),
        item(0, lang("MENU-01", "011203", "Close All - except the First Tab"), "TABCLOSE", "CLOSEOPTION2",
             fixed(menuicon::Bullet)),
        item(0, lang("MENU-01", "011202", "Close All"), "TABCLOSE", "CLOSEOPTION1", fixed(menuicon::Bullet)),
    };
    addRows(m, s, rows);
}

void BuildGoToTabMenu(clsPopupMenu& m, const MenuState& s)
{
    m.Clear();
    m.AddItem(lang("MENU-12", "1202", "GO TO TAB ...").toUpper(), {}, 0, 0, menuicon::Title, true, {});
    addSeparator(m, 0);
    AddTabListItems(m, s, QStringLiteral("TABACTIVATE"));
}

void BuildHelpMenu(clsPopupMenu& m)
{
    const auto b = fixed(menuicon::Bullet);
    const std::vector<Row> rows = {
        item(0, lang("MENU-06", "0601", "Contents and Index"), "MHELP", "MHELP_PL0", b),
        item(0, lang("MENU-06", "0602", "Contact Technical Support"), "MHELP", "MHELP_PL1", b),
        sep(),
        item(0, lang("MENU-06", "0603", "Online Support"), "MHELP", "MHELP_PL2", b),
        item(0, lang("MENU-06", "0604", "Check for Updates"), "MHELP", "MHELP_PL3", b),
        sep(),
        item(0, lang("MENU-06", "0605", "Z5 Web Site"), "MHELP", "MHELP_PL4", b),
        item(0, lang("MENU-06", "0606", "Keldo Home Page"), "MHELP", "MHELP_PL5", b),
        sep(),
        item(0, lang("MENU-06", "0607", "About Z5 Browser"), "MHELP", "MHELP_PL6", b),
    };
    m.Clear();
    addRows(m, MenuState{}, rows);
}

void BuildListEditMenu(clsPopupMenu& m)
{
    const auto none = fixed(menuicon::None);
    const std::vector<Row> rows = {
        item(0, lang("MENU-11", "1101", "Select All"), "MLISTVIEWEDIT", "MLISTVIEWEDIT1", none),
        sep(),
        item(0, lang("MENU-11", "1102", "Remove Selected Items"), "MLISTVIEWEDIT", "MLISTVIEWEDIT2", none),
        sep(),
        item(0, lang("MENU-11", "1103", "Clear All"), "MLISTVIEWEDIT", "MLISTVIEWEDIT3", none),
    };
    m.Clear();
    addRows(m, MenuState{}, rows);
}

bool BuildUserListMenu(clsPopupMenu& m, int list, const QString& localPath)
{
    static const char* const modifyKey[5] = {"", "1301", "1302", "1303", "1304"};
    static const char* const modifyText[5] = {"", "Modify FOLDER LIST ...", "Modify EMAIL LIST ...",
                                              "Modify START PAGE LIST ...", "Modify SEARCH LIST ..."};
    m.Clear();
    if (list < 1 || list > 4)
        return false;
    const QString n = QString::number(list);
    m.AddItem(lang("MENU-13", modifyKey[list], modifyText[list]), QStringLiteral("MOPTION"), 0, 0, 49, true,
              QStringLiteral("MOPTION_MOD") + n);
    bool opened = false;
    const QVector<QuickListLine> lines = ReadQuickList(localPath, &opened);
    if (!opened)
        return false;
    addSeparator(m, 0);
    for (const QuickListLine& l : lines) {
        if (l.separator)
            addSeparator(m, 0);
        else
            m.AddItem(MenuCaptionFromData(l.name), QStringLiteral("MOPTION"), 0, 0, menuicon::Bullet, true,
                      QStringLiteral("MOPTION_EXE") + n);
    }
    return true;
}

void BuildMediaMenu(clsPopupMenu& m, const MenuState& s)
{
    const QString media = QStringLiteral("MMEDIA");
    const auto tick = [](bool on) { return on ? menuicon::Check : menuicon::Off; };
    const auto heading = [&](const char* key, const char* english) {
        m.AddItem(lang("MENU-03", key, english).toUpper(), {}, 0, 0, menuicon::Title, true, {});
        addSeparator(m, 0);
    };
    const auto add = [&](const char* key, const char* english, const QString& command, int32_t icon, bool enabled = true,
                         int32_t parent = 0) {
        return m.AddItem(lang("MENU-10", key, english), media, 0, parent, icon, enabled, command);
    };
    m.Clear();
    for (int list = 1; list <= 2; ++list) {
        heading(list == 1 ? "030201" : "030202", list == 1 ? "AUDIO LIST" : "VIDEO LIST");
        const QString n = QString::number(list);
        add("1001", "Repeat", QStringLiteral("MMEDIA_REPEAT") + n, tick(s.repeat[static_cast<size_t>(list)]));
        add("1002", "Single", QStringLiteral("MMEDIA_SINGLE") + n, tick(s.single[static_cast<size_t>(list)]));
        add("1003", "Shuffle", QStringLiteral("MMEDIA_SHUFFL") + n, tick(s.shuffle[static_cast<size_t>(list)]));
        addSeparator(m, 0);
    }
    heading("030203", "IMAGE LIST");
    add("1001", "Repeat", QStringLiteral("MMEDIA_REPEAT3"), tick(s.repeat[3]));
    if (!s.fullScreen)
        add("1005", "Display Image Information", QStringLiteral("MMEDIA_IINFO"), tick(s.display[4]));
    add("1006", "Automatic Image Resizing", QStringLiteral("MMEDIA_RESIZE"),
        s.imagesPerView > 1 ? menuicon::CurrentTab : tick(s.autoImageResize),
        !s.imageListPlaying && s.imagesPerView == 1);
    const bool sets = s.imageListCount >= 1 && !s.imageListPlaying;
    const int32_t set = m.AddItem(lang("MENU-10", "1004", "View By Set ..."), {}, 0, 0, menuicon::None, sets, {});
    if (sets) {
        static const char* const keys[5] = {"100401", "100402", "100403", "100404", "100405"};
        static const int sizes[5] = {8, 6, 4, 3, 2};
        for (int i = 0; i < 5; ++i)
            add(keys[i], QStringLiteral("View set of %1").arg(sizes[i]).toLatin1().constData(),
                QStringLiteral("MMEDIA_VIEWSET%1").arg(sizes[i]),
                s.imagesPerView == sizes[i] ? menuicon::Radio : menuicon::Off, true, set);
        addSeparator(m, set);
        add("100406", "View 1", QStringLiteral("MMEDIA_VIEWSET1"),
            s.imagesPerView == 1 ? menuicon::Radio : menuicon::Off, true, set);
    }
    if (s.fullScreen)
        return;
    addSeparator(m, 0);
    heading("030206", "DOWNLOAD FILE LIST");
    const QStringList parts = s.downloadLists.isEmpty() ? QStringList() : s.downloadLists.split(QLatin1Char('|'));
    const int32_t status = m.AddItem(lang("MENU-10", "1007", "View Download Status"), {}, 0, 0, menuicon::None,
                                     parts.size() > 1, {});
    if (parts.size() <= 1)
        return;
    for (qsizetype i = 1; i < parts.size(); ++i)
        m.AddItem(MenuCaptionFromData(parts[i]), media, 0, status, menuicon::None, true, QStringLiteral("MMEDIA_VIEWSTAT"));
    addSeparator(m, status);
    add("100701", "Clear Status", QStringLiteral("MMEDIA_CLEARSTAT"), menuicon::Bullet, true, status);
}

namespace {

void addFormatEntries(clsPopupMenu& m, const MenuState& s, int32_t parent)
{
    const QString pl = QStringLiteral("MPLAYLIST");
    const auto digit = [&s](int n) { return GetOptionDigit(s.collectionFormat, static_cast<int16_t>(n)).value_or(0); };
    const auto entry = [&](const char* key, const char* english, int n, bool enabled) {
        const int32_t icon = enabled && digit(n) == 1 ? menuicon::Check : menuicon::Off;
        m.AddItem(lang("MENU-09", key, english), pl, 0, parent, icon, enabled,
                  QStringLiteral("MPLAYLIST_FORMAT%1").arg(n));
    };
    entry("093401", "Show Header", 1, true);
    addSeparator(m, parent);
    const bool header = digit(1) == 1;
    entry("093402", "Show Name", 3, header);
    entry("093403", "Show Comment", 4, header);
    entry("093404", "Show Source", 5, header);
    entry("093405", "Show Created Date", 6, header);
    addSeparator(m, parent);
    entry("093406", "Show Border", 2, true);
}

} // namespace

void BuildPlaylistMenu(clsPopupMenu& m, const MenuState& s)
{
    static const char* const keys[6] = {"030201", "030202", "030203", "030204", "030205", "030206"};
    static const char* const names[6] = {"Audio List", "Video List", "Image List", "Web-Snippet List", "Link List",
                                         "Download File List"};
    const QString pl = QStringLiteral("MPLAYLIST");
    const int k = s.listKind;
    m.Clear();
    const QString heading = k >= 1 && k <= 6 ? lang("MENU-03", keys[k - 1], names[k - 1]).toUpper() : QString();
    const int32_t h = m.AddItem(heading, {}, 0, 0, menuicon::Title, true, {});
    for (int i = 1; i <= 6; ++i)
        m.AddItem(lang("MENU-03", keys[i - 1], names[i - 1]), pl, 0, h, i == k ? menuicon::Radio : menuicon::Off, true,
                  QStringLiteral("MPLAYLIST_CMODE%1").arg(i));
    addSeparator(m, 0);
    m.AddItem(lang("MENU-09", "0901", "Open Play List ..."), pl, 0, 0, menuicon::None, true,
              QStringLiteral("MPLAYLIST_OPEN"));
    addSeparator(m, 0);
    m.AddItem(lang("MENU-09", "0902", "Save Play List ..."), pl, 0, 0, menuicon::None, s.listSaved,
              QStringLiteral("MPLAYLIST_SAVE"));
    m.AddItem(lang("MENU-09", "0903", "Save Play List As ..."), pl, 0, 0, menuicon::None, s.listFilled,
              QStringLiteral("MPLAYLIST_SAVEAS"));
    addSeparator(m, 0);
    m.AddItem(lang("MENU-09", "0904", "Clear Current Play List"), pl, 0, 0, menuicon::None, s.listCount > 0,
              QStringLiteral("MPLAYLIST_PLCLEAR"));
    addSeparator(m, 0);
    m.AddItem(lang("MENU-09", "0905", "Close Play List"), pl, 0, 0, menuicon::None, true,
              QStringLiteral("MPLAYLIST_PLCLOSE"));
    addSeparator(m, 0);
    if (k < 1 || k > 6)
        return;
    m.AddItem(lang("MENU-09", "0910", "OPTIONS"), {}, 0, 0, 9, false, {});
    addSeparator(m, 0);
    for (const ListCommand& c : ListCommands()) {
        if (c.kind != k)
            continue;
        if (c.item == 0)
            addSeparator(m, 0);
        else
            m.AddItem(lang("MENU-09", c.langKey, c.english), pl, 0, 0, menuicon::None, true, ListCommandKey(c));
    }
    if (k == 4) {
        const int32_t setup = m.AddItem(lang("MENU-09", "0934", "View Setup"), {}, 0, 0, menuicon::None, true, {});
        addFormatEntries(m, s, setup);
    }
}

void BuildPlaylistFormatMenu(clsPopupMenu& m, const MenuState& s)
{
    m.Clear();
    addFormatEntries(m, s, 0);
}
