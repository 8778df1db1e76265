#include "tests/fuzz/host_layer.h"

#include <algorithm>
#include <cstring>

namespace fuzz {

namespace {

int bitsOfDepth(uint8_t depth) {
    static constexpr int kBits[] = {8, 16, 32};
    return kBits[depth % 3];
}

int64_t rowBytesOf(const LayerSpec& spec, int32_t width, int bits) {
    const int64_t exact = int64_t(width) * 4 * (bits / 8);
    int64_t rowBytes = 0;
    switch (spec.pitchMode % kPitchModes) {
        case kExactPitch: rowBytes = exact; break;
        case kPaddedPitch: rowBytes = exact + spec.pitchBytes; break;
        case kShortPitch: rowBytes = std::max<int64_t>(exact - spec.pitchBytes, 0); break;
        default: break;
    }
    return (spec.pitchMode & kUpwardRows) != 0 ? -rowBytes : rowBytes;
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

HostLayer::HostLayer(const LayerSpec& spec, uint32_t seed) : present_(spec.presence != 0), bits_(bitsOfDepth(spec.depth)) {
    const int32_t width = std::min<int32_t>(spec.width, kMaxLayerSide);
    int32_t height = std::min<int32_t>(spec.height, kMaxLayerSide);
    if (width > 0 && int64_t(width) * height > kMaxLayerPixels) height = int32_t(kMaxLayerPixels / width);
    const int64_t rowBytes = rowBytesOf(spec, width, bits_);
    world_.width = width;
    world_.height = height;
    world_.rowbytes = int32_t(rowBytes);
    world_.extent_hint = PF_LRect{0, 0, width, height};
    world_.pix_aspect_ratio = PF_RationalScale{1, 1};
    if (spec.presence == 1) return;  // a record without pixels

    const int64_t stride = rowBytes < 0 ? -rowBytes : rowBytes;
    size_ = size_t(stride * height);
    bytes_.reset(new uint8_t[size_]);
    fillBytes(bytes_.get(), size_, spec.fill, bits_, seed);
    // Rows running upward start at the last row of the allocation.
    const size_t first = rowBytes < 0 && height > 0 ? size_t(stride * (height - 1)) : 0;
    world_.data = bytes_.get() + first;

    pixelBytes_.assign(size_, false);
    const int64_t pixelRow = int64_t(width) * 4 * (bits_ / 8);
    for (int64_t y = 0; y < height; ++y) {
        const int64_t start = int64_t(first) + y * rowBytes;
        for (int64_t b = std::max<int64_t>(start, 0); b < std::min<int64_t>(start + pixelRow, int64_t(size_)); ++b) {
            pixelBytes_[size_t(b)] = true;
        }
    }
    snapshot();
}

void HostLayer::snapshot() { snapshot_.assign(bytes_.get(), bytes_.get() + size_); }

bool HostLayer::unchanged() const { return size_ == 0 || std::memcmp(bytes_.get(), snapshot_.data(), size_) == 0; }

bool HostLayer::onlyPixelsChanged() const {
    for (size_t i = 0; i < size_; ++i) {
        if (!pixelBytes_[i] && bytes_[i] != snapshot_[i]) return false;
    }
    return true;
}

}  // namespace fuzz
