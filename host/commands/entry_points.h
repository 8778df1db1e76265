// The two functions the host looks up in the module.
#pragma once

#include "platform/pf_entry.h"

#if defined(_WIN32)
#define ONDRAVA_EXPORT  // the module's .def file names the exports
#else
#define ONDRAVA_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// Registers the effect through the host's callback and returns its code.
ONDRAVA_EXPORT PF_Err PluginDataEntryFunction(void* host_ptr, PF_PluginDataCB register_cb, SPBasicSuite* basic_suite,
                                              const char* host_name, const char* host_version);

// Answers one host command. No exception ever leaves it.
ONDRAVA_EXPORT PF_Err EffectMain(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                 PF_LayerDef* output, void* extra);
}
