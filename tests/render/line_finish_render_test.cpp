#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/kernel/line_geometry.h"
#include "tests/render/melt_test_support.h"

namespace {

using Frame8 = Frame<uint8_t>;

// Full intensity with Melt Step 0: nothing moves, but the fades keep their length.
ParamValues stillAtFullIntensity() {
    ParamValues p = defaultParamValues();
    p.direction = kRight;
    p.meltStep = 0;
    return p;
}

// "Linear Ramp Up" curves with "Velocity" 1 and Melt Step 3: white moves 3 cells,
// black stays; runs are one cell long.
ParamValues whiteMovesThree() {
    ParamValues p = defaultParamValues();
    p.direction = kRight;
    p.meltStep = 3;
    p.velocity = 1.0;
    p.spread = 0.0;
    p.shift = 0.0;
    return p;
}

template <class Channel>
std::vector<Channel> render(Frame<Channel>& in, const ParamValues& params) {
    Frame<Channel> out(in.width, in.height, 0, Channel(90));
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    EXPECT_EQ(renderEntry<Channel>(&inLayer, &outLayer, params), 0);
    return out.data;
}

// A 10-pixel row, opaque white from pixel 2 on.
Frame8 whiteFromTwo() {
    Frame8 in(10, 1);
    for (int32_t x = 2; x < 10; ++x) in.set(x, 0, 255, 255, 255, 255);
    return in;
}

std::vector<uint8_t> alphas(const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> a;
    for (size_t i = 0; i < pixels.size(); i += 4) a.push_back(pixels[i]);
    return a;
}

TEST(LineFinishRender, FadeStartIsAnchoredAtTheFirstOpaquePixel) {
    // 25 % of a 10-cell line at full intensity: 5 cells from pixel 2, alpha x the
    // smoothstep of 0, 0.2, 0.4, 0.6, 0.8 (0, 0.104, 0.352, 0.648, 0.896), truncated.
    Frame8 in = whiteFromTwo();
    ParamValues params = stillAtFullIntensity();
    params.fadeStart = 25.0;
    const std::vector<uint8_t> out = render(in, params);
    EXPECT_EQ(alphas(out), (std::vector<uint8_t>{0, 0, 0, 26, 89, 165, 228, 255, 255, 255}));
    for (int32_t x = 2; x < 10; ++x) EXPECT_EQ(out[size_t(4 * x + 1)], 255) << "colour is kept";
}

TEST(LineFinishRender, FadeLengthScalesWithIntensity) {
    // Half the intensity: 2 cells (2.5 truncated); cell 3 is at t = 0.5, alpha 0.5.
    Frame8 in = whiteFromTwo();
    ParamValues params = stillAtFullIntensity();
    params.intensity = 50.0;
    params.fadeStart = 25.0;
    EXPECT_EQ(alphas(render(in, params)), (std::vector<uint8_t>{0, 0, 0, 127, 255, 255, 255, 255, 255, 255}));
}

TEST(LineFinishRender, FadeEndRunsInwardFromTheLastOpaquePixel) {
    Frame8 in = whiteFromTwo();
    in.set(9, 0, 0, 0, 0, 0);  // the last opaque pixel is now 8
    ParamValues params = stillAtFullIntensity();
    params.fadeEnd = 25.0;
    EXPECT_EQ(alphas(render(in, params)), (std::vector<uint8_t>{0, 0, 255, 255, 228, 165, 89, 26, 0, 0}));
}

TEST(LineFinishRender, FullFadeStartClearsTheLine) {
    Frame8 in = whiteFromTwo();
    ParamValues params = stillAtFullIntensity();
    params.fadeStart = 100.0;
    const std::vector<uint8_t> out = render(in, params);
    EXPECT_EQ(alphas(out), std::vector<uint8_t>(10, 0));
    EXPECT_EQ(out[4 * 5 + 2], 255);  // a pure alpha fade
}

TEST(LineFinishRender, OffscreenReachBringsARunPastTheLineBack) {
    // White at pixel 9 lands on cell 12, past the 10-cell line (Wrap off). Reach 100
    // ends the line at cell 12: output 9 samples position 12 exactly.
    Frame8 in(10, 1), only9(10, 1);
    in.set(9, 0, 255, 255, 255, 255);
    only9.set(9, 0, 255, 255, 255, 255);
    ParamValues params = whiteMovesThree();
    EXPECT_EQ(render(in, params), Frame8(10, 1).data) << "without reach the run is out of view";
    params.offscreenReach = 100.0;
    EXPECT_EQ(render(in, params), only9.data);
}

TEST(LineFinishRender, FullscreenStretchSpreadsTheUsedCellsOverTheLine) {
    // Black (not moving) at pixels 6 to 9: the span 6 .. 9 covers the whole row.
    Frame8 in(10, 1), allBlack(10, 1);
    for (int32_t x = 0; x < 10; ++x) allBlack.set(x, 0, 255, 0, 0, 0);
    for (int32_t x = 6; x < 10; ++x) in.set(x, 0, 255, 0, 0, 0);
    ParamValues params = whiteMovesThree();
    params.fullscreenStretch = 100.0;
    EXPECT_EQ(render(in, params), allBlack.data);
}

template <class Channel>
void expectOneCellLinesStretchSoundly(Channel white) {
    // Down over a one-pixel-tall frame: lines of one cell. White moves 2 cells and
    // smears over 3 (cells 2 to 4); both parameters at 100 give start 2, end 4, and
    // the one output cell samples the start: white.
    Frame<Channel> in(3, 1);
    for (int32_t x = 0; x < 3; ++x) in.set(x, 0, white, white, white, white);
    ParamValues params = whiteMovesThree();
    params.direction = kDown;
    params.meltStep = 2;
    params.spread = 1.0;
    params.fullscreenStretch = 100.0;
    params.offscreenReach = 100.0;
    EXPECT_EQ(render(in, params), in.data);
}

TEST(LineFinishRender, OneCellLinesStretchSoundly) {
    expectOneCellLinesStretchSoundly<uint8_t>(255);
    expectOneCellLinesStretchSoundly<float>(1.0f);
}

}  // namespace
