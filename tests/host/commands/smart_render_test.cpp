#include <gtest/gtest.h>
#include <ostream>

#include "tests/host/host_fixture.h"
#include "tests/host/render_road_fixture.h"
#include "tools/melt_frame.h"

namespace {

class SmartRenderTest : public RenderRoadTest {
protected:
    // Pre-renders the frame and clears the log, so that what follows is smart render's.
    void preRender(standin::FrameHost& frame) {
        ASSERT_EQ(frame.smartPreRender(module.effectMain()), PF_Err_NONE);
        record = preRenderRecord(frame);
        host.log.clear();
    }
    // The frame melted by calling the render entry directly, from the same record.
    std::unique_ptr<ArgbBuffer> expectedOutput(standin::FrameHost& frame, float scale = 1.0f) {
        ArgbBuffer& in = inputOf(frame);
        auto out = std::make_unique<ArgbBuffer>(in.depth(), in.width(), in.height());
        fillMarker(*out);
        EXPECT_EQ(meltFrame(in, *out, record, scale), PF_Err_NONE);
        return out;
    }
    ParamValues record{};
};

TEST_F(SmartRenderTest, HostCallsComeInTheirOrder) {
    auto frame = makeFrame(PixelDepth::k8, 8, 20);
    preRender(*frame);
    const std::string velocity = std::to_string(indexOf("Velocity Intensity Source"));
    const std::string spread = std::to_string(indexOf("Spread Intensity Source"));
    ASSERT_EQ(frame->smartRender(module.effectMain()), PF_Err_NONE);
    const std::vector<std::string> expected = {
        "EffectMain smart render",
        "AcquireSuite PF Handle Suite 2",
        "host_lock_handle",
        "checkout_layer_pixels 0",
        "checkout_output",
        "checkout_layer_pixels " + velocity,
        "checkout_layer_pixels " + spread,
        "AcquireSuite PF World Suite 2",
        "PF_GetPixelFormat",
        // Direction "Down" over 8 columns: 8 scanlines, one poll at index 7.
        "abort",
        "progress 7 8",
        "checkin_layer_pixels " + velocity,
        "checkin_layer_pixels " + spread,
        "checkin_layer_pixels 0",
        "host_unlock_handle",
        "ReleaseSuite PF World Suite 2",
        "ReleaseSuite PF Handle Suite 2",
    };
    EXPECT_EQ(roadCalls(host.log), expected);
    EXPECT_TRUE(everythingReturned(*frame));
    EXPECT_EQ(frame->unmatchedCheckins, 0);
    frame->finishFrame();
}

// The entry is chosen by the input's format, whatever the output's world says.
class SmartRenderDepths : public SmartRenderTest, public ::testing::WithParamInterface<PixelDepth> {};

TEST_P(SmartRenderDepths, RendersAsTheRenderEntryOfTheInputsDepthDoes) {
    const PixelDepth depth = GetParam();
    auto frame = makeFrame(depth, 24, 17);
    formats.setDepth(frame->output, depth == PixelDepth::k8 ? 32 : 8);
    preRender(*frame);
    ASSERT_EQ(frame->smartRender(module.effectMain()), PF_Err_NONE);
    EXPECT_TRUE(outputOf(*frame).samePixels(*expectedOutput(*frame)));
    EXPECT_FALSE(outputUntouched(*frame));
    EXPECT_TRUE(everythingReturned(*frame));
    frame->finishFrame();
}

INSTANTIATE_TEST_SUITE_P(Depths, SmartRenderDepths,
                         ::testing::Values(PixelDepth::k8, PixelDepth::k16, PixelDepth::k32));

TEST_F(SmartRenderTest, AnotherInputFormatRendersNothingAndGives514) {
    auto frame = makeFrame(PixelDepth::k8, 8, 8);
    formats.setFormats(frame->input, PF_PixelFormat_ARGB32 + 1, PrPixelFormat(0));
    preRender(*frame);
    EXPECT_EQ(frame->smartRender(module.effectMain()), PF_Err_UNRECOGNIZED_PARAM_TYPE);
    EXPECT_TRUE(outputUntouched(*frame));
    EXPECT_TRUE(everythingReturned(*frame));
    frame->finishFrame();
}

TEST_F(SmartRenderTest, AnUnansweredFormatQueryGives514) {
    auto frame = makeFrame(PixelDepth::k8, 8, 8);
    formats.setUnanswered(frame->input);
    preRender(*frame);
    EXPECT_EQ(frame->smartRender(module.effectMain()), PF_Err_UNRECOGNIZED_PARAM_TYPE);
    EXPECT_TRUE(outputUntouched(*frame));
    frame->finishFrame();
}

TEST_F(SmartRenderTest, NoInputOrNoOutputRendersNothing) {
    for (const bool noInput : {true, false}) {
        auto frame = makeFrame(PixelDepth::k8, 8, 8);
        preRender(*frame);
        PF_EffectWorld* world = noInput ? frame->input : frame->output;
        (noInput ? frame->input : frame->output) = nullptr;
        EXPECT_EQ(frame->smartRender(module.effectMain()), PF_Err_NONE);
        (noInput ? frame->input : frame->output) = world;
        EXPECT_TRUE(outputUntouched(*frame));
        const std::vector<std::string> calls = roadCalls(host.log);
        EXPECT_EQ(calls[calls.size() - 3], "checkin_layer_pixels 0");
        EXPECT_EQ(calls[calls.size() - 2], "host_unlock_handle");
        EXPECT_TRUE(everythingReturned(*frame));
        frame->finishFrame();
    }
}

struct FailureCase {
    const char* what;
    std::function<void(standin::FrameHost&, RenderRoadTest&)> arrange;
    PF_Err expected;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.what; }

class SmartRenderFailures : public SmartRenderTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SmartRenderFailures, EndWithTheirCodeHavingReturnedEverything) {
    const FailureCase& c = GetParam();
    auto frame = makeFrame(PixelDepth::k16, 8, 24);
    preRender(*frame);
    c.arrange(*frame, *this);
    EXPECT_EQ(frame->smartRender(module.effectMain()), c.expected);
    EXPECT_TRUE(everythingReturned(*frame));
    if (c.expected != PF_Err_INTERNAL_STRUCT_DAMAGED) {  // a failed lock has nothing to unlock
        const std::vector<std::string> calls = roadCalls(host.log);
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "host_lock_handle"),
                  std::count(calls.begin(), calls.end(), "host_unlock_handle"));
    }
    host.suites.fail(kPFHandleSuite, kPFHandleSuiteVersion1, SuiteFailure::None);
    frame->finishFrame();
    EXPECT_EQ(host.handles.liveCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SmartRenderFailures,
    ::testing::Values(
        FailureCase{"handle suite missing",
                    [](standin::FrameHost&, RenderRoadTest& t) {
                        t.host.suites.fail(kPFHandleSuite, kPFHandleSuiteVersion1, SuiteFailure::Missing);
                    },
                    13},
        FailureCase{"world suite missing",
                    [](standin::FrameHost&, RenderRoadTest& t) {
                        t.host.suites.fail(kPFWorldSuite, kPFWorldSuiteVersion2, SuiteFailure::SuccessWithoutSuite);
                    },
                    13},
        FailureCase{"handle not lockable",
                    [](standin::FrameHost& f, RenderRoadTest&) {
                        // A handle the host does not know cannot be locked.
                        static void* stranger = nullptr;
                        f.finishFrame();
                        f.preRenderOutput().pre_render_data = &stranger;
                    },
                    PF_Err_INTERNAL_STRUCT_DAMAGED},
        FailureCase{"input checkout fails",
                    [](standin::FrameHost& f, RenderRoadTest&) { f.failCheckoutPixels[0] = PF_Err_OUT_OF_MEMORY; },
                    PF_Err_OUT_OF_MEMORY},
        FailureCase{"output checkout fails without a buffer",
                    [](standin::FrameHost& f, RenderRoadTest&) {
                        f.output = nullptr;
                        f.checkoutOutputCode = PF_Err_BAD_CALLBACK_PARAM;
                    },
                    PF_Err_BAD_CALLBACK_PARAM},
        FailureCase{"output checkout fails yet hands a buffer",
                    [](standin::FrameHost& f, RenderRoadTest&) { f.checkoutOutputCode = PF_Err_BAD_CALLBACK_PARAM; },
                    PF_Err_UNRECOGNIZED_PARAM_TYPE},
        FailureCase{"source layer checkout fails",
                    [](standin::FrameHost& f, RenderRoadTest& t) {
                        f.failCheckoutPixels[t.indexOf("Spread Intensity Source")] = PF_Err_INVALID_INDEX;
                    },
                    PF_Err_INVALID_INDEX},
        FailureCase{"input check-in fails",
                    [](standin::FrameHost& f, RenderRoadTest&) { f.failCheckinPixels[0] = PF_Err_INVALID_CALLBACK; },
                    PF_Err_INVALID_CALLBACK},
        FailureCase{"abort wins over a failing input check-in",
                    [](standin::FrameHost& f, RenderRoadTest&) {
                        f.abortAtCall = 1;
                        f.failCheckinPixels[0] = PF_Err_INVALID_CALLBACK;
                    },
                    PF_Interrupt_CANCEL}));

