#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "host/params/param_ids.h"
#include "host/params/param_loading.h"
#include "host/params/param_map.h"
#include "host/params/param_setup.h"
#include "tests/host/param_fixture.h"
#include "tools/standin_host/frame_host.h"

namespace {

using namespace ParamId;
using params_test::kAfterEffects;
using params_test::kPremiere;

constexpr int32_t kDegree = 65536;

TEST(ParamConversions, FixedPointRoundsHalvesTowardPlusInfinity) {
    struct Case {
        PF_Fixed value;
        int32_t stored;
    };
    const Case cases[] = {
        {98304, 2},            // 1.5
        {-98304, -1},          // -1.5
        {-180224, -3},         // -2.75
        {163838, 2},           // 2.49998 in 16.16 is 163838.69, so 163838
        {33554432, 512},       // "Melt Step" default
        {0x10000, 1},
        {32767, 0},
        {32768, 1},
        {-32768, 0},
        {-32769, -1},
        {INT32_MAX, 32768},    // would overflow in 32 bits
        {INT32_MAX - 32767, 32768},
        {INT32_MIN, -32768},
    };
    for (const Case& c : cases) EXPECT_EQ(roundFixed(c.value), c.stored) << c.value;
}

TEST(ParamConversions, PopupsCountFromZero) {
    EXPECT_EQ(popupIndex(1), 0);
    EXPECT_EQ(popupIndex(4), 3);
}

class ParamLoading : public params_test::ParamsTest {
protected:
    void registerFor(int32_t appl_id, int16_t major, int16_t minor) {
        useHost(appl_id, major, minor);
        ASSERT_EQ(UIInitParams(&in_data, &out_data, nullptr), PF_Err_NONE);
        frame = std::make_unique<standin::FrameHost>(in_data, host.paramsFromRegistration(), log);
        setDistinctValues();
    }
    PF_ParamDef& at(int32_t id) { return frame->params.at(size_t(getParamIndexFromId(id))); }
    const PF_InData* frameData() const { return &frame->in_data; }
    static std::string checkout(int32_t index) {
        return "checkout_param " + std::to_string(index) + " at 1200";
    }
    static std::string checkin(int32_t index) { return "checkin_param " + std::to_string(index); }
    void expectNothingLeftOut() const {
        EXPECT_EQ(frame->paramsOut(), 0);
        EXPECT_EQ(frame->pixelsOut(), 0);
        EXPECT_EQ(frame->unmatchedCheckins, 0);
    }

    void setDistinctValues() {
        at(Direction).u.pd.value = 4;
        at(Intensity).u.fs_d.value = 42.5;
        at(MeltStep).u.fd.value = 98304;         // 1.5
        at(Velocity).u.fs_d.value = 0.75;
        at(Spread).u.fs_d.value = 0.125;
        at(SpreadAlignment).u.fs_d.value = 12.5;
        at(Shading).u.pd.value = 2;
        at(ShadingPhase).u.ad.value = kDegree;
        at(Shift).u.fs_d.value = -0.5;
        at(ScanlineStep).u.fd.value = -98304;    // -1.5
        at(ScanlinePhase).u.ad.value = 360 * kDegree;
        at(ScanlineFade).u.bd.value = 1;
        at(ScanlineAlign).u.pd.value = 1;
        at(ModFunction).u.pd.value = 5;
        at(ModPeriod).u.fs_d.value = 33.25;
        at(ModAmplitude).u.fs_d.value = 150;
        at(ModPhase).u.ad.value = -90 * kDegree;
        at(ModExponent).u.fs_d.value = 2.5;
        at(ModInvert).u.bd.value = 1;
        at(VelCurveFunction).u.pd.value = 6;
        at(VelCurvePhase).u.ad.value = 7;
        at(VelCurveSmoothness).u.fs_d.value = 3.5;
        at(VelCurveFloor).u.fs_d.value = 0.2;
        at(SpreadCurveFunction).u.pd.value = 3;
        at(SpreadCurvePhase).u.ad.value = -7;
        at(SpreadCurveSmoothness).u.fs_d.value = 16;
        at(SpreadCurveFloor).u.fs_d.value = 0.9;
        at(Wrap).u.bd.value = 1;
        at(OutputContinuity).u.pd.value = 4;
        at(FullscreenStretch).u.fs_d.value = 30;
        at(OffscreenReach).u.fs_d.value = 40;
        at(FadeStart).u.fs_d.value = 10;
        at(FadeEnd).u.fs_d.value = 20;
    }

