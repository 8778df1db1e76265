// A frame's files and the host's buffers: an image file read into an ARGB buffer of
// the render's depth, and a rendered buffer (with its input beside it on request)
// written to a file, through images whose samples follow the depth: 8-bit for 8-bit
// renders, 16-bit for 16-bit, float for float, so that nothing is clamped or
// rounded twice. Each stops between rows once the stop flag is set.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "tools/argb_buffer.h"
#include "tools/render_cli/image_formats.h"

// Returns "" and the buffer, or a message.
std::string readIntoBuffer(const std::string& path, PixelDepth depth, const std::atomic<bool>* stop,
                           std::unique_ptr<ArgbBuffer>& buffer);

// Writes output, with besideInput (same size and depth) to its left when not null.
std::string writeFromBuffers(const std::string& path, const ArgbBuffer& output, const ArgbBuffer* besideInput,
                             FileSamples samples, bool replaceExisting, const std::atomic<bool>* stop);
