// A kernel call's line buffers, laid out for the call in one stretch of its
// scratch: the accumulator takes the cells its runs can reach, the stretch buffer
// the line's cells while the stretch is on, the column blocks what a full stretch
// buffer would leave them; the rest is spare, lent to the shading's caches. The
// stretch is as large as two whole line buffers, so each part finds the room it
// would have in its own buffer of kLineCells cells.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/kernel/column_blocks.h"
#include "render/kernel/line_cells.h"
#include "render/kernel/line_geometry.h"
#include "render/kernel/scratch_room.h"

// Two line buffers, a few cells to align the accumulator and to round each part up
// to whole blocks of four cells.
constexpr int32_t kLineStorageCells = 2 * kLineCells + 8;

struct LineBuffers {
    float (*meltAccumulator)[4];
    int32_t accumulatorCells;   // a multiple of four; the cells past them are not the accumulator's
    float (*stretchBuffer)[4];  // room for the line's cells; null without the stretch
    ColumnBlocks blocks;
    ScratchRoom spare;
};

inline int32_t wholeBlocksOfCells(int32_t cells) { return (cells + 3) & ~3; }

// The cells the accumulator holds: with Wrap the line's, otherwise those before
// `runCellLimit` and the one after it, which the line's finish reads.
inline int32_t accumulatorCells(bool wrap, int32_t lineLength, int32_t runCellLimit) {
    const int32_t cells = wrap ? lineLength : runCellLimit < kLineCells ? runCellLimit + 1 : kLineCells;
    return wholeBlocksOfCells(cells);
}

// `alignment`: the bytes the accumulator's start is aligned to, 64 at most.
template <class Traits>
LineBuffers layOutLineBuffers(float (*storage)[4], size_t alignment, int32_t heldCells,
                              const LineGeometry& geometry, bool stretch, int32_t layers) {
    LineBuffers buffers{};
    const uintptr_t at = reinterpret_cast<uintptr_t>(storage[0]);
    const size_t skip = (alignment - at % alignment) % alignment;
    buffers.meltAccumulator = storage + skip / sizeof(storage[0]);
    buffers.accumulatorCells = heldCells;
    float (*next)[4] = buffers.meltAccumulator + heldCells;
    const int32_t stretched = stretch ? geometry.lineLength : 0;
    if (stretch) buffers.stretchBuffer = next;
    next += wholeBlocksOfCells(stretched);
    auto* const staging = reinterpret_cast<unsigned char*>(next);
    buffers.blocks = columnBlocks<Traits>(geometry, staging, size_t(kLineCells - stretched) * sizeof(storage[0]),
                                          layers);
    auto* const end = reinterpret_cast<unsigned char*>(storage + kLineStorageCells);
    buffers.spare.at = staging + buffers.blocks.bytes;
    buffers.spare.bytes = size_t(end - buffers.spare.at);
    return buffers;
}
