// The plain render command (PF_Cmd_RENDER), which only Premiere Pro sends: melts the
// frame from the host's parameter array at the depth of the output's pixel format.
#pragma once

#include "platform/pf_effect.h"

PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output);
