// The preferences window in this process, driven by real mouse and key
// input: its pages, what each shows and saves, and when Apply is enabled.

#include "core/contentfilter.h"
#include "core/scaling.h"
#include "core/settingsstore.h"
#include "dialogs/contentpage.h"
#include "dialogs/keyboardpage.h"
#include "dialogs/optionpages.h"
#include "dialogs/proxypage.h"
#include "platform/win/twips.h"

#include "referencestesting.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QImage>

using namespace referencestesting;

namespace {

struct Scale {
    Scale(float factor, int twipsPerPixel) : saved(TwipsScale)
    {
        TwipsScale = factor;
        platform::forms::setTwipsPerPixel(twipsPerPixel, twipsPerPixel);
    }
    ~Scale()
    {
        TwipsScale = saved;
        platform::forms::setTwipsPerPixel(0, 0);
    }
    float saved;
};

} // namespace

// Every page at 96 dpi and at a scale of 1.25, with values on it: the
// pictures show that no text is cut or overlapping and the controls line up.
TEST_F(References, EveryPageIsLaidOutAtBothScales)
{
    SaveSetting(HiveCurrentUser, kSettingsApp, kProxySection, QStringLiteral("Check1"), QStringLiteral("1"));
    SaveSetting(HiveCurrentUser, kSettingsApp, kProxySection, QStringLiteral("Address1"), QStringLiteral("proxy.example.org"));
    SaveSetting(HiveCurrentUser, kSettingsApp, kProxySection, QStringLiteral("Port1"), QStringLiteral("8080"));
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("STARTPAGE"), QStringLiteral("11||http://www.example.org/||/home/user/Favorites/News"));
    SaveZ5Setting(HiveCurrentUser, QStringLiteral("OPT_CLEANUP"), QStringLiteral("110101"));
    FilterList = QStringLiteral("|casino|secret|ads.example.com||");
    options.KeyMap[2] = QStringLiteral("|1|http://www.example.org/|");
    for (const auto& [factor, tpp, suffix] : {std::tuple{1.0f, 15, "96dpi"}, std::tuple{1.25f, 19, "scale125"}}) {
        Scale scale(factor, tpp);
        frmReferences& f = open();
        f.KeyBoard_ComboBox[0].setListIndex(2);
        f.Content_ListView->setSelectedIndex(1);
        Content_ListView_ItemClick(f, 1);
        for (int p = 0; p <= 6; ++p) {
            page(p);
            ASSERT_TRUE(f.Frame[p].widget()->isVisible());
            const QString name = QStringLiteral("preferences-page%1-%2.png").arg(p).arg(QLatin1String(suffix));
            EXPECT_TRUE(f.window()->grab().save(screenshotFolder() + QLatin1Char('/') + name));
        }
        window->unload();
        window.reset();
    }
}
