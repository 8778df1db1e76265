// The two rounding forms of the shaded deposit where they part: a run 1.75 cells
// long that starts half-way into cell 10, over a ramp whose entry i is i / 255. Its
// first partial cell's eighth sample lies within rounding of entry 51: the
// multiplying form's 7 x step reaches 51, the dividing form's running sum stays just
// below it. Its whole cell samples alike in both forms, and its last cell's colour
// differs in the last bit, (factor x amount) x R against factor x (R x amount).
// The expected values were worked out from the two forms' steps, float by float,
// apart from this code.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "render/paths/cell_vectors.h"
#include "render/paths/vector_path.h"
#include "render/shading/melt_shading.h"
#include "render/shading/shaded_run.h"
#include "render/shading/shading_table.h"
#include "render/sources/table_index_source.h"
#include "render/stages/run_deposit.h"
#include "tests/render/literal/literal_melt.h"
#include "tests/render/shading_test_support.h"

namespace {

struct RampUp {
    float entry[kShadingTableSize];
    RampUp() { buildShadingTable(entry, kShadingLinearRampUp, 0, 1.0f); }
};

constexpr float kLength = 1.75f, kShare = 0.5f;

// Per form: the samples and factors of the first partial, the whole and the last cell.
struct FormCase {
    Indices first, whole, last;
    float firstFactor, wholeFactor, lastFactor;
};

const FormCase kMultiplying{{0, 7, 14, 21, 29, 36, 43, 51, 58, 65},
                            {72, 87, 101, 116, 131, 145, 160, 174, 189, 203},
                            {218, 222, 225, 229, 233, 236, 240, 244, 247, 251},
                            0x1.04376cp-3f, 0x1.14ae4ap-1f, 0x1.d6d6dap-1f};
const FormCase kDividing{{0, 7, 14, 21, 29, 36, 43, 50, 58, 65},
                         {72, 87, 101, 116, 131, 145, 160, 174, 189, 203},
                         {218, 222, 225, 229, 233, 236, 240, 244, 247, 251},
                         0x1.0369d2p-3f, 0x1.14ae4ap-1f, 0x1.d6d6dap-1f};

template <ShadeForm Form>
void expectSamplesAndFactors(const FormCase& expected) {
    const RampUp ramp;
    ShadedRun<Form> run(ramp.entry, kLength, 0.0f);
    EXPECT_EQ(indices(run.firstPartialSamples(kShare)), expected.first);
    EXPECT_EQ(indices(run.wholeCellSamples()), expected.whole);
    EXPECT_EQ(indices(run.lastPartialSamples()), expected.last);

    ShadedRun<Form> weighed(ramp.entry, kLength, 0.0f);
    EXPECT_EQ(weighed.firstCell(kShare, 1.0f), expected.firstFactor);
    EXPECT_EQ(weighed.wholeCell(1.0f), expected.wholeFactor);
    EXPECT_EQ(weighed.lastCell(1.0f), expected.lastFactor);

    // The tests' literal melt, cell by cell.
    using Kind = ShadedCellKind;
    EXPECT_EQ(literalCellShade(ramp.entry, Kind::FirstPartial, kLength, 0.0f, kShare, Form), expected.firstFactor);
    EXPECT_EQ(literalCellShade(ramp.entry, Kind::Whole, kLength, kShare, 0.0f, Form), expected.wholeFactor);
    EXPECT_EQ(literalCellShade(ramp.entry, Kind::LastPartial, kLength, kShare + 1.0f, 0.0f, Form),
              expected.lastFactor);
}

TEST(ShadeForms, ASampleWithinRoundingOfAWholeNumberLandsOnEntriesApart) {
    expectSamplesAndFactors<ShadeForm::kMultiplying>(kMultiplying);
    expectSamplesAndFactors<ShadeForm::kDividing>(kDividing);
}

// ---- The deposit of the build's form, on every vector path.

// Aligned as the kernel aligns its accumulator for the widest path.
struct alignas(64) Line {
    float cells[kLineCells][4] = {};
};

// The run's three cells (10, 11, 12) for a pixel of alpha 0.7 and grey 0.7: alpha
// and each colour channel.
struct CellSums {
    float alpha, colour;
};
const CellSums kMultiplyingCells[3] = {
    {0x1.6c4d96p-5f, 0x1.fe0638p-6f}, {0x1.835a68p-2f, 0x1.0f25aep-2f}, {0x1.499666p-3f, 0x1.cd6c28p-4f}};
const CellSums kDividingCells[3] = {
    {0x1.6b2dc0p-5f, 0x1.fc733ep-6f}, {0x1.835a68p-2f, 0x1.0f25aep-2f}, {0x1.499666p-3f, 0x1.cd6c26p-4f}};

template <class Cells>
void depositTheRun(Line& line, bool withRoom) {
    auto tables = std::make_unique<MeltTables>();
    for (int j = 0; j < kLumaEntries; ++j) {
        tables->velocityTable[j] = kShare;
        tables->spreadOffsetTable[j] = 0.0f;
        tables->spreadLengthTable[j] = kLength;
    }
    auto shading = std::make_unique<MeltShading<true>>();
    buildShadingTable(shading->shadingTable, kShadingLinearRampUp, 0, 1.0f);
    std::vector<unsigned char> room(withRoom ? 400000 : 0);
    shading->keepIn({room.data(), room.size()});
    std::vector<float> pixels(4 * 16, 0.0f);
    for (int c = 0; c < 4; ++c) pixels[4 * 10 + c] = 0.7f;
    const InputLine<float> input{pixels.data(), {0, 4}, {0, 16}};
    depositRuns<Channel32, false, Cells>(line.cells, input, runSettings(16, 1, false), {0, 0.0f}, *tables,
                                         TableIndexSource<Channel32, false, false>{}, *shading);
}
void depositOnSse2(Line& line, bool withRoom) { depositTheRun<Sse2Cells>(line, withRoom); }
ONDRAVA_TARGET_AVX2 __attribute__((flatten)) void depositOnAvx2(Line& line, bool withRoom) {
    depositTheRun<Avx2Cells>(line, withRoom);
}
ONDRAVA_TARGET_AVX512 __attribute__((flatten)) void depositOnAvx512(Line& line, bool withRoom) {
    depositTheRun<Avx512Cells>(line, withRoom);
}

TEST(ShadeForms, TheDepositTakesTheBuildsFormOnEveryPath) {
    const CellSums* const expected = kShadeForm == ShadeForm::kMultiplying ? kMultiplyingCells : kDividingCells;
    using Deposit = void (*)(Line&, bool);
    const Deposit paths[] = {depositOnSse2, depositOnAvx2, depositOnAvx512};
    for (int32_t path = 0; path <= int32_t(offeredVectorPath()); ++path) {
        for (bool withRoom : {true, false}) {
            auto line = std::make_unique<Line>();
            paths[path](*line, withRoom);
            for (int32_t k = 0; k < 3; ++k) {
                const float* cell = line->cells[10 + k];
                EXPECT_EQ(cell[0], expected[k].alpha) << vectorPathName(VectorPath(path)) << " cell " << 10 + k;
                for (int c = 1; c < 4; ++c) {
                    EXPECT_EQ(cell[c], expected[k].colour) << vectorPathName(VectorPath(path)) << " cell " << 10 + k;
                }
            }
            EXPECT_EQ(line->cells[9][0], 0.0f);
            EXPECT_EQ(line->cells[13][0], 0.0f);
        }
    }
}

}  // namespace
