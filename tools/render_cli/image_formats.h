// The image file formats the render tool reads and writes, chosen by a file's
// extension, and the samples each can hold.
#pragma once

#include <string>
#include <vector>

#include "tools/argb_buffer.h"

// How a written file stores a channel.
enum class FileSamples { k8, k16, kHalf, kFloat };

struct ImageFormat {
    const char* name;                     // OpenImageIO's name of the format
    std::vector<std::string> extensions;  // lower case, with the dot
    std::vector<FileSamples> holds;       // narrowest first
    bool holdsAlpha;
};

// The format an extension names (in any case); null for none.
const ImageFormat* formatOfPath(const std::string& path);

// ".png .tif .tiff .exr .jpg .jpeg", for messages and --help.
std::string knownExtensions();

const char* samplesName(FileSamples samples);  // "8", "16", "half", "float"
bool parseSamples(const std::string& text, FileSamples* samples);
bool formatHolds(const ImageFormat& format, FileSamples samples);
// "8 or 16", for messages.
std::string heldSamples(const ImageFormat& format);

// What a render at this depth is written with unless asked otherwise: the narrowest
// samples of the format that keep every value the render can give, else its widest.
FileSamples defaultSamples(const ImageFormat& format, PixelDepth depth);
