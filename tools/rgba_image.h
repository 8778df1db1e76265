// A straight-alpha RGBA image with 16 bits per channel: the common ground between
// PNG files, the built-in test pattern and the host-style pixel buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct RgbaImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint16_t> samples;  // R, G, B, A per pixel, rows top to bottom, 0..65535

    RgbaImage() = default;
    RgbaImage(int32_t w, int32_t h) : width(w), height(h), samples(size_t(w) * size_t(h) * 4, 0) {}

    uint16_t* pixel(int32_t x, int32_t y) { return &samples[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
    const uint16_t* pixel(int32_t x, int32_t y) const {
        return &samples[(size_t(y) * size_t(width) + size_t(x)) * 4];
    }
};
