// The shading weight of each cell of one run: the mean of ten samples of the shading
// table, spaced evenly over the stretch of the run that the cell receives. The table
// spans the whole run, entry 0 at its start and entry 255 at its end.
//
// One rounding form for every build: the step between samples is the stretch times 0.1
// and the mean is the sum times 0.1f, the quotient 255 / L is taken once per run for the
// whole cells, and the first partial cell samples k * step. Dividing by 10 instead moves
// a sample by one entry where its position lies within rounding of a whole number, so
// every platform keeps to this one form and renders alike.
#pragma once

#include <cstdint>

#include "render/lanes.h"
#include "render/shading_table.h"

constexpr int kShadeSamplesPerCell = 10;

struct ShadeSamples {
    int index[kShadeSamplesPerCell];
};

// A sample position as a table index. Positions of well-formed runs lie in 0..255; a
// run shorter than its first partial cell (only from parameters outside their ranges)
// would reach past either end, so positions are held to the table, NaN counting as 0.
inline int shadeSampleIndex(float position) {
    float held = position > 0.0f ? position : 0.0f;
    held = held < 255.0f ? held : 255.0f;
    return int(held);
}

inline float shadeFactor(const float* shadingTable, const ShadeSamples& samples) {
    float sum = shadingTable[samples.index[0]];
    for (int k = 1; k < kShadeSamplesPerCell; ++k) sum += shadingTable[samples.index[k]];
    return sum * 0.1f;
}

// The shading state of one run as its cells are deposited in order: an optional first
// partial cell, whole cells, an optional last partial cell. `consumed` is how much of
// the run lies before its first deposited cell: 0, or for a run clipped at the line
// start the clipped part, so that its cells keep the shading of their true place.
class ShadedRun {
public:
    static constexpr bool kWholeCellsAlike = false;

    ShadedRun(const float* shadingTable, float length, float consumed)
        : table_(shadingTable), length_(length), consumed_(consumed), hasLength_(length > 0.0f),
          perCell_(hasLength_ ? 255.0 / double(length) : 0.0), cellStart_(float(double(consumed) * perCell_)) {}

    // The first cell, when the run starts inside it and covers `share` of it.
    ShadeSamples firstPartialSamples(float share) {
        ShadeSamples samples{};
        if (hasLength_) {
            float width = float(double(share) * 255.0 / double(length_));
            float step = float(double(width) * 0.1);
            for (int k = 1; k < kShadeSamplesPerCell; ++k) {
                samples.index[k] = shadeSampleIndex(float(k) * step);
            }
        }
        consumed_ = share;
        cellStart_ = float(double(consumed_) * perCell_);
        return samples;
    }

    // The next whole cell; the run moves on by one cell.
    // A cell's end is the next cell's start, computed alike, so it is kept.
    ShadeSamples wholeCellSamples() {
        const float start = cellStart_;
        consumed_ = consumed_ + 1.0f;
        cellStart_ = float(double(consumed_) * perCell_);
        return runningSamples(start, float(double(cellStart_ - start) * 0.1));
    }

    // The last cell, whatever is left of the run: its samples reach toward entry 255.
    ShadeSamples lastPartialSamples() const {
        float start = hasLength_ ? float(double(consumed_) * 255.0 / double(length_)) : 0.0f;
        return runningSamples(start, float(double(255.0f - start) * 0.1));
    }

    // The deposit's view: each takes the cell's unshaded amount and returns it weighted.
    float firstCell(float share, float amount) { return shadeFactor(table_, firstPartialSamples(share)) * amount; }
    float wholeCell(float amount) { return shadeFactor(table_, wholeCellSamples()) * amount; }
    float lastCell(float amount) const { return shadeFactor(table_, lastPartialSamples()) * amount; }

