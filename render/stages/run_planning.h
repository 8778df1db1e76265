// The deposit's first pass over a line: for a batch of visited positions, several
// pixels to a vector, each pixel's brightness, table indexes, target, weight and
// colour, and how its run divides into cells. The second pass (run_deposit.h) then
// lays the runs one after the other. Every lane does the scalar steps of one pixel
// in their order and precision, so that the plan is the same on every path.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "render/kernel/line_cells.h"
#include "render/kernel/line_geometry.h"
#include "render/paths/lanes.h"
#include "render/paths/pixel_vectors.h"
#include "render/stages/melt_tables.h"
#include "render/stages/step_grid.h"

// Visited positions planned at once.
constexpr int32_t kPlannedRuns = 128;

// Runs starting or reaching this far along a line come only from table entries
// outside the parameters' ranges (or not finite at all); such pixels deposit
// nothing, which keeps every cell index and loop bounded.
constexpr float kFarthestRunCoordinate = 16777216.0f;  // 2^24

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
    // No run starts at or goes past this cell: kLineCells, the buffer's end, or
    // without Wrap the runCellLimit of the call, which its runs never reach.
    int32_t cellLimit;
};

inline RunSettings runSettings(int32_t lineLength, int32_t stepSize, bool scanlineFade,
                               int32_t cellLimit = kLineCells) {
    RunSettings s{lineLength, stepSize, 0, INT32_MAX, 1.0f / float(stepSize), cellLimit};
    if (scanlineFade) {
        s.fadeInEnd = stepSize;
        s.fadeOutStart = lineLength - stepSize;
    }
    return s;
}

// Without Wrap, a cell past the last that a run of the call can reach (at most
// kLineCells): a run starts before lineLength plus the largest velocity and offset
// entries (the grid fraction is below one), and ends within its length and two
// partial cells of its start. Every float addition of a start or a remainder may
// round by a part in 2^24 of the values added, and tables outside the parameters'
// ranges may cancel huge entries: the margin is taken in proportion to them.
inline int32_t runCellLimit(const MeltTables& tables, int32_t lineLength) {
    double velocity = -HUGE_VAL, offset = -HUGE_VAL, length = -HUGE_VAL;
    double velocityMagnitude = 0.0, offsetMagnitude = 0.0, lengthMagnitude = 0.0;
    for (int32_t i = 0; i < kLumaEntries; ++i) {
        // fmax passes over NaN entries, whose runs deposit nothing.
        velocity = std::fmax(velocity, double(tables.velocityTable[i]));
        offset = std::fmax(offset, double(tables.spreadOffsetTable[i]));
        length = std::fmax(length, double(tables.spreadLengthTable[i]));
        velocityMagnitude = std::fmax(velocityMagnitude, std::fabs(double(tables.velocityTable[i])));
        offsetMagnitude = std::fmax(offsetMagnitude, std::fabs(double(tables.spreadOffsetTable[i])));
        lengthMagnitude = std::fmax(lengthMagnitude, std::fabs(double(tables.spreadLengthTable[i])));
    }
    const double magnitude = double(lineLength) + velocityMagnitude + offsetMagnitude + lengthMagnitude;
    const double reach = double(lineLength) + velocity + offset + length + 4.0 + magnitude * 0x1p-20;
    if (!(reach < double(kLineCells))) return kLineCells;
    const int32_t line = bufferedCells(lineLength);
    return reach > double(line) ? int32_t(std::ceil(reach)) : line;
}

// A batch of planned runs, one entry per visited position (count 0: it deposits
// nothing). A run's cells in deposit order: a partial first cell when its start has
// a fraction (covering `share` of it), whole cells, a partial last cell (covering
// `rest`); cut off after the buffer's last cell. `cell` is its first cell, with Wrap
// inside the line; `consumed` how much of the run lies before cell 0 (a run clipped
// at the line start), which shading needs with its full `length`.
struct PlannedRuns {
    int32_t cell[kPlannedRuns];
    int32_t firstCells[kPlannedRuns];
    int32_t wholeCells[kPlannedRuns];
    int32_t lastCells[kPlannedRuns];
    float share[kPlannedRuns];
    float rest[kPlannedRuns];
    float weight[kPlannedRuns];
    float length[kPlannedRuns];
    float consumed[kPlannedRuns];
    float r[kPlannedRuns];
    float g[kPlannedRuns];
    float b[kPlannedRuns];
    // The table indexes of the source instances, filled before the plan.
    int32_t velocityIndex[kPlannedRuns];
    int32_t spreadIndex[kPlannedRuns];

    int32_t cells(int32_t k) const { return firstCells[k] + wholeCells[k] + lastCells[k]; }
};

// The helpers below take and give vectors by reference: a routine written once over
// the lanes is compiled for no path of its own, and only the paths' functions may
// pass their vectors in registers.

