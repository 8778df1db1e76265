#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/kernel/channel_traits.h"
#include "render/kernel/line_geometry.h"
#include "render/sources/source_sampling.h"

namespace {

// A stand-in channel type whose "brightness" is the layer pixel's own coordinates,
// written into its red and green channels, so that a sample says where it read.
struct CoordinateTraits {
    using Channel = uint16_t;
    static int32_t lumaIndex(const uint16_t* pixel) { return int32_t(pixel[1]) * 4096 + pixel[2]; }
};

struct Point {
    int32_t x, y;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

std::ostream& operator<<(std::ostream& os, const Point& p) { return os << "(" << p.x << ", " << p.y << ")"; }

// A layer of width x height pixels whose rows lie pitch channels apart (pitch may
// be negative: rows then run upward in memory from the first pixel).
struct CoordinateLayer {
    std::vector<uint16_t> storage;
    SourceLayerArgs<uint16_t> layer{};

    CoordinateLayer(int32_t width, int32_t height, int32_t pitch, int32_t originX = 0, int32_t originY = 0) {
        const int32_t rowChannels = pitch < 0 ? -pitch : pitch;
        storage.assign(size_t(rowChannels) * size_t(height), 0xEEEE);
        uint16_t* first = storage.data() + (pitch < 0 ? size_t(rowChannels) * size_t(height - 1) : 0);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                uint16_t* pixel = first + ptrdiff_t(y) * pitch + ptrdiff_t(x) * 4;
                pixel[0] = 0;  // alpha is never read
                pixel[1] = uint16_t(x);
                pixel[2] = uint16_t(y);
                pixel[3] = 0;
            }
        }
        layer = {first, width, height, pitch, originX, originY};
    }
};

// The layer pixel that the source pixel at output (x, y) of a W x H frame samples.
Point sampled(const SourceLayerArgs<uint16_t>& layer, int32_t dstWidth, int32_t dstHeight, int direction,
              int32_t x, int32_t y) {
    const bool columns = direction >= kDown;
    const int32_t n = columns ? x : y;
    const int32_t lineLength = columns ? dstHeight : dstWidth;
    int32_t cell = columns ? y : x;
    if (direction == kLeft || direction == kUp) cell = lineLength - 1 - cell;
    const LayerGeometry geometry = buildLayerGeometry(layer, dstWidth, dstHeight);
    const LayerLine line = setupLayerLine(geometry, layer.width, layer.height, layer.pitch, direction, n);
    const int32_t index = sampleSourceLuma<CoordinateTraits>(layer, geometry, line, cell, 0.0f, false);
    return {index / 4096, index % 4096};
}

void expectEveryDirectionSamples(const SourceLayerArgs<uint16_t>& layer, int32_t w, int32_t h, Point offset) {
    for (int direction = kRight; direction <= kUp; ++direction) {
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                ASSERT_EQ(sampled(layer, w, h, direction, x, y), (Point{offset.x + x, offset.y + y}))
                    << "direction " << direction << " output (" << x << ", " << y << ")";
            }
        }
    }
}

TEST(SourceGeometry, OriginRuleAndSteps) {
    struct Case {
        int32_t lw, lh, ox, oy;
        int64_t offsetX, offsetY, stepX, stepY;
    };
    const Case cases[] = {
        {150, 160, 50, 60, 50 * 4096, 60 * 4096, 4096, 4096},  // exactly covers: one to one
        {300, 300, 50, 60, 50 * 4096, 60 * 4096, 10240, 9830},  // (250 x 4096) / 100, (240 x 4096) / 100
        {300, 300, -5, 10, 0, 0, 12288, 12288},                 // negative origin: whole layer
        {300, 300, 250, 10, 0, 0, 12288, 12288},                // past the layer's edge: whole layer
        {149, 160, 50, 60, 0, 0, 6103, 6553},                   // one column short: whole layer
    };
    for (const auto& c : cases) {
        const LayerGeometry g = buildLayerGeometry(c.lw, c.lh, c.lw * 4, true, c.ox, c.oy, 100, 100);
        EXPECT_TRUE(g.readable);
        EXPECT_EQ(g.layerOffsetX, c.offsetX) << c.lw << "x" << c.lh << " at " << c.ox << "," << c.oy;
        EXPECT_EQ(g.layerOffsetY, c.offsetY);
        EXPECT_EQ(g.layerStepX, c.stepX);
        EXPECT_EQ(g.layerStepY, c.stepY);
    }
}

