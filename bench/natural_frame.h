// A frame that melts like a photograph: smooth gradients, soft shapes, a little
// grain (so that neighbouring pixels rarely share a brightness exactly) and a soft
// transparent band across it. Deterministic: the same pixels on every run.
#pragma once

#include <cstdint>

#include "tools/rgba_image.h"

RgbaImage makeNaturalFrame(int32_t width, int32_t height);
