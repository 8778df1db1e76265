#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/curves.h"
#include "render/kernel/melt_instances.h"
#include "render/render_entries.h"
#include "render/shading/shading_table.h"
#include "tests/render/melt_test_support.h"

namespace {

// Pixels stay on their own cell (no velocity, no shift) and a black pixel (luma 0)
// makes a run of one cell, while the brightest luma makes a run of 129: the wave is
// at full strength and each cell's alpha is the mean of the ten samples of a
// one-cell run, entries 0, 25, 51, 76, 102, 127, 153, 178, 204 and 229.
ParamValues stayingParams(int32_t shading) {
    ParamValues p = defaultParamValues();
    p.direction = 0;
    p.velocity = 0.0;
    p.shift = 0.0;
    p.shading = shading;
    return p;
}

std::vector<float> renderAlphas(const ParamValues& params, Frame<float>& in) {
    Frame<float> out(in.width, in.height);
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    EXPECT_EQ(renderARGB32(&inLayer, &outLayer, params, 1.0f, nullptr), 0);
    std::vector<float> alphas;
    for (int32_t x = 0; x < out.width; ++x) alphas.push_back(out.at(x, 0)[0]);
    return alphas;
}

struct WaveCase {
    int32_t shading;
    int32_t shadingPhase;
    float alpha;
};

TEST(ShadingRender, EachCellOfAOneCellRunTakesTheMeanOfItsSamples) {
    const WaveCase cases[] = {
        {kShadingSineWave, 0, 0.63136901f},          // mean of sin(pi x i / 255)
        {kShadingTriangleWave, 0, 0.50476190f},      // (510 / 126 + 1) / 10: 127 sits on the top
        {kShadingLinearRampUp, 0, 0.44901961f},      // 1145 / 2550
        {kShadingLinearRampDown, 0, 0.55098039f},    // 1 - 1145 / 2550
        // 90 degrees moves the ramp by 64 entries: the samples read wave positions
        // 192, 217, 243, 12, 38, 63, 89, 114, 140, 165, which sum to 1273.
        {kShadingLinearRampUp, 90 * 65536, 0.49921569f},
    };
    for (const WaveCase& c : cases) {
        for (int32_t wrap = 0; wrap < 2; ++wrap) {
            Frame<float> in(3, 1);
            for (int32_t x = 0; x < 3; ++x) in.set(x, 0, 1.0f, 0.0f, 0.0f, 0.0f);
            ParamValues params = stayingParams(c.shading);
            params.shadingPhase = c.shadingPhase;
            params.wrap = wrap;
            for (float alpha : renderAlphas(params, in)) {
                EXPECT_FLOAT_EQ(alpha, c.alpha) << "shading " << c.shading << " wrap " << wrap;
            }
        }
    }
}

TEST(ShadingRender, ClippedRunIsShadedFromItsTrueStart) {
    // A black pixel at cell 0 moved 2.5 cells back (shift x 512) with a run of 10
    // (Linear Ramp Down spread, 9/512 x 512 + 1): cell 0 receives run positions 2.5
    // to 3.5, table entries 63, 66, 68, 71, 73, 76, 79, 81, 84, 86 (sum 747).
    Frame<float> in(3, 1);
    in.set(0, 0, 1.0f, 0.0f, 0.0f, 0.0f);
    ParamValues params = stayingParams(kShadingLinearRampUp);
    params.shift = -2.5 / 512.0;
    params.spread = 9.0 / 512.0;
    params.spreadCurveFunction = kLinearRampDown;
    EXPECT_FLOAT_EQ(renderAlphas(params, in)[0], 0.29294118f);
}

TEST(ShadingRender, WaveOutsideThePopupLeavesRunsUnshaded) {
    Frame<float> in(3, 1);
    for (int32_t x = 0; x < 3; ++x) in.set(x, 0, 1.0f, 0.0f, 0.0f, 0.0f);
    for (float alpha : renderAlphas(stayingParams(5), in)) EXPECT_EQ(alpha, 1.0f);
}

// A frame with colour, partial and zero alpha and a fractional melt, plus two
// source layers of their own brightness.
template <class Channel>
struct MixedScene {
    Frame<Channel> in{7, 5}, velocity{7, 5}, spread{7, 5};
    explicit MixedScene(Channel top) {
        for (int32_t y = 0; y < 5; ++y) {
            for (int32_t x = 0; x < 7; ++x) {
                const Channel a = (x + y) % 4 == 0 ? Channel(0) : Channel(top * ((x * 3 + y) % 5 + 1) / 5);
                in.set(x, y, a, Channel(top * x / 7), Channel(top * y / 5), Channel(top / 3));
                velocity.set(x, y, top, Channel(top * y / 5), Channel(top * x / 7), Channel(top / 2));
                spread.set(x, y, top, Channel(top / 4), Channel(top * (6 - x) / 7), Channel(top * y / 5));
            }
        }
    }
};

// A gentle melt (5.12 cells per unit) that keeps most of the frame on screen and
// puts runs between cells.
ParamValues sceneParams() {
    ParamValues p = defaultParamValues();
    p.intensity = 1.0;
    p.velocity = 0.0123;
    p.spread = 1.0;
    return p;
}

template <class Channel, class Render>
std::vector<Channel> renderScene(Render render, MixedScene<Channel>& scene, ParamValues params, int sourceMode,
                                 float scale) {
    Frame<Channel> out(7, 5, 3, Channel(9));
    PF_LayerDef inLayer = scene.in.layer(), outLayer = out.layer();
    PF_LayerDef velocityLayer = scene.velocity.layer(), spreadLayer = scene.spread.layer();
    params.velocitySourceLayer = (sourceMode & 1) ? &velocityLayer : nullptr;
    params.spreadSourceLayer = (sourceMode & 2) ? &spreadLayer : nullptr;
    EXPECT_EQ(render(&inLayer, &outLayer, params, scale, nullptr), 0);
    return out.data;
}

// "Spread" 0 makes every run one cell long, so the wave fades out completely and
// every cell's weight is exactly 1.0: each shading instance must give its twin's
// output to the bit.
template <class Channel, class Render>
void expectSpreadZeroMatchesTwin(Render render, Channel top) {
    MixedScene<Channel> scene(top);
    for (int32_t direction = 0; direction < 4; ++direction) {
        for (int32_t wrap = 0; wrap < 2; ++wrap) {
            for (int sourceMode = 0; sourceMode < 4; ++sourceMode) {
                ParamValues params = sceneParams();
                params.spread = 0.0;
                params.direction = direction;
                params.wrap = wrap;
                const std::vector<Channel> twin = renderScene(render, scene, params, sourceMode, 0.5f);
                for (int32_t shading = 1; shading <= 4; ++shading) {
                    params.shading = shading;
                    params.shadingPhase = shading * 1234567;
                    EXPECT_EQ(renderScene(render, scene, params, sourceMode, 0.5f), twin)
                        << "direction " << direction << " wrap " << wrap << " sources " << sourceMode
                        << " shading " << shading;
                }
            }
        }
    }
}

TEST(ShadingRender, SpreadZeroGivesTheTwinsOutputInEveryDepth) {
    expectSpreadZeroMatchesTwin<uint8_t>(renderARGB8, uint8_t(255));
    expectSpreadZeroMatchesTwin<uint16_t>(renderARGB16, uint16_t(32768));
    expectSpreadZeroMatchesTwin<float>(renderARGB32, 1.0f);
}

TEST(ShadingRender, ShadingChangesAMeltWithSpread) {
    MixedScene<float> scene(1.0f);
    ParamValues params = sceneParams();
    const std::vector<float> twin = renderScene(renderARGB32, scene, params, 0, 1.0f);
    params.shading = kShadingSineWave;
    EXPECT_NE(renderScene(renderARGB32, scene, params, 0, 1.0f), twin);
}

// The entry runs the shading instance of the frame's source layers and Wrap, and
// the instance gets the arguments the entry would give its twin.
TEST(ShadingRender, EntryChoosesTheShadingInstanceBySourcesAndWrap) {
    struct Route {
        int sourceMode;
        int32_t wrap;
        MeltKernel<float>& kernel;
    };
    const Route routes[] = {
        {0, 1, meltScanlinesShadeWrap32},          {0, 0, meltScanlinesShade32},
        {1, 1, meltScanlinesShadeVelSrcWrap32},    {1, 0, meltScanlinesShadeVelSrc32},
        {2, 1, meltScanlinesShadeSpreadSrcWrap32}, {2, 0, meltScanlinesShadeSpreadSrc32},
        {3, 1, meltScanlinesShadeBothSrcWrap32},   {3, 0, meltScanlinesShadeBothSrc32},
    };
    MixedScene<float> scene(1.0f);
    for (const Route& route : routes) {
        ParamValues params = sceneParams();
        params.shading = kShadingLinearRampUp;
        params.wrap = route.wrap;
        params.velocity = 0.5;
        const SourceLayerArgs<float> velocity{scene.velocity.data.data(), 7, 5, scene.velocity.pitch, 0, 0};
        const SourceLayerArgs<float> spread{scene.spread.data.data(), 7, 5, scene.spread.pitch, 0, 0};
        Frame<float> direct(7, 5, 3, 9.0f);
        EXPECT_EQ(route.kernel(direct.data.data(), direct.pitch, scene.in.data.data(), scene.in.pitch, 7, 5, 7, 5,
                               1.0f, params, (route.sourceMode & 1) ? velocity : SourceLayerArgs<float>{},
                               (route.sourceMode & 2) ? spread : SourceLayerArgs<float>{}, nullptr, nullptr),
                  0);
        EXPECT_EQ(renderScene(renderARGB32, scene, params, route.sourceMode, 1.0f), direct.data)
            << "sources " << route.sourceMode << " wrap " << route.wrap;
    }
}

// The abort poll is the twin's: the same questions at the same lines, and an abort
// at line 15 leaves lines 0 to 14 written and the rest as it was.
TEST(ShadingRender, PollAndAbortFollowTheTwin) {
    for (int32_t shading = 0; shading <= 4; ++shading) {
        Frame<float> in(2, 16), out(2, 16, 0, 0.5f);
        for (int32_t y = 0; y < 16; ++y) {
            for (int32_t x = 0; x < 2; ++x) in.set(x, y, 1.0f, 0.25f, 0.5f, 0.75f);
        }
        RecordingHost host;
        host.stopAtCall = 1;
        host.answer = 5;
        ParamValues params = defaultParamValues();
        params.direction = 0;
        params.shading = shading;
        PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
        EXPECT_EQ(renderARGB32(&inLayer, &outLayer, params, 1.0f, &host.inData), 5);
        EXPECT_EQ(host.abortCalls, 2);
        EXPECT_EQ(host.progressLines, std::vector<int32_t>{7});
        for (int32_t y = 0; y < 16; ++y) {
            const bool written = y < 15;
            EXPECT_EQ(out.at(0, y)[0] != 0.5f, written) << "shading " << shading << " line " << y;
        }
    }
}

}  // namespace
