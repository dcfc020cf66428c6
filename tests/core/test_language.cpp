#include "core/globals.h"
#include "core/language.h"

#include "testenv.h"

#include <QThread>
#include <gtest/gtest.h>

namespace {

QString languageFile(const QByteArray& content)
{
    const QString path = testenv::freshDir(QStringLiteral("lang")) + QStringLiteral("/English.ini");
    testenv::writeFile(path, content);
    return path;
}

} // namespace

TEST(LanguageLookup, MatchingRules)
{
    const QString file = languageFile(
        "[OTHER]\r\n9003=wrong section\r\n"
        "  [MESSAGE]\r\n9001=behind a blank header\r\n"
        "[message]   \r\n"
        "\r\n   \r\n"
        "9003=Text\r\n"
        "9004 = Spaced key\r\n"
        "9005=  Padded  \r\n"
        "9006=\r\n"
        "abc=lower=case\r\n"
        "9003=second copy\r\n"
        "[BUTTON]\r\n4101=OK\r\n"
        "[COMMENTED]\r\n; a comment line\r\n7001=never reached\r\n"
        "[LATER]\r\n9007=later\r\n"
        "[MESSAGE]\r\n9008=second header\r\n");
    const struct {
        const char* section;
        const char* key;
        const char* def;
        const char* expected;
    } cases[] = {
        {"MESSAGE", "9003", "d", "Text"},
        {"Message", "9003", "d", "Text"},
        {"MESSAGE", "9004", " d ", "d"},           // "9004 " keeps its blank: trimmed default
        {"MESSAGE", "9004 ", "d", "Spaced key"},
        {"MESSAGE", "9005", "d", "Padded"},
        {"MESSAGE", "9006", "d", ""},              // an empty translation wins
        {"MESSAGE", "ABC", "d", "lower=case"},
        {"MESSAGE", "9001", " d ", "d"},           // a header after blanks is no header
        {"MESSAGE", "9007", " d ", "d"},           // only its own section is searched
        {"MESSAGE", "9008", " d ", "d"},           // the first header wins
        {"BUTTON", "4101", "x", "OK"},
        {"COMMENTED", "7001", " untrimmed ", " untrimmed "},
        {"NOSECTION", "1", " trimmed ", "trimmed"},
        {"LATER", "9007", "d", "later"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadIniValue(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QString::fromUtf8(c.def), file),
                  QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;
    EXPECT_EQ(ReadIniValue(QStringLiteral("MESSAGE"), QStringLiteral("9003"), QStringLiteral(" missing "),
                           file + QStringLiteral(".nope")),
              QStringLiteral(" missing "))
        << "a file that cannot be read gives the default untrimmed";
}

TEST(LanguageLookup, CurrentLanguageAndCaptions)
{
    LanguageFilePath = languageFile("[BUTTON]\n4102=Yes\n");
    EXPECT_EQ(GetLangString(QStringLiteral("BUTTON"), QStringLiteral("4102"), QStringLiteral("x")), QStringLiteral("Yes"));
    EXPECT_EQ(GetLangCaption(QStringLiteral("BUTTON"), QStringLiteral("4102"), QStringLiteral("x")), QStringLiteral(" Yes "));
    LanguageFilePath = QStringLiteral("/nonexistent/Language/English.ini");
    EXPECT_EQ(GetLangCaption(QStringLiteral("BUTTON"), QStringLiteral("4101"), QStringLiteral("OK")), QStringLiteral(" OK "));
}

TEST(LanguageLookup, AChangedFileIsReadAgain)
{
    const QString file = languageFile("[M]\n1=old\n");
    EXPECT_EQ(ReadIniValue(QStringLiteral("M"), QStringLiteral("1"), QString(), file), QStringLiteral("old"));
    // Same size, same second: the lookup must still see the new text.
    testenv::writeFile(file, "[M]\n1=new\n");
    EXPECT_EQ(ReadIniValue(QStringLiteral("M"), QStringLiteral("1"), QString(), file), QStringLiteral("new"));
    QFile::remove(file);
    EXPECT_EQ(ReadIniValue(QStringLiteral("M"), QStringLiteral("1"), QStringLiteral("gone"), file), QStringLiteral("gone"));
}

TEST(LanguageLookup, AFileTooLargeIsRefusedOnceUntilItChanges)
{
    const QString file = languageFile("[M]\n1=small\n");
    const QByteArray tooLarge = "[M]\n1=large\n" + QByteArray(8 * 1024 * 1024, ' ');
    ASSERT_TRUE(testenv::writeFile(file, tooLarge));
    {
        testenv::StderrCapture err;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(ReadIniValue(QStringLiteral("M"), QStringLiteral("1"), QStringLiteral("dflt"), file),
                      QStringLiteral("dflt"));
        EXPECT_EQ(err.text().count(file), 1) << err.text().toStdString();
    }
    {
        // Changed on disk: read again, and refused again with a new report.
        testenv::StderrCapture err;
        ASSERT_TRUE(testenv::writeFile(file, "[M]\n1=small\n"));
        EXPECT_EQ(ReadIniValue(QStringLiteral("M"), QStringLiteral("1"), QString(), file), QStringLiteral("small"));
        ASSERT_TRUE(testenv::writeFile(file, tooLarge + ' '));
        EXPECT_EQ(ReadIniValue(QStringLiteral("M"), QStringLiteral("1"), QStringLiteral("dflt"), file),
                  QStringLiteral("dflt"));
        EXPECT_EQ(ReadIniValue(QStringLiteral("M"), QStringLiteral("1"), QStringLiteral("dflt"), file),
                  QStringLiteral("dflt"));
        EXPECT_EQ(err.text().count(file), 1) << err.text().toStdString();
    }
}

TEST(OptionDigits, GetAndSet)
{
    EXPECT_EQ(GetOptionDigit(QStringLiteral("101000"), 1), 1);
    EXPECT_EQ(GetOptionDigit(QStringLiteral("101000"), 2), 0);
    EXPECT_FALSE(GetOptionDigit(QStringLiteral("101000"), 0).has_value());
    EXPECT_FALSE(GetOptionDigit(QStringLiteral("101000"), 7).has_value());
    EXPECT_FALSE(GetOptionDigit(QStringLiteral("1x1000"), 2).has_value());
    const struct { const char* in; int16_t pos; int16_t value; const char* out; } cases[] = {
        {"101000", 2, 1, "111000"}, {"101000", 3, 0, "100000"}, {"101000", 1, 0, "001000"}, {"101000", 6, 1, "101001"},
        {"101000", 8, 1, "1010001"}, {"", 1, 5, "5"},
    };
    for (const auto& c : cases) {
        QString s = QString::fromUtf8(c.in);
        EXPECT_TRUE(SetOptionDigit(s, c.pos, c.value));
        EXPECT_EQ(s, QString::fromUtf8(c.out)) << c.in << " " << c.pos;
    }
    QString s = QStringLiteral("101000");
    EXPECT_FALSE(SetOptionDigit(s, 0, 1));
    EXPECT_EQ(s, QStringLiteral("101000"));
}
