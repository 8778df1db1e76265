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

// The steps of planRuns, each over one vector of visited positions. A lane is
// "kept" while its pixel still deposits a run; each step can only drop lanes, and a
// dropped lane's values are not used (its run is stored with no cells).

// With a grid fraction the sample lies between a lane's pixel and the next one, so
// the lane reads that neighbour too: its alpha decides whether the lane is kept (a
// fully transparent neighbour, or none inside the input, drops it) and its
// brightness is blended into the lane's own. At the line's last position there is
// no next pixel and the lane samples its own pixel alone. `interpolated` holds the
// lanes that blend; `next` their neighbours.
template <class Traits, class L>
__attribute__((always_inline)) inline void readNeighbours(LanePixels<L>& next, typename L::Mask& kept,
                                                          typename L::Mask& interpolated, typename L::Ints& own,
                                                          const unsigned char* at, ptrdiff_t cellBytes, int32_t step,
                                                          const typename L::Ints& position,
                                                          const typename L::Mask& active, const typename L::Floats& f,
                                                          int32_t lineLength, int32_t inputEnd) {
    using Mask = typename L::Mask;
    interpolated = L::andNot(kept, L::equal(position, L::ints(lineLength - 1)));
    // Every neighbour inside the input is read, so that the reads take whole vectors
    // where they can; only interpolated lanes use theirs.
    const Mask nextReadable = L::bitAnd(active, L::less(L::add(position, L::ints(1)), L::ints(inputEnd)));
    const Mask nextInside = L::bitAnd(interpolated, nextReadable);
    loadPixels<Traits, L>(next, at + cellBytes, cellBytes * step, nextReadable);
    Mask nextKept;
    opaque<L>(nextKept, next.a);
    // Dropped: interpolated lanes whose neighbour is outside the input or transparent.
    kept = L::andNot(kept, L::andNot(interpolated, L::bitAnd(nextInside, nextKept)));
    const typename L::Ints blended =
        L::truncate(L::add(L::mul(L::toFloats(L::sub(next.luma, own)), f), L::toFloats(own)));
    own = L::select(interpolated, blended, own);
}

// Where each kept run starts on the line, and how much of it lies there. Without
// Wrap, a run that starts before the line is clipped to cell 0 (`consumed` is the
// part cut off, which shading needs) and one that ends before it is dropped; with
// Wrap a negative start is raised by whole lines instead. Either way no run starts
// at or past the cell limit, and dropping those keeps every later index bounded.
template <bool Wrap, class L>
__attribute__((always_inline)) inline void placeOnLine(typename L::Floats& start, typename L::Floats& remaining,
                                                       typename L::Floats& consumed, typename L::Mask& kept,
                                                       typename L::Floats& t, const typename L::Floats& length,
                                                       const RunSettings& settings) {
    using Mask = typename L::Mask;
    const typename L::Floats zero = L::floats(0.0f);
    if constexpr (Wrap) {
        const Mask negative = L::bitAnd(kept, L::less(t, zero));
        if (L::any(negative)) raiseToNonNegative<L>(t, negative, settings.lineLength);
        start = t;
        remaining = length;
    } else {
        const typename L::Floats reach = L::add(t, length);
        kept = L::andNot(kept, L::less(reach, zero));  // the whole run lies before the line
        const Mask before = L::less(t, zero);
        start = L::select(before, zero, t);
        remaining = L::select(before, reach, length);
        consumed = L::select(before, L::sub(zero, t), zero);
    }
    kept = L::bitAnd(kept, L::less(start, L::floats(float(settings.cellLimit))));
}

// "Fade In/Out": positions below fadeInEnd weigh position / step of their alpha,
// those from fadeOutStart on 1 - (position - fadeOutStart) / step of it.
template <class L>
__attribute__((always_inline)) inline void fadeWeights(typename L::Floats& weight, const typename L::Floats& alpha,
                                                       const typename L::Ints& position, const RunSettings& settings) {
    using Mask = typename L::Mask;
    const typename L::Floats q = L::floats(settings.fadeReciprocal), one = L::floats(1.0f);
    const Mask fadeOut = L::less(L::ints(settings.fadeOutStart - 1), position);
    const Mask fadeIn = L::andNot(L::less(position, L::ints(settings.fadeInEnd)), fadeOut);
    const typename L::Floats out =
        L::mul(L::sub(one, L::mul(L::toFloats(L::sub(position, L::ints(settings.fadeOutStart))), q)), alpha);
    weight = L::select(fadeOut, out, L::select(fadeIn, L::mul(L::mul(L::toFloats(position), alpha), q), alpha));
}

