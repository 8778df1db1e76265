#include "host/covered_input.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Pixels of the render's depth that one input row holds, within the input's width.
int64_t readableWidth(const PF_LayerDef& input, int32_t bytesPerPixel) {
    if (input.data == nullptr || input.width <= 0 || input.height <= 0) return 0;
    const int64_t rowPixels = std::llabs(int64_t(input.rowbytes)) / bytesPerPixel;
    return std::min<int64_t>(input.width, rowPixels);
}

}  // namespace

CoveredInput::CoveredInput(PF_LayerDef* input, const PF_LayerDef& output, int32_t bytesPerPixel)
    : layer_(input) {
    if (output.width <= 0 || output.height <= 0) return;  // nothing will be read
    const int64_t width = readableWidth(*input, bytesPerPixel);
    const int64_t height = width > 0 ? int64_t(input->height) : 0;
    if (width >= output.width && height >= output.height) return;

    const int64_t rowBytes = int64_t(output.width) * bytesPerPixel;
    const size_t words = size_t((rowBytes * output.height + 7) / 8);
    pixels_.reset(new uint64_t[words]());
    padded_ = *input;
    padded_.data = pixels_.get();
    padded_.rowbytes = int32_t(rowBytes);
    padded_.width = output.width;
    padded_.height = output.height;

    const size_t copyBytes = size_t(std::min<int64_t>(width, output.width) * bytesPerPixel);
    const int64_t copyRows = std::min<int64_t>(height, output.height);
    const char* source = static_cast<const char*>(input->data);
    char* target = reinterpret_cast<char*>(pixels_.get());
    for (int64_t row = 0; row < copyRows; ++row) {
        std::memcpy(target + row * rowBytes, source + row * int64_t(input->rowbytes), copyBytes);
    }
    layer_ = &padded_;
}
