// Parameter setup (PF_Cmd_PARAMS_SETUP) and the two parameter commands the
// effect answers without doing anything.
#pragma once

#include <cstdint>

#include "platform/pf_custom_ui.h"
#include "platform/pf_effect.h"

// Registers every parameter of the table that this host gets, in table order,
// publishes the id-to-index map and reports the count (plus the input layer) in
// num_params. Returns 0 or the host's code of the first refused parameter; the
// map then holds exactly the parameters the host took.
PF_Err UIInitParams(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef** params);

// What the host made of a custom-drawn parameter: add_param's code, and, once the
// parameter is added, register_ui's (a refused custom UI only costs the drawing).
struct CustomParamResult {
    PF_Err added;
    PF_Err uiRegistered;
};

CustomParamResult AddUIHeaderImage(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef** params,
                                   int32_t id);
CustomParamResult AddUICustomParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef** params,
                                   int32_t id, const char* name, int32_t width, int32_t height,
                                   int32_t flags);

PF_Err UIOnUserChangedParam(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef** params,
                            const PF_UserChangedParamExtra* extra);
PF_Err UIOnParamsUpdated(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef** params);
