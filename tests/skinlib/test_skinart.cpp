#include "skinlib/art/skinart.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <QImageReader>
#include <QtEndian>

#include <cmath>
#include <set>

using skinart::Skin;

namespace {

const Skin BothSkins[] = {Skin::Morvane1, Skin::BlueSky};

QImage picture(Skin skin, int id)
{
    const auto img = skinart::drawSkinPicture(skin, id);
    EXPECT_TRUE(img.has_value()) << "id " << id;
    return img ? img->convertToFormat(QImage::Format_RGB32) : QImage();
}

// Largest difference of one channel between two colours.
int colourDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// Share of pixels that differ clearly between two pictures of one size.
double changedShare(const QImage& a, const QImage& b)
{
    int changed = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (colourDistance(a.pixel(x, y), b.pixel(x, y)) > 24)
                ++changed;
    return double(changed) / (a.width() * a.height());
}

int worstColumnDistance(const QImage& a, int ax, const QImage& b, int bx)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        worst = std::max(worst, colourDistance(a.pixel(ax, y), b.pixel(bx, y)));
    return worst;
}

QImage decoded(const QByteArray& bytes, const char* format)
{
    QBuffer buf;
    buf.setData(bytes);
    QImageReader reader(&buf, format);
    return reader.read();
}

} // namespace

// Sizes that other parts of the browser read from the pictures themselves.
TEST(SkinArtTable, HoldsThePlanWithItsFixedSizes)
{
    struct Case { int id; int w; int h; int depth; };
    const Case cases[] = {
        {103, 5, 29, 24}, {123, 5, 5, 24}, {124, 5, 5, 24}, {125, 8, 5, 24}, {128, 80, 18, 8},
        {129, 40, 20, 24}, {130, 100, 20, 24}, {131, 312, 12, 24}, {132, 5, 18, 24}, {149, 12, 12, 24},
        {152, 12, 12, 24}, {171, 20, 20, 24}, {199, 20, 20, 24}, {200, 15, 18, 24}, {202, 15, 18, 24},
        {203, 16, 16, 24}, {204, 17, 18, 24}, {218, 17, 18, 24}, {399, 100, 18, 24}, {402, 100, 18, 24},
        {411, 60, 18, 24}, {417, 60, 18, 24}, {554, 22, 18, 8}, {559, 22, 18, 8}, {500, 25, 32, 24},
        {506, 25, 20, 24}, {560, 8, 7, 24}, {565, 8, 7, 24},
    };
    for (const Case& c : cases) {
        const skinart::PictureSpec* spec = skinart::findPicture(c.id);
        ASSERT_NE(spec, nullptr) << c.id;
        EXPECT_EQ(spec->width, c.w) << c.id;
        EXPECT_EQ(spec->height, c.h) << c.id;
        EXPECT_EQ(spec->bitDepth, c.depth) << c.id;
        EXPECT_EQ(spec->resType, 0) << c.id;
    }
    // Identifiers the shipped skin leaves out are not in the plan.
    for (int id : {101, 102, 126, 127, 153, 170, 219, 263, 279, 283, 387, 389, 409, 410, 413, 415, 418, 499, 566})
        EXPECT_EQ(skinart::findPicture(id), nullptr) << id;
    // Every button group of the plan is complete, 171 to 199 without a gap.
    for (int id = 171; id <= 199; ++id)
        EXPECT_NE(skinart::findPicture(id), nullptr) << id;
    for (int id = 500; id <= 565; ++id)
        EXPECT_NE(skinart::findPicture(id), nullptr) << id;
    for (int id = 284; id <= 386; ++id)
        EXPECT_NE(skinart::findPicture(id), nullptr) << id;
    // Only the delay display and its two buttons are 8 bits deep.
    for (const auto& spec : skinart::pictureTable())
        EXPECT_EQ(spec.bitDepth, (spec.id == 128 || (spec.id >= 554 && spec.id <= 559)) ? 8 : 24) << spec.id;
}

TEST(SkinArtTable, IsSortedAndUnique)
{
    std::set<int> seen;
    int last = 0;
    for (const auto& spec : skinart::pictureTable()) {
        EXPECT_GT(spec.id, last);
        EXPECT_TRUE(seen.insert(spec.id).second);
        EXPECT_NE(spec.what, nullptr);
        last = spec.id;
    }
}

