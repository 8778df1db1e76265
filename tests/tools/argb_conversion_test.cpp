// The whole-buffer conversion against the channel-by-channel reading and writing of
// ArgbBuffer, in every pairing of sample type and depth, and with buffers whose rows
// are padded or run upward.
#include "tools/argb_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

const PixelDepth kDepths[] = {PixelDepth::k8, PixelDepth::k16, PixelDepth::k32};

// Every value a sample type can hold at the edges and between, float ones outside 0..1 too.
template <typename Sample>
RgbaImageOf<Sample> variedImage(int32_t width, int32_t height) {
    RgbaImageOf<Sample> image(width, height);
    std::mt19937 random(7);
    const double full = sampleFullScale<Sample>();
    for (size_t s = 0; s < image.samples.size(); ++s) {
        if constexpr (std::is_floating_point_v<Sample>) {
            image.samples[s] = Sample(std::uniform_real_distribution<double>(-0.5, 2.5)(random));
        } else {
            image.samples[s] = s < 4 ? Sample(0) : s < 8 ? Sample(full) : Sample(random() % (unsigned(full) + 1));
        }
    }
    return image;
}

template <typename Sample>
void expectSameAsChannelByChannel() {
    const RgbaImageOf<Sample> image = variedImage<Sample>(13, 5);
    const double full = sampleFullScale<Sample>();
    for (PixelDepth depth : kDepths) {
        for (const ArgbBufferLayout layout : {ArgbBufferLayout{}, ArgbBufferLayout{2, true, 3}}) {
            ArgbBuffer whole(depth, 13, 5, layout), reference(depth, 13, 5);
            ASSERT_TRUE(copyImageToArgb(image, whole));
            for (int32_t y = 0; y < 5; ++y) {
                for (int32_t x = 0; x < 13; ++x) {
                    const Sample* rgba = image.pixel(x, y);
                    reference.setChannel(x, y, 0, rgba[3] / full);
                    for (int c = 1; c < 4; ++c) reference.setChannel(x, y, c, rgba[c - 1] / full);
                }
            }
            EXPECT_TRUE(whole.samePixels(reference)) << int(depth);
            EXPECT_TRUE(whole.paddingIntact()) << int(depth);

            RgbaImageOf<Sample> back;
            ASSERT_TRUE(copyArgbToImage(whole, back));
            for (int32_t y = 0; y < 5; ++y) {
                for (int32_t x = 0; x < 13; ++x) {
                    for (int c = 0; c < 4; ++c) {
                        const double unit = whole.channel(x, y, c == 3 ? 0 : c + 1);
                        double expected = unit * full;
                        if constexpr (!std::is_floating_point_v<Sample>) {
                            expected = std::nearbyint(std::clamp(unit, 0.0, 1.0) * full);
                        }
                        EXPECT_EQ(back.pixel(x, y)[c], Sample(expected)) << int(depth) << " " << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(ArgbConversion, EightBitImagesAsChannelByChannel) { expectSameAsChannelByChannel<uint8_t>(); }
TEST(ArgbConversion, SixteenBitImagesAsChannelByChannel) { expectSameAsChannelByChannel<uint16_t>(); }
TEST(ArgbConversion, FloatImagesAsChannelByChannel) { expectSameAsChannelByChannel<float>(); }

TEST(ArgbConversion, FloatSamplesKeepTheirRangeThroughAFloatBuffer) {
    RgbaImageOf<float> image(2, 1);
    const float values[8] = {4.5f, -0.25f, 1.0f, 0.5f, 1e-7f, 65000.0f, 0.0f, 2.0f};
    std::copy(values, values + 8, image.samples.begin());
    ArgbBuffer buffer(PixelDepth::k32, 2, 1);
    ASSERT_TRUE(copyImageToArgb(image, buffer));
    RgbaImageOf<float> back;
    ASSERT_TRUE(copyArgbToImage(buffer, back));
    EXPECT_EQ(back.samples, image.samples);
}

TEST(ArgbConversion, EightBitImagesRoundTripThroughAnEightBitBuffer) {
    const RgbaImageOf<uint8_t> image = variedImage<uint8_t>(17, 3);
    ArgbBuffer buffer(PixelDepth::k8, 17, 3);
    ASSERT_TRUE(copyImageToArgb(image, buffer));
    RgbaImageOf<uint8_t> back;
    ASSERT_TRUE(copyArgbToImage(buffer, back));
    EXPECT_EQ(back.samples, image.samples);
}

TEST(ArgbConversion, NanBecomesZeroInIntegerSamples) {
    RgbaImageOf<float> image(1, 1);
    image.samples = {std::numeric_limits<float>::quiet_NaN(), 0.5f, 1.0f, 1.0f};
    ArgbBuffer buffer(PixelDepth::k16, 1, 1);
    ASSERT_TRUE(copyImageToArgb(image, buffer));
    EXPECT_EQ(buffer.raw(0, 0, 1), 0);
    EXPECT_EQ(buffer.raw(0, 0, 2), 16384);
}

TEST(ArgbConversion, AStopFlagEndsTheConversion) {
    const std::atomic<bool> stop{true};
    const RgbaImageOf<uint16_t> image = variedImage<uint16_t>(4, 4);
    ArgbBuffer buffer(PixelDepth::k16, 4, 4);
    EXPECT_FALSE(copyImageToArgb(image, buffer, &stop));
    RgbaImageOf<uint16_t> back;
    EXPECT_FALSE(copyArgbToImage(buffer, back, &stop));
}

TEST(ArgbConversion, RefusesImagesOfAnotherSize) {
    ArgbBuffer buffer(PixelDepth::k8, 3, 3);
    EXPECT_THROW(copyImageToArgb(RgbaImageOf<uint8_t>(3, 2), buffer), std::invalid_argument);
}

}  // namespace
