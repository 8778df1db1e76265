// The coverage grid and its 2:1 reduction into grey pixels.
#include "host/ui/graph_grid.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

uint8_t pixelAt(const std::vector<uint8_t>& pixels, int width, int r, int c) {
    return pixels[(size_t(r) * size_t(width) + size_t(c)) * 4];
}

TEST(GraphToneTable, FollowsTheSineShoulder) {
    struct Case { int s; int level; };
    for (const Case& k : {Case{0, 64}, Case{7, 70}, Case{70, 130}, Case{140, 184}, Case{224, 220}, Case{255, 223}}) {
        EXPECT_EQ(graphToneTable[k.s], k.level) << "s " << k.s;
    }
}

TEST(GraphGrid, EmptyGridReducesToDarkHalfTransparentSquareWithClearEdges) {
    GraphGrid grid(50, 50);
    ASSERT_TRUE(grid.ok());
    EXPECT_EQ(grid.rows(), 100);
    EXPECT_EQ(grid.columns(), 100);
    std::vector<uint8_t> pixels(50 * 50 * 4, 0xAB);
    grid.reduceInto(pixels.data());
    for (int r = 0; r < 50; ++r) {
        for (int c = 0; c < 50; ++c) {
            const uint8_t expected = (r < 48 && c < 48) ? 64 : 0;
            for (int b = 0; b < 4; ++b) {
                ASSERT_EQ(pixels[(size_t(r) * 50 + size_t(c)) * 4 + size_t(b)], expected) << r << "," << c;
            }
        }
    }
}

// Cell (5, 5) lies in the windows of pixels (1..2, 1..2): at block row/column 2
// for pixel 1 (window starts at 3) and 0 for pixel 2 (window starts at 5). Sums
// are 7 x weight: 3 -> 21, 2 -> 14, 1 -> 7; grey 64 + int(159 sin(s/255 x pi/2)):
// 64 + 20 = 84, 64 + 13 = 77, 64 + 6 = 70.
TEST(GraphGrid, OneCoveredCellWeighsIntoFourPixels) {
    GraphGrid grid(10, 10);
    grid.cover(5, 5);
    std::vector<uint8_t> pixels(10 * 10 * 4);
    grid.reduceInto(pixels.data());
    EXPECT_EQ(pixelAt(pixels, 10, 1, 1), 84);
    EXPECT_EQ(pixelAt(pixels, 10, 1, 2), 77);
    EXPECT_EQ(pixelAt(pixels, 10, 2, 1), 77);
    EXPECT_EQ(pixelAt(pixels, 10, 2, 2), 70);
    EXPECT_EQ(pixelAt(pixels, 10, 0, 0), 64);
    EXPECT_EQ(pixelAt(pixels, 10, 3, 3), 64);
}

TEST(GraphGrid, FullWindowReachesTheTop) {
    GraphGrid grid(10, 10);
    for (int r = 1; r <= 4; ++r) {
        for (int c = 1; c <= 4; ++c) grid.cover(r, c);
    }
    std::vector<uint8_t> pixels(10 * 10 * 4);
    grid.reduceInto(pixels.data());
    EXPECT_EQ(pixelAt(pixels, 10, 0, 0), 220);
}

// Images that are not square keep rows of their own width.
TEST(GraphGrid, RowsFollowTheImageWidth) {
    GraphGrid grid(20, 6);
    EXPECT_EQ(grid.rows(), 12);
    EXPECT_EQ(grid.columns(), 40);
    // Cell (3, 37) lies in the windows of pixels (0..1, 17..18); column 18 is one
    // of the last two and stays clear.
    grid.cover(3, 37);
    std::vector<uint8_t> pixels(20 * 6 * 4);
    grid.reduceInto(pixels.data());
    EXPECT_EQ(pixelAt(pixels, 20, 0, 17), 84);  // block (2, 2): weight 3, sum 21
    EXPECT_EQ(pixelAt(pixels, 20, 1, 17), 77);  // block (0, 2): weight 2, sum 14
    EXPECT_EQ(pixelAt(pixels, 20, 0, 18), 0);
    EXPECT_EQ(pixelAt(pixels, 20, 3, 16), 64);
    EXPECT_EQ(pixelAt(pixels, 20, 4, 16), 0);
}

TEST(GraphGrid, CellsOutsideAreIgnored) {
    GraphGrid grid(4, 4);
    for (int k : {-1, 8, 1000}) {
        grid.cover(k, 3);
        grid.cover(3, k);
    }
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) EXPECT_EQ(grid.cell(r, c), 0);
    }
    grid.cover(7, 7);
    EXPECT_EQ(grid.cell(7, 7), GraphGrid::kCovered);
}

TEST(GraphGrid, NoCellsForAnEmptySize) {
    EXPECT_FALSE(GraphGrid(0, 50).ok());
    EXPECT_FALSE(GraphGrid(50, -1).ok());
}

}  // namespace
