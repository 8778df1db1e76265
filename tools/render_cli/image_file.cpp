#include "tools/render_cli/image_file.h"

#include <OpenImageIO/imageio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "tools/render_cli/tool_messages.h"

namespace {

namespace fs = std::filesystem;

// Rows read or written between two looks at the stop flag.
constexpr int kBandRows = 64;

template <typename Sample>
OIIO::TypeDesc typeOf() {
    if constexpr (std::is_same_v<Sample, uint8_t>) {
        return OIIO::TypeDesc::UINT8;
    } else if constexpr (std::is_same_v<Sample, uint16_t>) {
        return OIIO::TypeDesc::UINT16;
    } else {
        return OIIO::TypeDesc::FLOAT;
    }
}

OIIO::TypeDesc typeOf(FileSamples samples) {
    switch (samples) {
        case FileSamples::k8: return OIIO::TypeDesc::UINT8;
        case FileSamples::k16: return OIIO::TypeDesc::UINT16;
        case FileSamples::kHalf: return OIIO::TypeDesc::HALF;
        case FileSamples::kFloat: break;
    }
    return OIIO::TypeDesc::FLOAT;
}

bool stopped(const std::atomic<bool>* stop) { return stop != nullptr && stop->load(std::memory_order_relaxed); }

std::string readFailure(const std::string& path, const std::string& why) {
    return std::string(msg::kCannotRead) + " " + msg::quoted(path) + ": " + why;
}

std::string writeFailure(const std::string& path, const std::string& why) {
    return std::string(msg::kCannotWrite) + " " + msg::quoted(path) + ": " + why;
}

// OpenImageIO's own words, on one line.
std::string oiioError(const std::string& text) {
    std::string line = text.empty() ? OIIO::geterror() : text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line.empty() ? "unknown error" : line;
}

// Fills in the channels a file with fewer than four leaves out, in rows read with
// the file's channels at the start of each pixel.
template <typename Sample>
void expandChannels(Sample* pixels, size_t count, int channels) {
    const Sample opaque = Sample(sampleFullScale<Sample>());
    for (size_t i = 0; i < count; ++i, pixels += 4) {
        switch (channels) {
            case 1:  // grey
                pixels[1] = pixels[2] = pixels[0];
                pixels[3] = opaque;
                break;
            case 2:  // grey and alpha
                pixels[3] = pixels[1];
                pixels[1] = pixels[2] = pixels[0];
                break;
            case 3: pixels[3] = opaque; break;
            default: break;
        }
    }
}

// A name beside the file that no one else writes, so that the file appears whole or
// not at all.
std::string temporaryPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const fs::path target(path);
    const std::string name = "." + target.filename().string() + ".partial-" + std::to_string(::getpid()) + "-" +
                             std::to_string(counter++);
    return (target.parent_path() / name).string();
}

// Moves the finished temporary file to its name.
std::string publish(const std::string& temporary, const std::string& path, bool replaceExisting) {
    if (!replaceExisting) {
        // A hard link fails where a file exists: nothing that appeared meanwhile is replaced.
        if (::link(temporary.c_str(), path.c_str()) == 0) {
            ::unlink(temporary.c_str());
            return "";
        }
        if (errno == EEXIST) {
            ::unlink(temporary.c_str());
            return msg::quoted(path) + " " + msg::kOutputExists;
        }
        // A file system without hard links: the rename below, after a last look.
        std::error_code ec;
        if (fs::exists(path, ec)) {
            ::unlink(temporary.c_str());
            return msg::quoted(path) + " " + msg::kOutputExists;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(temporary.c_str());
        return writeFailure(path, why);
    }
    return "";
}

}  // namespace

