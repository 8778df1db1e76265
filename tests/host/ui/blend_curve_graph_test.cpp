#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "host/ui/blend_curve_graph.h"
#include "host/ui/graph_grid.h"

namespace {

constexpr int32_t kLinear = 1;
constexpr int32_t kTriangle = 4;

TEST(BlendCurveGraph, CombinesTwoLevelsAndBringsThemBackByTheOverflowMode) {
    struct Case {
        int32_t combine, overflow, a, b, c;
    };
    const Case cases[] = {
        {1, 2, 95, 25, 70},   // 120 folds back from 95
        {1, 1, 95, 25, 95},   // clamped
        {1, 3, 95, 25, 24},   // 120 wraps past 95
        {1, 2, 95, 95, 0},    // 190 folds all the way down
        {2, 1, 10, 50, 0},
        {2, 2, 10, 50, 40},   // |-40|
        {2, 3, 10, 50, 55},   // -40 + 95
        {3, 1, 50, 19, 10},   // 50 x 19 / 95
        {4, 1, 95, 0, 95},    // 9025 clamped
        {4, 2, 95, 0, 48},    // 9025 mod 191
        {4, 3, 95, 0, 1},     // 9025 - 96 x 94
        {4, 9, 40, 3, 950},   // no overflow mode: as it is
        {7, 1, 30, 40, 30},   // no combine mode: curve A's level
    };
    for (const Case& c : cases) {
        EXPECT_EQ(blendCombined(c.combine, c.overflow, c.a, c.b), c.c) << c.combine << " " << c.overflow;
    }
}

std::vector<int32_t> levelsOf(const BlendTransitionValues& t, bool invert = false) {
    BlendCurveValues v{1, 1, t, t, invert};
    std::vector<int32_t> levels(196);
    blendCurveLevels(v, true, levels.data());
    return levels;
}

TEST(BlendCurveGraph, AFullLengthStartsAtZeroWhateverTheOffset) {
    const std::vector<int32_t> ramp = levelsOf({kLinear, 100.0f, 0.0f});
    EXPECT_EQ(levelsOf({kLinear, 100.0f, 50.0f}), ramp);
    EXPECT_EQ(levelsOf({kLinear, 100.0f, -80.0f}), ramp);
    EXPECT_EQ(ramp[0], 0);
    EXPECT_EQ(ramp[52], 25);   // 0.2653 x 95
    EXPECT_EQ(ramp[195], 94);  // 0.9949 x 95
}

TEST(BlendCurveGraph, TheOffsetMovesTheStartWithinTheRoomTheLengthLeaves) {
    // Half the length with the whole offset starts at 0.5: flat before it, then
    // rising twice as fast.
    const std::vector<int32_t> late = levelsOf({kLinear, 50.0f, 100.0f});
    for (int32_t i = 0; i <= 97; ++i) EXPECT_EQ(late[i], 0) << i;
    EXPECT_EQ(late[150], 50);  // x = 0.7653: t = 0.5306
    EXPECT_EQ(late[195], 94);
}

TEST(BlendCurveGraph, WithoutLengthATransitionIsAStep) {
    for (int32_t shape : {kLinear, kTriangle}) {
        const std::vector<int32_t> step = levelsOf({shape, 0.0f, 50.0f});  // at 0.5
        EXPECT_EQ(step[97], 0) << shape;  // x = 0.4949
        EXPECT_EQ(step[99], 95) << shape;  // x = 0.5051
        EXPECT_EQ(step[195], 95) << shape;
    }
}

TEST(BlendCurveGraph, ShapesAndInversion) {
    const std::vector<int32_t> triangle = levelsOf({kTriangle, 100.0f, 0.0f});
    EXPECT_EQ(triangle[49], 47);  // t = 0.25: 2t
    EXPECT_EQ(triangle[147], 47);  // t = 0.75: 2 - 2t
    EXPECT_EQ(levelsOf({2, 100.0f, 0.0f})[0], 0);    // eases from 0
    EXPECT_EQ(levelsOf({3, 100.0f, 0.0f})[195], 94);  // sin(0.9949 x pi / 2)
    EXPECT_EQ(levelsOf({5, 100.0f, 0.0f})[0], 0);
    const std::vector<int32_t> inverted = levelsOf({kLinear, 100.0f, 0.0f}, true);
    EXPECT_EQ(inverted[0], 95);
    EXPECT_EQ(inverted[195], 0);
    // Only curve A is inverted.
    BlendCurveValues v{1, 1, {kLinear, 100.0f, 0.0f}, {kLinear, 100.0f, 0.0f}, true};
    std::vector<int32_t> b(196);
    blendCurveLevels(v, false, b.data());
    EXPECT_EQ(b[0], 0);
}

std::set<int32_t> coveredRows(const GraphGrid& grid, int32_t column, int32_t firstRow) {
    std::set<int32_t> rows;
    for (int32_t row = firstRow; row < grid.rows(); ++row) {
        if (grid.cell(row, column) != 0) rows.insert(row);
    }
    return rows;
}

// One curve a step at 0 (level 95 throughout), the other a step at 1 (level 0
// throughout), their sum 95 clamped: every part of the graph at a known row.
TEST(BlendCurveGraph, LinesHatchingAndDotsOfOneColumn) {
    const BlendTransitionValues top{kLinear, 0.0f, 0.0f};
    const BlendTransitionValues bottom{kLinear, 0.0f, 100.0f};
    for (const bool aOnTop : {true, false}) {
        GraphGrid grid(100, 70);
        drawBlendCurveCells(grid, BlendCurveValues{1, 1, aOnTop ? top : bottom, aOnTop ? bottom : top, false});
        // Column 10: the top curve's point (rows 3, 2) and its joiner from column
        // 11 (rows 2, 1); the bottom curve's point (98, 97) and joiner (97, 96);
        // the dots of samples 7 and 8 at q = 32. The top curve's hatching, at
        // j = 11, covers rows 97 - y where (y + 11) AND 6 is 0 for curve A and
        // (y - 11) AND 6 is 0 for curve B; the bottom curve's hatching is row 97
        // alone, covered by its point anyway.
        std::set<int32_t> expected = {1, 2, 3, 96, 97, 98, 104, 105};
        for (int32_t y = 0; y <= 95; ++y) {
            if (((aOnTop ? y + 11 : y - 11) & 6) == 0) expected.insert(97 - y);
        }
        EXPECT_EQ(coveredRows(grid, 10, 0), expected) << aOnTop;
    }
}

TEST(BlendCurveGraph, AFoldedSumDotsAtItsFoldedRow) {
    // A at 95, B rising; at sample 52 B is 25 and the sum 120 folds to 70:
    // q = 32 x 70 / 95 = 23, rows 114 and 113 at columns 54 and 55. Below row 98
    // only the dots are drawn.
    for (const auto& [overflow, rows] : {std::pair<int32_t, std::set<int32_t>>{2, {113, 114}},
                                         std::pair<int32_t, std::set<int32_t>>{1, {104, 105}}}) {
        GraphGrid grid(100, 70);
        drawBlendCurveCells(grid,
                            BlendCurveValues{1, overflow, {kLinear, 0.0f, 0.0f}, {kLinear, 100.0f, 0.0f}, false});
        EXPECT_EQ(coveredRows(grid, 55, 99), rows) << overflow;
    }
}

TEST(BlendCurveGraph, DotsBeyondTheGridAreLeftOut) {
    // A quotient without an overflow mode reaches 9025: q = 3040, far above row 0.
    GraphGrid grid(100, 70);
    drawBlendCurveCells(grid, BlendCurveValues{4, 9, {kLinear, 0.0f, 0.0f}, {kLinear, 0.0f, 100.0f}, false});
    EXPECT_TRUE(coveredRows(grid, 50, 99).empty());
}

}  // namespace
