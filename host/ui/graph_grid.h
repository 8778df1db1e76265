// The coverage grid every graph is drawn into: twice the image size each way,
// cells empty (0) or covered (7), reduced 2:1 through an overlapping weighted
// 4 by 4 window and a tone curve into grey pixels whose alpha equals their grey.
#pragma once

#include <cstdint>
#include <memory>

// Level of a weighted window sum (0 to 224 with cells of 0 or 7; 255 at most).
extern const uint8_t graphToneTable[256];

class GraphGrid {
public:
    static constexpr uint8_t kCovered = 7;

    // A cleared grid of 2 * imageWidth by 2 * imageHeight cells; ok() is false
    // when the memory cannot be had or the size is not positive.
    GraphGrid(int32_t imageWidth, int32_t imageHeight);

    bool ok() const { return cells_ != nullptr; }
    int32_t rows() const { return rows_; }
    int32_t columns() const { return columns_; }

    // Covers cell (row, column), row 0 at the top. Cells outside the grid are
    // ignored, so a shape may run over the edge without writing past it.
    void cover(int32_t row, int32_t column);
    uint8_t cell(int32_t row, int32_t column) const;

    // Clears the image (imageWidth x imageHeight pixels of 4 bytes) and writes
    // pixel (r, c) for r up to imageHeight - 3 and c up to imageWidth - 3 from the
    // window at grid rows 2r + 1 to 2r + 4 and columns 2c + 1 to 2c + 4; the last
    // two rows and columns stay fully transparent.
    void reduceInto(uint8_t* pixels) const;

private:
    int32_t rows_ = 0;
    int32_t columns_ = 0;
    std::unique_ptr<uint8_t[]> cells_;
};
