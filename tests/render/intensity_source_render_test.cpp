#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/kernel/line_geometry.h"
#include "render/render_entries.h"
#include "tests/render/melt_test_support.h"

namespace {

using Frame8 = Frame<uint8_t>;

struct Spot {
    int32_t x, y;
};

// Tables that make the melt easy to follow: "Linear Ramp Up" curves, Melt Step 3
// and full intensity give a black index velocity 0 and a white one 3 cells (with
// "Velocity" 1), and runs of 1 cell for black and 4 for white (with "Spread" 1),
// each starting at its displaced position.
ParamValues rampParams(double velocity, double spread, int32_t direction = kRight) {
    ParamValues p = defaultParamValues();
    p.direction = direction;
    p.meltStep = 3;
    p.velocity = velocity;
    p.spread = spread;
    p.shift = 0.0;
    return p;
}

void setWhite(Frame8& f, Spot s) { f.set(s.x, s.y, 255, 255, 255, 255); }
void setBlack(Frame8& f, Spot s) { f.set(s.x, s.y, 255, 0, 0, 0); }
// A layer pixel counts by its colour alone: transparent white is white.
void setLayerWhite(Frame8& f, Spot s) { f.set(s.x, s.y, 0, 255, 255, 255); }

Frame8 frameWith(int32_t w, int32_t h, std::vector<Spot> white, std::vector<Spot> black = {}) {
    Frame8 f(w, h);
    for (Spot s : white) setWhite(f, s);
    for (Spot s : black) setBlack(f, s);
    return f;
}

struct Layers {
    Frame8* velocity = nullptr;
    Frame8* spread = nullptr;
    int32_t originX = 0;  // the OUTPUT's origin
    int32_t originY = 0;
};

Frame8 render8(Frame8& in, ParamValues params, const Layers& layers = {}) {
    Frame8 out(in.width, in.height, 0, 0x5A);  // stale content that the render replaces
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    outLayer.origin_x = layers.originX;
    outLayer.origin_y = layers.originY;
    PF_LayerDef velocity{}, spread{};
    if (layers.velocity) {
        velocity = layers.velocity->layer();
        velocity.origin_x = 999;  // the layer's own origin plays no part
        params.velocitySourceLayer = &velocity;
    }
    if (layers.spread) {
        spread = layers.spread->layer();
        spread.origin_y = -999;
        params.spreadSourceLayer = &spread;
    }
    EXPECT_EQ(renderARGB8(&inLayer, &outLayer, params, 1.0f, nullptr), 0);
    return out;
}

TEST(IntensitySourceRender, OwnBrightnessDrivesTheTablesWithoutLayers) {
    // The reference for the cases below: white moves 3 cells, black stays.
    Frame8 in = frameWith(8, 1, {{0, 0}}, {{4, 0}});
    EXPECT_EQ(render8(in, rampParams(1.0, 0.0)).data, frameWith(8, 1, {{3, 0}}, {{4, 0}}).data);
}

TEST(IntensitySourceRender, VelocityLayerChoosesTheDisplacement) {
    // Under white the black pixel moves 3 cells; under black the white pixel stays.
    Frame8 in = frameWith(8, 1, {{0, 0}}, {{4, 0}});
    Frame8 velocity(8, 1);
    setLayerWhite(velocity, {4, 0});
    EXPECT_EQ(render8(in, rampParams(1.0, 0.0), {&velocity}).data, frameWith(8, 1, {{0, 0}}, {{7, 0}}).data);
}

TEST(IntensitySourceRender, VelocityLayerLeavesTheRunToTheOwnBrightness) {
    // White pixel under a white velocity layer: moved 3, run of 4 cells (its own).
    Frame8 in = frameWith(10, 1, {{1, 0}});
    Frame8 velocity(10, 1);
    setLayerWhite(velocity, {1, 0});
    EXPECT_EQ(render8(in, rampParams(1.0, 1.0), {&velocity}).data,
              frameWith(10, 1, {{4, 0}, {5, 0}, {6, 0}, {7, 0}}).data);
}

TEST(IntensitySourceRender, SpreadLayerChoosesTheRun) {
    // White at 1 under black: one cell; black at 3 under white: cells 3 to 6. With
    // their own brightness white would cover 1 to 4 and black only 3.
    Frame8 in = frameWith(8, 1, {{1, 0}}, {{3, 0}});
    Frame8 spread(8, 1);
    setLayerWhite(spread, {3, 0});
    EXPECT_EQ(render8(in, rampParams(0.0, 1.0), {nullptr, &spread}).data,
              frameWith(8, 1, {{1, 0}}, {{3, 0}, {4, 0}, {5, 0}, {6, 0}}).data);
}

TEST(IntensitySourceRender, SpreadLayerLeavesTheDisplacementToTheOwnBrightness) {
    // White pixel under a black spread layer: moved 3 by its own brightness, one cell.
    Frame8 in = frameWith(8, 1, {{0, 0}});
    Frame8 spread(8, 1);
    EXPECT_EQ(render8(in, rampParams(1.0, 1.0), {nullptr, &spread}).data, frameWith(8, 1, {{3, 0}}).data);
}

TEST(IntensitySourceRender, BothLayersReplaceTheOwnBrightness) {
    // Black at 0: the velocity layer is white there (moved 3), the spread layer black
    // (one cell). White at 6: velocity black (stays), spread white (cells 6 to 9).
    // Their own brightness would give black on cell 0 and white on cells 9 to 11.
    Frame8 in = frameWith(12, 1, {{6, 0}}, {{0, 0}});
    Frame8 velocity(12, 1), spread(12, 1);
    setLayerWhite(velocity, {0, 0});
    setLayerWhite(spread, {6, 0});
    EXPECT_EQ(render8(in, rampParams(1.0, 1.0), {&velocity, &spread}).data,
              frameWith(12, 1, {{6, 0}, {7, 0}, {8, 0}, {9, 0}}, {{3, 0}}).data);
}

TEST(IntensitySourceRender, EachLayerIsMappedByItsOwnSize) {
    // As above, with a velocity layer twice as wide: position p samples its column
    // 2p. Column 6, white, is where a one-to-one mapping would look for pixel 6.
    Frame8 in = frameWith(12, 1, {{6, 0}}, {{0, 0}});
    Frame8 velocity(24, 1), spread(12, 1);
    setLayerWhite(velocity, {0, 0});
    setLayerWhite(velocity, {6, 0});
    setLayerWhite(spread, {6, 0});
    EXPECT_EQ(render8(in, rampParams(1.0, 1.0), {&velocity, &spread}).data,
              frameWith(12, 1, {{6, 0}, {7, 0}, {8, 0}, {9, 0}}, {{3, 0}}).data);
}

// One opaque black pixel at `at` (its own brightness would keep it in place) and a
// velocity layer: with Melt Step 1 and Wrap the pixel moves one cell along its line
// when the layer pixel it samples is white, else it stays.
struct MoveCase {
    int32_t direction;
    Spot step;  // one cell along the line, in output pixels
};
const MoveCase kDirections[] = {{kRight, {1, 0}}, {kLeft, {-1, 0}}, {kDown, {0, 1}}, {kUp, {0, -1}}};

Frame8 moveOnePixel(int32_t w, int32_t h, int32_t direction, Spot at, Frame8& layer, int32_t ox = 0,
                    int32_t oy = 0) {
    Frame8 in = frameWith(w, h, {}, {at});
    ParamValues params = rampParams(1.0, 0.0, direction);
    params.meltStep = 1;
    params.wrap = 1;
    Layers layers;
    layers.velocity = &layer;
    layers.originX = ox;
    layers.originY = oy;
    return render8(in, params, layers);
}

Frame8 blackAt(int32_t w, int32_t h, Spot s) { return frameWith(w, h, {}, {s}); }

// Every output pixel of a w x h frame, in every direction, samples the layer pixel
// that sampledPixel names: lit alone it moves the pixel, dark alone it keeps it.
void expectSampledPixel(int32_t w, int32_t h, int32_t lw, int32_t lh, int32_t ox, int32_t oy,
                        Spot (*sampledPixel)(int32_t direction, Spot output)) {
    for (const MoveCase& c : kDirections) {
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                const Spot sampled = sampledPixel(c.direction, {x, y});
                const Spot moved{(x + c.step.x + w) % w, (y + c.step.y + h) % h};
                Frame8 lit(lw, lh);
                setLayerWhite(lit, sampled);
                ASSERT_EQ(moveOnePixel(w, h, c.direction, {x, y}, lit, ox, oy).data, blackAt(w, h, moved).data)
                    << "direction " << c.direction << " output (" << x << ", " << y << ")";
                Frame8 dark(lw, lh, 0, 255);
                dark.set(sampled.x, sampled.y, 255, 0, 0, 0);
                ASSERT_EQ(moveOnePixel(w, h, c.direction, {x, y}, dark, ox, oy).data, blackAt(w, h, {x, y}).data)
                    << "direction " << c.direction << " output (" << x << ", " << y << ")";
            }
        }
    }
}

