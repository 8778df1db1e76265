// The stand-in host's side of parameter setup: it records every definition and
// custom UI the effect registers, refuses them on request, and builds from them
// the parameter array a host would pass (index 0 the input layer).
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/pf_custom_ui.h"
#include "platform/pf_effect.h"

namespace standin {

// One at a time: the callbacks installed by install() reach the live one.
class ParamHost {
public:
    ParamHost();
    ~ParamHost();
    ParamHost(const ParamHost&) = delete;
    ParamHost& operator=(const ParamHost&) = delete;

    // Points in_data's add_param and register_ui straight at this host (a full
    // stand-in host routes them here itself, logging each).
    void install(PF_InData* in_data);

    // The callbacks' answers.
    PF_Err addParam(PF_ParamIndex index, PF_ParamDef* def);
    PF_Err registerUI(PF_CustomUIInfo* info);

    std::vector<PF_ParamDef> added;            // every definition taken, in order
    std::vector<std::string> addedPopupItems;  // namesptr of each, "" where none
    std::vector<PF_ParamIndex> addIndices;
    std::vector<PF_CustomUIInfo> registeredUI;
    std::vector<int32_t> registeredUIAfter;    // number of definitions taken before each
    std::map<int32_t, PF_Err> failAddParamForId;  // by uu.id of the definition
    std::map<int32_t, PF_Err> failRegisterUIAt;   // by 0-based register_ui call
    void clearRegistration();

    // The parameter array after the latest registration: the input layer, then
    // every definition taken, each value at its default, no layer chosen.
    std::vector<PF_ParamDef> paramsFromRegistration() const;

private:
    mutable std::mutex mutex_;
};

}  // namespace standin
