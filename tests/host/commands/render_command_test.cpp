#include <gtest/gtest.h>

#include "platform/pf_flags.h"
#include "tests/host/host_fixture.h"
#include "tests/host/render_road_fixture.h"
#include "tools/melt_frame.h"

namespace {

class RenderCommandTest : public RenderRoadTest {
protected:
    RenderCommandTest() { host.in_data.appl_id = StandInHost::kApplIdPremierePro; }

    // The record the render command loads holds the same values as the one
    // pre-render makes; the slots are the render's own business.
    ParamValues valuesOf(standin::FrameHost& frame) {
        EXPECT_EQ(frame.smartPreRender(module.effectMain()), PF_Err_NONE);
        const ParamValues record = preRenderRecord(frame);
        frame.finishFrame();
        host.log.clear();
        return record;
    }
};

TEST_F(RenderCommandTest, OutsidePremiereItDoesNothing) {
    host.in_data.appl_id = StandInHost::kApplIdAfterEffects;
    auto frame = makeFrame(PixelDepth::k8, 8, 8);
    EXPECT_EQ(frame->render(module.effectMain()), PF_Err_NONE);
    EXPECT_EQ(host.log.entries(), std::vector<std::string>{"EffectMain render"});
    EXPECT_TRUE(outputUntouched(*frame));
}

TEST_F(RenderCommandTest, HostCallsComeInTheirOrder) {
    auto frame = makeFrame(PixelDepth::k8, 8, 8);
    const std::string velocity = std::to_string(indexOf("Velocity Intensity Source"));
    const std::string spread = std::to_string(indexOf("Spread Intensity Source"));
    ASSERT_EQ(frame->render(module.effectMain()), PF_Err_NONE);
    const std::vector<std::string> expected = {
        "EffectMain render",
        "checkout_param " + velocity + " at 0",
        "checkout_param " + spread + " at 0",
        "AcquireSuite PF Pixel Format Suite 1",
        "checkout_param 0 at 0",
        "GetPixelFormat",
        "abort",
        "progress 7 8",
        "checkin_param " + velocity,
        "checkin_param " + spread,
        "checkin_param 0",
        "ReleaseSuite PF Pixel Format Suite 1",
    };
    EXPECT_EQ(host.log.entries(), expected);
    EXPECT_TRUE(everythingReturned(*frame));
}

// The entry is chosen by the output's format; the input is of the same depth here.
class RenderCommandDepths : public RenderCommandTest, public ::testing::WithParamInterface<PixelDepth> {};

TEST_P(RenderCommandDepths, RendersAsTheRenderEntryOfTheOutputsFormatDoes) {
    const PixelDepth depth = GetParam();
    auto frame = makeFrame(depth, 20, 13);
    formats.setDepth(frame->input, depth == PixelDepth::k8 ? 32 : 8);
    const ParamValues record = valuesOf(*frame);
    ASSERT_EQ(frame->render(module.effectMain()), PF_Err_NONE);
    ArgbBuffer expected(depth, 20, 13);
    fillMarker(expected);
    ASSERT_EQ(meltFrame(inputOf(*frame), expected, record), PF_Err_NONE);
    EXPECT_TRUE(outputOf(*frame).samePixels(expected));
    EXPECT_TRUE(everythingReturned(*frame));
}

INSTANTIATE_TEST_SUITE_P(Depths, RenderCommandDepths,
                         ::testing::Values(PixelDepth::k8, PixelDepth::k16, PixelDepth::k32));

TEST_F(RenderCommandTest, AnUnansweredFormatQueryRenders8Bit) {
    auto frame = makeFrame(PixelDepth::k8, 8, 8);
    formats.setUnanswered(frame->output);
    const ParamValues record = valuesOf(*frame);
    ASSERT_EQ(frame->render(module.effectMain()), PF_Err_NONE);
    ArgbBuffer expected(PixelDepth::k8, 8, 8);
    fillMarker(expected);
    ASSERT_EQ(meltFrame(inputOf(*frame), expected, record), PF_Err_NONE);
    EXPECT_TRUE(outputOf(*frame).samePixels(expected));
}

TEST_F(RenderCommandTest, FailuresEndWithTheirCodeAndCheckEverythingIn) {
    struct Case {
        const char* what;
        std::function<void(standin::FrameHost&)> arrange;
        PF_Err expected;
        bool rendered;
    };
    const Case cases[] = {
        {"another output format",
         [this](standin::FrameHost& f) { formats.setFormats(f.output, 0, PrPixelFormat(PrPixelFormat_ARGB_4444_8u + 7)); }, 514,
         false},
        {"a code with the high bit set",
         [this](standin::FrameHost& f) { formats.setFormats(f.output, 0, int32_t(0x80000000u)); }, 514, false},
        {"pixel-format suite missing",
         [this](standin::FrameHost&) {
             host.suites.fail(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, SuiteFailure::Missing);
         },
         13, false},
        {"input checkout fails", [](standin::FrameHost& f) { f.failCheckoutParam[0] = PF_Err_INVALID_INDEX; },
         PF_Err_INVALID_INDEX, false},
        {"spread source checkout fails",
         [this](standin::FrameHost& f) { f.failCheckoutParam[indexOf("Spread Intensity Source")] = 7; }, 7, false},
        {"abort", [](standin::FrameHost& f) { f.abortAtCall = 1; }, PF_Interrupt_CANCEL, true},
    };
    for (const Case& c : cases) {
        host.suites.fail(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, SuiteFailure::None);
        auto frame = makeFrame(PixelDepth::k16, 8, 16);
        frame->in_data.utils = host.in_data.utils;
        c.arrange(*frame);
        EXPECT_EQ(frame->render(module.effectMain()), c.expected) << c.what;
        EXPECT_EQ(!outputUntouched(*frame), c.rendered) << c.what;
        EXPECT_TRUE(everythingReturned(*frame)) << c.what;
        if (c.expected == 13) {
            EXPECT_EQ(returnMessage(frame->out_data), "Not able to acquire AEFX Suite.");
            EXPECT_NE(frame->out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
        }
    }
}

TEST_F(RenderCommandTest, WithoutAnOutputBufferNothingIsRendered) {
    auto frame = makeFrame(PixelDepth::k8, 8, 8);
    frame->output = nullptr;
    EXPECT_EQ(frame->render(module.effectMain()), PF_Err_NONE);
    EXPECT_TRUE(outputUntouched(*frame));
    EXPECT_TRUE(everythingReturned(*frame));
}

TEST_F(RenderCommandTest, AnInputOfANarrowerDepthIsNotReadPastItsRows) {
    // An 8-bit input for a float output: each row holds a quarter of the row the
    // render would read, so the rest counts as transparent.
    auto frame = makeFrame(PixelDepth::k32, 16, 8);
    ArgbBuffer narrow(PixelDepth::k8, 16, 8);
    fillRampPicture(narrow);
    formats.setDepth(narrow.layer(), 8);
    frame->input = narrow.layer();
    const ParamValues record = valuesOf(*frame);
    ASSERT_EQ(frame->render(module.effectMain()), PF_Err_NONE);

    ArgbBuffer padded(PixelDepth::k32, 16, 8);
    padded.fill(0, 0, 0, 0);
    const auto* bytes = static_cast<const unsigned char*>(narrow.layer()->data);
    auto* target = static_cast<unsigned char*>(padded.layer()->data);
    for (int32_t y = 0; y < 8; ++y) {
        std::memcpy(target + y * padded.layer()->rowbytes, bytes + y * narrow.layer()->rowbytes, 64);
    }
    ArgbBuffer expected(PixelDepth::k32, 16, 8);
    fillMarker(expected);
    ASSERT_EQ(meltFrame(padded, expected, record), PF_Err_NONE);
    EXPECT_TRUE(outputOf(*frame).samePixels(expected));
    EXPECT_TRUE(everythingReturned(*frame));
    formats.forget(narrow.layer());
}

}  // namespace
