#include "host/commands/entry_points.h"

#include <cstdint>

#include "host/commands/global_setup.h"
#include "host/commands/render_command.h"
#include "host/commands/sequence_data.h"
#include "host/commands/smart_pre_render.h"
#include "host/commands/smart_render.h"
#include "host/params/param_setup.h"
#include "host/suites/command_guard.h"
#include "host/suites/messages.h"
#include "host/suites/return_message.h"
#include "host/ui/about_box.h"
#include "host/ui/ui_event.h"
#include "resources/registration.h"

namespace {

constexpr int32_t kResolutionLimit = 16384;

// Advice only: a larger layer still renders, the user is just told.
void warnAboveResolutionLimit(const PF_InData* in_data, PF_OutData* out_data) {
    if (in_data->width > kResolutionLimit || in_data->height > kResolutionLimit) {
        writeReturnMessage(out_data, messages::kResolutionWarning);
    }
}

// The command table. Commands without a handler answer 0, touching nothing.
PF_Err dispatchCommand(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                       PF_LayerDef* output, void* extra) {
    switch (cmd) {
    case PF_Cmd_ABOUT:
        presentAboutBox(out_data);
        return PF_Err_NONE;
    case PF_Cmd_GLOBAL_SETUP:
        return GlobalSetup(in_data, out_data, params, output, registration::kGlobalOutFlags,
                           registration::kGlobalOutFlags2);
    case PF_Cmd_PARAMS_SETUP:
        return UIInitParams(in_data, out_data, params);
    case PF_Cmd_SEQUENCE_SETUP:
        return SequenceSetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_RESETUP:
        return SequenceResetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_FLATTEN:
        return SequenceFlatten(in_data, out_data);
    case PF_Cmd_SEQUENCE_SETDOWN:
        return SequenceSetdown(in_data, out_data);
    case PF_Cmd_GET_FLATTENED_SEQUENCE_DATA:
        return GetFlattenedSequenceData(in_data, out_data);
    case PF_Cmd_RENDER:
        return Render(in_data, out_data, params, output);
    case PF_Cmd_USER_CHANGED_PARAM:
        return UIOnUserChangedParam(in_data, out_data, params,
                                    static_cast<const PF_UserChangedParamExtra*>(extra));
    case PF_Cmd_UPDATE_PARAMS_UI:
        return UIOnParamsUpdated(in_data, out_data, params);
    case PF_Cmd_EVENT:
        return UIEvent(in_data, out_data, params, output, static_cast<PF_EventExtra*>(extra));
    case PF_Cmd_SMART_PRE_RENDER:
        warnAboveResolutionLimit(in_data, out_data);
        return SmartPreRender(in_data, out_data, static_cast<PF_PreRenderExtra*>(extra));
    case PF_Cmd_SMART_RENDER:
        return SmartRender(in_data, out_data, params, static_cast<PF_SmartRenderExtra*>(extra));
    default:
        return PF_Err_NONE;
    }
}

}  // namespace

extern "C" PF_Err PluginDataEntryFunction(void* host_ptr, PF_PluginDataCB register_cb, SPBasicSuite* basic_suite,
                                          const char* host_name, const char* host_version) {
    (void)basic_suite;
    (void)host_name;
    (void)host_version;
    return runGuarded([&] {
        return register_cb(host_ptr, registration::kDisplayName, registration::kMatchName, registration::kCategory,
                           registration::kEntryPointName, registration::kKind, registration::kApiVersionMajor,
                           registration::kApiVersionMinor, registration::kRegistrationReserved);
    });
}

extern "C" PF_Err EffectMain(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                             PF_LayerDef* output, void* extra) {
    // Negative numbers are far-off commands, not small ones.
    if (static_cast<uint32_t>(cmd) > uint32_t(PF_Cmd_GET_FLATTENED_SEQUENCE_DATA)) {
        return PF_Err_NONE;
    }
    // Handlers end a command by throwing its error code; suites and handles
    // acquired on the way are released as it unwinds.
    return runGuarded([&] { return dispatchCommand(cmd, in_data, out_data, params, output, extra); });
}