TEST(SkinArtDrawing, EveryPictureHasItsSizeAndDepthInBothSkins)
{
    for (Skin skin : BothSkins)
        for (const auto& spec : skinart::pictureTable()) {
            const auto img = skinart::drawSkinPicture(skin, spec.id);
            ASSERT_TRUE(img.has_value()) << spec.id;
            EXPECT_EQ(img->width(), spec.width) << spec.id;
            EXPECT_EQ(img->height(), spec.height) << spec.id;
            EXPECT_EQ(img->depth(), spec.bitDepth) << spec.id;
            if (spec.bitDepth == 8) {
                EXPECT_EQ(img->format(), QImage::Format_Indexed8) << spec.id;
                EXPECT_LE(img->colorCount(), 256) << spec.id;
            }
        }
}

TEST(SkinArtDrawing, UnknownIdentifiersGiveNothing)
{
    for (int id : {0, -1, 101, 127, 126, 170, 300000, 566})
        EXPECT_FALSE(skinart::drawSkinPicture(Skin::Morvane1, id).has_value()) << id;
}

TEST(SkinArtDrawing, TheTwoSkinsLookDifferent)
{
    for (int id : {105, 117, 120, 171, 399, 506}) {
        const QImage a = picture(Skin::Morvane1, id);
        const QImage b = picture(Skin::BlueSky, id);
        EXPECT_GT(changedShare(a, b), 0.3) << id;
    }
}

TEST(SkinArtDrawing, ShippedPaletteComesFromTheSkinColours)
{
    // The side pane colour "&HB77B5E" is the ground of the list buttons.
    const QImage button = picture(Skin::Morvane1, 306);
    EXPECT_LE(colourDistance(button.pixel(0, 0), qRgb(0x5E, 0x7B, 0xB7)), 2);
}

// Normal, hover, pressed and disabled faces must be told apart at a glance.
TEST(SkinArtButtons, StatesDifferVisibly)
{
    struct Case { int base; int states; };
    const Case cases[] = {
        {171, 4}, {175, 4}, {179, 3}, {182, 3}, {185, 3}, {188, 3}, {191, 3}, {194, 3}, {197, 3},
        {200, 3}, {204, 3}, {207, 3}, {210, 3}, {213, 3}, {216, 3}, {264, 3}, {267, 3}, {270, 3},
        {273, 3}, {276, 3}, {284, 3}, {287, 3}, {290, 4}, {294, 4}, {298, 4}, {302, 4}, {306, 3},
        {309, 3}, {327, 3}, {384, 3}, {390, 3}, {393, 3}, {396, 3}, {403, 3}, {406, 3}, {500, 3},
        {503, 3}, {506, 4}, {510, 4}, {514, 4}, {522, 4}, {534, 4}, {538, 4}, {550, 4}, {554, 3},
        {557, 3}, {560, 3}, {563, 3},
    };
    for (Skin skin : BothSkins)
        for (const Case& c : cases)
            for (int i = 0; i < c.states; ++i)
                for (int j = i + 1; j < c.states; ++j) {
                    const QImage a = picture(skin, c.base + i);
                    const QImage b = picture(skin, c.base + j);
                    EXPECT_GT(changedShare(a, b), 0.08) << c.base << " states " << i << " and " << j;
                }
}

TEST(SkinArtButtons, ShowHideAndTabFacesDifferVisibly)
{
    const std::pair<int, int> pairs[] = {{133, 134}, {135, 136}, {137, 138}, {139, 140}, {141, 142},
                                         {143, 144}, {145, 146}, {147, 148}, {399, 400}, {400, 401},
                                         {401, 402}, {149, 150}, {151, 152}, {411, 412}, {416, 417}};
    for (Skin skin : BothSkins)
        for (const auto& [a, b] : pairs)
            EXPECT_GT(changedShare(picture(skin, a), picture(skin, b)), 0.05) << a << " and " << b;
}

