// A straight-alpha RGBA image, four samples a pixel: the common ground between image
// files, the built-in test pattern and the host-style pixel buffers. Integer samples
// run from 0 to their type's largest value; float samples are 0..1 by convention and
// may lie outside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

template <typename Sample>
struct RgbaImageOf {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Sample> samples;  // R, G, B, A per pixel, rows top to bottom

    RgbaImageOf() = default;
    RgbaImageOf(int32_t w, int32_t h) : width(w), height(h), samples(size_t(w) * size_t(h) * 4, Sample(0)) {}

    Sample* pixel(int32_t x, int32_t y) { return &samples[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
    const Sample* pixel(int32_t x, int32_t y) const {
        return &samples[(size_t(y) * size_t(width) + size_t(x)) * 4];
    }
};

// 16 bits a sample: the test pattern's and the tests' images.
using RgbaImage = RgbaImageOf<uint16_t>;

// The sample value that stands for 1 (full intensity, opaque).
template <typename Sample>
constexpr double sampleFullScale() {
    if constexpr (std::is_floating_point_v<Sample>) {
        return 1.0;
    } else {
        return double(std::numeric_limits<Sample>::max());
    }
}
