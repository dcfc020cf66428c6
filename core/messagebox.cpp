#include "core/messagebox.h"

#include "core/globals.h"
#include "core/language.h"
#include "core/resourcepictures.h"
#include "core/scaling.h"
#include "core/skinnedframe.h"
#include "platform/win/prompt.h"
#include "platform/base/vbrt.h"

using namespace platform::forms;

namespace {

// The window as designed, in twips at 15 twips per pixel.
constexpr double kWindowWidth = 6300;
constexpr double kWindowHeight = 2760;
constexpr double kButtonTop = 2010;
constexpr double kButtonWidth = 1500;
constexpr double kButtonHeight = 345;

QString buttonText(const char* key, const char* english)
{
    return GetLangString(QStringLiteral("BUTTON"), QLatin1String(key), QLatin1String(english));
}

QStringList buttonCaptions(int16_t buttons)
{
    switch (buttons) {
    case 1: return {buttonText("4101", "OK")};
    case 2: return {buttonText("4103", "Yes"), buttonText("4104", "No")};
    case 3: return {buttonText("4103", "Yes"), buttonText("4104", "No"), buttonText("4102", "Cancel")};
    default: return {};
    }
}

std::optional<int16_t> numeric(const QString& value)
{
    if (!vb::isNumeric(value))
        return std::nullopt;
    return vb::toInt16(vb::val(value));
}

} // namespace

frmMessage2::frmMessage2()
    : Label(*this, QStringLiteral("Label")),
      DisplayImage(*this, QStringLiteral("DisplayImage")),
      cmdButton1(*this, QStringLiteral("cmdButton1")),
      cmdCaption(*this, QStringLiteral("cmdCaption")),
      buttons(cmdButton1, cmdCaption, [this](int index) { CloseMessageBox(index); })
{
    setCaption(QStringLiteral("Z5 Browser"));
    setBorderStyle(BorderStyle::FixedDialog);
    setStartUpPosition(StartUpPosition::CenterOwner);
    setWidth(kWindowWidth);
    setHeight(kWindowHeight);
    setPicture(SkinnedPanel(toPixels(kWindowWidth, kWindowHeight), PanelStyle::Light));

    // The icon and the rules above and below the text.
    Image* icon = DisplayImage.create(0);
    icon->move(420, 570, 480, 480);
    Image* ruleTop = DisplayImage.create(1);
    ruleTop->move(975, 180, 4350, 45);
    Image* ruleBottom = DisplayImage.create(2);
    ruleBottom->move(975, 1800, 4350, 45);

    platform::forms::Label* text = Label.create(1);
    text->move(1140, 390, 4740, 1290);
    text->setWordWrap(true);
    text->setForeColor(PanelTextColor(PanelStyle::Light));

    for (int i = 0; i <= 2; ++i) {
        PictureBox* button = cmdButton1.create(i);
        button->move(0, kButtonTop, kButtonWidth, kButtonHeight);
        button->setVisible(false);
        // Each caption lies on its button.
        platform::forms::Label* caption = cmdCaption.create(i, button);
        caption->setAutoSize(true);
        caption->setForeColor(PanelTextColor(PanelStyle::Light));
    }

    DisplayImage.events().click = [this](int index) { DisplayImage_Click(index); };
    events().load = [this] { Form_Load(); };
    // Escape closes the box as its close button does.
    events().keyDown = [this](int keyCode, int) {
        if (keyCode == 27)
            unload(UnloadFromControlMenu);
    };
}

void frmMessage2::setNumOfButtons(const QString& value)
{
    if (const auto n = numeric(value))
        numOfButtons_ = *n;
}

void frmMessage2::setImageType(const QString& value)
{
    if (const auto n = numeric(value))
        imageType_ = *n;
}

void frmMessage2::setMessage(const QString& text)
{
    Label[1].setCaption(text);
}

void frmMessage2::Form_Load()
{
    cmdCaption[0].setCaption(buttonText("4103", "Yes"));
    cmdCaption[1].setCaption(buttonText("4104", "No"));
    cmdCaption[2].setCaption(buttonText("4102", "Cancel"));

    if (TwipsScale != 1.0f)
        for (int i = 0; i <= 2; ++i)
            ScaleWindowSize(cmdButton1[i]);

    const double c = scaleWidth() / 2;
    const double w = cmdButton1[0].width();
    switch (numOfButtons_) {
    case 1:
        cmdButton1[2].setLeft(c - w / 2);
        cmdCaption[2].setCaption(buttonText("4101", "OK"));
        cmdButton1[2].setVisible(true);
        break;
    case 2:
        cmdButton1[0].setLeft(c - 60 - w);
        cmdButton1[1].setLeft(c + 60);
        cmdButton1[0].setVisible(true);
        cmdButton1[1].setVisible(true);
        break;
    case 3:
        cmdButton1[0].setLeft(c - w / 2 - 120 - w);
        cmdButton1[1].setLeft(c - w / 2);
        cmdButton1[2].setLeft(c + w / 2 + 120);
        for (int i = 0; i <= 2; ++i)
            cmdButton1[i].setVisible(true);
        break;
    default:
        break;
    }

    cmdButton1[0].setPicture(ProgramBitmap(101));
    cmdButton1[1].setPicture(cmdButton1[0].picture());
    cmdButton1[2].setPicture(cmdButton1[0].picture());

    for (int i = 0; i <= 2; ++i)
        cmdCaption[i].setLeft((cmdButton1[i].width() - cmdCaption[i].width()) / 2);
    cmdCaption[0].setTop((cmdButton1[0].height() - cmdCaption[0].height()) / 2 - 15);
    cmdCaption[1].setTop(cmdCaption[0].top());
    cmdCaption[2].setTop(cmdCaption[0].top());

    result_ = 1;
    DialogCancelled = 1;

    if (imageType_ >= 0 && imageType_ <= 3)
        DisplayImage[0].setPicture(ResourcePicture(101 + imageType_, QStringLiteral("MESSAGE")));

    DisplayImage[1].setPicture(ProgramBitmap(120));
    DisplayImage[2].setPicture(DisplayImage[1].picture());
}

void frmMessage2::CloseMessageBox(int index)
{
    switch (index) {
    case 0: result_ = 3; break;
    case 1: result_ = 2; break;
    case 2: result_ = 1; break;
    default: return hide();
    }
    DialogCancelled = result_;
    hide();
}

void frmMessage2::DisplayImage_Click(int)
{
    unload(UnloadFromCode);
}

int16_t ShowMessage(const QString& text, int16_t buttons, int16_t imageType)
{
    platform::prompt::Prompt prompt;
    prompt.kind = QStringLiteral("message");
    prompt.title = QStringLiteral("Z5 Browser");
    prompt.text = text;
    prompt.choices = buttonCaptions(buttons);
    const platform::prompt::Answer answer = platform::prompt::ask(prompt, [&] {
        frmMessage2 box;
        box.setNumOfButtons(buttons);
        box.setImageType(imageType);
        box.setMessage(text);
        box.showModal();
        box.unload();
        return platform::prompt::Answer{true, box.result(), {}};
    });
    DialogCancelled = (answer.code == 2 || answer.code == 3) ? static_cast<int16_t>(answer.code) : int16_t(1);
    return DialogCancelled;
}
