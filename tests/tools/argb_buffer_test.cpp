#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tools/argb_buffer.h"

namespace {

const PixelDepth kDepths[] = {PixelDepth::k8, PixelDepth::k16, PixelDepth::k32};

TEST(ArgbBuffer, RowBytesFollowTheDepthAndThePadding) {
    ArgbBuffer b8(PixelDepth::k8, 5, 3), b16(PixelDepth::k16, 5, 3), b32(PixelDepth::k32, 5, 3);
    EXPECT_EQ(b8.layer()->rowbytes, 20);
    EXPECT_EQ(b16.layer()->rowbytes, 40);
    EXPECT_EQ(b32.layer()->rowbytes, 80);
    ArgbBuffer padded(PixelDepth::k16, 5, 3, {2, false});
    EXPECT_EQ(padded.layer()->rowbytes, 56);
    EXPECT_EQ(padded.layer()->width, 5);
    EXPECT_EQ(padded.layer()->height, 3);
}

TEST(ArgbBuffer, BottomUpRowsHaveNegativeRowBytesAndRowZeroAtTheData) {
    ArgbBuffer b(PixelDepth::k8, 2, 3, {1, true});
    EXPECT_EQ(b.layer()->rowbytes, -12);
    b.setRaw(1, 0, 2, 77);
    b.setRaw(0, 2, 3, 99);
    const auto* data = static_cast<const unsigned char*>(b.layer()->data);
    EXPECT_EQ(data[4 + 2], 77);            // row 0, pixel 1, green
    EXPECT_EQ(data[2 * -12 + 3], 99);      // row 2 lies two strides below in memory
    EXPECT_TRUE(b.paddingIntact());
}

TEST(ArgbBuffer, ChannelsScaleByTheHostsFullScale) {
    ArgbBuffer b8(PixelDepth::k8, 1, 1), b16(PixelDepth::k16, 1, 1), b32(PixelDepth::k32, 1, 1);
    b8.setChannel(0, 0, 1, 1.0);
    b16.setChannel(0, 0, 1, 1.0);
    b32.setChannel(0, 0, 1, 2.5);  // float keeps values beyond 1
    EXPECT_EQ(b8.raw(0, 0, 1), 255);
    EXPECT_EQ(b16.raw(0, 0, 1), 32768);
    EXPECT_EQ(b32.raw(0, 0, 1), 2.5);
    b16.setRaw(0, 0, 2, 65535);  // above the host's range, as other effects leave it
    EXPECT_EQ(b16.raw(0, 0, 2), 65535);
    b8.setRaw(0, 0, 3, 300);     // stored values saturate, never wrap
    EXPECT_EQ(b8.raw(0, 0, 3), 255);
}

TEST(ArgbBuffer, PaddingKeepsItsMarkerUntilSomethingWritesIt) {
    ArgbBuffer b(PixelDepth::k32, 3, 2, {1, false});
    b.fill(1, 0.5, 0.25, 0);
    EXPECT_TRUE(b.paddingIntact());
    static_cast<unsigned char*>(b.layer()->data)[3 * 16 + 5] = 0;  // inside row 0's padding
    EXPECT_FALSE(b.paddingIntact());
}

TEST(ArgbBuffer, ImagesRoundTripInEveryDepth) {
    RgbaImage image(3, 2);
    const uint16_t values[6][4] = {{0, 0, 0, 0},       {65535, 65535, 65535, 65535},
                                   {257, 514, 771, 65535}, {65535, 0, 32896, 12850},
                                   {128 * 257, 1, 2, 3},   {5140, 10280, 15420, 20560}};
    for (int i = 0; i < 6; ++i) std::memcpy(image.pixel(i % 3, i / 3), values[i], sizeof values[i]);
    for (PixelDepth depth : kDepths) {
        ArgbBuffer b(depth, 3, 2);
        b.fillFrom(image);
        const RgbaImage back = b.toImage();
        for (size_t s = 0; s < image.samples.size(); ++s) {
            // 8-bit keeps multiples of 257 exactly; 16-bit within one step of 2^15.
            const double tolerance = depth == PixelDepth::k8 ? 128.5 : depth == PixelDepth::k16 ? 1.0 : 0.0;
            EXPECT_NEAR(back.samples[s], image.samples[s], tolerance) << int(depth) << " sample " << s;
        }
    }
}

TEST(ArgbBuffer, AlphaComesFirstInTheBuffer) {
    RgbaImage image(1, 1);
    const uint16_t rgba[4] = {257 * 10, 257 * 20, 257 * 30, 257 * 40};
    std::memcpy(image.pixel(0, 0), rgba, sizeof rgba);
    ArgbBuffer b(PixelDepth::k8, 1, 1);
    b.fillFrom(image);
    const auto* argb = static_cast<const unsigned char*>(b.layer()->data);
    EXPECT_EQ(argb[0], 40);
    EXPECT_EQ(argb[1], 10);
    EXPECT_EQ(argb[2], 20);
    EXPECT_EQ(argb[3], 30);
}

TEST(ArgbBuffer, FloatImagesClampAndTurnNanIntoZero) {
    ArgbBuffer b(PixelDepth::k32, 1, 1);
    b.setRaw(0, 0, 0, 2.0);
    b.setRaw(0, 0, 1, -0.5);
    b.setRaw(0, 0, 2, std::numeric_limits<double>::quiet_NaN());
    b.setRaw(0, 0, 3, 0.5);
    const RgbaImage image = b.toImage();
    EXPECT_EQ(image.pixel(0, 0)[3], 65535);
    EXPECT_EQ(image.pixel(0, 0)[0], 0);
    EXPECT_EQ(image.pixel(0, 0)[1], 0);
    EXPECT_EQ(image.pixel(0, 0)[2], 32768);
}

TEST(ArgbBuffer, EmptyBuffersStillHavePixelData) {
    ArgbBuffer b(PixelDepth::k16, 0, 0);
    EXPECT_NE(b.layer()->data, nullptr);
    EXPECT_TRUE(b.samePixels(b));
}

TEST(ArgbBuffer, SamePixelsComparesOnlyThePixelArea) {
    ArgbBuffer a(PixelDepth::k8, 2, 2, {1, false}), b(PixelDepth::k8, 2, 2, {3, true});
    a.fill(1, 0.2, 0.4, 0.6);
    b.fill(1, 0.2, 0.4, 0.6);
    EXPECT_TRUE(a.samePixels(b));
    b.setRaw(1, 1, 3, 0);
    EXPECT_FALSE(a.samePixels(b));
}

}  // namespace
