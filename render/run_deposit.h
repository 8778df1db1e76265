// The heart of the melt: every pixel on the line's step grid is moved along the
// line by the velocity its brightness selects and smeared, weighted by its alpha,
// over a run of cells of the line accumulator. Colours are summed premultiplied by
// the amount deposited; normalizeCells divides them out again.
#pragma once

#include <cmath>
#include <cstdint>

#include "render/cell_vectors.h"
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

// A run's cells in deposit order: a partial first cell when its start has a
// fraction, whole cells, a partial last cell; cut off after the buffer's last cell.
struct RunPlan {
    int32_t firstCells;  // 1 with a partial first cell, covering `share` of it
    int32_t wholeCells;
    int32_t lastCells;   // 1 with a partial last cell, covering `rest` of it
    float share;
    float rest;
    int32_t count() const { return firstCells + wholeCells + lastCells; }
};

// `room` is how many cells the run may take before the buffer ends.
inline RunPlan planRun(float start, int32_t firstCell, float remaining, int32_t room) {
    RunPlan plan{};
    if (start != float(firstCell)) {
        plan.firstCells = 1;
        plan.share = (float(firstCell) - start) + 1.0f;
        remaining = remaining - plan.share;
    }
    // Below 2^24 every subtraction of 1 from `remaining` is exact, so the whole cells
    // are counted up front: int(remaining) of them, leaving its fraction.
    if (remaining >= 1.0f) {
        plan.wholeCells = int32_t(remaining);
        remaining = remaining - float(plan.wholeCells);
    }
    const int32_t roomForWhole = room - plan.firstCells;
    if (plan.wholeCells >= roomForWhole) {  // the buffer ends first: no last cell
        plan.wholeCells = roomForWhole;
        return plan;
    }
    plan.lastCells = remaining > 0.0f ? 1 : 0;
    plan.rest = remaining;
    return plan;
}

// A run as the first pass over a line finds it, ready for the second to lay: where
// its cells begin (with Wrap inside the line), how they divide, the pixel's weight
// and colour, and what shading needs of it.
struct PlannedRun {
    int32_t cell;
    RunPlan plan;
    float weight;
    float length;    // the run's full length
    float consumed;  // how much of it lies before cell 0 (a run clipped at the line start)
    RunColour colour;
};

// Shaded whole cells are weighed this many at a time.
constexpr int32_t kAmountChunk = 256;

// Smears one planned run, each cell taking its amount times the pixel's colour,
// (1, R, G, B). `run` weights each cell's amount (shading). With Wrap the cells go
// round the line; a run ends at the buffer's last cell either way (with Wrap only a
// line of kLineCells cells reaches it).
template <bool Wrap, class Cells, class Run>
void depositRun(float (*meltAccumulator)[4], int32_t lineLength, const PlannedRun& planned, Run& run) {
    const RunPlan& plan = planned.plan;
    const float weight = planned.weight;
    const int32_t count = plan.count();
    const float first = plan.firstCells ? run.firstCell(plan.share, weight * plan.share) : 0.0f;

    // Lays the run's cells k .. k + span - 1 from `position` on, going round with Wrap.
    const int32_t lap = Wrap ? lineLength : kLineCells;
    int32_t position = planned.cell;
    const auto lay = [&](int32_t span, auto&& add) {
        for (int32_t k = 0; k < span;) {
            const int32_t piece = span - k < lap - position ? span - k : lap - position;
            add(position, piece, k);
            k += piece;
            position += piece;
            if (position == lap) position = 0;
        }
    };
    if constexpr (Run::kWholeCellsAlike) {
        const float last = plan.lastCells ? run.lastCell(plan.rest * weight) : 0.0f;
        const auto amountOf = [&](int32_t k) {
            return k == 0 && plan.firstCells ? first : k == count - 1 && plan.lastCells ? last : weight;
        };
        lay(count, [&](int32_t at, int32_t piece, int32_t k) {
            Cells::addRun(meltAccumulator, RunCells{at, piece, amountOf(k), weight, amountOf(k + piece - 1)},
                          planned.colour);
        });
    } else {
        // Room for three amounts before the first: a path may read a block of cells
        // that starts before the run, with those lanes masked off.
        alignas(16) float storage[3 + kAmountChunk];
        float* const amounts = storage + 3;
        int32_t laid = 0, weighed = 0;
        while (laid < count) {
            int32_t n = 0;
            if (laid == 0 && plan.firstCells) amounts[n++] = first;
            const int32_t whole = plan.wholeCells - weighed < kAmountChunk - n ? plan.wholeCells - weighed
                                                                               : kAmountChunk - n;
            if (whole > 0) {
                run.wholeCells(whole, weight, [&](int32_t j, float amount) { amounts[n + j] = amount; });
                n += whole;
                weighed += whole;
            }
            if (laid + n == count - 1 && plan.lastCells && n < kAmountChunk) {
                amounts[n++] = run.lastCell(plan.rest * weight);
            }
            lay(n, [&](int32_t at, int32_t piece, int32_t k) {
                Cells::addAmounts(meltAccumulator, at, piece, amounts + k, planned.colour);
            });
            laid += n;
        }
    }
}

// Runs are planned a batch at a time and then laid: the planning of each pixel is a
// long chain of dependent steps with few branches, the laying a short loop whose end
// the processor cannot foresee; apart, neither waits for the other.
constexpr int32_t kPlannedRuns = 128;

// Deposits one scanline into meltAccumulator, which enters cleared. Returns
// `depositEnd`, one past the highest cell a run reached (0 with Wrap, where every
// run stays inside the line).
template <class Traits, bool Wrap, class Cells = Sse2Cells, class Sources, class Shading>
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
    const bool endsAtBuffer = !Wrap || lineLength >= kLineCells;
    PlannedRun batch[kPlannedRuns];
    int32_t plannedRuns = 0;
    const auto layBatch = [&] {
        for (int32_t k = 0; k < plannedRuns; ++k) {
            auto run = shading.beginRun(batch[k].length, batch[k].consumed, runCache);
            depositRun<Wrap, Cells>(meltAccumulator, lineLength, batch[k], run);
        }
        plannedRuns = 0;
    };
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

        PlannedRun& planned = batch[plannedRuns++];
        const int32_t firstCell = int32_t(start);
        // Wrapped starts mostly lie inside the line already: divide only when they do not.
        planned.cell = Wrap && firstCell >= lineLength ? firstCell % lineLength : firstCell;
        planned.plan = planRun(start, firstCell, remaining, endsAtBuffer ? kLineCells - planned.cell : INT32_MAX);
        planned.weight = weight;
        planned.length = length;
        planned.consumed = consumed;
        planned.colour = RunColour{r, g, b};
        if constexpr (!Wrap) {
            const int32_t cellAfter = planned.cell + planned.plan.count();
            if (cellAfter > depositEnd) depositEnd = cellAfter;
        }
        if (plannedRuns == kPlannedRuns) layBatch();
    }
    layBatch();
    return depositEnd;
}
