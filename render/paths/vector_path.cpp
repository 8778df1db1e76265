#include "render/paths/vector_path.h"

#include <cpuid.h>

#include <atomic>

namespace {

// Render threads read it, a test may set it: kUnchosen until the first render.
constexpr int32_t kUnchosen = -1;
std::atomic<int32_t> chosenPath{kUnchosen};

// Which register states the operating system saves on a task switch (XCR0).
uint64_t savedRegisterStates() {
    uint32_t low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (uint64_t(high) << 32) | low;
}

}  // namespace

VectorPath offeredVectorPath() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return VectorPath::kSse2;
    const bool osSavesState = (ecx & bit_OSXSAVE) != 0;
    if (!osSavesState || (ecx & bit_AVX) == 0) return VectorPath::kSse2;
    const uint64_t states = savedRegisterStates();
    constexpr uint64_t kXmmYmm = 0x6;  // SSE and AVX state
    constexpr uint64_t kZmm = 0xE0;    // opmask, upper halves of ZMM0-15, ZMM16-31
    if ((states & kXmmYmm) != kXmmYmm) return VectorPath::kSse2;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return VectorPath::kSse2;
    if ((ebx & bit_AVX2) == 0) return VectorPath::kSse2;
    constexpr unsigned kAvx512 = bit_AVX512F | bit_AVX512DQ | bit_AVX512BW | bit_AVX512VL;
    if ((ebx & kAvx512) == kAvx512 && (states & kZmm) == kZmm) return VectorPath::kAvx512;
    return VectorPath::kAvx2;
}

VectorPath vectorPath() {
    int32_t path = chosenPath.load(std::memory_order_relaxed);
    if (path == kUnchosen) {
        // Threads that get here together all find the same path; the first one keeps it.
        const int32_t offered = int32_t(offeredVectorPath());
        path = chosenPath.compare_exchange_strong(path, offered, std::memory_order_relaxed) ? offered : path;
    }
    return VectorPath(path);
}

bool forceVectorPath(VectorPath path) {
    if (int32_t(path) < 0 || int32_t(path) > int32_t(offeredVectorPath())) return false;
    chosenPath.store(int32_t(path), std::memory_order_relaxed);
    return true;
}

const char* vectorPathName(VectorPath path) {
    switch (path) {
        case VectorPath::kSse2: return "sse2";
        case VectorPath::kAvx2: return "avx2";
        case VectorPath::kAvx512: break;
    }
    return "avx512";
}
