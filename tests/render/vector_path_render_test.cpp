// Every vector path renders what the plain SSE2 path renders, byte for byte: frames
// large enough that runs fill many vectors, lap the line and reach the buffer's
// end, in every depth, direction, Wrap setting and shading wave. Each path the
// processor offers is forced in turn; the others are skipped on this machine.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "render/kernel/line_cells.h"
#include "render/paths/cell_vectors.h"
#include "render/paths/lanes.h"
#include "render/paths/vector_path.h"
#include "render/stages/cell_finish.h"
#include "tests/render/melt_test_support.h"

namespace {

struct PathCase {
    const char* name;
    std::function<void(ParamValues&)> change;
};

const std::vector<PathCase>& pathCases() {
    static const std::vector<PathCase> cases = {
        {"defaults", [](ParamValues&) {}},
        // Runs longer than the shading's replay keeps, lapping the line with Wrap.
        {"long runs", [](ParamValues& p) { p.velocity = 0.9, p.spread = 1.0, p.meltStep = 300; }},
        // Runs that start near the buffer's end and are cut there.
        {"runs past the buffer", [](ParamValues& p) { p.meltStep = 16384, p.velocity = 1.0, p.spread = 0.01; }},
        {"step and fade",
         [](ParamValues& p) { p.scanlineStep = 3, p.scanlinePhase = 100 * 65536, p.scanlineFade = 1; }},
        {"modulation and continuity",
         [](ParamValues& p) { p.modAmplitude = 30.0, p.modPeriod = 17.0, p.outputContinuity = 1, p.scanlineStep = 2; }},
        {"no start continuity", [](ParamValues& p) { p.outputContinuity = 2, p.shift = -0.3; }},
        {"full alpha continuity", [](ParamValues& p) { p.outputContinuity = 3, p.scanlineStep = 5; }},
        {"stretch and fades",
         [](ParamValues& p) { p.fullscreenStretch = 40.0, p.offscreenReach = 70.0, p.fadeStart = 15, p.fadeEnd = 30; }},
        {"curves", [](ParamValues& p) { p.velCurveFunction = 3, p.spreadCurveFunction = 2, p.spreadCurveSmoothness = 2; }},
    };
    return cases;
}

template <class Channel>
void fillNoise(Frame<Channel>& frame, uint32_t seed) {
    std::mt19937 rng(seed);
    for (int32_t y = 0; y < frame.height; ++y) {
        for (int32_t x = 0; x < frame.width; ++x) {
            Channel* px = frame.at(x, y);
            for (int c = 0; c < 4; ++c) {
                if constexpr (sizeof(Channel) == 4) px[c] = std::uniform_real_distribution<float>(-0.1f, 1.2f)(rng);
                else px[c] = Channel(std::uniform_int_distribution<unsigned>(0, sizeof(Channel) == 1 ? 255 : 32768)(rng));
            }
            // Stretches of transparent pixels open gaps between runs.
            if ((x / 7 + y / 5) % 9 == 0) px[0] = Channel(0);
        }
    }
}

template <class Channel>
std::vector<Channel> renderOn(VectorPath path, Frame<Channel>& in, const ParamValues& params) {
    EXPECT_TRUE(forceVectorPath(path));
    Frame<Channel> out(in.width, in.height, 8, Channel(3));
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    EXPECT_EQ(renderEntry<Channel>(&inLayer, &outLayer, params), 0);
    return out.data;
}

template <class Channel>
void compareEveryPath() {
    const VectorPath before = vectorPath();
    Frame<Channel> in(97, 61), velocity(100, 64), spread(90, 58);
    fillNoise(in, 1), fillNoise(velocity, 2), fillNoise(spread, 3);
    PF_LayerDef velocityLayer = velocity.layer(), spreadLayer = spread.layer();
    for (const PathCase& c : pathCases()) {
        for (int32_t direction = 0; direction < 4; ++direction) {
            for (int32_t wrap = 0; wrap < 2; ++wrap) {
                for (int32_t shading = 0; shading <= 4; shading += 1 + 2 * (direction & 1)) {
                    ParamValues params = defaultParamValues();
                    params.direction = direction, params.wrap = wrap, params.shading = shading;
                    c.change(params);
                    // Sources on some combinations: velocity, spread, both.
                    const int32_t sources = (direction + wrap + shading) % 4;
                    params.velocitySourceLayer = sources & 1 ? &velocityLayer : nullptr;
                    params.spreadSourceLayer = sources & 2 ? &spreadLayer : nullptr;
                    const std::vector<Channel> plain = renderOn(VectorPath::kSse2, in, params);
                    for (VectorPath path : {VectorPath::kAvx2, VectorPath::kAvx512}) {
                        if (int32_t(path) > int32_t(offeredVectorPath())) continue;
                        const std::vector<Channel> wide = renderOn(path, in, params);
                        ASSERT_EQ(std::memcmp(plain.data(), wide.data(), plain.size() * sizeof(Channel)), 0)
                            << c.name << " on " << vectorPathName(path) << ", direction " << direction << " wrap "
                            << wrap << " shading " << shading << " sources " << sources;
                    }
                }
            }
        }
    }
    forceVectorPath(before);
}

// A line buffer aligned as the kernel aligns it for the widest path.
struct AlignedLine {
    alignas(64) float cells[kLineCells][4];
};

// Cells of every kind normalisation tells apart: full, partial, subnormal alpha
// (no finite reciprocal, and the smallest with one), empty, negative, infinite and
// NaN alphas, and the float just below 1. Each bound a path compares alpha with has
// alphas on both sides within a factor of two (2^-129 .. 2^-128 .. 2^-127, 0.5 .. 1),
// so that a bound moved by a power of two changes some cell.
void fillSpecialCells(AlignedLine& line, uint32_t seed) {
    std::mt19937 rng(seed);
    const float alphas[] = {0.0f,   0.5f,       1.0f,      2.5f,      1e-40f,           -0.75f,
                            __builtin_inff(), __builtin_nanf(""), 0.999f, 0x1p-128f, 0x1.000008p-128f, 0x1.fffffep-1f,
                            0x1.8p-129f, 0x1.8p-128f, 0x1.fffff8p-128f, 0x1.000002p-1f};
    constexpr uint32_t kAlphas = sizeof(alphas) / sizeof(alphas[0]);
    for (auto& cell : line.cells) {
        cell[0] = rng() % 3 == 0 ? alphas[rng() % kAlphas] : std::uniform_real_distribution<float>(0.0f, 3.0f)(rng);
        for (int c = 1; c < 4; ++c) cell[c] = std::uniform_real_distribution<float>(-0.5f, 4.0f)(rng);
    }
}

// The cell stages compiled for one path's vectors, as the kernel compiles them.
#define CELL_STAGES_ON(Name, Cells, Target)                                                                     \
    struct Name {                                                                                               \
        static constexpr VectorPath kPath = Cells::kPath;                                                       \
        Target __attribute__((flatten)) static void normalize(float (*cells)[4], int32_t count, int32_t continuity) { \
            normalizeCells<Cells>(cells, count, continuity);                                                    \
        }                                                                                                       \
        Target __attribute__((flatten)) static void fillGaps(float (*cells)[4], int32_t count) {                \
            ::fillGaps<Cells>(cells, count);                                                                    \
        }                                                                                                       \
        Target __attribute__((flatten)) static void addRun(float (*cells)[4], const RunCells& run,              \
                                                           const RunColour& colour) {                           \
            Cells::addRun(cells, run, colour);                                                                  \
        }                                                                                                       \
        Target __attribute__((flatten)) static void addAmounts(bool ownEnds, float (*cells)[4], int32_t first,  \
                                                               int32_t count, const float* amounts,             \
                                                               const SpanColours& colours) {                    \
            if (ownEnds) Cells::template addAmounts<true>(cells, first, count, amounts, colours);               \
            else Cells::template addAmounts<false>(cells, first, count, amounts, colours);                      \
        }                                                                                                       \
    }
CELL_STAGES_ON(Sse2Stages, Sse2Cells, );
CELL_STAGES_ON(Avx2Stages, Avx2Cells, ONDRAVA_TARGET_AVX2);
CELL_STAGES_ON(Avx512Stages, Avx512Cells, ONDRAVA_TARGET_AVX512);
#undef CELL_STAGES_ON

template <class Stages>
void expectSameNormalisation(const AlignedLine& content, int32_t count, int32_t continuity) {
    auto plain = std::make_unique<AlignedLine>(content), wide = std::make_unique<AlignedLine>(content);
    Sse2Stages::normalize(plain->cells, count, continuity);
    Stages::normalize(wide->cells, count, continuity);
    EXPECT_EQ(std::memcmp(plain.get(), wide.get(), sizeof(AlignedLine)), 0)
        << vectorPathName(Stages::kPath) << " " << count << " cells, continuity " << continuity;
    Sse2Stages::fillGaps(plain->cells, count);
    Stages::fillGaps(wide->cells, count);
    EXPECT_EQ(std::memcmp(plain.get(), wide.get(), sizeof(AlignedLine)), 0)
        << vectorPathName(Stages::kPath) << " gaps filled in " << count << " cells, continuity " << continuity;
}

template <class Stages>
void expectSameRuns(uint32_t seed) {
    std::mt19937 rng(seed);
    auto plain = std::make_unique<AlignedLine>(), wide = std::make_unique<AlignedLine>();
    std::memset(plain.get(), 0, sizeof(AlignedLine));
    std::memset(wide.get(), 0, sizeof(AlignedLine));
    // Room for the amounts a path's first block of cells starts before, as the deposit keeps it.
    float storage[3 + 600];
    float* const amounts = storage + 3;
    for (int k = 0; k < 3000; ++k) {
        const int32_t first = int32_t(rng() % kLineCells);
        const int32_t room = kLineCells - first;
        const int32_t count = 1 + int32_t(rng() % uint32_t(room < 600 ? room : 600));
        const RunColour colour{float(rng() % 1000) * 0.001f, -0.25f, 3.5f};
        const float head = float(rng() % 100) * 0.01f, whole = 0.7f, tail = float(rng() % 100) * 0.013f;
        if (k % 2 == 0) {
            Sse2Stages::addRun(plain->cells, RunCells{first, count, head, whole, tail}, colour);
            Stages::addRun(wide->cells, RunCells{first, count, head, whole, tail}, colour);
        } else {
            // Spans of one, two, three cells and more, whose first and last cells
            // take colours of their own.
            const int32_t span = k % 8 == 1 ? 1 + int32_t(rng() % 3) : count;
            const SpanColours colours{colour.carrying(head), colour, colour.carrying(tail)};
            for (int32_t j = 0; j < span; ++j) amounts[j] = float(rng() % 997) * 0.0017f;
            const int32_t cells = span < room ? span : room;
            Sse2Stages::addAmounts(k % 4 == 1, plain->cells, first, cells, amounts, colours);
            Stages::addAmounts(k % 4 == 1, wide->cells, first, cells, amounts, colours);
        }
    }
    EXPECT_EQ(std::memcmp(plain.get(), wide.get(), sizeof(AlignedLine)), 0) << vectorPathName(Stages::kPath);
}

template <class Stages>
void expectSameCellStages() {
    if (int32_t(Stages::kPath) > int32_t(offeredVectorPath())) return;
    auto line = std::make_unique<AlignedLine>();
    fillSpecialCells(*line, 7);
    for (int32_t count : {0, 1, 2, 3, 5, 97, 1000, kLineCells - 1, kLineCells}) {
        for (int32_t continuity = 0; continuity < 4; ++continuity) expectSameNormalisation<Stages>(*line, count, continuity);
    }
    expectSameRuns<Stages>(11);
}

// The widest path's reads of kWords-word pixels, lanes in `flags`, stored lane by
// lane: out[w x 16 + lane] is word w of the lane's pixel.
template <int kWords>
ONDRAVA_TARGET_AVX512 void readPixelsAvx512(const unsigned char* base, ptrdiff_t stride, int32_t flags, int32_t* out) {
    Avx512Lanes::Ints words[kWords];
    Avx512Lanes::gatherElements<kWords>(base, stride, Avx512Lanes::Mask(flags), words);
    for (int w = 0; w < kWords; ++w) Avx512Lanes::store(out + 16 * w, words[w]);
}

// Pixels that lie one after the other, or a few words apart, are read as whole
// vectors, others gathered: either way each lane holds its own pixel's words, and
// lanes not asked for hold 0.
template <int kWords>
void expectPixelReads() {
    // Room for sixteen pixels 64 bytes apart either way from the middle.
    std::vector<int32_t> pixels(16 * 16 * 2 + 16);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = int32_t(0x01000193u * uint32_t(i + 1));
    const auto* middle = reinterpret_cast<const unsigned char*>(pixels.data() + 16 * 16);
    std::mt19937 rng(kWords);
    for (ptrdiff_t stride : {4 * kWords, 8 * kWords, 12, 16, 20, 24, 32, 36, 48, 64, -4 * kWords, -48}) {
        const unsigned char* base = stride < 0 ? middle : reinterpret_cast<const unsigned char*>(pixels.data());
        for (int32_t flags : {0xFFFF, 0x7FFF, 0x0001, 0x8000, 0x0000, int32_t(rng() & 0xFFFF), int32_t(rng() & 0xFFFF)}) {
            int32_t out[16 * kWords];
            readPixelsAvx512<kWords>(base, stride, flags, out);
            for (int32_t lane = 0; lane < 16; ++lane) {
                for (int w = 0; w < kWords; ++w) {
                    int32_t expected = 0;
                    if ((flags >> lane) & 1) std::memcpy(&expected, base + lane * stride + 4 * w, 4);
                    ASSERT_EQ(out[16 * w + lane], expected)
                        << kWords << " words, stride " << stride << ", lanes " << flags << ", lane " << lane;
                }
            }
        }
    }
}

TEST(VectorPathRender, PixelReadsOnTheWidestPathHoldEachLanesPixel) {
    if (offeredVectorPath() != VectorPath::kAvx512) GTEST_SKIP() << "the processor offers no AVX-512";
    expectPixelReads<1>();
    expectPixelReads<2>();
    expectPixelReads<4>();
}

TEST(VectorPathRender, CellStagesAreTheSameOnEveryPath) {
    expectSameCellStages<Avx2Stages>();
    expectSameCellStages<Avx512Stages>();
}

TEST(VectorPathRender, EightBitFramesAreTheSameOnEveryPath) { compareEveryPath<uint8_t>(); }
TEST(VectorPathRender, SixteenBitFramesAreTheSameOnEveryPath) { compareEveryPath<uint16_t>(); }
TEST(VectorPathRender, FloatFramesAreTheSameOnEveryPath) { compareEveryPath<float>(); }

}  // namespace
