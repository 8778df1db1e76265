#include <gtest/gtest.h>

#include <cstring>

#include "tools/melt_defaults.h"
#include "tools/param_fields.h"

namespace {

TEST(FindParamField, IgnoresCaseDashesAndUnderscores) {
    for (const char* name : {"meltStep", "melt-step", "MELT_STEP", "meltstep"}) {
        const ParamField* field = findParamField(name);
        ASSERT_NE(field, nullptr) << name;
        EXPECT_EQ(field->intField, &ParamValues::meltStep) << name;
    }
    EXPECT_EQ(findParamField("meltSteps"), nullptr);
    EXPECT_EQ(findParamField(""), nullptr);
    // Fields the host never sets from a parameter value cannot be set by name.
    EXPECT_EQ(findParamField("velocitySourceLayer"), nullptr);
}

TEST(SetParamField, StoresValuesWithinTheRange) {
    ParamValues p = defaultParamValues();
    EXPECT_EQ(setParamField(p, *findParamField("direction"), "3"), "");
    EXPECT_EQ(p.direction, 3);
    EXPECT_EQ(setParamField(p, *findParamField("velocity"), "0.5"), "");
    EXPECT_EQ(p.velocity, 0.5);
    EXPECT_EQ(setParamField(p, *findParamField("shift"), "-1"), "");
    EXPECT_EQ(p.shift, -1.0);
    EXPECT_EQ(setParamField(p, *findParamField("velCurvePhase"), "-5898240"), "");
    EXPECT_EQ(p.velCurvePhase, -5898240);
    EXPECT_EQ(setParamField(p, *findParamField("modPeriod"), "0.5"), "");
    EXPECT_EQ(p.modPeriod, 0.5);
}

struct BadValue {
    const char* field;
    const char* text;
    const char* message;
};

class SetParamFieldRejects : public testing::TestWithParam<BadValue> {};

TEST_P(SetParamFieldRejects, WithAMessageAndLeavesTheRecordAlone) {
    const BadValue& bad = GetParam();
    ParamValues p = defaultParamValues();
    const ParamValues before = p;
    EXPECT_EQ(setParamField(p, *findParamField(bad.field), bad.text), bad.message);
    EXPECT_EQ(std::memcmp(&p, &before, sizeof p), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SetParamFieldRejects,
    testing::Values(BadValue{"direction", "4", "direction: 4 is outside 0 to 3"},
                    BadValue{"direction", "-1", "direction: -1 is outside 0 to 3"},
                    BadValue{"direction", "1.5", "direction: \"1.5\" is not a whole number"},
                    BadValue{"direction", "", "direction: \"\" is not a whole number"},
                    BadValue{"direction", " 1", "direction: \" 1\" is not a whole number"},
                    BadValue{"meltStep", "16385", "meltStep: 16385 is outside 0 to 16384"},
                    BadValue{"scanlineStep", "0", "scanlineStep: 0 is outside 1 to 1024"},
                    BadValue{"scanlinePhase", "2147483648",
                             "scanlinePhase: \"2147483648\" is not a whole number"},
                    BadValue{"velocity", "1.01", "velocity: 1.01 is outside 0 to 1"},
                    BadValue{"velocity", "0.5x", "velocity: \"0.5x\" is not a number"},
                    BadValue{"velocity", "nan", "velocity: \"nan\" is not a number"},
                    BadValue{"velocity", "inf", "velocity: \"inf\" is not a number"},
                    BadValue{"velocity", "1e999", "velocity: \"1e999\" is not a number"},
                    BadValue{"modPeriod", "0.1", "modPeriod: 0.1 is outside 0.5 to 200"},
                    BadValue{"shading", "5", "shading: 5 is outside 0 to 4"}));

TEST(ParseInt32, TakesTheWholeTextAndTheFullRange) {
    int32_t v = 7;
    EXPECT_TRUE(parseInt32("-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_TRUE(parseInt32("2147483647", v));
    EXPECT_EQ(v, INT32_MAX);
    EXPECT_FALSE(parseInt32("12 ", v));
    EXPECT_FALSE(parseInt32("99999999999999999999", v));
    EXPECT_EQ(v, INT32_MAX);
}

}  // namespace
