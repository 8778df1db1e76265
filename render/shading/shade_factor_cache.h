// Runs of one length that start at one place within a cell have the same shading
// factors in the same order, and sampling the table ten times per cell is most of a
// shaded render. Such runs recur all over a frame: a run's length and where it
// starts within its cell follow the pixel's brightness, so a frame makes a few
// thousand kinds of run, whatever its size. The kernel call keeps the factors of
// the runs it has met, so that a repeated run replays them. Runs are matched on the
// bit patterns of everything that shapes the factors, so a replayed factor is the
// very value the run would compute.
//
// A whole cell's factor is the mean of its ten samples, and it is found in up to
// three steps, each taken only where the one before has no answer:
//   1. CachedShadedRun: a run of a kind the call has met replays the factors its
//      kind left in this cache's ring (the first kCachedRunCells whole cells).
//   2. ShadedRun::wholeCellWeights, for cells the ring does not hold yet: a batch of
//      cells finds where each samples, a vector of cells at a time; a cell whose
//      samples climb by at most one entry at a time reads its weight from ShadeSums
//      (render/shading/shade_sums.h), which sums each pattern of climbs once for
//      every start.
//   3. Any other cell adds its ten samples itself.
// The ring saves step 2's sampling for runs that recur (most of a natural frame);
// ShadeSums saves the ten additions for long runs that do not.
#pragma once

#include <cstdint>
#include <cstring>

#include "render/shading/shaded_run.h"

constexpr int32_t kCachedRunCells = 256;  // whole cells kept per run; longer runs compute the rest

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

