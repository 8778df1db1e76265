// Whole frames against the literal, unoptimised reading of the melt
// (tests/render/literal): the step grid and its wave, each run walked cell by cell
// and shaded sample by sample, Wrap's start raised by repeated additions, the whole
// line buffer cleared and searched, every stage over the full 16,384 cells. The
// kernel's shortcuts (partial clears, bounded visits, counted runs, vector lanes)
// must not change a single bit of the output in any depth, direction, Wrap setting,
// intensity-source layout or shading wave.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "render/kernel/line_geometry.h"
#include "tests/render/literal/literal_melt.h"
#include "tests/render/melt_test_support.h"

namespace {

template <class Channel>
Channel randomChannel(std::mt19937& rng) {
    if constexpr (sizeof(Channel) == 4) return std::uniform_real_distribution<float>(-0.2f, 1.3f)(rng);
    else {
        const unsigned top = sizeof(Channel) == 1 ? 255u : 32768u;
        return Channel(std::uniform_int_distribution<unsigned>(0, top)(rng));
    }
}

ParamValues randomParams(std::mt19937& rng, bool shaded) {
    const auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    const auto whole = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto either = [&](double a, double b) { return whole(0, 1) ? a : b; };
    ParamValues p = defaultParamValues();
    p.direction = whole(0, 3);
    p.intensity = either(100.0, real(0, 100));
    p.meltStep = whole(0, 40);
    p.velocity = real(0, 1);
    p.spread = real(0, 1);
    p.spreadAlignment = either(100.0, real(0, 100));
    p.shift = real(-1, 1);
    p.scanlineStep = either(1, whole(1, 9));
    p.scanlinePhase = whole(-720, 720) * 65536 + whole(0, 65535);
    p.scanlineAlign = whole(0, 2);
    p.scanlineFade = whole(0, 1);
    p.modAmplitude = either(0.0, real(0, 200));
    p.modFunction = whole(0, 5);
    p.modPeriod = real(0.5, 200);
    p.modPhase = double(whole(-400, 400) * 65536);
    p.modExponent = either(1.0, real(0, 16));
    p.modInvert = whole(0, 1);
    p.velCurveFunction = whole(0, 5);
    p.velCurvePhase = whole(-360, 360) * 65536;
    p.velCurveSmoothness = either(0.0, real(0, 16));
    p.velCurveFloor = either(0.0, real(0, 1));
    p.spreadCurveFunction = whole(0, 5);
    p.spreadCurvePhase = whole(-360, 360) * 65536;
    p.spreadCurveSmoothness = either(0.0, real(0, 16));
    p.spreadCurveFloor = either(0.0, real(0, 1));
    p.outputContinuity = whole(0, 3);
    p.fullscreenStretch = either(0.0, real(0, 100));
    p.offscreenReach = either(0.0, real(0, 100));
    p.fadeStart = either(0.0, real(0, 100));
    p.fadeEnd = either(0.0, real(0, 100));
    if (shaded) {
        p.shading = whole(1, 4);
        p.shadingPhase = whole(-400, 400) * 65536 + whole(0, 65535);
    }
    return p;
}

template <class Channel>
void compareOnRandomFrames(uint32_t seed, int frames, bool shaded = false) {
    std::mt19937 rng(seed);
    for (int frame = 0; frame < frames; ++frame) {
        const int W = std::uniform_int_distribution<int>(2, 23)(rng);
        const int H = std::uniform_int_distribution<int>(2, 19)(rng);
        Frame<Channel> in(W, H), expected(W, H), actual(W, H);
        for (auto& c : in.data) c = randomChannel<Channel>(rng);
        // Some transparent pixels, so that gaps open and interpolation drops pixels.
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                if (std::uniform_int_distribution<int>(0, 4)(rng) == 0) in.at(x, y)[0] = Channel(0);
            }
        }
        ParamValues params = randomParams(rng, shaded);
        params.wrap = std::uniform_int_distribution<int>(0, 1)(rng);
        const float scale = std::uniform_int_distribution<int>(0, 2)(rng) == 0 ? 0.5f : 1.0f;

