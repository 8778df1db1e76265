// Neighbouring pixels of a line often melt into runs of one length starting at one
// place within a cell (same brightness, and a start whose fraction does not change
// over a stretch of the line). Their cells then have the same shading factors in the
// same order, and sampling the table ten times per cell is most of a shaded render.
// A few recent runs of the line keep their factors, so that a repeated run replays
// them. Runs are matched on the bit patterns of everything that shapes the factors,
// so a replayed factor is the very value the run would compute.
#pragma once

#include <cstdint>
#include <cstring>

#include "render/shaded_run.h"

constexpr int32_t kCachedRunCells = 256;  // whole cells kept per run; longer runs compute the rest
constexpr int32_t kCachedRuns = 8;

// What the factors of a run depend on, besides the shading table of the call.
struct ShadeRunKey {
    uint32_t length;
    uint32_t consumed;
    uint32_t share;  // 0 without a first partial cell
    bool hasShare;
    bool operator==(const ShadeRunKey& o) const {
        return length == o.length && consumed == o.consumed && share == o.share && hasShare == o.hasShare;
    }
};

inline uint32_t floatBits(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// The factors of one run, filled as far as a run with this key has gone.
struct CachedRunFactors {
    ShadeRunKey key;
    float first;          // the first partial cell's, when the key has one
    int32_t wholeKnown;   // whole cells whose factors are in `whole`
    ShadedRun next{nullptr, 0.0f, 0.0f};  // the run as it stands after those cells
    int32_t lastAfter;    // whole cells before the last partial cell `last` is for; -1 none yet
    float last;
    float whole[kCachedRunCells];

    // Computes whole-cell factors up to `cells`, as the run's own batches compute them.
    template <class Lanes = Sse2Lanes>
    void extendTo(int32_t cells) {
        if (wholeKnown >= cells) return;
        next.template wholeCellWeights<Lanes>(cells - wholeKnown, whole + wholeKnown);
        wholeKnown = cells;
    }
};

class ShadeFactorCache {
public:
    explicit ShadeFactorCache(const float* shadingTable, ShadeSums* sums = nullptr)
        : table_(shadingTable), sums_(sums) {
        for (bool& u : used_) u = false;
    }

    const float* table() const { return table_; }
    ShadeSums* sums() const { return sums_; }

    // The entry for this run, started afresh (evicting whatever held its slot) on a miss.
    CachedRunFactors& find(float length, float consumed, bool hasShare, float share) {
        const ShadeRunKey key{floatBits(length), floatBits(consumed), hasShare ? floatBits(share) : 0u, hasShare};
        const uint32_t mix = (key.length ^ (key.share * 0x9E3779B1u) ^ (key.consumed * 0x85EBCA77u)) * 0x9E3779B1u;
        const int32_t slot = int32_t(mix >> 29);  // kCachedRuns == 8
        CachedRunFactors& entry = runs_[slot];
        if (used_[slot] && entry.key == key) return entry;
        used_[slot] = true;
        entry.key = key;
        entry.next = ShadedRun(table_, length, consumed, sums_);
        entry.first = hasShare ? shadeFactor(table_, entry.next.firstPartialSamples(share)) : 0.0f;
        entry.wholeKnown = 0;
        entry.lastAfter = -1;
        return entry;
    }

private:
    const float* table_;
    ShadeSums* sums_;
    bool used_[kCachedRuns];
    CachedRunFactors runs_[kCachedRuns];
};

// A shaded run that takes its factors from the cache: the same interface and the
// same amounts, cell for cell, as ShadedRun.
class CachedShadedRun {
public:
    static constexpr bool kWholeCellsAlike = false;

    CachedShadedRun(ShadeFactorCache& cache, float length, float consumed)
        : cache_(cache), length_(length), consumed_(consumed) {}

    float firstCell(float share, float amount) {
        factors_ = &cache_.find(length_, consumed_, true, share);
        return factors_->first * amount;
    }

    template <class Lanes = Sse2Lanes, class Deposit>
    void wholeCells(int32_t count, float amount, Deposit&& deposit) {
        int32_t k = 0;
        if (done_ < kCachedRunCells) {
            CachedRunFactors& f = factors();
            const int32_t upTo = done_ + count < kCachedRunCells ? done_ + count : kCachedRunCells;
            f.template extendTo<Lanes>(upTo);
            for (; done_ < upTo; ++done_, ++k) deposit(k, f.whole[done_] * amount);
            if (done_ == kCachedRunCells) beyond_ = f.next;  // any further cells are computed on from here
            if (k == count) return;
        }
        beyond_.template wholeCells<Lanes>(count - k, amount, [&](int32_t j, float a) { deposit(k + j, a); });
        done_ += count - k;
    }

    float lastCell(float amount) {
        if (done_ > kCachedRunCells) return beyond_.lastCell(amount);
        CachedRunFactors& f = factors();
        if (f.lastAfter != done_) {
            f.last = runAfterWholeCells(f).lastCell(1.0f);
            f.lastAfter = done_;
        }
        return f.last * amount;
    }

private:
    CachedRunFactors& factors() {
        if (factors_ == nullptr) factors_ = &cache_.find(length_, consumed_, false, 0.0f);
        return *factors_;
    }

    // The run as it stands after done_ whole cells. The entry's own state is that
    // one unless an earlier run of this key went further (it never does unless
    // cut short at the buffer's end, which deposits no last cell).
    ShadedRun runAfterWholeCells(const CachedRunFactors& f) const {
        if (f.wholeKnown == done_) return f.next;
        ShadedRun run(cache_.table(), length_, consumed_, cache_.sums());
        if (f.key.hasShare) {
            float share;
            std::memcpy(&share, &f.key.share, sizeof share);
            run.firstPartialSamples(share);
        }
        run.wholeCells(done_, 1.0f, [](int32_t, float) {});
        return run;
    }

    ShadeFactorCache& cache_;
    float length_;
    float consumed_;
    CachedRunFactors* factors_ = nullptr;
    int32_t done_ = 0;  // whole cells deposited
    ShadedRun beyond_{nullptr, 0.0f, 0.0f};  // past the kept cells
};
