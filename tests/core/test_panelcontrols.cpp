// The dialog controls on the program's skinned panel, as its dialogs lay
// them out: they draw over the panel, in its text colour, and a password
// never shows.

#include "core/skinnedframe.h"
#include "platform/win/checkbox.h"
#include "platform/win/combobox.h"
#include "platform/win/controls.h"
#include "platform/win/form.h"
#include "platform/win/optionbutton.h"
#include "platform/win/textbox.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace platform::forms;

TEST(PanelControls, DrawOverTheSkinnedPanelInItsTextColour)
{
    Form form;
    form.setBorderStyle(BorderStyle::FixedDialog);
    form.setWidth(6600);
    form.setHeight(3900);
    form.setPicture(SkinnedPanel(toPixels(6600, 3900), PanelStyle::Light));
    const QColor text = PanelTextColor(PanelStyle::Light);

    CheckBox ticked(form, "ticked");
    ticked.move(240, 240, 3000, 300);
    ticked.setCaption("Use a proxy server");
    ticked.setValue(1);
    CheckBox clear(form, "clear");
    clear.move(240, 600, 3000, 300);
    clear.setCaption("Include Cookies");
    CheckBox greyed(form, "greyed");
    greyed.move(240, 960, 3900, 300);
    greyed.setCaption("Bypass proxy server for local addresses");
    greyed.setEnabled(false);
    OptionButton play(form, "play");
    play.move(3480, 240, 3000, 300);
    play.setCaption("Download and Play");
    play.setValue(true);
    OptionButton only(form, "only");
    only.move(3480, 600, 3000, 300);
    only.setCaption("Download only");
    ComboBox keys(form, "keys");
    keys.setStyle(ComboStyle::DropDownList);
    keys.move(4320, 960, 1500, 315);
    for (const char* k : {"F1", "F2", "F3"})
        keys.addItem(k);
    keys.setListIndex(2);
    Label addressCaption(form, "addressCaption");
    addressCaption.move(240, 1560, 1500, 255);
    addressCaption.setCaption("HTTP");
    TextBox address(form, "address");
    address.move(1800, 1500, 3000, 315);
    address.setText("proxy.example.org");
    Label passwordCaption(form, "passwordCaption");
    passwordCaption.move(240, 2040, 1500, 255);
    passwordCaption.setCaption("Password");
    TextBox password(form, "password");
    password.move(1800, 1980, 3000, 315);
    password.setPasswordChar("*");
    password.setMaxLength(20);
    password.setText("s3cret");
    Label offCaption(form, "offCaption");
    offCaption.move(240, 2520, 1500, 255);
    offCaption.setCaption("Socks");
    offCaption.setEnabled(false);
    TextBox off(form, "off");
    off.move(1800, 2460, 3000, 315);
    off.setText("socks.example.org");
    off.setEnabled(false);
    off.setBackColor(QColor(0xE0, 0xE0, 0xE0));
    for (Control* c : std::initializer_list<Control*>{&ticked, &clear, &greyed, &play, &only, &addressCaption, &passwordCaption, &offCaption})
        c->setForeColor(text);

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.window(), 5000));
    const QImage shot = form.window()->grab().toImage();
    const QString dir = qEnvironmentVariable("Z5_SCREENSHOT_DIR", QStringLiteral(Z5_BINARY_DIR "/screenshots"));
    QDir().mkpath(dir);
    EXPECT_TRUE(shot.save(QDir(dir).filePath("dialog-controls.png")));

    // Past the end of its caption a check box shows the panel under it.
    const QImage panel = SkinnedPanel(toPixels(6600, 3900), PanelStyle::Light).toImage();
    const QPoint past = clear.widget()->geometry().topRight() + QPoint(-4, 4);
    EXPECT_EQ(shot.pixelColor(past), panel.pixelColor(past));
    EXPECT_EQ(password.lineEdit()->displayText(), "******");
}
