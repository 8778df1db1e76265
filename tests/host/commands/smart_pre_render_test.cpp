#include <gtest/gtest.h>

#include <thread>

#include "tests/host/host_fixture.h"
#include "tests/host/render_road_fixture.h"

namespace {

using SmartPreRenderTest = RenderRoadTest;

TEST_F(SmartPreRenderTest, MakesTheRecordRequestsTheInputAndHandsTheHandleOver) {
    auto frame = makeFrame(PixelDepth::k8, 32, 16);
    frame->in_data.current_time = 12;
    frame->in_data.time_step = 3;
    frame->in_data.time_scale = 90;
    ASSERT_EQ(frame->smartPreRender(module.effectMain()), PF_Err_NONE);

    const std::vector<std::string> expected = {
        "EffectMain smart pre-render",
        "AcquireSuite PF Handle Suite 2",
        "host_new_handle " + std::to_string(sizeof(ParamValues)),
        "host_lock_handle",
        "checkout_layer " + std::to_string(indexOf("Velocity Intensity Source")) + " id " +
            std::to_string(indexOf("Velocity Intensity Source")) + " at 12",
        "checkout_layer " + std::to_string(indexOf("Spread Intensity Source")) + " id " +
            std::to_string(indexOf("Spread Intensity Source")) + " at 12",
        "checkout_layer 0 id 0 at 12",
        "host_unlock_handle",
        "ReleaseSuite PF Handle Suite 2",
    };
    EXPECT_EQ(roadCalls(host.log), expected);
    // Values, source layers and the input all at the frame's time, step and scale.
    ASSERT_EQ(frame->timedCheckouts.size(), 36u);
    for (const auto& checkout : frame->timedCheckouts) {
        EXPECT_EQ(checkout.what_time, 12) << checkout.index;
        EXPECT_EQ(checkout.time_step, 3) << checkout.index;
        EXPECT_EQ(checkout.time_scale, 90u) << checkout.index;
    }

    const PF_PreRenderOutput& out = frame->preRenderOutput();
    ASSERT_NE(out.pre_render_data, nullptr);
    ASSERT_NE(out.delete_pre_render_data_func, nullptr);
    const ParamValues record = preRenderRecord(*frame);
    EXPECT_EQ(record.velocitySourceLayer, nullptr);
    EXPECT_EQ(record.spreadSourceLayer, nullptr);
    EXPECT_EQ(record.meltStep, 512);  // a registered default, read at the frame's time

    EXPECT_EQ(host.handles.liveCount(), 1u);
    frame->finishFrame();
    EXPECT_EQ(host.handles.liveCount(), 0u);
    EXPECT_TRUE(everythingReturned(*frame));
}

struct RectCase {
    const char* what;
    PF_LRect output;  // both output rectangles as the host hands them in
    PF_LRect inputResult;
    PF_LRect inputMax;
    PF_LRect expectedResult;
    PF_LRect expectedMax;
};

class PreRenderRects : public RenderRoadTest, public ::testing::WithParamInterface<RectCase> {};

TEST_P(PreRenderRects, TheOutputTakesInTheInputsRectanglesOfTheSameName) {
    const RectCase& c = GetParam();
    auto frame = makeFrame(PixelDepth::k8, 8, 8);
    frame->preRenderOutput().result_rect = c.output;
    frame->preRenderOutput().max_result_rect = c.output;
    PF_CheckoutResult result{};
    result.result_rect = c.inputResult;
    result.max_result_rect = c.inputMax;
    frame->checkoutResults[0] = result;
    ASSERT_EQ(frame->smartPreRender(module.effectMain()), PF_Err_NONE);
    EXPECT_TRUE(sameRect(frame->preRenderOutput().result_rect, c.expectedResult)) << c.what;
    EXPECT_TRUE(sameRect(frame->preRenderOutput().max_result_rect, c.expectedMax)) << c.what;
    frame->finishFrame();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreRenderRects,
    ::testing::Values(
        RectCase{"empty output", {0, 0, 0, 0}, {2, 3, 40, 50}, {0, 0, 60, 70}, {2, 3, 40, 50}, {0, 0, 60, 70}},
        RectCase{"widened", {-5, 10, 20, 30}, {0, 0, 10, 20}, {0, 0, 10, 40}, {-5, 0, 20, 30}, {-5, 0, 20, 40}},
        RectCase{"inside", {0, 0, 100, 100}, {10, 10, 20, 20}, {10, 10, 20, 20}, {0, 0, 100, 100}, {0, 0, 100, 100}},
        RectCase{"empty input", {1, 2, 3, 4}, {5, 5, 5, 9}, {0, 0, 0, 0}, {1, 2, 3, 4}, {1, 2, 3, 4}}));

TEST_F(SmartPreRenderTest, AFailingInputCheckoutIsTheResultAndWidensNothing) {
    auto frame = makeFrame(PixelDepth::k8, 8, 8);
    frame->failCheckoutLayer[0] = PF_Err_BAD_CALLBACK_PARAM;
    frame->preRenderOutput().result_rect = PF_LRect{1, 1, 4, 4};
    EXPECT_EQ(frame->smartPreRender(module.effectMain()), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(sameRect(frame->preRenderOutput().result_rect, PF_LRect{1, 1, 4, 4}));
    EXPECT_TRUE(sameRect(frame->preRenderOutput().max_result_rect, PF_LRect{0, 0, 0, 0}));
    // The handle is the host's all the same, unlocked, with its delete function.
    EXPECT_NE(frame->preRenderOutput().pre_render_data, nullptr);
    EXPECT_EQ(roadCalls(host.log).back(), "ReleaseSuite PF Handle Suite 2");
    frame->finishFrame();
    EXPECT_EQ(host.handles.liveCount(), 0u);
    EXPECT_TRUE(everythingReturned(*frame));
}

TEST_F(SmartPreRenderTest, WithoutTheHandleSuiteItEndsWith13AndMakesNoHandle) {
    auto frame = makeFrame(PixelDepth::k8, 8, 8);
    host.suites.fail(kPFHandleSuite, kPFHandleSuiteVersion1, SuiteFailure::Missing);
    frame->in_data.utils = host.in_data.utils;
    EXPECT_EQ(frame->smartPreRender(module.effectMain()), 13);
    EXPECT_EQ(returnMessage(frame->out_data), "Not able to acquire AEFX Suite.");
    EXPECT_NE(frame->out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
    EXPECT_EQ(frame->preRenderOutput().pre_render_data, nullptr);
    EXPECT_EQ(host.handles.liveCount(), 0u);
    EXPECT_TRUE(everythingReturned(*frame));
}

TEST_F(SmartPreRenderTest, WithoutMemoryForTheHandleItReturns4AndTouchesNoOutput) {
    auto frame = makeFrame(PixelDepth::k8, 8, 8);
    int marker = 0;
    frame->preRenderOutput().pre_render_data = &marker;
    host.handles.failNewHandles(true);
    EXPECT_EQ(frame->smartPreRender(module.effectMain()), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(frame->preRenderOutput().pre_render_data, &marker);
    EXPECT_EQ(frame->preRenderOutput().delete_pre_render_data_func, nullptr);
    EXPECT_TRUE(everythingReturned(*frame));
}

TEST_F(SmartPreRenderTest, AHandleThatCannotBeLockedIsDisposedAndGives512) {
    auto frame = makeFrame(PixelDepth::k8, 8, 8);
    host.handles.failLocks(true);
    EXPECT_EQ(frame->smartPreRender(module.effectMain()), PF_Err_INTERNAL_STRUCT_DAMAGED);
    host.handles.failLocks(false);
    EXPECT_EQ(frame->preRenderOutput().pre_render_data, nullptr);
    EXPECT_EQ(host.handles.liveCount(), 0u);
    EXPECT_TRUE(everythingReturned(*frame));
}

TEST_F(SmartPreRenderTest, AFailureWhileTheValuesLoadDisposesTheHandle) {
    struct Case {
        const char* what;
        bool failParam;
    };
    for (const Case c : {Case{"parameter checkout", true}, Case{"source layer request", false}}) {
        auto frame = makeFrame(PixelDepth::k8, 8, 8);
        if (c.failParam) {
            frame->failCheckoutParam[indexOf("Velocity")] = PF_Err_INVALID_INDEX;
        } else {
            frame->failCheckoutLayer[indexOf("Spread Intensity Source")] = PF_Err_INVALID_INDEX;
        }
        host.log.clear();
        EXPECT_EQ(frame->smartPreRender(module.effectMain()), PF_Err_INVALID_INDEX) << c.what;
        EXPECT_EQ(frame->preRenderOutput().pre_render_data, nullptr) << c.what;
        EXPECT_EQ(host.handles.liveCount(), 0u) << c.what;
        const std::vector<std::string> calls = roadCalls(host.log);
        ASSERT_GE(calls.size(), 3u);
        EXPECT_EQ(calls[calls.size() - 3], "host_unlock_handle") << c.what;
        EXPECT_EQ(calls[calls.size() - 2], "host_dispose_handle") << c.what;
        EXPECT_EQ(calls[calls.size() - 1], "ReleaseSuite PF Handle Suite 2") << c.what;
        EXPECT_TRUE(everythingReturned(*frame)) << c.what;
    }
}

TEST_F(SmartPreRenderTest, TheDeleteFunctionWorksFromAnotherThreadAfterOtherCommands) {
    auto first = makeFrame(PixelDepth::k8, 8, 8);
    auto second = makeFrame(PixelDepth::k8, 8, 8);
    ASSERT_EQ(first->smartPreRender(module.effectMain()), PF_Err_NONE);
    ASSERT_EQ(second->smartPreRender(module.effectMain()), PF_Err_NONE);
    ASSERT_EQ(host.send(PF_Cmd_SEQUENCE_SETUP), PF_Err_NONE);
    host.in_data.sequence_data = host.out_data.sequence_data;
    ASSERT_EQ(host.send(PF_Cmd_SEQUENCE_SETDOWN), PF_Err_NONE);
    std::thread([&] { first->finishFrame(); }).join();
    std::thread([&] { second->finishFrame(); }).join();
    EXPECT_EQ(host.handles.liveCount(), 0u);
    EXPECT_TRUE(host.suites.balanced());
}

}  // namespace

namespace {

TEST_F(SmartPreRenderTest, AFrameAboveTheResolutionLimitIsWarnedOfAndStillPreRendered) {
    auto frame = makeFrame(PixelDepth::k8, 8, 8);
    frame->in_data.width = 16385;
    frame->preRenderOutput().result_rect = PF_LRect{0, 0, 0, 0};
    ASSERT_EQ(frame->smartPreRender(module.effectMain()), PF_Err_NONE);
    EXPECT_EQ(returnMessage(frame->out_data),
              "\n\n<< Ondrava >> resolution limit warning.\n\nMaximum horizontal and vertical resolution is 16384 "
              "pixels.");
    EXPECT_EQ(frame->out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
    EXPECT_NE(frame->preRenderOutput().pre_render_data, nullptr);
    EXPECT_TRUE(sameRect(frame->preRenderOutput().result_rect, frame->outputRequest().rect));
    frame->finishFrame();
    EXPECT_TRUE(everythingReturned(*frame));
}

}  // namespace
