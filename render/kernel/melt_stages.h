// The melt kernel's stages, for the code that extends the kernel and for tests
// that check each stage on its own. Per call: buildTables, the step grid
// (prepareStepGrid, alignStepGrid), the fade lengths; per line: modulateScanline,
// the abort poll, clearAccumulator, depositRuns, normalizeCells, fillGaps,
// stretchLine, fadeLineEnds, writeLine.
#pragma once

#include "render/curves.h"
#include "render/kernel/channel_traits.h"
#include "render/kernel/line_geometry.h"
#include "render/kernel/melt_instances.h"
#include "render/kernel/melt_kernel.h"
#include "render/stages/cell_finish.h"
#include "render/stages/line_fades.h"
#include "render/stages/line_stretch.h"
#include "render/stages/melt_tables.h"
#include "render/stages/run_deposit.h"
#include "render/stages/step_grid.h"
