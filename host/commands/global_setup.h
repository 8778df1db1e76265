// Global setup (PF_Cmd_GLOBAL_SETUP): the effect's version and what it can do,
// and in the editing host the pixel formats its render command handles.
#pragma once

#include <cstdint>

#include "platform/pf_effect.h"

// Writes the version and the two flag words (replacing whatever stood there); in
// Premiere Pro also registers the three render formats. Throws
// A_Err_MISSING_SUITE when a suite it needs there cannot be had.
PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef** params,
                   PF_LayerDef* output, int32_t outFlags, int32_t outFlags2);

// The render module's start and end hooks: the renderer keeps no global state, so
// there is nothing to start or end.
void initRender(PF_InData* in_data, PF_OutData* out_data);
void cleanUpRender(PF_InData* in_data, PF_OutData* out_data);