// A kept run's cells, as depositRun lays them: a partial first cell when the start
// has a fraction (covering `share` of it), whole cells, a partial last cell
// (covering `rest`), and no more cells than the room before the cell limit, where
// a run cut short there has no last cell. Dropped lanes start at 0 (planRuns
// stores them with no cells).
template <bool Wrap, class L>
__attribute__((always_inline)) inline void divideIntoCells(typename L::Ints& cell, typename L::Ints& firstCells,
                                                           typename L::Ints& wholeCells, typename L::Ints& lastCells,
                                                           typename L::Floats& share, typename L::Floats& rest,
                                                           typename L::Floats& start, typename L::Floats& remaining,
                                                           const typename L::Mask& kept, const RunSettings& settings) {
    using Floats = typename L::Floats;
    using Ints = typename L::Ints;
    using Mask = typename L::Mask;
    const Floats zero = L::floats(0.0f), one = L::floats(1.0f);
    const int32_t lineLength = settings.lineLength;
    start = L::select(kept, start, zero);
    const Ints firstCell = L::truncate(start);
    cell = firstCell;
    if constexpr (Wrap) reduceIntoLine<L>(cell, lineLength);
    const Floats whole = L::toFloats(firstCell);
    const Mask partialFirst = L::notEqual(start, whole);
    share = L::add(L::sub(whole, start), one);
    remaining = L::select(partialFirst, L::sub(remaining, share), remaining);
    // Below 2^24 every subtraction of 1 from the remainder is exact, so the whole
    // cells are counted up front: int(remaining) of them, leaving its fraction.
    const Mask wholeToo = L::lessOrEqual(one, remaining);
    wholeCells = L::select(wholeToo, L::truncate(L::select(wholeToo, remaining, zero)), L::ints(0));
    rest = L::select(wholeToo, L::sub(remaining, L::toFloats(wholeCells)), remaining);
    firstCells = L::select(partialFirst, L::ints(1), L::ints(0));
    // The buffer's end matters without Wrap, and with it for lines that fill the buffer.
    const bool endsAtBuffer = !Wrap || lineLength >= kLineCells;
    const Ints room = endsAtBuffer ? L::sub(L::ints(settings.cellLimit), cell) : L::ints(INT32_MAX);
    const Ints roomForWhole = L::sub(room, firstCells);
    const Mask bufferEnds = L::andNot(kept, L::less(wholeCells, roomForWhole));  // no last cell then
    wholeCells = L::select(bufferEnds, roomForWhole, wholeCells);
    const Mask partialLast = L::andNot(L::less(zero, rest), bufferEnds);
    lastCells = L::select(partialLast, L::ints(1), L::ints(0));
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
    const Floats f = L::floats(grid.gridFraction);
    const Floats farthest = L::floats(kFarthestRunCoordinate);
    Ints ends = L::ints(0);
    for (int32_t j = 0; j < count; j += L::kCount) {
        // The pixels: lanes past `count` are not active, transparent ones not kept.
        const Mask active = L::firstLanes(count - j);
        const Ints position = L::sequence(first + j * step, step);
        const auto* at = reinterpret_cast<const unsigned char*>(line.pixel(first + j * step));
        LanePixels<L> px, next;
        loadPixels<Traits, L>(px, at, cellBytes * step, active);
        Mask kept;
        opaque<L>(kept, px.a);
        kept = L::bitAnd(active, kept);
        Mask interpolated = L::firstLanes(0);
        Ints own = px.luma;
        if (fraction) {
            readNeighbours<Traits, L>(next, kept, interpolated, own, at, cellBytes, step, position, active, f,
                                      lineLength, inputEnd);
        }

        // The run's target and length from the tables, by the brightness or the
        // layers' indexes. Entries too far out (or not finite) drop the lane, which
        // keeps every later cell index bounded.
        Ints velocityIndex = own, spreadIndex = own;
        if constexpr (Sources::kVelocityFromLayer) velocityIndex = L::load(runs.velocityIndex + j);
        if constexpr (Sources::kSpreadFromLayer) spreadIndex = L::load(runs.spreadIndex + j);
        Floats t = L::add(f, L::toFloats(position));
        const Floats velocity = L::gather(tables.velocityTable, velocityIndex, kept);
        const Floats offset = L::gather(tables.spreadOffsetTable, spreadIndex, kept);
        t = Sources::kSpreadOffsetFirst ? L::add(L::add(t, offset), velocity) : L::add(L::add(t, velocity), offset);
        const Floats length = L::gather(tables.spreadLengthTable, spreadIndex, kept);
        kept = L::bitAnd(kept, L::bitAnd(L::less(L::abs(t), farthest), L::less(L::abs(length), farthest)));

        Floats start, remaining, consumed = L::floats(0.0f);
        placeOnLine<Wrap, L>(start, remaining, consumed, kept, t, length, settings);

        // The colour, blended with the neighbour's like the brightness, and the
        // weight the run deposits.
        Floats alpha = px.a, r = px.r, g = px.g, b = px.b;
        if (fraction) {
            blend<L>(alpha, next.a, f, interpolated);
            blend<L>(r, next.r, f, interpolated);
            blend<L>(g, next.g, f, interpolated);
            blend<L>(b, next.b, f, interpolated);
        }
        Floats weight = alpha;
        if (fades) fadeWeights<L>(weight, alpha, position, settings);

        Ints cell, firstCells, wholeCells, lastCells;
        Floats share, rest;
        divideIntoCells<Wrap, L>(cell, firstCells, wholeCells, lastCells, share, rest, start, remaining, kept,
                                 settings);
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
