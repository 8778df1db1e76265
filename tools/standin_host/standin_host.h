// A host stand-in for tests and tools: it loads the effect module, calls only
// its two entry points, and answers the effect's calls through the records of a
// call, the basic suite and the utility and interact callbacks, logging each.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/four_char_code.h"
#include "platform/pf_effect.h"
#include "platform/pf_entry.h"
#include "platform/pf_flags.h"
#include "tools/standin_host/call_log.h"
#include "tools/standin_host/drawbot_host.h"
#include "tools/standin_host/host_handles.h"
#include "tools/standin_host/module_loader.h"
#include "tools/standin_host/param_host.h"
#include "tools/standin_host/suite_registry.h"
#include "tools/standin_host/utility_suite.h"

// The two entry points of an effect linked into the host's own process (the fuzz
// target) rather than loaded from a module.
struct LinkedEffect {
    PluginDataEntryFunctionPtr pluginDataEntry;
    PF_FilterProc effectMain;
};

// What the effect passed to the host's registration callback.
struct RegistrationCall {
    void* host_ptr = nullptr;
    std::string name, match_name, category, entry_point_name;
    int32_t kind = 0;
    int32_t api_version_major = 0;
    int32_t api_version_minor = 0;
    int32_t reserved_info = 0;
};

class StandInHost {
public:
    static constexpr int32_t kApplIdAfterEffects = fourCharCode('F', 'X', 'T', 'C');
    static constexpr int32_t kApplIdPremierePro = fourCharCode('P', 'r', 'M', 'r');

    // Without a module: for tests that call the host-side functions directly.
    StandInHost();
    explicit StandInHost(const std::string& module_path);
    explicit StandInHost(LinkedEffect effect);
    ~StandInHost();
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    // The one host that exists; its callbacks are reached through it.
    static StandInHost& current();

    // The module loaded at construction; there must be one.
    const LoadedModule& module() const;

    PF_Err registerEffect();
    // As above, handing the registration entry these last three arguments.
    PF_Err registerEffect(SPBasicSuite* basic_suite, const char* host_name, const char* host_version);
    PF_Err send(PF_Cmd cmd, PF_ParamDef** params = nullptr, PF_LayerDef* output = nullptr, void* extra = nullptr);

    // Fresh records of a call as the host fills them: the compositing host at
    // effect API 13.27, a 1920 by 1080 layer at full resolution.
    void resetRecords();

    CallLog log;
    SuiteRegistry suites{log};
    HostHandles handles{log};
    UtilitySuite utility{log};
    // The custom UI and Drawbot suites, offered from the start.
    standin::DrawbotHost drawbot{log};
    // What parameter setup registers: add_param and register_ui answer through
    // it unless a test sets them otherwise.
    standin::ParamHost params;
    PF_UtilCallbacks utils{};
    PF_InData in_data{};
    PF_OutData out_data{};

    // The registration callback's answer and what it was given.
    PF_Err registrationResult = PF_Err_NONE;
    int registrationCalls = 0;
    RegistrationCall registration;

    // Interact callbacks; each logs its call, then asks these.
    std::function<PF_Err(PF_ParamIndex, int32_t, int32_t, uint32_t, PF_ParamDef*)> checkoutParam;
    std::function<PF_Err(PF_ParamDef*)> checkinParam;
    std::function<PF_Err(PF_ParamIndex, PF_ParamDef*)> addParam;
    std::function<PF_Err(PF_CustomUIInfo*)> registerUi;
    std::function<PF_Err()> abortRender;
    std::function<PF_Err(int32_t, int32_t)> progress;

private:
    void fillCallbacks();

    std::unique_ptr<LoadedModule> module_;
    LinkedEffect effect_{};  // the loaded module's entry points, or the linked effect's
};
