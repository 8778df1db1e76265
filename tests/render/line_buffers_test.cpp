// A kernel call's line buffers: each part where its stage finds the room it would
// have in a buffer of its own, none overlapping another, all inside the call's
// scratch, and what is left over lent to the shading's caches.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "render/kernel/line_buffers.h"
#include "render/shading/melt_shading.h"
#include "render/stages/run_planning.h"

namespace {

struct Storage {
    alignas(16) float cells[kLineStorageCells][4];
};

struct LayoutCase {
    const char* name;
    int32_t direction, width, height;
    bool wrap, stretch;
    int32_t layers, runCellLimit;
    int32_t ringCells;  // what the shading's factor cache keeps in the spare room
};

template <class Traits>
void expectLayout(const LayoutCase& c) {
    auto storage = std::make_unique<Storage>();
    const LineGeometry g = lineGeometry(c.direction, c.width, c.height);
    const int32_t held = accumulatorCells(c.wrap, g.lineLength, c.runCellLimit);
    const LineBuffers b = layOutLineBuffers<Traits>(storage->cells, 64, held, g, c.stretch, c.layers);
    const auto bytes = [](const void* p) { return static_cast<const unsigned char*>(p); };
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b.meltAccumulator) % 64, 0u) << c.name;
    EXPECT_GE(b.accumulatorCells, c.wrap || g.lineLength == kLineCells ? g.lineLength : g.lineLength + 1) << c.name;
    // In order and apart: accumulator, stretch buffer, staged blocks, spare room to the end.
    const unsigned char* at = bytes(b.meltAccumulator + b.accumulatorCells);
    if (c.stretch) {
        EXPECT_EQ(bytes(b.stretchBuffer), at) << c.name;
        at += size_t(g.lineLength) * 16;
    }
    if (b.blocks.lines != nullptr) {
        EXPECT_GE(b.blocks.lines, at) << c.name;
        EXPECT_LE(b.blocks.bytes, size_t(kLineCells - (c.stretch ? g.lineLength : 0)) * 16) << c.name;
        at = b.blocks.lines + b.blocks.bytes;
    }
    EXPECT_GE(b.spare.at, at) << c.name;
    EXPECT_EQ(b.spare.at + b.spare.bytes, bytes(storage->cells + kLineStorageCells)) << c.name;
    auto shading = std::make_unique<MeltShading<true>>();
    shading->keepIn(b.spare);
    EXPECT_EQ(shading->runs.ringCells(), c.ringCells) << c.name << ": " << b.spare.bytes << " bytes spare";
}

TEST(LineBuffers, EachPartHasItsRoomAndTheRestIsLentToTheShading) {
    // At the defaults, a full-HD frame's runs reach a few hundred cells past its line.
    const LayoutCase cases[] = {
        {"down", 2, 1920, 1080, false, false, 0, 1342, 32768},
        {"down, both layers", 2, 1920, 1080, false, false, 2, 1342, 32768},
        {"right, stretched", 0, 1920, 1080, false, true, 0, 2182, 32768},
        {"wrap, down", 2, 1920, 1080, true, false, 0, kLineCells, 32768},
        {"runs to the buffer's end", 2, 960, 540, false, false, 0, kLineCells, 16384},
        {"longest lines, stretched", 0, 16384, 4, false, true, 0, kLineCells, 0},
        {"longest columns, stretched, wrap", 2, 4, 16384, true, true, 2, kLineCells, 0},
        {"one cell", 0, 1, 1, false, true, 0, 1, 32768},
    };
    for (const LayoutCase& c : cases) expectLayout<Channel8>(c);
    // Float blocks take four times the 8-bit ones' room.
    expectLayout<Channel32>({"down, float, both layers", 2, 1920, 1080, false, false, 2, 1342, 32768});
    expectLayout<Channel32>({"down, float, stretched, both layers", 2, 1920, 1080, false, true, 2, 1342, 16384});
}

// Without Wrap, the accumulator ends past the farthest cell a run of the call can
// reach: the line, the largest velocity, offset and length, and four cells.
TEST(LineBuffers, RunsReachPastTheLineByTheirLargestVelocityOffsetAndLength) {
    auto t = std::make_unique<MeltTables>();
    const auto fill = [&](float velocity, float offset, float length) {
        for (int j = 0; j < kLumaEntries; ++j) {
            t->velocityTable[j] = velocity * float(j) / float(kLumaEntries - 1);
            t->spreadOffsetTable[j] = offset, t->spreadLengthTable[j] = length;
        }
    };
    fill(128.0f, 0.0f, 129.0f);
    EXPECT_EQ(runCellLimit(*t, 1080), 1080 + 128 + 129 + 5);  // and the margin's cell
    fill(-50000.0f, -64.0f, 129.0f);
    EXPECT_EQ(runCellLimit(*t, 1920), 1920 - 64 + 129 + 5);
    t->velocityTable[5] = std::numeric_limits<float>::quiet_NaN();  // deposits nothing
    EXPECT_EQ(runCellLimit(*t, 1920), 1920 - 64 + 129 + 5);
    t->velocityTable[5] = std::numeric_limits<float>::infinity();
    EXPECT_EQ(runCellLimit(*t, 1920), kLineCells);
    // Huge entries that cancel: at 10^9 a float addition rounds by up to 64 cells.
    fill(0.0f, -1.0e9f, 1.0f);
    for (float& v : t->velocityTable) v = 1.0e9f;
    const int32_t margin = int32_t(std::ceil((100.0 + 2.0e9 + 1.0) * 0x1p-20));
    EXPECT_GT(margin, 64);
    EXPECT_EQ(runCellLimit(*t, 100), 100 + 1 + 4 + margin);
}

}  // namespace