TEST_F(SmartRenderTest, ProgressComesEveryEighthScanlineAndAbortStopsThere) {
    // 31 rows: polls at 7, 15 and 23, never at 0 or at the row count.
    auto frame = makeFrame(PixelDepth::k8, 33, 31);
    frame->params[size_t(indexOf("Direction"))].u.pd.value = 1;  // "Right": scanlines are rows
    preRender(*frame);
    ASSERT_EQ(frame->smartRender(module.effectMain()), PF_Err_NONE);
    EXPECT_EQ(frame->progressCalls, (std::vector<std::pair<int32_t, int32_t>>{{7, 31}, {15, 31}, {23, 31}}));
    frame->finishFrame();

    auto stopped = makeFrame(PixelDepth::k8, 33, 20);
    stopped->params[size_t(indexOf("Direction"))].u.pd.value = 1;
    stopped->abortAtCall = 1;
    preRender(*stopped);
    EXPECT_EQ(stopped->smartRender(module.effectMain()), PF_Interrupt_CANCEL);
    EXPECT_TRUE(stopped->progressCalls.empty());
    // Rows 0 to 6 are melted, the rest left as the host gave them.
    const auto full = expectedOutput(*stopped);
    ArgbBuffer marker(PixelDepth::k8, 33, 20);
    fillMarker(marker);
    const ArgbBuffer& out = outputOf(*stopped);
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 33; ++x)
            for (int c = 0; c < 4; ++c)
                ASSERT_EQ(out.raw(x, y, c), (y < 7 ? *full : marker).raw(x, y, c)) << x << "," << y;
    EXPECT_TRUE(everythingReturned(*stopped));
    stopped->finishFrame();
}

