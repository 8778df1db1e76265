// A 200 by 30 strip showing where a set of sampled frames lies in time around the
// current time: frame and second ticks, a bar per sample, the current time as a
// dotted line and an arrow along the samples from the offset end.
//
// Like the other further graphs this is offered to custom-drawn parameters that
// no graph record of this effect names; it is built into the Linux module only.
#pragma once

#include <cstdint>

#include "host/ui/draw_control_data.h"
#include "host/ui/graph_grid.h"

struct TimelineValues {
    int32_t mode;         // popup: 1 spacing in seconds, else in frames
    int32_t sampleCount;  // rounded
    float spacingSeconds;
    float spacingFrames;
    float offsetFactor;
};

// Draws the strip into a grid of 400 by 60 cells (cells outside a smaller grid
// are left out).
void drawTimelineCells(GraphGrid& grid, const TimelineValues& values, int32_t timeStep, uint32_t timeScale);

// Draw function: paramIds 0 mode (popup), 1 sample count (fixed slider), 2 spacing
// in seconds, 3 spacing in frames, 4 offset factor (floats); in_data's time_step
// and time_scale. Draws into the record's width x height: a record of another
// size than 200 x 30 gets a clipped picture, nothing written past its buffer. 1
// when drawn, 0 when the grid cannot be had (pixels untouched); a failing
// parameter checkout throws the host's code before anything is allocated.
int32_t TimelineGraphDraw(uint8_t* pixels, PF_InData* in_data, PF_ParamDef** params, drawControlData* record);