    static void expectDistinctValues(const ParamValues& v) {
        EXPECT_EQ(v.direction, 3);
        EXPECT_EQ(v.intensity, 42.5);
        EXPECT_EQ(v.meltStep, 2);
        EXPECT_EQ(v.velocity, 0.75);
        EXPECT_EQ(v.spread, 0.125);
        EXPECT_EQ(v.spreadAlignment, 12.5);
        EXPECT_EQ(v.shading, 1);
        EXPECT_EQ(v.shadingPhase, kDegree);
        EXPECT_EQ(v.shift, -0.5);
        EXPECT_EQ(v.scanlineStep, -1);
        EXPECT_EQ(v.scanlinePhase, 23592960);
        EXPECT_EQ(v.scanlineFade, 1);
        EXPECT_EQ(v.scanlineAlign, 0);
        EXPECT_EQ(v.modFunction, 4);
        EXPECT_EQ(v.modPeriod, 33.25);
        EXPECT_EQ(v.modAmplitude, 150.0);
        EXPECT_EQ(v.modPhase, -5898240.0);  // raw, not divided by 65536
        EXPECT_EQ(v.modExponent, 2.5);
        EXPECT_EQ(v.modInvert, 1);
        EXPECT_EQ(v.velCurveFunction, 5);
        EXPECT_EQ(v.velCurvePhase, 7);
        EXPECT_EQ(v.velCurveSmoothness, 3.5);
        EXPECT_EQ(v.velCurveFloor, 0.2);
        EXPECT_EQ(v.spreadCurveFunction, 2);
        EXPECT_EQ(v.spreadCurvePhase, -7);
        EXPECT_EQ(v.spreadCurveSmoothness, 16.0);
        EXPECT_EQ(v.spreadCurveFloor, 0.9);
        EXPECT_EQ(v.wrap, 1);
        EXPECT_EQ(v.outputContinuity, 3);
        EXPECT_EQ(v.fullscreenStretch, 30.0);
        EXPECT_EQ(v.offscreenReach, 40.0);
        EXPECT_EQ(v.fadeStart, 10.0);
        EXPECT_EQ(v.fadeEnd, 20.0);
    }

