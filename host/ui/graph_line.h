// A graph's line through a run of levels (0 near the bottom, 95 near the top of a
// 100-row band), as the curve graphs draw it.
#pragma once

#include <cstdint>

#include "host/ui/graph_grid.h"

// Sample k lies in column k + 2: its point covers rows 98 - level and 97 - level;
// a step from the previous level is joined by a vertical run in the column
// before, one row higher (rows 97 - y and 96 - y for every y between the two).
void coverLevelLine(GraphGrid& grid, const int32_t* levels, int32_t count);
