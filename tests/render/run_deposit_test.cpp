#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "render/shading/melt_shading.h"
#include "render/sources/table_index_source.h"
#include "render/stages/run_deposit.h"

namespace {

struct Accumulator {
    float cells[kLineCells][4] = {};
};

// A float line of `length` pixels and tables whose every entry is the same, so the
// pixel at position i starts its run at (f + i) + velocity and covers `runLength`.
struct DepositCase {
    std::vector<float> pixels;
    std::unique_ptr<MeltTables> tables = std::make_unique<MeltTables>();
    std::unique_ptr<Accumulator> acc = std::make_unique<Accumulator>();
    int32_t length;

    DepositCase(int32_t lineLength, float velocity, float runLength) : pixels(4 * size_t(lineLength)), length(lineLength) {
        for (int j = 0; j < kLumaEntries; ++j) {
            tables->velocityTable[j] = velocity;
            tables->spreadOffsetTable[j] = 0.0f;
            tables->spreadLengthTable[j] = runLength;
        }
    }
    void setPixel(int32_t i, float a, float r = 1.0f, float g = 1.0f, float b = 1.0f) {
        pixels[4 * i] = a, pixels[4 * i + 1] = r, pixels[4 * i + 2] = g, pixels[4 * i + 3] = b;
    }
    template <bool Wrap>
    int32_t deposit(GridOffset grid = {0, 0.0f}, int32_t step = 1, bool fade = false) {
        const InputLine<float> line{pixels.data(), {0, 4}, {0, length}};
        return depositRuns<Channel32, Wrap>(acc->cells, line, runSettings(length, step, fade), grid, *tables,
                                            TableIndexSource<Channel32, false, false>{}, MeltShading<false>{});
    }
    float alpha(int32_t cell) const { return acc->cells[cell][0]; }
    float sumOfAlpha() const {
        float sum = 0.0f;
        for (const auto& c : acc->cells) sum += c[0];
        return sum;
    }
};

// One opaque pixel at position 0 whose run starts at t and covers `runLength`.
template <bool Wrap>
DepositCase runAt(float t, float runLength, int32_t lineLength = 100, int32_t* depositEnd = nullptr) {
    DepositCase c(lineLength, t, runLength);
    c.setPixel(0, 1.0f);
    const int32_t end = c.deposit<Wrap>();
    if (depositEnd) *depositEnd = end;
    return c;
}

TEST(RunDeposit, PartialFirstWholeAndPartialLastCells) {
    int32_t end = 0;
    auto a = runAt<false>(5.25f, 2.5f, 100, &end);
    EXPECT_EQ(a.alpha(5), 0.75f);
    EXPECT_EQ(a.alpha(6), 1.0f);
    EXPECT_EQ(a.alpha(7), 0.75f);
    EXPECT_EQ(a.sumOfAlpha(), 2.5f);
    EXPECT_EQ(end, 8);
    auto b = runAt<false>(5.0f, 2.5f);
    EXPECT_EQ(b.alpha(5), 1.0f);
    EXPECT_EQ(b.alpha(6), 1.0f);
    EXPECT_EQ(b.alpha(7), 0.5f);
    // A whole start has no partial first cell.
    auto c = runAt<false>(3.0f, 1.0f);
    EXPECT_EQ(c.alpha(3), 1.0f);
    EXPECT_EQ(c.sumOfAlpha(), 1.0f);
    // A run shorter than its first share still gives that cell the whole share.
    auto d = runAt<false>(5.5f, 0.25f);
    EXPECT_EQ(d.alpha(5), 0.5f);
    EXPECT_EQ(d.sumOfAlpha(), 0.5f);
}

TEST(RunDeposit, ColoursArePremultipliedByTheAmount) {
    DepositCase c(10, 2.5f, 1.0f);
    c.setPixel(0, 0.5f, 0.8f, 0.4f, 0.2f);
    c.deposit<false>();
    EXPECT_EQ(c.acc->cells[2][0], 0.25f);
    EXPECT_EQ(c.acc->cells[2][1], 0.25f * 0.8f);
    EXPECT_EQ(c.acc->cells[3][3], 0.25f * 0.2f);
}

TEST(RunDeposit, WrapOffCutsRunsAtBothEndsOfTheBuffer) {
    int32_t end = -1;
    auto cut = runAt<false>(-0.5f, 2.0f, 100, &end);
    EXPECT_EQ(cut.alpha(0), 1.0f);
    EXPECT_EQ(cut.alpha(1), 0.5f);
    EXPECT_EQ(end, 2);
    EXPECT_EQ(runAt<false>(-3.0f, 2.0f, 100, &end).sumOfAlpha(), 0.0f);
    EXPECT_EQ(end, 0);
    EXPECT_EQ(runAt<false>(-2.0f, 2.0f, 100, &end).sumOfAlpha(), 0.0f);  // t + L exactly 0
    EXPECT_EQ(end, 0);
    auto last = runAt<false>(16383.5f, 3.0f, 100, &end);
    EXPECT_EQ(last.alpha(16383), 0.5f);
    EXPECT_EQ(last.sumOfAlpha(), 0.5f);
    EXPECT_EQ(end, kLineCells);
    // Cells past the visible line keep their deposits for the later stages.
    auto beyond = runAt<false>(120.0f, 2.0f, 100, &end);
    EXPECT_EQ(beyond.alpha(120), 1.0f);
    EXPECT_EQ(beyond.alpha(121), 1.0f);
    EXPECT_EQ(end, 122);
}

TEST(RunDeposit, WrapGoesRoundTheLine) {
    auto early = runAt<true>(-2.5f, 3.0f, 10);  // t becomes 7.5
    EXPECT_EQ(early.alpha(7), 0.5f);
    EXPECT_EQ(early.alpha(8), 1.0f);
    EXPECT_EQ(early.alpha(9), 1.0f);
    EXPECT_EQ(early.alpha(0), 0.5f);
    auto late = runAt<true>(9.5f, 2.0f, 10);
    EXPECT_EQ(late.alpha(9), 0.5f);
    EXPECT_EQ(late.alpha(0), 1.0f);
    EXPECT_EQ(late.alpha(1), 0.5f);
    EXPECT_EQ(late.sumOfAlpha(), 2.0f);
    // A run of 25 laps a line of 10: cells 0-4 three times, 5-9 twice.
    auto laps = runAt<true>(0.0f, 25.0f, 10);
    for (int32_t cell = 0; cell < 10; ++cell) EXPECT_EQ(laps.alpha(cell), cell < 5 ? 3.0f : 2.0f) << cell;
    EXPECT_EQ(laps.alpha(10), 0.0f);
}

TEST(RunDeposit, FirstCellBeyondTheBufferDepositsNothing) {
    // Its cell modulo 1000 would be 0, but the first cell is checked before that.
    EXPECT_EQ(runAt<true>(20000.5f, 3.0f, 1000).sumOfAlpha(), 0.0f);
    auto near = runAt<true>(16383.5f, 3.0f, 1000);
    EXPECT_EQ(near.alpha(383), 0.5f);
    EXPECT_EQ(near.alpha(384), 1.0f);
    EXPECT_EQ(near.alpha(385), 1.0f);
    EXPECT_EQ(near.alpha(386), 0.5f);
    // A line as long as the buffer: a wrapped run stops after its last cell.
    auto full = runAt<true>(16383.0f, 3.0f, kLineCells);
    EXPECT_EQ(full.alpha(16383), 1.0f);
    EXPECT_EQ(full.alpha(0), 0.0f);
}

TEST(RunDeposit, NonFiniteOrFarRunsAreDropped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float cases[][2] = {{nan, 1.0f}, {1.0f, nan}, {inf, 1.0f}, {-inf, 1.0f}, {1.0f, inf},
                              {-1e30f, 1.0f}, {-1e30f, 2e30f}, {1.0f, 1e30f}};
    for (const auto& c : cases) {
        EXPECT_EQ(runAt<true>(c[0], c[1], 10).sumOfAlpha(), 0.0f) << c[0] << " " << c[1];
        EXPECT_EQ(runAt<false>(c[0], c[1], 10).sumOfAlpha(), 0.0f) << c[0] << " " << c[1];
    }
}

TEST(RunDeposit, TransparentPixelsAndGridStart) {
    DepositCase c(10, 0.0f, 1.0f);
    c.setPixel(3, 0.0f);
    c.setPixel(4, std::numeric_limits<float>::quiet_NaN());
    c.setPixel(5, -0.5f);  // a negative alpha is deposited
    c.deposit<false>();
    EXPECT_EQ(c.sumOfAlpha(), -0.5f);
    // A grid start at or past the line's end visits nothing.
    DepositCase far(10, 0.0f, 1.0f);
    for (int32_t i = 0; i < 10; ++i) far.setPixel(i, 1.0f);
    EXPECT_EQ(far.deposit<false>({12, 0.0f}, 16), 0);
    EXPECT_EQ(far.sumOfAlpha(), 0.0f);
}

TEST(RunDeposit, GridFractionInterpolatesTowardTheNextPixel) {
    // 8-bit: alpha 255 followed by alpha 51, f = 0.5: weight 1 + (0.2 - 1) x 0.5.
    std::vector<uint8_t> pixels = {255, 200, 100, 0, 51, 100, 100, 100, 0, 0, 0, 0};
    auto tables = std::make_unique<MeltTables>();
    for (int j = 0; j < kLumaEntries; ++j) {
        tables->velocityTable[j] = 0.5f;  // t = 0.5 + 0 + 0.5: a whole start
        tables->spreadOffsetTable[j] = 0.0f;
        tables->spreadLengthTable[j] = 1.0f;
    }
    auto acc = std::make_unique<Accumulator>();
    const InputLine<uint8_t> line{pixels.data(), {0, 4}, {0, 3}};
    depositRuns<Channel8, false>(acc->cells, line, runSettings(3, 1, false), {0, 0.5f}, *tables,
                                 TableIndexSource<Channel8, false, false>{}, MeltShading<false>{});
    const float weight = 1.0f + (51 * 0.003921568859368563f - 1.0f) * 0.5f;
    EXPECT_FLOAT_EQ(weight, 0.6f);
    EXPECT_EQ(acc->cells[1][0], weight);
    const float red = 200 * 0.003921568859368563f;
    EXPECT_EQ(acc->cells[1][1], weight * (red + (100 * 0.003921568859368563f - red) * 0.5f));
    // Position 1's neighbour is transparent: dropped. Position 2 is the line's last
    // and is never interpolated, but it is transparent itself.
    EXPECT_EQ(acc->cells[2][0], 0.0f);
    EXPECT_EQ(acc->cells[3][0], 0.0f);
}

TEST(RunDeposit, LastPositionIsNeverInterpolated) {
    DepositCase c(3, 0.5f, 1.0f);
    c.setPixel(2, 1.0f);
    c.deposit<false>({2, 0.5f}, 4);  // visits position 2 only, with f = 0.5
    EXPECT_EQ(c.alpha(3), 1.0f);
}

TEST(RunDeposit, InterpolatedIndex) {
    EXPECT_EQ(interpolatedIndex(100, 103, 0.5f), 101);
    EXPECT_EQ(interpolatedIndex(103, 100, 0.5f), 101);
}

TEST(RunDeposit, FadeInOutRampsOverTheFirstAndLastStep) {
    struct Case {
        int32_t step, length, position;
        float weight;
    };
    const Case cases[] = {
        {4, 100, 0, 0.0f}, {4, 100, 2, 0.5f},  {4, 100, 4, 1.0f},  {4, 100, 96, 1.0f},
        {4, 100, 97, 0.75f}, {4, 100, 99, 0.25f}, {8, 10, 1, 0.125f}, {8, 10, 3, 0.875f},
        {16, 10, 0, 10.0f / 16}, {16, 10, 4, 6.0f / 16}, {16, 10, 9, 1.0f / 16},
    };
    for (const Case& k : cases) {
        DepositCase c(k.length, 0.0f, 1.0f);
        for (int32_t i = 0; i < k.length; ++i) c.setPixel(i, 1.0f);
        c.deposit<false>({k.position % k.step, 0.0f}, k.step, true);
        EXPECT_EQ(c.alpha(k.position), k.weight) << k.step << " " << k.length << " " << k.position;
    }
}

TEST(RunDeposit, OnlyCellsInsideTheInputAreRead) {
    DepositCase c(10, 0.0f, 1.0f);
    for (int32_t i = 0; i < 10; ++i) c.setPixel(i, 1.0f);
    const InputLine<float> line{c.pixels.data(), {0, 4}, {3, 6}};
    depositRuns<Channel32, false>(c.acc->cells, line, runSettings(10, 1, false), {0, 0.5f}, *c.tables,
                                  TableIndexSource<Channel32, false, false>{}, MeltShading<false>{});
    // Positions 3 and 4 have a neighbour inside; position 5's lies outside the input
    // and reads as transparent.
    EXPECT_EQ(c.sumOfAlpha(), 2.0f);
}

}  // namespace
