// Scanlines and their cells: rows for Right and Left, columns for Down and Up, cells
// numbered in walking order, so that Left starts at a row's right end and Up at a
// column's bottom. Offsets are in channels and held in ptrdiff_t: y x pitch of a
// large frame does not fit in 32 bits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/kernel/line_cells.h"

enum Direction : int32_t { kRight = 0, kLeft = 1, kDown = 2, kUp = 3 };

struct LineGeometry {
    int32_t direction;   // 0..3
    int32_t lineLength;  // cells melted per line: the line's pixels, at most kLineCells
    int32_t pixelsPerLine;
    int32_t lineCount;
};

// Only the two low bits of `direction` are used; the host never gives more.
inline LineGeometry lineGeometry(int32_t direction, int32_t width, int32_t height) {
    LineGeometry g{};
    g.direction = direction & 3;
    const bool columns = (g.direction & ~1) == kDown;
    g.pixelsPerLine = columns ? height : width;
    g.lineCount = columns ? width : height;
    g.lineLength = bufferedCells(g.pixelsPerLine);
    return g;
}

// Cell i of a line lies at channel offset start + i x cellStep of its buffer.
struct LineAddress {
    ptrdiff_t start;
    ptrdiff_t cellStep;
};

// Line n of a frame of width x height pixels whose rows lie `pitch` channels apart.
inline LineAddress lineAddress(int32_t direction, int32_t n, int32_t width, int32_t height,
                               int32_t pitch) {
    const ptrdiff_t p = pitch;
    switch (direction) {
    case kRight: return {n * p, 4};
    case kLeft: return {n * p + ptrdiff_t(width - 1) * 4, -4};
    case kDown: return {ptrdiff_t(n) * 4, p};
    default: return {ptrdiff_t(height - 1) * p + ptrdiff_t(n) * 4, -p};
    }
}

// The cells of line n, first .. end - 1, whose pixels lie inside an input of
// inputWidth x inputHeight placed at the output's top left; the output is
// width x height. The rest of the line reads as transparent.
struct CellRange {
    int32_t first;
    int32_t end;
};

inline CellRange inputCells(int32_t direction, int32_t n, int32_t width, int32_t height,
                            int32_t inputWidth, int32_t inputHeight) {
    const bool columns = (direction & ~1) == kDown;
    const int32_t across = columns ? inputWidth : inputHeight;  // lines the input reaches
    const int32_t along = columns ? inputHeight : inputWidth;   // pixels of a line it holds
    const int32_t length = columns ? height : width;
    if (n >= across || along <= 0) return {0, 0};
    if (direction == kRight || direction == kDown) return {0, along < length ? along : length};
    const int32_t first = length - along;
    return {first > 0 ? first : 0, length};
}
