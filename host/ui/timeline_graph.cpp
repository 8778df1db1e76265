#include "host/ui/timeline_graph.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "host/params/graph_params.h"
#include "host/params/param_loading.h"
#include "render/float_convert.h"

namespace {

constexpr int32_t kColumns = 400;  // grid columns of the 200-pixel strip
constexpr int64_t kSpan = 390;     // columns the time window spreads over
constexpr int32_t kBarHeight = 16;
constexpr int32_t kFrameTick = 6;
constexpr int32_t kSecondTick = 12;

// What the parameters say about the sampled frames, in the host's time units
// with the current time at 0.
struct Samples {
    int32_t count;
    int32_t span;    // from the first sample to the last, signed
    int32_t step;    // between neighbouring samples, from the earliest on
    int32_t offset;  // where the span starts
};

Samples samplesOf(const TimelineValues& v, int32_t timeStep, uint32_t timeScale) {
    const float unit = v.mode == 1 ? float(timeScale) : float(timeStep);
    const float interval = unit * (v.mode == 1 ? v.spacingSeconds : v.spacingFrames);
    const int32_t span = truncateToInt32(float(v.sampleCount - 1) * interval);
    int32_t step = truncateToInt32(interval);
    if (span < 0) step = -step;
    return Samples{v.sampleCount, span, step, truncateToInt32(float(span) * v.offsetFactor)};
}

// The window of times shown: the samples and the current time.
struct Window {
    int64_t lo;
    int64_t range;
    int32_t column(int64_t t) const { return int32_t((t - lo) * kSpan / range); }
};

// Column heights, drawn as cells once every mark is placed; a later mark of a
// column replaces an earlier one.
struct Heights {
    int32_t at[kColumns] = {};
    void set(int64_t column, int32_t height) {
        if (column >= 0 && column < kColumns) at[column] = height;
    }
};

// Calls mark with the column x(t) of every multiple t of period in the window,
// from 0 forward and from -period backward.
template <typename Mark>
void forEachMultiple(const Window& w, int64_t period, Mark mark) {
    for (int64_t t = 0; w.column(t) <= kSpan; t += period) mark(w.column(t));
    for (int64_t t = -period; w.column(t) >= 0; t -= period) mark(w.column(t));
}

void drawTicks(Heights& ticks, const Window& w, int32_t timeStep, uint32_t timeScale) {
    // A frame of no length has no ticks; a negative one counts backward alike.
    const int64_t frame = std::abs(int64_t(timeStep));
    if (frame != 0 && w.range / frame < 200) {
        forEachMultiple(w, frame, [&](int32_t x) { ticks.set(x + 5, kFrameTick); });
    } else if (frame != 0) {
        for (int32_t x = 5; x <= 394; ++x) ticks.set(x, kFrameTick);
    }
    const auto secondTick = [&](int32_t x) {
        ticks.set(x + 4, kSecondTick);
        ticks.set(x + 5, kSecondTick);
    };
    const int64_t second = timeScale;
    if (second == 0) return;
    if (second * kSpan <= w.range) {
        // Seconds no more than a column apart reach every column of the window;
        // marking them one by one could take billions of steps.
        for (int32_t x = 0; x <= kSpan; ++x) secondTick(x);
    } else {
        forEachMultiple(w, second, secondTick);
    }
}

void coverRows(GraphGrid& grid, int32_t column, int32_t firstRow, int32_t lastRow) {
    for (int32_t row = firstRow; row <= lastRow; ++row) grid.cover(row, column);
}

// The span's direction: a bar at the offset end, a line along the samples and an
// arrowhead at the far end, pointing the way the samples run.
void drawSpanArrow(GraphGrid& grid, int32_t span, int32_t first, int32_t last) {
    for (int32_t x = first; x <= last; ++x) coverRows(grid, x, 7, 8);
    const int32_t start = span >= 0 ? first : last;
    coverRows(grid, start, 3, 12);
    coverRows(grid, start + 1, 3, 12);
    for (int32_t d = 0; d <= 4; ++d) {
        // Row pairs 7/8, 6/9, ... 3/12 step back one column each from the tip.
        const int32_t column = span >= 0 ? last - d : first + d;
        for (int32_t row : {7 - d, 8 + d}) {
            grid.cover(row, column);
            grid.cover(row, column + 1);
        }
    }
}

}  // namespace

void drawTimelineCells(GraphGrid& grid, const TimelineValues& values, int32_t timeStep, uint32_t timeScale) {
    const Samples s = samplesOf(values, timeStep, timeScale);
    const int64_t lo = std::min<int64_t>({s.offset, int64_t(s.offset) + s.span, 0});
    const int64_t hi = std::max<int64_t>({s.offset, int64_t(s.offset) + s.span, 0});
    const Window w{lo, hi - lo};
    Heights bars;
    Heights ticks;
    int32_t marker = 199;
    int32_t first = 0;
    int32_t last = 0;
    if (s.span == 0) {
        bars.set(199, kBarHeight);
    } else {
        drawTicks(ticks, w, timeStep, timeScale);
        for (int32_t k = 0; k < s.count; ++k) {
            const int64_t t = int64_t(s.offset) + std::min(s.span, 0) + int64_t(k) * s.step;
            const int32_t x = w.column(t);
            bars.set(x + 4, kBarHeight);
            bars.set(x + 5, kBarHeight);
            if (k == 0) first = x + 4;
            last = x + 4;
        }
        marker = int32_t(-w.lo * kSpan / w.range + 5);
    }
    for (int32_t x = 0; x < kColumns; ++x) {
        const int32_t bar = bars.at[x];
        if (bar > 0) coverRows(grid, x, 28 - bar / 2, 28 - bar / 2 + bar - 1);
        if (ticks.at[x] > 0) coverRows(grid, x, 58 - ticks.at[x], 57);
    }
    for (int32_t row = 5; row <= 51; row += 2) {
        grid.cover(row, marker - 1);
        grid.cover(row, marker);
    }
    // Without samples there is nothing for the arrow to run along.
    if (s.span != 0 && s.count >= 1) drawSpanArrow(grid, s.span, first, last);
}

int32_t TimelineGraphDraw(uint8_t* pixels, PF_InData* in_data, PF_ParamDef** params, drawControlData* record) {
    const int32_t* ids = record->paramIds;
    TimelineValues values;
    values.mode = readPopupValue(in_data, params, ids[0]);
    values.sampleCount = roundFixed(readFixedValue(in_data, params, ids[1]));
    values.spacingSeconds = readFloatValue(in_data, params, ids[2]);
    values.spacingFrames = readFloatValue(in_data, params, ids[3]);
    values.offsetFactor = readFloatValue(in_data, params, ids[4]);
    GraphGrid grid(record->width, record->height);
    if (!grid.ok()) return 0;
    drawTimelineCells(grid, values, in_data->time_step, in_data->time_scale);
    grid.reduceInto(pixels);
    return 1;
}
