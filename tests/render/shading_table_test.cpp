#include <gtest/gtest.h>

#include <vector>

#include "render/shading/melt_shading.h"
#include "render/shading/shading_table.h"

namespace {

struct Table {
    float entry[kShadingTableSize];
};

Table build(int32_t shading, int phaseOffset, float strength = 1.0f) {
    Table table{};
    buildShadingTable(table.entry, shading, phaseOffset, strength);
    return table;
}

TEST(ShadingTable, SineIsAHalfWaveThatNeverReachesOne) {
    Table t = build(kShadingSineWave, 0);
    EXPECT_EQ(t.entry[0], 0.0f);
    EXPECT_EQ(t.entry[127], 0.99998105f);
    EXPECT_EQ(t.entry[128], 0.99998105f);
    // pi is taken as 3.14159265359, a little above the true value, so sin(pi) < 0.
    EXPECT_LT(t.entry[255], 0.0f);
    EXPECT_NEAR(t.entry[255], -2.07e-13, 0.01e-13);
    for (float e : t.entry) EXPECT_LT(e, 1.0f);
}

TEST(ShadingTable, TriangleHasAFlatTopOfFourEntries) {
    Table t = build(kShadingTriangleWave, 0);
    for (int i : {126, 127, 128, 129}) EXPECT_EQ(t.entry[i], 1.0f) << i;
    EXPECT_EQ(t.entry[0], 0.0f);
    EXPECT_EQ(t.entry[255], 0.0f);
    EXPECT_EQ(t.entry[1], 1.0f / 126.0f);
    EXPECT_EQ(t.entry[254], 1.0f / 126.0f);
    EXPECT_EQ(t.entry[63], 63.0f / 126.0f);
}

TEST(ShadingTable, RampsRunBetweenZeroAndOne) {
    Table up = build(kShadingLinearRampUp, 0);
    EXPECT_EQ(up.entry[0], 0.0f);
    EXPECT_EQ(up.entry[255], 1.0f);
    EXPECT_EQ(up.entry[51], 0.2f);
    Table down = build(kShadingLinearRampDown, 0);
    EXPECT_EQ(down.entry[0], 1.0f);
    EXPECT_EQ(down.entry[255], 0.0f);
    EXPECT_EQ(down.entry[51], 0.8f);
}

TEST(ShadingTable, PhaseOffsetRotatesTheWaveTowardHigherEntries) {
    // 90 degrees is an offset of 64: wave position 0 lands at entry 64, and entry 0
    // holds wave position 256 - 64 = 192.
    Table t = build(kShadingLinearRampUp, 64);
    EXPECT_EQ(t.entry[64], 0.0f);
    EXPECT_EQ(t.entry[63], 1.0f);
    EXPECT_EQ(t.entry[0], 0.7529412f);
    // An offset of 255 (as from -360 degrees) puts position 0 in the last entry.
    Table last = build(kShadingLinearRampUp, 255);
    EXPECT_EQ(last.entry[255], 0.0f);
    EXPECT_EQ(last.entry[0], float(1.0 / 255.0));
    EXPECT_EQ(last.entry[254], 1.0f);
    // The triangle's top moves with it: offset 191 (as from -90 degrees).
    Table tri = build(kShadingTriangleWave, 191);
    for (int i : {61, 62, 63, 64}) EXPECT_EQ(tri.entry[i], 1.0f) << i;
    EXPECT_EQ(tri.entry[191], 0.0f);
    EXPECT_EQ(tri.entry[190], 0.0f);
}

TEST(ShadingTable, StrengthFollowsTheLongestRun) {
    EXPECT_EQ(shadingStrength(4.0f), 1.0f);
    EXPECT_EQ(shadingStrength(2.5f), 0.5f);
    EXPECT_EQ(shadingStrength(1.0f), 0.0f);
    EXPECT_EQ(shadingStrength(0.0f), float(-1.0 / 3.0));
}

TEST(ShadingTable, LongestRunIgnoresNegativeLengths) {
    std::vector<float> lengths(768, 1.0f);
    lengths[700] = 129.0f;
    EXPECT_EQ(largestRunLength(lengths.data(), 768), 129.0f);
    std::vector<float> negative(768, -2.0f);
    EXPECT_EQ(largestRunLength(negative.data(), 768), 0.0f);
}

TEST(ShadingTable, FullStrengthOrMoreLeavesTheWave) {
    // The half sine rotated by 10: entry j holds sin(3.14159265359 x ((j - 10) mod 256)
    // / 255), worked out in double and rounded to single (the three ways of ordering
    // the product and the quotient give the same floats here).
    struct Entry {
        int j;
        float value;
    };
    const Entry entries[] = {
        {10, 0.0f},                    // wave position 0
        {11, 0x1.93b0ccp-7f},          // sin(pi / 255) = 0.01231966
        {137, 0x1.fffd84p-1f},         // position 127: 0.99998105
        {138, 0x1.fffd84p-1f},         // position 128
        {139, 0x1.ffe99ep-1f},         // position 129: 0.99982923
        {255, 0x1.f759b6p-4f},         // position 245: 0.12288829
        {0, 0x1.c53bcp-4f},            // position 246: 0.11065269
        {9, -0x1.d1b968p-43f},         // position 255: sin(3.14159265359) = -2.07e-13
    };
    for (float strength : {1.0f, 5.0f}) {
        Table t = build(kShadingSineWave, 10, strength);
        for (const Entry& e : entries) EXPECT_EQ(t.entry[e.j], e.value) << strength << " " << e.j;
        // All 256 entries worked out alike and summed in double in index order.
        double sum = 0.0;
        for (float e : t.entry) sum += double(e);
        EXPECT_EQ(sum, 0x1.44ac06b71fff9p+7) << strength;  // 162.33598873
    }
}

TEST(ShadingTable, PartStrengthPullsTowardOne) {
    Table t = build(kShadingLinearRampUp, 0, shadingStrength(2.5f));
    EXPECT_EQ(t.entry[0], 0.5f);
    EXPECT_EQ(t.entry[255], 1.0f);
}

TEST(ShadingTable, OneCellRunsGiveAFlatTableForEveryWave) {
    for (int32_t wave : {kShadingSineWave, kShadingTriangleWave, kShadingLinearRampUp,
                         kShadingLinearRampDown}) {
        Table t = build(wave, 37, shadingStrength(1.0f));
        for (int i = 0; i < kShadingTableSize; ++i) EXPECT_EQ(t.entry[i], 1.0f) << wave << " " << i;
    }
}

TEST(ShadingTable, NegativeStrengthTurnsTheWaveOver) {
    // No run longer than 0 cells: k = -1/3 and an entry e becomes 1 + (1 - e) / 3.
    Table t = build(kShadingLinearRampUp, 0, shadingStrength(0.0f));
    EXPECT_EQ(t.entry[0], 4.0f / 3.0f);
    EXPECT_EQ(t.entry[255], 1.0f);
}

TEST(ShadingTable, ValuesOutsideTheWavesGiveAFlatTable) {
    for (int32_t shading : {0, 5, -1}) {
        Table t = build(shading, 12, shadingStrength(0.0f));
        for (int i = 0; i < kShadingTableSize; ++i) EXPECT_EQ(t.entry[i], 1.0f) << shading << " " << i;
    }
}

// The kernel's build: the phase through the angle table, the strength from the
// longest run of the call's spread lengths.
struct KernelBuild {
    MeltShading<true> shading;
    KernelBuild(int32_t wave, int32_t phase, float longestRun) {
        std::vector<float> lengths(kLumaEntries, 1.0f);
        lengths[kLumaEntries - 1] = longestRun;
        ParamValues params{};
        params.shading = wave;
        params.shadingPhase = phase;
        shading.build(params, lengths.data());
    }
    // The entry that holds wave position 0 of a ramp up.
    int waveStart() const {
        for (int i = 0; i < kShadingTableSize; ++i) {
            if (shading.shadingTable[i] == 0.0f) return i;
        }
        return -1;
    }
};

struct PhaseCase {
    double degrees;
    int offset;
};

TEST(ShadingTable, KernelRotatesByTheShadingPhase) {
    const PhaseCase cases[] = {
        {0, 0},   {90, 64},   {360, 0},   {1, 0},     {1.40625, 1},  {359, 255},
        {720, 0}, {-90, 191}, {-1.40625, 254}, {-360, 255}, {-1, 0},
    };
    for (const PhaseCase& c : cases) {
        KernelBuild build(kShadingLinearRampUp, int32_t(c.degrees * 65536.0), 129.0f);
        EXPECT_EQ(build.waveStart(), c.offset) << c.degrees << " degrees";
    }
}

TEST(ShadingTable, KernelFadesTheWaveInByTheLongestRun) {
    EXPECT_EQ(KernelBuild(kShadingLinearRampUp, 0, 4.0f).shading.shadingTable[0], 0.0f);
    EXPECT_EQ(KernelBuild(kShadingLinearRampUp, 0, 2.5f).shading.shadingTable[0], 0.5f);
    for (int32_t wave = kShadingSineWave; wave <= kShadingLinearRampDown; ++wave) {
        KernelBuild flat(wave, 90 * 65536, 1.0f);
        for (float e : flat.shading.shadingTable) EXPECT_EQ(e, 1.0f) << wave;
    }
}

}  // namespace
