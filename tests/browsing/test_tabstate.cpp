// The tab state record: its text functions and the popup links between
// browsers.

#include "browsing/tabstaterecord.h"
#include "fakes.h"

#include <gtest/gtest.h>

TEST(TabStateRecord, FieldsReadAndWritten)
{
    struct Case {
        const char* record;
        int field;
        int16_t read;
    };
    const Case reads[] = {
        {"0|1|0|0|0|-1", 9, 0},        {"1|1|0|0|0|-1|3|7", 8, 0}, {"1|1|0|0|0|-1|3|7", 7, 7},
        {"0|1|0|0|0|-1", 5, -1},       {"", 1, 0},                 {"x|y", 1, 0},
        {"0|99999|0", 1, 0},           {"2|1", -1, 0},
    };
    for (const Case& c : reads)
        EXPECT_EQ(TabStateFieldOf(c.record, c.field), c.read) << c.record << " field " << c.field;

    struct Write {
        const char* record;
        int field;
        int16_t value;
        const char* result;
    };
    const Write writes[] = {
        {"0|1|0|0|0|-1", 6, 4, "0|1|0|0|0|-1"},   // never grows
        {"2|1|1|0|0|3", 5, -1, "2|1|1|0|0|-1"},
        {"", 0, 1, ""},                           // empty stays empty
        {"1|1|0|0|2|-1|7|5", 7, 9, "1|1|0|0|2|-1|7|9"},
    };
    for (const Write& w : writes)
        EXPECT_EQ(TabStateWithField(w.record, w.field, w.value), QString(w.result)) << w.record;
}

TEST(TabStateRecord, ChildRemoval)
{
    const struct {
        const char* record;
        int16_t child;
        const char* result;
    } cases[] = {
        {"1|1|0|0|2|-1|7|5|7", 7, "1|1|0|0|2|-1|5"},
        {"1|1|0|0|2|-1", 7, "1|1|0|0|2|-1"},
        // A record shorter than six fields has no child list: left as it is.
        {"1|1|7", 7, "1|1|7"},
        {"", 7, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TabStateWithoutChild(c.record, c.child), QString(c.result)) << c.record;
}

TEST(TabStateRecord, UnlinkingCutsBothSidesAndKeepsTheOwnRecord)
{
    TabsFixture f;
    f.open({"http://a/", "http://b/", "http://c/"});
    // Browsers 1 (opener), 2 (unlinked), 3 (its child).
    f.host.fake(1)->tagText = "1|1|0|0|0|-1|2|3|2";
    f.host.fake(2)->tagText = "2|1|0|0|0|1|3";
    f.host.fake(3)->tagText = "2|1|0|0|0|2";
    f.tabs->UnlinkTabRelations(2);
    EXPECT_EQ(f.host.fake(1)->tagText, "1|1|0|0|0|-1|3");
    EXPECT_EQ(f.host.fake(3)->tagText, "2|1|0|0|0|-1");
    EXPECT_EQ(f.host.fake(2)->tagText, "2|1|0|0|0|1|3");

    // A missing opener or child changes nothing else; a short record of
    // the opener is left alone.
    f.host.fake(1)->tagText = "1|1";
    f.host.fake(2)->tagText = "2|1|0|0|0|1|9";
    f.tabs->UnlinkTabRelations(2);
    EXPECT_EQ(f.host.fake(1)->tagText, "1|1");

    // ResetTab unlinks, gives the initial record and the blank page.
    f.host.fake(1)->tagText = "1|1|0|0|0|-1|2";
    f.host.fake(2)->tagText = "2|1|0|0|0|1";
    f.tabs->ResetTab(2);
    EXPECT_EQ(f.host.fake(1)->tagText, "1|1|0|0|0|-1");
    EXPECT_EQ(f.host.fake(2)->tagText, kInitialTabState);
    EXPECT_TRUE(f.host.fake(2)->navigated.last().endsWith("Z5_BlankPage.HTM"));
}
