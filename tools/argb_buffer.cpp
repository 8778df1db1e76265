#include "tools/argb_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

double channelFullScale(PixelDepth depth) {
    switch (depth) {
        case PixelDepth::k8: return 255.0;
        case PixelDepth::k16: return 32768.0;
        case PixelDepth::k32: break;
    }
    return 1.0;
}

size_t channelBytes(PixelDepth depth) {
    switch (depth) {
        case PixelDepth::k8: return 1;
        case PixelDepth::k16: return 2;
        case PixelDepth::k32: break;
    }
    return 4;
}

ArgbBuffer::ArgbBuffer(PixelDepth depth, int32_t width, int32_t height, ArgbBufferLayout layout)
    : depth_(depth) {
    if (width < 0 || height < 0 || layout.paddingPixels < 0 || layout.paddingBytes < 0) {
        throw std::invalid_argument("negative buffer size");
    }
    pixelRowBytes_ = size_t(width) * 4 * channelBytes(depth);
    rowBytes_ = size_t(width + layout.paddingPixels) * 4 * channelBytes(depth) + size_t(layout.paddingBytes);
    if (rowBytes_ > size_t(INT32_MAX)) throw std::invalid_argument("row too long");
    // Never empty, so that even a 0 x 0 buffer has pixel data to point at.
    storage_.assign(std::max<size_t>(rowBytes_ * size_t(height), 16), kPaddingMarker);

    unsigned char* first = storage_.data();
    int32_t rowbytes = int32_t(rowBytes_);
    if (layout.bottomUp && height > 0) {
        first += rowBytes_ * size_t(height - 1);
        rowbytes = -rowbytes;
    }
    layer_.data = first;
    layer_.rowbytes = rowbytes;
    layer_.width = width;
    layer_.height = height;
    layer_.extent_hint = PF_LRect{0, 0, width, height};
    layer_.pix_aspect_ratio = PF_RationalScale{1, 1};
    fill(0.0, 0.0, 0.0, 0.0);
}

unsigned char* ArgbBuffer::channelAddress(int32_t x, int32_t y, int c) {
    return static_cast<unsigned char*>(layer_.data) + ptrdiff_t(y) * ptrdiff_t(layer_.rowbytes) +
           (ptrdiff_t(x) * 4 + c) * ptrdiff_t(channelBytes(depth_));
}

const unsigned char* ArgbBuffer::channelAddress(int32_t x, int32_t y, int c) const {
    return const_cast<ArgbBuffer*>(this)->channelAddress(x, y, c);
}

double ArgbBuffer::raw(int32_t x, int32_t y, int c) const {
    const unsigned char* p = channelAddress(x, y, c);
    switch (depth_) {
        case PixelDepth::k8: return *p;
        case PixelDepth::k16: {
            uint16_t v;
            std::memcpy(&v, p, sizeof v);
            return v;
        }
        case PixelDepth::k32: break;
    }
    float v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void ArgbBuffer::setRaw(int32_t x, int32_t y, int c, double value) {
    unsigned char* p = channelAddress(x, y, c);
    switch (depth_) {
        case PixelDepth::k8:
            *p = static_cast<unsigned char>(std::clamp(std::nearbyint(value), 0.0, 255.0));
            return;
        case PixelDepth::k16: {
            // Up to 65535: other effects can leave values above the host's 32768.
            const uint16_t v = static_cast<uint16_t>(std::clamp(std::nearbyint(value), 0.0, 65535.0));
            std::memcpy(p, &v, sizeof v);
            return;
        }
        case PixelDepth::k32: break;
    }
    const float v = float(value);
    std::memcpy(p, &v, sizeof v);
}

void ArgbBuffer::setChannel(int32_t x, int32_t y, int c, double value) {
    setRaw(x, y, c, value * channelFullScale(depth_));
}

void ArgbBuffer::fill(double a, double r, double g, double b) {
    const double argb[4] = {a, r, g, b};
    for (int32_t y = 0; y < height(); ++y) {
        for (int32_t x = 0; x < width(); ++x) {
            for (int c = 0; c < 4; ++c) setChannel(x, y, c, argb[c]);
        }
    }
}

void ArgbBuffer::fillFrom(const RgbaImage& image) {
    if (image.width != width() || image.height != height()) {
        throw std::invalid_argument("image and buffer differ in size");
    }
    for (int32_t y = 0; y < height(); ++y) {
        for (int32_t x = 0; x < width(); ++x) {
            const uint16_t* rgba = image.pixel(x, y);
            setChannel(x, y, 0, rgba[3] / 65535.0);
            for (int c = 1; c < 4; ++c) setChannel(x, y, c, rgba[c - 1] / 65535.0);
        }
    }
}

RgbaImage ArgbBuffer::toImage() const {
    RgbaImage image(width(), height());
    auto sample = [](double v) {
        // NaN becomes 0; float renders may leave the 0..1 range.
        return uint16_t(std::nearbyint((v > 0.0 ? std::min(v, 1.0) : 0.0) * 65535.0));
    };
    for (int32_t y = 0; y < height(); ++y) {
        for (int32_t x = 0; x < width(); ++x) {
            uint16_t* rgba = image.pixel(x, y);
            rgba[3] = sample(channel(x, y, 0));
            for (int c = 1; c < 4; ++c) rgba[c - 1] = sample(channel(x, y, c));
        }
    }
    return image;
}

bool ArgbBuffer::paddingIntact() const {
    const unsigned char* base = storage_.data();
    for (int32_t row = 0; row < height(); ++row) {
        const unsigned char* pad = base + rowBytes_ * size_t(row) + pixelRowBytes_;
        const unsigned char* end = base + rowBytes_ * size_t(row + 1);
        if (std::any_of(pad, end, [](unsigned char b) { return b != kPaddingMarker; })) return false;
    }
    return true;
}

bool ArgbBuffer::samePixels(const ArgbBuffer& other) const {
    if (other.depth_ != depth_ || other.width() != width() || other.height() != height()) return false;
    for (int32_t y = 0; y < height(); ++y) {
        if (std::memcmp(channelAddress(0, y, 0), other.channelAddress(0, y, 0), pixelRowBytes_) != 0) {
            return false;
        }
    }
    return true;
}
