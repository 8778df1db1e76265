#include <gtest/gtest.h>

#include <cmath>

#include "render/stages/step_grid.h"
#include "tests/render/melt_test_support.h"

namespace {

ParamValues stepParams(int32_t step, int32_t phaseDegrees, int32_t align) {
    ParamValues p = defaultParamValues();
    p.scanlineStep = step;
    p.scanlinePhase = phaseDegrees * 65536;
    p.scanlineAlign = align;
    return p;
}

GridOffset gridOf(const ParamValues& params, int32_t lineLength, int32_t lineCount = 10, int32_t n = 0,
                  float scale = 1.0f) {
    StepGrid grid = prepareStepGrid(params, scale);
    alignStepGrid(grid, params, lineLength, lineCount);
    return modulateScanline(grid, params, n);
}

TEST(StepGrid, StepSizeFromStepAndScale) {
    EXPECT_EQ(prepareStepGrid(stepParams(1, 0, 0), 1.0f).stepSize, 1);
    EXPECT_EQ(prepareStepGrid(stepParams(3, 90, 0), 0.25f).stepSize, 1);  // 0.75 truncates
    EXPECT_EQ(prepareStepGrid(stepParams(3, 90, 0), 0.25f).stepPhaseIndex, 0);
    EXPECT_EQ(prepareStepGrid(stepParams(4, 0, 0), 0.5f).stepSize, 2);
    EXPECT_EQ(prepareStepGrid(stepParams(2000000000, 0, 0), 1.0f).stepSize, kMaxStepSize);
}

TEST(StepGrid, PhaseAtAlignStart) {
    struct Case {
        int32_t degrees, index;
        float fraction;
    };
    for (const Case& c : {Case{90, 1, 0.0f}, Case{45, 0, 0.5f}, Case{-45, 3, 127.0f / 256}}) {
        const GridOffset g = gridOf(stepParams(4, c.degrees, 0), 100);
        EXPECT_EQ(g.gridIndex, c.index) << c.degrees;
        EXPECT_EQ(g.gridFraction, c.fraction) << c.degrees;
    }
}

TEST(StepGrid, AlignMovesTheGridToTheMiddleOrTheEnd) {
    struct Case {
        int32_t step, degrees, align, lineLength, index;
        float fraction;
    };
    const Case cases[] = {
        {4, 0, 1, 10, 1, 0.0f},   // middle of 10: cells 1, 5, 9
        {4, 0, 1, 11, 1, 0.5f},   // middle of 11: shift 1.5
        {4, 0, 2, 10, 1, 0.0f},   // end of 10: the last cell is sampled
        {4, 45, 1, 11, 2, 0.0f},  // 0.5 + 0.5 is not carried by Align, but by the grid
        {16, 0, 1, 10, 5, 0.0f},
        {16, 0, 2, 10, 9, 0.0f},
        {16, 270, 0, 10, 12, 0.0f},  // beyond the line: no pixel of it is sampled
    };
    for (const Case& c : cases) {
        const GridOffset g = gridOf(stepParams(c.step, c.degrees, c.align), c.lineLength);
        EXPECT_EQ(g.gridIndex, c.index) << c.step << " " << c.degrees << " " << c.align << " " << c.lineLength;
        EXPECT_EQ(g.gridFraction, c.fraction) << c.step << " " << c.degrees << " " << c.align;
    }
    // Align's own carry test is "greater than 1": exactly 1 stays in the fraction.
    StepGrid grid = prepareStepGrid(stepParams(4, 45, 1), 1.0f);
    alignStepGrid(grid, stepParams(4, 45, 1), 11, 10);
    EXPECT_EQ(grid.stepPhaseIndex, 1);
    EXPECT_EQ(grid.stepPhaseFraction, 1.0f);
}

TEST(StepGrid, EmptyLineAlignedAtTheEndStaysOnTheGrid) {
    // (0 - 1) mod 4 is -1 before the reduction; the grid index must not be negative.
    const GridOffset g = gridOf(stepParams(4, 0, 2), 0);
    EXPECT_EQ(g.gridIndex, 3);
}

ParamValues modulated(int32_t function) {
    ParamValues p = stepParams(4, 0, 0);
    p.modAmplitude = 100.0;
    p.modPeriod = 100.0;
    p.modFunction = function;
    return p;
}

float offsetOf(const ParamValues& params, int32_t n) {
    StepGrid grid = prepareStepGrid(params, 1.0f);
    alignStepGrid(grid, params, 200, 100);
    return modulationOffset(grid, params, n);
}

TEST(ScanlineModulation, SineWave) {
    const ParamValues p = modulated(0);
    EXPECT_EQ(offsetOf(p, 0), 0.0f);
    EXPECT_FLOAT_EQ(offsetOf(p, 25), 100.0f);  // w = 0.5 of 200 cells
    EXPECT_EQ(gridOf(p, 200, 100, 25).gridIndex, 0);
    // w = -0.5: -100 is brought to 0 or more by whole steps of 4.
    const float down = offsetOf(p, 75);
    EXPECT_GE(down, 0.0f);
    EXPECT_LT(down, 4.0f);
    ParamValues inverted = p;
    inverted.modInvert = 1;
    EXPECT_LT(offsetOf(inverted, 25), 4.0f);
}

TEST(ScanlineModulation, TriangleStartsAtItsTrough) {
    const ParamValues p = modulated(1);
    // Scanline 0: w = -0.5, -100 raised by 25 steps of 4.
    EXPECT_FLOAT_EQ(offsetOf(p, 0), 0.0f);
    EXPECT_FLOAT_EQ(offsetOf(p, 50), 0.5000001f * 200);
}

TEST(ScanlineModulation, ExponentZeroMakesSquaresAndConstants) {
    for (int32_t function = 0; function < 5; ++function) {
        ParamValues p = modulated(function);
        p.modExponent = 0.0;
        // +0.5 everywhere except the sine's negative half, which gives -0.5.
        EXPECT_FLOAT_EQ(offsetOf(p, 10), 100.0f) << function;
    }
    ParamValues sine = modulated(0);
    sine.modExponent = 0.0;
    EXPECT_FLOAT_EQ(offsetOf(sine, 0), 100.0f);  // a sine of 0 counts as positive
    EXPECT_LT(offsetOf(sine, 60), 4.0f);         // -100 raised
}

TEST(ScanlineModulation, UnknownFunctionAndZeroAmplitudeDoNotMove) {
    EXPECT_EQ(offsetOf(modulated(5), 33), 0.0f);
    ParamValues off = modulated(0);
    off.modAmplitude = 0.0;
    off.modPeriod = 0.0;  // not even evaluated
    EXPECT_EQ(offsetOf(off, 33), 0.0f);
}

TEST(ScanlineModulation, PeriodNearZeroGivesFiniteOffsets) {
    for (double period : {0.0, 1e-30, 0.1, -3.0}) {
        for (int32_t function = 0; function < 5; ++function) {
            ParamValues p = modulated(function);
            p.modPeriod = period;
            for (int32_t n : {0, 1, 7, 99}) {
                const GridOffset g = gridOf(p, 200, 100, n);
                EXPECT_GE(g.gridIndex, 0);
                EXPECT_LT(g.gridIndex, 4);
                EXPECT_GE(g.gridFraction, 0.0f) << period << " " << function << " " << n;
                EXPECT_LT(g.gridFraction, 1.0f) << period << " " << function << " " << n;
            }
        }
    }
}

TEST(ScanlineModulation, AmplitudeFarOutOfRangeKeepsTheGridOnTheLine) {
    for (double amplitude : {1e30, -1e30, 1e12}) {
        ParamValues p = modulated(0);
        p.modAmplitude = amplitude;
        for (int32_t n : {3, 25, 75}) {
            const GridOffset g = gridOf(p, 200, 100, n);
            EXPECT_GE(g.gridFraction, 0.0f) << amplitude << " " << n;
            EXPECT_LT(g.gridFraction, 1.0f) << amplitude << " " << n;
            EXPECT_LT(g.gridIndex, 4);
        }
    }
}

TEST(RaiseToNonNegative, MatchesRepeatedAdditionAndAlwaysEnds) {
    for (float x : {-0.3f, -2.5f, -100.0f, -1e-40f, -16383.75f, -123456.7f}) {
        float chain = x;
        while (chain < 0.0f) chain = chain + 10.0f;
        EXPECT_EQ(raiseToNonNegative(x, 10), chain) << x;
    }
    EXPECT_EQ(raiseToNonNegative(3.5f, 10), 3.5f);
    EXPECT_GE(raiseToNonNegative(-1e30f, 7), 0.0f);
    EXPECT_EQ(raiseToNonNegative(NAN, 7), 0.0f);
}

}  // namespace
