// The language keys: the scan on a small tree of known faults, then the
// source tree against the shipped English language file.

#include "languagekeys.h"

#include "testenv.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstdio>

TEST(LanguageKeys, FindsMissingDifferingAndDoubledKeysInASmallTree)
{
    const QString root = testenv::freshDir("langtree");
    const struct {
        const char* file;
        const char* text;
    } files[] = {
        {"Language.ini", "[MESSAGE]\n9001=Access denied\n9002=Saved\n9002=Saved again\n[DIAGLOG]\n7001=Open\n"
                         "[FILEFORMAT]\n8001=All Files\n"},
        // A section literal before the key, wrapped or not.
        {"code/direct.cpp", "void f() { GetLangString(QStringLiteral(\"MESSAGE\"), QStringLiteral(\"9001\"),\n"
                            "    QStringLiteral(\"Access \" \"denied\"));\n"
                            "  lang(\"DIAGLOG\", \"7002\", \"Save\"); // missing\n}\n"},
        // A helper naming its section, and a helper handing on to it.
        {"code/helpers.cpp", "QString formatText(const char* key, const char* english)\n"
                             "{ return GetLangString(QStringLiteral(\"FILEFORMAT\"), QLatin1String(key), english); }\n"
                             "QString entry(const char* key, const char* english) { return formatText(key, english); }\n"
                             "void g() { entry(\"8001\", \"All files of any kind\"); /* \"8001\", \"x\" */ }\n"},
        // A constant holding the section; one key given two texts.
        {"code/constant.cpp", "const QString kMsg = QStringLiteral(\"MESSAGE\");\n"
                              "void h() { GetLangString(kMsg, \"9002\", \"Saved\"); GetLangString(kMsg, \"9002\", \"Kept\"); }\n"},
        // Table rows: one some section holds, one none holds; a raw string
        // and a character literal do not confuse the scan.
        {"code/table.cpp", "const Text rows[] = {{\"7001\", \"Open\"}, {\"7003\", \"Print\"}};\n"
                           "const char* page = R\"(<a title=\"9001\", \"x\">)\"; char q = '\"';\n"},
        // An exempted key may stay out of the file.
        {"code/exempt.cpp", "void k() { lang(\"MESSAGE\", \"9043\", \"Delete it ?\"); }\n"},
    };
    for (const auto& f : files) {
        const QString path = root + "/" + f.file;
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(testenv::writeFile(path, f.text)) << f.file;
    }
    const QStringList findings = CheckLanguageKeys(root, {"code"}, root + "/Language.ini",
                                                   {{"MESSAGE", "9043", true}});
    EXPECT_EQ(findings, (QStringList{"twice: MESSAGE 9002",
                                     "differs: MESSAGE 9002 \"Kept\" vs \"Saved\" (code/constant.cpp)",
                                     "two texts: MESSAGE 9002 \"Saved\" / \"Kept\"",
                                     "missing: DIAGLOG 7002 \"Save\" (code/direct.cpp)",
                                     "differs: FILEFORMAT 8001 \"All files of any kind\" vs \"All Files\" "
                                     "(code/helpers.cpp)",
                                     "nowhere: 7003 \"Print\" (code/table.cpp)"}));
}

TEST(LanguageKeys, EveryKeyTheCodeAsksForIsInTheEnglishFileWithOneText)
{
    const QString root = QStringLiteral(Z5_SOURCE_DIR);
    const QStringList findings = CheckLanguageKeys(root, ProjectCodeFolders(), root + "/data/Language/English.ini",
                                                   ProjectLanguageKeyExemptions());
    for (const QString& f : findings)
        std::printf("%s\n", qPrintable(f));
    EXPECT_TRUE(findings.isEmpty());
}
