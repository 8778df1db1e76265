// A 50 by 50 graph of items placed evenly on a circle and pulled toward the
// centres of their groups, over a dashed cross. Offered to custom-drawn
// parameters that no graph record of this effect names; built into the Linux
// module only.
#pragma once

#include <cstdint>

#include "host/ui/draw_control_data.h"
#include "host/ui/graph_grid.h"

struct SplitValues {
    int32_t itemCount;  // rounded
    PF_Fixed phase;     // 16.16 degrees
    int32_t groupSize;  // rounded; below 1 no groups
    float pullPercent;
};

// Top-left grid cell of item k's dot for an image of width x height pixels.
struct SplitDot {
    int32_t row;
    int32_t column;
};
SplitDot splitDotPosition(const SplitValues& values, int32_t item, int32_t width, int32_t height);

// Draws the graph into a grid of 2 * width by 2 * height cells.
void drawSplitCells(GraphGrid& grid, const SplitValues& values, int32_t width, int32_t height);

// Draw function: paramIds 0 item count (fixed slider), 1 phase (angle), 2 group
// size (fixed slider), 3 pull in percent (float). Record sizes, results and
// failures as for TimelineGraphDraw.
int32_t SplitGraphDraw(uint8_t* pixels, PF_InData* in_data, PF_ParamDef** params, drawControlData* record);
