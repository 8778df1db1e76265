// Down and Up walk columns, one pixel a row: read and written straight, every
// pixel of a line lies on a cache line of its own. The lines between two polls are
// therefore melted as one block of adjacent columns. The block's input is first
// read along its rows into a staging area, each line's pixels one after another in
// walking order; each finished line is stored over its own input there, and the
// block is then written out along the output's rows. The staging area lies where
// the stretch buffer would be unused; a block holds as many columns as fit, eight
// at most (the lines between two polls). Where they fit too, the
// intensity-source layers' brightness indexes of the block's lines are staged there
// as well, read along the layers' rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "render/kernel/line_cells.h"
#include "render/kernel/line_geometry.h"
#include "render/kernel/row_prefetch.h"
#include "render/stages/run_planning.h"

struct ColumnBlocks {
    unsigned char* lines = nullptr;   // null: lines are read and written where they lie
    int16_t* layerIndexes = nullptr;  // null: the layers are sampled where they lie
    int32_t columns = 1;
    size_t bytes = 0;                 // of the staging area that the blocks use
};

// Blocks staged in `room` bytes from `area` on. `layers`: the intensity-source
// layers whose indexes a block would stage.
template <class Traits>
ColumnBlocks columnBlocks(const LineGeometry& geometry, unsigned char* area, size_t room, int32_t layers) {
    ColumnBlocks blocks;
    const bool alongColumns = (geometry.direction & ~1) == kDown;
    if (!alongColumns || geometry.pixelsPerLine > geometry.lineLength || geometry.lineLength <= 0) return blocks;
    const size_t perColumn = size_t(geometry.lineLength) * 4 * sizeof(typename Traits::Channel);
    const size_t indexesPerColumn = size_t(geometry.lineLength) * size_t(layers) * sizeof(int16_t);
    // The indexes too where they fit beside the lines for two columns or more.
    const size_t withIndexes = layers > 0 ? room / (perColumn + indexesPerColumn) : 0;
    const size_t columns = withIndexes >= 2 ? withIndexes : room / perColumn;
    if (columns < 2) return blocks;
    blocks.columns = int32_t(columns < 8 ? columns : 8);
    blocks.lines = area;
    blocks.bytes = size_t(blocks.columns) * perColumn;
    if (withIndexes >= 2) {
        blocks.layerIndexes = reinterpret_cast<int16_t*>(area + blocks.bytes);
        blocks.bytes += size_t(blocks.columns) * indexesPerColumn;
    }
    return blocks;
}

// Reads the input's first `rows` rows of columns n0 .. n1 - 1 into the staging
// area, each column in the walking order of its line.
template <class Traits>
void readBlock(const ColumnBlocks& blocks, const typename Traits::Channel* srcPixels, int32_t srcPitch,
               const LineGeometry& geometry, int32_t rows, int32_t n0, int32_t n1) {
    constexpr size_t kPixel = 4 * sizeof(typename Traits::Channel);
    const size_t lineBytes = size_t(geometry.lineLength) * kPixel;
    const auto rowAt = [&](int32_t y) { return srcPixels + ptrdiff_t(y) * srcPitch + ptrdiff_t(n0) * 4; };
    for (int32_t y = 0; y < rows; ++y) {
        const int32_t cell = geometry.direction == kDown ? y : geometry.lineLength - 1 - y;
        const auto* row = reinterpret_cast<const unsigned char*>(rowAt(y));
        if (y + kRowsAhead < rows) prefetchSpan(rowAt(y + kRowsAhead), size_t(n1 - n0) * kPixel);
        unsigned char* to = blocks.lines + size_t(cell) * kPixel;
        for (int32_t j = 0; j < n1 - n0; ++j) std::memcpy(to + size_t(j) * lineBytes, row + size_t(j) * kPixel, kPixel);
    }
}

// The first pixel of line j of the block in the staging area.
template <class Traits>
typename Traits::Channel* stagedPixels(const ColumnBlocks& blocks, int32_t lineLength, int32_t j) {
    return reinterpret_cast<typename Traits::Channel*>(blocks.lines) + ptrdiff_t(j) * lineLength * 4;
}

// Writes the staged block of lines n0 .. n1 - 1 to the output, row by row.
template <class Traits>
void writeBlock(const ColumnBlocks& blocks, typename Traits::Channel* dstPixels, int32_t dstPitch,
                const LineGeometry& geometry, int32_t n0, int32_t n1) {
    constexpr size_t kPixel = 4 * sizeof(typename Traits::Channel);
    const size_t lineBytes = size_t(geometry.lineLength) * kPixel;
    const size_t rowBytes = size_t(n1 - n0) * kPixel;
    const int32_t lastRow = geometry.lineLength - 1;
    const auto rowAt = [&](int32_t i) {
        return dstPixels + ptrdiff_t(geometry.direction == kDown ? i : lastRow - i) * dstPitch + ptrdiff_t(n0) * 4;
    };
    for (int32_t i = 0; i < geometry.lineLength; ++i) {
        if (i + kRowsAhead < geometry.lineLength) prefetchSpan<true>(rowAt(i + kRowsAhead), rowBytes);
        auto* row = reinterpret_cast<unsigned char*>(rowAt(i));
        const unsigned char* from = blocks.lines + size_t(i) * kPixel;
        for (int32_t j = 0; j < n1 - n0; ++j) {
            std::memcpy(row + size_t(j) * kPixel, from + size_t(j) * lineBytes, kPixel);
        }
    }
}