TEST(SkinArtButtons, GlyphsOfOneRowDiffer)
{
    // Every command of a row carries its own symbol.
    const int navigation[] = {171, 175, 179, 182, 185, 188, 191, 194, 197};
    const int media[] = {506, 510, 514, 518, 522, 526, 530, 534, 538, 542, 546, 550};
    const int commands[] = {327, 330, 333, 336, 339, 342, 345, 348, 351, 354, 357, 360,
                            363, 366, 369, 372, 375, 378, 381, 384, 309, 312, 315, 318, 321, 324};
    auto allDistinct = [](const int* ids, int n) {
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                EXPECT_GT(changedShare(picture(Skin::Morvane1, ids[i]), picture(Skin::Morvane1, ids[j])), 0.01)
                    << ids[i] << " and " << ids[j];
    };
    allDistinct(navigation, int(std::size(navigation)));
    allDistinct(media, int(std::size(media)));
    allDistinct(commands, int(std::size(commands)));
}

// The layout stretches the edges and sets the pieces side by side; where two
// pieces meet, the columns (or rows) that touch must carry the same colours.
TEST(SkinArtFrame, StretchedPiecesRepeatAlongTheirLength)
{
    for (Skin skin : BothSkins) {
        for (int id : {105, 117, 118, 120, 121, 132}) { // stretched or clipped in width
            const QImage img = picture(skin, id);
            for (int x = 1; x < img.width(); ++x)
                ASSERT_EQ(worstColumnDistance(img, 0, img, x), 0) << id << " column " << x;
        }
        for (int id : {119, 122, 125}) { // stretched in height
            const QImage img = picture(skin, id);
            for (int y = 1; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    ASSERT_EQ(img.pixel(x, y), img.pixel(x, 0)) << id << " row " << y;
        }
    }
}

TEST(SkinArtFrame, NeighbouringPiecesJoinWithoutSeams)
{
    // Left piece, right piece: the last column of the first meets the first
    // column of the second.
    const std::pair<int, int> sideBySide[] = {
        {104, 105}, {105, 106}, {106, 117}, {108, 117}, {117, 110}, // top bar, menu shown and hidden
        {109, 118}, {118, 111},                                     // top bar hidden
        {114, 120}, {115, 120}, {120, 112},                         // bottom bar
        {116, 121}, {121, 113},                                     // bottom bar hidden
    };
    for (Skin skin : BothSkins)
        for (const auto& [l, r] : sideBySide) {
            const QImage a = picture(skin, l);
            const QImage b = picture(skin, r);
            ASSERT_EQ(a.height(), b.height()) << l << "|" << r;
            EXPECT_LE(worstColumnDistance(a, a.width() - 1, b, 0), 12) << l << "|" << r;
        }

    // Upper piece, lower piece: the side edges run on from the corners of the
    // bars above and below them.
    struct Stack { int upper; int lower; bool left; };
    const Stack stacks[] = {
        {104, 122, true}, {108, 122, true}, {109, 122, true}, {110, 119, false}, {111, 119, false},
        {122, 114, true}, {122, 115, true}, {122, 116, true}, {119, 112, false}, {119, 113, false},
    };
    for (Skin skin : BothSkins)
        for (const Stack& s : stacks) {
            const QImage up = picture(skin, s.upper);
            const QImage low = picture(skin, s.lower);
            for (int i = 0; i < 5; ++i) {
                const int ux = s.left ? i : up.width() - 1 - i;
                const int lx = s.left ? i : low.width() - 1 - i;
                EXPECT_EQ(up.pixel(ux, up.height() - 1), low.pixel(lx, 0))
                    << s.upper << " over " << s.lower << " column " << i;
            }
        }
}

TEST(SkinArtFrame, BarsOfOneStateShareTheirHeight)
{
    auto h = [](int id) { return skinart::findPicture(id)->height; };
    for (int id : {104, 105, 106, 108, 117})
        EXPECT_EQ(h(id), h(110)) << id;
    for (int id : {109, 118})
        EXPECT_EQ(h(id), h(111)) << id;
    for (int id : {114, 115, 120})
        EXPECT_EQ(h(id), h(112)) << id;
    for (int id : {116, 121})
        EXPECT_EQ(h(id), h(113)) << id;
    EXPECT_EQ(skinart::findPicture(119)->width, skinart::findPicture(122)->width);
}

TEST(SkinArtFrame, ColourBarHoldsTwentySixCells)
{
    // 312 pixels in 26 cells of 12: white at the left end, black at the right.
    const QImage bar = picture(Skin::Morvane1, 131);
    EXPECT_EQ(QColor(bar.pixel(6, 6)), QColor(Qt::white));
    EXPECT_EQ(QColor(bar.pixel(25 * 12 + 6, 6)), QColor(Qt::black));
    EXPECT_EQ(QColor(bar.pixel(21 * 12 + 6, 6)), QColor(Qt::red));
}

TEST(SkinArtProgram, ResourcesDecodeAtTheirSizes)
{
    for (const auto& spec : skinart::programResourceTable()) {
        const auto bytes = skinart::programResourceBytes(spec.type, spec.id);
        ASSERT_TRUE(bytes.has_value()) << spec.type.toStdString() << " " << spec.id;
        const bool icon = spec.type == "MESSAGE";
        const QImage img = decoded(*bytes, icon ? "ico" : "bmp");
        ASSERT_FALSE(img.isNull()) << spec.type.toStdString() << " " << spec.id;
        EXPECT_EQ(img.size(), QSize(spec.width, spec.height)) << spec.id;
        if (icon) {
            // A single-image icon file whose corners are transparent.
            EXPECT_EQ(qFromLittleEndian<quint16>(bytes->constData() + 2), 1);
            EXPECT_EQ(qFromLittleEndian<quint16>(bytes->constData() + 4), 1);
            EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
            EXPECT_GT(qAlpha(img.pixel(16, 16)), 200);
        } else {
            EXPECT_TRUE(bytes->startsWith("BM"));
            EXPECT_EQ(qFromLittleEndian<quint16>(bytes->constData() + 28), 24) << spec.id; // bits per pixel
        }
    }
}

TEST(SkinArtProgram, NamedResourcesAreThere)
{
    struct Case { const char* type; int id; int w; int h; };
    const Case cases[] = {
        {"MESSAGE", 101, 32, 32}, {"MESSAGE", 104, 32, 32}, {"BITMAP", 101, 100, 23}, {"BITMAP", 104, 100, 23},
        {"BITMAP", 120, 290, 3},  {"BITMAP", 124, 20, 20},  {"BITMAP", 126, 20, 20},  {"BITMAP", 105, 32, 21},
        {"BITMAP", 112, 32, 21},
    };
    for (const Case& c : cases) {
        const auto img = skinart::drawProgramResource(c.type, c.id);
        ASSERT_TRUE(img.has_value()) << c.type << " " << c.id;
        EXPECT_EQ(img->size(), QSize(c.w, c.h)) << c.type << " " << c.id;
    }
    EXPECT_FALSE(skinart::programResourceBytes("BITMAP", 119).has_value());
    EXPECT_FALSE(skinart::programResourceBytes("BITMAP", 127).has_value());
    EXPECT_FALSE(skinart::programResourceBytes("MESSAGE", 105).has_value());
    EXPECT_FALSE(skinart::programResourceBytes("ICON", 101).has_value());
}

TEST(SkinArtProgram, ButtonFacesAndIconsDiffer)
{
    auto img = [](const char* type, int id) {
        return skinart::drawProgramResource(type, id)->convertToFormat(QImage::Format_RGB32);
    };
    for (int first : {101, 105, 109})
        for (int i = 0; i < 4; ++i)
            for (int j = i + 1; j < 4; ++j)
                EXPECT_GT(changedShare(img("BITMAP", first + i), img("BITMAP", first + j)), 0.05)
                    << first + i << " and " << first + j;
    for (int i = 124; i <= 126; ++i)
        for (int j = i + 1; j <= 126; ++j)
            EXPECT_GT(changedShare(img("BITMAP", i), img("BITMAP", j)), 0.05) << i << " and " << j;
    for (int i = 101; i <= 104; ++i)
        for (int j = i + 1; j <= 104; ++j)
            EXPECT_GT(changedShare(img("MESSAGE", i), img("MESSAGE", j)), 0.1) << i << " and " << j;
}
