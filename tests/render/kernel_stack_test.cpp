// Every render entry call keeps to the stack a host's render thread gives it: each
// kernel, shaded or not, in every depth, source mode, Wrap setting and vector path,
// renders on a thread of a 640 KiB stack and reaches no more than 560,000 bytes
// below the render entry's caller.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "render/paths/vector_path.h"
#include "tests/render/melt_test_support.h"
#include "tests/render/sized_stack_thread.h"

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;  // their frames are larger by design
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr size_t kRenderThreadStack = 640 * 1024;
constexpr size_t kLargestReach = 560000;
constexpr size_t kWatched = 620 * 1024;  // what the thread's own frames leave of its stack

// A sparse frame: an opaque pixel in every few, of every brightness, so that runs
// of every length start all over a large frame and stay quick to melt.
template <class Channel>
Frame<Channel> sparseFrame(int32_t width, int32_t height, uint32_t seed) {
    Frame<Channel> frame(width, height);
    const double full = sizeof(Channel) == 1 ? 255.0 : sizeof(Channel) == 2 ? 32768.0 : 1.0;
    uint32_t state = seed;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = (y * 7) % 29; x < width; x += 29) {
            state = state * 1664525u + 1013904223u;
            const auto c = Channel((state >> 8) % 1000 * full / 999.0);
            frame.set(x, y, Channel(full), c, Channel((state >> 4) % 997 * full / 996.0), c);
        }
    }
    return frame;
}

// The registered defaults with runs of up to several hundred cells: longer than the
// shading keeps per run, lapping a line with Wrap.
ParamValues longRuns(int32_t direction, int32_t shading, int32_t wrap) {
    ParamValues p = defaultParamValues();
    p.direction = direction;
    p.shading = shading;
    p.wrap = wrap;
    p.meltStep = 300;
    p.velocity = 0.9;
    p.spread = 1.0;
    return p;
}

// The deepest reach of the kernels rendered so far, and which kernel reached it.
struct Deepest {
    size_t bytes = 0;
    std::string kernel;
    void note(size_t reach, const std::string& name) {
        if (reach > bytes) bytes = reach, kernel = name;
    }
};

template <class Channel>
void renderEveryKernelOnASizedStack(int32_t width, int32_t height, Deepest& deepest) {
    Frame<Channel> in = sparseFrame<Channel>(width, height, 1);
    Frame<Channel> velocity = sparseFrame<Channel>(width / 2, height / 2, 2);
    Frame<Channel> spread = sparseFrame<Channel>(width, height, 3);
    Frame<Channel> out(width, height);
    PF_LayerDef inLayer = in.layer(), outLayer = out.layer();
    PF_LayerDef velocityLayer = velocity.layer(), spreadLayer = spread.layer();
    RecordingHost host;
    for (int32_t shading = 0; shading < 2; ++shading) {
        for (int32_t sourceMode = 0; sourceMode < 4; ++sourceMode) {
            for (int32_t wrap = 0; wrap < 2; ++wrap) {
                // Across and along columns: Down stages its lines in blocks.
                const int32_t direction = (sourceMode + wrap) % 2 == 0 ? 0 : 2;
                ParamValues params = longRuns(direction, shading, wrap);
                params.velocitySourceLayer = (sourceMode & 1) ? &velocityLayer : nullptr;
                params.spreadSourceLayer = (sourceMode & 2) ? &spreadLayer : nullptr;
                int32_t code = -1;
                const StackReach reach = runOnSizedStack(
                    kSanitized ? 16 * kRenderThreadStack : kRenderThreadStack, kWatched,
                    [&] { code = renderEntry<Channel>(&inLayer, &outLayer, params, &host.inData); });
                const std::string kernel = std::to_string(8 * sizeof(Channel)) + "-bit shading " +
                                           std::to_string(shading) + " sources " + std::to_string(sourceMode) +
                                           " wrap " + std::to_string(wrap) + " on " + vectorPathName(vectorPath());
                ASSERT_TRUE(reach.ran) << kernel;
                EXPECT_EQ(code, 0) << kernel;
                if (kSanitized) continue;
                EXPECT_LT(reach.deepest, reach.measured) << kernel << ": reached past the watched stack";
                EXPECT_LE(reach.deepest, kLargestReach) << kernel;
                deepest.note(reach.deepest, kernel);
            }
        }
    }
}

void report(const Deepest& deepest) {
    if (!kSanitized) std::printf("deepest: %zu bytes, %s\n", deepest.bytes, deepest.kernel.c_str());
}

TEST(KernelStack, EveryKernelFitsARenderThreadsStackAtFullHD) {
    // Sanitizers measure nothing here and melt slowly: a quarter of the frame.
    const int32_t width = kSanitized ? 480 : 1920, height = kSanitized ? 270 : 1080;
    Deepest deepest;
    renderEveryKernelOnASizedStack<uint8_t>(width, height, deepest);
    renderEveryKernelOnASizedStack<uint16_t>(width, height, deepest);
    renderEveryKernelOnASizedStack<float>(width, height, deepest);
    report(deepest);
}

// The longest lines the buffers hold, where the kernels find the least room.
TEST(KernelStack, EveryKernelFitsARenderThreadsStackOnTheLongestLines) {
    Deepest deepest;
    renderEveryKernelOnASizedStack<uint8_t>(16384, 24, deepest);
    renderEveryKernelOnASizedStack<float>(24, 16384, deepest);
    report(deepest);
}

}  // namespace
