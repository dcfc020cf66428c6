#include "dialogs/optionpages.h"

#include "core/cleanup.h"
#include "core/fileclasses.h"
#include "core/language.h"
#include "core/mainsettings.h"
#include "core/messagebox.h"
#include "core/scaling.h"
#include "core/settingsstore.h"
#include "core/shelldialogs.h"
#include "core/shellnames.h"
#include "dialogs/contentpage.h"
#include "dialogs/frmreferences.h"
#include "dialogs/keyboardpage.h"
#include "dialogs/proxypage.h"
#include "platform/base/vbrt.h"
#include "platform/win/filedialogs.h"

#include <QCoreApplication>

namespace {

// The General page's check boxes, in their order: the option byte and the
// setting of each.
struct GeneralOption {
    int byte;
    const char* setting;
    const char* key;
    const char* english;
};
constexpr GeneralOption kGeneralOptions[] = {
    {OptDisableScriptError, "DISABLESCRIPTERROR", "620101", "Disable script error"},
    {OptRunOneInstanceOnly, "RUNONEINSTANCEONLY", "620102", "Run one instance"},
    {OptUseTxtAutoComplete, "USETXTAUTOCOMPLETE", "620103", "Use inline AutoComplete"},
    {OptGroupLoadOnStartup, "GROUPLOADONSTARTUP", "620105", "Load all on startup"},
    {OptRememberLastFolder, "REMEMBERLASTFOLDER", "620108", "Remember last folder"},
    {OptOpenLinkWithNewTab, "OPENLINKWITHNEWTAB", "620109", "Open new Tab for Favorites and History"},
    {OptMouseGesturesInUse, "MOUSEGESTURESINUSE", "620110", "Use Mouse Gestures (requires restart)"},
};

const QString kStartPage = QStringLiteral("STARTPAGE");
const QString kCleanUp = QStringLiteral("OPT_CLEANUP");

QString lang(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("FORM-OPTIONS"), QLatin1String(key), QLatin1String(english));
}

QString message(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("MESSAGE"), QLatin1String(key), QLatin1String(english));
}

QString setting(const QString& name, const QString& fallback)
{
    return ReadZ5Setting(HiveCurrentUser, name, fallback);
}

// The number of a one-character text, as a check box takes it.
std::optional<int> digitOf(const QString& character)
{
    if (character.size() != 1 || !character.at(0).isDigit() || character.at(0).unicode() > '9')
        return std::nullopt;
    return character.at(0).unicode() - '0';
}

void setChecked(platform::forms::CheckBox& box, std::optional<int> value)
{
    if (value)
        box.setValue(*value);
}

QString checkText(const platform::forms::CheckBox& box)
{
    return QString::number(box.value());
}

// The Clean Up page's boxes as the digits of "OPT_CLEANUP".
QString cleanupDigits(const frmReferences& f)
{
    QString digits;
    for (int i = 0; i <= 5; ++i)
        digits += checkText(f.Cleanup_CheckBox[i]);
    return digits;
}

// Apply on the Clean Up page: the removals its boxes name, at once.
void RunCleanUpNow(frmReferences& f)
{
    SetMousePointer(11);
    SaveOptionsPage(f, PageCleanUp);
    f.Cleanup_LabelMessage->setCaption(lang("620707", "Running ..."));
    // Once, so that the text shows; no input meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    RunCleanupRemovals(cleanupDigits(f));
    SetMousePointer(0);
    f.Cleanup_LabelMessage->setCaption(lang("620708", "Completed"));
}

} // namespace

StartPageParts SplitStartPage(const QString& value)
{
    StartPageParts parts;
    parts.homeFlag = digitOf(vb::mid(value, 1, 1));
    parts.groupFlag = digitOf(vb::mid(value, 2, 1));
    // The flags and "||" take characters 1 to 4.
    const int p = vb::inStr(5, value, QStringLiteral("||"));
    if (p == 0) {
        parts.home = vb::mid(value, 5);
        return parts;
    }
    parts.home = vb::mid(value, 5, p - 5);
    parts.group = vb::mid(value, p + 2);
    return parts;
}

