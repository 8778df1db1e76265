// The one way a running render talks to the host: asks whether to stop and, if
// not, reports how far it has come.
#pragma once

#include <cstdint>

// `inData` is the host's PF_InData. Returns the abort callback's non-zero answer at
// once (no progress reported), otherwise reports (current, total) and returns 0.
int32_t render_abort_progress(void* inData, int32_t current, int32_t total);