// Not zero and not NaN: a negative float alpha deposits.
template <class L>
void opaque(typename L::Mask& m, const typename L::Floats& alpha) {
    m = L::bitOr(L::less(alpha, L::floats(0.0f)), L::less(L::floats(0.0f), alpha));
}

// c becomes c + (c' - c) x f in the lanes of m.
template <class L>
void blend(typename L::Floats& c, const typename L::Floats& next, const typename L::Floats& f,
           const typename L::Mask& m) {
    c = L::select(m, L::add(c, L::mul(L::sub(next, c), f)), c);
}

// Wrap's run starts below 0 in the lanes of m, raised by whole lines.
template <class L>
void raiseToNonNegative(typename L::Floats& t, const typename L::Mask& m, int32_t lineLength) {
    alignas(64) float lanes[L::kCount];
    L::store(lanes, t);
    const int32_t flags = L::flags(m);
    for (int32_t k = 0; k < L::kCount; ++k) {
        if ((flags >> k) & 1) lanes[k] = raiseToNonNegative(lanes[k], lineLength);
    }
    t = L::load(lanes);
}

// Wrap's first cells reduced into the line, as firstCell % lineLength.
template <class L>
void reduceIntoLine(typename L::Ints& cell, int32_t lineLength) {
    const typename L::Floats c = L::toFloats(cell), length = L::floats(float(lineLength));
    const typename L::Floats q = L::toFloats(L::truncate(L::mul(c, L::floats(1.0f / float(lineLength)))));
    typename L::Floats r = L::sub(c, L::mul(q, length));
    r = L::select(L::less(r, L::floats(0.0f)), L::add(r, length), r);
    r = L::select(L::lessOrEqual(length, r), L::sub(r, length), r);
    cell = L::select(L::less(cell, L::ints(lineLength)), cell, L::truncate(r));
}

