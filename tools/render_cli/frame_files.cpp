#include "tools/render_cli/frame_files.h"

#include <algorithm>

#include "tools/argb_conversion.h"
#include "tools/render_cli/image_file.h"
#include "tools/render_cli/tool_messages.h"

namespace {

template <typename Sample>
std::string readAs(const std::string& path, PixelDepth depth, const std::atomic<bool>* stop,
                   std::unique_ptr<ArgbBuffer>& buffer) {
    RgbaImageOf<Sample> image;
    if (std::string error = readImage(path, image, stop); !error.empty()) return error;
    auto read = std::make_unique<ArgbBuffer>(depth, image.width, image.height, ArgbBufferLayout{}, stop);
    if ((stop != nullptr && stop->load()) || !copyImageToArgb(image, *read, stop)) return msg::kInterrupted;
    buffer = std::move(read);
    return "";
}

template <typename Sample>
RgbaImageOf<Sample> sideBySide(const RgbaImageOf<Sample>& left, const RgbaImageOf<Sample>& right) {
    RgbaImageOf<Sample> joined(left.width + right.width, std::max(left.height, right.height));
    for (int32_t y = 0; y < left.height; ++y) std::copy_n(left.pixel(0, y), size_t(left.width) * 4, joined.pixel(0, y));
    for (int32_t y = 0; y < right.height; ++y) {
        std::copy_n(right.pixel(0, y), size_t(right.width) * 4, joined.pixel(left.width, y));
    }
    return joined;
}

template <typename Sample>
std::string writeAs(const std::string& path, const ArgbBuffer& output, const ArgbBuffer* besideInput,
                    FileSamples samples, bool replaceExisting, const std::atomic<bool>* stop) {
    RgbaImageOf<Sample> image;
    if (!copyArgbToImage(output, image, stop)) return msg::kInterrupted;
    if (besideInput != nullptr) {
        RgbaImageOf<Sample> input;
        if (!copyArgbToImage(*besideInput, input, stop)) return msg::kInterrupted;
        image = sideBySide(input, image);
    }
    return writeImage(path, image, samples, replaceExisting, stop);
}

}  // namespace

std::string readIntoBuffer(const std::string& path, PixelDepth depth, const std::atomic<bool>* stop,
                           std::unique_ptr<ArgbBuffer>& buffer) {
    switch (depth) {
        case PixelDepth::k8: return readAs<uint8_t>(path, depth, stop, buffer);
        case PixelDepth::k16: return readAs<uint16_t>(path, depth, stop, buffer);
        case PixelDepth::k32: break;
    }
    return readAs<float>(path, depth, stop, buffer);
}

std::string writeFromBuffers(const std::string& path, const ArgbBuffer& output, const ArgbBuffer* besideInput,
                             FileSamples samples, bool replaceExisting, const std::atomic<bool>* stop) {
    switch (output.depth()) {
        case PixelDepth::k8: return writeAs<uint8_t>(path, output, besideInput, samples, replaceExisting, stop);
        case PixelDepth::k16: return writeAs<uint16_t>(path, output, besideInput, samples, replaceExisting, stop);
        case PixelDepth::k32: break;
    }
    return writeAs<float>(path, output, besideInput, samples, replaceExisting, stop);
}