inline float bitsFloat(uint32_t bits) {
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// The factors of one kind of run, as far as a run of this kind has gone. Its
// whole-cell factors lie in the cache's ring, `room` cells from `at` on.
struct CachedRunFactors {
    ShadeRunKey key;
    float first;                 // the first partial cell's, when the key has one
    int32_t wholeKnown;          // whole cells whose factors are in the ring
    int32_t room;
    int32_t lastAfter;           // whole cells before the last partial cell `last` is for; -1 none yet
    float last;
    ShadedRunProgress next;      // the run as it stands after the known cells
    int64_t at;                  // counted in cells ever placed in the ring
};

// The factors of the runs one kernel call has met. Whole-cell factors lie in one
// ring, each run's in one stretch of it, and a stretch is lost when the ring comes
// round to it again. A run replayed from the older half of the ring is copied
// ahead, so that the runs a frame keeps making stay while the others make room.
// The entries and the ring lie in room the kernel call lends; a cache without room
// keeps no run.
template <ShadeForm Form = kShadeForm>
class ShadeFactorCache {
public:
    static constexpr int32_t kFullSets = 512;          // two kinds of run to a set
    static constexpr int32_t kFullRingCells = 32768;  // 128 KB
    static constexpr int32_t kSmallestRingCells = 4 * kCachedRunCells;

    // The bytes of room that `sets` sets and a ring of `ringCells` take, both powers
    // of two.
    static constexpr size_t bytesFor(int32_t sets, int32_t ringCells) {
        return sizeof(CachedRunFactors) * 2 * size_t(sets) + sizeof(float) * size_t(ringCells);
    }

    // No room: every run computes its own factors.
    explicit ShadeFactorCache(const float* shadingTable, ShadeSums<Form>* sums = nullptr)
        : table_(shadingTable), sums_(sums) {}

    // `room`: bytesFor(sets, ringCells) bytes, aligned for the entries.
    ShadeFactorCache(const float* shadingTable, ShadeSums<Form>* sums, void* room, int32_t sets, int32_t ringCells)
        : table_(shadingTable), sums_(sums), entries_(static_cast<CachedRunFactors*>(room)),
          ring_(reinterpret_cast<float*>(entries_ + 2 * sets)), setShift_(32 - bitCount(sets)),
          ringCells_(ringCells), entryCount_(2 * sets) {
        clear();
    }

    const float* table() const { return table_; }
    ShadeSums<Form>* sums() const { return sums_; }
    bool keepsRuns() const { return ring_ != nullptr; }
    int32_t ringCells() const { return ringCells_; }

    // Forgets every run: later factors are computed from the table as it is then.
    void clear() {
        for (int32_t i = 0; i < entryCount_; ++i) entries_[i].at = kNever;
        placed_ = 0;
    }

    // The entry for this run, started afresh (evicting the older of its set) on a miss.
    CachedRunFactors& find(float length, float consumed, bool hasShare, float share) {
        const ShadeRunKey key{floatBits(length), floatBits(consumed), hasShare ? floatBits(share) : 0u, hasShare};
        const uint32_t mix = (key.length ^ (key.share * 0x9E3779B1u) ^ (key.consumed * 0x85EBCA77u)) * 0x9E3779B1u;
        CachedRunFactors* const set = entries_ + 2 * (setShift_ < 32 ? mix >> setShift_ : 0u);
        for (int way = 0; way < 2; ++way) {
            if (held(set[way]) && set[way].key == key) {
                if (placed_ - set[way].at > ringCells_ / 2) place(set[way], set[way].room);
                return set[way];
            }
        }
        CachedRunFactors& entry = !held(set[0])   ? set[0]
                                  : !held(set[1]) ? set[1]
                                  : set[0].at < set[1].at ? set[0] : set[1];
        ShadedRun<Form> run(table_, length, consumed, sums_);
        entry.key = key;
        entry.first = hasShare ? shadeFactor<Form>(table_, run.firstPartialSamples(share)) : 0.0f;
        entry.next = run.progress();
        entry.wholeKnown = 0;
        entry.room = 0;
        entry.lastAfter = -1;
        entry.at = placed_;
        return entry;
    }

    // The entry's whole-cell factors, known up to `cells` (at most kCachedRunCells),
    // computed as the run's own batches compute them.
    template <class Lanes = Sse2Lanes>
    const float* wholeFactors(CachedRunFactors& entry, int32_t cells) {
        if (cells > entry.room) place(entry, cells);
        float* const whole = ring_ + (entry.at & (ringCells_ - 1));
        if (entry.wholeKnown < cells) {
            ShadedRun<Form> run = runAfter(entry, entry.wholeKnown);
            run.template wholeCellWeights<Lanes>(cells - entry.wholeKnown, whole + entry.wholeKnown);
            entry.next = run.progress();
            entry.wholeKnown = cells;
        }
        return whole;
    }

    // A run of the entry's kind as it stands after `wholeCells` whole cells: the
    // entry's own state after its known cells, else worked out from the start (an
    // earlier run of the kind went further only when cut short at the buffer's end,
    // which deposits no last cell).
    ShadedRun<Form> runAfter(const CachedRunFactors& entry, int32_t wholeCells) const {
        ShadedRun<Form> run(table_, bitsFloat(entry.key.length), bitsFloat(entry.key.consumed), sums_);
        if (entry.wholeKnown == wholeCells) {
            run.resume(entry.next);
            return run;
        }
        if (entry.key.hasShare) run.firstPartialSamples(bitsFloat(entry.key.share));
        run.wholeCells(wholeCells, 1.0f, [](int32_t, float) {});
        return run;
    }

private:
    static constexpr int64_t kNever = INT64_MIN;

    static constexpr int32_t bitCount(int32_t powerOfTwo) {
        int32_t bits = 0;
        while ((int32_t(1) << bits) < powerOfTwo) ++bits;
        return bits;
    }

    // Whether the ring still holds the entry's stretch.
    bool held(const CachedRunFactors& entry) const { return entry.at >= placed_ - ringCells_; }

    // Gives the entry a new stretch of `room` cells at the front of the ring, with its
    // known factors. A stretch never wraps round the ring's end, so the old and the
    // new one are plain spans, which may overlap.
    void place(CachedRunFactors& entry, int32_t room) {
        int64_t at = placed_;
        const int64_t mask = ringCells_ - 1;
        if ((at & mask) + room > ringCells_) at += ringCells_ - (at & mask);
        std::memmove(ring_ + (at & mask), ring_ + (entry.at & mask), size_t(entry.wholeKnown) * sizeof(float));
        placed_ = at + room;
        entry.at = at;
        entry.room = room;
    }

    const float* table_;
    ShadeSums<Form>* sums_;
    CachedRunFactors* entries_ = nullptr;
    float* ring_ = nullptr;
    int32_t setShift_ = 32;
    int32_t ringCells_ = 0;
    int32_t entryCount_ = 0;
    int64_t placed_ = 0;
};

// A shaded run that takes its factors from the cache: the same interface and the
// same amounts, cell for cell, as ShadedRun. Without room in the cache it is a
// ShadedRun from its first cell on.
template <ShadeForm Form = kShadeForm>
class CachedShadedRun {
public:
    static constexpr bool kWholeCellsAlike = false;
    static constexpr ShadeForm kForm = Form;

    CachedShadedRun(ShadeFactorCache<Form>& cache, float length, float consumed)
        : cache_(cache), length_(length), consumed_(consumed) {
        if (!cache.keepsRuns()) {
            done_ = kComputed;
            beyond_ = ShadedRun<Form>(cache.table(), length, consumed, cache.sums());
        }
    }

    float firstCell(float share, float amount) {
        if (done_ == kComputed) return beyond_.firstCell(share, amount);
        factors_ = &cache_.find(length_, consumed_, true, share);
        return factors_->first * amount;
    }

    template <class Lanes = Sse2Lanes, class Deposit>
    void wholeCells(int32_t count, float amount, Deposit&& deposit) {
        int32_t k = 0;
        if (done_ < kCachedRunCells) {
            CachedRunFactors& f = factors();
            const int32_t upTo = done_ + count < kCachedRunCells ? done_ + count : kCachedRunCells;
            const float* const whole = cache_.template wholeFactors<Lanes>(f, upTo);
            for (; done_ < upTo; ++done_, ++k) deposit(k, whole[done_] * amount);
            if (done_ == kCachedRunCells) beyond_ = cache_.runAfter(f, done_);  // further cells are computed on
            if (k == count) return;
        }
        beyond_.template wholeCells<Lanes>(count - k, amount, [&](int32_t j, float a) { deposit(k + j, a); });
        if (done_ != kComputed) done_ += count - k;
    }

    // The weights of the next `count` whole cells, in order, into amounts[0 .. count - 1],
    // times `amount` when kTimesAmount, as ShadedRun gives them.
    template <class Lanes, bool kTimesAmount>
    void wholeCellAmounts(int32_t count, float* amounts, float amount) {
        int32_t k = 0;
        if (done_ < kCachedRunCells) {
            CachedRunFactors& f = factors();
            const int32_t upTo = done_ + count < kCachedRunCells ? done_ + count : kCachedRunCells;
            const float* const whole = cache_.template wholeFactors<Lanes>(f, upTo);
            k = upTo - done_;
            copyFloats<Lanes, kTimesAmount>(amounts, whole + done_, k, amount);
            done_ = upTo;
            if (done_ == kCachedRunCells) beyond_ = cache_.runAfter(f, done_);  // further cells are computed on
            if (k == count) return;
        }
        beyond_.template wholeCellAmounts<Lanes, kTimesAmount>(count - k, amounts + k, amount);
        if (done_ != kComputed) done_ += count - k;
    }

    float lastCell(float amount) {
        if (done_ > kCachedRunCells) return beyond_.lastCell(amount);
        CachedRunFactors& f = factors();
        if (f.lastAfter != done_) {
            f.last = cache_.runAfter(f, done_).lastCell(1.0f);
            f.lastAfter = done_;
        }
        return f.last * amount;
    }

private:
    static constexpr int32_t kComputed = INT32_MAX;  // done_ of a run the cache has no room for

    CachedRunFactors& factors() {
        if (factors_ == nullptr) factors_ = &cache_.find(length_, consumed_, false, 0.0f);
        return *factors_;
    }

    ShadeFactorCache<Form>& cache_;
    float length_;
    float consumed_;
    CachedRunFactors* factors_ = nullptr;
    int32_t done_ = 0;  // whole cells deposited
    ShadedRun<Form> beyond_{nullptr, 0.0f, 0.0f};  // past the kept cells
};
