// The 16-bit melt kernels without shading.
#include "render/melt_kernel.h"

MeltKernel<uint16_t>& meltScanlinesWrap16 = meltScanlines<Channel16, true, false, false, false>;
MeltKernel<uint16_t>& meltScanlines16 = meltScanlines<Channel16, false, false, false, false>;
MeltKernel<uint16_t>& meltScanlinesVelSrcWrap16 = meltScanlines<Channel16, true, true, false, false>;
MeltKernel<uint16_t>& meltScanlinesVelSrc16 = meltScanlines<Channel16, false, true, false, false>;
MeltKernel<uint16_t>& meltScanlinesSpreadSrcWrap16 = meltScanlines<Channel16, true, false, true, false>;
MeltKernel<uint16_t>& meltScanlinesSpreadSrc16 = meltScanlines<Channel16, false, false, true, false>;
MeltKernel<uint16_t>& meltScanlinesBothSrcWrap16 = meltScanlines<Channel16, true, true, true, false>;
MeltKernel<uint16_t>& meltScanlinesBothSrc16 = meltScanlines<Channel16, false, true, true, false>;
