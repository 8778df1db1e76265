#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>

#include "tools/melt_defaults.h"
#include "tools/param_fields.h"

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

TEST(ParamFields, NameEveryParameterFieldOnce) {
    ParamValues p{};
    const char* base = reinterpret_cast<const char*>(&p);
    std::set<ptrdiff_t> offsets;
    std::set<std::string> names;
    int ints = 0;
    for (const ParamField& field : paramFields()) {
        EXPECT_NE(field.intField == nullptr, field.doubleField == nullptr) << field.name;
        const char* address = field.intField ? reinterpret_cast<const char*>(&(p.*field.intField))
                                             : reinterpret_cast<const char*>(&(p.*field.doubleField));
        offsets.insert(address - base);
        names.insert(field.name);
        ints += field.intField != nullptr;
    }
    // The 33 parameter fields, 16 of them int32, all before the layer slots.
    EXPECT_EQ(offsets.size(), 33u);
    EXPECT_EQ(names.size(), 33u);
    EXPECT_EQ(ints, 16);
    EXPECT_LT(*offsets.rbegin(), ptrdiff_t(offsetof(ParamValues, velocitySourceLayer)));
}

TEST(ParamFields, RangesHoldTheDefaults) {
    const ParamValues p = defaultParamValues();
    for (const ParamField& field : paramFields()) {
        const double value = field.intField ? double(p.*field.intField) : p.*field.doubleField;
        EXPECT_GE(value, field.min) << field.name;
        EXPECT_LE(value, field.max) << field.name;
    }
}

}  // namespace
