#include "host/graph_line.h"

#include <algorithm>

void coverLevelLine(GraphGrid& grid, const int32_t* levels, int32_t count) {
    for (int32_t k = 0; k < count; ++k) {
        const int32_t x = k + 2;
        const int32_t y = levels[k];
        grid.cover(98 - y, x);
        grid.cover(97 - y, x);
        if (k == 0) continue;
        const int32_t previous = levels[k - 1];
        for (int32_t step = std::min(previous, y); step <= std::max(previous, y); ++step) {
            grid.cover(97 - step, x - 1);
            grid.cover(96 - step, x - 1);
        }
    }
}
