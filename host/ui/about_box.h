// The about box: the effect's name and version, shown by the host from the
// output data's message buffer.
#pragma once

#include "platform/pf_effect.h"

void presentAboutBox(PF_OutData* out_data);
