#include "tools/render_cli/render_options.h"

#include <gtest/gtest.h>

namespace {

std::string parse(const std::vector<std::string>& args, RenderOptions& options) {
    return parseRenderArguments(args, options);
}

TEST(RenderOptions, TakesFilesDepthSettingsAndSources) {
    RenderOptions options;
    EXPECT_EQ(parse({"--depth", "16", "--set", "Direction=Up", "--set", "Velocity=0.5", "--velocity-source", "v.png",
                     "--spread-source", "s.png", "--png-bits", "8", "--threads", "3", "in.png", "out.png"},
                    options),
              "");
    EXPECT_EQ(options.depth, 16);
    EXPECT_EQ(options.pngBits, 8);
    EXPECT_EQ(options.threads, 3);
    EXPECT_EQ(options.assignments, (std::vector<std::string>{"Direction=Up", "Velocity=0.5"}));
    EXPECT_EQ(options.velocitySourcePath, "v.png");
    EXPECT_EQ(options.spreadSourcePath, "s.png");
    EXPECT_EQ(options.inputPath, "in.png");
    EXPECT_EQ(options.outputPath, "out.png");
}

TEST(RenderOptions, OneFileIsTheOutputOfTheTestPattern) {
    RenderOptions options;
    EXPECT_EQ(parse({"out.png"}, options), "");
    EXPECT_EQ(options.inputPath, "");
    EXPECT_EQ(options.outputPath, "out.png");
    EXPECT_EQ(options.depth, 8);
}

TEST(RenderOptions, ListingParametersNeedsNoFile) {
    RenderOptions options;
    EXPECT_EQ(parse({"--list-params"}, options), "");
    EXPECT_TRUE(options.listParams);
}

TEST(RenderOptions, TakesADownsampleRatioAndThePatternSize) {
    RenderOptions options;
    EXPECT_EQ(parse({"--scale", "1/2", "--width", "96", "--height", "54", "out.png"}, options), "");
    EXPECT_EQ(options.scaleNum, 1);
    EXPECT_EQ(options.scaleDen, 2);
    EXPECT_EQ(options.patternWidth, 96);
    EXPECT_EQ(options.patternHeight, 54);
    RenderOptions whole;
    EXPECT_EQ(parse({"--scale", "1", "out.png"}, whole), "");
    EXPECT_EQ(whole.scaleDen, 1);
    EXPECT_EQ(whole.patternWidth, kTestPatternWidth);
}

TEST(RenderOptions, RefusesWhatItCannotUse) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--depth", "12", "o.png"}, "--depth: \"12\" is not 8, 16 or 32"},
        {{"--png-bits", "32", "o.png"}, "--png-bits: \"32\" is not 8 or 16"},
        {{"--threads", "0", "o.png"}, "--threads: \"0\" is not a whole number from 1 to 256"},
        {{"--threads", "x", "o.png"}, "--threads: \"x\" is not a whole number from 1 to 256"},
        {{"--scale", "2/1", "o.png"}, "--scale: \"2/1\" is not a ratio N/D with 1 <= N <= D <= 256"},
        {{"--scale", "0/2", "o.png"}, "--scale: \"0/2\" is not a ratio N/D with 1 <= N <= D <= 256"},
        {{"--scale", "1/", "o.png"}, "--scale: \"1/\" is not a ratio N/D with 1 <= N <= D <= 256"},
        {{"--scale", "0.5", "o.png"}, "--scale: \"0.5\" is not a ratio N/D with 1 <= N <= D <= 256"},
        {{"--width", "0", "o.png"}, "--width: \"0\" is not a whole number from 1 to 32768"},
        {{"--height", "40000", "o.png"}, "--height: \"40000\" is not a whole number from 1 to 32768"},
        {{"--width", "8", "in.png", "o.png"},
         "--width and --height size the test pattern: they do not go with an input file"},
        {{"--width", "32768", "--height", "32768", "o.png"}, "the test pattern may have at most 67108864 pixels"},
        {{"--speed", "2", "o.png"}, "unknown option --speed"},
        {{"-x", "o.png"}, "unknown option -x"},
        {{"o.png", "--set"}, "--set needs a value"},
        {{}, "no output file given"},
        {{"a.png", "b.png", "c.png"}, "too many files: give at most an input and an output"},
        {{"in_##.png", "out.png"}, "an image sequence needs a '#' pattern for both the input and the output"},
        {{"in.png", "out_##.png"}, "an image sequence needs a '#' pattern for both the input and the output"},
    };
    for (const Case& c : cases) {
        RenderOptions options;
        EXPECT_EQ(parse(c.args, options), c.message);
    }
}

}  // namespace
