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
    const auto straight = build(defaultParamValues());
    EXPECT_EQ(t->velocityTable[192], straight->velocityTable[0]);
    EXPECT_EQ(t->velocityTable[191], straight->velocityTable[767]);
    params.spreadCurvePhase = -5898240;  // offset 575
    const auto spread = build(params);
    EXPECT_EQ(spread->spreadLengthTable[575], straight->spreadLengthTable[0]);
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

TEST(MeltTables, AlignmentZeroEndsEveryRunOnePastItsTarget) {
    ParamValues params = defaultParamValues();
    params.spreadAlignment = 0.0;
    const auto t = build(params);
    for (int j = 0; j < 768; ++j) {
        EXPECT_NEAR(t->spreadOffsetTable[j], -(t->spreadLengthTable[j] - 1.0f), 1e-5f) << j;
    }
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
    const auto full = build(defaultParamValues());
    const auto half = build(defaultParamValues(), 0.5f);
    for (int j : {0, 100, 767}) {
        EXPECT_FLOAT_EQ(half->velocityTable[j], full->velocityTable[j] / 2) << j;
        // Each curve sample is rounded to 1e-7 before x 512: equal up to that.
        EXPECT_NEAR(half->spreadLengthTable[j], (full->spreadLengthTable[j] - 1) / 2 + 1, 1e-4) << j;
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
