#include <gtest/gtest.h>

#include "host/ui/graph_grid.h"
#include "host/ui/split_graph.h"
#include "tests/host/graph_cells.h"

namespace {

constexpr PF_Fixed kDegree = 65536;

void dashedCross(ExpectedCells& e) {
    for (int32_t u = 0; u < 100; ++u) {
        if ((u & 2) == 0) continue;
        for (int32_t middle : {49, 50}) {
            e.cover(middle, u);
            e.cover(u, middle);
        }
    }
}

void disc(ExpectedCells& e, int32_t top, int32_t left) {
    e.columns(top, left + 2, left + 5);
    e.columns(top + 1, left + 1, left + 6);
    for (int32_t r = 2; r <= 5; ++r) e.columns(top + r, left, left + 7);
    e.columns(top + 6, left + 1, left + 6);
    e.columns(top + 7, left + 2, left + 5);
}

TEST(SplitGraph, NoItemsDrawOnlyTheDashedCross) {
    for (int32_t count : {0, -3}) {
        GraphGrid grid(50, 50);
        drawSplitCells(grid, SplitValues{count, 0, 1, 0.0f}, 50, 50);
        ExpectedCells e;
        dashedCross(e);
        EXPECT_TRUE(sameCells(grid, e)) << count;
    }
}

TEST(SplitGraph, OneItemIsADiscAtTheBottomOfTheCircle) {
    // Angle 0: 40 below the centre cell (50, 50), the disc's top-left 4 cells up and left.
    GraphGrid grid(50, 50);
    drawSplitCells(grid, SplitValues{1, 0, 1, 0.0f}, 50, 50);
    ExpectedCells e;
    dashedCross(e);
    disc(e, 86, 46);
    EXPECT_TRUE(sameCells(grid, e));
}

struct DotCase {
    SplitValues values;
    int32_t item;
    int32_t row;
    int32_t column;
};

TEST(SplitGraph, ItemsLieOnTheCircleAndArePulledTowardTheirGroups) {
    const DotCase cases[] = {
        // Four items, no pull: bottom, right, top, left.
        {{4, 0, 1, 0.0f}, 0, 86, 46},
        {{4, 0, 1, 0.0f}, 1, 46, 86},
        {{4, 0, 1, 0.0f}, 2, 6, 46},
        {{4, 0, 1, 0.0f}, 3, 46, 6},
        // A phase of 90 degrees turns the first item to the right.
        {{1, 90 * kDegree, 1, 0.0f}, 0, 46, 86},
        // Groups of two, half pulled: 0 and pi/2 meet halfway toward pi/4, at pi/8
        // and 3 pi/8 (40 cos = 36.96 and 15.31).
        {{4, 0, 2, 50.0f}, 0, 82, 61},
        {{4, 0, 2, 50.0f}, 1, 61, 82},
        // The last group may be smaller: item 2 of 3 in groups of 2 is alone and
        // stays at 4 pi / 3 (40 cos = -19.999998 in single precision, truncated
        // toward zero; 40 sin = -34.6).
        {{3, 0, 2, 100.0f}, 2, 27, 12},
        // Without groups (a size below 1) nothing pulls.
        {{2, 0, 0, 100.0f}, 0, 86, 46},
        {{2, 0, -2, 100.0f}, 1, 6, 46},
        // More items than the sixteen some layouts keep: item 19 of 20 at 19/20 of a turn.
        {{20, 0, 1, 0.0f}, 19, 84, 34},
    };
    for (const DotCase& c : cases) {
        const SplitDot dot = splitDotPosition(c.values, c.item, 50, 50);
        EXPECT_EQ(dot.row, c.row) << c.values.itemCount << " " << c.item;
        EXPECT_EQ(dot.column, c.column) << c.values.itemCount << " " << c.item;
    }
}

TEST(SplitGraph, AFullPullOfOneGroupPutsEveryDotAtItsCentre) {
    // Four items in one group: the centre is 3 pi / 4 (40 cos = -28.3, 40 sin = 28.3).
    const SplitValues values{4, 0, 4, 100.0f};
    for (int32_t item = 0; item < 4; ++item) {
        const SplitDot dot = splitDotPosition(values, item, 50, 50);
        EXPECT_EQ(dot.row, 18) << item;
        EXPECT_EQ(dot.column, 74) << item;
    }
    GraphGrid grid(50, 50);
    drawSplitCells(grid, values, 50, 50);
    ExpectedCells e;
    dashedCross(e);
    disc(e, 18, 74);
    EXPECT_TRUE(sameCells(grid, e));
}

}  // namespace
