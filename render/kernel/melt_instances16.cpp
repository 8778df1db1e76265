// The names of the 16-bit melt kernels, each the kernel's entry with its switches.
#include "render/kernel/melt_paths.h"

MeltKernel<uint16_t>& meltScanlinesWrap16 = meltScanlines<Channel16, true, false, false, false>;
MeltKernel<uint16_t>& meltScanlines16 = meltScanlines<Channel16, false, false, false, false>;
MeltKernel<uint16_t>& meltScanlinesVelSrcWrap16 = meltScanlines<Channel16, true, true, false, false>;
MeltKernel<uint16_t>& meltScanlinesVelSrc16 = meltScanlines<Channel16, false, true, false, false>;
MeltKernel<uint16_t>& meltScanlinesSpreadSrcWrap16 = meltScanlines<Channel16, true, false, true, false>;
MeltKernel<uint16_t>& meltScanlinesSpreadSrc16 = meltScanlines<Channel16, false, false, true, false>;
MeltKernel<uint16_t>& meltScanlinesBothSrcWrap16 = meltScanlines<Channel16, true, true, true, false>;
MeltKernel<uint16_t>& meltScanlinesBothSrc16 = meltScanlines<Channel16, false, true, true, false>;

// With shading.
MeltKernel<uint16_t>& meltScanlinesShadeWrap16 = meltScanlines<Channel16, true, false, false, true>;
MeltKernel<uint16_t>& meltScanlinesShade16 = meltScanlines<Channel16, false, false, false, true>;
MeltKernel<uint16_t>& meltScanlinesShadeVelSrcWrap16 = meltScanlines<Channel16, true, true, false, true>;
MeltKernel<uint16_t>& meltScanlinesShadeVelSrc16 = meltScanlines<Channel16, false, true, false, true>;
MeltKernel<uint16_t>& meltScanlinesShadeSpreadSrcWrap16 = meltScanlines<Channel16, true, false, true, true>;
MeltKernel<uint16_t>& meltScanlinesShadeSpreadSrc16 = meltScanlines<Channel16, false, false, true, true>;
MeltKernel<uint16_t>& meltScanlinesShadeBothSrcWrap16 = meltScanlines<Channel16, true, true, true, true>;
MeltKernel<uint16_t>& meltScanlinesShadeBothSrc16 = meltScanlines<Channel16, false, true, true, true>;
