// The heart of the melt: every pixel on the line's step grid is moved along the
// line by the velocity its brightness selects and smeared, weighted by its alpha,
// over a run of cells of the line accumulator. Colours are summed premultiplied by
// the amount deposited; normalizeCells divides them out again.
#pragma once

#include <cmath>
#include <cstdint>

#include "render/kernel/channel_traits.h"
#include "render/kernel/line_cells.h"
#include "render/kernel/line_geometry.h"
#include "render/paths/cell_vectors.h"
#include "render/shading/shade_form.h"
#include "render/stages/melt_tables.h"
#include "render/stages/run_planning.h"
#include "render/stages/step_grid.h"

// One planned run (run_planning.h), ready to lay.
struct PlannedRun {
    int32_t cell;
    int32_t firstCells, wholeCells, lastCells;
    float share, rest;
    float weight;
    float length;
    float consumed;
    RunColour colour;
    int32_t count() const { return firstCells + wholeCells + lastCells; }

    PlannedRun(const PlannedRuns& runs, int32_t k)
        : cell(runs.cell[k]), firstCells(runs.firstCells[k]), wholeCells(runs.wholeCells[k]),
          lastCells(runs.lastCells[k]), share(runs.share[k]), rest(runs.rest[k]), weight(runs.weight[k]),
          length(runs.length[k]), consumed(runs.consumed[k]), colour{runs.r[k], runs.g[k], runs.b[k]} {}
};

// Shaded whole cells are weighed this many at a time.
constexpr int32_t kAmountChunk = 256;

// Smears one planned run, each cell taking its amount times the pixel's colour,
// (1, R, G, B). `run` weights each cell's amount (shading). With Wrap the cells go
// round the line; a run ends at the buffer's last cell either way (with Wrap only a
// line of kLineCells cells reaches it).
template <bool Wrap, class Cells, class Run>
void depositRun(float (*meltAccumulator)[4], int32_t lineLength, const PlannedRun& planned, Run& run) {
    const PlannedRun& plan = planned;
    const float weight = planned.weight;
    const int32_t count = plan.count();

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
        const float first = plan.firstCells ? run.firstCell(plan.share, weight * plan.share) : 0.0f;
        const float last = plan.lastCells ? run.lastCell(plan.rest * weight) : 0.0f;
        const auto amountOf = [&](int32_t k) {
            return k == 0 && plan.firstCells ? first : k == count - 1 && plan.lastCells ? last : weight;
        };
        if constexpr (!Wrap) {
            // Cut at the buffer's end, the run is laid in one piece.
            const RunCells cells{planned.cell, count, amountOf(0), weight, amountOf(count - 1)};
            Cells::addRun(meltAccumulator, cells, planned.colour);
            return;
        }
        lay(count, [&](int32_t at, int32_t piece, int32_t k) {
            Cells::addRun(meltAccumulator, RunCells{at, piece, amountOf(k), weight, amountOf(k + piece - 1)},
                          planned.colour);
        });
    } else {
        // Multiplying, a cell takes (factor x amount) x (1, R, G, B) and the run's
        // weights are its amounts; dividing, it takes factor x (amount x (1, R, G, B)):
        // the run weighs 1 for its factors alone, and the colour of each kind of cell
        // carries that kind's amount.
        constexpr bool kColoursCarryAmounts = Run::kForm == ShadeForm::kDividing;
        const RunColour& colour = planned.colour;
        const RunColour wholeColour = kColoursCarryAmounts ? colour.carrying(weight) : colour;
        const RunColour firstColour = kColoursCarryAmounts ? colour.carrying(weight * plan.share) : colour;
        const RunColour lastColour = kColoursCarryAmounts ? colour.carrying(plan.rest * weight) : colour;
        // Room for three amounts before the first: a path may read a block of cells
        // that starts before the run, with those lanes masked off.
        alignas(16) float storage[3 + kAmountChunk];
        float* const amounts = storage + 3;
        const float firstAmount = kColoursCarryAmounts ? 1.0f : weight * plan.share;
        const float first = plan.firstCells ? run.firstCell(plan.share, firstAmount) : 0.0f;

        int32_t laid = 0, weighed = 0;
        while (laid < count) {
            int32_t n = 0;
            const bool headIsFirst = laid == 0 && plan.firstCells;
            if (headIsFirst) amounts[n++] = first;
            const int32_t whole = plan.wholeCells - weighed < kAmountChunk - n ? plan.wholeCells - weighed
                                                                               : kAmountChunk - n;
            if (whole > 0) {
                run.template wholeCellAmounts<typename Cells::Lanes, !kColoursCarryAmounts>(whole, amounts + n, weight);
                n += whole;
                weighed += whole;
            }
            const bool tailIsLast = laid + n == count - 1 && plan.lastCells && n < kAmountChunk;
            if (tailIsLast) amounts[n++] = run.lastCell(kColoursCarryAmounts ? 1.0f : plan.rest * weight);
            // A piece that begins at the run's first cell or ends at its last gives
            // that cell its own colour.
            lay(n, [&](int32_t at, int32_t piece, int32_t k) {
                const bool headFirst = k == 0 && headIsFirst, tailLast = k + piece == n && tailIsLast;
                const RunColour& tail = tailLast ? lastColour : wholeColour;
                const RunColour& head = headFirst ? firstColour : piece == 1 ? tail : wholeColour;
                const SpanColours colours{head, wholeColour, tail};
                Cells::template addAmounts<kColoursCarryAmounts>(meltAccumulator, at, piece, amounts + k, colours);
            });
            laid += n;
        }
    }
}

