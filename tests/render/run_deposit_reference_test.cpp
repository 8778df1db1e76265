// The deposit against a literal reading of its rules: runs walked cell by cell,
// Wrap's start raised by repeated additions, whole cells counted down by
// subtracting 1, and with shading every cell's ten samples worked out on their own.
// The kernel takes shortcuts (and vector lanes) that must not change a single bit.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "render/shading/melt_shading.h"
#include "render/sources/table_index_source.h"
#include "render/stages/run_deposit.h"
#include "tests/render/literal/literal_melt.h"

namespace {

struct Line {
    float cells[kLineCells][4];
};

// A null shadingTable deposits unshaded.
template <bool Wrap>
int32_t literalDeposit(float (*acc)[4], const std::vector<float>& px, int32_t lineLength, int32_t step,
                       GridOffset grid, const MeltTables& tables, const float* shadingTable) {
    int32_t depositEnd = 0;
    const float f = grid.gridFraction;
    for (int32_t i = grid.gridIndex; i < lineLength; i += step) {
        const float* p = &px[4 * size_t(i)];
        if (p[0] == 0.0f) continue;
        int32_t k = Channel32::lumaIndex(p);
        const bool interpolated = f != 0.0f && i != lineLength - 1;
        const float* q = interpolated ? p + 4 : nullptr;
        if (interpolated) k = int32_t(float(Channel32::lumaIndex(q) - k) * f + float(k));
        float t = ((f + float(i)) + tables.velocityTable[k]) + tables.spreadOffsetTable[k];
        const float length = tables.spreadLengthTable[k];
        float u, r, consumed = 0.0f;
        if (Wrap) {
            while (t < 0.0f) t = t + float(lineLength);
            u = t, r = length;
        } else {
            if (t + length < 0.0f) continue;
            if (t < 0.0f) u = 0.0f, r = t + length, consumed = -t;
            else u = t, r = length;
        }
        const int32_t c0 = int32_t(u);
        if (c0 >= kLineCells) continue;
        float c[4] = {p[0], p[1], p[2], p[3]};
        if (interpolated) {
            if (q[0] == 0.0f) continue;
            for (int j = 0; j < 4; ++j) c[j] = c[j] + (q[j] - c[j]) * f;
        }
        const float w = c[0];
        int32_t next = c0;
        bool ended = false;
        const auto add = [&](float unshaded, ShadedCellKind kind, float share) {
            const int32_t m = Wrap ? next % lineLength : next;
            const float factor = shadingTable ? literalCellShade(shadingTable, kind, length, consumed, share) : 1.0f;
            if (shadingTable && kShadeForm == ShadeForm::kDividing) {
                acc[m][0] += factor * unshaded;
                for (int j = 1; j < 4; ++j) acc[m][j] += factor * (c[j] * unshaded);
            } else {
                const float a = shadingTable ? factor * unshaded : unshaded;
                acc[m][0] += a, acc[m][1] += a * c[1], acc[m][2] += a * c[2], acc[m][3] += a * c[3];
            }
            if (m == kLineCells - 1) ended = true;
            next = m + 1;
        };
        if (u != float(c0)) {
            const float s = (float(c0) - u) + 1.0f;
            add(w * s, ShadedCellKind::FirstPartial, s);
            r = r - s;
            consumed = s;
        }
        while (!ended && r >= 1.0f && (Wrap || next <= kLineCells - 1)) {
            add(w, ShadedCellKind::Whole, 0.0f);
            r = r - 1.0f;
            consumed = consumed + 1.0f;
        }
        if (!ended && r > 0.0f && (Wrap || next <= kLineCells - 1)) add(r * w, ShadedCellKind::LastPartial, 0.0f);
        if (!Wrap && next > depositEnd) depositEnd = next;
    }
    return depositEnd;
}

template <bool Wrap, bool Shading>
void compareOnRandomLines(uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto tables = std::make_unique<MeltTables>();
    auto fast = std::make_unique<Line>();
    auto literal = std::make_unique<Line>();
    for (int round = 0; round < 40; ++round) {
        const int32_t lineLength = round % 5 == 0 ? kLineCells : 1 + int32_t(random() % 300);
        const float reach = round % 3 == 0 ? 20000.0f : 3.0f * float(lineLength);
        for (int j = 0; j < kLumaEntries; ++j) {
            tables->velocityTable[j] = (unit(random) - 0.5f) * reach;
            tables->spreadLengthTable[j] = unit(random) * (round % 4 != 0 ? 60.0f : Shading ? 2000.0f : 40000.0f);
            // Now and then a run shorter than a cell, or of no length at all.
            if (j % 53 == 0) tables->spreadLengthTable[j] = unit(random) * 1.5f - 0.5f;
            tables->spreadOffsetTable[j] = -unit(random) * tables->spreadLengthTable[j];
            // Huge velocities that offsets nearly cancel, as tables from parameters
            // far outside their ranges make: their runs start within rounding of
            // the line.
            if (round % 7 == 6 && j % 3 == 0) {
                tables->velocityTable[j] = 3.0e6f + float(j);
                tables->spreadOffsetTable[j] = -3.0e6f + unit(random) * 5.0f;
            }
        }
        MeltShading<Shading> shading;
        // Now with the room a call lends the caches, now with none.
        std::vector<unsigned char> room(round % 2 == 0 ? 400000 : 0);
        shading.keepIn({room.data(), room.size()});
        float* shadingTable = nullptr;
        if constexpr (Shading) {
            for (float& entry : shading.shadingTable) entry = unit(random) * 2.0f - 0.25f;
            shadingTable = shading.shadingTable;
        }
        std::vector<float> px(4 * size_t(lineLength));
        for (float& v : px) v = unit(random) < 0.1f ? 0.0f : unit(random);
        const int32_t step = 1 + int32_t(random() % 4);
        const GridOffset grid{int32_t(random() % uint32_t(step)), round % 2 ? unit(random) : 0.0f};

        std::memset(fast.get(), 0, sizeof(Line));
        std::memset(literal.get(), 0, sizeof(Line));
        const InputLine<float> line{px.data(), {0, 4}, {0, lineLength}};
        const int32_t fastEnd = depositRuns<Channel32, Wrap>(fast->cells, line, runSettings(lineLength, step, false), grid,
                                                             *tables, TableIndexSource<Channel32, false, false>{},
                                                             shading);
        const int32_t literalEnd =
            literalDeposit<Wrap>(literal->cells, px, lineLength, step, grid, *tables, shadingTable);
        ASSERT_EQ(fastEnd, literalEnd) << round;
        ASSERT_EQ(std::memcmp(fast.get(), literal.get(), sizeof(Line)), 0) << "round " << round;
        if constexpr (!Wrap) {
            // The kernel holds the accumulator to the cells its runs can reach: held
            // there, every run deposits as it does into the whole buffer.
            const int32_t limit = runCellLimit(*tables, lineLength);
            ASSERT_LE(fastEnd, limit) << round;
            std::memset(fast.get(), 0, sizeof(Line));
            const int32_t heldEnd = depositRuns<Channel32, Wrap>(
                fast->cells, line, runSettings(lineLength, step, false, limit), grid, *tables,
                TableIndexSource<Channel32, false, false>{}, shading);
            ASSERT_EQ(heldEnd, literalEnd) << round;
            ASSERT_EQ(std::memcmp(fast.get(), literal.get(), sizeof(Line)), 0) << "held, round " << round;
        }
    }
}

TEST(RunDepositReference, WrapOffIsBitIdenticalToTheLiteralRules) { compareOnRandomLines<false, false>(1); }
TEST(RunDepositReference, WrapOnIsBitIdenticalToTheLiteralRules) { compareOnRandomLines<true, false>(2); }
TEST(RunDepositReference, ShadedWrapOffIsBitIdenticalToTheLiteralRules) { compareOnRandomLines<false, true>(3); }
TEST(RunDepositReference, ShadedWrapOnIsBitIdenticalToTheLiteralRules) { compareOnRandomLines<true, true>(4); }

}  // namespace