TEST(IntensitySourceRender, OutputOriginPlacesTheFrameOnALargerLayer) {
    // Output 4 x 3 at origin (1, 1) over a 5 x 4 layer: (x, y) samples (1 + x, 1 + y).
    expectSampledPixel(4, 3, 5, 4, 1, 1, [](int32_t, Spot s) { return Spot{1 + s.x, 1 + s.y}; });
}

TEST(IntensitySourceRender, SpreadLayerAloneCarriesTheOutputOrigin) {
    // Black at (1, 1) of a 4 x 3 output at origin (1, 1): it samples spread-layer
    // pixel (2, 2), white, and smears over 4 cells (the 4th lies past the row).
    Frame8 in = frameWith(4, 3, {}, {{1, 1}});
    Frame8 spread(5, 4);
    setLayerWhite(spread, {2, 2});
    Layers layers;
    layers.spread = &spread;
    layers.originX = layers.originY = 1;
    EXPECT_EQ(render8(in, rampParams(0.0, 1.0), layers).data, frameWith(4, 3, {}, {{1, 1}, {2, 1}, {3, 1}}).data);
}

TEST(IntensitySourceRender, LayerTwiceTheSizeIsStretchedAndMirrored) {
    // Forward lines sample even columns and rows; Left the odd columns, Up the odd rows.
    expectSampledPixel(4, 3, 8, 6, 0, 0, [](int32_t direction, Spot s) {
        return Spot{2 * s.x + (direction == kLeft ? 1 : 0), 2 * s.y + (direction == kUp ? 1 : 0)};
    });
}

