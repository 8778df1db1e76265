// The render tool as a user runs it: a process of its own that loads the module,
// renders through EffectMain and writes a PNG. What it writes must be what the
// render entries write for the same frame and values.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/params/param_loading.h"
#include "tools/argb_buffer.h"
#include "tools/melt_frame.h"
#include "tools/png_io.h"
#include "tools/test_pattern.h"

namespace {

namespace fs = std::filesystem;

struct Case {
    const char* name;
    std::vector<std::string> args;  // besides --quiet, the depth, the pattern size and the output
    PixelDepth depth;
    int pngBits;
    float scale;
    std::function<void(ParamValues&)> set;
};

int runTool(const std::vector<std::string>& args) {
    std::string command = "'" ONDRAVA_RENDER_PNG_PATH "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

RgbaImage directRender(const Case& c, int32_t width, int32_t height) {
    ArgbBuffer input(c.depth, width, height);
    input.fillFrom(makeTestPattern(width, height));
    ArgbBuffer output(c.depth, width, height);
    ParamValues params = defaultParamValues();
    c.set(params);
    EXPECT_EQ(meltFrame(input, output, params, c.scale), 0);
    return output.toImage();
}

// The direct render through the same PNG writer and reader, so that both sides
// carry the same rounding to the file's bits.
RgbaImage asWritten(const RgbaImage& image, int bits, const fs::path& path) {
    EXPECT_EQ(writePng(path.string(), image, bits), "");
    RgbaImage read;
    EXPECT_EQ(readPng(path.string(), read), "");
    return read;
}

TEST(RenderPngTool, WritesWhatTheRenderEntriesWrite) {
    const Case cases[] = {
        {"defaults, 16 bits", {"--depth", "16"}, PixelDepth::k16, 16, 1.0f, [](ParamValues&) {}},
        {"Right at half resolution, 8 bits",
         {"--depth", "8", "--scale", "1/2", "--set", "Direction=Right"},
         PixelDepth::k8, 8, 0.5f, [](ParamValues& p) { p.direction = 0; }},
        {"float, wrapped, velocity 0.5",
         {"--depth", "32", "--set", "Wrap=on", "--set", "Velocity=0.5"},
         PixelDepth::k32, 16, 1.0f, [](ParamValues& p) { p.wrap = 1; p.velocity = 0.5; }},
    };
    const int32_t width = 96, height = 54;
    const fs::path folder = fs::temp_directory_path() / ("ondrava_render_png_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path hosted = folder / "hosted.png";
        std::vector<std::string> args = c.args;
        for (const std::string& arg : {std::string("--quiet"), std::string("--width"), std::to_string(width),
                                       std::string("--height"), std::to_string(height), hosted.string()}) {
            args.push_back(arg);
        }
        ASSERT_EQ(runTool(args), 0);
        RgbaImage written;
        ASSERT_EQ(readPng(hosted.string(), written), "");
        const RgbaImage expected = asWritten(directRender(c, width, height), c.pngBits, folder / "direct.png");
        EXPECT_EQ(written.width, width);
        EXPECT_EQ(written.height, height);
        EXPECT_TRUE(written.samples == expected.samples);
    }
    fs::remove_all(folder);
}

}  // namespace
