// The service set: stand-ins until a subsystem is set, the fakes that
// record, and a listing that names every method of every interface.

#include "contracts/services.h"
#include "contracts/standins.h"

#include "recordingservices.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

QStringList implementations(const ServiceSet& set)
{
    QStringList out;
    for (const auto& l : set.Implementations())
        out << l.implementation;
    return out;
}

// The pure virtual methods a class of a contracts header declares, in order.
QStringList declaredMethods(const QString& header, const QString& className)
{
    QFile f(QStringLiteral(Z5_SOURCE_DIR "/contracts/") + header);
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("unreadable ") + header};
    const QString text = QString::fromUtf8(f.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("class ") + className + QLatin1Char(' '));
    const qsizetype end = text.indexOf(QStringLiteral("\n};"), start);
    if (start < 0 || end < 0)
        return {QStringLiteral("no class ") + className};
    QStringList out;
    static const QRegularExpression method(QStringLiteral(R"(virtual [^;]*?\b(\w+)\([^;]*\) (?:const )?= 0;)"));
    auto it = method.globalMatch(text.mid(start, end - start));
    while (it.hasNext()) {
        const QString name = it.next().captured(1);
        if (name != QLatin1String("implementationName"))
            out << name;
    }
    return out;
}

} // namespace

TEST(ServiceSet, WhatIsNotSetAnswersThroughItsStandInAndAFakeServesEveryInterfaceWhileItLives)
{
    ServiceSet set;
    EXPECT_EQ(implementations(set), QStringList(6, QStringLiteral("null")));
    // The stand-ins answer "no".
    EXPECT_EQ(set.Tabs().CurrentBrowser(), nullptr);
    EXPECT_FALSE(set.Menus().SubClassStatus());
    EXPECT_TRUE(set.Menus().ShowTabMenu(0, 0, 10, 10).isEmpty());
    EXPECT_FALSE(set.Media().IsAudioStopped());
    EXPECT_EQ(set.Lists().SavePlaylistFile(QStringLiteral("x.z5p"), false, false), 1) << "nothing was written";
    {
        RecordingServices first(set);
        EXPECT_EQ(implementations(set), QStringList(6, QStringLiteral("recording fake")));
        set.Media().StopAudio();
        set.Lists().ShowCurrentList();
        EXPECT_EQ(first.calls, (QStringList{"StopAudio", "ShowCurrentList"}));
        {
            // A second fake over the first; when it goes the stand-ins come back.
            RecordingServices second(set);
            set.Tabs().GoToTab(2);
            EXPECT_EQ(second.calls, QStringList{"GoToTab(2)"});
        }
        EXPECT_EQ(implementations(set), QStringList(6, QStringLiteral("null")));
    }
    // A subsystem set over a fake outlasts the fake.
    StandInDialogs dialogs;
    {
        RecordingServices fake(set);
        set.SetDialogs(&dialogs);
    }
    EXPECT_EQ(&set.Dialogs(), static_cast<IDialogsService*>(&dialogs));
}

TEST(ServiceSet, TheListingNamesEveryMethodEachInterfaceDeclares)
{
    const struct {
        const char* interfaceName;
        const char* header;
        QStringList classes;
    } interfaces[] = {
        {"ITabsService", "tabs.h", {"ITabCommands", "ITabsService"}},
        {"IMenusService", "menus.h", {"IMenusService"}},
        {"IListsService", "lists.h", {"IListsService"}},
        {"IMediaService", "media.h", {"IMediaService"}},
        {"IDownloadsService", "downloads.h", {"IDownloadsService"}},
        {"IDialogsService", "dialogs.h", {"IDialogsService"}},
    };
    ServiceSet set;
    const auto listings = set.Implementations();
    ASSERT_EQ(listings.size(), std::size(interfaces));
    for (size_t i = 0; i < listings.size(); ++i) {
        SCOPED_TRACE(interfaces[i].interfaceName);
        EXPECT_EQ(listings[i].interfaceName, QString::fromLatin1(interfaces[i].interfaceName));
        QStringList declared;
        for (const QString& c : interfaces[i].classes)
            declared << declaredMethods(QString::fromLatin1(interfaces[i].header), c);
        EXPECT_EQ(listings[i].methods, declared);
    }
}
