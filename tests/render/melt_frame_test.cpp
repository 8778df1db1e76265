#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "render/kernel/line_geometry.h"
#include "render/kernel/melt_kernel.h"
#include "render/render_entries.h"
#include "tests/render/melt_test_support.h"

namespace {

// A 4 x 3 frame of distinct opaque pixels: pixel (x, y) has red 10x + 1, green 10y + 1.
Frame<uint8_t> distinctFrame(int32_t padding = 0) {
    Frame<uint8_t> f(4, 3, padding);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 4; ++x) f.set(x, y, 255, uint8_t(10 * x + 1), uint8_t(10 * y + 1), 7);
    }
    return f;
}

std::vector<uint8_t> pixelAt(Frame<uint8_t>& f, int32_t x, int32_t y) { return {f.at(x, y), f.at(x, y) + 4}; }

const std::vector<uint8_t> kClear{0, 0, 0, 0};

TEST(MeltFrame, LineGeometryOfA4By3Frame) {
    EXPECT_EQ(lineGeometry(kLeft, 4, 3).lineLength, 4);
    EXPECT_EQ(lineGeometry(kLeft, 4, 3).lineCount, 3);
    EXPECT_EQ(lineGeometry(kUp, 4, 3).lineLength, 3);
    EXPECT_EQ(lineGeometry(kUp, 4, 3).lineCount, 4);
    const int32_t pitch = 16;
    const LineAddress left = lineAddress(kLeft, 1, 4, 3, pitch);
    EXPECT_EQ(left.start, 1 * pitch + 3 * 4);            // pixel (3, 1)
    EXPECT_EQ(left.start + 3 * left.cellStep, 1 * pitch);  // pixel (0, 1)
    const LineAddress up = lineAddress(kUp, 2, 4, 3, pitch);
    EXPECT_EQ(up.start, 2 * pitch + 2 * 4);             // pixel (2, 2)
    EXPECT_EQ(up.start + 2 * up.cellStep, 2 * 4);       // pixel (2, 0)
}

