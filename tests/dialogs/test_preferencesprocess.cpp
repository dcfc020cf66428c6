// The staged Z5.exe in a fresh home, driven by real mouse clicks and keys:
// the preferences opened from the Edit menu reach the registry, the running
// browser, the download manager and the next start.

#include "core/contentfilter.h"

#include "httpproxy.h"
#include "httpserver.h"
#include "programdriver.h"

#include <QFileInfo>

using namespace programdriver;

namespace {

class PreferencesProcess : public DrivenProgram {};

} // namespace

TEST_F(PreferencesProcess, EditPreferencesOpensTheWindow)
{
    QProcess* z5 = start();
    ASSERT_TRUE(driveOk(openPreferences()));
    ASSERT_TRUE(driveOk({QStringLiteral("shot\tPreferences\t") + work + QStringLiteral("/prefs.png")}));
    EXPECT_TRUE(QFileInfo(work + QStringLiteral("/prefs.png")).size() > 0);
    ASSERT_TRUE(driveOk({click(QStringLiteral("cmdButton1(1)"))}));
    EXPECT_TRUE(closeByItsButton(z5));
}
