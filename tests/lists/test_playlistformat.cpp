// The playlist file as bytes: its text, header lines, rows, and what is
// refused.

#include "lists/playlistformat.h"

#include <QByteArrayList>

#include <gtest/gtest.h>

#include <cmath>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

QByteArray file(const QByteArrayList& lines)
{
    return lines.join("\r\n") + "\r\n";
}

QByteArray header(const QByteArray& kind, const QByteArray& current = "1", const QByteArray& delay = "1",
                  const QByteArray& options = "101000")
{
    return file({kind, current, delay, options, "", "", "", ""});
}

// A literal's bytes, its NULs included.
template <size_t N>
QByteArray withNuls(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

} // namespace

TEST(PlaylistText, InvalidUtf8BytesReadAsLatin1)
{
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {QStringLiteral("Ünïcødé ♫").toUtf8(), QStringLiteral("Ünïcødé ♫")},
        {QByteArray("caf") + '\xe9', QStringLiteral("café")},
        {QByteArray("\xc3\xa9 and ") + '\xe9', QStringLiteral("é and é")},
        {"\xc0\xaf", QString::fromLatin1("\xc0\xaf")},         // an overlong "/" is two bytes
        {"\xed\xa0\x80", QString::fromLatin1("\xed\xa0\x80")}, // a surrogate half
        {"\xf0\x9f\x8e\xb5", QStringLiteral("🎵")},
        {"\xe2\x99", QString::fromLatin1("\xe2\x99")},         // cut short
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeListText(c.bytes), c.text) << c.bytes.toHex().constData();
}

