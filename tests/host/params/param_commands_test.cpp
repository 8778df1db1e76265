// Parameter setup and the two parameter commands as the host sees them, through
// the loaded module. The indices the module derives are checked by the loading
// tests that call the host functions directly.
#include <ostream>
#include <string>
#include <vector>

#include "platform/pf_flags.h"
#include "tests/host/host_fixture.h"

namespace {

constexpr int32_t kPremiere = StandInHost::kApplIdPremierePro;

struct HostCase {
    const char* label;
    int32_t appl_id;
    int16_t major, minor;
    int32_t count;
    size_t customUIs;
    int32_t graphType;
};

void PrintTo(const HostCase& c, std::ostream* os) { *os << c.label; }

class ParamCommandsTest : public ModuleTest, public ::testing::WithParamInterface<HostCase> {};

std::vector<int32_t> addedIds(const standin::ParamHost& params) {
    std::vector<int32_t> ids;
    for (const PF_ParamDef& def : params.added) ids.push_back(def.uu.id);
    return ids;
}

TEST_P(ParamCommandsTest, SetupRegistersEveryParameterOfTheHostAndCountsTheInputLayer) {
    const HostCase& c = GetParam();
    host.in_data.appl_id = c.appl_id;
    host.in_data.version = PF_SpecVersion{c.major, c.minor};
    EXPECT_EQ(host.send(PF_Cmd_PARAMS_SETUP), PF_Err_NONE);
    EXPECT_EQ(host.out_data.num_params, c.count);
    EXPECT_EQ(int32_t(host.params.added.size()), c.count - 1);
    EXPECT_EQ(host.params.registeredUI.size(), c.customUIs);
    for (const PF_ParamDef& def : host.params.added) {
        if (def.uu.id == 34 || def.uu.id == 41) {
            EXPECT_EQ(def.param_type, c.graphType);
        }
    }
    // Each definition is named through the host's string copy, then added.
    const std::vector<std::string> log = host.log.entries();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0].rfind("strcpy", 0), 0u);
    EXPECT_EQ(log[1], "add_param " + std::to_string(host.params.added[0].uu.id));
}

TEST_P(ParamCommandsTest, ParameterCommandsAnswerZero) {
    const HostCase& c = GetParam();
    host.in_data.appl_id = c.appl_id;
    PF_UserChangedParamExtra extra{1};
    EXPECT_EQ(host.send(PF_Cmd_USER_CHANGED_PARAM, nullptr, nullptr, &extra), PF_Err_NONE);
    EXPECT_EQ(host.send(PF_Cmd_UPDATE_PARAMS_UI), PF_Err_NONE);
    EXPECT_EQ(host.log.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, ParamCommandsTest,
    ::testing::Values(HostCase{"AfterEffects13_27", StandInHost::kApplIdAfterEffects, 13, 27, 51, 3,
                               PF_Param_NO_DATA},
                      HostCase{"AfterEffects13_9", StandInHost::kApplIdAfterEffects, 13, 9, 51, 3,
                               PF_Param_NO_DATA},
                      HostCase{"AfterEffects13_8", StandInHost::kApplIdAfterEffects, 13, 8, 48, 0,
                               PF_Param_NO_DATA},
                      HostCase{"PremierePro13_27", kPremiere, 13, 27, 50, 2,
                               PF_Param_ARBITRARY_DATA},
                      HostCase{"PremierePro13_8", kPremiere, 13, 8, 50, 2,
                               PF_Param_ARBITRARY_DATA}),
    [](const ::testing::TestParamInfo<HostCase>& info) { return std::string(info.param.label); });

TEST_F(ModuleTest, RefusedParameterEndsSetupWithTheHostsCode) {
    host.params.failAddParamForId[41] = PF_Err_OUT_OF_MEMORY;
    host.out_data.num_params = 5;
    EXPECT_EQ(host.send(PF_Cmd_PARAMS_SETUP), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(host.out_data.num_params, 5);
    EXPECT_EQ(host.params.added.size(), 40u);
    EXPECT_EQ(host.params.registeredUI.size(), 2u) << "banner and first graph only";
    EXPECT_EQ(host.log.entries().back(), "add_param 41");
}

TEST_F(ModuleTest, RefusedCustomUIStillRegistersEveryParameter) {
    host.params.failRegisterUIAt = {{0, PF_Err_OUT_OF_MEMORY}, {2, PF_Err_OUT_OF_MEMORY}};
    EXPECT_EQ(host.send(PF_Cmd_PARAMS_SETUP), PF_Err_NONE);
    EXPECT_EQ(host.out_data.num_params, 51);
    EXPECT_EQ(host.params.added.size(), 50u);
}

TEST_F(ModuleTest, RepeatedSetupRegistersTheSameParameters) {
    ASSERT_EQ(host.send(PF_Cmd_PARAMS_SETUP), PF_Err_NONE);
    const std::vector<int32_t> first = addedIds(host.params);
    host.params.clearRegistration();
    ASSERT_EQ(host.send(PF_Cmd_PARAMS_SETUP), PF_Err_NONE);
    EXPECT_EQ(addedIds(host.params), first);
    EXPECT_EQ(host.out_data.num_params, 51);
}

}  // namespace