// Plans the runs of the `count` visited positions first, first + step, ... into
// `runs` and returns the largest cell after a kept run's last (0 when none). The
// source instances have filled runs' table indexes already.
template <class Traits, bool Wrap, class L, class Sources>
int32_t planRuns(const InputLine<typename Traits::Channel>& line, const RunSettings& settings, GridOffset grid,
                 const MeltTables& tables, int32_t first, int32_t count, PlannedRuns& runs) {
    using Floats = typename L::Floats;
    using Ints = typename L::Ints;
    using Mask = typename L::Mask;
    const int32_t lineLength = settings.lineLength, step = settings.stepSize;
    const int32_t inputEnd = line.inside.end < lineLength ? line.inside.end : lineLength;
    const ptrdiff_t cellBytes = line.address.cellStep * ptrdiff_t(sizeof(typename Traits::Channel));
    const bool fraction = grid.gridFraction != 0.0f;
    const bool fades = settings.fadeInEnd > 0 || settings.fadeOutStart < lineLength;
    const bool endsAtBuffer = !Wrap || lineLength >= kLineCells;
    const Floats f = L::floats(grid.gridFraction), zero = L::floats(0.0f), one = L::floats(1.0f);
    const Floats farthest = L::floats(kFarthestRunCoordinate);
    Ints ends = L::ints(0);
    for (int32_t j = 0; j < count; j += L::kCount) {
        const Mask active = L::firstLanes(count - j);
        const Ints position = L::sequence(first + j * step, step);
        const auto* at = reinterpret_cast<const unsigned char*>(line.pixel(first + j * step));
        LanePixels<L> px, next;
        loadPixels<Traits, L>(px, at, cellBytes * step, active);
        Mask kept, nextKept;
        opaque<L>(kept, px.a);
        kept = L::bitAnd(active, kept);

        // A grid fraction places the sample between this pixel and the next one; a
        // fully transparent neighbour there (or none) drops the pixel.
        Mask interpolated = L::firstLanes(0);
        Ints own = px.luma;
        if (fraction) {
            interpolated = L::andNot(kept, L::equal(position, L::ints(lineLength - 1)));
            // Every neighbour inside the input is read; only interpolated lanes use theirs.
            const Mask nextReadable = L::bitAnd(active, L::less(L::add(position, L::ints(1)), L::ints(inputEnd)));
            const Mask nextInside = L::bitAnd(interpolated, nextReadable);
            loadPixels<Traits, L>(next, at + cellBytes, cellBytes * step, nextReadable);
            opaque<L>(nextKept, next.a);
            kept = L::andNot(kept, L::andNot(interpolated, L::bitAnd(nextInside, nextKept)));
            const Ints blended = L::truncate(L::add(L::mul(L::toFloats(L::sub(next.luma, own)), f), L::toFloats(own)));
            own = L::select(interpolated, blended, own);
        }
        Ints velocityIndex = own, spreadIndex = own;
        if constexpr (Sources::kVelocityFromLayer) velocityIndex = L::load(runs.velocityIndex + j);
        if constexpr (Sources::kSpreadFromLayer) spreadIndex = L::load(runs.spreadIndex + j);

        Floats t = L::add(f, L::toFloats(position));
        const Floats velocity = L::gather(tables.velocityTable, velocityIndex, kept);
        const Floats offset = L::gather(tables.spreadOffsetTable, spreadIndex, kept);
        t = Sources::kSpreadOffsetFirst ? L::add(L::add(t, offset), velocity) : L::add(L::add(t, velocity), offset);
        const Floats length = L::gather(tables.spreadLengthTable, spreadIndex, kept);
        kept = L::bitAnd(kept, L::bitAnd(L::less(L::abs(t), farthest), L::less(L::abs(length), farthest)));

        Floats start, remaining, consumed = zero;
        if constexpr (Wrap) {
            const Mask negative = L::bitAnd(kept, L::less(t, zero));
            if (L::any(negative)) raiseToNonNegative<L>(t, negative, lineLength);
            start = t;
            remaining = length;
        } else {
            const Floats reach = L::add(t, length);
            kept = L::andNot(kept, L::less(reach, zero));  // the whole run lies before the line
            const Mask before = L::less(t, zero);
            start = L::select(before, zero, t);
            remaining = L::select(before, reach, length);
            consumed = L::select(before, L::sub(zero, t), zero);
        }
        kept = L::bitAnd(kept, L::less(start, L::floats(float(settings.cellLimit))));

        Floats alpha = px.a, r = px.r, g = px.g, b = px.b;
        if (fraction) {
            blend<L>(alpha, next.a, f, interpolated);
            blend<L>(r, next.r, f, interpolated);
            blend<L>(g, next.g, f, interpolated);
            blend<L>(b, next.b, f, interpolated);
        }
        Floats weight = alpha;
        if (fades) {
            const Floats q = L::floats(settings.fadeReciprocal);
            const Mask fadeOut = L::less(L::ints(settings.fadeOutStart - 1), position);
            const Mask fadeIn = L::andNot(L::less(position, L::ints(settings.fadeInEnd)), fadeOut);
            const Floats out = L::mul(
                L::sub(one, L::mul(L::toFloats(L::sub(position, L::ints(settings.fadeOutStart))), q)), alpha);
            weight = L::select(fadeOut, out, L::select(fadeIn, L::mul(L::mul(L::toFloats(position), alpha), q), alpha));
        }

        // The run's cells, as depositRun lays them.
        start = L::select(kept, start, zero);
        const Ints firstCell = L::truncate(start);
        Ints cell = firstCell;
        if constexpr (Wrap) reduceIntoLine<L>(cell, lineLength);
        const Floats whole = L::toFloats(firstCell);
        const Mask partialFirst = L::notEqual(start, whole);
        const Floats share = L::add(L::sub(whole, start), one);
        remaining = L::select(partialFirst, L::sub(remaining, share), remaining);
        // Below 2^24 every subtraction of 1 from the remainder is exact, so the whole
        // cells are counted up front: int(remaining) of them, leaving its fraction.
        const Mask wholeToo = L::lessOrEqual(one, remaining);
        Ints wholeCells = L::select(wholeToo, L::truncate(L::select(wholeToo, remaining, zero)), L::ints(0));
        const Floats rest = L::select(wholeToo, L::sub(remaining, L::toFloats(wholeCells)), remaining);
        const Ints firstCells = L::select(partialFirst, L::ints(1), L::ints(0));
        const Ints room = endsAtBuffer ? L::sub(L::ints(settings.cellLimit), cell) : L::ints(INT32_MAX);
        const Ints roomForWhole = L::sub(room, firstCells);
        const Mask bufferEnds = L::andNot(kept, L::less(wholeCells, roomForWhole));  // no last cell then
        wholeCells = L::select(bufferEnds, roomForWhole, wholeCells);
        const Mask partialLast = L::andNot(L::less(zero, rest), bufferEnds);
        const Ints lastCells = L::select(partialLast, L::ints(1), L::ints(0));

        L::store(runs.cell + j, cell);
        L::store(runs.firstCells + j, L::select(kept, firstCells, L::ints(0)));
        L::store(runs.wholeCells + j, L::select(kept, wholeCells, L::ints(0)));
        L::store(runs.lastCells + j, L::select(kept, lastCells, L::ints(0)));
        L::store(runs.share + j, share);
        L::store(runs.rest + j, rest);
        L::store(runs.weight + j, weight);
        L::store(runs.length + j, length);
        L::store(runs.consumed + j, consumed);
        L::store(runs.r + j, r);
        L::store(runs.g + j, g);
        L::store(runs.b + j, b);
        if constexpr (!Wrap) {
            const Ints after = L::add(cell, L::add(L::add(firstCells, wholeCells), lastCells));
            ends = L::select(kept, L::max(ends, after), ends);
        }
    }
    alignas(64) int32_t lanes[L::kCount];
    L::store(lanes, ends);
    int32_t depositEnd = 0;
    for (int32_t k = 0; k < L::kCount; ++k) depositEnd = lanes[k] > depositEnd ? lanes[k] : depositEnd;
    return depositEnd;
}
