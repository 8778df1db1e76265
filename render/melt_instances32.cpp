// The float 32-bit melt kernels without shading.
#include "render/melt_kernel.h"

MeltKernel<float>& meltScanlinesWrap32 = meltScanlines<Channel32, true, false, false, false>;
MeltKernel<float>& meltScanlines32 = meltScanlines<Channel32, false, false, false, false>;
MeltKernel<float>& meltScanlinesVelSrcWrap32 = meltScanlines<Channel32, true, true, false, false>;
MeltKernel<float>& meltScanlinesVelSrc32 = meltScanlines<Channel32, false, true, false, false>;
MeltKernel<float>& meltScanlinesSpreadSrcWrap32 = meltScanlines<Channel32, true, false, true, false>;
MeltKernel<float>& meltScanlinesSpreadSrc32 = meltScanlines<Channel32, false, false, true, false>;
MeltKernel<float>& meltScanlinesBothSrcWrap32 = meltScanlines<Channel32, true, true, true, false>;
MeltKernel<float>& meltScanlinesBothSrc32 = meltScanlines<Channel32, false, true, true, false>;
