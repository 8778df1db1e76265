// The shading weight of each cell of one run: the mean of ten samples of the shading
// table, spaced evenly over the stretch of the run that the cell receives. The table
// spans the whole run, entry 0 at its start and entry 255 at its end. The samples are
// rounded in the build's form (render/shading/shade_form.h) unless a caller names the other.
#pragma once

#include <cstdint>

#include "render/paths/lanes.h"
#include "render/shading/shade_form.h"
#include "render/shading/shade_sums.h"
#include "render/shading/shading_table.h"

// A sample position as a table index. Positions of well-formed runs lie in 0..255; a
// run shorter than its first partial cell (only from parameters outside their ranges)
// would reach past either end, so positions are held to the table, NaN counting as 0.
inline int shadeSampleIndex(float position) {
    float held = position > 0.0f ? position : 0.0f;
    held = held < 255.0f ? held : 255.0f;
    return int(held);
}

// Where a run stands between cells: enough, with its length, consumed length at the
// start and the table, to take it up again where it stopped.
struct ShadedRunProgress {
    float consumed;
    float cellStart;  // table position where the next whole cell starts
};

// The shading state of one run as its cells are deposited in order: an optional first
// partial cell, whole cells, an optional last partial cell. `consumed` is how much of
// the run lies before its first deposited cell: 0, or for a run clipped at the line
// start the clipped part, so that its cells keep the shading of their true place.
// `Form`: how its samples and weights are rounded.
template <ShadeForm Form = kShadeForm>
class ShadedRun {
public:
    static constexpr bool kWholeCellsAlike = false;
    static constexpr ShadeForm kForm = Form;

    // With `sums`, whole cells whose samples climb one entry at most take their
    // weights from it (the same values); without, every cell sums its samples.
    ShadedRun(const float* shadingTable, float length, float consumed, ShadeSums<Form>* sums = nullptr)
        : table_(shadingTable), sums_(sums), length_(length), consumed_(consumed), hasLength_(length > 0.0f),
          perCell_(hasLength_ ? 255.0 / double(length) : 0.0), cellStart_(float(double(consumed) * perCell_)) {}