    // The next `count` whole cells, in order: deposit(k, amount) for k = 0 .. count - 1,
    // each amount weighted as wholeCell weights it.
    template <class Lanes = Sse2Lanes, class Deposit>
    void wholeCells(int32_t count, float amount, Deposit&& deposit) {
        constexpr int32_t kLanes = Lanes::kCount;
        int32_t k = 0;
        // In batches: first every sample index of the batch, a vector of cells at a
        // time, then the sums and the deposits. A cell's ten samples are two long
        // chains of dependent additions (positions, then the sum); apart, the
        // processor overlaps many cells' chains.
        if (hasLength_) {
            while (k < count) {
                const int32_t cells = count - k < kShadeBatch ? count - k : kShadeBatch;
                alignas(64) int32_t index[kShadeBatch / kLanes][kShadeSamplesPerCell][kLanes];
                for (int32_t j = 0; j < cells; j += kLanes) {
                    nextWholeCellIndices<Lanes>(index[j / kLanes], cells - j < kLanes ? cells - j : kLanes);
                }
                for (int32_t j = 0; j < cells; ++j) {
                    const int32_t(&block)[kShadeSamplesPerCell][kLanes] = index[j / kLanes];
                    const int32_t lane = j % kLanes;
                    float sum = table_[block[0][lane]];
                    for (int n = 1; n < kShadeSamplesPerCell; ++n) sum += table_[block[n][lane]];
                    deposit(k + j, (sum * 0.1f) * amount);
                }
                k += cells;
            }
        }
        for (; k < count; ++k) deposit(k, wholeCell(amount));
    }

private:
    static constexpr int32_t kShadeBatch = 32;

    // wholeCellSamples for the next `cells` (1 to Lanes::kCount) whole cells at once,
    // one cell per lane, into index[sample][lane]. Each lane performs the very float
    // and double steps of the single cell, in the same order; only the consumed
    // lengths stay a chain, as each is the previous one plus 1. Lanes past `cells`
    // sample beyond the run, held to the table like any stray position, and are not
    // used.
    template <class Lanes>
    void nextWholeCellIndices(int32_t (*index)[Lanes::kCount], int32_t cells) {
        constexpr int32_t kLanes = Lanes::kCount;
        // Lane j: consumed_ plus 1, j + 1 times over, in registers (a vector read back
        // from scalar stores would wait for them all).
        const auto one = Lanes::floats(1.0f);
        const auto all = Lanes::lanes(kLanes);
        auto consumedAfter = Lanes::add(Lanes::floats(consumed_), one);
        for (int32_t j = 1; j < kLanes; ++j) {
            consumedAfter = Lanes::select(Lanes::firstButNot(all, Lanes::lanes(j)), Lanes::add(consumedAfter, one),
                                          consumedAfter);
        }
        // Each cell starts where the one before it ends; the first where the run stands.
        const auto ends = Lanes::timesInDouble(consumedAfter, perCell_);
        const auto starts = Lanes::shiftInFirst(ends, cellStart_);
        const auto steps = Lanes::timesInDouble(Lanes::sub(ends, starts), 0.1);
        alignas(64) float consumedLanes[kLanes], endLanes[kLanes];
        Lanes::store(consumedLanes, consumedAfter);
        Lanes::store(endLanes, ends);

        // Positions as running sums, each held to the table as shadeSampleIndex holds
        // it: max takes 0 for a NaN position, min caps at 255.
        const auto zero = Lanes::floats(0.0f), last = Lanes::floats(255.0f);
        auto position = starts;
        for (int n = 0; n < kShadeSamplesPerCell; ++n) {
            if (n > 0) position = Lanes::add(position, steps);
            Lanes::store(index[n], Lanes::truncate(Lanes::min(Lanes::max(position, zero), last)));
        }
        consumed_ = consumedLanes[cells - 1];
        cellStart_ = endLanes[cells - 1];
    }

    // Positions as running sums from the start: each addition rounds on its own. The
    // sums move one way, so when both ends lie in the table every position does and
    // none needs holding (the usual case, and the cheap one).
    ShadeSamples runningSamples(float start, float step) const {
        ShadeSamples samples{};
        if (!hasLength_) return samples;
        float position[kShadeSamplesPerCell];
        position[0] = start;
        for (int k = 1; k < kShadeSamplesPerCell; ++k) position[k] = position[k - 1] + step;
        const float last = position[kShadeSamplesPerCell - 1];
        if (start >= 0.0f && start < 256.0f && last >= 0.0f && last < 256.0f) {
            for (int k = 0; k < kShadeSamplesPerCell; ++k) samples.index[k] = int(position[k]);
        } else {
            for (int k = 0; k < kShadeSamplesPerCell; ++k) samples.index[k] = shadeSampleIndex(position[k]);
        }
        return samples;
    }

    const float* table_;
    float length_;
    float consumed_;
    bool hasLength_;
    double perCell_;
    float cellStart_;  // table position where the next whole cell starts
};
