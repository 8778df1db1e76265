// The floor under the melt: only the whole-cell additions of a frame's runs, the
// same starts and lengths, a constant amount in every cell, at the widest vectors
// the processor offers. No renderer that adds each run into its cells one by one
// can be faster; the benchmark reports every case as a share of it.
#pragma once

#include "tests/render/literal/literal_melt.h"

// Adds every run of `census` into `cells` (16,384 cells of four floats, aligned to
// 64 bytes), line after line, without clearing between lines.
void depositFloor(const RunCensus& census, float (*cells)[4]);