void CaptionOptionPage(frmReferences& f, int16_t page)
{
    switch (page) {
    case PageGeneral:
        f.SLabel[12].setCaption(lang("6201", "General"));
        for (int i = 0; i <= 6; ++i)
            f.General_CheckBox[i].setCaption(lang(kGeneralOptions[i].key, kGeneralOptions[i].english));
        f.SLabel[13].setCaption(lang("620104", "When open a Group of Web Sites"));
        f.Label[12].setCaption(lang("620106", "Continue if a page can not be loaded in"));
        f.Label[13].setCaption(lang("620107", "seconds"));
        break;
    case PageStartPages:
        f.SLabel[0].setCaption(lang("6202", "Start Pages"));
        f.SLabel[7].setCaption(lang("620201", "Home Page"));
        f.StartPages_CheckBox[0].setCaption(lang("620203", "Open on start"));
        f.SLabel[10].setCaption(lang("620202", "Group"));
        f.StartPages_CheckBox[1].setCaption(lang("620203", "Open on start"));
        break;
    case PageQuickLaunch:
        f.SLabel[2].setCaption(lang("6203", "Quick Launch"));
        f.SLabel[6].setCaption(lang("620301", "Document Folder"));
        f.SLabel[3].setCaption(lang("620302", "Email Program"));
        f.SLabel[1].setCaption(lang("620303", "Search Page"));
        break;
    case PageCleanUp: {
        f.SLabel[8].setCaption(lang("6207", "Clean Up"));
        static const char* const boxes[][2] = {{"620706", "Clean up on Exit"},      {"620701", "Temporary Internet Files"},
                                               {"620702", "Include Cookies"},       {"620703", "Internet Typed URLs"},
                                               {"620704", "Internet History"},      {"620705", "Temporary Windows Files"}};
        for (int i = 0; i <= 5; ++i)
            f.Cleanup_CheckBox[i].setCaption(lang(boxes[i][0], boxes[i][1]));
        break;
    }
    default:
        break;
    }
}

void FillOptionPage(frmReferences& f, int16_t page)
{
    switch (page) {
    case PageGeneral:
        for (int i = 0; i <= 6; ++i)
            f.General_CheckBox[i].setValue(f.options().GeneralOptionBytes[kGeneralOptions[i].byte]);
        f.General_TextBox->setText(QString::number(f.options().UnreachableTimeout));
        break;
    case PageStartPages: {
        const StartPageParts parts = SplitStartPage(setting(kStartPage, kDefaultStartPage));
        setChecked(f.StartPages_CheckBox[0], parts.homeFlag);
        setChecked(f.StartPages_CheckBox[1], parts.groupFlag);
        f.StartPages_TextBox[0].setText(parts.home);
        f.StartPages_TextBox[1].setText(parts.group);
        break;
    }
    case PageQuickLaunch:
        f.QuickLaunch_TextBox[0].setText(setting(QStringLiteral("DEFAULTFOLDER"), GetSpecialFolder(4)));
        f.QuickLaunch_TextBox[1].setText(setting(QStringLiteral("DEFAULTMAIL"), GetMailProgram()));
        f.QuickLaunch_TextBox[2].setText(setting(QStringLiteral("DEFAULTSEARCH"), kDefaultSearchPage));
        break;
    case PageCleanUp: {
        // Six characters: a longer value is cut, a shorter one filled with blanks.
        const QString c = setting(kCleanUp, QStringLiteral("000000")).left(6).leftJustified(6, QLatin1Char(' '));
        for (int i = 0; i <= 5; ++i)
            setChecked(f.Cleanup_CheckBox[i], digitOf(c.mid(i, 1)));
        f.Cleanup_LabelMessage->setCaption(QString());
        break;
    }
    default:
        break;
    }
}

void WireOptionPages(frmReferences& f)
{
    f.General_CheckBox.events().click = [&f](int i) { General_CheckBox_Click(f, i); };
    f.General_TextBox->events().change = [&f] { General_TextBox_Change(f); };
    f.StartPages_CheckBox.events().click = [&f](int i) { StartPages_CheckBox_Click(f, i); };
    f.StartPages_TextBox.events().change = [&f](int i) { StartPages_TextBox_Change(f, i); };
    f.StartPages_TextBox.events().gotFocus = [&f](int i) { StartPages_TextBox_GotFocus(f, i); };
    f.QuickLaunch_TextBox.events().change = [&f](int i) { QuickLaunch_TextBox_Change(f, i); };
    f.QuickLaunch_TextBox.events().gotFocus = [&f](int i) { QuickLaunch_TextBox_GotFocus(f, i); };
    f.Cleanup_CheckBox.events().click = [&f](int i) { Cleanup_CheckBox_Click(f, i); };
}

