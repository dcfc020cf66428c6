#include "downloads/frmdownload.h"

#include "core/globals.h"
#include "core/language.h"
#include "core/messagebox.h"
#include "core/resourcepictures.h"
#include "core/scaling.h"
#include "core/shelldialogs.h"
#include "core/skinnedframe.h"

#include <QDir>

using namespace platform::forms;

namespace {

// The window's inner area as designed, in twips at 15 twips per pixel.
constexpr double kWidth = 7035;
constexpr double kHeight = 6135;
constexpr double kMargin = 240;
constexpr double kPanelWidth = kWidth - 2 * kMargin;
constexpr double kPanelHeight = 720;
constexpr double kOptionHeight = 285;
constexpr double kBottomRow = 5640;

QString lang(const char* section, const char* key, const char* english)
{
    return GetLangString(QLatin1String(section), QLatin1String(key), QLatin1String(english));
}

} // namespace

std::optional<QString> DownloadFolderText(const QString& typed)
{
    if (typed.isEmpty())
        return typed;
    if (typed.contains(QLatin1Char('\r')) || typed.contains(QLatin1Char('\n')))
        return std::nullopt;
    QString folder = typed;
    if (folder == QLatin1String("~") || folder.startsWith(QLatin1String("~/")))
        folder = QDir::homePath() + folder.mid(1);
    if (!folder.startsWith(QLatin1Char('/')))
        return std::nullopt;
    return folder;
}

frmDownLoad::frmDownLoad()
    : Label(*this, QStringLiteral("Label")), BackGround2(*this, QStringLiteral("BackGround2")),
      Option0(*this, QStringLiteral("Option0")), Option1(*this, QStringLiteral("Option1")),
      Option2(*this, QStringLiteral("Option2")), Combo1(*this, QStringLiteral("Combo1")),
      Check1(*this, QStringLiteral("Check1")), TxtSelectedDir(*this, QStringLiteral("TxtSelectedDir")),
      cmdButton1(*this, QStringLiteral("cmdButton1")), cmdCaption(*this, QStringLiteral("cmdCaption")),
      cmdButton2(*this, QStringLiteral("cmdButton2")), XPSepLine(*this, QStringLiteral("XPSepLine")),
      noCaptions_(*this, QStringLiteral("cmdButton2Caption")),
      buttons_(cmdButton1, cmdCaption, [this](int index) { ApplyDownloadOptions(static_cast<int16_t>(index)); }),
      browse_(cmdButton2, noCaptions_, [this](int) { BrowseDownloadDirectory(); }, 105)
{
    setCaption(QStringLiteral("Z5 Browser"));
    setBorderStyle(BorderStyle::FixedDialog);
    setStartUpPosition(StartUpPosition::CenterOwner);
    setWidth(kWidth);
    setHeight(kHeight);
    setPicture(SkinnedPanel(toPixels(kWidth, kHeight), PanelStyle::Light));
    const QColor text = PanelTextColor(PanelStyle::Light);
    const QColor panel = QColor(0xEE, 0xF2, 0xFB);

    // In the order the keyboard goes through them.
    platform::forms::Label* title = Label.create(0);
    title->move(kMargin, 120, kPanelWidth, 300);
    title->setForeColor(text);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    for (int i : {0, 1}) {
        Image* rule = XPSepLine.create(i);
        rule->setStretch(true);
        rule->move(0, i == 0 ? 480 : 5400, kWidth, 45);
    }
    platform::forms::Label* folderLabel = Label.create(1);
    folderLabel->move(kMargin, 600, kPanelWidth, 240);
    folderLabel->setForeColor(text);
    TxtSelectedDir.move(kMargin, 840, 5950, 325);
    PictureBox* browse = cmdButton2.create(0);
    browse->move(kWidth - kMargin - 480, 840, 480, 315);

    const double panelTops[3] = {1320, 2160, 3000};
    for (int p = 0; p < 3; ++p) {
        PictureBox* back = BackGround2.create(p);
        back->move(kMargin, panelTops[p], kPanelWidth, kPanelHeight);
        back->setBackColor(panel);
        back->setTabStop(false);
    }
    ControlArray<OptionButton>* pairs[3] = {&Option0, &Option1, &Option2};
    for (int p = 0; p < 3; ++p) {
        for (int i = 0; i <= 1; ++i) {
            OptionButton* option = pairs[p]->create(i, &BackGround2[p]);
            option->move(120, 60 + i * (kOptionHeight + 60), p == 2 ? 1500 : kPanelWidth - 240, kOptionHeight);
            option->setForeColor(text);
        }
    }
    // The start time: shown, but a handed list always starts at once.
    const double comboWidths[5] = {660, 660, 720, 780, 660};
    double comboLeft = 1740;
    for (int i = 0; i < 5; ++i) {
        ComboBox* combo = Combo1.create(i, &BackGround2[2]);
        combo->setStyle(ComboStyle::DropDownList);
        combo->move(comboLeft, 60 + kOptionHeight + 60 - 30, comboWidths[i], 315);
        comboLeft += comboWidths[i] + 60;
    }
    platform::forms::Label* checks = Label.create(2);
    checks->move(kMargin, 4080, kPanelWidth, 1200);
    checks->setBackColor(panel);
    checks->setCaption(QString());
    for (int i = 1; i <= 3; ++i) {
        CheckBox* box = Check1.create(i);
        box->move(kMargin + 120, 4200 + (i - 1) * 360, kPanelWidth - 240, kOptionHeight);
        box->setForeColor(text);
    }
    platform::forms::Label* bottom = Label.create(3);
    bottom->move(0, 5445, kWidth, kHeight - 5445);
    bottom->setTransparent(true);
    bottom->setCaption(QString());
    CheckBox* offline = Check1.create(0);
    offline->move(kMargin, kBottomRow, 2400, kOptionHeight);
    offline->setForeColor(text);
    for (int i = 0; i <= 1; ++i) {
        PictureBox* button = cmdButton1.create(i);
        button->move(0, kBottomRow - 30, 1500, 345);
        platform::forms::Label* caption = cmdCaption.create(i, button);
        caption->setAutoSize(true);
        caption->setForeColor(text);
    }

    // The "Offline" rule: any other choice clears it.
    Option0.events().click = [this](int) { clearOffline(); };
    Option1.events().click = [this](int) { clearOffline(); };
    Check1.events().click = [this](int index) {
        if (index != 0)
            clearOffline();
    };
    TxtSelectedDir.events().gotFocus = [this] {
        TxtSelectedDir.setSelStart(0);
        TxtSelectedDir.setSelLength(static_cast<int>(TxtSelectedDir.text().size()));
    };
    events().load = [this] { Form_Load(); };
    // Escape and the window's close button answer as Cancel.
    events().keyDown = [this](int keyCode, int) {
        if (keyCode == 27)
            ApplyDownloadOptions(1);
    };
    events().queryUnload = [this](bool&, int mode) {
        if (mode == UnloadFromControlMenu && !answered_)
            ApplyDownloadOptions(1);
    };
}

