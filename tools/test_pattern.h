// A built-in picture to melt when no input is given: bars of every brightness (so
// the brightness-keyed velocity and spread show), a brightness ramp, a checker, a
// soft-edged disc and transparent areas (so the alpha handling shows).
#pragma once

#include <atomic>
#include <cstdint>

#include "tools/rgba_image.h"

constexpr int32_t kTestPatternWidth = 640;
constexpr int32_t kTestPatternHeight = 360;

// A large pattern takes a while: when *stop turns true meanwhile, the rows not yet
// drawn stay transparent.
RgbaImage makeTestPattern(int32_t width = kTestPatternWidth, int32_t height = kTestPatternHeight,
                          const std::atomic<bool>* stop = nullptr);
