#include "host/ui/curve_graph.h"

#include <cmath>

#include "host/params/graph_params.h"
#include "host/params/param_loading.h"
#include "host/ui/graph_grid.h"
#include "host/ui/graph_line.h"
#include "render/curves.h"
#include "render/float_convert.h"

namespace {

constexpr int32_t kSamples = 96;
constexpr int32_t kTopLevel = kSamples - 1;
constexpr float kFullTurn = 23592960.0f;  // 360 degrees in 16.16

// Nearest integer, halves away from zero; values only broken parameters give
// (NaN, far out of range) stay defined.
float roundHalfAway(float v) { return std::round(v); }

// 96 levels stored twice, so that a curve may start at any of them and run on
// without wrapping.
struct CurveLevels {
    int32_t at[2 * kSamples];
};

void fillLevels(CurveLevels& levels, int32_t shape, float smoothness, float floorLift, int32_t shift) {
    for (int32_t i = 0; i < kSamples; ++i) {
        const float v = getCurveVal(shape, i, kSamples, float(kTopLevel), 0.0f, smoothness, 0);
        const float r = roundHalfAway(v);
        const float t = roundHalfAway(r + (float(kTopLevel) - r) * floorLift);
        const int32_t level = truncateToInt32(t);
        const int32_t k = (i + shift) % kSamples;
        levels.at[k] = level;
        levels.at[k + kSamples] = level;
    }
}

}  // namespace

int32_t curveGraphShift(float phase) {
    const int32_t v = truncateToInt32(phase * float(kSamples) / kFullTurn);
    if (v >= 0) {
        return v % kSamples;
    }
    return kTopLevel - int32_t((-int64_t(v)) % kSamples);
}

int32_t CurveGraphDraw(uint8_t* pixels, PF_InData* in_data, PF_ParamDef** params, drawControlData* record) {
    // Every value is read before anything is allocated, so a failing checkout
    // leaves nothing behind.
    const int32_t shape = popupIndex(readPopupValue(in_data, params, record->paramIds[0]));
    const PF_Fixed phase = readAngleValue(in_data, params, record->paramIds[1]);
    const float floorLift = record->paramIds[2] != -1 ? readFloatValue(in_data, params, record->paramIds[2]) : 0.0f;
    const float smoothness = readFloatValue(in_data, params, record->paramIds[3]);
    const int32_t shift = curveGraphShift(float(phase));

    int32_t mask = 0;
    int32_t plusShift = 0;
    int32_t minusShift = 0;
    if (record->curveMaskFunc != nullptr) {
        mask = record->curveMaskFunc(in_data, params, 4);
        if (mask != 0) {
            const float spread = float(readAngleValue(in_data, params, record->paramIds[4]));
            plusShift = curveGraphShift(spread);
            minusShift = curveGraphShift(-spread);
        }
    }

    GraphGrid grid(record->width, record->height);
    if (!grid.ok()) {
        return 0;
    }
    CurveLevels levels;
    fillLevels(levels, shape, smoothness, floorLift, shift);
    if (mask == 0) {
        coverLevelLine(grid, levels.at, kSamples);
    } else {
        if (mask & 1) coverLevelLine(grid, levels.at + plusShift, kSamples);
        if (mask & 2) coverLevelLine(grid, levels.at, kSamples);
        if (mask & 4) coverLevelLine(grid, levels.at + minusShift, kSamples);
    }
    grid.reduceInto(pixels);
    return 1;
}
