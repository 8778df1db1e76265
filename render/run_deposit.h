// The heart of the melt: every pixel on the line's step grid is moved along the
// line by the velocity its brightness selects and smeared, weighted by its alpha,
// over a run of cells of the line accumulator. Colours are summed premultiplied by
// the amount deposited; normalizeCells divides them out again.
#pragma once

#include <cmath>
#include <cstdint>

#include "render/channel_traits.h"
#include "render/line_cells.h"
#include "render/line_geometry.h"
#include "render/melt_tables.h"
#include "render/step_grid.h"

// The source side of one scanline: cell i's pixel lies at pixels + start +
// i x cellStep; only cells inside.first .. inside.end - 1 lie inside the input.
template <class Channel>
struct InputLine {
    const Channel* pixels;
    LineAddress address;
    CellRange inside;
    const Channel* pixel(int32_t i) const { return pixels + (address.start + i * address.cellStep); }
};

// What the deposit needs of the call, fixed for every line.
struct RunSettings {
    int32_t lineLength;
    int32_t stepSize;
    // "Fade In/Out": alpha ramps up over positions below fadeInEnd and down from
    // fadeOutStart on. Off, the two bounds lie outside every line.
    int32_t fadeInEnd;
    int32_t fadeOutStart;
    float fadeReciprocal;  // 1 / stepSize
};

inline RunSettings runSettings(int32_t lineLength, int32_t stepSize, bool scanlineFade) {
    RunSettings s{lineLength, stepSize, 0, INT32_MAX, 1.0f / float(stepSize)};
    if (scanlineFade) {
        s.fadeInEnd = stepSize;
        s.fadeOutStart = lineLength - stepSize;
    }
    return s;
}

// Runs starting or reaching this far along a line come only from table entries
// outside the parameters' ranges (or not finite at all); such pixels deposit
// nothing, which keeps every cell index and loop bounded.
constexpr float kFarthestRunCoordinate = 16777216.0f;  // 2^24

inline int32_t interpolatedIndex(int32_t own, int32_t next, float f) {
    return int32_t(float(next - own) * f + float(own));
}

inline void addToCell(float* cell, float amount, float r, float g, float b) {
    cell[0] += amount;
    cell[1] += amount * r;
    cell[2] += amount * g;
    cell[3] += amount * b;
}

// Smears one run from `start` (0 or more) over `remaining` cells: a partial first
// cell when the start has a fraction, whole cells, a partial last cell. `run`
// weights each cell's amount (shading). With Wrap the cells go round the line; a
// run ends at the buffer's last cell either way (with Wrap only a line of
// kLineCells cells reaches it). Returns the cell after the last one written (the
// first cell when none was).
template <bool Wrap, class Run>
int32_t depositRun(float (*meltAccumulator)[4], int32_t lineLength, float start, float remaining,
                   float weight, float r, float g, float b, Run& run) {
    const int32_t firstCell = int32_t(start);
    // Wrapped starts mostly lie inside the line already: divide only when they do not.
    int32_t cell = Wrap && firstCell >= lineLength ? firstCell % lineLength : firstCell;
    bool open = true;
    const auto advance = [&] {
        if (Wrap) {
            if (cell == kLineCells - 1) open = false;
            else if (++cell == lineLength) cell = 0;
        } else {
            open = ++cell < kLineCells;
        }
    };
    if (start != float(firstCell)) {
        const float share = (float(firstCell) - start) + 1.0f;
        addToCell(meltAccumulator[cell], run.firstCell(share, weight * share), r, g, b);
        remaining = remaining - share;
        advance();
    }
    // Whole cells. Below 2^24 every subtraction of 1 from `remaining` is exact, so
    // the cells are counted up front: int(remaining) of them, leaving its fraction.
    if (open && remaining >= 1.0f) {
        int32_t wholeCells = int32_t(remaining);
        remaining = remaining - float(wholeCells);
        while (open && wholeCells > 0) {
            const int32_t segmentEnd = Wrap ? lineLength : kLineCells;
            const int32_t span = wholeCells < segmentEnd - cell ? wholeCells : segmentEnd - cell;
            float(*const segment)[4] = meltAccumulator + cell;
            run.wholeCells(span, weight, [&](int32_t k, float amount) { addToCell(segment[k], amount, r, g, b); });
            cell += span;
            wholeCells -= span;
            if (cell == kLineCells) open = false;
            else if (Wrap && cell == lineLength) cell = 0;
        }
    }
    if (open && remaining > 0.0f) {
        addToCell(meltAccumulator[cell], run.lastCell(remaining * weight), r, g, b);
        advance();
    }
    return cell;
}

