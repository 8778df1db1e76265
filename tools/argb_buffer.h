// A host-style ARGB pixel buffer in one of the three depths the renderer takes,
// owning its pixels and exposing the PF_LayerDef the render entries read. Rows
// may carry padding (filled with a marker so tests can see it stays untouched)
// and may run upward in memory (negative row bytes), as hosts allow.
#pragma once

#include <cstddef>
#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/pf_effect.h"
#include "tools/rgba_image.h"

enum class PixelDepth { k8 = 8, k16 = 16, k32 = 32 };

// Full scale of a channel as the host stores it: 255, 32768 (not 65535) or 1.0.
double channelFullScale(PixelDepth depth);
size_t channelBytes(PixelDepth depth);

struct ArgbBufferLayout {
    int32_t paddingPixels = 0;  // extra pixels at the end of every row
    bool bottomUp = false;      // last row first in memory: negative row bytes
    int32_t paddingBytes = 0;   // extra bytes after the padding pixels: a stride of no whole number of channels
};

class ArgbBuffer {
public:
    static constexpr unsigned char kPaddingMarker = 0xA5;

    // Transparent black, padding marked. Making a large buffer takes a while; when
    // *stop turns true meanwhile the making ends early, and the buffer, its pixels
    // unspecified, is only fit to be thrown away.
    ArgbBuffer(PixelDepth depth, int32_t width, int32_t height, ArgbBufferLayout layout = {},
               const std::atomic<bool>* stop = nullptr);
    ArgbBuffer(const ArgbBuffer&) = delete;  // the layer record points into the pixels
    ArgbBuffer& operator=(const ArgbBuffer&) = delete;

    PixelDepth depth() const { return depth_; }
    int32_t width() const { return layer_.width; }
    int32_t height() const { return layer_.height; }
    PF_LayerDef* layer() { return &layer_; }
    const PF_LayerDef* layer() const { return &layer_; }

    // The first channel (alpha) of pixel (x, y), for code that reads pixels as the
    // renderer does.
    const void* pixelAddress(int32_t x, int32_t y) const { return channelAddress(x, y, 0); }

    // Channel c (0 A, 1 R, 2 G, 3 B) of pixel (x, y) as stored.
    double raw(int32_t x, int32_t y, int c) const;
    void setRaw(int32_t x, int32_t y, int c, double value);  // converted to the channel type

    // Channel value scaled to 0..1 by the depth's full scale; setting rounds to nearest.
    double channel(int32_t x, int32_t y, int c) const { return raw(x, y, c) / channelFullScale(depth_); }
    void setChannel(int32_t x, int32_t y, int c, double value);

    void fill(double a, double r, double g, double b);  // channel values, 0..1
    void fillFrom(const RgbaImage& image);               // same size; straight alpha kept
    RgbaImage toImage() const;                           // channels clamped to 0..1

    bool paddingIntact() const;  // every padding byte still holds the marker
    bool samePixels(const ArgbBuffer& other) const;  // bit-identical pixel area

private:
    unsigned char* channelAddress(int32_t x, int32_t y, int c);
    const unsigned char* channelAddress(int32_t x, int32_t y, int c) const;

    PixelDepth depth_;
    std::unique_ptr<unsigned char[]> storage_;
    size_t rowBytes_ = 0;  // absolute row stride
    size_t pixelRowBytes_ = 0;
    PF_LayerDef layer_{};
};