TEST_F(SmartRenderTest, AFailingProgressCallDoesNotStopTheRender) {
    auto frame = makeFrame(PixelDepth::k8, 8, 40);
    frame->progressCode = PF_Err_BAD_CALLBACK_PARAM;
    preRender(*frame);
    EXPECT_EQ(frame->smartRender(module.effectMain()), PF_Err_NONE);
    EXPECT_TRUE(outputOf(*frame).samePixels(*expectedOutput(*frame)));
    frame->finishFrame();
}

TEST_F(SmartRenderTest, TheDownsampleFactorIsTheHorizontalRatio) {
    struct Case {
        PF_RationalScale x, y;
        float scale;
    };
    for (const Case c : {Case{{1, 2}, {1, 1}, 0.5f}, Case{{1, 1}, {1, 4}, 1.0f}, Case{{3, 0}, {1, 1}, 3.0f}}) {
        auto frame = makeFrame(PixelDepth::k32, 16, 12);
        frame->in_data.downsample_x = c.x;
        frame->in_data.downsample_y = c.y;
        preRender(*frame);
        ASSERT_EQ(frame->smartRender(module.effectMain()), PF_Err_NONE);
        EXPECT_TRUE(outputOf(*frame).samePixels(*expectedOutput(*frame, c.scale))) << c.x.num << "/" << c.x.den;
        frame->finishFrame();
    }
}

