#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "render/kernel/line_cells.h"
#include "render/stages/cell_finish.h"

namespace {

using Cell = std::array<float, 4>;

struct Line {
    std::unique_ptr<float[][4]> cells{new float[kLineCells][4]()};
    explicit Line(const std::vector<Cell>& content) {
        for (size_t i = 0; i < content.size(); ++i) {
            for (int c = 0; c < 4; ++c) cells[i][c] = content[i][c];
        }
    }
    Cell at(int32_t i) const { return {cells[i][0], cells[i][1], cells[i][2], cells[i][3]}; }
};

Line finished(const std::vector<Cell>& content, int32_t continuity) {
    Line line(content);
    normalizeCells(line.cells.get(), int32_t(content.size()), continuity);
    if (continuity != kContinuityNone) fillGaps(line.cells.get(), int32_t(content.size()));
    return line;
}

TEST(NormalizeCells, FullCellsAreClampedAndUnpremultiplied) {
    for (int32_t mode = 0; mode < 4; ++mode) {
        EXPECT_EQ(finished({{2.0f, 1.0f, 0.5f, 0.0f}}, mode).at(0), (Cell{1.0f, 0.5f, 0.25f, 0.0f})) << mode;
    }
}

TEST(NormalizeCells, PartialCellsByMode) {
    const Cell partial{0.5f, 0.25f, 0.25f, 0.25f};
    EXPECT_EQ(finished({partial}, kContinuityNone).at(0), (Cell{0.5f, 0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(finished({partial}, kContinuityFullAlphaOnly).at(0), (Cell{0.5f, 0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(finished({partial}, kContinuityAll).at(0), (Cell{1.0f, 0.5f, 0.5f, 0.5f}));
    // "All (No Start)": only after a full cell of the same line.
    const Line noStart = finished({partial, {1.0f, 1.0f, 1.0f, 1.0f}, partial}, kContinuityAllNoStart);
    EXPECT_EQ(noStart.at(0)[0], 0.5f);
    EXPECT_EQ(noStart.at(2)[0], 1.0f);
}

TEST(NormalizeCells, EmptyAndNegativeCellsAreLeftAlone) {
    const Line line = finished({{0.0f, 0.0f, 0.0f, 0.0f}, {-0.5f, 0.1f, 0.2f, 0.3f}}, kContinuityNone);
    EXPECT_EQ(line.at(0), (Cell{0.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(line.at(1), (Cell{-0.5f, 0.1f, 0.2f, 0.3f}));
}

// Each bound normalisation compares alpha with, with alphas just inside it on both
// sides, so that a bound moved by a power of two changes a cell. Where a cell's
// colour is multiplied by its reciprocal the colour is one for which that differs
// from dividing it by alpha in the last bit. The values were worked out in single
// precision by hand (exact quotients, rounded once).
TEST(NormalizeCells, EachAlphaBoundSplitsMultipliedFromDividedCells) {
    const Line line = finished({
                                   // 1.5 x 2^-128: 1 / alpha = 0x1.555556p+127 is finite, so the colour
                                   // is multiplied: 0x1.51d0acp-5 (dividing gives 0x1.51d0aap-5).
                                   {0x1.8p-128f, 0x1.fab9p-133f, 0.0f, 0.0f},
                                   // 1.5 x 2^-129: 1 / alpha overflows; divided, 0x1.8p-130 / alpha = 0.5.
                                   {0x1.8p-129f, 0x1.8p-130f, 0.0f, 0.0f},
                                   // Partial, 0.75: multiplied by 0x1.555556p+0, 0x1.51d08p-7 (not 0x1.51d07ep-7).
                                   {0.75f, 0x1.fab8bep-8f, 0.0f, 0.0f},
                                   // The float below 1 is partial and stays so: multiplied by
                                   // 0x1.000002p+0, 0x1.fab8cp-6 (not 0x1.fab8bep-6).
                                   {0x1.fffffep-1f, 0x1.fab8bcp-6f, 0.0f, 0.0f},
                                   // Full, 1.5: alpha 1, divided: 0x1.51d07ep-7 (not 0x1.51d08p-7).
                                   {1.5f, 0x1.fab8bep-7f, 0.0f, 0.0f},
                               },
                               kContinuityNone);
    EXPECT_EQ(line.at(0), (Cell{0x1.8p-128f, 0x1.51d0acp-5f, 0.0f, 0.0f}));
    EXPECT_EQ(line.at(1), (Cell{0x1.8p-129f, 0.5f, 0.0f, 0.0f}));
    EXPECT_EQ(line.at(2), (Cell{0.75f, 0x1.51d08p-7f, 0.0f, 0.0f}));
    EXPECT_EQ(line.at(3), (Cell{0x1.fffffep-1f, 0x1.fab8cp-6f, 0.0f, 0.0f}));
    EXPECT_EQ(line.at(4), (Cell{1.0f, 0x1.51d07ep-7f, 0.0f, 0.0f}));
    // "All" turns every cell with a positive alpha opaque, the smallest alphas too.
    const Line all = finished({{0x1.8p-129f, 0x1.8p-130f, 0.0f, 0.0f}, {0x1p-149f, 0.0f, 0.0f, 0.0f}}, kContinuityAll);
    EXPECT_EQ(all.at(0), (Cell{1.0f, 0.5f, 0.0f, 0.0f}));
    EXPECT_EQ(all.at(1), (Cell{1.0f, 0.0f, 0.0f, 0.0f}));
}

TEST(NormalizeCells, SubnormalAlphaGivesFiniteColours) {
    // 1 / 1e-39 overflows to infinity; the colours are divided instead.
    const Line line = finished({{1e-39f, 1e-39f, 0.5e-39f, 0.0f}}, kContinuityNone);
    EXPECT_EQ(line.at(0), (Cell{1e-39f, 1.0f, 1e-39f / 2 / 1e-39f, 0.0f}));
    EXPECT_FLOAT_EQ(line.at(0)[2], 0.5f);
}

const Cell kEmpty{0, 0, 0, 0};
const Cell kRed{1.0f, 1.0f, 0.0f, 0.0f};
const Cell kBlue{1.0f, 0.0f, 0.0f, 1.0f};
const Cell kHalf{0.5f, 0.25f, 0.25f, 0.25f};

TEST(FillGaps, OneEmptyCellBetweenFullCells) {
    for (int32_t mode = 1; mode < 4; ++mode) {
        const Line line = finished({kRed, kEmpty, kBlue}, mode);
        EXPECT_EQ(line.at(1), (Cell{1.0f, 1.0f - 1.0f / 3, 0.0f, 1.0f / 3})) << mode;
    }
    EXPECT_EQ(finished({kRed, kEmpty, kBlue}, kContinuityNone).at(1), kEmpty);
}

TEST(FillGaps, RampWeightsAreKOverDPlusOne) {
    const Line line = finished({kRed, kHalf, kEmpty, kHalf, kBlue}, kContinuityFullAlphaOnly);
    EXPECT_EQ(line.at(1), (Cell{1.0f, (-1.0f * 1) / 5 + 1.0f, 0.0f, (1.0f * 1) / 5}));
    EXPECT_EQ(line.at(2), (Cell{1.0f, (-1.0f * 2) / 5 + 1.0f, 0.0f, (1.0f * 2) / 5}));
    EXPECT_EQ(line.at(3), (Cell{1.0f, (-1.0f * 3) / 5 + 1.0f, 0.0f, (1.0f * 3) / 5}));
}

TEST(FillGaps, PartialCellsAloneDoNotOpenAGap) {
    const Line line = finished({kRed, kHalf, kHalf, kBlue}, kContinuityFullAlphaOnly);
    EXPECT_EQ(line.at(1), (Cell{0.5f, 0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(line.at(2), (Cell{0.5f, 0.5f, 0.5f, 0.5f}));
}

TEST(FillGaps, NothingBeforeTheFirstFullCellOrAfterTheLast) {
    for (int32_t mode : {kContinuityAllNoStart, kContinuityFullAlphaOnly}) {
        const Line line = finished({kEmpty, kHalf, kEmpty, kRed, kEmpty, kEmpty}, mode);
        EXPECT_EQ(line.at(0), kEmpty) << mode;
        EXPECT_EQ(line.at(1), (Cell{0.5f, 0.5f, 0.5f, 0.5f})) << mode;
        EXPECT_EQ(line.at(2), kEmpty) << mode;
        EXPECT_EQ(line.at(4), kEmpty) << mode;
        EXPECT_EQ(line.at(5), kEmpty) << mode;
    }
    // "All": partial cells become full, so the gap after the first one is filled.
    const Line all = finished({kEmpty, kHalf, kEmpty, kRed}, kContinuityAll);
    EXPECT_EQ(all.at(0), kEmpty);
    EXPECT_EQ(all.at(2), (Cell{1.0f, (0.5f * 1) / 3 + 0.5f, (-0.5f * 1) / 3 + 0.5f, (-0.5f * 1) / 3 + 0.5f}));
}

TEST(FillGaps, NegativeAlphaCountsAsPartial) {
    const Cell negative{-0.5f, 0.1f, 0.1f, 0.1f};
    const Line line = finished({negative, kRed, negative, kEmpty, kBlue}, kContinuityFullAlphaOnly);
    EXPECT_EQ(line.at(0), negative);
    EXPECT_EQ(line.at(2)[0], 1.0f);
    EXPECT_EQ(line.at(3)[0], 1.0f);
}

TEST(FillGaps, EmptyLineStaysEmpty) {
    const Line line = finished({kEmpty, kEmpty, kEmpty}, kContinuityAll);
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(line.at(i), kEmpty);
}

}  // namespace