// Deposits one scanline into meltAccumulator, which enters cleared. Returns
// `depositEnd`, one past the highest cell a run reached (0 with Wrap, where every
// run stays inside the line).
template <class Traits, bool Wrap, class Sources, class Shading>
int32_t depositRuns(float (*meltAccumulator)[4], const InputLine<typename Traits::Channel>& line,
                    const RunSettings& settings, GridOffset grid, const MeltTables& tables,
                    const Sources& sources, const Shading& shading) {
    const int32_t lineLength = settings.lineLength;
    const int32_t step = settings.stepSize;
    const float f = grid.gridFraction;
    const int32_t inputEnd = line.inside.end < lineLength ? line.inside.end : lineLength;
    int32_t i = grid.gridIndex;
    if (i < line.inside.first) i += (line.inside.first - i + step - 1) / step * step;
    int32_t depositEnd = 0;
    auto runCache = shading.runCache();
    for (; i < inputEnd; i += step) {
        const auto* pixel = line.pixel(i);
        float alpha = Traits::value(pixel[0]);
        if (isTransparent(alpha)) continue;

        // A grid fraction places the sample between this pixel and the next one; a
        // fully transparent neighbour there drops the pixel.
        const bool interpolated = f != 0.0f && i != lineLength - 1;
        const decltype(pixel) next = interpolated && i + 1 < inputEnd ? line.pixel(i + 1) : nullptr;
        if (interpolated && (next == nullptr || isTransparent(Traits::value(next[0])))) continue;

        int32_t own = 0;
        if constexpr (Sources::kUsesOwnIndex) {
            own = Traits::lumaIndex(pixel);
            if (interpolated) own = interpolatedIndex(own, Traits::lumaIndex(next), f);
        }
        const int32_t kv = sources.velocityIndex(i, f, interpolated, own);
        const int32_t ks = sources.spreadIndex(i, f, interpolated, own);

        float t = f + float(i);
        if constexpr (Sources::kSpreadOffsetFirst) {
            t = (t + tables.spreadOffsetTable[ks]) + tables.velocityTable[kv];
        } else {
            t = (t + tables.velocityTable[kv]) + tables.spreadOffsetTable[ks];
        }
        const float length = tables.spreadLengthTable[ks];
        if (!(std::fabs(t) < kFarthestRunCoordinate) || !(std::fabs(length) < kFarthestRunCoordinate)) continue;

        float start, remaining, consumed = 0.0f;
        if constexpr (Wrap) {
            t = raiseToNonNegative(t, lineLength);
            start = t;
            remaining = length;
        } else {
            if (t + length < 0.0f) continue;  // the whole run lies before the line
            start = t < 0.0f ? 0.0f : t;
            remaining = t < 0.0f ? t + length : length;
            consumed = t < 0.0f ? -t : 0.0f;
        }
        if (!(start < float(kLineCells))) continue;

        float r = Traits::value(pixel[1]), g = Traits::value(pixel[2]), b = Traits::value(pixel[3]);
        if (interpolated) {
            const float nextAlpha = Traits::value(next[0]);
            alpha = alpha + (nextAlpha - alpha) * f;
            r = r + (Traits::value(next[1]) - r) * f;
            g = g + (Traits::value(next[2]) - g) * f;
            b = b + (Traits::value(next[3]) - b) * f;
        }

        float weight = alpha;
        if (i >= settings.fadeOutStart) {
            weight = (1.0f - float(i - settings.fadeOutStart) * settings.fadeReciprocal) * alpha;
        } else if (i < settings.fadeInEnd) {
            weight = (float(i) * alpha) * settings.fadeReciprocal;
        }

        auto run = shading.beginRun(length, consumed, runCache);
        const int32_t cellAfter =
            depositRun<Wrap>(meltAccumulator, lineLength, start, remaining, weight, r, g, b, run);
        if constexpr (!Wrap) {
            if (cellAfter > depositEnd) depositEnd = cellAfter;
        }
    }
    return depositEnd;
}
