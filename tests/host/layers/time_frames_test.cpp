#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "host/layers/time_frames.h"
#include "tools/argb_buffer.h"

namespace {

template <typename Channel>
struct DepthOf;
template <>
struct DepthOf<unsigned char> {
    static constexpr PixelDepth value = PixelDepth::k8;
};
template <>
struct DepthOf<unsigned short> {
    static constexpr PixelDepth value = PixelDepth::k16;
};
template <>
struct DepthOf<float> {
    static constexpr PixelDepth value = PixelDepth::k32;
};

template <typename Channel>
class TimeFramesTest : public ::testing::Test {
protected:
    TimeFramesTest() { std::memset(&frames, 0xCD, sizeof frames); }  // as a record on the stack may hold

    // A buffer at (x, y) whose channels tell the layer, pixel and channel apart:
    // tag x 64 + row x 16 + column x 4 + channel (tag 1 to 3 keeps 8-bit in range).
    ArgbBuffer& layer(int32_t tag, int32_t x, int32_t y, int32_t width, int32_t height, ArgbBufferLayout layout = {}) {
        buffers.push_back(std::make_unique<ArgbBuffer>(DepthOf<Channel>::value, width, height, layout));
        ArgbBuffer& b = *buffers.back();
        b.layer()->origin_x = x;
        b.layer()->origin_y = y;
        for (int32_t r = 0; r < height; ++r) {
            for (int32_t col = 0; col < width; ++col) {
                for (int c = 0; c < 4; ++c) b.setRaw(col, r, c, tag * 64 + r * 16 + col * 4 + c);
            }
        }
        return b;
    }
    static double tagged(int32_t tag, int32_t row, int32_t col, int c) { return tag * 64 + row * 16 + col * 4 + c; }

    int32_t prepare(int32_t n, const ArgbBuffer& reference, std::vector<PF_LayerDef*> layers, int32_t passThrough = 0) {
        return PrepareTimeFrames(&frames, n, reference.layer(), layers.data(), passThrough, Channel());
    }
    // Channel c of reference pixel (x, y) in frame k, addressed as the record says.
    double at(int32_t k, int32_t x, int32_t y, int c) const {
        const Channel* data = static_cast<const Channel*>(frames.frameData[k]);
        return double(data[y * frames.frameStride[k] + x * 4 + c]);
    }

    TimeFrames frames;
    std::vector<std::unique_ptr<ArgbBuffer>> buffers;
};

using ChannelTypes = ::testing::Types<unsigned char, unsigned short, float>;
TYPED_TEST_SUITE(TimeFramesTest, ChannelTypes);

TYPED_TEST(TimeFramesTest, LayersOfTheReferencesBoxAreUsedInPlace) {
    ArgbBuffer& ref = this->layer(0, 3, -2, 4, 2);
    ArgbBuffer& first = this->layer(1, 3, -2, 4, 2, ArgbBufferLayout{2, false});
    ArgbBuffer& third = this->layer(3, 3, -2, 4, 2, ArgbBufferLayout{0, true});
    EXPECT_EQ(this->prepare(3, ref, {first.layer(), nullptr, third.layer()}), 2);
    EXPECT_EQ(this->frames.frameCount, 2);
    EXPECT_EQ(this->frames.missingCount, 1);
    EXPECT_EQ(this->frames.copied, 0);
    EXPECT_EQ(this->frames.layerPresent[0], 1);
    EXPECT_EQ(this->frames.layerPresent[1], 0);
    EXPECT_EQ(this->frames.layerPresent[2], 1);
    EXPECT_EQ(this->frames.frameData[0], first.layer()->data);
    EXPECT_EQ(this->frames.frameData[1], third.layer()->data);
    // Strides in channels: six pixels a row with the padding; upward rows negative.
    EXPECT_EQ(this->frames.frameStride[0], 24);
    EXPECT_EQ(this->frames.frameStride[1], -16);
    EXPECT_EQ(this->at(1, 2, 1, 3), this->tagged(3, 1, 2, 3));
    CleanUpTimeFrames(&this->frames);  // frees nothing: the layers are the host's
}

TYPED_TEST(TimeFramesTest, ShiftedLayersAreCopiedIntoTheBoxTheyAllCover) {
    // Reference 4 x 2 at the origin, one layer over it, one 10 pixels to the
    // right: the union is 14 x 2, 56 channels a row.
    ArgbBuffer& ref = this->layer(0, 0, 0, 4, 2);
    ArgbBuffer& same = this->layer(1, 0, 0, 4, 2);
    ArgbBuffer& shifted = this->layer(2, 10, 0, 4, 2, ArgbBufferLayout{1, true});
    EXPECT_EQ(this->prepare(2, ref, {same.layer(), shifted.layer()}), 2);
    EXPECT_EQ(this->frames.copied, 1);
    EXPECT_EQ(this->frames.frameCount, 2);
    EXPECT_EQ(this->frames.missingCount, 0);
    for (int32_t k = 0; k < 2; ++k) {
        EXPECT_EQ(this->frames.frameStride[k], 56);
        EXPECT_EQ(this->frames.frameData[k], this->frames.frameBuffers[k]);  // the reference's corner is U's
    }
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 14; ++x) {
            for (int c = 0; c < 4; ++c) {
                EXPECT_EQ(this->at(0, x, y, c), x < 4 ? this->tagged(1, y, x, c) : 0.0) << x << "," << y;
                EXPECT_EQ(this->at(1, x, y, c), x >= 10 ? this->tagged(2, y, x - 10, c) : 0.0) << x << "," << y;
            }
        }
    }
    CleanUpTimeFrames(&this->frames);
}

