#include <gtest/gtest.h>

#include "tools/melt_arguments.h"

namespace {

std::string parse(std::vector<std::string> args, MeltOptions& options) {
    return parseMeltArguments(args, options);
}

TEST(MeltArguments, OneFileIsTheOutputOfTheTestPattern) {
    MeltOptions o;
    ASSERT_EQ(parse({"out.png"}, o), "");
    EXPECT_EQ(o.outputPath, "out.png");
    EXPECT_EQ(o.inputPath, "");
    EXPECT_EQ(o.depth, PixelDepth::k8);
    EXPECT_EQ(o.scale, 1.0f);
    EXPECT_EQ(o.params.direction, 2);
    EXPECT_EQ(o.patternWidth, kTestPatternWidth);
}

TEST(MeltArguments, TwoFilesAreInputAndOutput) {
    MeltOptions o;
    ASSERT_EQ(parse({"in.png", "--depth", "16", "out.png"}, o), "");
    EXPECT_EQ(o.inputPath, "in.png");
    EXPECT_EQ(o.outputPath, "out.png");
    EXPECT_EQ(o.depth, PixelDepth::k16);
}

TEST(MeltArguments, SetFieldsByNameWithOrWithoutEquals) {
    MeltOptions o;
    ASSERT_EQ(parse({"--direction", "3", "--velocity=0.5", "--melt-step", "64", "--scale", "0.5",
                     "--depth=32", "--width", "100", "--height=50", "--velocity-source", "v.png",
                     "--spread-source=s.png", "o.png"},
                    o),
              "");
    EXPECT_EQ(o.params.direction, 3);
    EXPECT_EQ(o.params.velocity, 0.5);
    EXPECT_EQ(o.params.meltStep, 64);
    EXPECT_EQ(o.scale, 0.5f);
    EXPECT_EQ(o.depth, PixelDepth::k32);
    EXPECT_EQ(o.patternWidth, 100);
    EXPECT_EQ(o.patternHeight, 50);
    EXPECT_EQ(o.velocitySourcePath, "v.png");
    EXPECT_EQ(o.spreadSourcePath, "s.png");
}

TEST(MeltArguments, HelpWinsOverEverythingElse) {
    MeltOptions o;
    EXPECT_EQ(parse({"--bogus", "--help"}, o), "unknown option --bogus");
    MeltOptions h;
    EXPECT_EQ(parse({"-h", "--bogus"}, h), "");
    EXPECT_TRUE(h.help);
    EXPECT_NE(meltUsage("tool").find("--velCurveSmoothness (0 to 16)"), std::string::npos);
}

struct BadCommandLine {
    std::vector<std::string> args;
    const char* message;
};

class MeltArgumentsReject : public testing::TestWithParam<BadCommandLine> {};

TEST_P(MeltArgumentsReject, WithAMessage) {
    MeltOptions o;
    EXPECT_EQ(parse(GetParam().args, o), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, MeltArgumentsReject,
    testing::Values(
        BadCommandLine{{}, "no output file given"},
        BadCommandLine{{"--direction", "1"}, "no output file given"},
        BadCommandLine{{"a.png", "b.png", "c.png"}, "too many files: give at most an input and an output"},
        BadCommandLine{{"o.png", "--velocity"}, "option --velocity needs a value"},
        BadCommandLine{{"-x", "o.png"}, "unknown option -x"},
        BadCommandLine{{"--nothing", "1", "o.png"}, "unknown option --nothing"},
        BadCommandLine{{"--depth", "24", "o.png"}, "depth: \"24\" is not 8, 16 or 32"},
        BadCommandLine{{"--scale", "0", "o.png"}, "scale: \"0\" is not a number above 0 and at most 1"},
        BadCommandLine{{"--scale", "2", "o.png"}, "scale: \"2\" is not a number above 0 and at most 1"},
        BadCommandLine{{"--width", "0", "o.png"}, "width: \"0\" is not a whole number from 1 to 32768"},
        BadCommandLine{{"--width", "32768", "--height", "32768", "o.png"},
                       "the test pattern may have at most 67108864 pixels"},
        BadCommandLine{{"--height", "10", "in.png", "o.png"},
                       "--width and --height size the test pattern: they do not go with an input file"},
        BadCommandLine{{"--direction", "7", "o.png"}, "direction: 7 is outside 0 to 3"}));

}  // namespace
