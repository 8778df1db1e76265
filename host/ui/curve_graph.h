// The graph in the control area of each "Graph" parameter: one period of the
// velocity or spread curve, sampled from the live parameter values.
#pragma once

#include <cstdint>

#include "host/ui/draw_control_data.h"

// Draw function of the curve graph records. Reads, by the record's paramIds, the
// curve's function, phase, floor (id -1: none) and smoothness, and paints a light
// line on a dark half-transparent square. 1 when drawn, 0 when its work memory
// cannot be had (pixels untouched).
int32_t CurveGraphDraw(uint8_t* pixels, PF_InData* in_data, PF_ParamDef** params, drawControlData* record);

// Columns a phase (16.16 degrees) moves the 96-sample curve, 0 to 95.
int32_t curveGraphShift(float phase);
