#include "host/commands/rect_utils.h"

bool IsEmptyRect(const PF_LRect& rect) {
    return rect.left >= rect.right || rect.top >= rect.bottom;
}

void UnionLRect(const PF_LRect& source, PF_LRect& destination) {
    if (IsEmptyRect(destination)) {
        destination = source;
        return;
    }
    if (IsEmptyRect(source)) {
        return;
    }
    if (source.left < destination.left) destination.left = source.left;
    if (source.top < destination.top) destination.top = source.top;
    if (source.right > destination.right) destination.right = source.right;
    if (source.bottom > destination.bottom) destination.bottom = source.bottom;
}

bool IsEdgePixel(const PF_LRect& rect, int32_t x, int32_t y) {
    if (x == rect.left || x == rect.right) {
        return rect.top <= y && y <= rect.bottom;
    }
    if (y == rect.top || y == rect.bottom) {
        return rect.left <= x && x <= rect.right;
    }
    return false;
}
