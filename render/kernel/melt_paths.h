// The kernel's entry: one call melts one frame on the widest vector path the
// processor offers. Each path's kernel is only declared here: render/kernel/melt_kernel.h
// defines it, and the build compiles it in a unit of its own for every depth,
// path and shading (render/kernel/melt_path_kernels.cpp.in), so that those units, the
// build's largest, compile side by side.
#pragma once

#include <cstdint>

#include "platform/pf_effect.h"
#include "render/kernel/melt_instances.h"
#include "render/param_values.h"
#include "render/paths/vector_path.h"
#include "render/sources/source_sampling.h"

// One kernel call's arguments. Pitches are in channels; the input is srcWidth x
// srcHeight pixels and is read over the output's extent, positions outside it
// reading as transparent.
template <class Channel>
struct MeltFrame {
    Channel* dstPixels;
    int32_t dstPitch;
    const Channel* srcPixels;
    int32_t srcPitch;
    int32_t srcWidth;
    int32_t srcHeight;
    int32_t dstWidth;
    int32_t dstHeight;
    float scale;
    ParamValues params;
    SourceLayerArgs<Channel> velocitySource;
    SourceLayerArgs<Channel> spreadSource;
    AbortProgress abortProgress;
    PF_InData* inData;
};

// The kernel compiled for each path's vectors. Returns 0, or the non-zero answer
// of abortProgress.
template <class Traits, bool Wrap, bool VelocitySource, bool SpreadSource, bool Shading>
struct MeltPaths {
    using Frame = MeltFrame<typename Traits::Channel>;
    static int32_t sse2(const Frame& frame);
    ONDRAVA_TARGET_AVX2 static int32_t avx2(const Frame& frame);
    ONDRAVA_TARGET_AVX512 static int32_t avx512(const Frame& frame);
};

// The kernel: melts the frame on the widest vector path the processor offers.
template <class Traits, bool Wrap, bool VelocitySource, bool SpreadSource, bool Shading>
int32_t meltScanlines(typename Traits::Channel* dstPixels, int32_t dstPitch,
                      const typename Traits::Channel* srcPixels, int32_t srcPitch, int32_t srcWidth,
                      int32_t srcHeight, int32_t dstWidth, int32_t dstHeight, float scale,
                      ParamValues params, SourceLayerArgs<typename Traits::Channel> velocitySource,
                      SourceLayerArgs<typename Traits::Channel> spreadSource, AbortProgress abortProgress,
                      PF_InData* inData) {
    using Paths = MeltPaths<Traits, Wrap, VelocitySource, SpreadSource, Shading>;
    const typename Paths::Frame frame{dstPixels, dstPitch, srcPixels, srcPitch, srcWidth, srcHeight, dstWidth,
                                      dstHeight, scale, params, velocitySource, spreadSource, abortProgress, inData};
    switch (vectorPath()) {
        case VectorPath::kSse2: return Paths::sse2(frame);
        case VectorPath::kAvx2: return Paths::avx2(frame);
        case VectorPath::kAvx512: break;
    }
    return Paths::avx512(frame);
}
