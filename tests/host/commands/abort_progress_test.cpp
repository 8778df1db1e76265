#include <gtest/gtest.h>

#include "host/commands/abort_progress.h"
#include "tests/render/melt_test_support.h"

namespace {

TEST(AbortProgress, ReportsProgressWhenTheHostGoesOn) {
    RecordingHost host;
    EXPECT_EQ(render_abort_progress(&host.inData, 7, 20), 0);
    EXPECT_EQ(host.abortCalls, 1);
    EXPECT_EQ(host.progressLines, (std::vector<int32_t>{7}));
    EXPECT_EQ(host.progressTotals, (std::vector<int32_t>{20}));
}

TEST(AbortProgress, ReturnsTheAbortAnswerWithoutProgress) {
    RecordingHost host;
    host.stopAtCall = 0;
    host.answer = PF_Interrupt_CANCEL;
    EXPECT_EQ(render_abort_progress(&host.inData, 15, 20), PF_Interrupt_CANCEL);
    EXPECT_TRUE(host.progressLines.empty());
}

TEST(AbortProgress, MissingCallbacksMeanGoOn) {
    EXPECT_EQ(render_abort_progress(nullptr, 7, 8), 0);
    PF_InData bare{};
    EXPECT_EQ(render_abort_progress(&bare, 7, 8), 0);
}

}  // namespace
