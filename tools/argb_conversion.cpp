#include "tools/argb_conversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

// How one depth stores a channel, and the value that stands for 1.
template <PixelDepth depth>
struct DepthChannel;
template <>
struct DepthChannel<PixelDepth::k8> {
    using Type = uint8_t;
};
template <>
struct DepthChannel<PixelDepth::k16> {
    using Type = uint16_t;
};
template <>
struct DepthChannel<PixelDepth::k32> {
    using Type = float;
};

// A value on the 0..1 scale stored in Out at full scale outFull.
template <typename Out>
Out storeUnit(double unit, double outFull) {
    if constexpr (std::is_floating_point_v<Out>) {
        return Out(unit * outFull);
    } else {
        if (std::isnan(unit)) return Out(0);
        const double top = double(std::numeric_limits<Out>::max());
        return Out(std::clamp(std::nearbyint(unit * outFull), 0.0, top));
    }
}

// Maps one sample type at one full scale onto another. Integer inputs go through a
// table built once, so that a large frame costs one lookup a sample.
template <typename In, typename Out>
class SampleMap {
public:
    SampleMap(double inFull, double outFull) : inFull_(inFull), outFull_(outFull) {
        if constexpr (!std::is_floating_point_v<In>) {
            table_.resize(size_t(std::numeric_limits<In>::max()) + 1);
            for (size_t v = 0; v < table_.size(); ++v) table_[v] = storeUnit<Out>(double(v) / inFull, outFull);
        }
    }

    Out operator()(In value) const {
        if constexpr (std::is_floating_point_v<In>) {
            return storeUnit<Out>(double(value) / inFull_, outFull_);
        } else {
            return table_[value];
        }
    }

private:
    double inFull_, outFull_;
    std::vector<Out> table_;
};

bool stopped(const std::atomic<bool>* stop) { return stop != nullptr && stop->load(std::memory_order_relaxed); }

// Rows of a buffer may start anywhere (a stride of no whole number of channels), so
// its pixels are copied in and out as bytes.
unsigned char* bufferRow(const ArgbBuffer& buffer, int32_t y) {
    const PF_LayerDef* layer = buffer.layer();
    return static_cast<unsigned char*>(layer->data) + ptrdiff_t(y) * ptrdiff_t(layer->rowbytes);
}

template <PixelDepth depth, typename Sample>
bool imageToArgb(const RgbaImageOf<Sample>& image, ArgbBuffer& buffer, const std::atomic<bool>* stop) {
    using Channel = typename DepthChannel<depth>::Type;
    const SampleMap<Sample, Channel> map(sampleFullScale<Sample>(), channelFullScale(depth));
    for (int32_t y = 0; y < image.height; ++y) {
        if (stopped(stop)) return false;
        const Sample* in = image.pixel(0, y);
        unsigned char* out = bufferRow(buffer, y);
        for (int32_t x = 0; x < image.width; ++x, in += 4, out += sizeof(Channel[4])) {
            const Channel argb[4] = {map(in[3]), map(in[0]), map(in[1]), map(in[2])};
            std::memcpy(out, argb, sizeof argb);
        }
    }
    return true;
}

template <PixelDepth depth, typename Sample>
bool argbToImage(const ArgbBuffer& buffer, RgbaImageOf<Sample>& image, const std::atomic<bool>* stop) {
    using Channel = typename DepthChannel<depth>::Type;
    const SampleMap<Channel, Sample> map(channelFullScale(depth), sampleFullScale<Sample>());
    for (int32_t y = 0; y < image.height; ++y) {
        if (stopped(stop)) return false;
        const unsigned char* in = bufferRow(buffer, y);
        Sample* out = image.pixel(0, y);
        for (int32_t x = 0; x < image.width; ++x, in += sizeof(Channel[4]), out += 4) {
            Channel argb[4];
            std::memcpy(argb, in, sizeof argb);
            out[0] = map(argb[1]);
            out[1] = map(argb[2]);
            out[2] = map(argb[3]);
            out[3] = map(argb[0]);
        }
    }
    return true;
}

}  // namespace

template <typename Sample>
bool copyImageToArgb(const RgbaImageOf<Sample>& image, ArgbBuffer& buffer, const std::atomic<bool>* stop) {
    if (image.width != buffer.width() || image.height != buffer.height()) {
        throw std::invalid_argument("image and buffer differ in size");
    }
    switch (buffer.depth()) {
        case PixelDepth::k8: return imageToArgb<PixelDepth::k8>(image, buffer, stop);
        case PixelDepth::k16: return imageToArgb<PixelDepth::k16>(image, buffer, stop);
        case PixelDepth::k32: break;
    }
    return imageToArgb<PixelDepth::k32>(image, buffer, stop);
}

template <typename Sample>
bool copyArgbToImage(const ArgbBuffer& buffer, RgbaImageOf<Sample>& image, const std::atomic<bool>* stop) {
    image = RgbaImageOf<Sample>(buffer.width(), buffer.height());
    switch (buffer.depth()) {
        case PixelDepth::k8: return argbToImage<PixelDepth::k8>(buffer, image, stop);
        case PixelDepth::k16: return argbToImage<PixelDepth::k16>(buffer, image, stop);
        case PixelDepth::k32: break;
    }
    return argbToImage<PixelDepth::k32>(buffer, image, stop);
}

template bool copyImageToArgb(const RgbaImageOf<uint8_t>&, ArgbBuffer&, const std::atomic<bool>*);
template bool copyImageToArgb(const RgbaImageOf<uint16_t>&, ArgbBuffer&, const std::atomic<bool>*);
template bool copyImageToArgb(const RgbaImageOf<float>&, ArgbBuffer&, const std::atomic<bool>*);
template bool copyArgbToImage(const ArgbBuffer&, RgbaImageOf<uint8_t>&, const std::atomic<bool>*);
template bool copyArgbToImage(const ArgbBuffer&, RgbaImageOf<uint16_t>&, const std::atomic<bool>*);
template bool copyArgbToImage(const ArgbBuffer&, RgbaImageOf<float>&, const std::atomic<bool>*);
