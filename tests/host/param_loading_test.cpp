#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "host/param_ids.h"
#include "host/param_loading.h"
#include "host/param_map.h"
#include "host/param_setup.h"
#include "tests/host/param_fixture.h"

namespace {

using namespace ParamId;
using params_test::kAfterEffects;
using params_test::kPremiere;
using standin::ParamCall;

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
        host.paramsFromRegistration();
        setDistinctValues();
        host.calls.clear();
    }
    PF_ParamDef& at(int32_t id) { return host.params.at(size_t(getParamIndexFromId(id))); }

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

    ParamValues record{};
};

const int32_t kLoadOrder[] = {2,  5,  7,  9,  10, 8,  16, 17, 18, 23, 24, 22, 26, 25, 27, 45, 11,
                              12, 19, 30, 31, 32, 33, 13, 37, 38, 39, 40, 48, 49, 44, 46, 47};

TEST_F(ParamLoading, PreRenderChecksEachValueOutAndInAtTheCurrentTime) {
    registerFor(kAfterEffects, 13, 8);  // indices differ from ids here
    PF_PreRenderExtra* extra = host.preRenderExtra();
    extra->input->output_request.rect = PF_LRect{1, 2, 30, 40};
    std::memset(&record, 0xEE, sizeof record);
    LoadParamValues(&in_data, nullptr, extra, &record);

    std::vector<ParamCall> expected;
    for (int32_t id : kLoadOrder) {
        expected.push_back({"checkout_param", getParamIndexFromId(id), 1200});
        expected.push_back({"checkin_param", getParamIndexFromId(id), 0});
    }
    expected.push_back({"checkout_layer", 2, 1200});
    expected.push_back({"checkout_layer", 3, 1200});
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(host.layerCheckoutIds, (std::vector<int32_t>{2, 3}));
    for (const PF_RenderRequest& req : host.layerRequests) {
        EXPECT_EQ(std::memcmp(&req, &extra->input->output_request, sizeof req), 0);
    }
    expectDistinctValues(record);
    EXPECT_EQ(record.velocitySourceLayer, nullptr);
    EXPECT_EQ(record.spreadSourceLayer, nullptr);
    const PF_ParamDef zero{};
    EXPECT_EQ(std::memcmp(&record.velocitySourceParam, &zero, sizeof zero), 0);
    EXPECT_EQ(std::memcmp(&record.spreadSourceParam, &zero, sizeof zero), 0);
    EXPECT_EQ(host.paramsCheckedOut(), 0);
    EXPECT_EQ(host.badCheckins, 0);
}

TEST_F(ParamLoading, PreRenderStopsAtAFailingCheckoutWithNothingLeftOut) {
    registerFor(kAfterEffects, 13, 27);
    host.failCheckoutParamAt[ScanlineStep] = PF_Err_OUT_OF_MEMORY;
    try {
        LoadParamValues(&in_data, nullptr, host.preRenderExtra(), &record);
        FAIL() << "no code thrown";
    } catch (PF_Err err) {
        EXPECT_EQ(err, PF_Err_OUT_OF_MEMORY);
    }
    EXPECT_EQ(record.velocity, 0.75) << "loaded before the failure";
    EXPECT_EQ(record.scanlineStep, 0);
    EXPECT_EQ(record.fadeEnd, 0.0) << "never reached";
    EXPECT_EQ(host.calls.back(), (ParamCall{"checkout_param", ScanlineStep, 1200}));
    EXPECT_EQ(host.paramsCheckedOut(), 0);
}

TEST_F(ParamLoading, PreRenderStopsAtAFailingLayerRequest) {
    registerFor(kAfterEffects, 13, 27);
    host.failCheckoutLayerAt[VelocitySource] = PF_Interrupt_CANCEL;
    EXPECT_THROW(LoadParamValues(&in_data, nullptr, host.preRenderExtra(), &record), PF_Err);
    EXPECT_EQ(host.calls.back(), (ParamCall{"checkout_layer", VelocitySource, 1200}));
    EXPECT_EQ(host.paramsCheckedOut(), 0);
}

TEST_F(ParamLoading, RenderCommandReadsTheArrayAndChecksOutOnlyTheSourceLayers) {
    registerFor(kPremiere, 13, 27);
    LoadParamValues(&in_data, host.paramArray(), nullptr, &record);
    expectDistinctValues(record);
    EXPECT_EQ(host.calls, (std::vector<ParamCall>{{"checkout_param", 2, 1200},
                                                  {"checkout_param", 3, 1200}}));
    ASSERT_NE(record.velocitySourceLayer, nullptr);
    ASSERT_NE(record.spreadSourceLayer, nullptr);
    EXPECT_EQ(record.velocitySourceLayer, &record.velocitySourceParam.u.ld);
    EXPECT_EQ(record.spreadSourceLayer, &record.spreadSourceParam.u.ld);
    EXPECT_FALSE(layerPresent(record.velocitySourceLayer)) << "no layer chosen";
    EXPECT_FALSE(layerPresent(record.spreadSourceLayer));
    EXPECT_EQ(host.paramsCheckedOut(), 2);

    EXPECT_EQ(CleanupLayerParams(&in_data, host.paramArray(), nullptr, &record), PF_Err_NONE);
    EXPECT_EQ(host.paramsCheckedOut(), 0);
    EXPECT_EQ(host.badCheckins, 0);
}

