#include "host/ui/split_graph.h"

#include <cmath>

#include "host/params/graph_params.h"
#include "host/params/param_loading.h"
#include "render/float_convert.h"

namespace {

constexpr float kRadiansPerFixedDegree = 2.663161e-07f;  // 2 pi / (360 x 65536)
constexpr double kTurn = 6.28318530718;
constexpr float kRadius = 40.0f;

float baseAngle(int32_t item, int32_t count) { return float(double(item) * kTurn / double(count)); }

// Items go to groups in order, groupSize to a group, the last perhaps smaller.
// Without groups (a size below 1) every item is a group of its own.
int32_t groupLength(const SplitValues& v) { return v.groupSize >= 1 ? v.groupSize : 1; }

int32_t groupEnd(const SplitValues& v, int32_t first) {
    return v.itemCount - first > groupLength(v) ? first + groupLength(v) : v.itemCount;
}

// The mean of the base angles of the group that starts at item first.
float groupCentre(const SplitValues& v, int32_t first) {
    const int32_t end = groupEnd(v, first);
    float sum = 0.0f;
    for (int32_t k = first; k < end; ++k) sum += baseAngle(k, v.itemCount);
    return sum / float(end - first);
}

SplitDot dotAt(const SplitValues& v, int32_t item, float centre, int32_t width, int32_t height) {
    const float a = baseAngle(item, v.itemCount);
    const float phase = float(v.phase) * kRadiansPerFixedDegree;
    const float theta = a + phase + (centre - a) * (v.pullPercent / 100.0f);
    // Single precision throughout, so that a quarter turn lands on the circle
    // (sinf of the float nearest pi / 2 is exactly 1).
    return SplitDot{truncateToInt32(kRadius * std::cos(theta)) + (height - 4),
                    truncateToInt32(kRadius * std::sin(theta)) + (width - 4)};
}

// An 8 by 8 disc from its top-left cell: rows 0 and 7 span columns 2 to 5, rows 1
// and 6 columns 1 to 6, the middle rows all eight.
void coverDisc(GraphGrid& grid, SplitDot dot) {
    constexpr int32_t kInset[8] = {2, 1, 0, 0, 0, 0, 1, 2};
    for (int32_t r = 0; r < 8; ++r) {
        for (int32_t c = kInset[r]; c < 8 - kInset[r]; ++c) grid.cover(dot.row + r, dot.column + c);
    }
}

}  // namespace

SplitDot splitDotPosition(const SplitValues& values, int32_t item, int32_t width, int32_t height) {
    const int32_t first = item - item % groupLength(values);
    return dotAt(values, item, groupCentre(values, first), width, height);
}

void drawSplitCells(GraphGrid& grid, const SplitValues& values, int32_t width, int32_t height) {
    for (int32_t u = 0; u < 100; ++u) {
        if ((u & 2) == 0) continue;
        grid.cover(49, u);
        grid.cover(50, u);
        grid.cover(u, 49);
        grid.cover(u, 50);
    }
    for (int32_t first = 0; first < values.itemCount; first += groupLength(values)) {
        const float centre = groupCentre(values, first);
        for (int32_t k = first; k < groupEnd(values, first); ++k) {
            coverDisc(grid, dotAt(values, k, centre, width, height));
        }
    }
}

int32_t SplitGraphDraw(uint8_t* pixels, PF_InData* in_data, PF_ParamDef** params, drawControlData* record) {
    const int32_t* ids = record->paramIds;
    SplitValues values;
    values.itemCount = roundFixed(readFixedValue(in_data, params, ids[0]));
    values.phase = readAngleValue(in_data, params, ids[1]);
    values.groupSize = roundFixed(readFixedValue(in_data, params, ids[2]));
    values.pullPercent = readFloatValue(in_data, params, ids[3]);
    GraphGrid grid(record->width, record->height);
    if (!grid.ok()) return 0;
    drawSplitCells(grid, values, record->width, record->height);
    grid.reduceInto(pixels);
    return 1;
}
