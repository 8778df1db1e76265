// The widest vectors the kernels may use. One module runs on many processors: the
// path is chosen once per process, at the first render, from what the processor
// and the operating system offer, and every path does the same arithmetic per lane
// in the same order, so that all of them render alike, bit for bit. SSE2 is the
// plain path that every x64 processor has.
#pragma once

#include <cstdint>

enum class VectorPath : int32_t {
    kSse2 = 0,    // 128-bit: one cell to a vector
    kAvx2 = 1,    // 256-bit: two cells
    kAvx512 = 2,  // 512-bit: four cells (AVX-512 F, VL, BW and DQ)
};

// The instructions a function of the two wider paths is compiled for; SSE2 needs
// none. A function's declaration and its definition both carry them.
#define ONDRAVA_TARGET_AVX2 __attribute__((target("avx2")))
#define ONDRAVA_TARGET_AVX512 __attribute__((target("avx512f,avx512vl,avx512bw,avx512dq")))

// The widest path the processor has and the operating system saves the registers of.
VectorPath offeredVectorPath();

// The path the kernels take: the offered one, unless a test forced another.
VectorPath vectorPath();

// For tests: makes every later render take `path`; false, and nothing changes,
// when the processor does not offer it.
bool forceVectorPath(VectorPath path);

const char* vectorPathName(VectorPath path);
