#include "host/ui/blend_curve_graph.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "host/params/graph_params.h"
#include "host/ui/graph_line.h"
#include "render/float_convert.h"

namespace {

constexpr int32_t kSamples = 196;
constexpr int32_t kTop = 95;  // the highest level
constexpr double kPi = 3.14159265358979323846;

// One transition: where it starts and how long it takes, in 0 to 1 of the
// graph's width, its shape (popup value) and whether it runs downward.
struct Transition {
    float start;
    float length;
    int32_t shape;
    bool invert;
};

Transition transitionOf(const BlendTransitionValues& v, bool invert) {
    const float length = v.lengthPercent / 100.0f;
    // Whatever room the length leaves is where the offset may move the start.
    const float room = v.lengthPercent == 100.0f ? 0.0f : 1.0f - length;
    return Transition{room * v.offsetPercent / 100.0f, length, v.shape, invert};
}

float transitionValue(const Transition& tr, float x) {
    float t = 0.0f;
    if (x >= tr.start) t = tr.length > 0.0f ? (std::min(x, tr.start + tr.length) - tr.start) / tr.length : 1.0f;
    const double dt = t;
    float v = t;
    switch (tr.shape) {
    case 2: v = float(std::sin(kPi * dt - kPi / 2.0) / 2.0 + 0.5); break;
    case 3: v = float(std::sin(kPi * dt / 2.0)); break;
    case 4:
        // A step (no length) stays a step; otherwise up and back down.
        if (tr.length > 0.0f) v = t < 0.5f ? 2.0f * t : 2.0f - 2.0f * t;
        break;
    case 5: v = float(std::sin(2.0 * kPi * dt - kPi / 2.0) / 2.0 + 0.5); break;
    default: break;
    }
    return tr.invert ? 1.0f - v : v;
}

}  // namespace

// A combine mode without a meaning leaves curve A's level; an overflow mode
// without one leaves the value as it is (what falls outside the grid is not drawn).
int32_t blendCombined(int32_t combineMode, int32_t overflowMode, int32_t a, int32_t b) {
    int32_t c = a;
    switch (combineMode) {
    case 1: c = a + b; break;
    case 2: c = a - b; break;
    case 3: c = a * b / kTop; break;
    case 4: c = b != -1 ? a * kTop / (b + 1) : a; break;
    default: break;
    }
    switch (overflowMode) {
    case 1: return std::clamp(c, 0, kTop);
    case 2: {
        const int32_t m = std::abs(c) % 191;  // up to 95 and back down again
        return m < 96 ? m : 190 - m;
    }
    case 3: {
        const int32_t v = c >= 0 ? c : c + kTop;
        return v - 96 * (v / 96);
    }
    default: return c;
    }
}

namespace {

// Two cells in every eight under the lower of a joiner's two levels, in stripes
// that slant one way for curve A and the other for curve B.
void hatch(GraphGrid& grid, const int32_t* levels, bool curveA) {
    for (int32_t i = 1; i < kSamples; ++i) {
        const int32_t j = i + 2;
        for (int32_t y = std::min(levels[i - 1], levels[i]); y >= 0; --y) {
            if (((curveA ? y + j : y - j) & 6) == 0) grid.cover(97 - y, j - 1);
        }
    }
}

}  // namespace

void blendCurveLevels(const BlendCurveValues& values, bool curveA, int32_t* levels) {
    const Transition tr = curveA ? transitionOf(values.a, values.invertA) : transitionOf(values.b, false);
    for (int32_t i = 0; i < kSamples; ++i) {
        const float x = 0.0051020407f * float(i);  // i / 196
        levels[i] = truncateToInt32(transitionValue(tr, x) * float(kTop));
    }
}

void drawBlendCurveCells(GraphGrid& grid, const BlendCurveValues& values) {
    int32_t levelA[kSamples];
    int32_t levelB[kSamples];
    blendCurveLevels(values, true, levelA);
    blendCurveLevels(values, false, levelB);
    coverLevelLine(grid, levelA, kSamples);
    hatch(grid, levelA, true);
    coverLevelLine(grid, levelB, kSamples);
    hatch(grid, levelB, false);
    for (int32_t i = 0; i < kSamples; ++i) {
        const int32_t c = blendCombined(values.combineMode, values.overflowMode, levelA[i], levelB[i]);
        const int32_t q = int32_t(int64_t(32) * c / kTop);
        for (int32_t row : {137 - q, 136 - q}) {
            grid.cover(row, i + 2);
            grid.cover(row, i + 3);
        }
    }
}

int32_t BlendCurveGraphDraw(uint8_t* pixels, PF_InData* in_data, PF_ParamDef** params, drawControlData* record) {
    const int32_t* ids = record->paramIds;
    BlendCurveValues values;
    values.combineMode = readPopupValue(in_data, params, ids[0]);
    values.overflowMode = readPopupValue(in_data, params, ids[1]);
    values.a.shape = readPopupValue(in_data, params, ids[2]);
    values.a.lengthPercent = readFloatValue(in_data, params, ids[3]);
    values.a.offsetPercent = readFloatValue(in_data, params, ids[4]);
    values.b.shape = readPopupValue(in_data, params, ids[5]);
    values.b.lengthPercent = readFloatValue(in_data, params, ids[6]);
    values.b.offsetPercent = readFloatValue(in_data, params, ids[7]);
    values.invertA = readCheckboxValue(in_data, params, ids[8]) != 0;
    GraphGrid grid(record->width, record->height);
    if (!grid.ok()) return 0;
    drawBlendCurveCells(grid, values);
    grid.reduceInto(pixels);
    return 1;
}
