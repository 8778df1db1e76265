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

// Samples 0, 1, 383 and 767 of 768 with amplitude 0.7 and offset 0.1, worked out by
// hand from the shapes and the rounding to 1e-7: x = i / 767 (0, 0.0013038, 0.4993481,
// 1), each value rounded to a multiple of 1e-7; in single the product with 1e-7f is
// rounded once more to the nearest float, in double the count times 1e-7 lands on the
// double just below the decimal (0.09999999999999999 for 0.1).
struct SampleValues {
    float single[4];
    double wide[4];
};
const SampleValues kSamplesOfEachShape[6] = {
    // Linear Ramp Up, 0.7x + 0.1: 0.1, 0.1009126, 0.4495437, 0.8
    {{0x1.99999ap-4f, 0x1.9d5688p-4f, 0x1.cc553p-2f, 0x1.99999ap-1f},
     {0x1.9999999999999p-4, 0x1.9d5687cc11bbep-4, 0x1.cc552f067dc88p-2, 0x1.9999999999999p-1}},
    // Linear Ramp Down, 0.7 (1 - x) + 0.1: 0.8, 0.7990874, 0.4504563, 0.1
    {{0x1.99999ap-1f, 0x1.9921fcp-1f, 0x1.cd446ap-2f, 0x1.99999ap-4f},
     {0x1.9999999999999p-1, 0x1.9921fbd34a955p-1, 0x1.cd446a931bd11p-2, 0x1.9999999999999p-4}},
    // Triangle, 2x or 2 - 2x, times 0.7, plus 0.1: 0.1, 0.1018253, 0.7990874, 0.1
    {{0x1.99999ap-4f, 0x1.a11392p-4f, 0x1.9921fcp-1f, 0x1.99999ap-4f},
     {0x1.9999999999999p-4, 0x1.a11390d67c78fp-4, 0x1.9921fbd34a955p-1, 0x1.9999999999999p-4}},
    // Sine over t = i / 768, 0.35 + 0.35 sin(6.28318530718 t) + 0.1: 0.45, 0.4528634,
    // 0.4528634 (t = 383/768, one sample short of half a period), 0.4471366 in double; in
    // single t is a float and the last sample rounds to 0.4471367
    {{0x1.cccccep-2f, 0x1.cfbb6cp-2f, 0x1.cfbb6cp-2f, 0x1.c9de34p-2f},
     {0x1.cccccccccccccp-2, 0x1.cfbb6c5238b1fp-2, 0x1.cfbb6c5238b1fp-2, 0x1.c9de2d4760e7ap-2}},
    // Exp Up, 0.7 x^4 + 0.1: 0.1, 0.1 (x^4 = 2.9e-12), 0.1435223, 0.8
    {{0x1.99999ap-4f, 0x1.99999ap-4f, 0x1.25ef06p-3f, 0x1.99999ap-1f},
     {0x1.9999999999999p-4, 0x1.9999999999999p-4, 0x1.25ef0505f93e4p-3, 0x1.9999999999999p-1}},
    // Exp Down, 0.7 (1 - x^4) + 0.1: 0.8, 0.8, 0.7564777, 0.1
    {{0x1.99999ap-1f, 0x1.99999ap-1f, 0x1.83510cp-1f, 0x1.99999ap-4f},
     {0x1.9999999999999p-1, 0x1.9999999999999p-1, 0x1.83510b8b4e7d3p-1, 0x1.9999999999999p-4}},
};

TEST(CurveSmoothing, ZeroSmoothnessIsTheSampleItself) {
    const int samples[4] = {0, 1, 383, 767};
    for (int shape = 0; shape < 6; ++shape) {
        for (int k = 0; k < 4; ++k) {
            const int i = samples[k];
            const SampleValues& v = kSamplesOfEachShape[shape];
            EXPECT_EQ(getBasicCurveVal(shape, i, 768, 0.7f, 0.1f, 0), v.single[k]) << shape << " " << i;
            EXPECT_EQ(getCurveVal(shape, i, 768, 0.7f, 0.1f, 0.0f, 0), v.single[k]) << shape << " " << i;
            EXPECT_EQ(getBasicCurveVal(shape, i, 768, 0.7, 0.1, 0), v.wide[k]) << shape << " " << i;
            EXPECT_EQ(getCurveVal(shape, i, 768, 0.7, 0.1, 0.0f, 0), v.wide[k]) << shape << " " << i;
        }
    }
}

// n = 9: x = i/8 is exact both by division and by the reciprocal the neighbours use,
// and no eighth moves under the rounding to 1e-7.
TEST(CurveSmoothing, WholeSmoothnessAveragesTwoSPlusOneSamples) {
    // (3/8 + 4/8 + 5/8) / 3 = 0.5, every step exact in single.
    EXPECT_EQ(getCurveVal(kLinearRampUp, 4, 9, 1.0f, 0.0f, 1.0f, 0), 0.5f);
    // (2/8 + 3/8 + 4/8 + 5/8 + 6/8) / 5 = 2.5 / 5 = 0.5.
    EXPECT_EQ(getCurveVal(kLinearRampUp, 4, 9, 1.0f, 0.0f, 2.0f, 0), 0.5f);
    // Half a step of smoothness: 0.5 x 1.5 / 3 + 0.5 x 0.5 / 1 = 0.25 + 0.25.
    EXPECT_EQ(getCurveVal(kLinearRampUp, 4, 9, 1.0f, 0.0f, 0.5f, 0), 0.5f);
    EXPECT_DOUBLE_EQ(getCurveVal(kLinearRampUp, 4, 9, 1.0, 0.0, 1.0f, 0), 0.5);
}

