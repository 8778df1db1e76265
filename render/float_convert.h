// Float-to-integer conversions that cannot overflow. Within the int32 range they
// truncate toward zero exactly as a cast does; beyond it they saturate, and NaN
// gives 0, so values that only out-of-range parameters produce stay defined.
#pragma once

#include <cstdint>

inline int32_t truncateToInt32(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return int32_t(v);
}

inline int32_t truncateToInt32(float v) {
    if (v >= -2147483648.0f && v < 2147483648.0f) return int32_t(v);
    return v > 0.0f ? INT32_MAX : (v < 0.0f ? INT32_MIN : 0);
}
