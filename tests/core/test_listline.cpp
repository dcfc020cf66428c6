// Item lines of the lists: written and read back whole, old lines read as before.

#include "core/listline.h"

#include <gtest/gtest.h>

TEST(ListLine, ColumnsComeBackWhole)
{
    const QList<QStringList> rows = {
        {"Song", "http://h/a.mp3", "", "/home/u/Music", ""},
        {"Smith, John - Live", "http://h/a,b.mp3?x=1,2", "http://h/", "/m", "link"},
        {"\"Quoted\" name", "u", "r", "f", "say \"hi\""},
        {"", "", "", "", ""},
        {"a\"b", ",", "\"", "\",\"", "x"},
    };
    for (const QStringList& row : rows) {
        const QString line = EncodeListLine(row);
        EXPECT_FALSE(line.contains(QLatin1Char('\n')));
        EXPECT_EQ(DecodeListLine(line), row) << line.toStdString();
    }
}

TEST(ListLine, WritingAndReadingCases)
{
    const struct {
        QStringList columns;
        const char* line;
    } written[] = {
        {{"a", "b", "c"}, "a,b,c"},
        {{"a,b", "c"}, "\"a,b\",c"},
        {{"\"q\"", "c"}, "\"\"\"q\"\"\",c"},
        {{"mid\"quote", "c"}, "mid\"quote,c"},
        {{"two\r\nlines", "x\ny"}, "two lines,x y"},
    };
    for (const auto& c : written)
        EXPECT_EQ(EncodeListLine(c.columns), QString::fromUtf8(c.line));

    const struct {
        const char* line;
        QStringList columns;
    } read[] = {
        {"Name,http://h/a.exe,,C:\\x,", {"Name", "http://h/a.exe", "", "C:\\x", ""}}, // an old line: plain split
        {"a,b", {"a", "b"}},
        {"", {""}},
        {"\"unclosed,still", {"unclosed,still"}},
        {"\"x\"tail,y", {"xtail", "y"}},
    };
    for (const auto& c : read)
        EXPECT_EQ(DecodeListLine(QString::fromUtf8(c.line)), c.columns) << c.line;
}
