#pragma once

// The pictures of the skins and of the browser's own resources, drawn in code.
//
// Every picture a skin hands out is listed once in pictureTable() with its
// exact size and bit depth; drawSkinPicture() draws any of them for a skin.
// The browser's own bitmaps and message icons are listed in
// programResourceTable() and come as ready file bytes (BMP or ICO).

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>
#include <vector>

namespace skinart {

// One picture of the skin plan: identifier, resource kind (0 = bitmap),
// size in pixels, bits per pixel (24 or 8) and a short description.
struct PictureSpec {
    int id;
    int resType;
    int width;
    int height;
    int bitDepth;
    const char* what;
};

// Every picture identifier of the skin plan, in rising order.
const std::vector<PictureSpec>& pictureTable();

// The table entry of one identifier, or nullptr when the plan has none.
const PictureSpec* findPicture(int id);

enum class Skin { Morvane1, BlueSky };

// The picture of identifier id in the given skin, at the size and depth of
// its table entry (Format_RGB888 for 24 bits, Format_Indexed8 for 8 bits);
// nullopt for an identifier the plan does not have.
std::optional<QImage> drawSkinPicture(Skin skin, int id);

// One resource of the browser program itself: type "BITMAP" or "MESSAGE".
struct ResourceSpec {
    QString type;
    int id;
    int width;
    int height;
    QString what;
};

const std::vector<ResourceSpec>& programResourceTable();

// File bytes of one program resource: a 24-bit BMP file for "BITMAP", a
// single-image ICO file for "MESSAGE"; nullopt for an unknown type or id.
std::optional<QByteArray> programResourceBytes(const QString& type, int id);

// The picture a program resource stands for (decoded from the same drawing).
std::optional<QImage> drawProgramResource(const QString& type, int id);

// The skin-removal tool's own pictures, in the shipped skin's style:
// "BITMAP" 101 the separator strip, 102 to 105 the push button (normal,
// hover, focus, pressed), all 24 bits per pixel; "ICON" 1 the program's
// 32 x 32 icon. nullopt for anything else.
const std::vector<ResourceSpec>& removalToolResourceTable();
std::optional<QImage> drawRemovalToolResource(const QString& type, int id);

} // namespace skinart
