#include <gtest/gtest.h>

#include <vector>

#include "host/ui/graph_grid.h"
#include "host/ui/timeline_graph.h"
#include "tests/host/graph_cells.h"

namespace {

// The strip's parts, each as its rules place it.
void bar(ExpectedCells& e, int32_t column) { e.rows(column, 20, 35); }          // height 16 around row 28
void tick(ExpectedCells& e, int32_t column, int32_t h) { e.rows(column, 58 - h, 57); }
void marker(ExpectedCells& e, int32_t m) {
    for (int32_t row = 5; row <= 51; row += 2) e.columns(row, m - 1, m);
}
void line(ExpectedCells& e, int32_t first, int32_t last) {
    e.columns(7, first, last);
    e.columns(8, first, last);
}
void offsetBar(ExpectedCells& e, int32_t column) {
    e.rows(column, 3, 12);
    e.rows(column + 1, 3, 12);
}
// Arrowheads as listed: pairs of rows, each two cells wide, stepping back one
// column a pair from the tip at the last sample (right) or the first (left).
void arrow(ExpectedCells& e, bool pointsRight, int32_t tip) {
    const int32_t rowPairs[5][2] = {{7, 8}, {6, 9}, {5, 10}, {4, 11}, {3, 12}};
    for (int32_t i = 0; i < 5; ++i) {
        const int32_t column = pointsRight ? tip - i : tip + i;
        for (int32_t row : rowPairs[i]) e.columns(row, column, column + 1);
    }
}

GraphGrid drawn(const TimelineValues& v, int32_t timeStep, uint32_t timeScale) {
    GraphGrid grid(200, 30);
    EXPECT_TRUE(grid.ok());
    drawTimelineCells(grid, v, timeStep, timeScale);
    return grid;
}

TEST(TimelineGraph, ASingleSampleIsOneBarAtTheCurrentTime) {
    ExpectedCells e;
    bar(e, 199);
    marker(e, 199);
    EXPECT_TRUE(sameCells(drawn(TimelineValues{2, 1, 0.0f, 2.0f, 0.5f}, 100, 1000), e));
}

std::vector<int32_t> columnsFrom(int32_t first, int32_t last) {
    std::vector<int32_t> columns;
    for (int32_t c = first; c <= last; ++c) columns.push_back(c);
    return columns;
}

struct StripCase {
    const char* name;
    TimelineValues values;
    int32_t timeStep;
    uint32_t timeScale;
    std::vector<int32_t> frameTicks;   // height 6
    std::vector<int32_t> secondTicks;  // height 12, over any frame tick
    std::vector<int32_t> bars;         // two columns a sample, the first sample's first
    int32_t marker;
    bool pointsRight;
};

TEST(TimelineGraph, SampledSpansWithTheirTicksBarsAndArrow) {
    const StripCase cases[] = {
        // 3 samples 2 frames (200) apart: span 400, window 0 to 400, x(t) = t x 390 / 400.
        // Frame ticks at t = 0, 100 ... 400: x = 0, 97, 195, 292, 390, drawn at x + 5.
        {"forward", {2, 3, 0.0f, 2.0f, 0.0f}, 100, 1000, {5, 102, 200, 297, 395}, {4, 5},
         {4, 5, 199, 200, 394, 395}, 5, true},
        // Spacing -2 frames: span -400, window -400 to 0, x(t) = (t + 400) x 390 / 400;
        // samples at -400, -200, 0, the current time at the right end. The arrow
        // points left and the offset bar stands at the right.
        {"backward", {2, 3, 0.0f, -2.0f, 0.0f}, 100, 1000, {5, 102, 200, 297, 395}, {394, 395},
         {4, 5, 199, 200, 394, 395}, 395, false},
        // Frames of 1 unit across a window of 300: 200 or more frames, a solid band
        // of frame ticks from column 5 to 394.
        {"dense frames", {2, 2, 0.0f, 300.0f, 0.0f}, 1, 100000, columnsFrom(5, 394), {4, 5}, {4, 5, 394, 395}, 5,
         true},
    };
    for (const StripCase& c : cases) {
        ExpectedCells e;
        for (int32_t column : c.frameTicks) tick(e, column, 6);
        for (int32_t column : c.secondTicks) tick(e, column, 12);
        for (int32_t column : c.bars) bar(e, column);
        marker(e, c.marker);
        const int32_t first = c.bars.front();
        const int32_t last = c.bars[c.bars.size() - 2];
        line(e, first, last);
        offsetBar(e, c.pointsRight ? first : last);
        arrow(e, c.pointsRight, c.pointsRight ? last : first);
        EXPECT_TRUE(sameCells(drawn(c.values, c.timeStep, c.timeScale), e)) << c.name;
    }
}

TEST(TimelineGraph, SecondsCloserThanAColumnCoverEveryColumn) {
    // A second of 1 unit across a window of two billion: ticks on columns 4 to 395.
    const GraphGrid grid = drawn(TimelineValues{2, 2, 0.0f, 1.0f, 0.0f}, 2000000000, 1);
    for (int32_t column = 4; column <= 395; ++column) EXPECT_EQ(grid.cell(46, column), 7) << column;
    EXPECT_EQ(grid.cell(46, 3), 0);
    EXPECT_EQ(grid.cell(46, 396), 0);
}

TEST(TimelineGraph, SpacingInSecondsWithAnOffsetCentresTheCurrentTime) {
    // Half a second at 1000 units a second, 3 samples: span 1000, offset
    // 1000 x -0.5 = -500; the window runs from -500 to 500, so the current time
    // lies at 500 x 390 / 1000 + 5 = 200, and the samples at -500, 0, 500.
    const GraphGrid grid = drawn(TimelineValues{1, 3, 0.5f, 9.0f, -0.5f}, 100, 1000);
    for (int32_t column : {199, 200}) EXPECT_EQ(grid.cell(5, column), 7);
    EXPECT_EQ(grid.cell(5, 201), 0);
    for (int32_t column : {4, 5, 199, 200, 394, 395}) EXPECT_EQ(grid.cell(20, column), 7) << column;
    EXPECT_EQ(grid.cell(20, 6), 0);
    EXPECT_EQ(grid.cell(3, 4), 7);  // the offset bar at the first sample
}

TEST(TimelineGraph, NoSamplesDrawNoArrow) {
    // A count of 0 spans -1 spacing: ticks and the marker, but no bars and no arrow.
    const GraphGrid grid = drawn(TimelineValues{2, 0, 0.0f, 2.0f, 0.0f}, 100, 1000);
    for (int32_t row = 0; row < 40; ++row) {
        if (row % 2 == 1 && row >= 5) continue;  // the marker's dotted rows
        for (int32_t column = 0; column < 400; ++column) EXPECT_EQ(grid.cell(row, column), 0) << row << "," << column;
    }
}

}  // namespace
