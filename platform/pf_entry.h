// Our declarations of the two functions a host looks up in an effect module: the
// registration entry and the command entry point.
#pragma once

#include <stdint.h>

#include "platform/pf_effect.h"
#include "platform/sp_basic_suite.h"

#ifdef __cplusplus
extern "C" {
#endif

// The host's registration callback, called once by the registration entry.
typedef PF_Err (*PF_PluginDataCB)(void* host_ptr, const char* name, const char* match_name,
                                  const char* category, const char* entry_point_name, int32_t kind,
                                  int32_t api_version_major, int32_t api_version_minor,
                                  int32_t reserved_info);

// The registration entry, exported as "PluginDataEntryFunction".
typedef PF_Err (*PluginDataEntryFunctionPtr)(void* host_ptr, PF_PluginDataCB register_cb,
                                             SPBasicSuite* basic_suite, const char* host_name,
                                             const char* host_version);

// The command entry point, exported under the name AE_ENTRY_POINT.
typedef PF_Err (*PF_FilterProc)(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                PF_ParamDef* params[], PF_LayerDef* output, void* extra);

#define AE_ENTRY_POINT "EffectMain"

#ifdef __cplusplus
}
#endif
