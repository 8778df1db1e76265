#include "bench/melt_bench.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <new>
#include <string>

#include "bench/deposit_floor.h"
#include "render/paths/vector_path.h"

namespace {

const char* depthName(PixelDepth depth) {
    switch (depth) {
        case PixelDepth::k8: return "8bit";
        case PixelDepth::k16: return "16bit";
        case PixelDepth::k32: break;
    }
    return "float";
}

// One case on one frame in one depth.
struct SceneConfig {
    MeltCase meltCase;
    SceneFrame frame;
    PixelDepth depth;

    std::string name() const {
        return std::string(meltCase.name) + "/" + sceneFrameName(frame) + "/" + depthName(depth);
    }
    std::unique_ptr<MeltScene> makeScene() const {
        auto scene = std::make_unique<MeltScene>(depth, frame, meltCase.width, meltCase.height);
        meltCase.setup(*scene);
        return scene;
    }
};

// The runs of the scene last asked for: its melt, literal and floor run one after
// the other, and one frame's census is as large as its runs are many. Shading
// weights the cells but places no run differently, so the census leaves it out.
const RunCensus& censusOf(const SceneConfig& config) {
    static std::string name;
    static RunCensus census;
    if (name != config.name()) {
        const auto scene = config.makeScene();
        scene->params.shading = 0;
        scene->renderLiteral(&census);
        name = config.name();
    }
    return census;
}

void countFrames(benchmark::State& state, double cellsPerFrame) {
    const double frames = double(state.iterations());
    state.counters["cells/s"] = benchmark::Counter(frames * cellsPerFrame, benchmark::Counter::kIsRate);
    state.counters["Mcells"] = cellsPerFrame * 1e-6;
}

void runMelt(benchmark::State& state, SceneConfig config) {
    const double cells = censusOf(config).depositedCells();
    const auto scene = config.makeScene();
    for (auto _ : state) {
        if (scene->render() != 0) {
            state.SkipWithError("the render stopped early");
            return;
        }
        benchmark::ClobberMemory();
    }
    countFrames(state, cells);
}

void runLiteral(benchmark::State& state, SceneConfig config) {
    const double cells = censusOf(config).depositedCells();
    const auto scene = config.makeScene();
    for (auto _ : state) {
        scene->renderLiteral();
        benchmark::ClobberMemory();
    }
    countFrames(state, cells);
}

void runFloor(benchmark::State& state, SceneConfig config) {
    const RunCensus& census = censusOf(config);
    constexpr size_t kFloats = 16384 * 4;
    std::unique_ptr<float[]> storage(new (std::align_val_t(64)) float[kFloats]());
    auto* cells = reinterpret_cast<float(*)[4]>(storage.get());
    for (auto _ : state) {
        depositFloor(census, cells);
        benchmark::ClobberMemory();
    }
    countFrames(state, census.depositedCells());
    state.SetLabel(vectorPathName(offeredVectorPath()));
}

std::vector<SceneConfig>& registeredConfigs() {
    static std::vector<SceneConfig> configs;
    return configs;
}

// Each run's time per frame in ms, by benchmark name: the median where the runs
// were repeated, otherwise the run itself; and the cells its frame deposits. Times
// are the thread's processor time: on a machine that others share, the wall clock
// also counts the time the benchmark waited for a core.
struct Measured {
    double ms = 0.0;
    double cells = 0.0;
    bool median = false;
};

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median) continue;
            if (run.error_occurred) continue;
            Measured& m = measured_[run.run_name.function_name];
            if (m.median && !median) continue;
            m.median = median;
            m.ms = run.GetAdjustedCPUTime() * msPerUnit(run.time_unit);
            const auto counter = run.counters.find("Mcells");
            if (counter != run.counters.end()) m.cells = counter->second.value * 1e6;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printSummary() const {
        std::printf("\nfloor at %s vectors; literal: the tests' literal melt\n",
                    vectorPathName(offeredVectorPath()));
        std::printf("%-38s %10s %10s %10s %9s %10s %10s %9s\n", "case", "ms/frame", "Mcells", "Gcells/s",
                    "floor ms", "floor", "literal ms", "x literal");
        for (const SceneConfig& config : registeredConfigs()) {
            const std::string name = config.name();
            const Measured* melt = find(name + "/melt");
            if (melt == nullptr) continue;
            const Measured* floor = find(name + "/floor");
            const Measured* literal = find(name + "/literal");
            std::printf("%-38s %10.2f %10.1f %10.3f", name.c_str(), melt->ms, melt->cells * 1e-6,
                        melt->cells / melt->ms * 1e-6);
            if (floor) std::printf(" %9.2f %9.0f%%", floor->ms, 100.0 * floor->ms / melt->ms);
            else std::printf(" %9s %10s", "-", "-");
            if (literal) std::printf(" %10.1f %9.2f\n", literal->ms, literal->ms / melt->ms);
            else std::printf(" %10s %9s\n", "-", "-");
        }
    }

private:
    static double msPerUnit(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kNanosecond: return 1e-6;
            case benchmark::kMicrosecond: return 1e-3;
            case benchmark::kMillisecond: return 1.0;
            case benchmark::kSecond: break;
        }
        return 1e3;
    }
    const Measured* find(const std::string& name) const {
        const auto it = measured_.find(name);
        return it == measured_.end() ? nullptr : &it->second;
    }

    std::map<std::string, Measured> measured_;
};

}  // namespace

int registerMeltCase(const MeltCase& meltCase) {
    for (SceneFrame frame : meltCase.frames) {
        for (PixelDepth depth : {PixelDepth::k8, PixelDepth::k16, PixelDepth::k32}) {
            const SceneConfig config{meltCase, frame, depth};
            registeredConfigs().push_back(config);
            const std::string name = config.name();
            benchmark::RegisterBenchmark((name + "/melt").c_str(), runMelt, config)
                ->Unit(benchmark::kMillisecond);
            if (meltCase.literal) {
                benchmark::RegisterBenchmark((name + "/literal").c_str(), runLiteral, config)
                    ->Unit(benchmark::kMillisecond);
            }
            benchmark::RegisterBenchmark((name + "/floor").c_str(), runFloor, config)
                ->Unit(benchmark::kMillisecond);
        }
    }
    return 0;
}

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
