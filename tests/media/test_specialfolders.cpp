// The display names of the nine special folders, from the language file
// with their English defaults.

#include "core/globals.h"
#include "media/specialfoldernames.h"

#include "testenv.h"

#include <gtest/gtest.h>

TEST(SpecialFolders, NamesMatchWhateverTheirCaseTheFirstMatchWinning)
{
    const struct {
        const char* name;
        uint8_t number;
    } cases[] = {
        {"My Computer", 1},        {"my computer", 1},         {"Desktop", 2},          {"My Network Places", 3},
        {"CONTROL PANEL", 4},      {"Printers and Faxes", 5},  {"Recycle Bin", 6},      {"Network Connections", 7},
        {"Scanners and Cameras", 8}, {"Scheduled Tasks", 9},   {"C:\\", 0},             {"", 0},
        {"My Computer ", 0},
    };
    // With no language file the defaults are compared, and with the shipped
    // English file the same names.
    for (const QString& file : {QStringLiteral("/nonexistent/English.ini"), QStringLiteral(Z5_SOURCE_DIR "/data/Language/English.ini")}) {
        LanguageFilePath = file;
        for (const auto& c : cases)
            EXPECT_EQ(SpecialFolderDisplayName(QString::fromUtf8(c.name)), c.number) << c.name << " " << file.toStdString();
    }

    // A language's own names, read anew on every call; two equal texts give
    // the lower number.
    const QString dir = testenv::freshDir(QStringLiteral("language"));
    LanguageFilePath = dir + QStringLiteral("/Test.ini");
    testenv::writeFile(LanguageFilePath, "[WINDOWS]\r\n9500=Arbeitsplatz\r\n9505=Papierkorb\r\n9507=Papierkorb\r\n");
    EXPECT_EQ(SpecialFolderDisplayName(QStringLiteral("arbeitsplatz")), 1);
    EXPECT_EQ(SpecialFolderDisplayName(QStringLiteral("My Computer")), 0);
    EXPECT_EQ(SpecialFolderDisplayName(QStringLiteral("Papierkorb")), 6);
    EXPECT_EQ(SpecialFolderDisplayName(QStringLiteral("Scanners and Cameras")), 0);
    EXPECT_EQ(SpecialFolderDisplayName(QStringLiteral("Desktop")), 2);
    testenv::writeFile(LanguageFilePath, "[WINDOWS]\r\n9500=Poste de travail\r\n");
    EXPECT_EQ(SpecialFolderDisplayName(QStringLiteral("Poste de travail")), 1);
}
