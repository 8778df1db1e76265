#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/kernel/line_cells.h"
#include "render/stages/line_stretch.h"

namespace {

using Cells = std::vector<float>;

Cells emptyLine() { return Cells(size_t(kLineCells) * 4, 0.0f); }
float (*cellsOf(Cells& line))[4] { return reinterpret_cast<float (*)[4]>(line.data()); }

float redOf(int cell) { return float(cell) * 0.01f; }

// Used cells carry alpha 1 and a red of one hundredth of their index, so that a
// stretched cell's red tells the position it sampled.
Cells usedLine(int first, int last) {
    Cells line = emptyLine();
    for (int i = first; i <= last; ++i) {
        line[size_t(i) * 4] = 1.0f;
        line[size_t(i) * 4 + 1] = redOf(i);
    }
    return line;
}

ParamValues stretchParams(double fullscreenStretch, double offscreenReach) {
    ParamValues params{};
    params.fullscreenStretch = fullscreenStretch;
    params.offscreenReach = offscreenReach;
    return params;
}

Cells stretched(Cells accumulator, int32_t lineLength, const ParamValues& params) {
    const Cells before = accumulator;
    Cells out = emptyLine();
    stretchLine(cellsOf(accumulator), cellsOf(out), lineLength, prepareStretchStep(lineLength), params);
    EXPECT_EQ(accumulator, before) << "the accumulator is only read";
    return out;
}

float alphaAt(const Cells& line, int i) { return line[size_t(i) * 4]; }
float redAt(const Cells& line, int i) { return line[size_t(i) * 4 + 1]; }

TEST(LineStretch, ActiveWhenEitherParameterIsAboveZero) {
    EXPECT_FALSE(stretchActive(stretchParams(0, 0)));
    EXPECT_TRUE(stretchActive(stretchParams(0.01, 0)));
    EXPECT_TRUE(stretchActive(stretchParams(0, 0.01)));
}

TEST(LineStretch, BothAtFullSpreadTheUsedSpanOverTheLine) {
    // Used cells 10 .. 19: start 10, end 19, span 9 over 99 output steps.
    const Cells out = stretched(usedLine(10, 19), 100, stretchParams(100, 100));
    EXPECT_EQ(redAt(out, 0), redOf(10));
    EXPECT_NEAR(redAt(out, 1), 0.100909f, 1e-6);  // position 10.0909..
    EXPECT_EQ(alphaAt(out, 1), 1.0f);
    EXPECT_EQ(redAt(out, 99), redOf(19));  // exactly position 19
    EXPECT_EQ(alphaAt(out, 99), 1.0f);
}

TEST(LineStretch, FullscreenStretchAlonePullsTheStartIn) {
    const Cells out = stretched(usedLine(10, 99), 100, stretchParams(100, 0));
    EXPECT_EQ(redAt(out, 0), redOf(10));
    EXPECT_NEAR(redAt(out, 1), 0.108989f, 1e-6);  // position 10.8989..
    EXPECT_EQ(redAt(out, 99), redOf(99));
}

TEST(LineStretch, OffscreenReachBringsDepositsPastTheLineIntoView) {
    // Wrap off deposits up to cell 150 of a 100-cell line.
    const Cells out = stretched(usedLine(0, 150), 100, stretchParams(0, 100));
    EXPECT_EQ(redAt(out, 0), 0.0f);
    EXPECT_NEAR(redAt(out, 1), 0.015151f, 1e-6);  // position 1.5151..
    EXPECT_EQ(redAt(out, 99), redOf(150));
    EXPECT_EQ(alphaAt(out, 99), 1.0f);
}

TEST(LineStretch, PartialParametersLeaveEmptyCellsAtTheEnds) {
    // Used 50 .. 59, start half-way toward 50 (25) and end half-way toward 59 (79):
    // the outputs that sample below 49 or above 60 stay transparent.
    const Cells out = stretched(usedLine(50, 59), 100, stretchParams(50, 50));
    EXPECT_EQ(alphaAt(out, 0), 0.0f);
    EXPECT_EQ(alphaAt(out, 99), 0.0f);
    EXPECT_EQ(alphaAt(out, 50), 1.0f);  // position 25 + 50 x 54 / 99 = 52.27..
}

TEST(LineStretch, DegenerateSpansGiveATransparentLine) {
    struct Case {
        const char* what;
        Cells accumulator;
        ParamValues params;
    };
    const Case cases[] = {
        {"one used cell, both at 100", usedLine(40, 40), stretchParams(100, 100)},
        {"empty line, start past the end", emptyLine(), stretchParams(100, 0)},
        {"empty line, positive span", emptyLine(), stretchParams(0, 50)},
    };
    for (const auto& c : cases) {
        Cells out = emptyLine();
        for (int i = 0; i < 100; ++i) out[size_t(i) * 4 + 2] = 7.0f;  // stale content
        Cells accumulator = c.accumulator;
        stretchLine(cellsOf(accumulator), cellsOf(out), 100, prepareStretchStep(100), c.params);
        for (size_t k = 0; k < 400; ++k) EXPECT_EQ(out[k], 0.0f) << c.what << " channel " << k;
    }
}

TEST(LineStretch, OneCellLineSamplesTheStretchStart) {
    // 1 / (1 - 1) would make the position NaN; a one-cell line samples its start.
    EXPECT_EQ(prepareStretchStep(1), 0.0f);
    const Cells out = stretched(usedLine(0, 5), 1, stretchParams(0, 60));  // end 3, start 0
    EXPECT_EQ(alphaAt(out, 0), 1.0f);
    EXPECT_EQ(redAt(out, 0), 0.0f);
    const Cells shifted = stretched(usedLine(3, 5), 1, stretchParams(50, 100));  // start 1.5
    EXPECT_EQ(alphaAt(shifted, 0), 0.0f);  // cell 1 (empty) and cell 2 (empty) mixed
    EXPECT_TRUE(std::isfinite(redAt(shifted, 0)));
}

TEST(LineStretch, LongLineStaysInsideTheBuffers) {
    // A line longer than the buffers is stretched over the cells they hold: the
    // last output cell samples about position 16,383 and reads nothing beyond.
    const Cells out = stretched(usedLine(0, kLineCells - 1), 20000, stretchParams(1, 0));
    EXPECT_EQ(redAt(out, 0), 0.0f);
    EXPECT_NEAR(redAt(out, kLineCells - 1), 163.83f, 0.02f);
}

TEST(LineStretch, PositionsOutsideTheBufferSampleItsEnds) {
    // Outside their ranges the parameters can place positions before cell 0, which
    // then read cell 0 alone, or past the buffer's last cell, which read that cell.
    const Cells before = stretched(usedLine(1, 19), 100, stretchParams(-200, 100));  // start -2
    for (int i = 0; i < 5; ++i) EXPECT_EQ(redAt(before, i), 0.0f) << i;
    Cells far = usedLine(0, kLineCells - 1);
    far[size_t(kLineCells - 1) * 4 + 1] = 7.0f;
    const Cells past = stretched(far, 100, stretchParams(0, 200));  // end 32,667
    for (int i = 51; i < 100; ++i) EXPECT_EQ(redAt(past, i), 7.0f) << i;
}

}  // namespace
