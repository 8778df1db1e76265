#include "host/ui/graph_line.h"

#include <algorithm>

namespace {

// Levels beyond these lie off the grid with every row they would cover; holding
// them there keeps a run between two far-off levels short, and the picture the same.
int32_t levelNearGrid(int32_t level, const GraphGrid& grid) {
    const int32_t lowest = -grid.rows();
    const int32_t highest = 100;
    return level < lowest ? lowest : (level > highest ? highest : level);
}

}  // namespace

void coverLevelLine(GraphGrid& grid, const int32_t* levels, int32_t count) {
    for (int32_t k = 0; k < count; ++k) {
        const int32_t x = k + 2;
        const int32_t y = levelNearGrid(levels[k], grid);
        grid.cover(98 - y, x);
        grid.cover(97 - y, x);
        if (k == 0) continue;
        const int32_t previous = levelNearGrid(levels[k - 1], grid);
        for (int32_t step = std::min(previous, y); step <= std::max(previous, y); ++step) {
            grid.cover(97 - step, x - 1);
            grid.cover(96 - step, x - 1);
        }
    }
}
