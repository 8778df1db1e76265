// The 8-bit melt kernels without shading.
#include "render/melt_kernel.h"

// The six source instances follow once the intensity-source layers are sampled
// (TableIndexSource); the render entries do not choose them before.

MeltKernel<uint8_t>& meltScanlinesWrap8 = meltScanlines<Channel8, true, false, false, false>;
MeltKernel<uint8_t>& meltScanlines8 = meltScanlines<Channel8, false, false, false, false>;
