#include <gtest/gtest.h>

#include <cmath>

#include "render/curves.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(CurveShapes, ValuesAtKnownPositions) {
    // n = 3 puts sample 1 at x = 0.5.
    EXPECT_FLOAT_EQ(getBasicCurveVal(kLinearRampUp, 1, 3, 2.0f, 0.0f, 0), 1.0f);
    EXPECT_FLOAT_EQ(getBasicCurveVal(kLinearRampDown, 0, 3, 2.0f, 0.0f, 0), 2.0f);
    EXPECT_FLOAT_EQ(getBasicCurveVal(kTriangleWave, 1, 3, 2.0f, 0.0f, 0), 2.0f);
    EXPECT_FLOAT_EQ(getBasicCurveVal(kTriangleWave, 2, 3, 2.0f, 0.0f, 0), 0.0f);
    EXPECT_FLOAT_EQ(getBasicCurveVal(kExpUp, 1, 3, 1.0f, 0.0f, 0), 1.0f / 16.0f);
    EXPECT_FLOAT_EQ(getBasicCurveVal(kExpDown, 1, 3, 1.0f, 0.0f, 0), 15.0f / 16.0f);
    // A shape outside the popup is x itself, without amplitude, plus the offset.
    EXPECT_FLOAT_EQ(getBasicCurveVal(17, 1, 3, 5.0f, 0.25f, 0), 0.75f);
}

TEST(CurveShapes, SineHoldsOnePeriodOverNSamples) {
    EXPECT_EQ(getBasicCurveVal(kSineWave, 0, 768, 1.0f, 0.0f, 0), 0.5f);
    EXPECT_EQ(getBasicCurveVal(kSineWave, 192, 768, 1.0f, 0.0f, 0), 1.0f);
    EXPECT_NEAR(getBasicCurveVal(kSineWave, 576, 768, 1.0f, 0.0f, 0), 0.0f, 1e-7);
    // Sample 767 lies one sample short of the next period's start.
    EXPECT_LT(getBasicCurveVal(kSineWave, 767, 768, 1.0f, 0.0f, 0), 0.5f);
    // Flag bit 1: one period over samples 0..n-1, so the last sample is back at A/2.
    EXPECT_NEAR(getBasicCurveVal(kSineWave, 767, 768, 1.0f, 0.0f, kCurveSineOverLastSample), 0.5f, 1e-6);
}

TEST(CurveShapes, RoundsToAMultipleOf1eMinus7) {
    const float raw = 0.123456789f;
    // Shape 17 at sample 0 is just the offset.
    EXPECT_EQ(getBasicCurveVal(17, 0, 3, 1.0f, raw, 0), std::round(raw * 1e7f) * 1e-7f);
    EXPECT_FLOAT_EQ(getBasicCurveVal(17, 0, 3, 1.0f, raw, 0), 0.1234568f);
    EXPECT_EQ(getBasicCurveVal(17, 0, 3, 1.0f, raw, kCurveUnrounded), raw);
    // The rounded count is multiplied by 1e-7, not divided by 1e7: here the two differ.
    EXPECT_EQ(getBasicCurveVal(17, 0, 3, 1.0f, 1.78100004e-06f, 0), 18.0f * 1e-7f);
    EXPECT_NE(18.0f * 1e-7f, 18.0f / 1e7f);
    EXPECT_EQ(getBasicCurveVal(17, 0, 3, 1.0, 0.123456789, 0), std::round(0.123456789 * 1e7) * 1e-7);
}

TEST(CurveSmoothing, ZeroSmoothnessIsTheSampleItself) {
    for (int shape = 0; shape < 6; ++shape) {
        for (int i : {0, 1, 383, 767}) {
            EXPECT_EQ(getCurveVal(shape, i, 768, 0.7f, 0.1f, 0.0f, 0), getBasicCurveVal(shape, i, 768, 0.7f, 0.1f, 0));
            EXPECT_EQ(getCurveVal(shape, i, 768, 0.7, 0.1, 0.0f, 0), getBasicCurveVal(shape, i, 768, 0.7, 0.1, 0));
        }
    }
}

// n = 9: x = i/8 is exact both by division and by the reciprocal the neighbours use.
float ramp9(int i) { return getBasicCurveVal(kLinearRampUp, i, 9, 1.0f, 0.0f, 0); }

TEST(CurveSmoothing, WholeSmoothnessAveragesTwoSPlusOneSamples) {
    EXPECT_FLOAT_EQ(getCurveVal(kLinearRampUp, 4, 9, 1.0f, 0.0f, 1.0f, 0), (ramp9(3) + ramp9(4) + ramp9(5)) / 3);
    EXPECT_FLOAT_EQ(getCurveVal(kLinearRampUp, 4, 9, 1.0f, 0.0f, 2.0f, 0),
                    (ramp9(2) + ramp9(3) + ramp9(4) + ramp9(5) + ramp9(6)) / 5);
    // Half a step of smoothness: half the centre, half the mean of three.
    EXPECT_FLOAT_EQ(getCurveVal(kLinearRampUp, 4, 9, 1.0f, 0.0f, 0.5f, 0),
                    0.5f * ramp9(4) + 0.5f * (ramp9(3) + ramp9(4) + ramp9(5)) / 3);
    EXPECT_DOUBLE_EQ(getCurveVal(kLinearRampUp, 4, 9, 1.0, 0.0, 1.0f, 0), 0.5);
}