TEST(MeltFrame, RunsMoveContentTheWayOfTheDirection) {
    struct Case {
        int32_t direction;
        int32_t dx, dy;
    };
    for (const Case& c : {Case{kRight, 1, 0}, Case{kLeft, -1, 0}, Case{kDown, 0, 1}, Case{kUp, 0, -1}}) {
        for (int32_t wrap = 0; wrap < 2; ++wrap) {
            Frame<uint8_t> in = distinctFrame(), out(4, 3);
            PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
            ASSERT_EQ(renderARGB8(&inLayer, &outLayer, movingParams(c.direction, 1.0, wrap), 1.0f, nullptr), 0);
            for (int32_t y = 0; y < 3; ++y) {
                for (int32_t x = 0; x < 4; ++x) {
                    int32_t sx = x - c.dx, sy = y - c.dy;
                    const bool inside = sx >= 0 && sx < 4 && sy >= 0 && sy < 3;
                    // With Wrap the pixel pushed off one end comes back at the other.
                    if (!inside && wrap) sx = (sx + 4) % 4, sy = (sy + 3) % 3;
                    const auto expected = inside || wrap ? pixelAt(in, sx, sy) : kClear;
                    EXPECT_EQ(pixelAt(out, x, y), expected) << c.direction << " wrap " << wrap << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(MeltFrame, HalfCellShiftSharesPixelsBetweenCells) {
    // Three opaque white pixels moved by half a cell: cell 0 holds half a pixel
    // (alpha 127 after truncation), cells 1 and 2 a whole one, the rest falls off.
    Frame<uint8_t> in(3, 1, 0, 255), out(3, 1);
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    ASSERT_EQ(renderARGB8(&inLayer, &outLayer, movingParams(kRight, 0.5), 1.0f, nullptr), 0);
    EXPECT_EQ(pixelAt(out, 0, 0), (std::vector<uint8_t>{127, 255, 255, 255}));
    EXPECT_EQ(pixelAt(out, 1, 0), (std::vector<uint8_t>{255, 255, 255, 255}));
    EXPECT_EQ(pixelAt(out, 2, 0), (std::vector<uint8_t>{255, 255, 255, 255}));
}

TEST(MeltFrame, SpreadSmearsBrightPixelsFurther) {
    // Spread 1 at melt step 1: a white pixel (index 767) covers two cells, a black one
    // (index 0) one cell.
    ParamValues p = movingParams(kRight, 0.0);
    p.spread = 1.0;
    Frame<uint8_t> in(4, 2), out(4, 2);
    in.set(0, 0, 255, 255, 255, 255);
    in.set(0, 1, 255, 0, 0, 0);
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    ASSERT_EQ(renderARGB8(&inLayer, &outLayer, p, 1.0f, nullptr), 0);
    EXPECT_EQ(pixelAt(out, 1, 0), (std::vector<uint8_t>{255, 255, 255, 255}));
    EXPECT_EQ(pixelAt(out, 2, 0), kClear);
    EXPECT_EQ(pixelAt(out, 0, 1), (std::vector<uint8_t>{255, 0, 0, 0}));
    EXPECT_EQ(pixelAt(out, 1, 1), kClear);
}

// The finished line's store, on the plain path (the other paths are held to it
// bit for bit): 8 and 16 bits keep the low bits of the truncated product with 255
// or 32768, neither rounded nor clamped; float is stored as it is.
TEST(MeltFrame, WriteLineTruncatesWithoutClampingOrRounding) {
    const float values[] = {1.0f / 255.0f, 254.0f / 255.0f, 0.999f, 2.0f, NAN, -0.25f, 2.5f, 1.0f};
    constexpr int kCells = int(sizeof values / sizeof values[0]);
    float cells[kCells][4];
    for (int i = 0; i < kCells; ++i)
        for (float& c : cells[i]) c = values[i];
    uint8_t line8[kCells * 4];
    writeLine<Channel8, Sse2Cells>(line8, 4, cells, kCells);
    const uint8_t expected8[kCells] = {1, 254, 254, 254, 0, 193, 125, 255};  // 510, -63 and 637, low 8 bits
    uint16_t line16[kCells * 4];
    writeLine<Channel16, Sse2Cells>(line16, 4, cells, kCells);
    const uint16_t expected16[kCells] = {128, 32639, 32735, 0, 0, 57344, 16384, 32768};
    float line32[kCells * 4];
    writeLine<Channel32, Sse2Cells>(line32, 4, cells, kCells);
    for (int i = 0; i < kCells; ++i) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(line8[i * 4 + c], expected8[i]) << i;
            EXPECT_EQ(line16[i * 4 + c], expected16[i]) << i;
            EXPECT_TRUE(std::isnan(values[i]) ? std::isnan(line32[i * 4 + c]) : line32[i * 4 + c] == values[i]) << i;
        }
    }
    // Every 8- and 16-bit channel value, as a value, comes back as itself.
    static float ramp[32769][4];
    for (int c = 0; c <= 32768; ++c)
        for (float& v : ramp[c]) v = float(c) * 3.0517578125e-05f;
    static uint16_t all16[32769 * 4];
    writeLine<Channel16, Sse2Cells>(all16, 4, ramp, 32769);
    for (int c = 0; c <= 32768; ++c) EXPECT_EQ(all16[c * 4], c);
    for (int c = 0; c <= 255; ++c)
        for (float& v : ramp[c]) v = float(c) * 0.003921568859368563f;
    uint8_t all8[256 * 4];
    writeLine<Channel8, Sse2Cells>(all8, 4, ramp, 256);
    for (int c = 0; c <= 255; ++c) EXPECT_EQ(all8[c * 4], c);
}

TEST(MeltFrame, FloatValuesOutsideZeroToOnePassThrough) {
    Frame<float> in(2, 1), out(2, 1);
    in.set(0, 0, 1.0f, 2.5f, -0.25f, 0.5f);
    in.set(1, 0, 1.0f, 0.0f, 1.0f, 0.0f);
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    ParamValues p = stillParams();
    p.direction = kRight;
    ASSERT_EQ(renderARGB32(&inLayer, &outLayer, p, 1.0f, nullptr), 0);
    EXPECT_EQ(out.data, in.data);
}

struct PolledRender {
    RecordingHost host;
    int32_t result;
    Frame<uint8_t> in, out;
    PolledRender(int32_t lines, int32_t stopAtCall, PF_Err answer) : in(2, lines, 0, 255), out(2, lines, 0, 9) {
        host.stopAtCall = stopAtCall;
        host.answer = answer;
        PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
        result = renderARGB8(&inLayer, &outLayer, movingParams(kRight, 0.0), 1.0f, &host.inData);
    }
};

TEST(MeltFrame, PollsBeforeEveryEighthLine) {
    EXPECT_EQ(PolledRender(7, -1, 0).host.abortCalls, 0);
    const PolledRender eight(8, -1, 0);
    EXPECT_EQ(eight.host.progressLines, (std::vector<int32_t>{7}));
    EXPECT_EQ(eight.host.progressTotals, (std::vector<int32_t>{8}));
    const PolledRender twenty(20, -1, 0);
    EXPECT_EQ(twenty.host.progressLines, (std::vector<int32_t>{7, 15}));
    EXPECT_EQ(twenty.host.progressTotals, (std::vector<int32_t>{20, 20}));
    EXPECT_EQ(twenty.result, 0);  // the progress callback's error is ignored
}

TEST(MeltFrame, AbortStopsAtOnceWithEarlierLinesWritten) {
    PolledRender stopped(20, 1, 5);  // the second question, before line 15
    EXPECT_EQ(stopped.result, 5);
    EXPECT_EQ(stopped.host.progressLines, (std::vector<int32_t>{7}));  // no progress for 15
    for (int32_t y = 0; y < 20; ++y) {
        const uint8_t expected = y < 15 ? 255 : 9;
        EXPECT_EQ(stopped.out.at(0, y)[0], expected) << y;
        EXPECT_EQ(stopped.out.at(1, y)[3], expected) << y;
    }
}

// Down and Up finish the columns between two polls as one block: at each poll every
// earlier column is written and no later one touched, with or without the stretch
// (whose buffer holds the block) and with a stop at the second poll.
TEST(MeltFrame, ColumnsBetweenPollsAreWrittenBeforeTheNextPoll) {
    struct Watch {
        Frame<uint8_t>* out = nullptr;
        std::vector<int32_t> polled;
        bool allRight = true;
    };
    for (int32_t direction : {kDown, kUp}) {
        for (double reach : {0.0, 100.0}) {
            Frame<uint8_t> in(21, 5, 0, 255), out(21, 5, 0, 9);
            Watch watch;
            watch.out = &out;
            PF_InData inData{};
            inData.effect_ref = &watch;
            inData.inter.abort = [](PF_ProgPtr ref) -> PF_Err {
                auto* w = static_cast<Watch*>(ref);
                const int32_t line = w->polled.empty() ? 7 : 15;
                w->polled.push_back(line);
                for (int32_t x = 0; x < w->out->width; ++x) {
                    for (int32_t y = 0; y < w->out->height; ++y) {
                        if (w->out->at(x, y)[0] != (x < line ? 255 : 9)) w->allRight = false;
                    }
                }
                return line == 15 ? 5 : 0;
            };
            inData.inter.progress = [](PF_ProgPtr, int32_t, int32_t) -> PF_Err { return 0; };
            ParamValues p = movingParams(direction, 0.0);
            p.offscreenReach = reach;
            PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
            EXPECT_EQ(renderARGB8(&inLayer, &outLayer, p, 1.0f, &inData), 5);
            EXPECT_EQ(watch.polled, (std::vector<int32_t>{7, 15}));
            EXPECT_TRUE(watch.allRight) << "direction " << direction << " reach " << reach;
            for (int32_t x = 0; x < 21; ++x) EXPECT_EQ(out.at(x, 4)[0], x < 15 ? 255 : 9) << x;
        }
    }
}

TEST(MeltFrame, EmptyFramesWriteNothing) {
    RecordingHost host;
    Frame<uint8_t> in(1, 1, 0, 255), out(1, 1, 0, 9);
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    outLayer.height = 0;
    EXPECT_EQ(renderARGB8(&inLayer, &outLayer, movingParams(kRight, 0.0), 1.0f, &host.inData), 0);
    EXPECT_EQ(out.data, std::vector<uint8_t>(4, 9));
    // Width 0 with Right: 16 lines of no cells, each polled at its turn.
    outLayer.height = 16;
    outLayer.width = 0;
    EXPECT_EQ(renderARGB8(&inLayer, &outLayer, movingParams(kRight, 0.0), 1.0f, &host.inData), 0);
    EXPECT_EQ(host.progressLines, (std::vector<int32_t>{7, 15}));
    EXPECT_EQ(out.data, std::vector<uint8_t>(4, 9));
}

TEST(MeltFrame, NegativeSizesRenderNothing) {
    for (int32_t direction = 0; direction < 4; ++direction) {
        Frame<uint8_t> in(2, 2, 0, 255), out(2, 2, 0, 9);
        PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
        outLayer.width = -2;
        EXPECT_EQ(renderARGB8(&inLayer, &outLayer, movingParams(direction, 0.0), 1.0f, nullptr), 0);
        outLayer.width = 2;
        outLayer.height = -2;
        EXPECT_EQ(renderARGB8(&inLayer, &outLayer, movingParams(direction, 0.0), 1.0f, nullptr), 0);
        EXPECT_EQ(out.data, std::vector<uint8_t>(16, 9)) << direction;
    }
}

TEST(MeltFrame, EmptyLinesWithAStepAlignedAtTheEnd) {
    // Height 0 with Down: lines of no cells, a step of 4, "Align" "End", both Wraps.
    for (int32_t wrap = 0; wrap < 2; ++wrap) {
        ParamValues p = movingParams(kDown, -3.0, wrap);
        p.scanlineStep = 4;
        p.scanlineAlign = 2;
        Frame<uint8_t> in(3, 1, 0, 255), out(3, 1, 0, 9);
        PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
        outLayer.height = 0;
        EXPECT_EQ(renderARGB8(&inLayer, &outLayer, p, 1.0f, nullptr), 0);
        EXPECT_EQ(out.data, std::vector<uint8_t>(12, 9));
    }
}

TEST(MeltFrame, PitchPaddingIsNeverTouched) {
    Frame<uint8_t> in = distinctFrame(5), out(4, 3, 5, 77);
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    ASSERT_EQ(renderARGB8(&inLayer, &outLayer, movingParams(kDown, 1.0), 1.0f, nullptr), 0);
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t k = 16; k < 21; ++k) EXPECT_EQ(out.data[size_t(y) * 21 + k], 77) << y << " " << k;
    }
}

TEST(MeltFrame, NegativePitchesRunRowsUpward) {
    // The same frame stored bottom row first, reached through a negative pitch,
    // melts to the same picture.
    for (int32_t direction = 0; direction < 4; ++direction) {
        Frame<uint8_t> in = distinctFrame(), out(4, 3);
        PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
        ASSERT_EQ(renderARGB8(&inLayer, &outLayer, movingParams(direction, 1.0), 1.0f, nullptr), 0);

        Frame<uint8_t> flippedIn(4, 3), flippedOut(4, 3);
        for (int32_t y = 0; y < 3; ++y) {
            std::copy(in.at(0, y), in.at(0, y) + 16, flippedIn.at(0, 2 - y));
        }
        PF_LayerDef upIn = flippedIn.layer(), upOut = flippedOut.layer();
        upIn.data = flippedIn.at(0, 2);
        upIn.rowbytes = -16;
        upOut.data = flippedOut.at(0, 2);
        upOut.rowbytes = -16;
        ASSERT_EQ(renderARGB8(&upIn, &upOut, movingParams(direction, 1.0), 1.0f, nullptr), 0);
        for (int32_t y = 0; y < 3; ++y) {
            EXPECT_TRUE(std::equal(out.at(0, y), out.at(0, y) + 16, flippedOut.at(0, 2 - y))) << direction << " " << y;
        }
    }
}

TEST(MeltFrame, DirectionUsesItsTwoLowBits) {
    Frame<uint8_t> in = distinctFrame(), down(4, 3), masked(4, 3);
    PF_LayerDef inLayer = in.layer(), downLayer = down.layer(), maskedLayer = masked.layer();
    ASSERT_EQ(renderARGB8(&inLayer, &downLayer, movingParams(kDown, 1.0), 1.0f, nullptr), 0);
    ASSERT_EQ(renderARGB8(&inLayer, &maskedLayer, movingParams(kDown + 4, 1.0), 1.0f, nullptr), 0);
    EXPECT_EQ(masked.data, down.data);
}

TEST(MeltFrame, LinesLongerThanTheBuffersKeepTheirFirstCells) {
    // A row of 16,390 pixels: the first 16,384 cells melt (here: stay), the rest is
    // cleared to transparent black. Left starts at the right end.
    const int32_t width = kLineCells + 6;
    for (int32_t direction : {kRight, kLeft}) {
        Frame<uint8_t> in(width, 1, 0, 200), out(width, 1, 0, 9);
        PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
        ASSERT_EQ(renderARGB8(&inLayer, &outLayer, movingParams(direction, 0.0), 1.0f, nullptr), 0);
        for (int32_t x = 0; x < width; ++x) {
            const bool melted = direction == kRight ? x < kLineCells : x >= width - kLineCells;
            ASSERT_EQ(out.at(x, 0)[0], melted ? 200 : 0) << direction << " " << x;
        }
    }
}

TEST(MeltFrame, InputSmallerThanTheOutputReadsTransparentOutsideIt) {
    for (int32_t direction = 0; direction < 4; ++direction) {
        Frame<uint8_t> in = distinctFrame(), out(6, 5, 0, 9);
        PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
        ASSERT_EQ(renderARGB8(&inLayer, &outLayer, movingParams(direction, 0.0), 1.0f, nullptr), 0);
        for (int32_t y = 0; y < 5; ++y) {
            for (int32_t x = 0; x < 6; ++x) {
                const auto expected = x < 4 && y < 3 ? pixelAt(in, x, y) : kClear;
                EXPECT_EQ(pixelAt(out, x, y), expected) << direction << " at " << x << "," << y;
            }
        }
    }
    // An input without pixels reads as transparent everywhere.
    Frame<uint8_t> out(2, 2, 0, 9);
    PF_LayerDef none{}, outLayer = out.layer();
    EXPECT_EQ(renderARGB8(&none, &outLayer, movingParams(kDown, 0.0), 1.0f, nullptr), 0);
    EXPECT_EQ(out.data, std::vector<uint8_t>(16, 0));
}

TEST(MeltFrame, SubnormalFloatAlphaGivesNoNaN) {
    Frame<float> in(2, 1), out(2, 1);
    in.set(0, 0, 1e-39f, 1.0f, 0.5f, 0.25f);
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    ASSERT_EQ(renderARGB32(&inLayer, &outLayer, movingParams(kRight, 0.0), 1.0f, nullptr), 0);
    EXPECT_EQ(out.at(0, 0)[0], 1e-39f);
    EXPECT_FLOAT_EQ(out.at(0, 0)[1], 1.0f);
    EXPECT_FLOAT_EQ(out.at(0, 0)[2], 0.5f);
}

TEST(MeltFrame, SixteenBitChannelsAboveTheHostRange) {
    EXPECT_EQ(Channel16::lumaIndex(std::vector<uint16_t>{0, 32768, 32768, 32768}.data()), 767);
    EXPECT_EQ(Channel16::lumaIndex(std::vector<uint16_t>{0, 65535, 65535, 65535}.data()), 767);
    Frame<uint16_t> in(3, 1, 0, 65535), out(3, 1);
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    EXPECT_EQ(renderARGB16(&inLayer, &outLayer, defaultParamValues(), 1.0f, nullptr), 0);
}

TEST(MeltFrame, LumaIndexPerDepth) {
    EXPECT_EQ(Channel8::lumaIndex(std::vector<uint8_t>{0, 255, 255, 255}.data()), 767);
    EXPECT_EQ(Channel8::lumaIndex(std::vector<uint8_t>{0, 1, 0, 0}.data()), 1);
    EXPECT_EQ(Channel32::lumaIndex(std::vector<float>{0, 2, 2, 2}.data()), 767);
    EXPECT_EQ(Channel32::lumaIndex(std::vector<float>{0, -1, 0, 0}.data()), 0);
    EXPECT_EQ(Channel32::lumaIndex(std::vector<float>{0, NAN, 0, 0}.data()), 0);
    EXPECT_EQ(Channel32::lumaIndex(std::vector<float>{0, 0.5f, 0.5f, 0.5f}.data()), 383);
}

}  // namespace
