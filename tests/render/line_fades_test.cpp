#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "render/kernel/line_cells.h"
#include "render/stages/line_fades.h"

namespace {

struct Line {
    std::vector<float> channels = std::vector<float>(size_t(kLineCells) * 4, 0.0f);
    float (*cells())[4] { return reinterpret_cast<float (*)[4]>(channels.data()); }
    float& alpha(int i) { return channels[size_t(i) * 4]; }
    float& red(int i) { return channels[size_t(i) * 4 + 1]; }
    // Cells first .. last opaque, with a colour that the fades must leave alone.
    void show(int first, int last) {
        for (int i = first; i <= last; ++i) {
            alpha(i) = 1.0f;
            red(i) = 0.5f;
        }
    }
};

ParamValues fadeParams(double fadeStart, double fadeEnd, double intensity = 100.0) {
    ParamValues params{};
    params.intensity = intensity;
    params.fadeStart = fadeStart;
    params.fadeEnd = fadeEnd;
    return params;
}

// The smoothstep factor of a cell n cells inward on a ramp of R cells.
float smoothstep(int n, int ramp) {
    const float t = float(n) * (1.0f / float(ramp));
    return (3.0f - (t + t)) * (t * t);
}

struct FadeLengthCase {
    double fade;
    double intensity;
    int32_t lineLength;
    int32_t cells, ramp, clear;
};

TEST(LineFades, LengthsScaleWithFadeIntensityAndLine) {
    const FadeLengthCase cases[] = {
        {10, 100, 200, 40, 40, 0},     // 10 x 100 x 0.0002 x 200
        {50, 100, 321, 321, 321, 0},   // 50 % at full intensity: the whole line
        {75, 100, 100, 150, 100, 50},  // longer than the line: the ramp keeps its length
        {100, 100, 100, 200, 100, 100},
        {10, 50, 200, 20, 20, 0},      // half the intensity halves the fade
        {0, 100, 200, 0, 0, 0},
        {10, 0, 200, 0, 0, 0},
        {10, 100, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const LineFades start = prepareLineFades(fadeParams(c.fade, 0.0, c.intensity), c.lineLength);
        EXPECT_EQ(start.fadeStartCells, c.cells) << c.fade << " " << c.intensity;
        EXPECT_EQ(start.fadeStartRamp, c.ramp);
        EXPECT_EQ(start.fadeStartClear, c.clear);
        EXPECT_EQ(start.fadeEndCells, 0);
        const LineFades end = prepareLineFades(fadeParams(0.0, c.fade, c.intensity), c.lineLength);
        EXPECT_EQ(end.fadeEndCells, c.cells);
        EXPECT_EQ(end.fadeEndRamp, c.ramp);
        EXPECT_EQ(end.fadeEndClear, c.clear);
    }
}

TEST(LineFades, LengthsOutsideTheRangesGiveNoUndefinedConversion) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(prepareLineFades(fadeParams(nan, -5.0), 100).fadeStartCells, 0);
    EXPECT_EQ(prepareLineFades(fadeParams(nan, -5.0), 100).fadeEndCells, 0);
    const LineFades huge = prepareLineFades(fadeParams(1e300, 0.0), 100);
    EXPECT_EQ(huge.fadeStartRamp, 100);
    EXPECT_GT(huge.fadeStartClear, 0);
}

TEST(LineFades, StartFadeRampsFromTheFirstCell) {
    Line line;
    line.show(0, 199);
    fadeLineEnds(line.cells(), 200, prepareLineFades(fadeParams(10, 0), 200));
    EXPECT_EQ(line.alpha(0), 0.0f);
    EXPECT_NEAR(line.alpha(1), 0.0018437f, 1e-7);
    EXPECT_FLOAT_EQ(line.alpha(2), 0.00725f);
    EXPECT_NEAR(line.alpha(3), 0.0160312f, 1e-7);
    EXPECT_FLOAT_EQ(line.alpha(4), 0.028f);
    EXPECT_FLOAT_EQ(line.alpha(20), 0.5f);
    EXPECT_NEAR(line.alpha(39), 0.9981562f, 1e-7);
    for (int i = 40; i < 200; ++i) EXPECT_EQ(line.alpha(i), 1.0f) << i;
    for (int i = 0; i < 200; ++i) EXPECT_EQ(line.red(i), 0.5f) << i;
}

TEST(LineFades, StartFadeIsAnchoredAtTheFirstVisibleCell) {
    Line line;
    line.show(30, 199);
    fadeLineEnds(line.cells(), 200, prepareLineFades(fadeParams(10, 0), 200));
    for (int i = 0; i <= 30; ++i) EXPECT_EQ(line.alpha(i), 0.0f) << i;
    EXPECT_FLOAT_EQ(line.alpha(50), 0.5f);
    EXPECT_NEAR(line.alpha(69), 0.9981562f, 1e-7);
    for (int i = 70; i < 200; ++i) EXPECT_EQ(line.alpha(i), 1.0f) << i;
    EXPECT_EQ(line.red(29), 0.0f);
}

TEST(LineFades, FadeLongerThanTheLineClearsThenRamps) {
    Line line;
    line.show(0, 99);
    fadeLineEnds(line.cells(), 100, prepareLineFades(fadeParams(75, 0), 100));
    for (int i = 0; i < 50; ++i) EXPECT_EQ(line.alpha(i), 0.0f) << i;
    for (int i = 50; i < 100; ++i) EXPECT_EQ(line.alpha(i), smoothstep(i - 50, 100)) << i;
    EXPECT_FLOAT_EQ(line.alpha(75), 0.15625f);  // t = 0.25: (3 - 0.5) x 0.0625
}

TEST(LineFades, FullFadeStartClearsTheLine) {
    Line line;
    line.show(7, 99);
    fadeLineEnds(line.cells(), 100, prepareLineFades(fadeParams(100, 100), 100));
    for (int i = 0; i < 100; ++i) EXPECT_EQ(line.alpha(i), 0.0f) << i;
    for (int i = 7; i < 100; ++i) EXPECT_EQ(line.red(i), 0.5f) << i;
}

TEST(LineFades, EndFadeStopsAtCellZero) {
    Line line;
    line.show(0, 4);
    line.show(100, 120);  // past the visible line: never touched
    fadeLineEnds(line.cells(), 100, prepareLineFades(fadeParams(0, 5), 100));  // 10 cells
    const float factors[] = {0.352f, 0.216f, 0.104f, 0.028f, 0.0f};  // cells 0 .. 4
    for (int i = 0; i <= 4; ++i) EXPECT_FLOAT_EQ(line.alpha(i), factors[i]) << i;
    for (int i = 100; i <= 120; ++i) EXPECT_EQ(line.alpha(i), 1.0f) << i;
}

TEST(LineFades, SingleVisibleCellVanishesUnderTheStartFade) {
    Line line;
    line.show(42, 42);
    fadeLineEnds(line.cells(), 100, prepareLineFades(fadeParams(10, 10), 100));
    for (int i = 0; i < 100; ++i) EXPECT_EQ(line.alpha(i), 0.0f) << i;
}

TEST(LineFades, OverlappingFadesMultiply) {
    Line line;
    line.show(20, 29);
    fadeLineEnds(line.cells(), 100, prepareLineFades(fadeParams(10, 10), 100));  // ramps of 20
    // The start fade leaves cell 20 transparent, so the end fade still anchors at 29.
    for (int i = 20; i <= 29; ++i) {
        const float expected = smoothstep(29 - i, 20) * (smoothstep(i - 20, 20) * 1.0f);
        EXPECT_EQ(line.alpha(i), expected) << i;
    }
}

TEST(LineFades, LineWithoutVisibleCellsIsUnchanged) {
    Line line;
    line.red(3) = 0.25f;
    fadeLineEnds(line.cells(), 100, prepareLineFades(fadeParams(30, 30), 100));
    EXPECT_EQ(line.red(3), 0.25f);
    EXPECT_EQ(line.alpha(3), 0.0f);
}

TEST(LineFades, LongLineStaysInsideTheBuffer) {
    // A line longer than the buffer is faded over the cells the buffer holds;
    // the sanitizers see any access past its end.
    Line line;
    line.show(0, kLineCells - 1);
    fadeLineEnds(line.cells(), 20000, prepareLineFades(fadeParams(0, 1), 20000));  // 400 cells
    EXPECT_EQ(line.alpha(kLineCells - 1), 0.0f);
    EXPECT_FLOAT_EQ(line.alpha(kLineCells - 201), 0.5f);
    EXPECT_EQ(line.alpha(kLineCells - 401), 1.0f);
}

}  // namespace
