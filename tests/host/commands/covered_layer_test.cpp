#include "host/commands/covered_layer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

PF_LayerDef layerOf(void* data, int32_t rowbytes, int32_t width, int32_t height) {
    PF_LayerDef layer{};
    layer.data = data;
    layer.rowbytes = rowbytes;
    layer.width = width;
    layer.height = height;
    return layer;
}

// 8-bit pixels numbered 1, 2, 3, ... in every channel, row after row.
std::vector<uint8_t> numberedPixels(int32_t width, int32_t height) {
    std::vector<uint8_t> bytes(size_t(width) * height * 4);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i / 4 + 1);
    return bytes;
}

uint8_t pixelAt(const PF_LayerDef& layer, int32_t x, int32_t y) {
    return static_cast<const uint8_t*>(layer.data)[int64_t(y) * layer.rowbytes + x * 4];
}

TEST(CoveredLayer, AnInputAsLargeAsTheOutputIsUsedAsItIs) {
    std::vector<uint8_t> in = numberedPixels(4, 3);
    PF_LayerDef input = layerOf(in.data(), 16, 4, 3);
    CoveredLayer covered(&input, 3, 2, 4);
    EXPECT_EQ(covered.layer(), &input);
    EXPECT_FALSE(covered.isCopy());
}

TEST(CoveredLayer, ASmallerInputIsPaddedWithTransparentPixels) {
    std::vector<uint8_t> in = numberedPixels(2, 2);  // 1 2 / 3 4
    PF_LayerDef input = layerOf(in.data(), 8, 2, 2);
    CoveredLayer covered(&input, 3, 3, 4);
    ASSERT_TRUE(covered.isCopy());
    const PF_LayerDef& padded = *covered.layer();
    EXPECT_EQ(padded.width, 3);
    EXPECT_EQ(padded.height, 3);
    EXPECT_EQ(padded.rowbytes, 12);
    const uint8_t expected[3][3] = {{1, 2, 0}, {3, 4, 0}, {0, 0, 0}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(pixelAt(padded, x, y), expected[y][x]) << x << "," << y;
}

TEST(CoveredLayer, RowsTooNarrowForTheDepthAreReadOnlyAsFarAsTheyReach) {
    // An 8-bit input of 4 pixels a row (16 bytes) read at 16 bits a channel holds two
    // pixels a row; the other two of a 4-pixel output are transparent.
    std::vector<uint8_t> in = numberedPixels(4, 1);
    PF_LayerDef input = layerOf(in.data(), 16, 4, 1);
    CoveredLayer covered(&input, 4, 1, 8);
    ASSERT_TRUE(covered.isCopy());
    const auto* bytes = static_cast<const uint8_t*>(covered.layer()->data);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(bytes[i], in[size_t(i)]) << i;
    for (int i = 16; i < 32; ++i) EXPECT_EQ(bytes[i], 0) << i;
}

TEST(CoveredLayer, NegativeRowBytesWalkUpwardInMemory) {
    std::vector<uint8_t> in = numberedPixels(1, 2);  // memory: row 1 (value 1), row 0 (value 2)
    PF_LayerDef input = layerOf(in.data() + 4, -4, 1, 2);
    CoveredLayer covered(&input, 2, 2, 4);
    ASSERT_TRUE(covered.isCopy());
    EXPECT_EQ(pixelAt(*covered.layer(), 0, 0), 2);
    EXPECT_EQ(pixelAt(*covered.layer(), 0, 1), 1);
    EXPECT_EQ(pixelAt(*covered.layer(), 1, 0), 0);
}

TEST(CoveredLayer, AnInputWithoutPixelsBecomesFullyTransparent) {
    PF_LayerDef input = layerOf(nullptr, 64, 16, 16);
    CoveredLayer covered(&input, 2, 1, 8);
    ASSERT_TRUE(covered.isCopy());
    const auto* bytes = static_cast<const uint8_t*>(covered.layer()->data);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(bytes[i], 0);
}

TEST(CoveredLayer, AnEmptyExtentNeedsNoCopy) {
    PF_LayerDef input = layerOf(nullptr, 0, 0, 0);
    CoveredLayer covered(&input, 0, 5, 4);
    EXPECT_FALSE(covered.isCopy());
}

// 16-bit rows 2 pixels wide (16 bytes) one byte apart: a stride of 17 bytes is no
// whole number of channels, so the rows are copied by their bytes.
TEST(CoveredLayer, AStrideOfNoWholeNumberOfChannelsIsCopiedByItsBytes) {
    for (const int32_t stride : {17, -17}) {
        SCOPED_TRACE(stride);
        std::vector<uint8_t> memory(17 * 3, 0xEE);
        uint8_t* row0 = stride > 0 ? memory.data() : memory.data() + 2 * 17;
        for (int y = 0; y < 3; ++y)
            for (int i = 0; i < 16; ++i) row0[y * stride + i] = uint8_t(16 * y + i);
        PF_LayerDef layer = layerOf(row0, stride, 2, 3);
        CoveredLayer covered(&layer, 2, 3, 8);
        ASSERT_TRUE(covered.isCopy());
        EXPECT_EQ(covered.layer()->rowbytes, 16);
        const auto* bytes = static_cast<const uint8_t*>(covered.layer()->data);
        for (int i = 0; i < 48; ++i) EXPECT_EQ(bytes[i], uint8_t(i)) << i;
    }
}

// A layer read over its own extent whose rows are shorter than its width: what
// the rows hold, then transparency.
TEST(CoveredLayer, ALayerWithRowsShorterThanItsWidthIsReadAsFarAsTheyReach) {
    std::vector<uint8_t> memory = numberedPixels(2, 2);  // rows of 2 pixels, 8 bytes apart
    PF_LayerDef layer = layerOf(memory.data(), 8, 3, 2);
    CoveredLayer covered(&layer, 3, 2, 4);
    ASSERT_TRUE(covered.isCopy());
    const uint8_t expected[2][3] = {{1, 2, 0}, {3, 4, 0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(pixelAt(*covered.layer(), x, y), expected[y][x]) << x << "," << y;
}

}  // namespace