TEST(CurveSmoothing, WindowWrapsAroundTheCurve) {
    // Sample 0's neighbour at k = -1 is sample 767 (x = 1). Its other neighbour is
    // 1/767 rounded to 1e-7, 0.0013038 (the float 0x1.55c88ap-10); in single
    // 0 + 1 + 0.0013038 = 1.0013038 (0x1.005572p+0), and a third of it rounds to
    // 0x1.55c742p-2 = 0.33376792.
    EXPECT_EQ(getCurveVal(kLinearRampUp, 0, 768, 1.0f, 0.0f, 1.0f, 0), 0x1.55c742p-2f);
    EXPECT_NEAR(getCurveVal(kLinearRampUp, 0, 768, 1.0, 0.0, 1.0f, 0), (1.0 + 1.0 / 767) / 3, 1e-7);
}

// Smoothness 2.3 over 768 samples: the mean of samples i - 2 .. i + 2 blended by 0.3
// with the mean of i - 3 .. i + 3, each neighbour at x = j x (1/767) and rounded to
// 1e-7, the window wrapping at both ends. Worked out with exact rationals, rounding
// to single (or double) at each step in the order of the smoothing rule.
TEST(CurveSmoothing, FractionalSmoothnessBlendsTwoWindowsAcrossTheEnds) {
    struct Smoothed {
        int shape;
        float single[3];
        double wide[3];
    };
    const Smoothed cases[] = {
        {kLinearRampUp, {0x1.8ba554p-2f, 0x1.ac4a7cp-4f, 0x1.06fa22p-1f},
         {0x1.8ba555080e9a5p-2, 0x1.ac4a7c54f03e2p-4, 0x1.06fa2248c57fap-1}},
        {kLinearRampDown, {0x1.06fa24p-1f, 0x1.97438p-1f, 0x1.8ba556p-2f},
         {0x1.06fa2248c57fap-1, 0x1.97437d422ec5p-1, 0x1.8ba555080e9a6p-2}},
        {kTriangleWave, {0x1.a0abaap-4f, 0x1.befb7p-4f, 0x1.a0abaap-4f},
         {0x1.a0abaa2bb4546p-4, 0x1.befb6ca384e42p-4, 0x1.a0abaa2bb4547p-4}},
        {kSineWave, {0x1.ccccdp-2f, 0x1.db7498p-2f, 0x1.c9de4p-2f},
         {0x1.ccccccccccccep-2, 0x1.db74963d9b016p-2, 0x1.c9de3e7084302p-2}},
        {kExpUp, {0x1.8a433cp-2f, 0x1.99999cp-4f, 0x1.05e838p-1f},
         {0x1.8a4339dcef4e4p-2, 0x1.9999999999998p-4, 0x1.05e836e1c7c69p-1}},
        {kExpDown, {0x1.07ab3p-1f, 0x1.99999cp-1f, 0x1.8dc92ap-2f},
         {0x1.07ab2fde5525ap-1, 0x1.9999999999998p-1, 0x1.8dc92bd60a0c8p-2}},
    };
    const int samples[3] = {0, 5, 767};
    for (const Smoothed& c : cases) {
        for (int k = 0; k < 3; ++k) {
            const int i = samples[k];
            EXPECT_EQ(getCurveVal(c.shape, i, 768, 0.7f, 0.1f, 2.3f, 0), c.single[k]) << c.shape << " " << i;
            EXPECT_EQ(getCurveVal(c.shape, i, 768, 0.7, 0.1, 2.3f, 0), c.wide[k]) << c.shape << " " << i;
        }
    }
    // The kernels' scaled smoothness 8.0842104 (1 x 768/95) on the sine of amplitude 0.25.
    EXPECT_EQ(getCurveVal(kSineWave, 0, 768, 0.25f, 0.0f, 8.084210395812988f, 0), 0.125f);
    EXPECT_EQ(getCurveVal(kSineWave, 300, 768, 0.25f, 0.0f, 8.084210395812988f, 0), 0x1.a24582p-3f);
    EXPECT_EQ(getCurveVal(kSineWave, 767, 768, 0.25f, 0.0f, 8.084210395812988f, 0), 0x1.fbd09p-4f);
    // Flag bit 1: the sine over x = i / 767; sample 100 is 0.5 + 0.5 sin(2 pi x 100/767).
    EXPECT_EQ(getBasicCurveVal(kSineWave, 100, 768, 1.0f, 0.0f, kCurveSineOverLastSample), 0x1.bb0822p-1f);
}

TEST(CurveSmoothing, NonFiniteSmoothnessStaysBounded) {
    // A NaN smoothness smooths nothing: the centre alone, 4/8.
    EXPECT_EQ(getCurveVal(kLinearRampUp, 4, 9, 1.0f, 0.0f, NAN, 0), 0.5f);
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
