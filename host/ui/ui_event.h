// The event command (PF_Cmd_EVENT): the effect's custom drawing and the banner's
// double-click, in hosts that offer custom drawing.
#pragma once

#include "platform/pf_custom_ui.h"
#include "platform/pf_effect.h"

// Answers nothing where the host has no custom drawing (the compositing host
// before effect API 13.9). A double-click on the banner shows the about box and
// answers 0; otherwise the event's code.
PF_Err UIEvent(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef** params, PF_LayerDef* output,
               PF_EventExtra* extra);
