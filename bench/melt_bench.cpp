#include "bench/melt_bench.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const char* depthName(PixelDepth depth) {
    switch (depth) {
        case PixelDepth::k8: return "8bit";
        case PixelDepth::k16: return "16bit";
        case PixelDepth::k32: break;
    }
    return "float";
}

void runCase(benchmark::State& state, MeltSceneSetup setup, PixelDepth depth, bool wrap) {
    MeltScene scene(depth);
    setup(scene);
    scene.params.wrap = wrap ? 1 : 0;
    const double cellsPerFrame = scene.runCellsPerFrame();
    for (auto _ : state) {
        if (scene.render() != 0) {
            state.SkipWithError("the render stopped early");
            return;
        }
        benchmark::ClobberMemory();
    }
    const double frames = double(state.iterations());
    state.counters["fps"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["cells/s"] = benchmark::Counter(frames * cellsPerFrame, benchmark::Counter::kIsRate);
}

}  // namespace

int registerMeltCase(const char* name, MeltSceneSetup setup) {
    for (PixelDepth depth : {PixelDepth::k8, PixelDepth::k16, PixelDepth::k32}) {
        for (bool wrap : {false, true}) {
            const std::string full = std::string(name) + "/" + depthName(depth) + (wrap ? "/wrap" : "/nowrap");
            benchmark::RegisterBenchmark(full.c_str(), runCase, setup, depth, wrap)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    return 0;
}

BENCHMARK_MAIN();
