// Smart pre-render (PF_Cmd_SMART_PRE_RENDER): the frame's parameter values go into a
// host handle that the host keeps until smart render of the same frame, the input is
// requested as the host requests the output, and the output's rectangles take in
// the input's.
#pragma once

#include "platform/pf_effect.h"
#include "platform/pf_smart_render.h"

PF_Err SmartPreRender(PF_InData* in_data, PF_OutData* out_data, PF_PreRenderExtra* extra);

// The delete function handed to the host with the pre-render data: disposes the
// handle. The host may call it from any thread, after any command.
void DeletePreRenderData(void* pre_render_data);
