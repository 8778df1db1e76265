#include "host/commands/covered_layer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Pixels of the render's depth that one row holds, within the layer's width.
int64_t rowWidth(const PF_LayerDef& layer, int32_t bytesPerPixel) {
    if (layer.data == nullptr || layer.width <= 0 || layer.height <= 0) return 0;
    return std::min<int64_t>(layer.width, std::llabs(int64_t(layer.rowbytes)) / bytesPerPixel);
}

// The renderer steps rows in whole channels.
bool strideInChannels(const PF_LayerDef& layer, int32_t bytesPerPixel) {
    return layer.rowbytes % (bytesPerPixel / 4) == 0;
}

}  // namespace

CoveredLayer::CoveredLayer(PF_LayerDef* layer, int32_t width, int32_t height, int32_t bytesPerPixel)
    : layer_(layer) {
    if (width <= 0 || height <= 0) return;  // nothing will be read
    const int64_t rowPixels = rowWidth(*layer, bytesPerPixel);
    if (rowPixels >= width && layer->height >= height && strideInChannels(*layer, bytesPerPixel)) return;

    const int64_t rowBytes = int64_t(width) * bytesPerPixel;
    const size_t words = size_t((rowBytes * height + 7) / 8);
    pixels_.reset(new uint64_t[words]());
    padded_ = *layer;
    padded_.data = pixels_.get();
    padded_.rowbytes = int32_t(rowBytes);
    padded_.width = width;
    padded_.height = height;

    // Row by row through the host's own stride, whatever it is.
    const size_t copyBytes = size_t(std::min<int64_t>(rowPixels, width) * bytesPerPixel);
    const int64_t copyRows = rowPixels > 0 ? std::min<int64_t>(layer->height, height) : 0;
    const char* source = static_cast<const char*>(layer->data);
    char* target = reinterpret_cast<char*>(pixels_.get());
    for (int64_t row = 0; row < copyRows; ++row) {
        std::memcpy(target + row * rowBytes, source + row * int64_t(layer->rowbytes), copyBytes);
    }
    layer_ = &padded_;
}