TEST(IntensitySourceRender, OriginOutsideTheLayerSpreadsTheWholeLayer) {
    // Origin (-1, 2) breaks the origin rule: the 8 x 6 layer is spread over 4 x 3.
    expectSampledPixel(4, 3, 8, 6, -1, 2, [](int32_t direction, Spot s) {
        return Spot{2 * s.x + (direction == kLeft ? 1 : 0), 2 * s.y + (direction == kUp ? 1 : 0)};
    });
}

TEST(IntensitySourceRender, NarrowLayerUnderLeftIsReadInsideIt) {
    // A 2 x 1 layer under a 4-pixel row walked Left: the leftmost output pixel would
    // sample column -1; it samples column 0. The layer buffer is exactly 2 pixels.
    Frame8 layer(2, 1);
    setLayerWhite(layer, {0, 0});
    EXPECT_EQ(moveOnePixel(4, 1, kLeft, {0, 0}, layer).data, blackAt(4, 1, {3, 0}).data);
}

TEST(IntensitySourceRender, ShortLayerUnderUpIsReadInsideIt) {
    // A 1 x 1 layer under ten rows walked Up: the top rows would sample row -1 of a
    // one-pixel buffer; every pixel samples the layer's only pixel.
    Frame8 layer(1, 1);
    setLayerWhite(layer, {0, 0});
    EXPECT_EQ(moveOnePixel(1, 10, kUp, {0, 0}, layer).data, blackAt(1, 10, {0, 9}).data);
    EXPECT_EQ(moveOnePixel(1, 10, kUp, {0, 4}, layer).data, blackAt(1, 10, {0, 3}).data);
}

