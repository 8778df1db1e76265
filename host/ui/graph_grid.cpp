#include "host/ui/graph_grid.h"

#include <cstring>
#include <new>

// 64 + the integer part of 159 x sin(s / 255 x pi / 2): a soft shoulder, so the
// line's edges fade while its core stays bright.
const uint8_t graphToneTable[256] = {
    64, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78,
    79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94,
    95, 96, 97, 98, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109,
    110, 111, 112, 113, 114, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124,
    125, 125, 126, 127, 128, 129, 130, 131, 132, 133, 133, 134, 135, 136, 137, 138,
    139, 140, 140, 141, 142, 143, 144, 145, 146, 146, 147, 148, 149, 150, 151, 151,
    152, 153, 154, 155, 155, 156, 157, 158, 159, 159, 160, 161, 162, 162, 163, 164,
    165, 165, 166, 167, 168, 168, 169, 170, 171, 171, 172, 173, 173, 174, 175, 176,
    176, 177, 178, 178, 179, 180, 180, 181, 182, 182, 183, 184, 184, 185, 186, 186,
    187, 187, 188, 189, 189, 190, 190, 191, 192, 192, 193, 193, 194, 194, 195, 195,
    196, 197, 197, 198, 198, 199, 199, 200, 200, 201, 201, 202, 202, 203, 203, 204,
    204, 204, 205, 205, 206, 206, 207, 207, 208, 208, 208, 209, 209, 210, 210, 210,
    211, 211, 211, 212, 212, 212, 213, 213, 213, 214, 214, 214, 215, 215, 215, 216,
    216, 216, 216, 217, 217, 217, 217, 218, 218, 218, 218, 219, 219, 219, 219, 219,
    220, 220, 220, 220, 220, 220, 221, 221, 221, 221, 221, 221, 221, 222, 222, 222,
    222, 222, 222, 222, 222, 222, 222, 222, 222, 222, 222, 222, 222, 222, 222, 223,
};

namespace {

// Window weights, by block row (top to bottom) and column (left to right); sum 32.
constexpr uint8_t kWindow[4][4] = {{1, 2, 2, 1}, {2, 3, 3, 2}, {2, 3, 3, 2}, {1, 2, 2, 1}};

}  // namespace

GraphGrid::GraphGrid(int32_t imageWidth, int32_t imageHeight) {
    if (imageWidth <= 0 || imageHeight <= 0) {
        return;
    }
    rows_ = 2 * imageHeight;
    columns_ = 2 * imageWidth;
    const size_t count = size_t(rows_) * size_t(columns_);
    cells_.reset(new (std::nothrow) uint8_t[count]);
    if (cells_ == nullptr) {
        rows_ = columns_ = 0;
        return;
    }
    std::memset(cells_.get(), 0, count);
}

void GraphGrid::cover(int32_t row, int32_t column) {
    if (row >= 0 && row < rows_ && column >= 0 && column < columns_) {
        cells_[size_t(row) * size_t(columns_) + size_t(column)] = kCovered;
    }
}

uint8_t GraphGrid::cell(int32_t row, int32_t column) const {
    if (row >= 0 && row < rows_ && column >= 0 && column < columns_) {
        return cells_[size_t(row) * size_t(columns_) + size_t(column)];
    }
    return 0;
}

void GraphGrid::reduceInto(uint8_t* pixels) const {
    const int32_t width = columns_ / 2;
    const int32_t height = rows_ / 2;
    std::memset(pixels, 0, size_t(width) * size_t(height) * 4);
    for (int32_t r = 0; r + 2 < height; ++r) {
        for (int32_t c = 0; c + 2 < width; ++c) {
            int32_t sum = 0;
            for (int32_t i = 0; i < 4; ++i) {
                const uint8_t* cells = &cells_[size_t(2 * r + 1 + i) * size_t(columns_) + size_t(2 * c + 1)];
                for (int32_t j = 0; j < 4; ++j) {
                    sum += kWindow[i][j] * cells[j];
                }
            }
            // Cells of 0 or 7 keep the sum within 224; anything else a shape left
            // is held inside the table.
            const uint8_t level = graphToneTable[sum < 255 ? sum : 255];
            std::memset(pixels + (size_t(r) * size_t(width) + size_t(c)) * 4, level, 4);
        }
    }
}
