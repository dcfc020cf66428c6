#include "skinlib/skinstrings.h"

#include <iterator>

namespace skinstrings {

namespace {

struct Entry {
    int id;
    const char* morvane1;
    const char* blueSky;
};

// Geometry, counts and the stretch flag are the same in both skins; the
// colours differ (Blue Sky's follow its palette in the art library). 109 is
// absent from every skin.
constexpr Entry kEntries[] = {
    {101, "&HB77B5E", "&HE8C38F"}, // side pane background
    {102, "&HFFFFFF", "&H663F16"}, // address box text
    {103, "&HB77B5E", "&HE8C38F"}, // address box frame
    {104, "&HE59F79", "&HFBEED8"}, // list pane
    {105, "&HFFFFFF", "&HFFFFFF"}, // list pane
    {106, "180", "180"},
    {107, "1", "1"},
    {108, "75", "75"},
    {110, "75", "75"},
    {111, "40", "40"},
    {112, "4300", "4300"},
    {113, "100", "100"},
    {114, "100", "100"},
    {115, "85", "85"},
    {116, "T", "T"},
    {117, "120", "120"},
    {118, "50", "50"},
    {119, "400", "400"},
    {120, "25", "25"},
    {121, "&HECECEC", "&HFBF8F4"}, // popup menu
    {122, "&HFFFFFF", "&H663F16"}, // labels
    {123, "&H00FF00", "&H489E2E"},
    {124, "&HC0C0C0", "&H808080"},
    {125, "&HFFFFFF", "&H663F16"},
    {126, "100", "100"},
    {127, "&HFFFFFF", "&H663F16"},
    {128, "&H000000", "&H000000"},
    {129, "120", "120"},
    {130, "120", "120"},
    {131, "&H0", "&HFFFFFF"},      // progress bar background
    {132, "&HE39673", "&H2F9AF5"}, // progress bar
    {133, "&HB77B5E", "&HE8C38F"},
    {134, "&HFFFFFF", "&H663F16"}, // tab captions
    {135, "&HFFFFFF", "&H663F16"},
    {136, "&HFFD09E", "&HA8E0FF"},
    {137, "200", "200"},
    {138, "450", "450"},
    {139, "375", "375"},
    {140, "375", "375"},
    {141, "450", "450"},
    {142, "275", "275"},
    {143, "275", "275"},
    {144, "50", "50"},
    {145, "200", "200"},
    {146, "75", "75"},
    {147, "50", "50"},
    {148, "360", "360"},
    {149, "26", "26"},
    {150, "0", "0"},
    {151, "25", "25"},
    {152, "75", "75"},
    {153, "&H0000FF", "&H2E3AD0"},
    {154, "0", "0"},
    {155, "275", "275"},
    {156, "150", "150"},
    {157, "425", "425"},
};

} // namespace

std::optional<QString> lookup(Table table, int id)
{
    for (const Entry& e : kEntries) {
        if (e.id == id)
            return QString::fromLatin1(table == Table::Morvane1 ? e.morvane1 : e.blueSky);
    }
    return std::nullopt;
}

} // namespace skinstrings
