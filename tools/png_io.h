// Reading and writing PNG files through libpng. Every PNG colour type and depth is
// read as straight-alpha RGBA; files are written with 8 or 16 bits per channel.
// Failures come back as a message naming the file, never as a crash.
#pragma once

#include <string>

#include "tools/rgba_image.h"

// Returns "" on success, else a message; image is left empty on failure.
std::string readPng(const std::string& path, RgbaImage& image);
std::string writePng(const std::string& path, const RgbaImage& image, int bitDepth);