template <typename Sample>
std::string readImage(const std::string& path, RgbaImageOf<Sample>& image, const std::atomic<bool>* stop) {
    image = RgbaImageOf<Sample>();
    const ImageFormat* format = formatOfPath(path);
    if (format == nullptr) return msg::quoted(path) + " " + msg::kUnknownFormat + " " + knownExtensions();
    std::error_code ec;
    if (!fs::exists(path, ec)) return readFailure(path, std::strerror(ENOENT));

    std::unique_ptr<OIIO::ImageInput> in = OIIO::ImageInput::create(format->name);
    if (!in) return readFailure(path, oiioError(""));
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);  // alpha as stored, never multiplied in
    OIIO::ImageSpec description;
    if (!in->open(path, description, config)) return readFailure(path, oiioError(in->geterror()));
    const int width = description.width, height = description.height;
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) {
        return readFailure(path, "it is " + std::to_string(width) + " x " + std::to_string(height) +
                                     " pixels; the tool reads 1 to " + std::to_string(kMaxImageSide) + " a side");
    }
    const int channels = std::min(description.nchannels, 4);
    RgbaImageOf<Sample> read(width, height);
    const OIIO::stride_t pixelBytes = 4 * sizeof(Sample);
    for (int row = 0; row < height; row += kBandRows) {
        if (stopped(stop)) return msg::kInterrupted;
        const int rows = std::min(kBandRows, height - row);
        Sample* band = read.pixel(0, row);
        // Scanlines count from the top of the file's data window.
        const int top = description.y + row;
        if (!in->read_scanlines(0, 0, top, top + rows, 0, 0, channels, typeOf<Sample>(), band, pixelBytes,
                                pixelBytes * width)) {
            return readFailure(path, oiioError(in->geterror()));
        }
        expandChannels(band, size_t(rows) * size_t(width), channels);
    }
    in->close();
    image = std::move(read);
    return "";
}

template <typename Sample>
std::string writeImage(const std::string& path, const RgbaImageOf<Sample>& image, FileSamples samples,
                       bool replaceExisting, const std::atomic<bool>* stop) {
    const ImageFormat* format = formatOfPath(path);
    if (format == nullptr) return msg::quoted(path) + " " + msg::kUnknownFormat + " " + knownExtensions();
    if (!formatHolds(*format, samples)) {
        return writeFailure(path, std::string(format->name) + " " + msg::kSamplesNotHeld + " " + heldSamples(*format));
    }
    if (image.width <= 0 || image.height <= 0) return writeFailure(path, "the image is empty");

    std::unique_ptr<OIIO::ImageOutput> out = OIIO::ImageOutput::create(format->name);
    if (!out) return writeFailure(path, oiioError(""));
    OIIO::ImageSpec description(image.width, image.height, format->holdsAlpha ? 4 : 3, typeOf(samples));
    if (format->holdsAlpha) {
        description.alpha_channel = 3;
        description.attribute("oiio:UnassociatedAlpha", 1);  // written as it is, never divided out
    }
    const std::string temporary = temporaryPathFor(path);
    if (!out->open(temporary, description)) {
        const std::string why = oiioError(out->geterror());
        ::unlink(temporary.c_str());
        return writeFailure(path, why);
    }
    const OIIO::stride_t pixelBytes = 4 * sizeof(Sample);
    std::string failure;
    for (int row = 0; row < image.height && failure.empty(); row += kBandRows) {
        if (stopped(stop)) {
            failure = msg::kInterrupted;
            break;
        }
        const int rows = std::min(kBandRows, image.height - row);
        if (!out->write_scanlines(row, row + rows, 0, typeOf<Sample>(), image.pixel(0, row), pixelBytes,
                                  pixelBytes * image.width)) {
            failure = writeFailure(path, oiioError(out->geterror()));
        }
    }
    if (!out->close() && failure.empty()) failure = writeFailure(path, oiioError(out->geterror()));
    if (!failure.empty()) {
        ::unlink(temporary.c_str());
        return failure;
    }
    return publish(temporary, path, replaceExisting);
}

template std::string readImage(const std::string&, RgbaImageOf<uint8_t>&, const std::atomic<bool>*);
template std::string readImage(const std::string&, RgbaImageOf<uint16_t>&, const std::atomic<bool>*);
template std::string readImage(const std::string&, RgbaImageOf<float>&, const std::atomic<bool>*);
template std::string writeImage(const std::string&, const RgbaImageOf<uint8_t>&, FileSamples, bool,
                                const std::atomic<bool>*);
template std::string writeImage(const std::string&, const RgbaImageOf<uint16_t>&, FileSamples, bool,
                                const std::atomic<bool>*);
template std::string writeImage(const std::string&, const RgbaImageOf<float>&, FileSamples, bool,
                                const std::atomic<bool>*);