TEST_F(ParamLoading, RenderCommandKeepsEachSourceLayerInItsOwnSlot) {
    registerFor(kPremiere, 13, 27);
    char velocityPixels[4] = {}, spreadPixels[4] = {};
    host.setLayer(getParamIndexFromId(VelocitySource), velocityPixels);
    host.setLayer(getParamIndexFromId(SpreadSource), spreadPixels);
    LoadParamValues(&in_data, host.paramArray(), nullptr, &record);
    EXPECT_EQ(record.velocitySourceLayer->data, velocityPixels);
    EXPECT_EQ(record.spreadSourceLayer->data, spreadPixels);
    CleanupLayerParams(&in_data, nullptr, nullptr, &record);
    EXPECT_EQ(host.paramsCheckedOut(), 0);
}

TEST_F(ParamLoading, RenderCommandChecksTheVelocitySourceBackInWhenTheSpreadSourceFails) {
    registerFor(kPremiere, 13, 27);
    host.failCheckoutParamAt[getParamIndexFromId(SpreadSource)] = PF_Err_OUT_OF_MEMORY;
    EXPECT_THROW(LoadParamValues(&in_data, host.paramArray(), nullptr, &record), PF_Err);
    EXPECT_EQ(host.paramsCheckedOut(), 0);
    EXPECT_EQ(host.badCheckins, 0);
    EXPECT_EQ(record.velocitySourceLayer, nullptr);

    host.failCheckoutParamAt = {{getParamIndexFromId(VelocitySource), PF_Err_OUT_OF_MEMORY}};
    host.calls.clear();
    EXPECT_THROW(LoadParamValues(&in_data, host.paramArray(), nullptr, &record), PF_Err);
    EXPECT_EQ(host.calls.size(), 1u) << "the spread source is not asked for";
    EXPECT_EQ(host.paramsCheckedOut(), 0);
}

TEST_F(ParamLoading, CleanupReturnsTheSecondCheckinsCode) {
    registerFor(kPremiere, 13, 27);
    LoadParamValues(&in_data, host.paramArray(), nullptr, &record);
    CleanupLayerParams(&in_data, nullptr, nullptr, &record);
    // Both are back: checking them in again is refused by the host, and the
    // second refusal is what comes back.
    EXPECT_EQ(CleanupLayerParams(&in_data, nullptr, nullptr, &record), PF_Err_BAD_CALLBACK_PARAM);
}

TEST_F(ParamLoading, SmartRenderFillsTheSlotsUnderTheHostIndices) {
    registerFor(kPremiere, 13, 27);  // source ids 3 and 4 sit at indices 2 and 3
    PF_EffectWorld velocityWorld{};
    host.pixelsFor[2] = &velocityWorld;
    PF_SmartRenderExtra* extra = host.smartRenderExtra();
    LoadLayerParamsAE(&in_data, extra, &record);
    EXPECT_EQ(record.velocitySourceLayer, &velocityWorld);
    EXPECT_EQ(record.spreadSourceLayer, nullptr) << "the host gave no buffer";
    EXPECT_EQ(host.pixelsCheckedOut(), 2);

    CleanupLayerParams(&in_data, nullptr, extra, &record);
    EXPECT_EQ(host.calls, (std::vector<ParamCall>{{"checkout_layer_pixels", 2, 0},
                                                  {"checkout_layer_pixels", 3, 0},
                                                  {"checkin_layer_pixels", 2, 0},
                                                  {"checkin_layer_pixels", 3, 0}}));
    EXPECT_EQ(host.pixelsCheckedOut(), 0);
}

TEST_F(ParamLoading, SmartRenderStopsAtAFailingPixelCheckout) {
    registerFor(kAfterEffects, 13, 27);
    PF_EffectWorld velocityWorld{};
    host.pixelsFor[VelocitySource] = &velocityWorld;
    host.failCheckoutPixelsAt[SpreadSource] = PF_Interrupt_CANCEL;
    PF_SmartRenderExtra* extra = host.smartRenderExtra();
    EXPECT_THROW(LoadLayerParamsAE(&in_data, extra, &record), PF_Err);
    EXPECT_EQ(record.velocitySourceLayer, &velocityWorld);
    CleanupLayerParams(&in_data, nullptr, extra, &record);
    EXPECT_EQ(host.pixelsCheckedOut(), 0);
}

}  // namespace
