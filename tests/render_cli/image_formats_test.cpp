#include "tools/render_cli/image_formats.h"

#include <gtest/gtest.h>

namespace {

TEST(ImageFormats, TheExtensionNamesTheFormatInAnyCase) {
    EXPECT_STREQ(formatOfPath("a/b.PNG")->name, "png");
    EXPECT_STREQ(formatOfPath("b.tif")->name, "tiff");
    EXPECT_STREQ(formatOfPath("b.Tiff")->name, "tiff");
    EXPECT_STREQ(formatOfPath("seq_####.exr")->name, "openexr");
    EXPECT_STREQ(formatOfPath("b.jpeg")->name, "jpeg");
    EXPECT_EQ(formatOfPath("b.bmp"), nullptr);
    EXPECT_EQ(formatOfPath("dir.png/b"), nullptr);
    EXPECT_EQ(knownExtensions(), ".png .tif .tiff .exr .jpg .jpeg");
}

TEST(ImageFormats, EachDepthIsWrittenWithTheNarrowestSamplesThatKeepIt) {
    struct Case {
        const char* path;
        FileSamples for8, for16, forFloat;
    };
    const Case cases[] = {
        {"a.png", FileSamples::k8, FileSamples::k16, FileSamples::k16},
        {"a.tif", FileSamples::k8, FileSamples::k16, FileSamples::kFloat},
        {"a.exr", FileSamples::kHalf, FileSamples::kFloat, FileSamples::kFloat},
        {"a.jpg", FileSamples::k8, FileSamples::k8, FileSamples::k8},
    };
    for (const Case& c : cases) {
        const ImageFormat& format = *formatOfPath(c.path);
        EXPECT_EQ(defaultSamples(format, PixelDepth::k8), c.for8) << c.path;
        EXPECT_EQ(defaultSamples(format, PixelDepth::k16), c.for16) << c.path;
        EXPECT_EQ(defaultSamples(format, PixelDepth::k32), c.forFloat) << c.path;
    }
}

TEST(ImageFormats, SampleNamesAndWhatAFormatHolds) {
    FileSamples samples = FileSamples::k8;
    EXPECT_TRUE(parseSamples("half", &samples));
    EXPECT_EQ(samples, FileSamples::kHalf);
    EXPECT_FALSE(parseSamples("12", &samples));
    EXPECT_EQ(heldSamples(*formatOfPath("a.tif")), "8, 16 or float");
    EXPECT_FALSE(formatHolds(*formatOfPath("a.png"), FileSamples::kFloat));
}

}  // namespace
