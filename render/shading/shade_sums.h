// The weights of cells whose ten sample indexes climb by no more than one entry
// from each to the next, which is almost every cell of a run longer than about 26
// cells (its samples lie less than one entry apart). Such a cell's indexes are its
// first index and the nine climbs, a pattern of nine bits; cells of one pattern
// differ only in where they start. So each pattern a call meets is summed once for
// every start, the ten samples added in sample order as any cell adds them, and a
// cell reads its weight instead of adding ten samples. A frame meets about a
// hundred patterns; beyond the kept ones a weight is summed cell by cell.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/shading/shade_form.h"
#include "render/shading/shading_table.h"

constexpr int kShadeSamplesPerCell = 10;

// A cell's ten sample indexes into the shading table.
struct ShadeSamples {
    int index[kShadeSamplesPerCell];
};

// A cell's weight: the mean of its ten samples, added in sample order.
template <ShadeForm Form = kShadeForm>
inline float shadeFactor(const float* shadingTable, const ShadeSamples& samples) {
    float sum = shadingTable[samples.index[0]];
    for (int k = 1; k < kShadeSamplesPerCell; ++k) sum += shadingTable[samples.index[k]];
    return meanOfTen<Form>(sum);
}
constexpr int32_t kClimbPatterns = 512;      // nine climbs of 0 or 1
constexpr int32_t kKeptClimbPatterns = 128;  // 128 KB of weights, where a call has the room

// The weights are kept in room the kernel call lends: where each pattern's weights
// begin, then the weights of up to `patterns` patterns.
template <ShadeForm Form = kShadeForm>
class ShadeSums {
public:
    // The bytes of room that `patterns` kept patterns take.
    static constexpr size_t bytesFor(int32_t patterns) {
        return sizeof(int32_t) * kClimbPatterns + sizeof(float) * size_t(patterns) * kShadingTableSize;
    }

    // No room: keeps no pattern (and is not to be asked for weights).
    ShadeSums() = default;

    // `room`: bytesFor(patterns) bytes, aligned for floats.
    ShadeSums(void* room, int32_t patterns)
        : columnAt_(static_cast<int32_t*>(room)), weights_(reinterpret_cast<float*>(columnAt_ + kClimbPatterns)),
          patterns_(patterns) {
        clear();
    }

    // Forgets every pattern: later weights are summed from the table as it is then.
    void clear() {
        if (columnAt_ == nullptr) return;
        for (int32_t i = 0; i < kClimbPatterns; ++i) columnAt_[i] = kNone;
        kept_ = 0;
    }

    // The weight (the mean of the ten samples) of the cell whose first index is
    // `first` (0..255) and whose sample n + 1 lies one entry above sample n where
    // bit n of `climbs` is set, and on the same entry otherwise.
    template <class Lanes>
    float weight(const float* table, int32_t first, int32_t climbs) {
        const int32_t at = columnAt_[climbs];
        if (at != kNone) return weights_[at + first];
        Lanes::zeroUpper();  // firstWeight is compiled for no path of its own
        return firstWeight(table, first, climbs);
    }

private:
    static constexpr int32_t kNone = -1;

    // The same weight, summed from the table.
    static float sum(const float* table, int32_t first, int32_t climbs) {
        ShadeSamples samples;
        samples.index[0] = first;
        for (int n = 1; n < kShadeSamplesPerCell; ++n) {
            const int next = samples.index[n - 1] + ((climbs >> (n - 1)) & 1);
            samples.index[n] = next < kShadingTableSize ? next : kShadingTableSize - 1;
        }
        return shadeFactor<Form>(table, samples);
    }

    // A pattern met for the first time: its weights for every start, while there is
    // room. Starts that climb past the last entry never occur (indexes are held to
    // the table); they are summed held to it all the same.
    __attribute__((noinline)) float firstWeight(const float* table, int32_t first, int32_t climbs) {
        if (kept_ == patterns_) return sum(table, first, climbs);
        float* column = weights_ + kept_ * kShadingTableSize;
        for (int32_t start = 0; start < kShadingTableSize; ++start) column[start] = sum(table, start, climbs);
        columnAt_[climbs] = kept_ * kShadingTableSize;
        ++kept_;
        return column[first];
    }

    int32_t* columnAt_ = nullptr;  // where a pattern's weights begin, or kNone
    float* weights_ = nullptr;
    int32_t patterns_ = 0;
    int32_t kept_ = 0;
};
