// The per-instance sequence data: one zero-filled block of the size of one
// ParamValues record, which the host keeps between commands. Nothing reads its
// contents; the commands only create, resize, copy and dispose of it.
#pragma once

#include "platform/pf_effect.h"

PF_Err SequenceSetup(PF_InData* in_data, PF_OutData* out_data);              // 5
PF_Err SequenceResetup(PF_InData* in_data, PF_OutData* out_data);            // 6
PF_Err SequenceFlatten(PF_InData* in_data, PF_OutData* out_data);            // 7
PF_Err SequenceSetdown(PF_InData* in_data, PF_OutData* out_data);            // 8
PF_Err GetFlattenedSequenceData(PF_InData* in_data, PF_OutData* out_data);   // 28