void frmDownLoad::Form_Load()
{
    answered_ = false;
    // 1. Captions.
    Label[0].setCaption(lang("FORM-DOWNLOAD", "6101", "Download Manager"));
    setCaption(Label[0].caption());
    Label[1].setCaption(lang("FORM-DOWNLOAD", "6102", "Download To Directory"));
    Option0[0].setCaption(lang("FORM-DOWNLOAD", "6103", "Download and Play"));
    Option0[1].setCaption(lang("FORM-DOWNLOAD", "6104", "Download only"));
    Option1[0].setCaption(lang("FORM-DOWNLOAD", "6105", "On Error - Continue to the next item"));
    Option1[1].setCaption(lang("FORM-DOWNLOAD", "6106", "On Error - Stop"));
    Option2[0].setCaption(lang("FORM-DOWNLOAD", "6107", "Start Now"));
    Option2[1].setCaption(lang("FORM-DOWNLOAD", "6108", "Start At"));
    Check1[0].setCaption(lang("FORM-DOWNLOAD", "6113", "Offline"));
    Check1[1].setCaption(lang("FORM-DOWNLOAD", "6110", "Remove item from the list if it was downloaded successfully"));
    Check1[2].setCaption(lang("FORM-DOWNLOAD", "6111", "Add  Path to File Name to prevent duplication"));
    Check1[3].setCaption(lang("FORM-DOWNLOAD", "6112", "Overwrite if file existed"));
    cmdCaption[0].setCaption(lang("BUTTON", "4101", "OK"));
    cmdCaption[1].setCaption(lang("BUTTON", "4102", "Cancel"));
    // The start time is not kept: its controls show what a list does.
    const QStringList first = {QStringLiteral("01"), QStringLiteral("00"), QStringLiteral("AM"), QStringLiteral("Jan"),
                               QStringLiteral("01")};
    const auto fill = [this](int index, const QStringList& items) {
        for (const QString& item : items)
            Combo1[index].addItem(item);
    };
    QStringList hours, minutes, days;
    for (int n = 1; n <= 12; ++n)
        hours << QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    for (int n = 0; n <= 59; ++n)
        minutes << QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    for (int n = 1; n <= 31; ++n)
        days << QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    fill(0, hours);
    fill(1, minutes);
    fill(2, {QStringLiteral("AM"), QStringLiteral("PM")});
    fill(3, {QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
             QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
             QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")});
    fill(4, days);
    for (int i = 0; i < 5; ++i) {
        Combo1[i].setText(first[i]);
        Combo1[i].setEnabled(false);
    }
    Option2[0].setValue(true);
    Option2[0].setEnabled(false);
    Option2[1].setEnabled(false);
    // 2.-6. Pictures, their sizes and the buttons from the right edge.
    XPSepLine[0].setPicture(ProgramBitmap(120));
    XPSepLine[1].setPicture(ProgramBitmap(120));
    cmdButton1[0].setPicture(ProgramBitmap(101));
    cmdButton1[1].setPicture(ProgramBitmap(101));
    cmdButton2[0].setPicture(ProgramBitmap(105));
    if (TwipsScale != 1.0f) {
        ScaleWindowSize(cmdButton1[0]);
        ScaleWindowSize(cmdButton1[1]);
        ScaleWindowSize(cmdButton2[0]);
    }
    for (int i = 0; i <= 1; ++i)
        cmdCaption[i].setLeft((cmdButton1[i].width() - cmdCaption[i].width()) / 2);
    cmdCaption[0].setTop((cmdButton1[0].height() - cmdCaption[0].height()) / 2 - 15);
    cmdCaption[1].setTop(cmdCaption[0].top());
    const double W = scaleWidth();
    cmdButton1[1].setLeft(W - 240 - cmdButton1[1].width());
    cmdButton1[0].setLeft(cmdButton1[1].left() - 120 - cmdButton1[0].width());
    cmdButton2[0].setLeft(W - 240 - cmdButton2[0].width());
    TxtSelectedDir.setWidth(std::max(0.0, cmdButton2[0].left() - 120 - TxtSelectedDir.left()));

    // 7.-12. The list's values.
    const int16_t kind = DownloadListKind;
    if (kind < 1 || kind > 6)
        return;
    SavedDownloadOptions = ListDownloadOptions[kind];
    TxtSelectedDir.setText(ListTargetDirectory[kind]);
    const auto digit = [kind](int16_t position) { return GetOptionDigit(ListDownloadOptions[kind], position); };
    if (const auto d = digit(2)) {
        Option0[0].setValue(*d == 0);
        Option0[1].setValue(*d != 0);
    }
    // The download-file list only downloads.
    if (kind == 6) {
        Option0[0].setValue(false);
        Option0[1].setValue(true);
        Option0[0].setEnabled(false);
    } else {
        Option0[0].setEnabled(true);
    }
    if (const auto d = digit(3)) {
        Option1[0].setValue(*d == 0);
        Option1[1].setValue(*d != 0);
    }
    const int16_t positions[4] = {1, 4, 5, 6};
    for (int i = 0; i < 4; ++i)
        if (const auto d = digit(positions[i]))
            Check1[i].setValue(*d != 0 ? 1 : 0);
}

void frmDownLoad::clearOffline()
{
    if (Check1.exists(0))
        Check1[0].setValue(0);
}

void frmDownLoad::setDigit(int16_t position, int value)
{
    QString options = ListDownloadOptions[DownloadListKind];
    if (SetOptionDigit(options, position, static_cast<int16_t>(value)))
        ListDownloadOptions[DownloadListKind] = options;
}

void frmDownLoad::ApplyDownloadOptions(int16_t index)
{
    const int16_t kind = DownloadListKind;
    if (kind < 1 || kind > 6)
        return;
    if (index == 1) {
        ListDownloadOptions[kind] = SavedDownloadOptions;
        DialogCancelled = 1;
        answered_ = true;
        hide();
        return;
    }
    setDigit(1, Check1[0].value() == 1 ? 1 : 0);
    if (Option0[0].value())
        setDigit(2, 0);
    else if (Option0[1].value())
        setDigit(2, 1);
    if (Option1[0].value())
        setDigit(3, 0);
    else if (Option1[1].value())
        setDigit(3, 1);
    for (int i = 1; i <= 3; ++i)
        setDigit(static_cast<int16_t>(i + 3), Check1[i].value() == 1 ? 1 : 0);
    // Only an absolute folder is kept; none at all only for Offline.
    const std::optional<QString> folder = DownloadFolderText(TxtSelectedDir.text());
    if (!folder || (folder->isEmpty() && Check1[0].value() != 1)) {
        // The question leaves its answer behind; the dialog's stays as it was.
        const int16_t before = DialogCancelled;
        ShowMessage(lang("MESSAGE", "9016", "Please select a directory to save files"), 1, 0);
        DialogCancelled = before;
        return;
    }
    ListTargetDirectory[kind] = *folder;
    DialogCancelled = 0;
    answered_ = true;
    hide();
}

void frmDownLoad::BrowseDownloadDirectory()
{
    if (DownloadListKind < 1 || DownloadListKind > 6)
        return;
    QString chosen = BrowseForFolder(window(), lang("DIAGLOG", "7100", "Select Folder ..."), TxtSelectedDir.text());
    if (chosen.isEmpty())
        return;
    if (chosen.size() > 1 && chosen.endsWith(QLatin1Char('/')))
        chosen.chop(1);
    ListTargetDirectory[DownloadListKind] = chosen;
    TxtSelectedDir.setText(chosen);
    clearOffline();
}