TEST(SourceGeometry, NothingToDivideByOrToReadLeavesTheLayerUnread) {
    // An empty frame must not divide by its zero width or height, and a layer
    // without pixels, rows, columns or pitch is never read.
    struct Case {
        const char* what;
        int32_t lw, lh, pitch;
        bool pixels;
        int32_t w, h;
    };
    const Case cases[] = {
        {"zero-width frame", 10, 10, 40, true, 0, 10},   {"zero-height frame", 10, 10, 40, true, 10, 0},
        {"zero-width layer", 0, 10, 40, true, 10, 10},   {"zero-height layer", 10, 0, 40, true, 10, 10},
        {"zero pitch", 10, 10, 0, true, 10, 10},         {"no pixels", 10, 10, 40, false, 10, 10},
        {"negative layer size", -3, 10, 40, true, 10, 10},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(buildLayerGeometry(c.lw, c.lh, c.pitch, c.pixels, 0, 0, c.w, c.h).readable) << c.what;
    }
    // A sample of such a layer is index 0 (its one pixel would say otherwise).
    const uint16_t pixel[4] = {0, 9, 9, 9};
    const SourceLayerArgs<uint16_t> layer{pixel, 10, 10, 0, 0, 0};
    const LayerGeometry geometry = buildLayerGeometry(layer, 10, 10);
    for (int direction = kRight; direction <= kUp; ++direction) {
        const LayerLine line = setupLayerLine(geometry, 10, 10, 0, direction, 3);
        EXPECT_EQ(sampleSourceLuma<CoordinateTraits>(layer, geometry, line, 4, 0.5f, true), 0);
    }
}

TEST(SourceSampling, LayerOfTheOutputsSizeSamplesTheSamePixel) {
    CoordinateLayer same(5, 4, 5 * 4);
    expectEveryDirectionSamples(same.layer, 5, 4, {0, 0});
    CoordinateLayer padded(5, 4, 7 * 4);
    expectEveryDirectionSamples(padded.layer, 5, 4, {0, 0});
    CoordinateLayer upward(5, 4, -5 * 4);
    expectEveryDirectionSamples(upward.layer, 5, 4, {0, 0});
}

TEST(SourceSampling, OutputOriginPlacesTheFrameOnTheLayer) {
    CoordinateLayer justLarger(6, 5, 6 * 4, 1, 1);  // output 5 x 4 at (1, 1)
    expectEveryDirectionSamples(justLarger.layer, 5, 4, {1, 1});
    CoordinateLayer large(150, 160, 150 * 4, 50, 60);  // output 100 x 100 at (50, 60)
    expectEveryDirectionSamples(large.layer, 100, 100, {50, 60});
}

TEST(SourceSampling, LargerLayerUnderTheOriginRuleIsScaled) {
    CoordinateLayer layer(300, 300, 300 * 4, 50, 60);
    EXPECT_EQ(sampled(layer.layer, 100, 100, kRight, 0, 0), (Point{50, 60}));
    EXPECT_EQ(sampled(layer.layer, 100, 100, kRight, 1, 0), (Point{52, 60}));
    EXPECT_EQ(sampled(layer.layer, 100, 100, kRight, 99, 0), (Point{297, 60}));
    EXPECT_EQ(sampled(layer.layer, 100, 100, kRight, 0, 99), (Point{50, 297}));  // (99 x 9830 + 60 x 4096) >> 12
}

TEST(SourceSampling, WithoutTheOriginRuleTheWholeLayerIsSpread) {
    for (Point origin : {Point{-5, 10}, Point{250, 10}}) {
        CoordinateLayer layer(300, 300, 300 * 4, origin.x, origin.y);
        for (int32_t y : {0, 1, 57, 99}) {
            for (int32_t x : {0, 1, 33, 99}) {
                EXPECT_EQ(sampled(layer.layer, 100, 100, kRight, x, y), (Point{3 * x, 3 * y})) << origin;
            }
        }
    }
}

