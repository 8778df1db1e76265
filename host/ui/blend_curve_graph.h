// A 100 by 70 graph of two transition curves, A and B, each hatched below, and
// a row of dots for their combination. Offered to custom-drawn parameters that no
// graph record of this effect names; built into the Linux module only.
#pragma once

#include <cstdint>

#include "host/ui/draw_control_data.h"
#include "host/ui/graph_grid.h"

struct BlendTransitionValues {
    int32_t shape;  // popup: 2 ease, 3 ease out, 4 up and down, 5 wave, else linear
    float lengthPercent;
    float offsetPercent;
};

struct BlendCurveValues {
    int32_t combineMode;   // popup: 1 sum, 2 difference, 3 product, 4 quotient
    int32_t overflowMode;  // popup: 1 clamp, 2 fold, 3 wrap
    BlendTransitionValues a;
    BlendTransitionValues b;
    bool invertA;
};

// Levels (0 to 95) of transition A (with its inversion) or B at the 196 samples.
void blendCurveLevels(const BlendCurveValues& values, bool curveA, int32_t* levels);

// The combination of the two levels of one sample, brought back by the overflow mode.
int32_t blendCombined(int32_t combineMode, int32_t overflowMode, int32_t a, int32_t b);

// Draws the graph into a grid of 200 by 140 cells.
void drawBlendCurveCells(GraphGrid& grid, const BlendCurveValues& values);

// Draw function: paramIds 0 combine mode, 1 overflow mode, 2 shape A (popups),
// 3 length A, 4 offset A (percent), 5 shape B (popup), 6 length B, 7 offset B
// (percent), 8 invert A (checkbox). Record sizes, results and failures as for
// TimelineGraphDraw.
int32_t BlendCurveGraphDraw(uint8_t* pixels, PF_InData* in_data, PF_ParamDef** params, drawControlData* record);
