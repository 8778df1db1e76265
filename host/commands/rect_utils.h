// Rectangle helpers on the host's integer rectangle. Right and bottom lie one past
// the last column and row.
#pragma once

#include <cstdint>

#include "platform/pf_effect.h"

bool IsEmptyRect(const PF_LRect& rect);

// Widens the destination to the bounding box of both. An empty destination simply
// takes the source, even an empty one; an empty source changes nothing else.
void UnionLRect(const PF_LRect& source, PF_LRect& destination);

// True on the four border lines, the right and bottom lines included.
bool IsEdgePixel(const PF_LRect& rect, int32_t x, int32_t y);