        // Layers at least as large as the frame (a smaller one can be sampled outside
        // itself, which the kernel resolves its own way), with or without the origin
        // rule, the output's origin carried with each.
        const auto layerFrame = [&] {
            Frame<Channel> layer(W + std::uniform_int_distribution<int>(0, 9)(rng),
                                 H + std::uniform_int_distribution<int>(0, 9)(rng), 4 * std::uniform_int_distribution<int>(0, 2)(rng));
            for (auto& c : layer.data) c = randomChannel<Channel>(rng);
            return layer;
        };
        Frame<Channel> velocityFrame = layerFrame(), spreadFrame = layerFrame();
        const int sources = std::uniform_int_distribution<int>(0, 3)(rng);
        const int ox = std::uniform_int_distribution<int>(-2, 6)(rng), oy = std::uniform_int_distribution<int>(-2, 6)(rng);
        PF_LayerDef velocityLayer = velocityFrame.layer(), spreadLayer = spreadFrame.layer();
        params.velocitySourceLayer = sources & 1 ? &velocityLayer : nullptr;
        params.spreadSourceLayer = sources & 2 ? &spreadLayer : nullptr;
        PF_LayerDef inLayer = in.layer(), outLayer = actual.layer(), expectedLayer = expected.layer();
        outLayer.origin_x = expectedLayer.origin_x = ox;
        outLayer.origin_y = expectedLayer.origin_y = oy;
        literalMelt<Channel>(inLayer, expectedLayer, params, scale);
        int32_t result;
        if constexpr (sizeof(Channel) == 1) result = renderARGB8(&inLayer, &outLayer, params, scale, nullptr);
        else if constexpr (sizeof(Channel) == 2) result = renderARGB16(&inLayer, &outLayer, params, scale, nullptr);
        else result = renderARGB32(&inLayer, &outLayer, params, scale, nullptr);
        ASSERT_EQ(result, 0);
        ASSERT_EQ(0, std::memcmp(expected.data.data(), actual.data.data(), expected.data.size() * sizeof(Channel)))
            << "frame " << frame << " " << W << "x" << H << " direction " << params.direction << " wrap "
            << params.wrap << " sources " << sources << " shading " << params.shading;
    }
}

// Tall frames walked Down and Up with both layers: 8-bit columns of 3,000 pixels
// stage the layers' indexes with the block; float columns of 4,000 leave no room for
// them, and the block samples the layers where they lie.
template <class Channel>
void compareTallFrameWithLayers(int32_t height, uint32_t seed) {
    std::mt19937 rng(seed);
    const int32_t width = 9;
    Frame<Channel> in(width, height), velocityFrame(width + 2, height + 5), spreadFrame(width, height, 8);
    for (Frame<Channel>* frame : {&in, &velocityFrame, &spreadFrame}) {
        for (auto& c : frame->data) c = randomChannel<Channel>(rng);
    }
    for (int32_t direction : {kDown, kUp}) {
        ParamValues params = randomParams(rng, false);
        params.direction = direction;
        params.fullscreenStretch = params.offscreenReach = 0.0;  // the stretch would take the room
        PF_LayerDef velocityLayer = velocityFrame.layer(), spreadLayer = spreadFrame.layer();
        params.velocitySourceLayer = &velocityLayer;
        params.spreadSourceLayer = &spreadLayer;
        Frame<Channel> expected(width, height), actual(width, height);
        PF_LayerDef inLayer = in.layer(), outLayer = actual.layer(), expectedLayer = expected.layer();
        literalMelt<Channel>(inLayer, expectedLayer, params, 1.0f);
        ASSERT_EQ(renderEntry<Channel>(&inLayer, &outLayer, params), 0);
        ASSERT_EQ(expected.data, actual.data) << "direction " << direction;
    }
}

TEST(MeltReference, TallFramesWithLayersMatchTheLiteralRules) {
    compareTallFrameWithLayers<uint8_t>(3000, 17);
    compareTallFrameWithLayers<float>(4000, 18);
}

TEST(MeltReference, EightBitFramesMatchTheLiteralRules) { compareOnRandomFrames<uint8_t>(11, 200); }
TEST(MeltReference, SixteenBitFramesMatchTheLiteralRules) { compareOnRandomFrames<uint16_t>(12, 200); }
TEST(MeltReference, FloatFramesMatchTheLiteralRules) { compareOnRandomFrames<float>(13, 200); }
TEST(MeltReference, ShadedEightBitFramesMatchTheLiteralRules) { compareOnRandomFrames<uint8_t>(14, 100, true); }
TEST(MeltReference, ShadedSixteenBitFramesMatchTheLiteralRules) { compareOnRandomFrames<uint16_t>(15, 100, true); }
TEST(MeltReference, ShadedFloatFramesMatchTheLiteralRules) { compareOnRandomFrames<float>(16, 100, true); }

}  // namespace