TEST(PlaylistFile, LineOneNamesTheKindOrTheFileIsRefused)
{
    const struct {
        QByteArray line;
        bool refused;
        std::optional<int16_t> kind;
    } cases[] = {
        {"1", false, 1},     {"6", false, 6},          {" 3 ", false, 3}, {"0", true, {}},
        {"9", true, {}},     {"-1", true, {}},         {"70000", true, {}}, {"abc", false, std::nullopt},
        {"", false, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto content = ParsePlaylist(header(c.line) + "row,/path\r\n");
        ASSERT_EQ(!content, c.refused) << c.line.constData();
        if (!content)
            continue;
        EXPECT_EQ(content->kind, c.kind) << c.line.constData();
        EXPECT_EQ(content->rows.size(), 1u) << c.line.constData();
    }
}

// NULs anywhere are left out and the rows read as if they were never
// there; a row with a column beyond the bound is left out and counted,
// while the rows around it load.
TEST(PlaylistFile, NulBytesAreDroppedAndRowsWithAnOverlongColumnAreCounted)
{
    const QByteArray limit(kPlaylistColumnLimit, 'x');
    const QByteArray over(kPlaylistColumnLimit + 1, 'x');
    // Quotes doubled: twice the bound written, the bound read.
    const QByteArray quoted = '"' + QByteArray(kPlaylistColumnLimit, '"').replace("\"", "\"\"") + '"';
    const struct {
        const char* name;
        QByteArray body;
        size_t rows;
        int skipped;
    } cases[] = {
        {"NULs in a row", withNuls("a\0b,/p\0ath\0\r\n"), 1, 0},
        {"a line of NULs", withNuls("\0\0\0\r\nclean\r\n"), 1, 0},
        {"the bound in every column", limit + ',' + limit + ',' + limit + ',' + limit + ',' + limit + "\r\n", 1, 0},
        {"the bound read through doubled quotes", quoted + "\r\n", 1, 0},
        {"over the bound in the text", over + ",/a\r\nclean\r\n", 1, 1},
        {"over the bound in sub-item 4", "a,b,c,d," + over + "\r\nclean\r\n", 1, 1},
        {"over the bound in a column that is dropped", "a,b,c,d,e," + over + "\r\n", 1, 0},
        {"a 4 MB row between clean ones", "first\r\n" + QByteArray(4 << 20, 'y') + "\r\nlast\r\n", 2, 1},
        {"every row over the bound", over + "\r\n" + over + "\r\n", 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto content = ParsePlaylist(header("1") + c.body);
        ASSERT_TRUE(content);
        EXPECT_EQ(content->rows.size(), c.rows);
        EXPECT_EQ(content->skippedRows, c.skipped);
        for (const PlaylistRow& row : content->rows)
            for (const QString& column : row)
                EXPECT_FALSE(column.contains(QChar(0)));
    }
    const auto nuls = ParsePlaylist(withNuls("1\0\r\n") + QByteArray(7, '\n') + withNuls("a\0b,/p\0ath\r\n"));
    ASSERT_TRUE(nuls);
    EXPECT_EQ(nuls->kind, 1) << "line 1 read without its NUL";
    ASSERT_EQ(nuls->rows.size(), 1u);
    EXPECT_EQ(nuls->rows[0], (PlaylistRow{"ab", "/path", "", "", ""}));
}

TEST(PlaylistFile, RowsTakeFiveColumnsAndBlankLinesAreSkipped)
{
    const auto content = ParsePlaylist(header("2") + "plain line\r\n"
                                                    "   \r\n"
                                                    "\r\n"
                                                    "a,b,c,d,e,f,g\r\n"
                                                    " lead,\"x, \"\"y\"\"\",,,\r\n"
                                                    "last line without end");
    ASSERT_TRUE(content);
    ASSERT_EQ(content->rows.size(), 4u);
    EXPECT_EQ(content->rows[0], (PlaylistRow{"plain line", "", "", "", ""}));
    EXPECT_EQ(content->rows[1], (PlaylistRow{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(content->rows[2], (PlaylistRow{" lead", "x, \"y\"", "", "", ""})) << "lines are not trimmed";
    EXPECT_EQ(content->rows[3][0], QStringLiteral("last line without end"));

    // A header alone, and fewer lines than a header.
    const auto bare = ParsePlaylist(header("4"));
    ASSERT_TRUE(bare);
    EXPECT_TRUE(bare->rows.empty());
    const auto shortFile = ParsePlaylist("5\n3\n");
    ASSERT_TRUE(shortFile);
    EXPECT_EQ(shortFile->header[1], QStringLiteral("3"));
    EXPECT_TRUE(shortFile->header[3].isEmpty());
    EXPECT_EQ(PlaylistOptions(shortFile->header[3]), QStringLiteral("      "));
}

TEST(PlaylistFile, HeaderValuesAreReadWithinBounds)
{
    const struct {
        const char* line;
        std::optional<int32_t> row;
    } rows[] = {{"2", 2},           {"0", 0}, {"-3", 0}, {"99999999999", 5}, {"2.5", 2},
                {"3.5", 4},         {"abc", std::nullopt}, {"", std::nullopt}};
    for (const auto& c : rows)
        EXPECT_EQ(PlaylistCurrentRow(QString::fromLatin1(c.line), 5), c.row) << c.line;

    const struct {
        const char* line;
        std::optional<float> delay;
    } delays[] = {{"1", 1.0f},          {"0.25", 0.25f},       {"2,5", 2.5f},         {"500", 300.0f},
                  {"1e39", std::nullopt}, {"NaN", std::nullopt}, {"inf", std::nullopt}, {"-5", std::nullopt},
                  {"abc", std::nullopt},  {"", std::nullopt}};
    for (const auto& c : delays)
        EXPECT_EQ(PlaylistDelay(QString::fromLatin1(c.line)), c.delay) << c.line;

    EXPECT_EQ(PlaylistOptions(QStringLiteral("1010")), QStringLiteral("1010  "));
    EXPECT_EQ(PlaylistOptions(QStringLiteral("1010001")), QStringLiteral("101000"));
}

TEST(PlaylistFile, WhatIsWrittenReadsBackTheSame)
{
    const std::vector<PlaylistRow> rows = {
        {"Ünïcødé ♫.mp3", "/music/Ünïcødé ♫.mp3", "", "", ""},
        {"a, \"quoted\" name", "http://h/a%20b?x=1,2", "http://ref/", "/downloads", "link text"},
        {"\"starts quoted", "", "", "", ""},
        {"", "", "", "", ""},
    };
    for (float delay : {1.0f, 0.1f, 2.5f, 0.055f, 300.0f}) {
        const QByteArray bytes = FormatPlaylist(3, 2, delay, QStringLiteral("001000"), rows);
        const auto back = ParsePlaylist(bytes);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->kind, 3);
        EXPECT_EQ(back->header[1], QStringLiteral("2"));
        EXPECT_EQ(PlaylistDelay(back->header[2]), delay);
        EXPECT_EQ(back->header[3], QStringLiteral("001000"));
        EXPECT_EQ(back->rows, rows) << "an empty row is written as \",,,,\", which is no blank line";
        EXPECT_EQ(FormatPlaylist(3, 2, delay, back->header[3], back->rows), FormatPlaylist(3, 2, delay, QStringLiteral("001000"), back->rows));
    }
    EXPECT_EQ(DelayText(1.0f), QStringLiteral("1"));
    EXPECT_EQ(DelayText(0.1f), QStringLiteral("0.1"));
    EXPECT_TRUE(FormatPlaylist(1, 1, 1, QStringLiteral("101000"), {{"a", "", "", "", ""}})
                    .startsWith("1\r\n1\r\n1\r\n101000\r\n\r\n\r\n\r\n\r\na,,,,\r\n"));
}
