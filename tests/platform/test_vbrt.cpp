#include "platform/base/vbrt.h"

#include <gtest/gtest.h>

TEST(VbRuntime, RoundingIsHalfToEven)
{
    const struct { double in; int16_t out; } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {3.4999, 3}, {-0.6, -1}, {32767.4, 32767},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vb::toInt16(c.in), c.out) << c.in;
    EXPECT_FALSE(vb::toInt16(32767.5).has_value());
    EXPECT_FALSE(vb::toInt16(-40000).has_value());
    EXPECT_EQ(vb::toInt32(40000.5), 40000);
}

TEST(VbRuntime, ValReadsTheLeadingNumber)
{
    const struct { const char* in; double out; } cases[] = {
        {"123", 123}, {"  12 34abc", 1234}, {"1.5e2x", 150}, {"&H1A", 26}, {"&hFFFF", -1},
        {"&H10000", 65536}, {"&O17", 15}, {"abc", 0}, {"", 0}, {"-3.25", -3.25}, {".5", 0.5}, {"1e", 1},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(vb::val(QString::fromLatin1(c.in)), c.out) << c.in;
}

TEST(VbRuntime, NumericTextIsRecognised)
{
    for (const char* yes : {"0", " 42 ", "-7", "3.5", "&H10", "1e3"})
        EXPECT_TRUE(vb::isNumeric(QString::fromLatin1(yes))) << yes;
    for (const char* no : {"", " ", "12a", "a12", "1 2", "&H", "."})
        EXPECT_FALSE(vb::isNumeric(QString::fromLatin1(no))) << no;
}

TEST(VbRuntime, TextHelpersUseOneBasedPositionsAndTrimBlanksOnly)
{
    EXPECT_EQ(vb::trim(QStringLiteral("  a b \t ")), QStringLiteral("a b \t"));
    EXPECT_EQ(vb::trim(QStringLiteral("\ta ")), QStringLiteral("\ta"));
    EXPECT_EQ(vb::mid(QStringLiteral("abcdef"), 2, 3), QStringLiteral("bcd"));
    EXPECT_EQ(vb::mid(QStringLiteral("abcdef"), 5), QStringLiteral("ef"));
    EXPECT_EQ(vb::mid(QStringLiteral("abc"), 4), QString());
    EXPECT_EQ(vb::mid(QStringLiteral("abc"), 0), QString());
    EXPECT_EQ(vb::inStr(QStringLiteral("abcabc"), QStringLiteral("c")), 3);
    EXPECT_EQ(vb::inStr(4, QStringLiteral("abcabc"), QStringLiteral("c")), 6);
    EXPECT_EQ(vb::inStr(QStringLiteral("abc"), QStringLiteral("C")), 0);
    EXPECT_EQ(vb::inStr(QStringLiteral("abc"), QStringLiteral("C"), Qt::CaseInsensitive), 3);
    EXPECT_EQ(vb::inStr(2, QStringLiteral("abc"), QString()), 2);
    EXPECT_EQ(vb::inStrRev(QStringLiteral("a\\b\\c"), QStringLiteral("\\")), 4);
    EXPECT_EQ(vb::numberText(26), QStringLiteral("26"));
    EXPECT_EQ(vb::numberText(1.25), QStringLiteral("1.25"));
    EXPECT_EQ(vb::hex(26), QStringLiteral("1A"));
}