void General_CheckBox_Click(frmReferences& f, int)
{
    f.SetApplyEnabled(true);
}

void General_TextBox_Change(frmReferences& f)
{
    f.SetApplyEnabled(true);
}

void StartPages_CheckBox_Click(frmReferences& f, int)
{
    f.SetApplyEnabled(true);
}

void StartPages_TextBox_Change(frmReferences& f, int)
{
    f.SetApplyEnabled(true);
}

void QuickLaunch_TextBox_Change(frmReferences& f, int)
{
    f.SetApplyEnabled(true);
}

void Cleanup_CheckBox_Click(frmReferences& f, int)
{
    f.SetApplyEnabled(true);
}

void StartPages_TextBox_GotFocus(frmReferences& f, int index)
{
    platform::forms::TextBox& box = f.StartPages_TextBox[index];
    box.setSelStart(0);
    box.setSelLength(static_cast<int>(box.text().size()));
}

void QuickLaunch_TextBox_GotFocus(frmReferences& f, int index)
{
    platform::forms::TextBox& box = f.QuickLaunch_TextBox[index];
    box.setSelStart(0);
    box.setSelLength(static_cast<int>(box.text().size()));
}

namespace {

// The time-out the General page stands for: its box's number to the
// nearest whole one, or the current one when the box holds none that fits.
int16_t timeoutOf(const frmReferences& f)
{
    if (const auto n = vb::toNumber(f.General_TextBox->text()))
        if (const auto seconds = vb::toInt16(*n))
            return *seconds;
    return f.options().UnreachableTimeout;
}

// The values the pages 0, 1, 2, 4 and 6 write, in their order.
QList<SettingWrite> pageSettings(const frmReferences& f, int16_t page)
{
    QList<SettingWrite> values;
    const auto add = [&values](const QString& name, const QString& value) { values.append({kSettingsSection, name, value}); };
    switch (page) {
    case PageGeneral:
        for (int i = 0; i <= 6; ++i)
            add(QLatin1String(kGeneralOptions[i].setting), checkText(f.General_CheckBox[i]));
        add(QStringLiteral("UNREACHABLETIMEOUT"), QString::number(timeoutOf(f)));
        break;
    case PageStartPages:
        add(kStartPage, checkText(f.StartPages_CheckBox[0]) + checkText(f.StartPages_CheckBox[1]) + QStringLiteral("||")
                            + f.StartPages_TextBox[0].text() + QStringLiteral("||") + f.StartPages_TextBox[1].text());
        break;
    case PageQuickLaunch:
        add(QStringLiteral("DEFAULTFOLDER"), f.QuickLaunch_TextBox[0].text());
        add(QStringLiteral("DEFAULTMAIL"), f.QuickLaunch_TextBox[1].text());
        add(QStringLiteral("DEFAULTSEARCH"), f.QuickLaunch_TextBox[2].text());
        break;
    case PageProxy:
        return ProxyPageSettings(f);
    case PageCleanUp:
        add(kCleanUp, cleanupDigits(f));
        break;
    default:
        break;
    }
    return values;
}

// The user told when the store refused a value since the last telling;
// true when it did.
bool tellRefusedSettings(frmReferences& f)
{
    const std::optional<QString> why = f.Settings.takeFailure();
    if (!why)
        return false;
    QString text = message("9095", "The settings could not be saved.");
    if (!why->isEmpty())
        text += QLatin1Char('\n') + *why;
    ShowMessage(text, 1, 0);
    return true;
}

} // namespace

void RememberPageSettings(frmReferences& f)
{
    for (const int16_t page : {PageGeneral, PageStartPages, PageQuickLaunch, PageProxy, PageCleanUp})
        f.Settings.remember(pageSettings(f, page));
}

