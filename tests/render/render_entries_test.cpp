#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "render/render_entries.h"
#include "tests/render/melt_test_support.h"

namespace {

// With intensity 0 every pixel lands on its own cell, so an opaque frame comes back
// unchanged in every depth and direction: the frame walks and writes back exactly.
// Row padding of a few channels checks that row bytes become pitches in channels.
template <class Channel, class Render>
void expectStillFrameUnchanged(Render render, Channel top) {
    for (int32_t direction = 0; direction < 4; ++direction) {
        for (int32_t wrap = 0; wrap < 2; ++wrap) {
            Frame<Channel> in(5, 3, 3), out(5, 3, 6);
            for (int32_t y = 0; y < 3; ++y) {
                for (int32_t x = 0; x < 5; ++x) {
                    in.set(x, y, top, Channel(top * (x + 1) / 8), Channel(top * (y + 2) / 8), Channel(top / 3));
                }
            }
            ParamValues params = stillParams();
            params.direction = direction;
            params.wrap = wrap;
            PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
            EXPECT_EQ(render(&inLayer, &outLayer, params, 1.0f, nullptr), 0);
            for (int32_t y = 0; y < 3; ++y) {
                EXPECT_TRUE(std::equal(in.at(0, y), in.at(0, y) + 20, out.at(0, y))) << direction << " " << wrap << " " << y;
            }
        }
    }
}

TEST(RenderEntries, StillFrameComesBackUnchangedInEveryDepth) {
    expectStillFrameUnchanged<uint8_t>(renderARGB8, uint8_t(255));
    expectStillFrameUnchanged<uint16_t>(renderARGB16, uint16_t(32768));
    expectStillFrameUnchanged<float>(renderARGB32, 1.0f);
}

// Any non-zero "Wrap" chooses the Wrap instance: a pixel pushed off the row's end
// by one cell comes back at its start.
TEST(RenderEntries, AnyNonZeroWrapWraps) {
    for (int32_t wrap : {0, 1, 2, -1}) {
        Frame<uint8_t> in(3, 1), out(3, 1);
        in.set(2, 0, 255, 10, 20, 30);
        const ParamValues params = movingParams(0, 1.0, wrap);
        PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
        ASSERT_EQ(renderARGB8(&inLayer, &outLayer, params, 1.0f, nullptr), 0);
        EXPECT_EQ(out.at(0, 0)[0], wrap != 0 ? 255 : 0) << wrap;
        EXPECT_EQ(out.at(0, 0)[3], wrap != 0 ? 30 : 0) << wrap;
    }
}

TEST(RenderEntries, AbortCodeTravelsBackUnchanged) {
    RecordingHost host;
    host.stopAtCall = 0;
    host.answer = 12345;
    Frame<float> in(9, 2), out(9, 2);  // "Down": nine lines, one poll
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    EXPECT_EQ(renderARGB32(&inLayer, &outLayer, defaultParamValues(), 1.0f, &host.inData), 12345);
}

TEST(RenderEntries, OutputWithoutPixelsRendersNothing) {
    Frame<uint8_t> in(2, 2);
    PF_LayerDef inLayer = in.layer(), outLayer{};
    EXPECT_EQ(renderARGB8(&inLayer, &outLayer, defaultParamValues(), 1.0f, nullptr), 0);
    EXPECT_EQ(renderARGB8(&inLayer, nullptr, defaultParamValues(), 1.0f, nullptr), 0);
}

}  // namespace
