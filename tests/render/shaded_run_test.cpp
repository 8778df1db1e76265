#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "render/paths/lanes.h"
#include "render/paths/vector_path.h"
#include "render/shading/shade_sums.h"
#include "render/shading/shaded_run.h"
#include "tests/render/shading_test_support.h"

namespace {

struct Ramp {
    float entry[kShadingTableSize];
    Ramp() {
        for (int i = 0; i < kShadingTableSize; ++i) entry[i] = float(i);
    }
};

const Ramp ramp;

// The samples of every kind of cell, in both rounding forms: where a sample lies
// far from a whole number, the two forms take it alike.
template <ShadeForm Form>
struct InForm {
    static constexpr ShadeForm kForm = Form;
};
template <class FormTag>
using Run = ShadedRun<FormTag::kForm>;

template <class FormTag>
class ShadedRunInEachForm : public ::testing::Test {};
using BothForms = ::testing::Types<InForm<ShadeForm::kMultiplying>, InForm<ShadeForm::kDividing>>;
TYPED_TEST_SUITE(ShadedRunInEachForm, BothForms);

TYPED_TEST(ShadedRunInEachForm, OneCellRunOnACellBoundary) {
    Run<TypeParam> run(ramp.entry, 1.0f, 0.0f);
    EXPECT_EQ(indices(run.wholeCellSamples()), (Indices{0, 25, 51, 76, 102, 127, 153, 178, 204, 229}));
}

TYPED_TEST(ShadedRunInEachForm, ThreeCellRunSpreadsTheTableOverItsCells) {
    Run<TypeParam> run(ramp.entry, 3.0f, 0.0f);
    EXPECT_EQ(indices(run.wholeCellSamples()), (Indices{0, 8, 17, 25, 34, 42, 51, 59, 68, 76}));
    EXPECT_EQ(indices(run.wholeCellSamples()), (Indices{85, 93, 102, 110, 119, 127, 136, 144, 153, 161}));
    EXPECT_EQ(indices(run.wholeCellSamples()), (Indices{170, 178, 187, 195, 204, 212, 221, 229, 238, 246}));
}

TYPED_TEST(ShadedRunInEachForm, RunStartingInsideACell) {
    // Start 10.25, length 1: three quarters of cell 10, then a quarter of cell 11.
    Run<TypeParam> run(ramp.entry, 1.0f, 0.0f);
    EXPECT_EQ(indices(run.firstPartialSamples(0.75f)), (Indices{0, 19, 38, 57, 76, 95, 114, 133, 153, 172}));
    EXPECT_EQ(indices(run.lastPartialSamples()), (Indices{191, 197, 204, 210, 216, 223, 229, 235, 242, 248}));
}

const Indices kHalfThenWhole{63, 76, 89, 102, 114, 127, 140, 153, 165, 178};
const Indices kLastHalf{191, 197, 204, 210, 216, 223, 229, 235, 242, 248};

TYPED_TEST(ShadedRunInEachForm, WrappedRunKeepsItsPositionsAcrossTheLineEnd) {
    // Length 2 from half a cell before the line end: the half cell, the whole cell at
    // cell 0 and the last half at cell 1 sample one continuous stretch of the table.
    Run<TypeParam> run(ramp.entry, 2.0f, 0.0f);
    EXPECT_EQ(indices(run.firstPartialSamples(0.5f)), (Indices{0, 6, 12, 19, 25, 31, 38, 44, 51, 57}));
    EXPECT_EQ(indices(run.wholeCellSamples()), kHalfThenWhole);
    EXPECT_EQ(indices(run.lastPartialSamples()), kLastHalf);
}

TYPED_TEST(ShadedRunInEachForm, ClippedRunIsShadedFromItsTrueStart) {
    // Length 2 from -0.5: the half before cell 0 is cut off but counts as consumed.
    Run<TypeParam> run(ramp.entry, 2.0f, 0.5f);
    EXPECT_EQ(indices(run.wholeCellSamples()), kHalfThenWhole);
    EXPECT_EQ(indices(run.lastPartialSamples()), kLastHalf);
    // Length 10 from -2.5: cell 0 covers run positions 2.5 to 3.5, table 63.75 to 89.25.
    Run<TypeParam> longer(ramp.entry, 10.0f, 2.5f);
    EXPECT_EQ(indices(longer.wholeCellSamples()), (Indices{63, 66, 68, 71, 73, 76, 79, 81, 84, 86}));
}

TYPED_TEST(ShadedRunInEachForm, AmountIsWeightedByTheMeanOfTheTenSamples) {
    Run<TypeParam> run(ramp.entry, 1.0f, 0.0f);
    // (0 + 25 + 51 + 76 + 102 + 127 + 153 + 178 + 204 + 229) x 0.1f = 114.5, times 0.5
    EXPECT_EQ(run.wholeCell(0.5f), 57.25f);
}

TYPED_TEST(ShadedRunInEachForm, FlatTableLeavesEveryAmountAsItIs) {
    // Ten times 1.0, times 0.1f, rounds to exactly 1.0.
    float flat[kShadingTableSize];
    for (float& e : flat) e = 1.0f;
    const float amount = 0.123456f;
    Run<TypeParam> run(flat, 7.3f, 0.0f);
    EXPECT_EQ(run.firstCell(0.4f, amount), amount);
    for (int cell = 0; cell < 6; ++cell) EXPECT_EQ(run.wholeCell(amount), amount);
    EXPECT_EQ(run.lastCell(amount), amount);
}

TYPED_TEST(ShadedRunInEachForm, FirstPartialCellAlwaysStartsAtEntryZero) {
    for (float length : {1.0f, 1.7f, 40.0f, 1000.0f}) {
        Run<TypeParam> run(ramp.entry, length, 0.0f);
        EXPECT_EQ(run.firstPartialSamples(0.999f).index[0], 0) << length;
    }
}

TYPED_TEST(ShadedRunInEachForm, LastPartialCellEndsWithinOneStepOfTheRunsEnd) {
    // Whatever came before it, the last cell's samples run on toward entry 255 and
    // stop one step short of it: the step is a tenth of what is left of the table.
    for (float length : {1.3f, 2.0f, 7.77f, 100.5f, 1000.25f}) {
        for (float share : {0.0f, 0.3f, 0.999f}) {
            Run<TypeParam> run(ramp.entry, length, 0.0f);
            float remaining = length;
            if (share > 0.0f) {
                run.firstPartialSamples(share);
                remaining = remaining - share;
            }
            for (; remaining >= 1.0f; remaining = remaining - 1.0f) run.wholeCellSamples();
            const Indices last = indices(run.lastPartialSamples());
            const double consumed = double(length - remaining);
            const float start = TypeParam::kForm == ShadeForm::kMultiplying ? float(consumed * 255.0 / double(length))
                                                                             : float(consumed * (255.0 / double(length)));
            const float step = float(double(255.0f - start) * 0.1);  // a tenth of what is left
            for (int k = 1; k < kShadeSamplesPerCell; ++k) EXPECT_LE(last[k - 1], last[k]) << length << " " << share;
            EXPECT_LE(last[9], 255) << length << " " << share;
            EXPECT_GE(float(last[9]) + step + 1.0f, 255.0f) << length << " " << share;
        }
    }
}

TYPED_TEST(ShadedRunInEachForm, BatchesOfWholeCellsWeighAsCellByCellAndLeaveTheRunWhereItWas) {
    // Counts around the four-cell lanes and the batch of 32, after a first partial
    // cell or none; the last cell afterwards shows that the run moved on alike.
    for (int32_t count : {1, 3, 4, 5, 31, 32, 33, 70}) {
        for (float share : {0.0f, 0.37f}) {
            const float length = float(count) + share + 0.6f;
            Run<TypeParam> batched(ramp.entry, length, 0.0f), single(ramp.entry, length, 0.0f);
            if (share > 0.0f) {
                batched.firstCell(share, 1.0f);
                single.firstCell(share, 1.0f);
            }
            std::vector<float> amounts;
            batched.wholeCells(count, 0.75f, [&](int32_t k, float amount) {
                EXPECT_EQ(k, int32_t(amounts.size()));
                amounts.push_back(amount);
            });
            ASSERT_EQ(amounts.size(), size_t(count));
            for (int32_t k = 0; k < count; ++k) EXPECT_EQ(amounts[k], single.wholeCell(0.75f)) << count << " " << k;
            EXPECT_EQ(batched.lastCell(0.6f), single.lastCell(0.6f)) << count;
        }
    }
}

// Runs shorter than their first partial cell come only from parameters outside their
// ranges; their positions are held to the table instead of reading past it.
TYPED_TEST(ShadedRunInEachForm, RunShorterThanItsFirstCellStaysInTheTable) {
    // Share 0.75 of a run of 0.5: the step is 38.25, so samples 7 to 9 would pass 255.
    Run<TypeParam> run(ramp.entry, 0.5f, 0.0f);
    EXPECT_EQ(indices(run.firstPartialSamples(0.75f)), (Indices{0, 38, 76, 114, 153, 191, 229, 255, 255, 255}));
    // What is left (0.5 - 0.75) is negative; the last cell's start is past 255 and its
    // step negative, so every sample holds at the last entry.
    EXPECT_EQ(indices(run.lastPartialSamples()), (Indices{255, 255, 255, 255, 255, 255, 255, 255, 255, 255}));
}

TYPED_TEST(ShadedRunInEachForm, RunOfNoLengthSamplesEntryZero) {
    const Indices zeros{};
    for (float length : {0.0f, -0.0f, -3.5f, std::numeric_limits<float>::quiet_NaN()}) {
        Run<TypeParam> run(ramp.entry, length, 0.0f);
        EXPECT_EQ(indices(run.firstPartialSamples(0.5f)), zeros) << length;
        EXPECT_EQ(indices(run.wholeCellSamples()), zeros) << length;
        EXPECT_EQ(indices(run.lastPartialSamples()), zeros) << length;
        EXPECT_EQ(run.lastCell(1.0f), 0.0f);
    }
}

TEST(ShadedRun, SampleIndexHoldsPositionsToTheTable) {
    EXPECT_EQ(shadeSampleIndex(-0.5f), 0);
    EXPECT_EQ(shadeSampleIndex(-1e30f), 0);
    EXPECT_EQ(shadeSampleIndex(254.99f), 254);
    EXPECT_EQ(shadeSampleIndex(255.5f), 255);
    EXPECT_EQ(shadeSampleIndex(std::numeric_limits<float>::infinity()), 255);
    EXPECT_EQ(shadeSampleIndex(std::numeric_limits<float>::quiet_NaN()), 0);
}


// ---- Weights of kept climb patterns against the ten samples summed cell by cell.

// A wave with no two entries alike, so that a wrong index shows in the weight.
struct UnevenWave {
    float entry[kShadingTableSize];
    UnevenWave() {
        for (int i = 0; i < kShadingTableSize; ++i) {
            entry[i] = float(std::sin(double(i) * 0.071)) * 0.9f + 1.0f + float(i) * 1e-4f;
        }
    }
};

const UnevenWave uneven;

// The cell whose samples climb from `first` as `climbs` says, held to the table.
ShadeSamples climbingSamples(int32_t first, int32_t climbs) {
    ShadeSamples samples{};
    samples.index[0] = first;
    for (int n = 1; n < kShadeSamplesPerCell; ++n) {
        const int next = samples.index[n - 1] + ((climbs >> (n - 1)) & 1);
        samples.index[n] = next < kShadingTableSize ? next : kShadingTableSize - 1;
    }
    return samples;
}

// Weights of the uneven wave worked out apart from this code, with single rounding
// at every step: the wave's entries as the constructor above rounds them, the ten
// entries summed in float from sample 0 on, then times 0.1f (multiplying) or divided
// by 10.0f (dividing).
struct PatternWeight {
    int32_t climbs, first;
    float multiplying, dividing;
};
const PatternWeight kPatternWeights[] = {
    {0, 0, 1.0f, 1.0f},                             // ten times entry 0, 1.0: 10 x 0.1f rounds to 1
    {0, 11, 0x1.a27b1ep+0f, 0x1.a27b1cp+0f},        // ten times entry 11: the forms differ in the last bit
    {0, 255, 0x1.a99814p-2f, 0x1.a99814p-2f},       // ten times the last entry, 0.41561919
    {0x1FF, 10, 0x1.c1c0bp+0f, 0x1.c1c0bp+0f},      // entries 10 to 19: 1.7568464
    {0x155, 100, 0x1.c2b1dp+0f, 0x1.c2b1dp+0f},     // 100, 101, 101, 102, 102, ..., 105: 1.7605257
    {0xA5, 37, 0x1.51806ap+0f, 0x1.51806ap+0f},     // 37, 38, 38, 39, 39, 39, 40, 40, 41, 41
    {0x1FF, 250, 0x1.6ac28ap-2f, 0x1.6ac28ap-2f},   // 250 to 255, then held at 255: 0.35425773
};
// All 512 patterns from all 256 starts, worked out alike and summed in double in the
// order the test walks them (patterns outer, starts inner).
constexpr double kAllWeightsMultiplying = 0x1.04ce78b5859p+17;  // 133532.94303960353
constexpr double kAllWeightsDividing = 0x1.04ce7873643p+17;     // 133532.94102146477

template <ShadeForm Form>
void expectEveryPatternAndStartWeighsAsItsTenSamples(int32_t patterns) {
    // Every pattern twice over: the first ones met are kept and read back the second
    // time, the rest summed cell by cell each time. Entry by entry the weights are
    // also held to the cell-by-cell factor, which tells where they differ.
    auto room = std::make_unique<RoomySums<Form>>(patterns);
    ShadeSums<Form>* const sums = &room->sums;
    const bool multiplying = Form == ShadeForm::kMultiplying;
    for (int round = 0; round < 2; ++round) {
        double all = 0.0;
        for (int32_t climbs = 0; climbs < kClimbPatterns; ++climbs) {
            for (int32_t first = 0; first < kShadingTableSize; ++first) {
                const float cellByCell = shadeFactor<Form>(uneven.entry, climbingSamples(first, climbs));
                const float weight = sums->template weight<Sse2Lanes>(uneven.entry, first, climbs);
                all += double(weight);
                if (weight != cellByCell) {
                    FAIL() << "pattern " << climbs << " from " << first << ": " << weight << " for " << cellByCell;
                }
            }
        }
        EXPECT_EQ(all, multiplying ? kAllWeightsMultiplying : kAllWeightsDividing) << "round " << round;
        for (const PatternWeight& w : kPatternWeights) {
            EXPECT_EQ(sums->template weight<Sse2Lanes>(uneven.entry, w.first, w.climbs),
                      multiplying ? w.multiplying : w.dividing)
                << "pattern " << w.climbs << " from " << w.first << ", round " << round;
        }
    }
}

TEST(ShadeSums, EveryPatternAndStartWeighsAsItsTenSamples) {
    expectEveryPatternAndStartWeighsAsItsTenSamples<ShadeForm::kMultiplying>(kKeptClimbPatterns);
    expectEveryPatternAndStartWeighsAsItsTenSamples<ShadeForm::kDividing>(kKeptClimbPatterns);
    // The room of a call that keeps fewer, and of none.
    expectEveryPatternAndStartWeighsAsItsTenSamples<kShadeForm>(kKeptClimbPatterns >> 5);
    expectEveryPatternAndStartWeighsAsItsTenSamples<kShadeForm>(0);
}

TEST(ShadeSums, ClearedSumsWeighFromTheTableAsItIsThen) {
    auto room = std::make_unique<RoomySums<ShadeForm::kMultiplying>>();
    ShadeSums<ShadeForm::kMultiplying>& sums = room->sums;
    Ramp table = ramp;
    const auto weight = [&] { return sums.weight<Sse2Lanes>(table.entry, 10, 0x1FF); };
    // Entries 10 to 19 of the ramp: 145 x 0.1f = 14.5000002, which rounds to 14.5.
    EXPECT_EQ(weight(), 14.5f);
    table.entry[15] = 1000.0f;
    sums.clear();
    // 1130 x 0.1f = 113.0000017, which rounds to 113; once summed afresh, then kept.
    EXPECT_EQ(weight(), 113.0f);
    EXPECT_EQ(weight(), (10.0f + 11 + 12 + 13 + 14 + 1000 + 16 + 17 + 18 + 19) * 0.1f);
}

// Whole cells in batches of a path's lanes, appended to `amounts`. Each path's
// batches run inside a function compiled for that path, as in the kernel.
template <ShadeForm Form>
using WholeCellsOnPath = void (*)(ShadedRun<Form>& run, int32_t count, std::vector<float>& amounts);

template <class Lanes, ShadeForm Form>
void wholeCellsOn(ShadedRun<Form>& run, int32_t count, std::vector<float>& amounts) {
    run.template wholeCells<Lanes>(count, 0.75f, [&](int32_t, float amount) { amounts.push_back(amount); });
}
template <ShadeForm Form>
void wholeCellsOnSse2(ShadedRun<Form>& run, int32_t count, std::vector<float>& amounts) {
    wholeCellsOn<Sse2Lanes>(run, count, amounts);
}
template <ShadeForm Form>
ONDRAVA_TARGET_AVX2 __attribute__((flatten)) void wholeCellsOnAvx2(ShadedRun<Form>& run, int32_t count,
                                                                   std::vector<float>& amounts) {
    wholeCellsOn<Avx2Lanes>(run, count, amounts);
}
template <ShadeForm Form>
ONDRAVA_TARGET_AVX512 __attribute__((flatten)) void wholeCellsOnAvx512(ShadedRun<Form>& run, int32_t count,
                                                                       std::vector<float>& amounts) {
    wholeCellsOn<Avx512Lanes>(run, count, amounts);
}

// Whole cells in batches, with the call's kept patterns, against the same run cell
// by cell without them; then the last cell, which shows that both runs moved on
// alike.
template <ShadeForm Form>
void expectBatchesWeighAsCellByCell(WholeCellsOnPath<Form> onPath, ShadeSums<Form>& sums, float length,
                                    float consumed, float share, int32_t count) {
    ShadedRun<Form> batched(uneven.entry, length, consumed, &sums), single(uneven.entry, length, consumed);
    if (share > 0.0f) {
        EXPECT_EQ(batched.firstCell(share, 0.8f), single.firstCell(share, 0.8f));
    }
    std::vector<float> amounts;
    // Calls of several sizes, as the deposit's chunks and the factor cache make them.
    for (int32_t call = 0; int32_t(amounts.size()) < count; ++call) {
        const int32_t wanted = (call % 3 == 0 ? 300 : call % 3 == 1 ? 1 : 37);
        const int32_t left = count - int32_t(amounts.size());
        onPath(batched, left < wanted ? left : wanted, amounts);
    }
    for (int32_t k = 0; k < count; ++k) {
        const float expected = single.wholeCell(0.75f);
        if (k < 32 || k % 8 == 7 || k == count - 1) {
            // After any number of cells, the runs stand alike.
            ShadedRun<Form> after(uneven.entry, length, consumed, &sums);
            if (share > 0.0f) after.firstCell(share, 0.8f);
            onPath(after, k + 1, amounts);
            amounts.resize(size_t(count));
            EXPECT_EQ(after.consumed(), single.consumed()) << length << " " << consumed << " " << share << " " << k;
        }
        if (amounts[size_t(k)] != expected) {
            FAIL() << "length " << length << " consumed " << consumed << " share " << share << " cell " << k << ": "
                   << amounts[size_t(k)] << " for " << expected;
        }
    }
    EXPECT_EQ(batched.lastCell(0.6f), single.lastCell(0.6f)) << length << " " << consumed << " " << share;
}

template <ShadeForm Form>
void expectEveryKindOfRunWeighsAsCellByCell(WholeCellsOnPath<Form> onPath) {
    auto room = std::make_unique<RoomySums<Form>>();
    ShadeSums<Form>* const sums = &room->sums;
    // Steps far below one entry, near 0.99 (where the kept patterns stop), at and
    // beyond one; runs reaching powers of two of cells; runs far longer than the
    // line; and runs that start part-way, clipped at the line start. Clipped at
    // 0.3180821, 0.0973306 or 0.1516276 cells, the consumed lengths of the next 4,
    // 8 or 16 cells, each one more than the last, round where adding 1 to 16 in one
    // addition would not, and yet each such sum less the start gives back 1 to 16.
    const float lengths[] = {3.5f,  12.75f, 17.0f, 20.0f,  25.4f,  25.75f,   25.76f,
                             25.9f, 31.0f,  60.3f, 129.5f, 255.9f, 1000.25f, 40000.0f};
    for (float length : lengths) {
        for (float consumed : {0.0f, 0.318082124f, 0.0973306f, 0.15162757f, 15.75f, 16.0f, 31.5f}) {
            for (float share : {0.0f, 0.4f}) {
                const int32_t whole = int32_t(length - consumed - share);
                if (whole > 0) {
                    expectBatchesWeighAsCellByCell(onPath, *sums, length, consumed, share, whole < 600 ? whole : 600);
                }
            }
        }
    }
    // Steps just under and over 0.99 entries, where positions fall near whole numbers.
    for (float length = 25.70f; length < 25.82f; length += 0.0007f) {
        expectBatchesWeighAsCellByCell(onPath, *sums, length, 0.0f, 0.5f, 24);
    }
}

template <ShadeForm Form>
void expectEveryKindOfRunWeighsAsCellByCellOnEveryPath() {
    expectEveryKindOfRunWeighsAsCellByCell<Form>(wholeCellsOnSse2<Form>);
    if (int32_t(offeredVectorPath()) >= int32_t(VectorPath::kAvx2)) {
        expectEveryKindOfRunWeighsAsCellByCell<Form>(wholeCellsOnAvx2<Form>);
    }
    if (int32_t(offeredVectorPath()) >= int32_t(VectorPath::kAvx512)) {
        expectEveryKindOfRunWeighsAsCellByCell<Form>(wholeCellsOnAvx512<Form>);
    }
}

TEST(ShadedRun, WholeCellsFromKeptPatternsWeighAsCellByCellOnEveryPath) {
    expectEveryKindOfRunWeighsAsCellByCellOnEveryPath<ShadeForm::kMultiplying>();
    expectEveryKindOfRunWeighsAsCellByCellOnEveryPath<ShadeForm::kDividing>();
}

}  // namespace
