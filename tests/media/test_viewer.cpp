// The image viewer's geometry: the cells of each page layout and where a
// picture goes in its cell.

#include "media/imageviewer.h"

#include <gtest/gtest.h>

#include <cmath>

using Cell = ImageViewer::CellRect;

void PrintTo(const Cell& c, std::ostream* os)
{
    *os << "{L " << c.Left << " T " << c.Top << " H " << c.Height << " W " << c.Width << "}";
}

TEST(ViewerLayout, EachPageSizeGivesItsGridInA6000By3000Pane)
{
    struct Case {
        int perView;
        std::vector<Cell> cells;
    } cases[] = {
        {1, {{0, 0, 3000, 6000}}},
        {2, {{0, 0, 3000, 3000}, {3000, 0, 3000, 3000}}},
        {3, {{0, 0, 3000, 3000}, {3000, 0, 1500, 3000}, {3000, 1500, 1500, 3000}}},
        {4, {{0, 0, 1500, 3000}, {3000, 0, 1500, 3000}, {0, 1500, 1500, 3000}, {3000, 1500, 1500, 3000}}},
        {6,
         {{0, 0, 1500, 2000}, {2000, 0, 1500, 2000}, {4000, 0, 1500, 2000},
          {0, 1500, 1500, 2000}, {2000, 1500, 1500, 2000}, {4000, 1500, 1500, 2000}}},
        {8,
         {{0, 0, 1500, 1500}, {1500, 0, 1500, 1500}, {3000, 0, 1500, 1500}, {4500, 0, 1500, 1500},
          {0, 1500, 1500, 1500}, {1500, 1500, 1500, 1500}, {3000, 1500, 1500, 1500}, {4500, 1500, 1500, 1500}}},
    };
    for (const Case& c : cases) {
        std::vector<Cell> cells;
        ImageViewer::ComputeCellRects(c.perView, 6000, 3000, cells);
        ASSERT_EQ(cells.size(), static_cast<size_t>(c.perView) + 1) << c.perView;
        for (size_t i = 0; i < c.cells.size(); ++i)
            EXPECT_EQ(cells[i], c.cells[i]) << c.perView << " per view, cell " << i;
    }
}

// Halves round to the even neighbour; a size no layout knows keeps the
// cells as they were; a pane of no size (or a broken one) gives cells of
// no size, never a NaN turned into a number.
TEST(ViewerLayout, RoundingOddSizesAndEmptyPanes)
{
    std::vector<Cell> cells;
    ImageViewer::ComputeCellRects(8, 1002, 3, cells);
    EXPECT_EQ(cells[1], (Cell{250, 0, 2, 250})) << "250.5 rounds to 250, 1.5 to 2";
    EXPECT_EQ(cells[3], (Cell{752, 0, 2, 250})) << "751.5 rounds to 752";

    std::vector<Cell> kept{{1, 2, 3, 4}};
    ImageViewer::ComputeCellRects(5, 6000, 3000, kept);
    EXPECT_EQ(kept[0], (Cell{1, 2, 3, 4}));
    EXPECT_EQ(kept.size(), 6u);

    for (double size : {0.0, -500.0, double(std::nan("")), double(INFINITY)}) {
        for (int perView : {1, 2, 3, 4, 6, 8}) {
            std::vector<Cell> none;
            ImageViewer::ComputeCellRects(perView, size, size, none);
            for (const Cell& c : none)
                EXPECT_EQ(c, (Cell{})) << perView << " per view in a pane of " << size;
        }
    }
}

// A picture keeps its proportions, shrinks to its cell and never grows;
// it is centred across, at the cell's top, inside 30 twips all round.
TEST(ViewerLayout, APictureFitsItsCellWithoutGrowing)
{
    const Cell cell{2000, 1500, 1500, 2000};
    struct Case {
        double w, h;
        QRectF at;
    } cases[] = {
        {600, 300, QRectF(2000 + 700 + 30, 1530, 540, 240)},   // smaller: kept, less the margin
        {4000, 3000, QRectF(2000 + 30, 1530, 1940, 1440)},      // twice the cell: cell size less the margin
        {1000, 6000, QRectF(2000 + 875 + 30, 1530, 190, 1440)}, // tall: height bound
        {8000, 1000, QRectF(2030, 1530, 1940, 190)},            // wide: width bound
    };
    for (const Case& c : cases) {
        const QRectF r = ImageViewer::FitInCell(cell, c.w, c.h);
        EXPECT_NEAR(r.left(), c.at.left(), 0.01) << c.w << "x" << c.h;
        EXPECT_NEAR(r.top(), c.at.top(), 0.01) << c.w << "x" << c.h;
        EXPECT_NEAR(r.width(), c.at.width(), 0.01) << c.w << "x" << c.h;
        EXPECT_NEAR(r.height(), c.at.height(), 0.01) << c.w << "x" << c.h;
    }
    EXPECT_TRUE(ImageViewer::FitInCell(Cell{0, 0, 0, 2000}, 600, 300).isEmpty()) << "a cell of no height";
    EXPECT_TRUE(ImageViewer::FitInCell(cell, 600, 0).isEmpty()) << "a picture of no height";
    EXPECT_TRUE(ImageViewer::FitInCell(cell, 50, 50).isEmpty()) << "nothing left inside the margin";
    EXPECT_TRUE(ImageViewer::FitInCell(cell, std::nan(""), 300).isEmpty());
}