TYPED_TEST(TimeFramesTest, FramesAddressThePixelsOfTheReferencesArea) {
    // Reference 3 x 2 at (5, 5), a layer 3 x 2 at (4, 6): the union runs from
    // (4, 5) to (8, 8), 4 x 3. The reference's corner is one pixel into the union,
    // and layer pixel (lx, ly) lies at reference pixel (lx - 1, ly + 1).
    ArgbBuffer& ref = this->layer(0, 5, 5, 3, 2);
    ArgbBuffer& low = this->layer(3, 4, 6, 3, 2);
    EXPECT_EQ(this->prepare(1, ref, {low.layer()}), 1);
    EXPECT_EQ(this->frames.copied, 1);
    EXPECT_EQ(this->frames.frameStride[0], 16);
    EXPECT_EQ(static_cast<TypeParam*>(this->frames.frameData[0]) - static_cast<TypeParam*>(this->frames.frameBuffers[0]),
              4);
    EXPECT_EQ(this->at(0, 0, 1, 2), this->tagged(3, 0, 1, 2));
    EXPECT_EQ(this->at(0, 1, 2, 0), this->tagged(3, 1, 2, 0));
    EXPECT_EQ(this->at(0, -1, 1, 1), this->tagged(3, 0, 0, 1));
    EXPECT_EQ(this->at(0, 0, 0, 0), 0.0);  // the reference's own first row: no layer there
    CleanUpTimeFrames(&this->frames);
}

TYPED_TEST(TimeFramesTest, PassThroughRepeatsTheReference) {
    ArgbBuffer& ref = this->layer(0, 0, 0, 2, 2, ArgbBufferLayout{1, false});
    this->frames.missingCount = 77;
    EXPECT_EQ(this->prepare(3, ref, {nullptr, nullptr, nullptr}, 1), 3);
    EXPECT_EQ(this->frames.frameCount, 3);
    EXPECT_EQ(this->frames.copied, 0);
    EXPECT_EQ(this->frames.missingCount, 77);
    for (int32_t k = 0; k < 3; ++k) {
        EXPECT_EQ(this->frames.layerPresent[k], 1);
        EXPECT_EQ(this->frames.frameData[k], ref.layer()->data);
        EXPECT_EQ(this->frames.frameStride[k], 12);
    }
    CleanUpTimeFrames(&this->frames);
}

TYPED_TEST(TimeFramesTest, NoLayersGiveNoFrames) {
    ArgbBuffer& ref = this->layer(0, 0, 0, 2, 2);
    EXPECT_EQ(this->prepare(2, ref, {nullptr, nullptr}), 0);
    EXPECT_EQ(this->frames.frameCount, 0);
    EXPECT_EQ(this->frames.missingCount, 2);
    EXPECT_EQ(this->frames.copied, 0);
    EXPECT_EQ(this->prepare(0, ref, {}), 0);
    EXPECT_EQ(this->prepare(-2, ref, {}), -2);
    EXPECT_EQ(this->frames.copied, 0);
    CleanUpTimeFrames(&this->frames);
}

TYPED_TEST(TimeFramesTest, ALayerWithoutPixelsEndsThePreparationWithNothingToFree) {
    ArgbBuffer& ref = this->layer(0, 0, 0, 2, 2);
    ArgbBuffer& shifted = this->layer(1, 1, 0, 2, 2);
    ArgbBuffer& empty = this->layer(2, 0, 0, 2, 2);
    empty.layer()->data = nullptr;
    ASSERT_EQ(this->prepare(1, ref, {shifted.layer()}), 1);
    ASSERT_EQ(this->frames.copied, 1);
    CleanUpTimeFrames(&this->frames);
    // Stopping before any copy, it leaves no frame and no claim on the buffers
    // just freed: a second clean-up must free nothing (the sanitizer would tell).
    EXPECT_EQ(this->prepare(2, ref, {shifted.layer(), empty.layer()}), 0);
    EXPECT_EQ(this->frames.frameCount, 0);
    EXPECT_EQ(this->frames.copied, 0);
    CleanUpTimeFrames(&this->frames);
}

TYPED_TEST(TimeFramesTest, BeyondTheRecordsCapacityNothingIsPrepared) {
    ArgbBuffer& ref = this->layer(0, 0, 0, 1, 1);
    std::vector<PF_LayerDef*> many(kMaxTimeFrames + 1, ref.layer());
    EXPECT_EQ(this->prepare(kMaxTimeFrames + 1, ref, many), 0);
    EXPECT_EQ(this->frames.frameCount, 0);
    EXPECT_EQ(this->prepare(kMaxTimeFrames + 1, ref, many, 1), 0);
    many.pop_back();
    EXPECT_EQ(this->prepare(kMaxTimeFrames, ref, many), kMaxTimeFrames);
    EXPECT_EQ(this->frames.copied, 0);
}

TYPED_TEST(TimeFramesTest, AUnionTooLargeToHoldIsRefusedWithoutOverflow) {
    // Corners at both ends of the 32-bit range: 2^32 x 2^32 pixels.
    ArgbBuffer& ref = this->layer(0, INT32_MIN, INT32_MIN, 1, 1);
    ArgbBuffer& far = this->layer(1, INT32_MAX - 1, INT32_MAX - 1, 1, 1);
    EXPECT_EQ(this->prepare(1, ref, {far.layer()}), 0);
    EXPECT_EQ(this->frames.copied, 0);
    EXPECT_EQ(this->frames.frameCount, 0);
    CleanUpTimeFrames(&this->frames);
}

}  // namespace
