#include "tools/render_cli/param_assignment.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

PF_ParamDef def(int32_t type, const char* name) {
    PF_ParamDef d{};
    d.param_type = type;
    std::strncpy(d.name, name, sizeof d.name - 1);
    return d;
}

// A small registration in the shape the effect's: two groups that both hold a
// "Function" popup, sliders of each kind, an angle, a checkbox and a layer.
struct Registration {
    std::vector<PF_ParamDef> params;
    std::vector<std::string> items;

    Registration() {
        add(def(PF_Param_LAYER, ""), "");  // index 0, the input layer
        PF_ParamDef direction = def(PF_Param_POPUP, "Direction");
        direction.u.pd.value = 3;
        add(direction, "Right|Left|Down|Up");
        PF_ParamDef velocity = def(PF_Param_FLOAT_SLIDER, "Velocity");
        velocity.u.fs_d.valid_min = -1.0f;
        velocity.u.fs_d.valid_max = 1.0f;
        add(velocity, "");
        add(def(PF_Param_GROUP_START, "Velocity Curve"), "");
        add(def(PF_Param_POPUP, "Function"), "Linear Ramp Up|Sine Wave");
        add(def(PF_Param_ANGLE, "Phase"), "");
        add(def(PF_Param_GROUP_END, ""), "");
        add(def(PF_Param_GROUP_START, "Spread Curve"), "");
        add(def(PF_Param_POPUP, "Function"), "Linear Ramp Up|Sine Wave");
        PF_ParamDef step = def(PF_Param_FIX_SLIDER, "Step");
        step.u.fd.valid_min = 1 << 16;
        step.u.fd.valid_max = 100 << 16;
        add(step, "");
        add(def(PF_Param_GROUP_END, ""), "");
        add(def(PF_Param_CHECKBOX, "Wrap"), "");
        add(def(PF_Param_LAYER, "Velocity Intensity Source"), "");
    }
    void add(const PF_ParamDef& d, const char* popupItems) {
        params.push_back(d);
        items.push_back(popupItems);
    }
    std::string set(const std::string& assignment) { return assignParam({params, items}, assignment); }
};

TEST(AssignParam, SetsEachKindOfParameterInTheHostsUnits) {
    Registration r;
    EXPECT_EQ(r.set("Direction=Up"), "");
    EXPECT_EQ(r.params[1].u.pd.value, 4);  // popups count from 1
    EXPECT_EQ(r.set("Velocity=0.5"), "");
    EXPECT_EQ(r.params[2].u.fs_d.value, 0.5);
    EXPECT_EQ(r.set("Velocity Curve/Phase=90"), "");
    EXPECT_EQ(r.params[5].u.ad.value, 90 * 65536);
    EXPECT_EQ(r.set("Step=2.5"), "");
    EXPECT_EQ(r.params[9].u.fd.value, 163840);  // 2.5 in 16.16
    EXPECT_EQ(r.set("Wrap=on"), "");
    EXPECT_EQ(r.params[11].u.bd.value, 1);
    EXPECT_EQ(r.set("Wrap=off"), "");
    EXPECT_EQ(r.params[11].u.bd.value, 0);
}

TEST(AssignParam, AGroupPathPicksOneOfRepeatedNames) {
    Registration r;
    EXPECT_EQ(r.set("Spread Curve/Function=Sine Wave"), "");
    EXPECT_EQ(r.params[8].u.pd.value, 2);
    EXPECT_EQ(r.params[4].u.pd.value, 0);  // the other "Function" untouched
    const std::string message = r.set("Function=Sine Wave");
    EXPECT_NE(message.find("several"), std::string::npos) << message;
    EXPECT_NE(message.find("\"Velocity Curve/Function\""), std::string::npos) << message;
}

TEST(AssignParam, RefusesWhatItCannotSetWithAMessage) {
    struct Case {
        const char* assignment;
        const char* messagePart;
    };
    const Case cases[] = {
        {"Velocity", "Name=Value"},
        {"Viscosity=1", "no parameter is named \"Viscosity\""},
        {"Velocity=2", "outside the range -1 to 1"},
        {"Velocity=-1.5", "outside the range"},
        {"Velocity=fast", "is not a number"},
        {"Velocity=", "is not a number"},
        {"Velocity=nan", "is not a number"},
        {"Step=0.5", "outside the range 1 to 100"},
        {"Direction=Sideways", "is not one of \"Right\" \"Left\" \"Down\" \"Up\""},
        {"Wrap=maybe", "not on or off"},
        {"Velocity Intensity Source=a.png", "cannot be set"},
    };
    for (const Case& c : cases) {
        Registration r;
        const std::vector<PF_ParamDef> before = r.params;
        const std::string message = r.set(c.assignment);
        EXPECT_NE(message.find(c.messagePart), std::string::npos) << c.assignment << ": " << message;
        for (size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(std::memcmp(&before[i], &r.params[i], sizeof(PF_ParamDef)), 0) << c.assignment;
        }
    }
}

TEST(DescribeParams, ListsSettableParametersUnderTheirGroups) {
    Registration r;
    const std::string text = describeParams({r.params, r.items});
    EXPECT_NE(text.find("Direction = one of: Right|Left|Down|Up"), std::string::npos) << text;
    EXPECT_NE(text.find("Spread Curve/Step = 1 to 100"), std::string::npos) << text;
    EXPECT_EQ(text.find("Velocity Intensity Source"), std::string::npos) << text;
}

}  // namespace
