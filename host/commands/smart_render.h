// Smart render (PF_Cmd_SMART_RENDER): melts one frame from the parameter values that
// smart pre-render left in the frame's handle, at the depth of the input's pixels.
#pragma once

#include "platform/pf_effect.h"
#include "platform/pf_smart_render.h"

PF_Err SmartRender(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_SmartRenderExtra* extra);
