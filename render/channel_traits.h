// The three pixel depths as the melt kernel sees them: how a stored channel becomes
// a value (alpha 1.0 is opaque in every depth), how a pixel's brightness becomes a
// `lumaIndex` into the 768-entry tables, and how a finished value is stored back.
// A pixel is four channels A, R, G, B; `pixel` points at its alpha.
#pragma once

#include <cstdint>

#include "render/float_convert.h"

constexpr int32_t kLumaEntries = 768;

struct Channel8 {
    using Channel = uint8_t;
    static float value(Channel c) { return float(c) * 0.003921568859368563f; }
    static int32_t lumaIndex(const Channel* pixel) {
        const uint32_t sum = uint32_t(pixel[1]) + uint32_t(pixel[2]) + uint32_t(pixel[3]);
        return int32_t(sum * 767u / 765u);
    }
    // Truncated, not rounded, and not clamped: the low 8 bits are kept.
    static Channel store(float v) { return Channel(uint32_t(truncateToInt32(v * 255.0f))); }
};

struct Channel16 {
    using Channel = uint16_t;
    static float value(Channel c) { return float(c) * 3.0517578125e-05f; }
    // The host's 16-bit range ends at 32768, but other effects can leave up to 65535
    // in a channel: the index is held at the table's last entry.
    static int32_t lumaIndex(const Channel* pixel) {
        const uint32_t sum = uint32_t(pixel[1]) + uint32_t(pixel[2]) + uint32_t(pixel[3]);
        const uint32_t index = sum * 767u / 98304u;
        return index < 767u ? int32_t(index) : 767;
    }
    static Channel store(float v) { return Channel(uint32_t(truncateToInt32(v * 32768.0f))); }
};

struct Channel32 {
    using Channel = float;
    static float value(Channel c) { return c; }
    static int32_t lumaIndex(const Channel* pixel) {
        float s = ((pixel[1] + pixel[2]) + pixel[3]) * 0.33333334f;
        if (!(s >= 0.0f)) s = 0.0f;  // NaN too
        if (s > 1.0f) s = 1.0f;
        return int32_t(s * 767.0f);
    }
    static Channel store(float v) { return v; }
};

// A brightness index blended toward the next position's by the grid fraction f:
// the brightness of the point between the two pixels.
inline int32_t interpolatedIndex(int32_t own, int32_t next, float f) {
    return int32_t(float(next - own) * f + float(own));
}

// A channel value that deposits nothing: zero, or NaN in float pixels. A negative
// float alpha is not transparent.
inline bool isTransparent(float alpha) { return !(alpha < 0.0f || alpha > 0.0f); }
