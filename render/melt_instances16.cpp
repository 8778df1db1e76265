// The 16-bit melt kernels without shading.
#include "render/melt_kernel.h"

// The six source instances follow once the intensity-source layers are sampled
// (TableIndexSource); the render entries do not choose them before.

MeltKernel<uint16_t>& meltScanlinesWrap16 = meltScanlines<Channel16, true, false, false, false>;
MeltKernel<uint16_t>& meltScanlines16 = meltScanlines<Channel16, false, false, false, false>;
