// The 8-bit melt kernels without shading.
#include "render/melt_kernel.h"

MeltKernel<uint8_t>& meltScanlinesWrap8 = meltScanlines<Channel8, true, false, false, false>;
MeltKernel<uint8_t>& meltScanlines8 = meltScanlines<Channel8, false, false, false, false>;
MeltKernel<uint8_t>& meltScanlinesVelSrcWrap8 = meltScanlines<Channel8, true, true, false, false>;
MeltKernel<uint8_t>& meltScanlinesVelSrc8 = meltScanlines<Channel8, false, true, false, false>;
MeltKernel<uint8_t>& meltScanlinesSpreadSrcWrap8 = meltScanlines<Channel8, true, false, true, false>;
MeltKernel<uint8_t>& meltScanlinesSpreadSrc8 = meltScanlines<Channel8, false, false, true, false>;
MeltKernel<uint8_t>& meltScanlinesBothSrcWrap8 = meltScanlines<Channel8, true, true, true, false>;
MeltKernel<uint8_t>& meltScanlinesBothSrc8 = meltScanlines<Channel8, false, true, true, false>;