    // The first cell, when the run starts inside it and covers `share` of it.
    ShadeSamples firstPartialSamples(float share) {
        ShadeSamples samples{};
        if (hasLength_) {
            if constexpr (Form == ShadeForm::kMultiplying) {
                const float step = tenthOf(float(double(share) * 255.0 / double(length_)));
                for (int k = 1; k < kShadeSamplesPerCell; ++k) samples.index[k] = shadeSampleIndex(float(k) * step);
            } else {
                const float step = tenthOf(float(double(share) * perCell_));
                float position = 0.0f;
                for (int k = 1; k < kShadeSamplesPerCell; ++k) {
                    position = position + step;
                    samples.index[k] = shadeSampleIndex(position);
                }
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
        return runningSamples(start, tenthOf(cellStart_ - start));
    }

    // The last cell, whatever is left of the run: its samples reach toward entry 255.
    ShadeSamples lastPartialSamples() const {
        float start = 0.0f;
        if (hasLength_) {
            start = Form == ShadeForm::kMultiplying ? float(double(consumed_) * 255.0 / double(length_))
                                                    : float(double(consumed_) * perCell_);
        }
        return runningSamples(start, tenthOf(255.0f - start));
    }

    // How much of the run lies before its next cell.
    float consumed() const { return consumed_; }

    using Progress = ShadedRunProgress;
    Progress progress() const { return {consumed_, cellStart_}; }
    void resume(Progress at) { consumed_ = at.consumed, cellStart_ = at.cellStart; }

    // The deposit's view: each takes the cell's unshaded amount and returns it weighted.
    float firstCell(float share, float amount) { return factorOf(firstPartialSamples(share)) * amount; }
    float wholeCell(float amount) { return factorOf(wholeCellSamples()) * amount; }
    float lastCell(float amount) const { return factorOf(lastPartialSamples()) * amount; }

    // The next `count` whole cells, in order: deposit(k, amount) for k = 0 .. count - 1,
    // each amount weighted as wholeCell weights it.
    template <class Lanes = Sse2Lanes, class Deposit>
    void wholeCells(int32_t count, float amount, Deposit&& deposit) {
        alignas(64) float weights[kShadeBatch];
        for (int32_t k = 0; k < count; k += kShadeBatch) {
            const int32_t cells = count - k < kShadeBatch ? count - k : kShadeBatch;
            wholeCellWeights<Lanes>(cells, weights);
            for (int32_t j = 0; j < cells; ++j) deposit(k + j, weights[j] * amount);
        }
    }

    // The weights of the next `count` whole cells, in order, into amounts[0 .. count - 1],
    // times `amount` when kTimesAmount.
    template <class Lanes, bool kTimesAmount>
    void wholeCellAmounts(int32_t count, float* amounts, float amount) {
        wholeCellWeights<Lanes>(count, amounts);
        if constexpr (kTimesAmount) copyFloats<Lanes, true>(amounts, amounts, count, amount);
    }

    // The weights of the next `count` whole cells, in order, into weights[0 .. count - 1].
    template <class Lanes = Sse2Lanes>
    void wholeCellWeights(int32_t count, float* weights) {
        if (!hasLength_) {
            for (int32_t k = 0; k < count; ++k) weights[k] = factorOf(wholeCellSamples());
            return;
        }
        // In batches: first where every cell of the batch samples, a vector of cells
        // at a time, then the weights. Apart, the processor overlaps many cells'
        // chains of additions, and a cell's samples are read back long after they
        // were stored.
        for (int32_t k = 0; k < count; k += kShadeBatch) {
            const int32_t cells = count - k < kShadeBatch ? count - k : kShadeBatch;
            alignas(64) WholeCellBatch batch;
            planWholeCells<Lanes>(batch, cells);
            float* const out = weights + k;
            // summedWeight is compiled for no path of its own.
            if (sums_ != nullptr) {
                for (int32_t j = 0; j < cells; ++j) {
                    if (batch.climbs[j] >= 0) {
                        out[j] = sums_->template weight<Lanes>(table_, batch.first[j], batch.climbs[j]);
                    } else {
                        Lanes::zeroUpper();
                        out[j] = summedWeight(batch.start[j], batch.step[j]);
                    }
                }
            } else {
                for (int32_t j = 0; j < cells; ++j) {
                    Lanes::zeroUpper();
                    out[j] = summedWeight(batch.start[j], batch.step[j]);
                }
            }
        }
    }

private:
    static constexpr int32_t kShadeBatch = 128;  // a multiple of every path's lanes

    // Where each cell of a batch samples: its start and step, its first sample's
    // index and the pattern of its climbs as ShadeSums takes it, or -1 for a cell
    // that sums its own samples.
    struct WholeCellBatch {
        alignas(64) float start[kShadeBatch];
        alignas(64) float step[kShadeBatch];
        alignas(64) int32_t first[kShadeBatch];
        alignas(64) int32_t climbs[kShadeBatch];
    };

    // Where the next `cells` (1 to kShadeBatch) whole cells sample, a vector of cells
    // at a time, one cell per lane. Each lane performs the very float and double
    // steps of wholeCellSamples, in the same order. Lanes past `cells` sample beyond
    // the run and are not used.
    template <class Lanes>
    void planWholeCells(WholeCellBatch& batch, int32_t cells) {
        constexpr int32_t kLanes = Lanes::kCount;
        // The run as it stands before each vector: its consumed length in every lane,
        // and where its next cell starts in the last lane.
        auto consumed = Lanes::floats(consumed_);
        auto ends = Lanes::floats(cellStart_);
        for (int32_t j = 0; j < cells; j += kLanes) {
            const auto consumedAfter = consumedAfterCells<Lanes>(consumed);
            // Each cell starts where the one before it ends.
            const auto cellEnds = Lanes::timesInDouble(consumedAfter, perCell_);
            const auto starts = Lanes::shiftInLast(cellEnds, ends);
            const auto steps = Lanes::timesInDouble(Lanes::sub(cellEnds, starts), 0.1);  // tenthOf, lane by lane
            Lanes::store(batch.start + j, starts);
            Lanes::store(batch.step + j, steps);
            typename Lanes::Ints first, climbs;
            climbPatterns<Lanes>(starts, steps, first, climbs);
            Lanes::store(batch.first + j, first);
            Lanes::store(batch.climbs + j, climbs);

            if (j + kLanes >= cells) {
                // The run moves on to the end of the batch's last cell.
                alignas(64) float consumedLanes[kLanes], endLanes[kLanes];
                Lanes::store(consumedLanes, consumedAfter);
                Lanes::store(endLanes, cellEnds);
                consumed_ = consumedLanes[cells - 1 - j];
                cellStart_ = endLanes[cells - 1 - j];
            }
            consumed = Lanes::lastLanes(consumedAfter);
            ends = cellEnds;
        }
    }

    // Each lane's first sample index and its pattern of climbs as ShadeSums takes it,
    // or -1 in `climbs` where the cell must sum its own samples.
    //
    // Positions are running sums. A lane takes its weight from ShadeSums when its
    // indexes climb by 0 or 1 each and need no holding to the table. That holds when
    // it starts in 0..256 with a step of 0 to 0.99: each sum then lies at or above
    // the one before and, as below 266 a sum rounds by far less than the 0.01 to
    // spare, below the whole number after next; so each index is at most one above
    // the one before, and a last index of 255 or less bounds them all.
    //
    // The pattern is the sum of the climbs, climb n (from index n - 1 to index n) in
    // bit n - 1. With each climb 0 or 1 it is, term by term, the sum of 2^(n - 1) x
    // (index n - index n - 1) over n = 1 .. 9: 256 x the last index, less the first,
    // less 2^(n - 1) x each index n between.
    template <class Lanes>
    __attribute__((always_inline)) static void climbPatterns(const typename Lanes::Floats& starts,
                                                             const typename Lanes::Floats& steps,
                                                             typename Lanes::Ints& first,
                                                             typename Lanes::Ints& climbs) {
        const auto zero = Lanes::floats(0.0f), entries = Lanes::floats(256.0f), nearOne = Lanes::floats(0.99f);
        auto position = starts;
        first = Lanes::truncate(position);
        auto pattern = Lanes::sub(Lanes::ints(0), first);
        auto sample = first;
        for (int n = 1; n < kShadeSamplesPerCell; ++n) {
            position = Lanes::add(position, steps);
            sample = Lanes::truncate(position);
            if (n < kShadeSamplesPerCell - 1) pattern = Lanes::sub(pattern, Lanes::shiftLeft(sample, n - 1));
        }
        pattern = Lanes::add(pattern, Lanes::shiftLeft(sample, kShadeSamplesPerCell - 2));
        const auto startsInside = Lanes::bitAnd(Lanes::lessOrEqual(zero, starts), Lanes::lessOrEqual(starts, entries));
        const auto stepsBelowOne = Lanes::bitAnd(Lanes::lessOrEqual(zero, steps), Lanes::lessOrEqual(steps, nearOne));
        const auto steady = Lanes::bitAnd(Lanes::bitAnd(startsInside, stepsBelowOne),
                                          Lanes::less(sample, Lanes::ints(kShadingTableSize)));
        climbs = Lanes::select(steady, pattern, Lanes::ints(-1));
    }

    // Lane j: `consumed` (alike in every lane) plus 1, j + 1 times over, each addition
    // rounded on its own. When none rounds, one addition of j + 1 gives the same. It
    // shows in the sum less `consumed`, which is exact once `consumed` is at least the
    // lane count (the sum is then at most twice it). Only vectors that start below
    // that or reach a new power of two take the chain.
    template <class Lanes>
    static typename Lanes::Floats consumedAfterCells(typename Lanes::Floats consumed) {
        constexpr int32_t kLanes = Lanes::kCount;
        const auto added = Lanes::toFloats(Lanes::sequence(1, 1));
        const auto direct = Lanes::add(consumed, added);
        const bool exact = !Lanes::any(Lanes::bitOr(Lanes::less(consumed, Lanes::floats(float(kLanes))),
                                                     Lanes::notEqual(Lanes::sub(direct, consumed), added)));
        if (exact) return direct;
        const auto one = Lanes::floats(1.0f);
        const auto all = Lanes::firstLanes(kLanes);
        auto after = Lanes::add(consumed, one);
        for (int32_t j = 1; j < kLanes; ++j) {
            after = Lanes::select(Lanes::andNot(all, Lanes::firstLanes(j)), Lanes::add(after, one), after);
        }
        return after;
    }

    // A whole cell's weight from its ten samples.
    __attribute__((noinline)) float summedWeight(float start, float step) const {
        return factorOf(runningSamples(start, step));
    }

    float factorOf(const ShadeSamples& samples) const { return shadeFactor<Form>(table_, samples); }

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
    ShadeSums<Form>* sums_;
    float length_;
    float consumed_;
    bool hasLength_;
    double perCell_;
    float cellStart_;  // table position where the next whole cell starts
};
