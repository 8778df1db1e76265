#include <gtest/gtest.h>

#include <thread>

#include "tests/host/render_road_fixture.h"

namespace {

using ThreadedRenderTest = RenderRoadTest;

// Frames that differ (direction, wrap, size, depth) so that a thread reading
// another frame's state would show in the pixels.
void vary(standin::FrameHost& frame, const RenderRoadTest& test, int k) {
    frame.params[size_t(test.indexOf("Direction"))].u.pd.value = 1 + k % 4;
    frame.params[size_t(test.indexOf("Wrap"))].u.bd.value = k % 2;
    frame.in_data.current_time = k;
}

TEST_F(ThreadedRenderTest, FramesOnSeveralThreadsAtOnceGiveThePixelsOfOneAtATime) {
    constexpr int kFrames = 6;
    const PixelDepth depths[] = {PixelDepth::k8, PixelDepth::k16, PixelDepth::k32};
    std::vector<std::unique_ptr<standin::FrameHost>> alone, together;
    for (int k = 0; k < kFrames; ++k) {
        for (auto* frames : {&alone, &together}) {
            frames->push_back(makeFrame(depths[k % 3], 40 + k, 30 - k));
            vary(*frames->back(), *this, k);
        }
    }
    for (auto& frame : alone) {
        ASSERT_EQ(frame->smartPreRender(module.effectMain()), PF_Err_NONE);
        ASSERT_EQ(frame->smartRender(module.effectMain()), PF_Err_NONE);
        frame->finishFrame();
    }

    std::vector<PF_Err> results(kFrames, -1);
    std::vector<std::thread> threads;
    for (int k = 0; k < kFrames; ++k) {
        threads.emplace_back([&, k] {
            standin::FrameHost& frame = *together[size_t(k)];
            PF_Err err = frame.smartPreRender(module.effectMain());
            if (err == PF_Err_NONE) err = frame.smartRender(module.effectMain());
            frame.finishFrame();
            results[size_t(k)] = err;
        });
    }
    for (std::thread& thread : threads) thread.join();

    for (int k = 0; k < kFrames; ++k) {
        EXPECT_EQ(results[size_t(k)], PF_Err_NONE) << k;
        EXPECT_TRUE(outputOf(*together[size_t(k)]).samePixels(outputOf(*alone[size_t(k)]))) << k;
        EXPECT_TRUE(everythingReturned(*together[size_t(k)])) << k;
    }
    EXPECT_EQ(host.handles.liveCount(), 0u);
}

}  // namespace
