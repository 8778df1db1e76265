// Whole-buffer conversion between straight RGBA images and the host's ARGB buffers,
// in every pairing of image sample type (8-bit, 16-bit, float) and buffer depth. Each
// sample is scaled by the two full scales (a 16-bit buffer's is the host's 32768, an
// image's 65535); integer results are rounded to nearest and saturate, float results
// keep whatever range they have. A stop flag, read once a row, ends a long conversion
// early: it then returns false and the destination is incomplete.
#pragma once

#include <atomic>

#include "tools/argb_buffer.h"
#include "tools/rgba_image.h"

// The image and the buffer must have the same size.
template <typename Sample>
bool copyImageToArgb(const RgbaImageOf<Sample>& image, ArgbBuffer& buffer, const std::atomic<bool>* stop = nullptr);

// Resizes the image to the buffer's size.
template <typename Sample>
bool copyArgbToImage(const ArgbBuffer& buffer, RgbaImageOf<Sample>& image, const std::atomic<bool>* stop = nullptr);