TEST(SourceSampling, BackwardDirectionsMirrorTheForwardOnes) {
    // A layer twice the output's size: forward lines take the even columns and
    // rows, backward lines (starting at the layer's far edge) the odd ones.
    CoordinateLayer layer(8, 6, 8 * 4);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(sampled(layer.layer, 4, 3, kRight, x, y), (Point{2 * x, 2 * y}));
            EXPECT_EQ(sampled(layer.layer, 4, 3, kLeft, x, y), (Point{2 * x + 1, 2 * y}));
            EXPECT_EQ(sampled(layer.layer, 4, 3, kDown, x, y), (Point{2 * x, 2 * y}));
            EXPECT_EQ(sampled(layer.layer, 4, 3, kUp, x, y), (Point{2 * x, 2 * y + 1}));
        }
    }
}

TEST(SourceSampling, LeftOverANarrowerLayerStaysInside) {
    // Half the output's width: the leftmost output pixel would fall onto column -1.
    CoordinateLayer layer(5, 1, 5 * 4);
    const int32_t left[] = {0, 0, 0, 1, 1, 2, 2, 3, 3, 4};   // 4 - ceiling(cell / 2), then kept inside
    const int32_t right[] = {0, 0, 1, 1, 2, 2, 3, 3, 4, 4};  // floor(cell / 2)
    for (int32_t x = 0; x < 10; ++x) {
        EXPECT_EQ(sampled(layer.layer, 10, 1, kLeft, x, 0), (Point{left[x], 0})) << x;
        EXPECT_EQ(sampled(layer.layer, 10, 1, kRight, x, 0), (Point{right[x], 0})) << x;
    }
}

TEST(SourceSampling, VerticalCeilingOverAShortLayerStaysInside) {
    // A 1 x 1 layer under ten output rows: Up (and Down with a negative pitch) would
    // reach one row past the layer at the line's last cells.
    CoordinateLayer down(1, 1, 4);
    CoordinateLayer upward(1, 1, -4);
    for (int32_t y = 0; y < 10; ++y) {
        EXPECT_EQ(sampled(down.layer, 1, 10, kUp, 0, y), (Point{0, 0})) << y;
        EXPECT_EQ(sampled(down.layer, 1, 10, kDown, 0, y), (Point{0, 0})) << y;
        EXPECT_EQ(sampled(upward.layer, 1, 10, kDown, 0, y), (Point{0, 0})) << y;
        EXPECT_EQ(sampled(upward.layer, 1, 10, kUp, 0, y), (Point{0, 0})) << y;
    }
}

TEST(SourceSampling, UpwardWalkRoundsByThePitch) {
    // A 1 x 31 layer under 8 output rows: 3.875 layer rows per cell. Walking Up, the
    // offset is floored in channels and then cut to whole rows, so where the row
    // fraction lies within 1 / pitch of the next row the walk lands one row further:
    // pitch 4 at cell 1 takes row 30 - 4, pitch 8 (padded rows) row 30 - 3.
    CoordinateLayer tight(1, 31, 4);
    CoordinateLayer padded(1, 31, 8);
    EXPECT_EQ(sampled(tight.layer, 1, 8, kUp, 0, 6), (Point{0, 26}));
    EXPECT_EQ(sampled(padded.layer, 1, 8, kUp, 0, 6), (Point{0, 27}));
    EXPECT_EQ(sampled(tight.layer, 1, 8, kUp, 0, 7), (Point{0, 30}));  // cell 0
    EXPECT_EQ(sampled(tight.layer, 1, 8, kDown, 0, 1), (Point{0, 3}));  // Down floors: 3.875
    // Rows running upward in memory swap the two forms.
    CoordinateLayer upward(1, 31, -4);
    EXPECT_EQ(sampled(upward.layer, 1, 8, kDown, 0, 1), (Point{0, 4}));
    EXPECT_EQ(sampled(upward.layer, 1, 8, kUp, 0, 6), (Point{0, 27}));
}

