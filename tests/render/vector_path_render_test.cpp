// Every vector path renders what the plain SSE2 path renders, byte for byte: frames
// large enough that runs fill many vectors, lap the line and reach the buffer's
// end, in every depth, direction, Wrap setting and shading wave. Each path the
// processor offers is forced in turn; the others are skipped on this machine.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "render/vector_path.h"
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

TEST(VectorPathRender, EightBitFramesAreTheSameOnEveryPath) { compareEveryPath<uint8_t>(); }
TEST(VectorPathRender, SixteenBitFramesAreTheSameOnEveryPath) { compareEveryPath<uint16_t>(); }
TEST(VectorPathRender, FloatFramesAreTheSameOnEveryPath) { compareEveryPath<float>(); }

}  // namespace
