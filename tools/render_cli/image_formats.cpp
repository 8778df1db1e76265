#include "tools/render_cli/image_formats.h"

#include <algorithm>
#include <cctype>

namespace {

const std::vector<ImageFormat>& imageFormats() {
    static const std::vector<ImageFormat> formats = {
        {"png", {".png"}, {FileSamples::k8, FileSamples::k16}, true},
        {"tiff", {".tif", ".tiff"}, {FileSamples::k8, FileSamples::k16, FileSamples::kFloat}, true},
        {"openexr", {".exr"}, {FileSamples::kHalf, FileSamples::kFloat}, true},
        {"jpeg", {".jpg", ".jpeg"}, {FileSamples::k8}, false},
    };
    return formats;
}

std::string lowerExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

// Whether samples keep every value of a render at depth: the 8-bit channels, the
// host's 32769 16-bit levels or float.
bool keepsEveryValue(FileSamples samples, PixelDepth depth) {
    switch (depth) {
        case PixelDepth::k8: return true;
        case PixelDepth::k16: return samples == FileSamples::k16 || samples == FileSamples::kFloat;
        case PixelDepth::k32: break;
    }
    return samples == FileSamples::kFloat;
}

}  // namespace

const ImageFormat* formatOfPath(const std::string& path) {
    const std::string extension = lowerExtension(path);
    for (const ImageFormat& format : imageFormats()) {
        for (const std::string& known : format.extensions) {
            if (known == extension) return &format;
        }
    }
    return nullptr;
}

std::string knownExtensions() {
    std::string text;
    for (const ImageFormat& format : imageFormats()) {
        for (const std::string& extension : format.extensions) text += (text.empty() ? "" : " ") + extension;
    }
    return text;
}

const char* samplesName(FileSamples samples) {
    switch (samples) {
        case FileSamples::k8: return "8";
        case FileSamples::k16: return "16";
        case FileSamples::kHalf: return "half";
        case FileSamples::kFloat: break;
    }
    return "float";
}

bool parseSamples(const std::string& text, FileSamples* samples) {
    for (FileSamples s : {FileSamples::k8, FileSamples::k16, FileSamples::kHalf, FileSamples::kFloat}) {
        if (text == samplesName(s)) {
            *samples = s;
            return true;
        }
    }
    return false;
}

bool formatHolds(const ImageFormat& format, FileSamples samples) {
    return std::find(format.holds.begin(), format.holds.end(), samples) != format.holds.end();
}

std::string heldSamples(const ImageFormat& format) {
    std::string text;
    for (size_t i = 0; i < format.holds.size(); ++i) {
        if (i > 0) text += i + 1 == format.holds.size() ? " or " : ", ";
        text += samplesName(format.holds[i]);
    }
    return text;
}

FileSamples defaultSamples(const ImageFormat& format, PixelDepth depth) {
    for (FileSamples samples : format.holds) {
        if (keepsEveryValue(samples, depth)) return samples;
    }
    return format.holds.back();
}
