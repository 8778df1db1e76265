#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/render_entries.h"
#include "tests/render/melt_test_support.h"

namespace {

// With intensity 0 every pixel lands on its own cell, so an opaque frame comes back
// unchanged in every depth and direction: the frame walks and writes back exactly.
template <class Channel, class Render>
void expectStillFrameUnchanged(Render render, Channel top) {
    for (int32_t direction = 0; direction < 4; ++direction) {
        for (int32_t wrap = 0; wrap < 2; ++wrap) {
            Frame<Channel> in(5, 3), out(5, 3);
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
            EXPECT_EQ(out.data, in.data) << "direction " << direction << " wrap " << wrap;
        }
    }
}

TEST(RenderEntries, StillFrameComesBackUnchangedInEveryDepth) {
    expectStillFrameUnchanged<uint8_t>(renderARGB8, uint8_t(255));
    expectStillFrameUnchanged<uint16_t>(renderARGB16, uint16_t(32768));
    expectStillFrameUnchanged<float>(renderARGB32, 1.0f);
}

}  // namespace
