#include "lists/listpanetables.h"

#include "core/language.h"

namespace listpane {

namespace {

struct Text {
    const char* key;
    const char* english;
};

// Bases of buttons 0-9 by kind (columns 1-6); 0 for a button the kind lacks.
constexpr int16_t kBases[10][6] = {
    {306, 306, 306, 306, 306, 306}, {309, 312, 315, 318, 321, 324}, {348, 351, 354, 345, 342, 357},
    {333, 333, 339, 330, 333, 360}, {330, 330, 333, 327, 330, 333}, {327, 327, 330, 375, 327, 336},
    {336, 336, 327, 378, 336, 366}, {363, 363, 336, 381, 0, 369},   {372, 372, 363, 363, 0, 372},
    {0, 0, 372, 384, 0, 0},
};

constexpr int kUsed[6] = {8, 8, 9, 9, 6, 8};

constexpr Text kNames[6] = {{"030201", "Audio List"},       {"030202", "Video List"},
                            {"030203", "Image List"},       {"030204", "Web Snippet List"},
                            {"030205", "Link List"},        {"030206", "Download File List"}};

// Tooltips of buttons 2-9 by kind ("MENU-09"); the video list's buttons 3-8
// are the audio list's.
constexpr Text kTips[8][6] = {
    {{"0921", "Add Links To Audio Files"}, {"0922", "Add Links To Video Files"}, {"0923", "Add Links To Image Files"},
     {"0925", "Add Web Snippet"}, {"0926", "Add Page Address"}, {"0927", "Add Links To Files"}},
    {{"0911", "Add Links On Page"}, {"0911", "Add Links On Page"}, {"0924", "Add Images On Page "},
     {"0912", "Add Files ..."}, {"0911", "Add Links On Page"}, {"0928", "Add Links To Exe, Zip, Rar Files"}},
    {{"0912", "Add Files ..."}, {"0912", "Add Files ..."}, {"0911", "Add Links On Page"},
     {"0913", "Add All Files In Folder ..."}, {"0912", "Add Files ..."}, {"0911", "Add Links On Page"}},
    {{"0913", "Add All Files In Folder ..."}, {"0913", "Add All Files In Folder ..."}, {"0912", "Add Files ..."},
     {"0931", "View All"}, {"0913", "Add All Files In Folder ..."}, {"0914", "Add Manually ..."}},
    {{"0914", "Add Manually ..."}, {"0914", "Add Manually ..."}, {"0913", "Add All Files In Folder ..."},
     {"0932", "View Selected Files"}, {"0914", "Add Manually ..."}, {"0935", "Download All"}},
    {{"0915", "Delete Selected Files"}, {"0915", "Delete Selected Files"}, {"0914", "Add Manually ..."},
     {"0933", "Merge Selected Files"}, {nullptr, nullptr}, {"0936", "Download Selected Files"}},
    {{"0916", "Download Setup ..."}, {"0916", "Download Setup ..."}, {"0915", "Delete Selected Files"},
     {"0915", "Delete Selected Files"}, {nullptr, nullptr}, {"0916", "Download Setup ..."}},
    {{nullptr, nullptr}, {nullptr, nullptr}, {"0916", "Download Setup ..."}, {"0934", "View Setup"},
     {nullptr, nullptr}, {nullptr, nullptr}},
};

bool validKind(int kind)
{
    return kind >= 1 && kind <= 6;
}

QString lang(const char* section, const Text& t)
{
    return t.key ? GetLangString(QLatin1String(section), QLatin1String(t.key), QLatin1String(t.english)) : QString();
}

} // namespace

int ButtonsUsed(int kind)
{
    return validKind(kind) ? kUsed[kind - 1] : 0;
}

int16_t ButtonPicture(int button, int kind, int sortOrder)
{
    switch (button) {
    case 10: return sortOrder == 0 ? 284 : 287;
    case 11: return 290;
    case 12: return 294;
    case 13: return 298;
    case 14: return 302;
    default: break;
    }
    if (button < 0 || button > 9 || !validKind(kind))
        return 0;
    return kBases[button][kind - 1];
}

QString ListName(int kind)
{
    return validKind(kind) ? lang("MENU-03", kNames[kind - 1]) : QString();
}

QString ButtonTooltip(int button, int kind)
{
    if (!validKind(kind))
        return {};
    if (button == 1)
        return ListName(kind);
    if (button < 2 || button > 9)
        return {};
    return lang("MENU-09", kTips[button - 2][kind - 1]);
}

QString FixedButtonTooltip(int button)
{
    static constexpr Text tips[5] = {{"3301", "Move Selected Item UP"},
                                     {"3302", "Move Selected Item DOWN"},
                                     {"3303", "Remove Selected Item"},
                                     {"3304", "Clear Playlist"},
                                     {"3300", "Playlist Menu"}};
    if (button == 0)
        return lang("TOOLBAR-PLAYLIST", tips[4]);
    if (button >= 11 && button <= 14)
        return lang("TOOLBAR-PLAYLIST", tips[button - 11]);
    return {};
}

} // namespace listpane
