#include "tools/render_cli/param_assignment.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/render_cli/registration_fixture.h"

namespace {

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

}  // namespace
