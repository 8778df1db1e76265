#include <gtest/gtest.h>

#include <algorithm>

#include "tools/test_pattern.h"

namespace {

TEST(TestPattern, HasTheRequestedSize) {
    const RgbaImage image = makeTestPattern(33, 17);
    EXPECT_EQ(image.width, 33);
    EXPECT_EQ(image.height, 17);
    EXPECT_EQ(image.samples.size(), 33u * 17u * 4u);
    EXPECT_EQ(makeTestPattern().width, kTestPatternWidth);
    EXPECT_EQ(makeTestPattern(0, 5).samples.size(), 0u);
}

TEST(TestPattern, IsTheSameEveryTime) {
    EXPECT_EQ(makeTestPattern(64, 36).samples, makeTestPattern(64, 36).samples);
}

// The melt keys velocity and spread by brightness and weights by alpha: the
// pattern must show the whole range of both.
TEST(TestPattern, SpansBrightnessAndAlpha) {
    const RgbaImage image = makeTestPattern(320, 180);
    int darkest = 3 * 65535, brightest = 0;
    bool opaque = false, transparent = false, partial = false;
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            const uint16_t* p = image.pixel(x, y);
            const int brightness = p[0] + p[1] + p[2];
            darkest = std::min(darkest, brightness);
            brightest = std::max(brightest, brightness);
            opaque |= p[3] == 65535;
            transparent |= p[3] == 0;
            partial |= p[3] > 0 && p[3] < 65535;
        }
    }
    EXPECT_LT(darkest, 3 * 65535 / 20);
    EXPECT_EQ(brightest, 3 * 65535);
    EXPECT_TRUE(opaque);
    EXPECT_TRUE(transparent);
    EXPECT_TRUE(partial);
}

}  // namespace
