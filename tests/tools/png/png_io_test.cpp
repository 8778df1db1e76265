#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/png_io.h"

namespace {

class PngIo : public testing::Test {
protected:
    std::string path(const std::string& name) const {
        return testing::TempDir() + "ondrava_png_io_" + name;
    }
    void TearDown() override {
        for (const char* name : {"a.png", "b.png", "grey.png", "cut.png", "text.png"}) {
            std::remove(path(name).c_str());
        }
    }
};

RgbaImage gradient(int32_t w, int32_t h) {
    RgbaImage image(w, h);
    for (size_t s = 0; s < image.samples.size(); ++s) image.samples[s] = uint16_t(s * 4099u);
    return image;
}

TEST_F(PngIo, SixteenBitFilesRoundTripExactly) {
    const RgbaImage image = gradient(7, 5);
    ASSERT_EQ(writePng(path("a.png"), image, 16), "");
    RgbaImage back;
    ASSERT_EQ(readPng(path("a.png"), back), "");
    EXPECT_EQ(back.width, 7);
    EXPECT_EQ(back.height, 5);
    EXPECT_EQ(back.samples, image.samples);
}

TEST_F(PngIo, EightBitFilesKeepTheNearestByte) {
    const RgbaImage image = gradient(3, 3);
    ASSERT_EQ(writePng(path("a.png"), image, 8), "");
    RgbaImage back;
    ASSERT_EQ(readPng(path("a.png"), back), "");
    for (size_t s = 0; s < image.samples.size(); ++s) {
        const unsigned byte = (image.samples[s] * 255u + 32767u) / 65535u;
        EXPECT_EQ(back.samples[s], byte * 257u) << s;
    }
}

TEST_F(PngIo, GreyFilesWithoutAlphaReadAsOpaqueRgba) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 2;
    image.height = 1;
    image.format = PNG_FORMAT_GRAY;
    const png_byte grey[2] = {0, 200};
    ASSERT_TRUE(png_image_write_to_file(&image, path("grey.png").c_str(), 0, grey, 0, nullptr));
    RgbaImage back;
    ASSERT_EQ(readPng(path("grey.png"), back), "");
    const uint16_t expected[8] = {0, 0, 0, 65535, 200 * 257, 200 * 257, 200 * 257, 65535};
    EXPECT_EQ(back.samples, std::vector<uint16_t>(expected, expected + 8));
}

TEST_F(PngIo, MissingFilesAndOtherFilesGiveMessages) {
    RgbaImage image = gradient(1, 1);
    const std::string missing = readPng(path("none.png"), image);
    EXPECT_EQ(missing.rfind("cannot open " + path("none.png") + ": ", 0), 0u) << missing;
    EXPECT_TRUE(image.samples.empty());

    std::ofstream(path("text.png")) << "not a picture at all";
    EXPECT_EQ(readPng(path("text.png"), image), path("text.png") + " is not a PNG file");
}

TEST_F(PngIo, TruncatedFilesGiveAMessage) {
    ASSERT_EQ(writePng(path("a.png"), gradient(40, 40), 16), "");
    std::ifstream in(path("a.png"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(path("cut.png"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    RgbaImage image;
    const std::string message = readPng(path("cut.png"), image);
    EXPECT_EQ(message.rfind("cannot read " + path("cut.png") + ": ", 0), 0u) << message;
    EXPECT_TRUE(image.samples.empty());
}

TEST_F(PngIo, UnwritablePathsAndBadRequestsGiveMessages) {
    const std::string nowhere = path("no/such/dir/b.png");
    EXPECT_EQ(writePng(nowhere, gradient(1, 1), 8).rfind("cannot create " + nowhere, 0), 0u);
    EXPECT_EQ(writePng(path("b.png"), gradient(1, 1), 12), "PNG bit depth must be 8 or 16");
    EXPECT_EQ(writePng(path("b.png"), RgbaImage(), 8), "cannot write an empty image to " + path("b.png"));
}

}  // namespace
