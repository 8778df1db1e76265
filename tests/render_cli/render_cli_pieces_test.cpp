#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "tools/render_cli/frame_sequence.h"
#include "tools/render_cli/progress_bar.h"

namespace {

namespace fs = std::filesystem;

TEST(FrameSequence, PatternsAndPaths) {
    EXPECT_TRUE(isSequencePattern("shots/frame_####.png"));
    EXPECT_FALSE(isSequencePattern("shots#1/frame.png"));  // only the file name counts
    EXPECT_EQ(sequenceFramePath("shots/frame_####.png", 7), "shots/frame_0007.png");
    EXPECT_EQ(sequenceFramePath("f#.png", 123), "f123.png");
}

TEST(FrameSequence, FindsTheNumberedFilesInOrder) {
    const fs::path folder = fs::temp_directory_path() / ("ondrava_seq_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    for (const char* name : {"f_0010.png", "f_0002.png", "f_12345.png", "f_007.png", "f_00x1.png",
                             "f_0003.jpg", "g_0004.png", "f_01234.png"}) {
        std::ofstream(folder / name) << "x";
    }
    std::string error;
    const std::vector<int64_t> numbers = findSequenceFrames((folder / "f_####.png").string(), error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(numbers, (std::vector<int64_t>{2, 10, 12345}));
    fs::remove_all(folder);

    findSequenceFrames((folder / "f_####.png").string(), error);
    EXPECT_NE(error.find("cannot read the folder"), std::string::npos) << error;
}

TEST(ProgressBar, AveragesTheFramesInFlight) {
    std::FILE* sink = std::tmpfile();
    ProgressBar bar(sink, 2, true);
    bar.report(0, 15, 20);  // frame 0 at 75 %
    EXPECT_EQ(bar.line(), "[" + std::string(15, '#') + std::string(25, ' ') + "]  37% (0/2 frames)");
    bar.frameDone(0);
    bar.report(1, 10, 20);
    EXPECT_EQ(bar.line(), "[" + std::string(30, '#') + std::string(10, ' ') + "]  75% (1/2 frames)");
    bar.report(5, 1, 2);   // no such frame: ignored
    bar.report(1, 1, 0);   // no scanlines: ignored
    EXPECT_EQ(bar.line(), "[" + std::string(30, '#') + std::string(10, ' ') + "]  75% (1/2 frames)");
    bar.finish();
    std::fclose(sink);
}

}  // namespace
