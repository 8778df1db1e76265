// One layer as a hostile host hands it out: a pixel buffer of exactly the bytes
// its rows span (so that any access outside them is caught), with the row bytes,
// depth and contents a LayerPlan asks for, and digests to see afterwards whether
// the effect changed it. (Digests, not copies: a fuzz run makes thousands of
// layers of up to half a megabyte.)
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/pf_effect.h"
#include "tests/fuzz/fuzz_script.h"

namespace fuzz {

class HostLayer {
public:
    // seed varies the noise from layer to layer.
    HostLayer(const LayerPlan& plan, uint32_t seed);
    HostLayer(const HostLayer&) = delete;
    HostLayer& operator=(const HostLayer&) = delete;

    // The record the host hands out; null when the recipe asks for none.
    PF_EffectWorld* world() { return present_ ? &world_ : nullptr; }
    // The size the host gives the layer, whether it hands it out or not.
    int32_t width() const { return world_.width; }
    int32_t height() const { return world_.height; }
    int bitsPerChannel() const { return bits_; }
    void setOrigin(int32_t x, int32_t y) { world_.origin_x = x, world_.origin_y = y; }

    // Keeps a digest of the bytes as they are now, for the two checks below, with
    // the rows' pixels taken at bitsPerChannel: the depth the effect renders at,
    // which a host that contradicts itself may make another than the layer's.
    void snapshot(int bitsPerChannel);
    // Every byte as it was at the snapshot.
    bool unchanged() const;
    // Every byte outside the pixels of every row (row padding, and whatever the
    // rows do not reach) as it was at the snapshot.
    bool onlyPixelsChanged() const;

private:
    struct Range {
        size_t begin, end;
    };

    void findGaps(int bitsPerChannel);
    uint64_t digest(const std::vector<Range>& ranges) const;

    bool present_;
    int bits_;
    size_t size_ = 0;
    std::unique_ptr<uint8_t[]> bytes_;
    std::vector<Range> whole_;  // the allocation
    std::vector<Range> gaps_;   // the bytes no row's pixels reach
    uint64_t wholeDigest_ = 0;
    uint64_t gapsDigest_ = 0;
    PF_EffectWorld world_{};
};

}  // namespace fuzz