TEST(SourceSampling, TallWideLayerOverALowOutputWalksWithoutOverflow) {
    // Pitch 7,680 x step 442,368 (108 rows per cell) is past 32 bits.
    CoordinateLayer layer(1920, 1080, 1920 * 4);
    const LayerGeometry geometry = buildLayerGeometry(layer.layer, 4, 10);
    EXPECT_EQ(geometry.layerStepY, 442368);
    EXPECT_EQ(setupLayerLine(geometry, 1920, 1080, 1920 * 4, kDown, 0).layerCellStep, int64_t(7680) * 442368);
    for (int32_t y = 0; y < 10; ++y) {
        EXPECT_EQ(sampled(layer.layer, 4, 10, kDown, 1, y), (Point{480, 108 * y})) << y;
        EXPECT_EQ(sampled(layer.layer, 4, 10, kUp, 3, y), (Point{1440, 1079 - 108 * (9 - y)})) << y;
    }
}

TEST(SourceSampling, OffsetsInLargeLayersNeedMoreThan32Bits) {
    // 40,000 x 20,000 pixels: 3.2 billion channels, far past 2^31 (nothing is read).
    const int32_t pitch = 40000 * 4;
    const LayerGeometry geometry = buildLayerGeometry(40000, 20000, pitch, true, 0, 0, 40000, 20000);
    const LayerLine down = setupLayerLine(geometry, 40000, 20000, pitch, kDown, 5);
    EXPECT_EQ(layerSampleOffset(down, 40000, 20000, pitch, 19999), ptrdiff_t(19999) * pitch + 5 * 4);
    const LayerLine up = setupLayerLine(geometry, 40000, 20000, pitch, kUp, 39999);
    EXPECT_EQ(layerSampleOffset(up, 40000, 20000, pitch, 0), ptrdiff_t(19999) * pitch + ptrdiff_t(39999) * 4);
}

TEST(SourceSampling, GridFractionInterpolatesTowardTheNextPosition) {
    // A 4 x 1 layer whose "brightness" runs 100, 103, 100, 7 (red 0, the value in green).
    CoordinateLayer layer(4, 1, 16);
    std::vector<uint16_t>& px = layer.storage;
    px[5] = px[9] = px[13] = 0;
    px[2] = 100, px[6] = 103, px[10] = 100, px[14] = 7;
    const LayerGeometry geometry = buildLayerGeometry(layer.layer, 4, 1);
    const LayerLine line = setupLayerLine(geometry, 4, 1, 16, kRight, 0);
    // The deposit interpolates where f != 0, except at the line's last position.
    auto sample = [&](int32_t p, float f) {
        return sampleSourceLuma<CoordinateTraits>(layer.layer, geometry, line, p, f, f != 0.0f && p != 3);
    };
    EXPECT_EQ(sample(0, 0.5f), 101);  // truncate(3 x 0.5 + 100)
    EXPECT_EQ(sample(1, 0.5f), 101);  // truncate(-3 x 0.5 + 103)
    EXPECT_EQ(sample(1, 0.0f), 103);
    EXPECT_EQ(sample(3, 0.5f), 7);
    EXPECT_EQ(sample(2, 0.25f), 76);  // truncate(-93 x 0.25 + 100) = truncate(76.75)
}
// Indexes staged for a block of columns are the indexes each line samples, position
// by position, interpolated alike: over layers larger, smaller and as large as the
// output, with and without the origin rule, with rows running either way in memory.
TEST(SourceSampling, StagedColumnIndexesAreTheSampledOnes) {
    // Coordinates small enough for a staged 16-bit index.
    struct SmallCoordinateTraits {
        using Channel = uint16_t;
        static int32_t lumaIndex(const uint16_t* pixel) { return int32_t(pixel[1]) * 64 + pixel[2]; }
    };
    const int32_t w = 11, h = 9;
    const CoordinateLayer layers[] = {{11, 9, 11 * 4}, {25, 20, -25 * 4, 3, 2}, {5, 4, 6 * 4}, {40, 30, 40 * 4, -1, 5},
                                      {1, 1, -4}};
    for (const CoordinateLayer& coordinates : layers) {
        const SourceLayerArgs<uint16_t>& layer = coordinates.layer;
        const LayerGeometry geometry = buildLayerGeometry(layer, w, h);
        for (int direction : {kDown, kUp}) {
            for (int32_t n0 = 0; n0 < w; n0 += 3) {
                const int32_t count = w - n0 < 8 ? w - n0 : 8;
                std::vector<int16_t> staged(size_t(count) * h);
                stageColumnIndexes<SmallCoordinateTraits>(layer, geometry, direction, n0, count, h, staged.data());
                for (int32_t j = 0; j < count; ++j) {
                    const LayerLine line =
                        setupLayerLine(geometry, layer.width, layer.height, layer.pitch, direction, n0 + j);
                    for (int32_t p = 0; p < h; ++p) {
                        const bool interpolated = p != h - 1;
                        ASSERT_EQ(stagedSourceLuma(staged.data() + j * h, p, 0.75f, interpolated),
                                  sampleSourceLuma<SmallCoordinateTraits>(layer, geometry, line, p, 0.75f,
                                                                          interpolated))
                            << layer.width << "x" << layer.height << " direction " << direction << " line "
                            << n0 + j << " position " << p;
                        ASSERT_EQ(staged[size_t(j) * h + p],
                                  sampleSourceLuma<SmallCoordinateTraits>(layer, geometry, line, p, 0.0f, false));
                        if (&coordinates == &layers[0]) {
                            // The layer of the output's size: column n0 + j, row p walking
                            // Down, row h - 1 - p walking Up; index 64 x column + row. Up,
                            // the next position lies one row higher, so 0.75 of the way
                            // there truncates to one less; the last position is never
                            // interpolated.
                            const int32_t row = direction == kDown ? p : h - 1 - p;
                            const int32_t index = 64 * (n0 + j) + row;
                            ASSERT_EQ(staged[size_t(j) * h + p], index) << direction << " " << n0 + j << " " << p;
                            const int32_t towardNext = direction == kUp && interpolated ? index - 1 : index;
                            ASSERT_EQ(stagedSourceLuma(staged.data() + j * h, p, 0.75f, interpolated), towardNext)
                                << direction << " " << n0 + j << " " << p;
                        }
                    }
                }
            }
        }
    }
}


