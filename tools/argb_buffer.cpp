#include "tools/argb_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "tools/argb_conversion.h"

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

ArgbBuffer::ArgbBuffer(PixelDepth depth, int32_t width, int32_t height, ArgbBufferLayout layout,
                       const std::atomic<bool>* stop)
    : depth_(depth) {
    if (width < 0 || height < 0 || layout.paddingPixels < 0 || layout.paddingBytes < 0) {
        throw std::invalid_argument("negative buffer size");
    }
    pixelRowBytes_ = size_t(width) * 4 * channelBytes(depth);
    rowBytes_ = size_t(width + layout.paddingPixels) * 4 * channelBytes(depth) + size_t(layout.paddingBytes);
    if (rowBytes_ > size_t(INT32_MAX)) throw std::invalid_argument("row too long");
    // Never empty, so that even a 0 x 0 buffer has pixel data to point at. Left
    // unfilled by the allocation and filled in one pass, row by row: every channel
    // type holds its zero as zero bytes.
    const size_t size = std::max<size_t>(rowBytes_ * size_t(height), 16);
    storage_.reset(new unsigned char[size]);
    std::memset(storage_.get(), kPaddingMarker, std::min<size_t>(size, 16));
    for (int32_t row = 0; row < height; ++row) {
        if (row % 64 == 0 && stop != nullptr && stop->load()) break;
        unsigned char* bytes = storage_.get() + rowBytes_ * size_t(row);
        std::memset(bytes, 0, pixelRowBytes_);
        std::memset(bytes + pixelRowBytes_, kPaddingMarker, rowBytes_ - pixelRowBytes_);
    }

    unsigned char* first = storage_.get();
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
    if (width() == 0 || height() == 0) return;
    // One pixel converted, then copied: a large frame is filled at the speed of memory.
    const double argb[4] = {a, r, g, b};
    for (int c = 0; c < 4; ++c) setChannel(0, 0, c, argb[c]);
    const size_t pixelBytes = 4 * channelBytes(depth_);
    unsigned char pixel[16];
    std::memcpy(pixel, channelAddress(0, 0, 0), pixelBytes);
    for (int32_t y = 0; y < height(); ++y) {
        unsigned char* row = channelAddress(0, y, 0);
        for (int32_t x = 0; x < width(); ++x) std::memcpy(row + size_t(x) * pixelBytes, pixel, pixelBytes);
    }
}

void ArgbBuffer::fillFrom(const RgbaImage& image) { copyImageToArgb(image, *this); }

RgbaImage ArgbBuffer::toImage() const {
    RgbaImage image;
    copyArgbToImage(*this, image);
    return image;
}

bool ArgbBuffer::paddingIntact() const {
    const unsigned char* base = storage_.get();
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
