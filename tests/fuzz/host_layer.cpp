#include "tests/fuzz/host_layer.h"

#include <algorithm>
#include <cstring>

namespace fuzz {

namespace {

int bitsOfDepth(uint8_t depth) {
    static constexpr int kBits[] = {8, 16, 32};
    return kBits[depth % 3];
}

int64_t rowBytesOf(const LayerPlan& plan, int32_t width, int bits) {
    const int64_t exact = int64_t(width) * 4 * (bits / 8);
    int64_t rowBytes = 0;
    switch (plan.pitchMode % kPitchModes) {
        case kExactPitch: rowBytes = exact; break;
        case kPaddedPitch: rowBytes = exact + plan.pitchBytes; break;
        case kShortPitch: rowBytes = std::max<int64_t>(exact - plan.pitchBytes, 0); break;
        default: break;
    }
    return (plan.pitchMode & kUpwardRows) != 0 ? -rowBytes : rowBytes;
}

// Channel values a host could hold at the depth, varying along the buffer.
void fillRamp(uint8_t* bytes, size_t size, int bits) {
    for (size_t i = 0; i + bits / 8 <= size; i += size_t(bits / 8)) {
        const size_t k = i / size_t(bits / 8);
        if (bits == 8) {
            bytes[i] = uint8_t(k * 7);
        } else if (bits == 16) {
            const uint16_t v = uint16_t((k * 97) % 32769);
            std::memcpy(bytes + i, &v, sizeof v);
        } else {
            const float v = float((k * 13) % 101) / 100.0f;
            std::memcpy(bytes + i, &v, sizeof v);
        }
    }
}

void fillBytes(uint8_t* bytes, size_t size, uint8_t fill, int bits, uint32_t seed) {
    switch (fill % kFills) {
        case kZeroBytes: std::memset(bytes, 0, size); break;
        case kFullBytes: std::memset(bytes, 0xFF, size); break;
        case kNoise: {
            uint32_t state = seed | 1u;
            for (size_t i = 0; i < size; ++i) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                bytes[i] = uint8_t(state);
            }
            break;
        }
        default: fillRamp(bytes, size, bits); break;
    }
}

}  // namespace

HostLayer::HostLayer(const LayerPlan& plan, uint32_t seed) : present_(plan.presence != 0), bits_(bitsOfDepth(plan.depth)) {
    const int32_t width = std::min<int32_t>(plan.width, kMaxLayerSide);
    int32_t height = std::min<int32_t>(plan.height, kMaxLayerSide);
    if (width > 0 && int64_t(width) * height > kMaxLayerPixels) height = int32_t(kMaxLayerPixels / width);
    const int64_t rowBytes = rowBytesOf(plan, width, bits_);
    world_.width = width;
    world_.height = height;
    world_.rowbytes = int32_t(rowBytes);
    world_.extent_hint = PF_LRect{0, 0, width, height};
    world_.pix_aspect_ratio = PF_RationalScale{1, 1};
    if (plan.presence == 1) {  // a record without pixels
        snapshot(bits_);
        return;
    }

    const int64_t stride = rowBytes < 0 ? -rowBytes : rowBytes;
    size_ = size_t(stride * height);
    bytes_.reset(new uint8_t[size_]);
    fillBytes(bytes_.get(), size_, plan.fill, bits_, seed);
    // Rows running upward start at the last row of the allocation.
    const size_t first = rowBytes < 0 && height > 0 ? size_t(stride * (height - 1)) : 0;
    world_.data = bytes_.get() + first;
    whole_.push_back(Range{0, size_});
    snapshot(bits_);
}

// Rows in the order of their place in memory; the gaps are what lies between.
void HostLayer::findGaps(int bitsPerChannel) {
    gaps_.clear();
    if (bytes_ == nullptr) return;
    const int64_t rowBytes = world_.rowbytes;
    const int64_t height = world_.height;
    const int64_t first = static_cast<uint8_t*>(world_.data) - bytes_.get();
    const int64_t pixelRow = int64_t(world_.width) * 4 * (bitsPerChannel / 8);
    int64_t reached = 0;
    for (int64_t k = 0; k < height; ++k) {
        const int64_t y = rowBytes < 0 ? height - 1 - k : k;
        const int64_t start = std::max<int64_t>(first + y * rowBytes, 0);
        const int64_t end = std::min<int64_t>(first + y * rowBytes + pixelRow, int64_t(size_));
        if (start >= end) continue;
        if (start > reached) gaps_.push_back(Range{size_t(reached), size_t(start)});
        reached = std::max(reached, end);
    }
    if (int64_t(size_) > reached) gaps_.push_back(Range{size_t(reached), size_});
}

// FNV-1a over 64-bit words, then over the bytes left.
uint64_t HostLayer::digest(const std::vector<Range>& ranges) const {
    uint64_t hash = 0xCBF29CE484222325u;
    for (const Range& range : ranges) {
        size_t at = range.begin;
        for (; at + 8 <= range.end; at += 8) {
            uint64_t word;
            std::memcpy(&word, bytes_.get() + at, sizeof word);
            hash = (hash ^ word) * 0x100000001B3u;
        }
        for (; at < range.end; ++at) hash = (hash ^ bytes_[at]) * 0x100000001B3u;
        hash = (hash ^ range.begin) * 0x100000001B3u;
    }
    return hash;
}

void HostLayer::snapshot(int bitsPerChannel) {
    findGaps(bitsPerChannel);
    wholeDigest_ = digest(whole_);
    gapsDigest_ = digest(gaps_);
}

bool HostLayer::unchanged() const { return digest(whole_) == wholeDigest_; }

bool HostLayer::onlyPixelsChanged() const { return digest(gaps_) == gapsDigest_; }

}  // namespace fuzz