// Deposits one scanline into meltAccumulator, which enters cleared. Returns
// `depositEnd`, one past the highest cell a run reached (0 with Wrap, where every
// run stays inside the line). Runs are planned a batch at a time, several pixels to
// a vector, and then laid one after the other: the planning is a long chain of
// steps, the laying a short loop whose end the processor cannot foresee; apart,
// neither waits for the other.
template <class Traits, bool Wrap, class Cells = Sse2Cells, class Sources, class Shading>
int32_t depositRuns(float (*meltAccumulator)[4], const InputLine<typename Traits::Channel>& line,
                    const RunSettings& settings, GridOffset grid, const MeltTables& tables,
                    const Sources& sources, const Shading& shading) {
    const int32_t lineLength = settings.lineLength;
    const int32_t step = settings.stepSize;
    const int32_t inputEnd = line.inside.end < lineLength ? line.inside.end : lineLength;
    int32_t first = grid.gridIndex;
    if (first < line.inside.first) first += (line.inside.first - first + step - 1) / step * step;
    const int32_t visited = first < inputEnd ? (inputEnd - 1 - first) / step + 1 : 0;
    int32_t depositEnd = 0;
    auto&& runCache = shading.runCache();
    PlannedRuns runs;
    for (int32_t done = 0; done < visited; done += kPlannedRuns) {
        const int32_t count = visited - done < kPlannedRuns ? visited - done : kPlannedRuns;
        const int32_t batchFirst = first + done * step;
        sources.tableIndexes(batchFirst, step, count, grid.gridFraction, lineLength, runs);
        const int32_t end = planRuns<Traits, Wrap, typename Cells::Lanes, Sources>(line, settings, grid, tables,
                                                                                  batchFirst, count, runs);
        depositEnd = end > depositEnd ? end : depositEnd;
        for (int32_t k = 0; k < count; ++k) {
            if (runs.cells(k) == 0) continue;
            const PlannedRun planned(runs, k);
            auto run = shading.beginRun(planned.length, planned.consumed, runCache);
            depositRun<Wrap, Cells>(meltAccumulator, lineLength, planned, run);
        }
    }
    return depositEnd;
}