TEST_F(SmartRenderTest, AnInputSmallerThanTheOutputIsReadOnlyWhereItReaches) {
    for (const PixelDepth depth : {PixelDepth::k8, PixelDepth::k16, PixelDepth::k32}) {
        auto frame = makeFrame(depth, 24, 20);
        ArgbBuffer small(depth, 10, 6);
        fillRampPicture(small);
        formats.setDepth(small.layer(), bitsOf(depth));
        frame->input = small.layer();
        preRender(*frame);
        ASSERT_EQ(frame->smartRender(module.effectMain()), PF_Err_NONE);

        // The same as rendering from the small picture on a transparent ground.
        ArgbBuffer padded(depth, 24, 20);
        padded.fill(0, 0, 0, 0);
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 10; ++x)
                for (int c = 0; c < 4; ++c) padded.setRaw(x, y, c, small.raw(x, y, c));
        ArgbBuffer expected(depth, 24, 20);
        fillMarker(expected);
        ASSERT_EQ(meltFrame(padded, expected, record), PF_Err_NONE);
        EXPECT_TRUE(outputOf(*frame).samePixels(expected)) << bitsOf(depth);
        EXPECT_TRUE(everythingReturned(*frame));
        frame->finishFrame();
        formats.forget(small.layer());
    }
}

TEST_F(SmartRenderTest, SourceLayersReachTheRenderAndGoBack) {
    auto frame = makeFrame(PixelDepth::k8, 16, 16);
    ArgbBuffer& source = addSourceLayer(*frame, indexOf("Velocity Intensity Source"), PixelDepth::k8, 16, 16);
    source.fill(1.0, 1.0, 1.0, 1.0);
    preRender(*frame);
    // Pre-render only asks for the layer: the slots wait for smart render.
    EXPECT_EQ(record.velocitySourceLayer, nullptr);
    EXPECT_EQ(record.spreadSourceLayer, nullptr);
    ASSERT_EQ(frame->smartRender(module.effectMain()), PF_Err_NONE);
    ParamValues withSource = record;
    withSource.velocitySourceLayer = source.layer();
    ArgbBuffer expected(PixelDepth::k8, 16, 16);
    fillMarker(expected);
    ASSERT_EQ(meltFrame(inputOf(*frame), expected, withSource), PF_Err_NONE);
    EXPECT_TRUE(outputOf(*frame).samePixels(expected));
    // The record in the handle keeps only what smart render stored in it.
    const ParamValues after = preRenderRecord(*frame);
    EXPECT_EQ(after.velocitySourceLayer, source.layer());
    EXPECT_EQ(after.spreadSourceLayer, nullptr);
    EXPECT_TRUE(everythingReturned(*frame));
    frame->finishFrame();
}

}  // namespace

namespace {

TEST_F(SmartRenderTest, AnOutputTooNarrowForTheInputsDepthIsNotWritten) {
    // A 16-bit input whose host hands an 8-bit output buffer: rendering at 16 bits
    // would write each row twice as far as it reaches.
    auto frame = makeFrame(PixelDepth::k16, 12, 9);
    ArgbBuffer narrow(PixelDepth::k8, 12, 9);
    fillMarker(narrow);
    formats.setDepth(narrow.layer(), 8);
    frame->output = narrow.layer();
    preRender(*frame);
    EXPECT_EQ(frame->smartRender(module.effectMain()), PF_Err_UNRECOGNIZED_PARAM_TYPE);
    ArgbBuffer marker(PixelDepth::k8, 12, 9);
    fillMarker(marker);
    EXPECT_TRUE(narrow.samePixels(marker));
    EXPECT_TRUE(everythingReturned(*frame));
    frame->finishFrame();
    formats.forget(narrow.layer());
}

}  // namespace
