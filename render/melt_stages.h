// The melt kernel's stages, for the code that extends the kernel and for tests
// that check each stage on its own. Per call: buildTables, the step grid
// (prepareStepGrid, alignStepGrid), the fade lengths; per line: modulateScanline,
// the abort poll, clearAccumulator, depositRuns, normalizeCells, fillGaps,
// stretchLine, fadeLineEnds, writeLine.
#pragma once

#include "render/cell_finish.h"
#include "render/channel_traits.h"
#include "render/curves.h"
#include "render/line_fades.h"
#include "render/line_geometry.h"
#include "render/line_stretch.h"
#include "render/melt_instances.h"
#include "render/melt_kernel.h"
#include "render/melt_tables.h"
#include "render/run_deposit.h"
#include "render/step_grid.h"
