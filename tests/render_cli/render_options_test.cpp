#include "tools/render_cli/render_options.h"

#include <gtest/gtest.h>

namespace {

std::string parse(const std::vector<std::string>& args, RenderOptions& options) {
    return parseRenderArguments(args, options);
}

TEST(RenderOptions, TakesFilesDepthSettingsAndSources) {
    RenderOptions options;
    EXPECT_EQ(parse({"--depth", "16", "--set", "Direction=Up", "--set", "Velocity=0.5", "--velocity-source", "v.png",
                     "--spread-source", "s.tif", "--bits", "8", "--threads", "3", "in.png", "-o", "out.png",
                     "--overwrite", "--side-by-side", "--panel", "panel.png"},
                    options),
              "");
    EXPECT_EQ(options.depth, 16);
    EXPECT_EQ(options.samples, FileSamples::k8);
    EXPECT_EQ(options.threads, 3);
    EXPECT_EQ(options.assignments, (std::vector<std::string>{"Direction=Up", "Velocity=0.5"}));
    EXPECT_EQ(options.velocitySourcePath, "v.png");
    EXPECT_EQ(options.spreadSourcePath, "s.tif");
    EXPECT_EQ(options.inputPath, "in.png");
    EXPECT_EQ(options.outputPath, "out.png");
    EXPECT_EQ(options.panelPath, "panel.png");
    EXPECT_TRUE(options.overwrite);
    EXPECT_TRUE(options.sideBySide);
}

TEST(RenderOptions, WithoutAnInputTheTestPatternIsMelted) {
    RenderOptions options;
    EXPECT_EQ(parse({"--output", "out.exr"}, options), "");
    EXPECT_EQ(options.inputPath, "");
    EXPECT_EQ(options.outputPath, "out.exr");
    EXPECT_EQ(options.depth, 8);
    EXPECT_FALSE(options.samples);
    EXPECT_FALSE(options.overwrite);
}

TEST(RenderOptions, ListingParametersOrDrawingThePanelNeedsNoOutput) {
    RenderOptions listing, panel;
    EXPECT_EQ(parse({"--list-params", "--json", "--host", "premiere", "--api-version", "13.8"}, listing), "");
    EXPECT_TRUE(listing.listParams);
    EXPECT_TRUE(listing.json);
    EXPECT_TRUE(listing.host.premiere);
    EXPECT_EQ(listing.host.apiMajor, 13);
    EXPECT_EQ(listing.host.apiMinor, 8);
    EXPECT_EQ(parse({"--panel", "panel.png"}, panel), "");
    EXPECT_FALSE(panel.host.premiere);
    EXPECT_EQ(panel.host.apiMinor, 27);
}

TEST(RenderOptions, HelpAndVersionNeedNothingElse) {
    RenderOptions help, version;
    EXPECT_EQ(parse({"--bogus", "--help"}, help), "unknown option --bogus");
    EXPECT_EQ(parse({"--help", "--bogus"}, help), "");
    EXPECT_TRUE(help.help);
    EXPECT_EQ(parse({"--version"}, version), "");
    EXPECT_TRUE(version.version);
}

TEST(RenderOptions, TakesADownsampleRatioAndThePatternSize) {
    RenderOptions options;
    EXPECT_EQ(parse({"--scale", "1/2", "--width", "96", "--height", "54", "-o", "out.png"}, options), "");
    EXPECT_EQ(options.scaleNum, 1);
    EXPECT_EQ(options.scaleDen, 2);
    EXPECT_EQ(options.patternWidth, 96);
    EXPECT_EQ(options.patternHeight, 54);
    RenderOptions whole;
    EXPECT_EQ(parse({"--scale", "1", "-o", "out.png"}, whole), "");
    EXPECT_EQ(whole.scaleDen, 1);
    EXPECT_EQ(whole.patternWidth, kTestPatternWidth);
}

TEST(RenderOptions, RefusesWhatItCannotUse) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--depth", "12", "-o", "o.png"}, "--depth: \"12\" is not 8, 16 or 32"},
        {{"--bits", "32", "-o", "o.png"}, "--bits: \"32\" is not 8, 16, half or float"},
        {{"--bits", "half", "-o", "o.png"}, "--bits half: png files hold 8 or 16"},
        {{"--bits", "16", "-o", "o.exr"}, "--bits 16: openexr files hold half or float"},
        {{"--threads", "0", "-o", "o.png"}, "--threads: \"0\" is not a whole number from 1 to 256"},
        {{"--threads", "x", "-o", "o.png"}, "--threads: \"x\" is not a whole number from 1 to 256"},
        {{"--scale", "2/1", "-o", "o.png"}, "--scale: \"2/1\" is not a ratio N/D with 1 <= N <= D <= 256"},
        {{"--scale", "0/2", "-o", "o.png"}, "--scale: \"0/2\" is not a ratio N/D with 1 <= N <= D <= 256"},
        {{"--scale", "1/", "-o", "o.png"}, "--scale: \"1/\" is not a ratio N/D with 1 <= N <= D <= 256"},
        {{"--scale", "0.5", "-o", "o.png"}, "--scale: \"0.5\" is not a ratio N/D with 1 <= N <= D <= 256"},
        {{"--width", "0", "-o", "o.png"}, "--width: \"0\" is not a whole number from 1 to 32768"},
        {{"--height", "40000", "-o", "o.png"}, "--height: \"40000\" is not a whole number from 1 to 32768"},
        {{"--width", "8", "in.png", "-o", "o.png"},
         "--width and --height size the test pattern: they do not go with an input file"},
        {{"--width", "32768", "--height", "32768", "-o", "o.png"}, "the test pattern may have at most 67108864 pixels"},
        {{"--host", "nuke", "--list-params"}, "--host: \"nuke\" is not after-effects or premiere"},
        {{"--api-version", "13", "--list-params"}, "--api-version: \"13\" is not MAJOR.MINOR, e.g. 13.27"},
        {{"--speed", "2", "-o", "o.png"}, "unknown option --speed"},
        {{"-x", "-o", "o.png"}, "unknown option -x"},
        {{"-o", "o.png", "--set"}, "--set needs a value"},
        {{}, "no output given: name it with -o FILE (a '#' pattern for a sequence)"},
        {{"photo.png"}, "no output given: name it with -o FILE (a '#' pattern for a sequence)"},
        {{"photo.png", "out.png"}, "too many input files: give at most one input and name the output with -o"},
        {{"--list-params", "photo.png"}, "no output given: name it with -o FILE (a '#' pattern for a sequence)"},
        {{"--json", "-o", "o.png"}, "--json goes with --list-params"},
        {{"in_##.png", "-o", "out.png"}, "an image sequence needs a '#' pattern for both the input and the output"},
        {{"in.png", "-o", "out_##.png"}, "an image sequence needs a '#' pattern for both the input and the output"},
        {{"in.gif", "-o", "out.png"}, "\"in.gif\" names no image format the tool knows; known are .png .tif .tiff .exr .jpg .jpeg"},
        {{"-o", "out"}, "\"out\" names no image format the tool knows; known are .png .tif .tiff .exr .jpg .jpeg"},
        {{"--panel", "p.svg"}, "\"p.svg\" names no image format the tool knows; known are .png .tif .tiff .exr .jpg .jpeg"},
        {{"--spread-source", "s.psd", "-o", "o.png"},
         "\"s.psd\" names no image format the tool knows; known are .png .tif .tiff .exr .jpg .jpeg"},
    };
    for (const Case& c : cases) {
        RenderOptions options;
        EXPECT_EQ(parse(c.args, options), c.message);
    }
}

}  // namespace
