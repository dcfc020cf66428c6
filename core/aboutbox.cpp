#include "core/aboutbox.h"

#include "core/globals.h"
#include "core/language.h"
#include "core/resourcepictures.h"
#include "core/scaling.h"
#include "core/skinnedframe.h"
#include "core/startup.h"
#include "platform/win/prompt.h"

using namespace platform::forms;

namespace {

constexpr double kWindowWidth = 5700;
constexpr double kWindowHeight = 3000;

// The revision of this release: the part of its code after the point.
QString revision()
{
    return kAppReleasedCode.section(QLatin1Char('.'), 1);
}

} // namespace

frmSplash::frmSplash()
    : Label(*this, QStringLiteral("Label")),
      DisplayImage(*this, QStringLiteral("DisplayImage")),
      cmdOK(*this, QStringLiteral("cmdOK"))
{
    setBorderStyle(BorderStyle::None);
    setStartUpPosition(StartUpPosition::CenterOwner);
    setWidth(kWindowWidth);
    setHeight(kWindowHeight);

    const QColor text = PanelTextColor(PanelStyle::Dark);
    platform::forms::Label* name = Label.create(0);
    name->move(600, 660, 4500, 600);
    name->setCaption(QStringLiteral("Z5 Browser"));
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 2.2);
    name->setFont(big);
    DisplayImage.create(0)->move(675, 1350, 4350, 45);
    for (int i = 1; i <= 2; ++i) {
        platform::forms::Label* line = Label.create(i);
        line->move(600, 1290 + 360 * i, 4500, 330);
    }
    for (int i = 0; i <= 2; ++i)
        Label[i].setForeColor(text);

    cmdOK.move(kWindowWidth - 420, 120, 300, 300);
    cmdOK.setVisible(false);

    cmdOK.events().mouseMove = [this](int, int, double, double) {
        cmdOK.setPicture(ProgramBitmap(125));
        Hovering = true;
    };
    cmdOK.events().mouseDown = [this](int, int, double, double) { cmdOK.setPicture(ProgramBitmap(126)); };
    cmdOK.events().click = [this] { unload(); };
    events().mouseMove = [this](int, int, double, double) {
        if (Hovering) {
            cmdOK.setPicture(ProgramBitmap(124));
            Hovering = false;
        }
    };
    events().click = [this] { unload(); };
    events().load = [this] { Form_Load(); };

    Form_Initialize();
}

void frmSplash::Form_Initialize()
{
    if (TwipsScale != 1.0f)
        PlaceSplashControls(*this);
    setPicture(SkinnedPanel(toPixels(width(), height()), PanelStyle::Dark));
}

void frmSplash::Form_Load()
{
    Label[1].setCaption(GetLangString(QStringLiteral("FORM-SPLASH"), QStringLiteral("6301"), QStringLiteral("Version"))
                        + QStringLiteral(" 2.0"));
    Label[2].setCaption(GetLangString(QStringLiteral("FORM-SPLASH"), QStringLiteral("6302"), QStringLiteral("Build"))
                        + QLatin1Char(' ') + revision());
    DisplayImage[0].setPicture(ProgramBitmap(120));
    cmdOK.setPicture(ProgramBitmap(124));
}

void ShowAboutBox()
{
    platform::prompt::Prompt prompt;
    prompt.kind = QStringLiteral("about");
    prompt.title = QStringLiteral("Z5 Browser");
    platform::prompt::ask(prompt, [] {
        frmSplash box;
        box.cmdOK.setVisible(true);
        box.showModal();
        box.unload();
        return platform::prompt::Answer{true, 0, {}};
    });
}
