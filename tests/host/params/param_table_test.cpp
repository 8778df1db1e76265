// The parameter set is a persisted format: every value of every definition is
// checked here against the registered values, written out independently.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/params/param_table.h"
#include "tests/host/zero_bytes.h"

namespace {

constexpr int kLayer = PF_Param_LAYER, kFix = PF_Param_FIX_SLIDER, kAngle = PF_Param_ANGLE,
              kCheck = PF_Param_CHECKBOX, kPopup = PF_Param_POPUP, kNoData = PF_Param_NO_DATA,
              kFloat = PF_Param_FLOAT_SLIDER, kStart = PF_Param_GROUP_START,
              kEnd = PF_Param_GROUP_END;

struct Expected {
    int id;
    int type;
    const char* name;
    int flags;
    double dephault;
    double validMin, validMax, sliderMin, sliderMax;
    int precision;
    int display;
    const char* items;
    int choices;
};

const char* const kDir = "Right|Left|Down|Up";
const char* const kShade = "None|Sine Wave|Triangle Wave|Linear Ramp Up|Linear Ramp Down";
const char* const kAlign = "Start|Middle|End";
const char* const kMod = "Sine Wave|Triangle Wave|Linear Ramp Up|Linear Ramp Down|Sine 1/2 Phase";
const char* const kCurve = "Linear Ramp Up|Linear Ramp Down|Triangle Wave|Sine Wave|Exp Up|Exp Down";
const char* const kCont = "None|All|All (No Start)|Full Alpha Only";

const Expected kExpected[] = {
    {1, kNoData, "", 0x42, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {2, kPopup, "Direction", 0, 3, 0, 0, 0, 0, 0, 0, kDir, 4},
    {3, kLayer, "Velocity Intensity Source", 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {4, kLayer, "Spread Intensity Source", 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {5, kFloat, "Ondrava Intensity", 0x20, 100, 0, 100, 0, 100, 1, 1, nullptr, 0},
    {6, kStart, "Pixel", 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {7, kFix, "Melt Step", 0, 512, 0, 16384, 0, 16384, 0, 0, nullptr, 0},
    {8, kFloat, "Velocity", 0, 0.25, 0, 1, 0, 1, 3, 0, nullptr, 0},
    {9, kFloat, "Spread", 0, 0.25, 0, 1, 0, 1, 3, 0, nullptr, 0},
    {10, kFloat, "Spread Alignment", 0, 100, 0, 100, 0, 100, 2, 1, nullptr, 0},
    {11, kPopup, "Shading", 0, 1, 0, 0, 0, 0, 0, 0, kShade, 5},
    {12, kAngle, "Shading Phase", 0x20, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {13, kFloat, "Shift", 0, 0.01, -1, 1, -1, 1, 3, 0, nullptr, 0},
    {14, kEnd, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {15, kStart, "Scanline Step", 0x20, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {16, kFix, "Step", 0x20, 1, 1, 1024, 1, 1024, 0, 0, nullptr, 0},
    {17, kAngle, "Phase", 0x20, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {18, kPopup, "Align", 0, 2, 0, 0, 0, 0, 0, 0, kAlign, 3},
    {19, kCheck, "Fade In/Out", 0x04, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {20, kEnd, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {21, kStart, "Scanline Modulation", 0x20, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {22, kFloat, "Amplitude (Intensity)", 0, 0, 0, 200, 0, 200, 2, 1, nullptr, 0},
    {23, kPopup, "Function", 0, 1, 0, 0, 0, 0, 0, 0, kMod, 5},
    {24, kFloat, "Period", 0, 50, 0.5, 200, 0.1, 200, 2, 1, nullptr, 0},
    {25, kAngle, "Phase", 0x20, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {26, kFloat, "Exponent", 0, 1, 0, 16, 0, 16, 2, 0, nullptr, 0},
    {27, kCheck, "Invert", 0x04, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {28, kEnd, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {29, kStart, "Velocity Curve", 0x20, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {30, kPopup, "Function", 0x20, 1, 0, 0, 0, 0, 0, 0, kCurve, 6},
    {31, kAngle, "Phase", 0x20, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {32, kFloat, "Smoothness", 0, 0, 0, 16, 0, 16, 3, 0, nullptr, 0},
    {33, kFloat, "Floor", 0, 0, 0, 1, 0, 1, 3, 0, nullptr, 0},
    {34, kNoData, "Graph", 0x02, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {35, kEnd, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {36, kStart, "Spread Curve", 0x20, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {37, kPopup, "Function", 0x20, 1, 0, 0, 0, 0, 0, 0, kCurve, 6},
    {38, kAngle, "Phase", 0x20, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {39, kFloat, "Smoothness", 0, 0, 0, 16, 0, 16, 3, 0, nullptr, 0},
    {40, kFloat, "Floor", 0, 0, 0, 1, 0, 1, 3, 0, nullptr, 0},
    {41, kNoData, "Graph", 0x02, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {42, kEnd, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {43, kStart, "Screen", 0x20, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {44, kCheck, "Wrap", 0x24, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    {45, kPopup, "Output Continuity", 0, 1, 0, 0, 0, 0, 0, 0, kCont, 4},
    {46, kFloat, "Fullscreen Stretch", 0, 0, 0, 100, 0, 100, 2, 1, nullptr, 0},
    {47, kFloat, "Off-screen Reach", 0, 0, 0, 100, 0, 100, 2, 1, nullptr, 0},
    {48, kFloat, "Fade Start", 0, 0, 0, 100, 0, 100, 3, 1, nullptr, 0},
    {49, kFloat, "Fade End", 0, 0, 0, 100, 0, 100, 3, 1, nullptr, 0},
    {50, kEnd, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
};

class ParamTableRow : public ::testing::TestWithParam<Expected> {};

TEST_P(ParamTableRow, MatchesTheRegisteredValues) {
    const Expected& e = GetParam();
    const ParamDefinition* row = findParamDefinition(e.id);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row - kParamTable, e.id - 1) << "rows stand in id order";
    EXPECT_EQ(row->id, e.id);
    EXPECT_EQ(row->type, e.type);
    EXPECT_STREQ(row->name, e.name);
    EXPECT_EQ(row->flags, e.flags);

    PF_ParamDef def;
    std::memset(&def, 0xA5, sizeof def);
    fillParamDef(*row, &def);
    EXPECT_EQ(def.uu.id, e.id);
    EXPECT_EQ(def.param_type, e.type);
    EXPECT_EQ(def.flags, e.flags);
    EXPECT_EQ(def.ui_flags, 0);
    EXPECT_EQ(def.ui_width, 0);
    EXPECT_EQ(def.ui_height, 0);
    EXPECT_EQ(def.unused, 0);
    switch (e.type) {
        case PF_Param_POPUP:
            EXPECT_EQ(def.u.pd.value, int32_t(e.dephault));
            EXPECT_EQ(def.u.pd.dephault, int16_t(e.dephault));
            EXPECT_EQ(def.u.pd.num_choices, e.choices);
            EXPECT_STREQ(def.u.pd.u.namesptr, e.items);
            break;
        case PF_Param_FIX_SLIDER:
            EXPECT_EQ(def.u.fd.value, int32_t(e.dephault * 65536));
            EXPECT_EQ(def.u.fd.dephault, int32_t(e.dephault * 65536));
            EXPECT_EQ(def.u.fd.valid_min, int32_t(e.validMin * 65536));
            EXPECT_EQ(def.u.fd.valid_max, int32_t(e.validMax * 65536));
            EXPECT_EQ(def.u.fd.slider_min, int32_t(e.sliderMin * 65536));
            EXPECT_EQ(def.u.fd.slider_max, int32_t(e.sliderMax * 65536));
            EXPECT_EQ(def.u.fd.precision, e.precision);
            EXPECT_EQ(def.u.fd.display_flags, e.display);
            break;
        case PF_Param_FLOAT_SLIDER:
            EXPECT_EQ(def.u.fs_d.value, e.dephault);
            EXPECT_EQ(def.u.fs_d.dephault, float(e.dephault));
            EXPECT_EQ(def.u.fs_d.valid_min, float(e.validMin));
            EXPECT_EQ(def.u.fs_d.valid_max, float(e.validMax));
            EXPECT_EQ(def.u.fs_d.slider_min, float(e.sliderMin));
            EXPECT_EQ(def.u.fs_d.slider_max, float(e.sliderMax));
            EXPECT_EQ(def.u.fs_d.precision, e.precision);
            EXPECT_EQ(def.u.fs_d.display_flags, e.display);
            EXPECT_EQ(def.u.fs_d.curve_tolerance, 0.05f);
            EXPECT_EQ(def.u.fs_d.phase, 0.0);
            EXPECT_EQ(def.u.fs_d.fs_flags, 0u);
            EXPECT_EQ(def.u.fs_d.useExponent, 0);
            EXPECT_EQ(def.u.fs_d.exponent, 0.0f);
            break;
        case PF_Param_CHECKBOX:
            EXPECT_EQ(def.u.bd.value, 0);
            EXPECT_EQ(def.u.bd.dephault, 0);
            EXPECT_STREQ(def.u.bd.u.nameptr, "");
            break;
        case PF_Param_ANGLE:
            EXPECT_EQ(def.u.ad.value, 0);
            EXPECT_EQ(def.u.ad.dephault, 0);
            break;
        case PF_Param_LAYER:
            EXPECT_EQ(def.u.ld.dephault, PF_LayerDefault_NONE);
            break;
        default:
            EXPECT_TRUE(allBytesZero(def.u));
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryParameter, ParamTableRow, ::testing::ValuesIn(kExpected),
                         [](const ::testing::TestParamInfo<Expected>& info) {
                             return "Id" + std::to_string(info.param.id);
                         });

TEST(ParamTable, FixedSlidersAreSentInSixteenDotSixteen) {
    PF_ParamDef def;
    fillParamDef(*findParamDefinition(7), &def);
    EXPECT_EQ(def.u.fd.value, 33554432);         // 512.0
    EXPECT_EQ(def.u.fd.valid_max, 1073741824);   // 16384.0
    fillParamDef(*findParamDefinition(16), &def);
    EXPECT_EQ(def.u.fd.value, 0x10000);          // 1.0
    EXPECT_EQ(def.u.fd.slider_max, 0x4000000);   // 1024.0
}

TEST(ParamTable, FloatDefaultIsDoubleBesideItsSinglePrecisionTwin) {
    PF_ParamDef def;
    fillParamDef(*findParamDefinition(13), &def);  // "Shift" 0.01 is not exact in binary
    EXPECT_EQ(def.u.fs_d.value, 0.01);
    EXPECT_EQ(def.u.fs_d.dephault, 0.01f);
    EXPECT_NE(double(def.u.fs_d.dephault), def.u.fs_d.value);
}

TEST(ParamTable, IdsOutsideTheTableHaveNoRow) {
    EXPECT_EQ(findParamDefinition(0), nullptr);
    EXPECT_EQ(findParamDefinition(51), nullptr);
    EXPECT_EQ(findParamDefinition(-1), nullptr);
}

struct HostCase {
    HostKind host;
    bool banner;
    bool graphs;
};

TEST(ParamTable, BannerAndGraphsDependOnHostAndVersion) {
    const HostCase cases[] = {
        {{false, 13, 9}, true, true},    {{false, 13, 8}, false, false},
        {{false, 14, 0}, true, true},    {{false, 12, 99}, false, false},
        {{false, 13, 23}, true, true},   {{true, 13, 8}, false, true},
        {{true, 1, 0}, false, true},     {{true, 13, 27}, false, true},
        {{false, -1, 30}, false, false},
    };
    for (const HostCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.host.major) + "." + std::to_string(c.host.minor) +
                     (c.host.premiere ? " Premiere Pro" : " After Effects"));
        EXPECT_EQ(hostHasBanner(c.host), c.banner);
        EXPECT_EQ(hostHasGraphs(c.host), c.graphs);
        EXPECT_EQ(isRegistered(*findParamDefinition(1), c.host), c.banner);
        EXPECT_EQ(isRegistered(*findParamDefinition(34), c.host), c.graphs);
        EXPECT_EQ(isRegistered(*findParamDefinition(41), c.host), c.graphs);
        EXPECT_TRUE(isRegistered(*findParamDefinition(33), c.host));
    }
}

}  // namespace
