#include "mainwindow/windowplacement.h"

#include "core/language.h"
#include "mainwindow/frmexplorer.h"
#include "mainwindow/skinvalues.h"
#include "platform/twips.h"
#include "platform/vbrt.h"
#include "platform/windowservices.h"

namespace win = platform::windows;
using platform::forms::toTwipsX;
using platform::forms::toTwipsY;

void MaximizeRestoreWindow(frmExplorer& f, bool maximize)
{
    QWidget* window = f.window();
    if (win::windowState(window) == win::StateMaximized)
        win::setWindowState(window, win::StateNormal);
    const QRect work = win::workArea(window);
    const QString section = QStringLiteral("TOOLBAR-FORMCONTROL");
    if (maximize) {
        QRect r = work;
        if (win::taskbarState() != win::TaskbarAlwaysOnTop) {
            // One pixel left free on the edge of an auto-hidden bar.
            if (win::autoHideBarOn(0))
                r.adjust(1, 0, 0, 0);
            if (win::autoHideBarOn(1))
                r.adjust(0, 1, 0, 0);
            if (win::autoHideBarOn(2))
                r.setWidth(r.width() - 1);
            if (win::autoHideBarOn(3))
                r = QRect(r.left(), r.top() - 1, r.width(), r.height() - 1);
        }
        f.move(toTwipsX(r.left()), toTwipsY(r.top()), toTwipsX(r.width()), toTwipsY(r.height()));
        SetSkinPicture(f.cmdFormControl[2], 213);
        f.cmdFormControl[2].setToolTipText(GetLangCaption(section, QStringLiteral("3104"), QStringLiteral("Restore Down")));
        return;
    }
    const double Wt = vb::roundHalfEven(toTwipsX(work.width()));
    const double Ht = vb::roundHalfEven(toTwipsY(work.height()));
    double left = f.NormalWindowRect.Left;
    double top = f.NormalWindowRect.Top;
    double width = f.NormalWindowRect.Width;
    double height = f.NormalWindowRect.Height;
    const bool refused = width < f.MinFormWidth || height < f.MinFormHeight || (width >= Wt && height >= Ht)
                         || top > Ht - height || top < 0 || left < 0 || left > Wt - width;
    if (refused) {
        width = f.MinFormWidth;
        height = f.MinFormHeight;
        top = vb::roundHalfEven((Ht - height) / 2);
        left = vb::roundHalfEven((Wt - width) / 2);
    }
    f.move(left, top, width, height);
    SetSkinPicture(f.cmdFormControl[2], 210);
    f.cmdFormControl[2].setToolTipText(GetLangCaption(section, QStringLiteral("3103"), QStringLiteral("Maximize")));
}
