// The render tool as a user runs it: a process of its own that loads the module,
// renders through EffectMain and writes an image file. What it writes must be what
// the render entries write for the same frame and values, float values beyond 1
// included.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "host/params/param_loading.h"
#include "tests/render_cli/folder_fixture.h"
#include "tools/argb_buffer.h"
#include "tools/argb_conversion.h"
#include "tools/melt_frame.h"
#include "tools/render_cli/image_file.h"
#include "tools/test_pattern.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kWidth = 96, kHeight = 54;

int runTool(const std::vector<std::string>& args) {
    std::string command = "'" ONDRAVA_RENDER_PATH "' --quiet";
    for (const std::string& arg : args) command += " '" + arg + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class RenderTool : public FolderTest {
public:
    RenderTool() : FolderTest("render") {}
};

// The render entries' output for the input and values, as the tool's writer and
// reader carry it through a file of the same samples.
template <typename Sample>
RgbaImageOf<Sample> directRender(ArgbBuffer& input, const std::function<void(ParamValues&)>& set, float scale,
                                 FileSamples samples, const std::string& through) {
    ArgbBuffer output(input.depth(), input.width(), input.height());
    ParamValues params = defaultParamValues();
    set(params);
    EXPECT_EQ(meltFrame(input, output, params, scale), 0);
    RgbaImageOf<Sample> image, read;
    EXPECT_TRUE(copyArgbToImage(output, image));
    EXPECT_EQ(writeImage(through, image, samples, true), "");
    EXPECT_EQ(readImage(through, read), "");
    return read;
}

template <typename Sample>
void expectToolWritesTheDirectRender(const RenderTool& test, const std::vector<std::string>& args, PixelDepth depth,
                                     const std::string& name, FileSamples samples, float scale,
                                     const std::function<void(ParamValues&)>& set) {
    std::vector<std::string> all = args;
    for (const std::string& arg : {std::string("--width"), std::to_string(kWidth), std::string("--height"),
                                   std::to_string(kHeight), std::string("-o"), test.path(name)}) {
        all.push_back(arg);
    }
    ASSERT_EQ(runTool(all), 0);
    RgbaImageOf<Sample> written;
    ASSERT_EQ(readImage(test.path(name), written), "");
    ArgbBuffer input(depth, kWidth, kHeight);
    input.fillFrom(makeTestPattern(kWidth, kHeight));
    const RgbaImageOf<Sample> expected = directRender<Sample>(input, set, scale, samples, test.path("direct_" + name));
    EXPECT_EQ(written.width, kWidth);
    EXPECT_EQ(written.height, kHeight);
    EXPECT_TRUE(written.samples == expected.samples);
}

TEST_F(RenderTool, WritesWhatTheRenderEntriesWrite) {
    expectToolWritesTheDirectRender<uint16_t>(*this, {"--depth", "16"}, PixelDepth::k16, "defaults.png",
                                              FileSamples::k16, 1.0f, [](ParamValues&) {});
    expectToolWritesTheDirectRender<uint8_t>(*this, {"--depth", "8", "--scale", "1/2", "--set", "Direction=Right"},
                                             PixelDepth::k8, "right_half.tif", FileSamples::k8, 0.5f,
                                             [](ParamValues& p) { p.direction = 0; });
    expectToolWritesTheDirectRender<float>(*this, {"--depth", "32", "--set", "Wrap=on", "--set", "Velocity=0.5"},
                                           PixelDepth::k32, "float_wrap.exr", FileSamples::kFloat, 1.0f,
                                           [](ParamValues& p) { p.wrap = 1, p.velocity = 0.5; });
}

TEST_F(RenderTool, AFloatRenderOfAnExrKeepsValuesAboveOne) {
    RgbaImageOf<float> bright = [] {
        RgbaImageOf<float> image(kWidth, kHeight);
        // Opaque, colours up to 4.
        for (size_t s = 0; s < image.samples.size(); ++s) image.samples[s] = s % 4 == 3 ? 1.0f : float(s % 97) / 24.0f;
        return image;
    }();
    ASSERT_EQ(writeImage(path("bright.exr"), bright, FileSamples::kFloat, false), "");
    // Slow enough that the brightest pixels, the fastest, stay in the frame.
    ASSERT_EQ(runTool({"--depth", "32", "--set", "Velocity=0.05", "--set", "Spread=0.6", path("bright.exr"), "-o",
                       path("melted.exr")}),
              0);
    RgbaImageOf<float> written;
    ASSERT_EQ(readImage(path("melted.exr"), written), "");

    ArgbBuffer input(PixelDepth::k32, kWidth, kHeight);
    ASSERT_TRUE(copyImageToArgb(bright, input));
    const RgbaImageOf<float> expected = directRender<float>(
        input, [](ParamValues& p) { p.velocity = 0.05, p.spread = 0.6; }, 1.0f, FileSamples::kFloat, path("direct.exr"));
    EXPECT_TRUE(written.samples == expected.samples);
    EXPECT_GT(*std::max_element(written.samples.begin(), written.samples.end()), 3.5f);
}

TEST_F(RenderTool, OverwriteReplacesAnExistingOutput) {
    std::ofstream(path("old.png")) << "old";
    ASSERT_EQ(runTool({"--width", "8", "--height", "8", "-o", path("old.png")}), 2);
    ASSERT_EQ(runTool({"--width", "8", "--height", "8", "--overwrite", "-o", path("old.png")}), 0);
    RgbaImageOf<uint8_t> image;
    EXPECT_EQ(readImage(path("old.png"), image), "");
    EXPECT_EQ(image.width, 8);
}

TEST_F(RenderTool, SideBySidePutsTheInputLeftOfTheOutput) {
    ASSERT_EQ(runTool({"--width", "10", "--height", "6", "-o", path("melted.png")}), 0);
    ASSERT_EQ(runTool({"--width", "10", "--height", "6", "--side-by-side", "-o", path("both.png")}), 0);
    RgbaImageOf<uint8_t> melted, both, pattern;
    ASSERT_EQ(readImage(path("melted.png"), melted), "");
    ASSERT_EQ(readImage(path("both.png"), both), "");
    ArgbBuffer input(PixelDepth::k8, 10, 6);
    input.fillFrom(makeTestPattern(10, 6));
    ASSERT_TRUE(copyArgbToImage(input, pattern));
    ASSERT_EQ(both.width, 20);
    for (int32_t y = 0; y < 6; ++y) {
        EXPECT_TRUE(std::equal(pattern.pixel(0, y), pattern.pixel(0, y) + 40, both.pixel(0, y))) << y;
        EXPECT_TRUE(std::equal(melted.pixel(0, y), melted.pixel(0, y) + 40, both.pixel(10, y))) << y;
    }
}

}  // namespace
