#include <gtest/gtest.h>

#include <memory>

#include "render/stages/melt_tables.h"
#include "tests/render/melt_test_support.h"

namespace {

std::unique_ptr<MeltTables> build(ParamValues params, float scale = 1.0f) {
    auto tables = std::make_unique<MeltTables>();
    buildTables(params, scale, *tables);
    return tables;
}

TEST(MeltTables, RegisteredDefaults) {
    // meltAmount 512; velocity (0.25 x j/767 + 0.01) x 512; length 128 x j/767 + 1.
    const auto t = build(defaultParamValues());
    EXPECT_EQ(t->meltAmount, 512.0f);
    EXPECT_FLOAT_EQ(t->velocityTable[0], 5.12f);
    EXPECT_FLOAT_EQ(t->velocityTable[767], 133.12f);
    EXPECT_FLOAT_EQ(t->velocityTable[300], (0.25f * 300 / 767 + 0.01f) * 512);
    EXPECT_EQ(t->spreadLengthTable[0], 1.0f);
    EXPECT_FLOAT_EQ(t->spreadLengthTable[767], 129.0f);
    EXPECT_FLOAT_EQ(t->spreadLengthTable[400], 128.0f * 400 / 767 + 1);
    for (float offset : t->spreadOffsetTable) EXPECT_EQ(offset, 0.0f);
}

TEST(MeltTables, PhaseRotatesTheCurveTowardBrighterIndexes) {
    ParamValues params = defaultParamValues();
    params.velCurvePhase = 5898240;  // 90 degrees: offset 192
    const auto t = build(params);
    // Curve sample 0: (0 + 0.01) x 512, with 0.01 first rounded to single: 5.1199999.
    EXPECT_EQ(t->velocityTable[192], 0x1.47ae14p+2f);
    // Curve sample 767: 0.25 + 0.01 = 0.26 in single, x 512 = 133.12 (133.11999).
    EXPECT_EQ(t->velocityTable[191], 0x1.0a3d7p+7f);
    // Sample 1 next to it: 0.25 x 1/767 = 0.0003259 after the rounding to 1e-7, plus
    // 0.01 is 0.0103259 in single, x 512 = 5.2868609.
    EXPECT_EQ(t->velocityTable[193], 0x1.525beep+2f);
    params.spreadCurvePhase = -5898240;  // offset 575
    const auto spread = build(params);
    // Curve sample 0 of the spread: v = 0, a run of one cell.
    EXPECT_EQ(spread->spreadLengthTable[575], 1.0f);
    // Curve sample 767: 0.25 x 512 + 1.
    EXPECT_EQ(spread->spreadLengthTable[574], 129.0f);
}

TEST(MeltTables, FloorOneGivesVelocityEverywhere) {
    ParamValues params = defaultParamValues();
    params.velCurveFloor = 1.0;
    params.velCurveFunction = 3;
    params.velCurveSmoothness = 2.0;
    params.velCurvePhase = 1234567;
    const auto t = build(params);
    for (float v : t->velocityTable) EXPECT_FLOAT_EQ(v, (0.25f + 0.01f) * 512);
}

// A table's entries summed in double in index order, so that every entry counts to
// the last bit of its float.
double sumOf(const float (&table)[kLumaEntries]) {
    double sum = 0.0;
    for (float entry : table) sum += double(entry);
    return sum;
}

TEST(MeltTables, AlignmentZeroEndsEveryRunOnePastItsTarget) {
    ParamValues params = defaultParamValues();
    params.spreadAlignment = 0.0;
    const auto t = build(params);
    // v = (0.25 x j/767, rounded to 1e-7) x 512; the offset is -v, the length v + 1.
    struct Entry {
        int j;
        float offset, length;
    };
    const Entry entries[] = {
        {0, 0.0f, 1.0f},
        {1, -0x1.55bb1ep-3f, 0x1.2ab764p+0f},     // 0.0003259 x 512 = 0.1668608
        {300, -0x1.90858ap+5f, 0x1.98858ap+5f},   // 0.0977836 x 512 = 50.065204
        {383, -0x1.ff5516p+5f, 0x1.03aa8cp+6f},   // 0.124837 x 512 = 63.916546; + 1 rounds to 64.91655
        {767, -128.0f, 129.0f},
    };
    for (const Entry& e : entries) {
        EXPECT_EQ(t->spreadOffsetTable[e.j], e.offset) << e.j;
        EXPECT_EQ(t->spreadLengthTable[e.j], e.length) << e.j;
    }
    // All 768 entries of each table, worked out alike with exact rationals and
    // single rounding at every step, then summed in double in index order.
    EXPECT_EQ(sumOf(t->spreadOffsetTable), -0x1.80000158308p+15);  // -49152.00262595713
    EXPECT_EQ(sumOf(t->spreadLengthTable), 0x1.86000154880p+15);   // 49920.00259804726
}

TEST(MeltTables, NoIntensityOrStepMeansNoMelt) {
    ParamValues noIntensity = defaultParamValues();
    noIntensity.intensity = 0.0;
    ParamValues noStep = defaultParamValues();
    noStep.meltStep = 0;
    for (const ParamValues& params : {noIntensity, noStep}) {
        const auto t = build(params);
        for (int j = 0; j < 768; ++j) {
            EXPECT_EQ(t->velocityTable[j], 0.0f);
            EXPECT_EQ(t->spreadOffsetTable[j], 0.0f);
            EXPECT_EQ(t->spreadLengthTable[j], 1.0f);
        }
    }
}

TEST(MeltTables, DownsampleFactorHalvesVelocityAndSpread) {
    const auto half = build(defaultParamValues(), 0.5f);
    struct Entry {
        int j;
        float velocity, length;
    };
    // Velocity: the curve keeps its amplitude 0.25 and the scale x 512 becomes 256, so
    // the entries are exactly half the full ones (5.12, 21.808386, 133.12). Spread: the
    // curve's amplitude is 0.125, each sample rounded to 1e-7 before x 512, so j = 100
    // gives 0.0162973 x 512 + 1 = 9.3442173, not (17.688385 - 1) / 2 + 1 = 9.3441925.
    const Entry entries[] = {
        {0, 0x1.47ae14p+1f, 1.0f},                 // 0.01 x 256 = 2.56
        {100, 0x1.5cef26p+3f, 0x1.2b03d4p+3f},     // (0.0325945 + 0.01) x 256 = 10.904193
        {767, 0x1.0a3d7p+6f, 65.0f},               // 0.26 x 256 = 66.56; 0.125 x 512 + 1
    };
    for (const Entry& e : entries) {
        EXPECT_EQ(half->velocityTable[e.j], e.velocity) << e.j;
        EXPECT_EQ(half->spreadLengthTable[e.j], e.length) << e.j;
    }
}

TEST(MeltTables, SmoothnessIsScaledInTheKernelsCopyOnly) {
    ParamValues params = defaultParamValues();
    params.velCurveSmoothness = 1.0;
    params.spreadCurveSmoothness = 0.5;
    MeltTables tables;
    buildTables(params, 1.0f, tables);
    EXPECT_EQ(params.velCurveSmoothness, 8.084210395812988);
    EXPECT_EQ(params.spreadCurveSmoothness, 0.5 * 8.084210395812988);
}

}  // namespace
