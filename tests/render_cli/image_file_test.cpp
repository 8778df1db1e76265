// Image files through OpenImageIO: exact round trips in every sample type a format
// holds, fewer channels expanded, alpha as stored, and writes that never leave a
// half-written file or replace one that appeared meanwhile.
#include "tools/render_cli/image_file.h"

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "tests/render_cli/folder_fixture.h"

namespace {

namespace fs = std::filesystem;

class ImageFile : public FolderTest {
public:
    ImageFile() : FolderTest("image_file") {}
    std::string bytesOf(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    size_t filesInFolder() const { return size_t(std::distance(fs::directory_iterator(folder), {})); }

    // Writes samples of type T with the given channels straight through OpenImageIO.
    template <typename T>
    void writeRaw(const std::string& name, int width, int channels, const std::vector<T>& samples,
                  OIIO::TypeDesc type) {
        auto out = OIIO::ImageOutput::create(path(name));
        ASSERT_TRUE(out);
        OIIO::ImageSpec description(width, int(samples.size()) / width / channels, channels, type);
        description.attribute("oiio:UnassociatedAlpha", 1);
        ASSERT_TRUE(out->open(path(name), description));
        ASSERT_TRUE(out->write_image(type, samples.data()));
        ASSERT_TRUE(out->close());
    }
};

// Every sample a different value, alpha from transparent to opaque, and (for float)
// values far outside 0..1.
template <typename Sample>
RgbaImageOf<Sample> gradient(int32_t w, int32_t h, double step) {
    RgbaImageOf<Sample> image(w, h);
    for (size_t s = 0; s < image.samples.size(); ++s) {
        if constexpr (std::is_floating_point_v<Sample>) {
            image.samples[s] = Sample(double(s) * step - 3.0);
        } else {
            image.samples[s] = Sample(size_t(double(s) * step) % (size_t(sampleFullScale<Sample>()) + 1));
        }
    }
    return image;
}

template <typename Sample>
void expectRoundTrip(const ImageFile& test, const std::string& name, FileSamples samples,
                     const RgbaImageOf<Sample>& image) {
    ASSERT_EQ(writeImage(test.path(name), image, samples, false), "") << name;
    RgbaImageOf<Sample> back;
    ASSERT_EQ(readImage(test.path(name), back), "") << name;
    EXPECT_EQ(back.width, image.width) << name;
    EXPECT_EQ(back.height, image.height) << name;
    EXPECT_EQ(back.samples, image.samples) << name;
}

TEST_F(ImageFile, SixteenBitPngAndTiffRoundTripExactly) {
    const RgbaImageOf<uint16_t> image = gradient<uint16_t>(7, 5, 4099.0);
    expectRoundTrip(*this, "a.png", FileSamples::k16, image);
    expectRoundTrip(*this, "a.tif", FileSamples::k16, image);
}

TEST_F(ImageFile, EightBitPngAndTiffRoundTripExactly) {
    const RgbaImageOf<uint8_t> image = gradient<uint8_t>(9, 4, 7.0);
    expectRoundTrip(*this, "a.png", FileSamples::k8, image);
    expectRoundTrip(*this, "a.tif", FileSamples::k8, image);
}

TEST_F(ImageFile, FloatExrAndTiffKeepEveryValueUnclamped) {
    const RgbaImageOf<float> image = gradient<float>(6, 5, 0.0625);  // -3 to 4.4
    expectRoundTrip(*this, "a.exr", FileSamples::kFloat, image);
    expectRoundTrip(*this, "a.tif", FileSamples::kFloat, image);
    RgbaImageOf<float> tiny(1, 1);
    tiny.samples = {1e-30f, 3.4e38f, -7.25f, std::numeric_limits<float>::denorm_min()};
    expectRoundTrip(*this, "tiny.exr", FileSamples::kFloat, tiny);
}

TEST_F(ImageFile, HalfExrKeepsValuesThatHalfHolds) {
    const RgbaImageOf<float> image = gradient<float>(6, 5, 0.125);  // multiples of 1/8
    expectRoundTrip(*this, "a.exr", FileSamples::kHalf, image);
}

TEST_F(ImageFile, EightBitRendersGoThroughHalfExrExactly) {
    const RgbaImageOf<uint8_t> image = gradient<uint8_t>(16, 16, 1.0);  // all 256 values
    expectRoundTrip(*this, "a.exr", FileSamples::kHalf, image);
}

TEST_F(ImageFile, AlphaIsNeverMultipliedInNorDividedOut) {
    RgbaImageOf<uint16_t> image(2, 1);
    image.samples = {60000, 30000, 100, 0, 40000, 20000, 10000, 1000};
    expectRoundTrip(*this, "a.png", FileSamples::k16, image);
    expectRoundTrip(*this, "a.tif", FileSamples::k16, image);
}

TEST_F(ImageFile, FewerChannelsAreExpandedToOpaqueRgba) {
    writeRaw<uint8_t>("grey.png", 2, 1, {0, 200}, OIIO::TypeDesc::UINT8);
    writeRaw<uint8_t>("grey_alpha.png", 1, 2, {90, 40}, OIIO::TypeDesc::UINT8);
    writeRaw<uint16_t>("rgb.tif", 1, 3, {1, 2, 3}, OIIO::TypeDesc::UINT16);
    RgbaImageOf<uint8_t> grey, greyAlpha;
    RgbaImageOf<uint16_t> rgb;
    ASSERT_EQ(readImage(path("grey.png"), grey), "");
    ASSERT_EQ(readImage(path("grey_alpha.png"), greyAlpha), "");
    ASSERT_EQ(readImage(path("rgb.tif"), rgb), "");
    EXPECT_EQ(grey.samples, (std::vector<uint8_t>{0, 0, 0, 255, 200, 200, 200, 255}));
    EXPECT_EQ(greyAlpha.samples, (std::vector<uint8_t>{90, 90, 90, 40}));
    EXPECT_EQ(rgb.samples, (std::vector<uint16_t>{1, 2, 3, 65535}));
}

TEST_F(ImageFile, SamplesAreReadInTheTypeAskedFor) {
    RgbaImageOf<uint8_t> image(1, 1);
    image.samples = {255, 0, 51, 255};
    ASSERT_EQ(writeImage(path("a.png"), image, FileSamples::k8, false), "");
    RgbaImageOf<uint16_t> wide;
    RgbaImageOf<float> unit;
    ASSERT_EQ(readImage(path("a.png"), wide), "");
    ASSERT_EQ(readImage(path("a.png"), unit), "");
    EXPECT_EQ(wide.samples, (std::vector<uint16_t>{65535, 0, 51 * 257, 65535}));
    EXPECT_EQ(unit.samples[0], 1.0f);
    EXPECT_EQ(unit.samples[1], 0.0f);
    EXPECT_FLOAT_EQ(unit.samples[2], 0.2f);
    EXPECT_EQ(unit.samples[3], 1.0f);
}

TEST_F(ImageFile, JpegHoldsNoAlphaAndReadsBackOpaque) {
    RgbaImageOf<uint8_t> image(8, 8);
    for (size_t s = 0; s < image.samples.size(); ++s) image.samples[s] = s % 4 == 3 ? 0 : 128;
    ASSERT_EQ(writeImage(path("a.jpg"), image, FileSamples::k8, false), "");
    RgbaImageOf<uint8_t> back;
    ASSERT_EQ(readImage(path("a.jpg"), back), "");
    EXPECT_EQ(back.width, 8);
    EXPECT_EQ(back.pixel(3, 3)[3], 255);
}

TEST_F(ImageFile, FilesThatCannotBeReadGiveAMessageAndNoImage) {
    RgbaImageOf<uint8_t> image(1, 1);
    EXPECT_EQ(readImage(path("none.png"), image),
              "cannot read \"" + path("none.png") + "\": No such file or directory");
    EXPECT_TRUE(image.samples.empty());
    std::ofstream(path("text.png")) << "not a picture at all";
    EXPECT_EQ(readImage(path("text.png"), image).rfind("cannot read \"" + path("text.png") + "\": ", 0), 0u);
    EXPECT_EQ(readImage(path("a.bmp"), image),
              "\"" + path("a.bmp") + "\" names no image format the tool knows; known are .png .tif .tiff .exr .jpg .jpeg");
}

// A TIFF: OpenImageIO's PNG reader loses a little memory on a cut file, which the
// sanitizer runs would report.
TEST_F(ImageFile, TruncatedFilesGiveAMessage) {
    ASSERT_EQ(writeImage(path("a.tif"), gradient<uint16_t>(40, 40, 4099.0), FileSamples::k16, false), "");
    const std::string bytes = bytesOf("a.tif");
    std::ofstream(path("cut.tif"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    RgbaImageOf<uint16_t> image;
    EXPECT_EQ(readImage(path("cut.tif"), image).rfind("cannot read \"" + path("cut.tif") + "\": ", 0), 0u);
    EXPECT_TRUE(image.samples.empty());
}

TEST_F(ImageFile, AFileThatAppearedMeanwhileIsLeftAsItIs) {
    std::ofstream(path("there.png")) << "someone else's";
    EXPECT_EQ(writeImage(path("there.png"), gradient<uint8_t>(2, 2, 9.0), FileSamples::k8, false),
              "\"" + path("there.png") + "\" exists: give --overwrite to replace it");
    EXPECT_EQ(bytesOf("there.png"), "someone else's");
    EXPECT_EQ(filesInFolder(), 1u);  // and no temporary file left beside it
    EXPECT_EQ(writeImage(path("there.png"), gradient<uint8_t>(2, 2, 9.0), FileSamples::k8, true), "");
    RgbaImageOf<uint8_t> back;
    EXPECT_EQ(readImage(path("there.png"), back), "");
}

TEST_F(ImageFile, AStopLeavesNoFileAndNoImage) {
    ASSERT_EQ(writeImage(path("old.png"), gradient<uint8_t>(2, 2, 9.0), FileSamples::k8, false), "");
    const std::string old = bytesOf("old.png");
    const std::atomic<bool> stop{true};
    EXPECT_EQ(writeImage(path("new.png"), gradient<uint8_t>(3, 3, 5.0), FileSamples::k8, false, &stop),
              "interrupted");
    EXPECT_EQ(writeImage(path("old.png"), gradient<uint8_t>(3, 3, 5.0), FileSamples::k8, true, &stop),
              "interrupted");
    EXPECT_EQ(bytesOf("old.png"), old);
    EXPECT_EQ(filesInFolder(), 1u);
    RgbaImageOf<uint8_t> image;
    EXPECT_EQ(readImage(path("old.png"), image, &stop), "interrupted");
    EXPECT_TRUE(image.samples.empty());
}

TEST_F(ImageFile, UnwritablePathsAndSamplesTheFormatLacksGiveMessages) {
    const std::string nowhere = path("no/such/dir/b.png");
    EXPECT_EQ(writeImage(nowhere, gradient<uint8_t>(1, 1, 1.0), FileSamples::k8, false).rfind("cannot write \"" + nowhere, 0),
              0u);
    EXPECT_EQ(writeImage(path("b.png"), gradient<float>(1, 1, 1.0), FileSamples::kFloat, false),
              "cannot write \"" + path("b.png") + "\": png files hold 8 or 16");
    EXPECT_EQ(writeImage(path("b.png"), RgbaImageOf<uint8_t>(), FileSamples::k8, false),
              "cannot write \"" + path("b.png") + "\": the image is empty");
}

}  // namespace