bool SaveOptionsPage(frmReferences& f, int16_t page)
{
    switch (page) {
    case PageKeyboard:
        return SaveKeySlot(f);
    case PageContent:
        return SaveContentList(f);
    case PageProxy:
        // The process takes the proxy the store holds.
        if (!SaveProxySettings(f))
            return false;
        ApplyProxyToIE(false);
        return true;
    default:
        break;
    }
    MainSettings& o = f.options();
    const int16_t timeout = timeoutOf(f);
    const QList<SettingWrite> values = pageSettings(f, page);
    bool stored = true;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (!f.Settings.write(values[i])) {
            stored = false;
            continue;
        }
        // The options in memory follow what the store took.
        if (page == PageGeneral && i <= 6)
            o.GeneralOptionBytes[kGeneralOptions[i].byte] = static_cast<uint8_t>(f.General_CheckBox[static_cast<int>(i)].value());
        else if (page == PageGeneral)
            o.UnreachableTimeout = timeout;
    }
    return stored;
}

bool CheckOptionsPage(frmReferences& f, int16_t page)
{
    switch (page) {
    case PageGeneral:
        if (vb::isNumeric(f.General_TextBox->text()))
            return true;
        ShowMessage(message("9006", "A numeric value is required for Time Out"), 1, 0);
        return false;
    case PageStartPages: {
        // "STARTPAGE" keeps the address between two "||": one that holds
        // "||", or ends in "|", would not read back.
        const QString home = f.StartPages_TextBox[0].text();
        if (!f.PageShown[page] || (!home.contains(QStringLiteral("||")) && !home.endsWith(QLatin1Char('|'))))
            return true;
        ShowMessage(message("9063", "The home page address can not contain ||"), 1, 0);
        return false;
    }
    case PageKeyboard:
        return !f.PageShown[page] || CheckKeySlot(f);
    case PageProxy:
        return !f.PageShown[page] || CheckProxySettings(f);
    default:
        return true;
    }
}

void ApplyAllOptions(frmReferences& f)
{
    for (int16_t page = 0; page <= 6; ++page)
        if (!CheckOptionsPage(f, page))
            return;
    bool stored = true;
    for (int16_t page = 0; page <= 6; ++page)
        stored = SaveOptionsPage(f, page) && stored;
    // A value the store refused keeps the window open with the user's values.
    tellRefusedSettings(f);
    if (stored)
        f.hide();
}

void ApplyCurrentPage(frmReferences& f)
{
    f.SetApplyEnabled(false);
    const int16_t page = f.CurrentPage;
    if (!CheckOptionsPage(f, page))
        return;
    switch (page) {
    case PageGeneral:
    case PageStartPages:
    case PageQuickLaunch:
    case PageContent:
        SaveOptionsPage(f, page);
        break;
    case PageKeyboard:
        SaveOptionsPage(f, page);
        ShowKeySlot(f);
        break;
    case PageProxy:
        if (SaveProxySettings(f))
            ApplyProxyToIE(true);
        break;
    case PageCleanUp:
        RunCleanUpNow(f);
        break;
    default:
        break;
    }
    tellRefusedSettings(f);
}

void CloseOptions(frmReferences& f)
{
    f.hide();
}

namespace {

QString withoutTrailingBackslash(QString path)
{
    if (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    return path;
}

} // namespace

void SelectStartGroup(frmReferences& f)
{
    const QString path = withoutTrailingBackslash(
        BrowseForFolder(f.window(), GetLangString(QStringLiteral("DIAGLOG"), QStringLiteral("7101"), QStringLiteral("Select Group ...")),
                        GetSpecialFolder(1)));
    if (!path.isEmpty())
        f.StartPages_TextBox[1].setText(path);
}

void BrowseQuickLaunch(frmReferences& f, int16_t index)
{
    if (index == 0) {
        const QString path = withoutTrailingBackslash(
            BrowseForFolder(f.window(), GetLangString(QStringLiteral("DIAGLOG"), QStringLiteral("7100"), QStringLiteral("Select Folder ...")),
                            f.QuickLaunch_TextBox[0].text()));
        if (!path.isEmpty())
            f.QuickLaunch_TextBox[0].setText(path);
    } else if (index == 1) {
        const QString program = platform::filedialogs::pickExecutable(
            f.window(), GetLangString(QStringLiteral("DIAGLOG"), QStringLiteral("7006"), QStringLiteral("Select Program")),
            GetSpecialFolder(3));
        if (!vb::trim(program).isEmpty())
            f.QuickLaunch_TextBox[1].setText(program);
    }
}
