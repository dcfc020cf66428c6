#include "menus/menubar.h"

#include "core/globals.h"
#include "core/language.h"
#include "menus/clspopupmenu.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"
#include "platform/win/twips.h"
#include "skinlib/art/artpalette.h"

#include <QCoreApplication>
#include <QScreen>
#include <QWidget>

using platform::forms::Control;
using platform::forms::Form;
using platform::forms::Label;

namespace {

Control* findControl(Form& form, const QString& name, int index)
{
    for (Control* c : form.controls())
        if (c->name() == name && c->index() == index)
            return c;
    return nullptr;
}

Label* caption(Form& form, int index)
{
    return dynamic_cast<Label*>(findControl(form, QStringLiteral("cmdMenu"), index));
}

int twipsX()
{
    return TwipsPerPixelXValue > 0 ? TwipsPerPixelXValue : platform::forms::twipsPerPixelX();
}

int twipsY()
{
    return TwipsPerPixelYValue > 0 ? TwipsPerPixelYValue : platform::forms::twipsPerPixelY();
}

} // namespace

void SetMenuBarCaptions(Form& form, bool showMnemonics)
{
    static const struct {
        const char* key;
        const char* withMnemonic;
        const char* plain;
        const char* blanks;
    } captions[] = {
        {"01", "&File", "File", "   "}, {"02", "&Edit", "Edit", "   "},   {"03", "&View", "View", "   "},
        {"04", "&Tools", "Tools", "   "}, {"05", "&Window", "Window", " "},
    };
    for (int i = 0; i < 5; ++i) {
        Label* label = caption(form, i);
        if (!label)
            continue;
        const auto& c = captions[i];
        QString text = GetLangString(QStringLiteral("MENUNAME"), QLatin1String(c.key),
                                     QLatin1String(showMnemonics ? c.withMnemonic : c.plain));
        if (!showMnemonics)
            text.remove(QLatin1Char('&'));
        label->setUseMnemonic(true);
        label->setCaption(text + QLatin1String(c.blanks));
    }
}

void PressMenuBarCaption(Form& form, int index, const MenuBarCaptionColors& colours, int16_t& buttonReleased)
{
    buttonReleased = 0;
    if (Label* label = caption(form, index))
        label->setForeColor(skinart::colourFromSkinString(colours.pressed));
}

bool HoverMenuBarCaption(Form& form, int index, const MenuBarCaptionColors& colours, int16_t& hoverElementId,
                         const std::function<void(int16_t)>& setHoverElement)
{
    const auto code = static_cast<int16_t>(kMenuBarHoverBase + index);
    if (hoverElementId == code)
        return false;
    if (setHoverElement)
        setHoverElement(hoverElementId);
    hoverElementId = code;
    if (Label* label = caption(form, index))
        label->setForeColor(skinart::colourFromSkinString(colours.hover));
    QCoreApplication::processEvents();
    return true;
}

int32_t ShowMenuBelowCaption(clsPopupMenu& menu, const Control& caption)
{
    QWidget* w = caption.widget();
    QWidget* owner = menu.hwndOwner() ? menu.hwndOwner() : w->window();
    const QPoint at = w->mapTo(owner, QPoint(0, 0));
    const int tx = twipsX();
    const int ty = twipsY();
    const int32_t left = at.x() * tx;
    const int32_t top = at.y() * ty;
    const int32_t height = w->height() * ty;
    const QScreen* screen = owner->screen();
    const int32_t screenWidth = (screen ? screen->geometry().width() : 800) * tx;
    return menu.ShowPopupMenu(left, top + height, left - screenWidth, top, left + screenWidth, top + height, true);
}

void SetButtonTooltips(Form& form, int16_t& timerStage)
{
    timerStage = 9;
    static const struct {
        const char* control;
        int index;
        const char* section;
        const char* key;
        const char* english;
    } tips[] = {
        {"cmdAppOpt", 0, "BUTTON", "4001", "Open Help Menu"},
        {"cmdAppOpt", 1, "BUTTON", "4002", "Open My Folder "},
        {"cmdAppOpt", 2, "BUTTON", "4003", "Open Mail"},
        {"cmdAppOpt", 3, "BUTTON", "4004", "Open Start Page"},
        {"cmdAppOpt", 4, "BUTTON", "4005", "Open Search"},
        {"cmdAppOpt", 5, "BUTTON", "4050", "Close Tab ..."},
        {"cmdAppOpt", 6, "BUTTON", "4051", "Go To Tab ..."},
        {"cmdAppOpt", 7, "BUTTON", "4052", "Next Tab"},
        {"cmdAppOpt", 8, "BUTTON", "4054", "Previous Tab"},
        {"cmdCloseTab", -1, "BUTTON", "4053", "Close current Tab"},
        {"cmdFormControl", 0, "TOOLBAR-FORMCONTROL", "3101", "Move"},
        {"cmdFormControl", 1, "TOOLBAR-FORMCONTROL", "3102", "Minimize"},
        {"cmdFormControl", 2, "TOOLBAR-FORMCONTROL", "3104", "Restore Down"},
        {"cmdFormControl", 3, "TOOLBAR-FORMCONTROL", "3105", "Close"},
        {"cmdShowHide", 1, "OTHERS-TOOLTIPTEXT", "5002", "Show Top Toolbar"},
        {"cmdShowHide", 2, "OTHERS-TOOLTIPTEXT", "5003", "Show Bottom Toolbar"},
        {"cmdWBControl", 0, "MENUNAME", "06", "Favorites"},
        {"cmdWBControl", 1, "MENUNAME", "07", "History"},
        {"cmdWBControl", 2, "TOOLBAR-WEBNAVIGATION", "3001", "Back"},
        {"cmdWBControl", 3, "TOOLBAR-WEBNAVIGATION", "3002", "Forward "},
        {"cmdWBControl", 4, "TOOLBAR-WEBNAVIGATION", "3003", "Stop"},
        {"cmdWBControl", 5, "TOOLBAR-WEBNAVIGATION", "3004", "Refresh"},
        {"cmdWBControl", 6, "TOOLBAR-WEBNAVIGATION", "3006", "Go To"},
        {"cmdWBControl", 9, "TOOLBAR-WEBNAVIGATION", "3005", "Up"},
        {"ImageBox", 4, "TOOLBAR-MEDIA", "3212", "Volume Control"},
        {"ImageBox", 5, "TOOLBAR-MEDIA", "3213", "Duration Control"},
        {"ImageBox", 7, "OTHERS-TOOLTIPTEXT", "5008",
         "Use LEFT mouse button for FORECOLOR - RIGHT mouse button for BACKCOLOR"},
        {"APPLabel", 0, "OTHERS-TOOLTIPTEXT", "5014", "Current Selected Item"},
        {"APPLabel", 1, "OTHERS-TOOLTIPTEXT", "5015", "Total Items in List"},
        {"APPLabel", 2, "OTHERS-TOOLTIPTEXT", "5010", "Time Delay in Seconds"},
        {"APPLabel", 3, "OTHERS-TOOLTIPTEXT", "5011", "Number of Open Tabs"},
    };
    for (const auto& t : tips) {
        Control* c = findControl(form, QLatin1String(t.control), t.index);
        if (!c)
            continue;
        c->setToolTipText(GetLangCaption(QLatin1String(t.section), QLatin1String(t.key), QLatin1String(t.english)));
    }
}
