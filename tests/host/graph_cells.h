// Expected coverage cells of a graph, listed by hand, and their comparison with a
// drawn grid cell by cell.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "host/ui/graph_grid.h"

struct ExpectedCells {
    std::set<std::pair<int32_t, int32_t>> cells;  // (row, column)

    void cover(int32_t row, int32_t column) { cells.insert({row, column}); }
    void rows(int32_t column, int32_t firstRow, int32_t lastRow) {
        for (int32_t r = firstRow; r <= lastRow; ++r) cover(r, column);
    }
    void columns(int32_t row, int32_t firstColumn, int32_t lastColumn) {
        for (int32_t c = firstColumn; c <= lastColumn; ++c) cover(row, c);
    }
    bool has(int32_t row, int32_t column) const { return cells.count({row, column}) != 0; }
};

// Every cell of the grid is covered exactly where expected; lists the first
// differences.
inline ::testing::AssertionResult sameCells(const GraphGrid& grid, const ExpectedCells& expected) {
    std::ostringstream diff;
    int32_t count = 0;
    for (int32_t r = 0; r < grid.rows(); ++r) {
        for (int32_t c = 0; c < grid.columns(); ++c) {
            const bool drawn = grid.cell(r, c) != 0;
            if (drawn == expected.has(r, c)) continue;
            if (++count <= 12) diff << " (" << r << "," << c << ")" << (drawn ? " drawn" : " missing");
        }
    }
    if (count == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << count << " cells differ:" << diff.str();
}
