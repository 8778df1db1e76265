// A host of either kind at any effect API version, with the stand-in host's
// parameter registration installed, for calling the parameter functions directly.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "platform/pf_flags.h"
#include "tools/standin_host/param_host.h"
#include "tools/standin_host/standin_host.h"
#include "tools/standin_host/unused_slots.h"

namespace params_test {

constexpr int32_t kAfterEffects = StandInHost::kApplIdAfterEffects;
constexpr int32_t kPremiere = StandInHost::kApplIdPremierePro;

inline char* hostStrcpy(char* dest, const char* src) { return std::strcpy(dest, src); }

class ParamsTest : public ::testing::Test {
protected:
    ParamsTest() {
        standin::fillUnusedSlots(utils);
        standin::fillUnusedSlots(in_data.inter);
        utils.ansi.strcpy = &hostStrcpy;
        in_data.utils = &utils;
        in_data.current_time = 1200;
        in_data.time_step = 100;
        in_data.time_scale = 2400;
        host.install(&in_data);
        useHost(kAfterEffects, 13, 27);
    }

    void useHost(int32_t appl_id, int16_t major, int16_t minor) {
        in_data.appl_id = appl_id;
        in_data.version.major = major;
        in_data.version.minor = minor;
    }

    standin::ParamHost host;
    PF_UtilCallbacks utils{};
    PF_InData in_data{};
    PF_OutData out_data{};
};

}  // namespace params_test
