// The browser program as its start assembles it.

#include "app/browserprogram.h"
#include "browsing/explorertabs.h"
#include "mainwindow/frmexplorer.h"
#include "menus/menusservice.h"
#include "platform/web/browser.h"

#include "recordingservices.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const bool schemeRegistered = (platform::browser::prepareBeforeApplication(), true);

} // namespace

// Prints, for whoever builds the next subsystem, the one list of methods
// the running program still serves by stand-ins; the tabs and the menus are
// the program's own.
TEST(Program, ListsTheMethodsStillServedOnlyByStandIns)
{
    ASSERT_TRUE(schemeRegistered);
    ServiceSet services;
    {
        BrowserProgram program(services);
        EXPECT_EQ(&services.Tabs(), static_cast<ITabsService*>(program.tabs()));
        EXPECT_EQ(&services.Menus(), static_cast<IMenusService*>(program.menus()));
        const QStringList standIns = services.StandInMethods();
        for (const QString& method : standIns)
            std::printf("still a stand-in: %s\n", qPrintable(method));
        for (const QString& method : standIns)
            EXPECT_FALSE(method.startsWith(QLatin1String("ITabsService::"))
                         || method.startsWith(QLatin1String("IMenusService::")))
                << method.toStdString();
    }
    EXPECT_EQ(QString::fromLatin1(services.Tabs().implementationName()), QStringLiteral("null"))
        << "the program lets its tabs go with it";
}

// Fakes set before the program keep serving what it does not build, and
// serve again as it goes.
TEST(Program, BuildsOnlyThePartsAskedForOverWhatWasSetBefore)
{
    ASSERT_TRUE(schemeRegistered);
    ServiceSet services;
    RecordingServices fakes(services);
    {
        BrowserProgram program(services, BrowserProgram::Parts{true, false});
        EXPECT_EQ(program.menus(), nullptr);
        EXPECT_EQ(&services.Menus(), static_cast<IMenusService*>(&fakes));
        EXPECT_EQ(&services.Tabs(), static_cast<ITabsService*>(program.tabs()));
    }
    EXPECT_EQ(&services.Media(), static_cast<IMediaService*>(&fakes));
    EXPECT_EQ(&services.Menus(), static_cast<IMenusService*>(&fakes));
}
