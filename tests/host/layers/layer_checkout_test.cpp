#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "host/layers/layer_checkout.h"
#include "host/params/param_ids.h"
#include "host/params/param_map.h"
#include "host/params/param_setup.h"
#include "tests/host/param_fixture.h"
#include "tools/argb_buffer.h"
#include "tools/standin_host/frame_host.h"

namespace {

using params_test::kAfterEffects;
using params_test::kPremiere;

TEST(GetFrameSkipTime, SnapsTowardZeroOntoAGridOfSkipPlusOneFrames) {
    struct Case {
        int32_t time;
        double skip;
        int32_t step;
        int32_t snapped;
    };
    const Case cases[] = {
        {3500, 2.0, 1000, 3000},   // grid 3 frames: 30000 tenths
        {250, 0.5, 100, 150},      // grid 1.5 frames: 1500 tenths, 2500 - 1000
        {-250, 0.5, 100, -150},    // toward zero, not down
        {2999, 2.0, 1000, 0},
        {1234, 0.0, 100, 1234},    // no skip
        {1234, -1.0, 100, 1234},   // a grid of nothing snaps nothing
        {1234, 1.0, 0, 1234},
        // Ten times the time does not fit in 32 bits: 21474836470 - 10.
        {INT32_MAX, 1.0, 1, 2147483646},
        {INT32_MIN + 5, 1.0, 1, -2147483642},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetFrameSkipTime(c.time, c.skip, c.step), c.snapped) << c.time << " " << c.skip << " " << c.step;
    }
    EXPECT_EQ(GetFrameSkipTime(1234, std::nan(""), 100), 1234);
}

// The steps of the edge modes as stated: reflect at 0 and at the start of the
// last frame until the time lies within the layer.
int32_t mirrorByReflection(int32_t t, int32_t duration, int32_t step) {
    int64_t v = t;
    while (v < 0 || v >= duration) v = v < 0 ? -v : 2 * (int64_t(duration) - step) - v;
    return int32_t(v);
}

TEST(EdgeMode, MapsTimesBeyondTheLayer) {
    struct Case {
        int32_t mode;
        int32_t t;
        int32_t mapped;
    };
    const Case cases[] = {
        {kEdgeClamp, -50, 0},     {kEdgeClamp, 950, 950},    {kEdgeClamp, 1000, 900},
        {kEdgeClamp, 5000, 900},  {kEdgeLoop, 1250, 250},    {kEdgeLoop, 0, 0},
        {kEdgeLoop, 999, 999},    {kEdgeLoop, 1000, 0},      {kEdgeLoop, 3100, 100},
        {kEdgeLoop, -250, 750},   {kEdgeLoop, -1000, 0},     // before the start the loop runs on backward
        {kEdgeMirror, 1000, 800}, {kEdgeMirror, 1100, 700},  {kEdgeMirror, -100, 100},
        {kEdgeMirror, 1900, 100}, {kEdgeMirror, 950, 950},   {kEdgeMirror, 0, 0},
        {3, -5000, -5000},        {-1, 123456, 123456},
    };
    for (const Case& c : cases) EXPECT_EQ(applyEdgeMode(c.t, c.mode, 1000, 100), c.mapped) << c.mode << " " << c.t;
}

TEST(EdgeMode, MirrorAgreesWithRepeatedReflection) {
    for (int32_t step : {1, 7, 100}) {
        for (int32_t t = -5000; t <= 5000; t += 13) {
            EXPECT_EQ(applyEdgeMode(t, kEdgeMirror, 1000, step), mirrorByReflection(t, 1000, step)) << t;
        }
    }
    // A layer between one and two frames long: reflected times land back inside it
    // above the start of its last frame (230 -> -130 -> 130 for 150 and 100).
    for (int32_t t = -2000; t <= 2000; t += 7) {
        EXPECT_EQ(applyEdgeMode(t, kEdgeMirror, 150, 100), mirrorByReflection(t, 150, 100)) << t;
    }
    EXPECT_EQ(applyEdgeMode(230, kEdgeMirror, 150, 100), 130);
    EXPECT_EQ(applyEdgeMode(-230, kEdgeMirror, 150, 100), 130);
    EXPECT_EQ(applyEdgeMode(150, kEdgeMirror, 150, 100), 50);
    // Far out it answers at once (by reflection this would take a billion rounds).
    EXPECT_EQ(applyEdgeMode(INT32_MAX, kEdgeMirror, 3, 1), 1);
    EXPECT_EQ(applyEdgeMode(INT32_MIN, kEdgeMirror, 3, 1), 0);
}

TEST(EdgeMode, LayersOfNoLengthOrOneFrameGiveTheirStart) {
    EXPECT_EQ(applyEdgeMode(250, kEdgeLoop, 0, 100), 0);
    EXPECT_EQ(applyEdgeMode(-250, kEdgeLoop, 0, 100), 0);
    EXPECT_EQ(applyEdgeMode(150, kEdgeMirror, 100, 100), 0);
    EXPECT_EQ(applyEdgeMode(-50, kEdgeMirror, 100, 100), 0);
    EXPECT_EQ(applyEdgeMode(50, kEdgeMirror, 100, 100), 50);
    EXPECT_EQ(applyEdgeMode(5, kEdgeMirror, 0, 100), 0);
}

