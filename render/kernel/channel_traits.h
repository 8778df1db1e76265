// The three pixel depths as the melt kernel sees them: the channel type, and how a
// pixel's brightness becomes a `lumaIndex` into the 768-entry tables. A pixel is four
// channels A, R, G, B; `pixel` points at its alpha. The vector paths read channels
// as values (1.0 is a full channel in every depth) and store the finished values
// back (render/paths/pixel_vectors.h).
#pragma once

#include <cstdint>

constexpr int32_t kLumaEntries = 768;

struct Channel8 {
    using Channel = uint8_t;
    static int32_t lumaIndex(const Channel* pixel) {
        const uint32_t sum = uint32_t(pixel[1]) + uint32_t(pixel[2]) + uint32_t(pixel[3]);
        return int32_t(sum * 767u / 765u);
    }
};

struct Channel16 {
    using Channel = uint16_t;
    // The host's 16-bit range ends at 32768, but other effects can leave up to 65535
    // in a channel: the index is held at the table's last entry.
    static int32_t lumaIndex(const Channel* pixel) {
        const uint32_t sum = uint32_t(pixel[1]) + uint32_t(pixel[2]) + uint32_t(pixel[3]);
        const uint32_t index = sum * 767u / 98304u;
        return index < 767u ? int32_t(index) : 767;
    }
};

struct Channel32 {
    using Channel = float;
    static int32_t lumaIndex(const Channel* pixel) {
        float s = ((pixel[1] + pixel[2]) + pixel[3]) * 0.33333334f;
        if (!(s >= 0.0f)) s = 0.0f;  // NaN too
        if (s > 1.0f) s = 1.0f;
        return int32_t(s * 767.0f);
    }
};

// A brightness index blended toward the next position's by the grid fraction f:
// the brightness of the point between the two pixels.
inline int32_t interpolatedIndex(int32_t own, int32_t next, float f) {
    return int32_t(float(next - own) * f + float(own));
}
