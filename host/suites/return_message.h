// How the effect tells the user what went wrong: a text in the host's message
// buffer, with or without the flag that makes the host show it as an error.
#pragma once

#include "platform/pf_effect.h"

// Writes the message with the host's formatted-write callback and raises the
// display-error flag.
void reportError(const PF_InData* in_data, PF_OutData* out_data, const char* message);

// Replaces the message buffer's text without raising any flag; cut to fit.
void writeReturnMessage(PF_OutData* out_data, const char* message);
