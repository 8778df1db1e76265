// Replayed shading factors against factors worked out afresh for every run: the
// deposit must not change a single bit, whether runs repeat or not.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "render/shading/melt_shading.h"
#include "render/shading/shade_factor_cache.h"
#include "render/sources/table_index_source.h"
#include "render/stages/run_deposit.h"
#include "tests/render/shading_test_support.h"

namespace {

// The shading of the kernel with every run computing its own factors.
struct ShadingWithoutReuse : MeltShading<true> {
    struct RunCache {};
    RunCache runCache() const { return {}; }
    ShadedRun<> beginRun(float length, float consumed, RunCache&) const {
        return ShadedRun<>(shadingTable, length, consumed);
    }
};

// ---- One run at a time: the calls depositRun makes, replayed on both kinds of run.

struct RunCalls {
    float length;
    float consumed;
    bool first;             // a first partial cell of share 0.375
    std::vector<int32_t> wholeSegments;  // whole cells per wholeCells call
    bool last;
};

template <class Run>
std::vector<float> amounts(Run& run, const RunCalls& calls) {
    std::vector<float> out;
    if (calls.first) out.push_back(run.firstCell(0.375f, 0.7f));
    for (int32_t count : calls.wholeSegments) {
        const size_t base = out.size();
        out.resize(base + size_t(count));
        run.wholeCells(count, 0.9f, [&](int32_t k, float a) { out[base + size_t(k)] = a; });
    }
    if (calls.last) out.push_back(run.lastCell(0.3f));
    return out;
}

struct SineTable {
    float entry[kShadingTableSize];
    SineTable() {
        for (int i = 0; i < kShadingTableSize; ++i) entry[i] = float(std::sin(double(i) * 0.0491)) * 0.8f + 1.0f;
    }
};

// Runs one after another through one cache, so that later ones hit what earlier ones left.
TEST(ShadeFactorCache, RunsThroughOneCacheMatchRunsComputedAfresh) {
    const SineTable table;
    const std::vector<RunCalls> sequence = {
        {12.5f, 0.0f, true, {11}, true},
        {12.5f, 0.0f, true, {11}, true},           // a repeat
        {12.5f, 0.0f, false, {12}, true},          // same length, no first partial cell
        {12.5f, 0.0f, true, {4, 7}, true},         // the repeat split by a wrap
        {12.5f, 0.0f, true, {3}, true},            // fewer whole cells: another last cell
        {12.5f, 0.0f, true, {11}, true},
        {300.25f, 0.0f, false, {256, 44}, true},   // exactly the kept cells, then on
        {300.25f, 0.0f, false, {256}, false},      // cut short at the kept cells
        {300.25f, 0.0f, false, {100, 200}, true},  // across the kept cells in one call
        {300.25f, 0.0f, false, {5}, true},         // shorter than the key's first run: last cell afresh
        {300.25f, 0.0f, false, {300}, true},
        {40.0f, 7.5f, false, {32}, true},          // clipped at the line start
        {40.0f, 7.5f, false, {32}, true},
        {40.0f, 0.0f, false, {40}, false},         // same length, not clipped
        {0.0f, 0.0f, false, {}, true},             // no length at all
        {-3.0f, 0.0f, true, {}, true},
        {0.5f, 0.0f, true, {}, true},
        {2000.0f, 0.0f, true, {1999}, true},
    };
    // All the room a call lends, the least it lends, and none.
    for (int32_t sets : {ShadeFactorCache<>::kFullSets, 16, 0}) {
        auto room = std::make_unique<RoomyCache<>>(table.entry, sets, sets * 64);
        for (int pass = 0; pass < 2; ++pass) {
            for (size_t n = 0; n < sequence.size(); ++n) {
                const RunCalls& calls = sequence[n];
                ShadedRun<> fresh(table.entry, calls.length, calls.consumed);
                CachedShadedRun<> cached(room->cache, calls.length, calls.consumed);
                const std::vector<float> expected = amounts(fresh, calls);
                const std::vector<float> got = amounts(cached, calls);
                ASSERT_EQ(got.size(), expected.size());
                EXPECT_EQ(std::memcmp(got.data(), expected.data(), got.size() * sizeof(float)), 0)
                    << sets << " sets, pass " << pass << " run " << n;
            }
        }
    }
}

// More kinds of run than the ring holds, some of them met again and again: runs
// lose their stretch of the ring, share sets, are copied ahead when replayed from
// its older half and grow when a later run of their kind goes further.
TEST(ShadeFactorCache, KindsOfRunBeyondWhatTheRingHoldsMatchRunsComputedAfresh) {
    const SineTable table;
    std::mt19937 random(7);
    std::vector<RunCalls> kinds;
    int64_t kindCells = 0;
    for (int n = 0; n < 1500; ++n) {
        const float length = 20.0f + float(random() % 28000) * 0.01f;
        const bool first = random() % 2 == 0;
        const int32_t whole = int32_t(length) - (first ? 1 : 0);
        kinds.push_back({length, first ? 0.0f : float(random() % 4) * 0.25f, first, {whole}, true});
        kindCells += whole;
    }
    ASSERT_GT(kindCells, 4 * int64_t(ShadeFactorCache<>::kFullRingCells));
    // The full cache, and the smallest a call keeps, whose ring holds four runs of
    // the kept cells.
    for (int32_t sets : {ShadeFactorCache<>::kFullSets, 16}) {
        auto room = std::make_unique<RoomyCache<>>(table.entry, sets, sets * 64);
        ASSERT_GE(room->cache.ringCells(), ShadeFactorCache<>::kSmallestRingCells);
        std::mt19937 runs(11);
        for (int n = 0; n < 12000; ++n) {
            // A few kinds make most of the runs; every tenth run stops early or goes on in two calls.
            const size_t kind = runs() % 4 != 0 ? runs() % 40 : runs() % kinds.size();
            RunCalls calls = kinds[kind];
            const int32_t whole = calls.wholeSegments[0];
            if (n % 10 == 3) calls.wholeSegments = {whole / 3}, calls.last = false;
            if (n % 10 == 7) calls.wholeSegments = {whole / 2, whole - whole / 2};
            ShadedRun<> fresh(table.entry, calls.length, calls.consumed);
            CachedShadedRun<> cached(room->cache, calls.length, calls.consumed);
            const std::vector<float> expected = amounts(fresh, calls);
            const std::vector<float> got = amounts(cached, calls);
            ASSERT_EQ(got.size(), expected.size());
            ASSERT_EQ(std::memcmp(got.data(), expected.data(), got.size() * sizeof(float)), 0)
                << sets << " sets, run " << n;
        }
    }
}

// ---- Whole lines through the deposit.

struct Line {
    float cells[kLineCells][4];
};

struct LineCase {
    const char* name;
    int32_t lineLength;
    int32_t step;
    float gridFraction;
    // The pixel's grey level (0..1) at position i of the line.
    std::function<float(int32_t i, std::mt19937& random)> grey;
    // Spread lengths: up to this many cells; velocities and offsets scaled by `reach`.
    float longestRun;
    float reach;
};

template <bool Wrap>
void compareLines(const LineCase& c, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto tables = std::make_unique<MeltTables>();
    for (int j = 0; j < kLumaEntries; ++j) {
        tables->spreadLengthTable[j] = 0.5f + c.longestRun * float(j) / float(kLumaEntries - 1);
        tables->velocityTable[j] = (unit(random) - 0.5f) * c.reach;
        tables->spreadOffsetTable[j] = -0.5f * tables->spreadLengthTable[j];
    }
    auto shading = std::make_unique<ShadingWithoutReuse>();
    for (int i = 0; i < kShadingTableSize; ++i) shading->shadingTable[i] = unit(random) * 2.0f - 0.25f;
    const MeltShading<true>& reusing = *shading;

    std::vector<float> px(4 * size_t(c.lineLength));
    for (int32_t i = 0; i < c.lineLength; ++i) {
        const float grey = c.grey(i, random);
        px[4 * size_t(i)] = 1.0f;
        px[4 * size_t(i) + 1] = px[4 * size_t(i) + 2] = px[4 * size_t(i) + 3] = grey;
    }
    const InputLine<float> line{px.data(), {0, 4}, {0, c.lineLength}};
    const RunSettings settings = runSettings(c.lineLength, c.step, false);
    const GridOffset grid{0, c.gridFraction};
    const TableIndexSource<Channel32, false, false> sources{};

    auto fast = std::make_unique<Line>();
    auto afresh = std::make_unique<Line>();
    std::memset(fast.get(), 0, sizeof(Line));
    std::memset(afresh.get(), 0, sizeof(Line));
    const int32_t fastEnd = depositRuns<Channel32, Wrap>(fast->cells, line, settings, grid, *tables, sources, reusing);
    const int32_t afreshEnd =
        depositRuns<Channel32, Wrap>(afresh->cells, line, settings, grid, *tables, sources, *shading);
    EXPECT_EQ(fastEnd, afreshEnd) << c.name;
    EXPECT_EQ(std::memcmp(fast.get(), afresh.get(), sizeof(Line)), 0) << c.name << (Wrap ? " with Wrap" : "");
}

const LineCase kLineCases[] = {
    {"flat", 1920, 1, 0.0f, [](int32_t, std::mt19937&) { return 0.5f; }, 60.0f, 40.0f},
    {"flat, long runs above the kept cells", 1920, 1, 0.0f, [](int32_t, std::mt19937&) { return 0.9f; }, 700.0f,
     40.0f},
    {"gradient", 1920, 1, 0.0f, [](int32_t i, std::mt19937&) { return float(i) / 1920.0f; }, 120.0f, 40.0f},
    {"gradient, stepped grid with a fraction", 1500, 3, 0.25f,
     [](int32_t i, std::mt19937&) { return float(i) / 1500.0f; }, 90.0f, 60.0f},
    {"bands of repeated brightness", 2000, 1, 0.0f,
     [](int32_t i, std::mt19937&) { return float((i / 37) % 5) * 0.2f; }, 300.0f, 80.0f},
    {"far reach: clipped at the line start, past its end, wrapped", 800, 1, 0.0f,
     [](int32_t i, std::mt19937&) { return float((i / 50) % 3) * 0.4f; }, 200.0f, 3000.0f},
    {"runs longer than the buffer", 400, 2, 0.5f, [](int32_t, std::mt19937&) { return 1.0f; }, 20000.0f, 500.0f},
    {"noise", 1920, 1, 0.0f,
     [](int32_t, std::mt19937& r) { return std::uniform_real_distribution<float>(0.0f, 1.0f)(r); }, 150.0f,
     40.0f},
    {"full buffer", kLineCells, 1, 0.0f, [](int32_t i, std::mt19937&) { return float((i / 300) % 7) / 6.0f; },
     400.0f, 100.0f},
};

TEST(ShadeFactorCache, LinesDepositAsWithFactorsComputedAfresh) {
    uint32_t seed = 1;
    for (const LineCase& c : kLineCases) {
        compareLines<false>(c, seed++);
        compareLines<true>(c, seed++);
    }
}

}  // namespace
