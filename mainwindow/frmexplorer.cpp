#include "mainwindow/frmexplorer.h"

#include "core/globals.h"
#include "core/skinbinding.h"
#include "platform/paths.h"
#include "skinlib/art/artpalette.h"

#include <QTimer>
#include <QWidget>

namespace {

frmExplorer* theWindow = nullptr;

} // namespace

frmExplorer::frmExplorer()
{
    Initialize(TwipsScale);
    theWindow = this;
    setCaption(QStringLiteral("Z5"));
    setBorderStyle(platform::forms::BorderStyle::None);
    setWidth(MinFormWidth);
    setHeight(MinFormHeight);
    events().load = [this] { Form_Load(); };
}

frmExplorer::~frmExplorer()
{
    if (theWindow == this)
        theWindow = nullptr;
}

frmExplorer* MainWindow()
{
    return theWindow;
}

void frmExplorer::Form_Load()
{
    // The chrome is laid out from the skin by the layout code; until then
    // the window shows the skin's pane colour.
    BindSkinLibrary();
    const QString paneColor = GetSkinString(104);
    if (!paneColor.isEmpty())
        setBackColor(skinart::colourFromSkinString(paneColor));
    BusyFlags[0] = 0;
    BlankPagePath = platform::paths::programFolder() + QStringLiteral("\\Common\\Z5_BlankPage.HTM");
    TimerStage = 0;
    Tabs = CreateTabsModule(*this);
    if (Tabs)
        QTimer::singleShot(0, window(), [this] {
            if (Tabs)
                Tabs->FirstTick();
        });
}

void frmExplorer::LockControl(bool lock)
{
    if (QWidget* w = window()) {
        w->setUpdatesEnabled(!lock);
        if (!lock)
            w->update();
    }
}
