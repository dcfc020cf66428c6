#include "core/waitwindow.h"

#include "core/menuiconstrip.h"
#include "core/resourcepictures.h"
#include "core/scaling.h"
#include "core/skinnedframe.h"

#include <QCoreApplication>

#include <memory>

using namespace platform::forms;

namespace {

constexpr double kWindowWidth = 5400;
constexpr double kWindowHeight = 1200;

std::unique_ptr<frmMessage1>& waitWindow()
{
    static std::unique_ptr<frmMessage1> window;
    return window;
}

// A window still open when the application object goes must go with it:
// destroyed later, at the end of the process, it would crash.
void dropWaitWindow()
{
    waitWindow().reset();
}

} // namespace

frmMessage1::frmMessage1()
    : Label1(*this, QStringLiteral("Label1")), DisplayImage(*this, QStringLiteral("DisplayImage")),
      MenuImgList(MenuIconStrip())
{
    setBorderStyle(BorderStyle::None);
    // The busy pointer stays on the window the user works in.
    setShowWithoutActivating(true);
    setStartUpPosition(StartUpPosition::CenterScreen);
    setWidth(kWindowWidth);
    setHeight(kWindowHeight);
    setPicture(SkinnedPanel(toPixels(kWindowWidth, kWindowHeight), PanelStyle::Light));

    DisplayImage.create(0)->move(300, 270, 480, 480);
    DisplayImage.create(1)->move(525, 1005, 4350, 45);
    Label1.move(1020, 300, 4080, 660);
    Label1.setWordWrap(true);
    Label1.setForeColor(PanelTextColor(PanelStyle::Light));

    events().load = [this] { Form_Load(); };
}

void frmMessage1::Form_Load()
{
    DisplayImage[0].setPicture(ResourcePicture(101, QStringLiteral("MESSAGE")));
    DisplayImage[1].setPicture(ProgramBitmap(120));
}

frmMessage1* WaitWindow()
{
    return waitWindow().get();
}

void ShowWaitWindow(bool show, const QString& text)
{
    auto& window = waitWindow();
    if (show) {
        if (!window) {
            window = std::make_unique<frmMessage1>();
            qRemovePostRoutine(dropWaitWindow);
            qAddPostRoutine(dropWaitWindow);
        }
        window->setMessage(text);
        window->show();
        SetMousePointer(11);
        return;
    }
    SetMousePointer(0);
    if (window) {
        window->unload();
        window.reset();
    }
}