TEST(IntensitySourceRender, TallWideLayerOverALowOutput) {
    // 1920 x 1080 over a 4 x 10 output, Down: pitch x row step is past 32 bits.
    // Output (1, 9) samples layer (480, 972); output (1, 5) samples (480, 540).
    Frame8 layer(1920, 1080);
    setLayerWhite(layer, {480, 972});
    EXPECT_EQ(moveOnePixel(4, 10, kDown, {1, 9}, layer).data, blackAt(4, 10, {1, 0}).data);
    EXPECT_EQ(moveOnePixel(4, 10, kDown, {1, 5}, layer).data, blackAt(4, 10, {1, 5}).data);
}

TEST(IntensitySourceRender, UnreadableLayerGivesIndexZero) {
    // A layer with pixels but no width, height or pitch is present, and is never
    // read: every sample is index 0, so the white pixel does not move.
    Frame8 in = frameWith(8, 1, {{0, 0}});
    for (int field = 0; field < 3; ++field) {
        Frame8 layerFrame(8, 1, 0, 255);
        PF_LayerDef layer = layerFrame.layer();
        (field == 0 ? layer.width : field == 1 ? layer.height : layer.rowbytes) = 0;
        Frame8 out(8, 1);
        PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
        ParamValues params = rampParams(1.0, 0.0);
        params.velocitySourceLayer = &layer;
        EXPECT_EQ(renderARGB8(&inLayer, &outLayer, params, 1.0f, nullptr), 0);
        EXPECT_EQ(out.data, in.data) << "field " << field;
    }
}

TEST(IntensitySourceRender, EmptyOutputWithLayersRendersNothing) {
    // A zero-width output melted Right has lines of no cells: the layer steps must
    // not divide by the output's width.
    Frame8 layerFrame(4, 4, 0, 255);
    PF_LayerDef layer = layerFrame.layer();
    for (int32_t direction : {kRight, kLeft, kDown, kUp}) {
        for (Spot size : {Spot{0, 3}, Spot{3, 0}}) {
            Frame8 in(4, 4), out(4, 4, 0, 0x5A);
            PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
            outLayer.width = size.x;
            outLayer.height = size.y;
            ParamValues params = rampParams(1.0, 1.0, direction);
            params.velocitySourceLayer = &layer;
            params.spreadSourceLayer = &layer;
            EXPECT_EQ(renderARGB8(&inLayer, &outLayer, params, 1.0f, nullptr), 0);
            EXPECT_EQ(out.data, std::vector<uint8_t>(64, 0x5A)) << direction;
        }
    }
}

// In every depth the entry hands the layer over with its pitch in channels: a
// black pixel at (1, 1) of a 3 x 3 frame moves one row down (Melt Step 1) under a
// white velocity-layer pixel at (1, 1) of a layer with padded rows.
template <class Channel>
void expectVelocityLayerInDepth(Channel full) {
    Frame<Channel> in(3, 3), out(3, 3), expectedOut(3, 3), layerFrame(3, 3, 8);
    in.set(1, 1, full, 0, 0, 0);
    expectedOut.set(1, 2, full, 0, 0, 0);
    layerFrame.set(1, 1, 0, full, full, full);
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer(), layer = layerFrame.layer();
    ParamValues params = rampParams(1.0, 0.0, kDown);
    params.meltStep = 1;
    params.velocitySourceLayer = &layer;
    EXPECT_EQ(renderEntry<Channel>(&inLayer, &outLayer, params), 0);
    EXPECT_EQ(out.data, expectedOut.data);
    params.velocitySourceLayer = nullptr;  // the pixel's own black keeps it in place
    EXPECT_EQ(renderEntry<Channel>(&inLayer, &outLayer, params), 0);
    EXPECT_EQ(out.data, in.data);
}

TEST(IntensitySourceRender, VelocityLayerInSixteenBitAndFloat) {
    expectVelocityLayerInDepth<uint16_t>(32768);
    expectVelocityLayerInDepth<float>(1.0f);
}

}  // namespace
