// The defaults come from the parameter table through the host's conversions;
// here they stand typed out by hand, as a freshly applied effect must render them.
#include <gtest/gtest.h>

#include "host/params/param_loading.h"

namespace {

TEST(DefaultParamValues, HoldTheRegisteredDefaults) {
    const ParamValues p = defaultParamValues();
    EXPECT_EQ(p.direction, 2);  // "Down"
    EXPECT_EQ(p.intensity, 100.0);
    EXPECT_EQ(p.meltStep, 512);
    EXPECT_EQ(p.velocity, 0.25);
    EXPECT_EQ(p.spread, 0.25);
    EXPECT_EQ(p.spreadAlignment, 100.0);
    EXPECT_EQ(p.shading, 0);  // "None"
    EXPECT_EQ(p.shadingPhase, 0);
    EXPECT_EQ(p.shift, 0.01);
    EXPECT_EQ(p.scanlineStep, 1);
    EXPECT_EQ(p.scanlinePhase, 0);
    EXPECT_EQ(p.scanlineFade, 0);
    EXPECT_EQ(p.scanlineAlign, 1);  // "Middle"
    EXPECT_EQ(p.modFunction, 0);    // "Sine Wave"
    EXPECT_EQ(p.modPeriod, 50.0);
    EXPECT_EQ(p.modAmplitude, 0.0);
    EXPECT_EQ(p.modPhase, 0.0);
    EXPECT_EQ(p.modExponent, 1.0);
    EXPECT_EQ(p.modInvert, 0);
    EXPECT_EQ(p.velCurveFunction, 0);  // "Linear Ramp Up"
    EXPECT_EQ(p.velCurvePhase, 0);
    EXPECT_EQ(p.velCurveSmoothness, 0.0);
    EXPECT_EQ(p.velCurveFloor, 0.0);
    EXPECT_EQ(p.spreadCurveFunction, 0);
    EXPECT_EQ(p.spreadCurvePhase, 0);
    EXPECT_EQ(p.spreadCurveSmoothness, 0.0);
    EXPECT_EQ(p.spreadCurveFloor, 0.0);
    EXPECT_EQ(p.wrap, 0);
    EXPECT_EQ(p.outputContinuity, 0);  // "None"
    EXPECT_EQ(p.fullscreenStretch, 0.0);
    EXPECT_EQ(p.offscreenReach, 0.0);
    EXPECT_EQ(p.fadeStart, 0.0);
    EXPECT_EQ(p.fadeEnd, 0.0);
}

TEST(DefaultParamValues, LeaveBothIntensitySourcesAbsent) {
    const ParamValues p = defaultParamValues();
    EXPECT_FALSE(layerPresent(p.velocitySourceLayer));
    EXPECT_FALSE(layerPresent(p.spreadSourceLayer));
    EXPECT_EQ(p.velocitySourceParam.param_type, 0);
    EXPECT_EQ(p.spreadSourceParam.u.ld.data, nullptr);
}

}  // namespace
