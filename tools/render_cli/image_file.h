// Reading and writing image files through OpenImageIO, in the format their extension
// names. Any file is read as straight RGBA samples of the type asked for: grey, grey
// with alpha and RGB (palette files come as RGB) are expanded, alpha stays as stored,
// and float samples keep their range. A file is written to a temporary file beside it
// and renamed into place once whole, so an interrupted or failed write leaves nothing
// half-written under the file's name. Both read and write a band of rows at a time and
// give up between bands once the stop flag is set.
#pragma once

#include <atomic>
#include <string>

#include "tools/render_cli/image_formats.h"
#include "tools/rgba_image.h"

// Wider than any frame the effect renders, small enough to refuse absurd headers.
constexpr int32_t kMaxImageSide = 32768;

// Returns "" on success, else a message naming the file; image is empty on failure.
template <typename Sample>
std::string readImage(const std::string& path, RgbaImageOf<Sample>& image, const std::atomic<bool>* stop = nullptr);

// Writes the image with the given samples, which its format must hold. Without
// replaceExisting a file that has appeared under the name meanwhile is left alone and
// the write refused. Returns "" on success, else a message.
template <typename Sample>
std::string writeImage(const std::string& path, const RgbaImageOf<Sample>& image, FileSamples samples,
                       bool replaceExisting, const std::atomic<bool>* stop = nullptr);