class LayerCheckout : public params_test::ParamsTest {
protected:
    void SetUp() override { registerFor(kAfterEffects, 13, 27); }

    void registerFor(int32_t appl_id, int16_t major, int16_t minor) {
        useHost(appl_id, major, minor);
        ASSERT_EQ(UIInitParams(&in_data, &out_data, nullptr), PF_Err_NONE);
        frame = std::make_unique<standin::FrameHost>(in_data, host.paramsFromRegistration(), log);
        frame->in_data.current_time = 600;
        frame->in_data.time_step = 100;
        frame->in_data.time_scale = 600;
        frame->in_data.total_time = 1000;
    }
    int32_t sourceIndex() const { return getParamIndexFromId(ParamId::VelocitySource); }
    std::string lastLog() const { return log.entries().back(); }
    void expectNothingLeftOut() const {
        EXPECT_EQ(frame->paramsOut(), 0);
        EXPECT_EQ(frame->pixelsOut(), 0);
        EXPECT_EQ(frame->unmatchedCheckins, 0);
    }

    CallLog log;
    std::unique_ptr<standin::FrameHost> frame;
    PF_ParamDef param{};
    PF_LayerDef untouched{};
    PF_LayerDef* layer = &untouched;
};

TEST_F(LayerCheckout, PreRenderRequestsTheLayerAtTheOffsetInSeconds) {
    // Half a second at 600 units a second from 600.
    ASSERT_EQ(checkoutLayer(ParamId::VelocitySource, 7, 0.5, 0, -1, 0.0, &frame->in_data, &layer, &param,
                            frame->preRenderExtra()),
              PF_Err_NONE);
    EXPECT_EQ(lastLog(), "checkout_layer 3 id 7 at 900");
    ASSERT_EQ(frame->timedCheckouts.size(), 1u);
    EXPECT_EQ(frame->timedCheckouts[0].time_step, 100);
    EXPECT_EQ(frame->timedCheckouts[0].time_scale, 600u);
    ASSERT_EQ(frame->layerRequests.size(), 1u);
    EXPECT_EQ(std::memcmp(&frame->layerRequests[0], &frame->outputRequest(), sizeof(PF_RenderRequest)), 0);
    EXPECT_EQ(layer, &untouched);  // the pixels come in smart render
}

TEST_F(LayerCheckout, OffsetsAreTakenInTimeUnitsWhenAskedAndTruncated) {
    checkoutLayer(ParamId::VelocitySource, 1, 150.9, 1, -1, 0.0, &frame->in_data, &layer, &param,
                  frame->preRenderExtra());
    EXPECT_EQ(lastLog(), "checkout_layer 3 id 1 at 750");
    checkoutLayer(ParamId::VelocitySource, 1, -0.999, 0, -1, 0.0, &frame->in_data, &layer, &param,
                  frame->preRenderExtra());
    EXPECT_EQ(lastLog(), "checkout_layer 3 id 1 at 1");  // -599.4 truncates to -599
}

TEST_F(LayerCheckout, FrameSkipSnapsBeforeTheEdgeModeApplies) {
    // Grid (1 x 10 + 10) x 100 = 2000 tenths: 750 snaps to 600; 0.6 s on from 600
    // is 960, snaps to 800, which the clamp leaves; 1.0 s on is 1200, snaps to
    // 1200, which the clamp holds at 900.
    const struct {
        double offset;
        int32_t mode;
        const char* expected;
    } cases[] = {
        {0.25, -1, "checkout_layer 3 id 2 at 600"},
        {0.6, kEdgeClamp, "checkout_layer 3 id 2 at 800"},
        {1.0, kEdgeClamp, "checkout_layer 3 id 2 at 900"},
        {1.0, kEdgeMirror, "checkout_layer 3 id 2 at 600"},
    };
    for (const auto& c : cases) {
        checkoutLayer(ParamId::VelocitySource, 2, c.offset, 0, c.mode, 1.0, &frame->in_data, &layer, &param,
                      frame->preRenderExtra());
        EXPECT_EQ(lastLog(), c.expected) << c.offset;
    }
}

TEST_F(LayerCheckout, FrameSkipGridsFollowTheirOwnSinglePrecisionOrder) {
    // Skip 1.1 with a frame of 3: the snap takes (1.1f + 1) x 30 = 62.999996, a
    // grid of 62 tenths, so 630 (6300 tenths) snaps to 6262 / 10 = 626; the
    // checkout takes (1.1f x 10 + 10) x 3 = 63 exactly, and 630 stays.
    EXPECT_EQ(GetFrameSkipTime(630, 1.1, 3), 626);
    frame->in_data.current_time = 630;
    frame->in_data.time_step = 3;
    checkoutLayer(ParamId::VelocitySource, 2, 0.0, 1, -1, 1.1, &frame->in_data, &layer, &param,
                  frame->preRenderExtra());
    EXPECT_EQ(lastLog(), "checkout_layer 3 id 2 at 630");
}