// The brightness of a one-pixel layer through each depth's index formula.
template <class Traits>
int32_t lumaOfLayerPixel(typename Traits::Channel a, typename Traits::Channel r, typename Traits::Channel g,
                         typename Traits::Channel b) {
    const typename Traits::Channel pixel[4] = {a, r, g, b};
    const SourceLayerArgs<typename Traits::Channel> layer{pixel, 1, 1, 4, 0, 0};
    const LayerGeometry geometry = buildLayerGeometry(layer, 1, 1);
    const LayerLine line = setupLayerLine(geometry, 1, 1, 4, kRight, 0);
    return sampleSourceLuma<Traits>(layer, geometry, line, 0, 0.0f, false);
}

TEST(SourceSampling, LumaOfASampleCountsTheColourAlone) {
    EXPECT_EQ(lumaOfLayerPixel<Channel8>(0, 255, 255, 255), 767);  // transparent white is white
    EXPECT_EQ(lumaOfLayerPixel<Channel8>(255, 0, 0, 0), 0);
    EXPECT_EQ(lumaOfLayerPixel<Channel8>(0, 1, 0, 0), 1);          // 767 / 765
    EXPECT_EQ(lumaOfLayerPixel<Channel8>(255, 100, 50, 0), 150);   // 150 x 767 / 765 = 150.39
    EXPECT_EQ(lumaOfLayerPixel<Channel16>(0, 32768, 32768, 32768), 767);
    EXPECT_EQ(lumaOfLayerPixel<Channel16>(0, 65535, 65535, 65535), 767);  // past the host's range: held
    EXPECT_EQ(lumaOfLayerPixel<Channel16>(0, 16384, 0, 0), 127);   // 16384 x 767 / 98304 = 127.8
    EXPECT_EQ(lumaOfLayerPixel<Channel32>(0.0f, 2.0f, 2.0f, 2.0f), 767);
    EXPECT_EQ(lumaOfLayerPixel<Channel32>(1.0f, -1.0f, 0.0f, 0.0f), 0);
    EXPECT_EQ(lumaOfLayerPixel<Channel32>(0.0f, 0.5f, 0.5f, 0.5f), 383);  // 0.5 x 767 = 383.5
}

}  // namespace
