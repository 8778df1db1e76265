// The float 32-bit melt kernels without shading.
#include "render/melt_kernel.h"

// The six source instances follow once the intensity-source layers are sampled
// (TableIndexSource); the render entries do not choose them before.

MeltKernel<float>& meltScanlinesWrap32 = meltScanlines<Channel32, true, false, false, false>;
MeltKernel<float>& meltScanlines32 = meltScanlines<Channel32, false, false, false, false>;