TEST_F(LayerCheckout, AParameterCheckoutHandsOutTheLayerInsideTheRecord) {
    ArgbBuffer atTime100(PixelDepth::k8, 4, 2);
    frame->layersAtTime[{sourceIndex(), 100}] = atTime100.layer();
    frame->in_data.current_time = 200;
    // Three frames back from 200 is -100, which the mirror turns into 100.
    ASSERT_EQ(checkoutLayerFrameOffset(ParamId::VelocitySource, 9, -3, kEdgeMirror, &frame->in_data, &layer,
                                       &param, nullptr),
              PF_Err_NONE);
    EXPECT_EQ(lastLog(), "checkout_param 3 at 100");
    EXPECT_EQ(layer, &param.u.ld);
    EXPECT_EQ(layer->data, atTime100.layer()->data);
    EXPECT_EQ(frame->paramsOut(), 1);
    EXPECT_EQ(checkinLayer(9, &param, &frame->in_data, nullptr), PF_Err_NONE);
    EXPECT_EQ(lastLog(), "checkin_param 3");
    expectNothingLeftOut();
}

TEST_F(LayerCheckout, FrameOffsetsCountFramesFromTheCurrentTime) {
    const struct {
        int32_t frames;
        int32_t mode;
        const char* expected;
    } cases[] = {
        {2, -1, "checkout_layer 3 id 4 at 800"},
        {5, kEdgeLoop, "checkout_layer 3 id 4 at 100"},
        {-7, kEdgeClamp, "checkout_layer 3 id 4 at 0"},
        {INT32_MAX, -1, "checkout_layer 3 id 4 at 2147483647"},  // held, not wrapped
    };
    for (const auto& c : cases) {
        checkoutLayerFrameOffset(ParamId::VelocitySource, 4, c.frames, c.mode, &frame->in_data, &layer, &param,
                                 frame->preRenderExtra());
        EXPECT_EQ(lastLog(), c.expected) << c.frames;
    }
}

TEST_F(LayerCheckout, FindsTheHostIndexOfTheIdInEachHost) {
    registerFor(kPremiere, 13, 27);
    checkoutLayer(ParamId::SpreadSource, 3, 0.0, 0, -1, 0.0, &frame->in_data, &layer, &param,
                  frame->preRenderExtra());
    EXPECT_EQ(lastLog(), "checkout_layer 3 id 3 at 600");  // id 4 is index 3 without the banner
}

TEST_F(LayerCheckout, HostFailuresAreThrownAsTheirCodes) {
    frame->failCheckoutLayer[sourceIndex()] = PF_Interrupt_CANCEL;
    frame->failCheckoutParam[sourceIndex()] = PF_Err_OUT_OF_MEMORY;
    const auto code = [](auto&& call) {
        try {
            call();
        } catch (PF_Err err) {
            return err;
        }
        return PF_Err(-1);
    };
    EXPECT_EQ(code([&] {
                  checkoutLayer(ParamId::VelocitySource, 1, 0.0, 0, 0, 0.0, &frame->in_data, &layer, &param,
                                frame->preRenderExtra());
              }),
              PF_Interrupt_CANCEL);
    EXPECT_EQ(code([&] {
                  checkoutLayerFrameOffset(ParamId::VelocitySource, 1, 0, 0, &frame->in_data, &layer, &param, nullptr);
              }),
              PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(layer, &untouched);
    frame->failCheckoutPixels[5] = PF_Err_INTERNAL_STRUCT_DAMAGED;
    EXPECT_EQ(code([&] { checkoutLayerPixels(5, &frame->in_data, frame->smartRenderExtra()); }),
              PF_Err_INTERNAL_STRUCT_DAMAGED);
    expectNothingLeftOut();
}

TEST_F(LayerCheckout, PixelsRequestedUnderAnIdAreFetchedAndGivenBackUnderIt) {
    ArgbBuffer pixels(PixelDepth::k16, 3, 3);
    frame->layers[6] = pixels.layer();
    EXPECT_EQ(checkoutLayerPixels(6, &frame->in_data, frame->smartRenderExtra()), pixels.layer());
    EXPECT_EQ(checkoutLayerPixels(8, &frame->in_data, frame->smartRenderExtra()), nullptr);  // none to give
    EXPECT_EQ(frame->pixelsOut(), 2);
    EXPECT_EQ(checkinLayer(6, nullptr, &frame->in_data, frame->smartRenderExtra()), PF_Err_NONE);
    frame->failCheckinPixels[8] = PF_Err_BAD_CALLBACK_PARAM;
    EXPECT_EQ(checkinLayer(8, nullptr, &frame->in_data, frame->smartRenderExtra()), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(log.entriesStartingWith("checkin_layer_pixels"),
              (std::vector<std::string>{"checkin_layer_pixels 6", "checkin_layer_pixels 8"}));
    expectNothingLeftOut();
}

TEST_F(LayerCheckout, ACheckInOfARecordNotCheckedOutReturnsTheHostsCode) {
    EXPECT_EQ(checkinLayer(0, &param, &frame->in_data, nullptr), PF_Err_BAD_CALLBACK_PARAM);
}

}  // namespace
