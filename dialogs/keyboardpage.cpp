#include "dialogs/keyboardpage.h"

#include "core/language.h"
#include "core/messagebox.h"
#include "core/settingsstore.h"
#include "core/shelldialogs.h"
#include "core/shellnames.h"
#include "dialogs/frmreferences.h"
#include "platform/base/vbrt.h"
#include "platform/win/filedialogs.h"

namespace {

// The built-in actions in the order of their numbers.
constexpr const char* kActions[] = {
    "Activate First Tab",           "Activate Last Tab",
    "Activate Previous Tab",        "Activate Next Tab",
    "Open a New Tab",               "Close current Tab",
    "Close All",                    "Close All except first Tab",
    "Close All except current Tab", "Quick Shut Down",
    "Hide/Show Me",                 "Open Start Page",
    "Open Search",                  "Open My Folder",
    "Hide/Show all Menu and Toolbars", "Change Media Control Tool Bar",
    "Restore Closed Tabs",          "Refresh",
};

QString lang(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("FORM-OPTIONS"), QLatin1String(key), QLatin1String(english));
}

int selectedOption(const frmReferences& f)
{
    for (int i = 0; i <= 3; ++i)
        if (f.KeyBoard_Option[i].value())
            return i;
    return -1;
}

} // namespace

std::optional<KeySlot> ReadKeySlot(const QString& record)
{
    const int p1 = vb::inStr(2, record, QStringLiteral("|"));
    if (p1 == 0)
        return std::nullopt;
    bool ok = false;
    const int type = vb::mid(record, 2, p1 - 2).toInt(&ok);
    if (!ok || type < 0 || type > 3)
        return std::nullopt;
    KeySlot slot;
    slot.type = type;
    const int p2 = vb::inStr(p1 + 1, record, QStringLiteral("|"));
    slot.data = p2 == 0 ? vb::mid(record, p1 + 1) : vb::mid(record, p1 + 1, p2 - p1 - 1);
    return slot;
}

void CaptionKeyboardPage(frmReferences& f)
{
    f.SLabel[9].setCaption(lang("6204", "Keyboard Shortcuts"));
    f.Label[2].setCaption(lang("620401", "Key"));
    f.KeyBoard_Option[0].setCaption(lang("620402", "Defined"));
    f.KeyBoard_Option[1].setCaption(lang("620403", "Open Web Site"));
    f.KeyBoard_Option[2].setCaption(lang("620404", "Launch Application"));
    f.KeyBoard_Option[3].setCaption(lang("620405", "Do Nothing"));
}

void FillKeyActions(frmReferences& f)
{
    platform::forms::ComboBox& actions = f.KeyBoard_ComboBox[1];
    actions.clear();
    for (int n = 0; n < static_cast<int>(std::size(kActions)); ++n)
        actions.addItem(GetLangString(QStringLiteral("KEYACTION"), QString::number(8501 + n), QLatin1String(kActions[n])));
}

void WireKeyboardPage(frmReferences& f)
{
    f.KeyBoard_ComboBox.events().click = [&f](int i) { KeyBoard_ComboBox_Click(f, i); };
    f.KeyBoard_Option.events().click = [&f](int i) { KeyBoard_Option_Click(f, i); };
    f.KeyBoard_TextBox.events().change = [&f](int i) { KeyBoard_TextBox_Change(f, i); };
}

void ShowKeySlot(frmReferences& f)
{
    const int key = f.KeyBoard_ComboBox[0].listIndex();
    if (key < 0 || key > 11)
        return;
    // A text that is no record shows as a key that does nothing.
    const KeySlot slot = ReadKeySlot(f.options().KeyMap[static_cast<size_t>(key)]).value_or(KeySlot{});
    switch (slot.type) {
    case 0: {
        const auto n = vb::toNumber(slot.data);
        const auto action = n ? vb::toInt32(*n) : std::nullopt;
        f.KeyBoard_ComboBox[1].setListIndex(action ? *action : -1);
        break;
    }
    case 1: f.KeyBoard_TextBox[0].setText(slot.data); break;
    case 2: f.KeyBoard_TextBox[1].setText(slot.data); break;
    default:
        f.KeyBoard_ComboBox[1].setListIndex(-1);
        f.KeyBoard_TextBox[0].setText(QString());
        f.KeyBoard_TextBox[1].setText(QString());
        break;
    }
    f.KeyBoard_Option[slot.type].setValue(true);
}

void BrowseKeyProgram(frmReferences& f)
{
    const QString program = platform::filedialogs::pickExecutable(
        f.window(), GetLangString(QStringLiteral("DIAGLOG"), QStringLiteral("7006"), QStringLiteral("Select Program")),
        GetSpecialFolder(3));
    f.KeyBoard_TextBox[1].setText(program);
}

bool SaveKeySlot(frmReferences& f)
{
    const int key = f.KeyBoard_ComboBox[0].listIndex();
    if (key < 0 || key > 11)
        return true;
    QString& slot = f.options().KeyMap[static_cast<size_t>(key)];
    QString record;
    switch (selectedOption(f)) {
    case 0:
        if (f.KeyBoard_ComboBox[1].text().isEmpty())
            return true;
        record = QStringLiteral("|0|") + QString::number(f.KeyBoard_ComboBox[1].listIndex()) + QLatin1Char('|');
        break;
    case 1:
    case 2: {
        const QString data = f.KeyBoard_TextBox[selectedOption(f) - 1].text();
        if (data.isEmpty())
            return true;
        record = QLatin1Char('|') + QString::number(selectedOption(f)) + QLatin1Char('|') + data + QLatin1Char('|');
        break;
    }
    case 3: record = QStringLiteral("|3|"); break;
    default: return true; // no kind chosen: the key keeps its record
    }
    // The key's record as this window showed it is left alone; the table
    // takes a new one only once the store holds it.
    if (record == slot)
        return true;
    if (!f.Settings.write({kKeyBoardSection, QStringLiteral("F") + QString::number(key + 1), record}))
        return false;
    slot = record;
    return true;
}

bool CheckKeySlot(frmReferences& f)
{
    const int option = selectedOption(f);
    if (f.KeyBoard_ComboBox[0].listIndex() < 0 || (option != 1 && option != 2)
        || !f.KeyBoard_TextBox[option - 1].text().contains(QLatin1Char('|')))
        return true;
    ShowMessage(GetLangString(QStringLiteral("MESSAGE"), QStringLiteral("9062"), QStringLiteral("The character | can not be used here:"))
                    + QLatin1Char('\n') + f.KeyBoard_Option[option].caption(),
                1, 0);
    return false;
}

void KeyBoard_ComboBox_Click(frmReferences& f, int index)
{
    if (index == 0) {
        if (f.KeyBoard_ComboBox[0].text().isEmpty())
            return;
        f.SetApplyEnabled(true);
        ShowKeySlot(f);
    } else {
        f.SetApplyEnabled(true);
        f.KeyBoard_Option[0].setValue(true);
    }
}

void KeyBoard_Option_Click(frmReferences& f, int)
{
    if (!f.KeyBoard_ComboBox[0].text().isEmpty())
        f.SetApplyEnabled(true);
}

void KeyBoard_TextBox_Change(frmReferences& f, int index)
{
    f.KeyBoard_Option[index + 1].setValue(true);
}