    CallLog log;
    std::unique_ptr<standin::FrameHost> frame;
    ParamValues record{};
};

const int32_t kLoadOrder[] = {2,  5,  7,  9,  10, 8,  16, 17, 18, 23, 24, 22, 26, 25, 27, 45, 11,
                              12, 19, 30, 31, 32, 33, 13, 37, 38, 39, 40, 48, 49, 44, 46, 47};

TEST_F(ParamLoading, PreRenderChecksEachValueOutAndInAtTheCurrentTime) {
    registerFor(kAfterEffects, 13, 8);  // indices differ from ids here
    PF_PreRenderExtra* extra = frame->preRenderExtra();
    frame->outputRequest().rect = PF_LRect{1, 2, 30, 40};
    std::memset(&record, 0xEE, sizeof record);
    LoadParamValues(frameData(), nullptr, extra, &record);

    std::vector<std::string> expected;
    for (int32_t id : kLoadOrder) {
        expected.push_back(checkout(getParamIndexFromId(id)));
        expected.push_back(checkin(getParamIndexFromId(id)));
    }
    // The source layers are asked for under their host index as checkout id.
    expected.push_back("checkout_layer 2 id 2 at 1200");
    expected.push_back("checkout_layer 3 id 3 at 1200");
    EXPECT_EQ(log.entries(), expected);
    for (const PF_RenderRequest& req : frame->layerRequests) {
        EXPECT_EQ(std::memcmp(&req, &extra->input->output_request, sizeof req), 0);
    }
    expectDistinctValues(record);
    EXPECT_EQ(record.velocitySourceLayer, nullptr);
    EXPECT_EQ(record.spreadSourceLayer, nullptr);
    const PF_ParamDef zero{};
    EXPECT_EQ(std::memcmp(&record.velocitySourceParam, &zero, sizeof zero), 0);
    EXPECT_EQ(std::memcmp(&record.spreadSourceParam, &zero, sizeof zero), 0);
    expectNothingLeftOut();
}

// Every checkout of a load asks for the command's own moment: its current time,
// time step and time scale (1200, 100, 2400 here), never a default.
TEST_F(ParamLoading, EveryCheckoutTakesTheCommandsTimeStepAndScale) {
    registerFor(kAfterEffects, 13, 27);
    LoadParamValues(frameData(), nullptr, frame->preRenderExtra(), &record);
    LoadParamValues(frameData(), frame->paramArray(), nullptr, &record);
    CleanupLayerParams(frameData(), nullptr, nullptr, &record);
    // 33 values and 2 layer requests in pre-render, 2 layer parameters for the render command.
    ASSERT_EQ(frame->timedCheckouts.size(), 37u);
    for (const auto& checkout : frame->timedCheckouts) {
        SCOPED_TRACE(checkout.index);
        EXPECT_EQ(checkout.what_time, 1200);
        EXPECT_EQ(checkout.time_step, 100);
        EXPECT_EQ(checkout.time_scale, 2400u);
    }
    expectNothingLeftOut();
}

TEST_F(ParamLoading, PreRenderStopsAtAFailingCheckoutWithNothingLeftOut) {
    registerFor(kAfterEffects, 13, 27);
    frame->failCheckoutParam[ScanlineStep] = PF_Err_OUT_OF_MEMORY;
    try {
        LoadParamValues(frameData(), nullptr, frame->preRenderExtra(), &record);
        FAIL() << "no code thrown";
    } catch (PF_Err err) {
        EXPECT_EQ(err, PF_Err_OUT_OF_MEMORY);
    }
    EXPECT_EQ(record.velocity, 0.75) << "loaded before the failure";
    EXPECT_EQ(record.scanlineStep, 0);
    EXPECT_EQ(record.fadeEnd, 0.0) << "never reached";
    EXPECT_EQ(log.entries().back(), checkout(ScanlineStep));
    expectNothingLeftOut();
}

TEST_F(ParamLoading, PreRenderStopsAtAFailingLayerRequest) {
    registerFor(kAfterEffects, 13, 27);
    frame->failCheckoutLayer[VelocitySource] = PF_Interrupt_CANCEL;
    EXPECT_THROW(LoadParamValues(frameData(), nullptr, frame->preRenderExtra(), &record), PF_Err);
    EXPECT_EQ(log.entries().back(), "checkout_layer 3 id 3 at 1200");
    expectNothingLeftOut();
}

TEST_F(ParamLoading, RenderCommandReadsTheArrayAndChecksOutOnlyTheSourceLayers) {
    registerFor(kPremiere, 13, 27);
    LoadParamValues(frameData(), frame->paramArray(), nullptr, &record);
    expectDistinctValues(record);
    EXPECT_EQ(log.entries(), (std::vector<std::string>{checkout(2), checkout(3)}));
    ASSERT_NE(record.velocitySourceLayer, nullptr);
    ASSERT_NE(record.spreadSourceLayer, nullptr);
    EXPECT_EQ(record.velocitySourceLayer, &record.velocitySourceParam.u.ld);
    EXPECT_EQ(record.spreadSourceLayer, &record.spreadSourceParam.u.ld);
    EXPECT_FALSE(layerPresent(record.velocitySourceLayer)) << "no layer chosen";
    EXPECT_FALSE(layerPresent(record.spreadSourceLayer));
    EXPECT_EQ(frame->paramsOut(), 2);

    EXPECT_EQ(CleanupLayerParams(frameData(), frame->paramArray(), nullptr, &record), PF_Err_NONE);
    expectNothingLeftOut();
}

TEST_F(ParamLoading, RenderCommandKeepsEachSourceLayerInItsOwnSlot) {
    registerFor(kPremiere, 13, 27);
    char velocityPixels[4] = {}, spreadPixels[4] = {};
    PF_EffectWorld velocityWorld{}, spreadWorld{};
    velocityWorld.data = velocityPixels;
    spreadWorld.data = spreadPixels;
    frame->layers[getParamIndexFromId(VelocitySource)] = &velocityWorld;
    frame->layers[getParamIndexFromId(SpreadSource)] = &spreadWorld;
    LoadParamValues(frameData(), frame->paramArray(), nullptr, &record);
    EXPECT_EQ(record.velocitySourceLayer->data, velocityPixels);
    EXPECT_EQ(record.spreadSourceLayer->data, spreadPixels);
    CleanupLayerParams(frameData(), nullptr, nullptr, &record);
    expectNothingLeftOut();
}

TEST_F(ParamLoading, RenderCommandChecksTheVelocitySourceBackInWhenTheSpreadSourceFails) {
    registerFor(kPremiere, 13, 27);
    frame->failCheckoutParam[getParamIndexFromId(SpreadSource)] = PF_Err_OUT_OF_MEMORY;
    EXPECT_THROW(LoadParamValues(frameData(), frame->paramArray(), nullptr, &record), PF_Err);
    expectNothingLeftOut();
    EXPECT_EQ(record.velocitySourceLayer, nullptr);

    frame->failCheckoutParam = {{getParamIndexFromId(VelocitySource), PF_Err_OUT_OF_MEMORY}};
    log.clear();
    EXPECT_THROW(LoadParamValues(frameData(), frame->paramArray(), nullptr, &record), PF_Err);
    EXPECT_EQ(log.size(), 1u) << "the spread source is not asked for";
    expectNothingLeftOut();
}

TEST_F(ParamLoading, CleanupReturnsTheSecondCheckinsCode) {
    registerFor(kPremiere, 13, 27);
    LoadParamValues(frameData(), frame->paramArray(), nullptr, &record);
    CleanupLayerParams(frameData(), nullptr, nullptr, &record);
    // Both are back: checking them in again is refused by the host, and the
    // second refusal is what comes back.
    EXPECT_EQ(CleanupLayerParams(frameData(), nullptr, nullptr, &record), PF_Err_BAD_CALLBACK_PARAM);
}

TEST_F(ParamLoading, SmartRenderFillsTheSlotsUnderTheHostIndices) {
    registerFor(kPremiere, 13, 27);  // source ids 3 and 4 sit at indices 2 and 3
    PF_EffectWorld velocityWorld{};
    frame->layers[2] = &velocityWorld;
    PF_SmartRenderExtra* extra = frame->smartRenderExtra();
    LoadLayerParamsAE(frameData(), extra, &record);
    EXPECT_EQ(record.velocitySourceLayer, &velocityWorld);
    EXPECT_EQ(record.spreadSourceLayer, nullptr) << "the host gave no buffer";
    EXPECT_EQ(frame->pixelsOut(), 2);

    CleanupLayerParams(frameData(), nullptr, extra, &record);
    EXPECT_EQ(log.entries(), (std::vector<std::string>{
                                 "checkout_layer_pixels 2", "checkout_layer_pixels 3",
                                 "checkin_layer_pixels 2", "checkin_layer_pixels 3"}));
    expectNothingLeftOut();
}

TEST_F(ParamLoading, SmartRenderStopsAtAFailingPixelCheckout) {
    registerFor(kAfterEffects, 13, 27);
    PF_EffectWorld velocityWorld{};
    frame->layers[VelocitySource] = &velocityWorld;
    frame->failCheckoutPixels[SpreadSource] = PF_Interrupt_CANCEL;
    PF_SmartRenderExtra* extra = frame->smartRenderExtra();
    EXPECT_THROW(LoadLayerParamsAE(frameData(), extra, &record), PF_Err);
    EXPECT_EQ(record.velocitySourceLayer, &velocityWorld);
    CleanupLayerParams(frameData(), nullptr, extra, &record);
    EXPECT_EQ(frame->pixelsOut(), 0);
}

}  // namespace