TEST(CurveSmoothing, WindowWrapsAroundTheCurve) {
    // Sample 0's neighbour at k = -1 is sample 767 (x = 1).
    const float expected = (0.0f + 1.0f + getBasicCurveVal(kLinearRampUp, 1, 768, 1.0f, 0.0f, 0)) / 3;
    EXPECT_FLOAT_EQ(getCurveVal(kLinearRampUp, 0, 768, 1.0f, 0.0f, 1.0f, 0), expected);
    EXPECT_NEAR(getCurveVal(kLinearRampUp, 0, 768, 1.0, 0.0, 1.0f, 0), (1.0 + 1.0 / 767) / 3, 1e-7);
}

TEST(CurveSmoothing, NonFiniteSmoothnessStaysBounded) {
    EXPECT_EQ(getCurveVal(kLinearRampUp, 4, 9, 1.0f, 0.0f, NAN, 0), ramp9(4));
    EXPECT_TRUE(std::isfinite(getCurveVal(kLinearRampUp, 4, 9, 1.0f, 0.0f, INFINITY, 0)));
}

TEST(AngleVal, TurnsAnAngleIntoATableOffset) {
    struct Case {
        int angle, n, expected;
    };
    const Case cases[] = {
        {0, 768, 0},           {5898240, 768, 192},  {23592960, 768, 0},     {-5898240, 768, 575},
        {-23592960, 768, 767}, {6554, 768, 0},       {-6554, 768, 0},        {5898240, 256, 64},
        {-5898240, 256, 191},  {-23592960, 256, 255}, {65536, 256, 0},       {92160, 256, 1},
        // The angle is multiplied by 4.2385526e-08; dividing by 23,592,960 gives 258.
        {7956479, 768, 259},
    };
    for (const Case& c : cases) EXPECT_EQ(getAngleVal(c.angle, c.n), c.expected) << c.angle << " " << c.n;
    EXPECT_GE(getAngleVal(INT32_MIN, 6283185), 0);
    EXPECT_LT(getAngleVal(INT32_MIN, 6283185), 6283185);
}

TEST(CurveSmoothing, CurvesOfNoSamplesDoNotDivideByZero) {
    EXPECT_EQ(getAngleVal(5898240, 0), 0);
    EXPECT_EQ(getAngleVal(-5898240, -3), 0);
    // Values are whatever x = i / (n - 1) gives; only the wrap by n must not trap.
    getCurveVal(kLinearRampUp, 0, 0, 1.0f, 0.0f, 2.0f, 0);
    getCurveVal(kLinearRampUp, 0, 0, 1.0, 0.0, 2.0f, 0);
}

TEST(BlendCurve, SpanOfNoLength) {
    for (int shape = 0; shape <= 4; ++shape) EXPECT_EQ(getBlendCurveVal(1.0f, 2.0f, 0.0f, shape, 0), 0.0f) << shape;
    for (int shape = 0; shape <= 3; ++shape) EXPECT_EQ(getBlendCurveVal(2.0f, 2.0f, 0.0f, shape, 0), 1.0f) << shape;
    EXPECT_NEAR(getBlendCurveVal(2.0f, 2.0f, 0.0f, 4, 0), 0.0f, 1e-12);
}

TEST(BlendCurve, ShapesOverASpan) {
    // Position 3 in the span 2..6: u = 0.25.
    EXPECT_EQ(getBlendCurveVal(3.0f, 2.0f, 4.0f, 0, 0), 0.25f);
    EXPECT_FLOAT_EQ(getBlendCurveVal(3.0f, 2.0f, 4.0f, 1, 0), float(0.5 - 0.5 * std::cos(kPi * 0.25)));
    EXPECT_FLOAT_EQ(getBlendCurveVal(3.0f, 2.0f, 4.0f, 2, 0), float(std::sin(kPi / 8)));
    EXPECT_EQ(getBlendCurveVal(3.0f, 2.0f, 4.0f, 3, 0), 0.5f);
    EXPECT_EQ(getBlendCurveVal(5.0f, 2.0f, 4.0f, 3, 0), 0.5f);
    EXPECT_FLOAT_EQ(getBlendCurveVal(3.0f, 2.0f, 4.0f, 4, 0), 0.5f);
    // Past the span's end u stays 1; the triangle is computed there (2 - 2u = 0).
    EXPECT_EQ(getBlendCurveVal(9.0f, 2.0f, 4.0f, 0, 0), 1.0f);
    EXPECT_EQ(getBlendCurveVal(9.0f, 2.0f, 4.0f, 3, 0), 0.0f);
}

}  // namespace
