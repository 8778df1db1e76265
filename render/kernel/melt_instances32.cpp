// The names of the float melt kernels, each the kernel's entry with its switches.
#include "render/kernel/melt_paths.h"

MeltKernel<float>& meltScanlinesWrap32 = meltScanlines<Channel32, true, false, false, false>;
MeltKernel<float>& meltScanlines32 = meltScanlines<Channel32, false, false, false, false>;
MeltKernel<float>& meltScanlinesVelSrcWrap32 = meltScanlines<Channel32, true, true, false, false>;
MeltKernel<float>& meltScanlinesVelSrc32 = meltScanlines<Channel32, false, true, false, false>;
MeltKernel<float>& meltScanlinesSpreadSrcWrap32 = meltScanlines<Channel32, true, false, true, false>;
MeltKernel<float>& meltScanlinesSpreadSrc32 = meltScanlines<Channel32, false, false, true, false>;
MeltKernel<float>& meltScanlinesBothSrcWrap32 = meltScanlines<Channel32, true, true, true, false>;
MeltKernel<float>& meltScanlinesBothSrc32 = meltScanlines<Channel32, false, true, true, false>;

// With shading.
MeltKernel<float>& meltScanlinesShadeWrap32 = meltScanlines<Channel32, true, false, false, true>;
MeltKernel<float>& meltScanlinesShade32 = meltScanlines<Channel32, false, false, false, true>;
MeltKernel<float>& meltScanlinesShadeVelSrcWrap32 = meltScanlines<Channel32, true, true, false, true>;
MeltKernel<float>& meltScanlinesShadeVelSrc32 = meltScanlines<Channel32, false, true, false, true>;
MeltKernel<float>& meltScanlinesShadeSpreadSrcWrap32 = meltScanlines<Channel32, true, false, true, true>;
MeltKernel<float>& meltScanlinesShadeSpreadSrc32 = meltScanlines<Channel32, false, false, true, true>;
MeltKernel<float>& meltScanlinesShadeBothSrcWrap32 = meltScanlines<Channel32, true, true, true, true>;
MeltKernel<float>& meltScanlinesShadeBothSrc32 = meltScanlines<Channel32, false, true, true, true>;
