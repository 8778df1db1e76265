// The host side of ondrava_render_png: one loaded module with one effect instance set
// up as a host sets it up, rendering frames through smart pre-render and smart
// render, several at once on threads of their own.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/argb_buffer.h"
#include "tools/render_cli/param_assignment.h"
#include "tools/rgba_image.h"
#include "tools/standin_host/render_host.h"

struct FrameJob {
    const RgbaImage* input = nullptr;
    RgbaImage* output = nullptr;
    int32_t time = 0;  // the frame's time in the host's time units
    std::function<void(int32_t, int32_t)> onProgress;
    const std::atomic<bool>* interrupted = nullptr;  // the host answers abort when set
};

class RenderSession {
public:
    // Throws std::runtime_error when the module cannot be loaded.
    explicit RenderSession(const std::string& modulePath);
    ~RenderSession();
    RenderSession(const RenderSession&) = delete;
    RenderSession& operator=(const RenderSession&) = delete;

    // Registration, global setup, parameter setup and sequence setup. Returns "" or
    // a message.
    std::string setUp();

    RegisteredParams registered() { return {effect_.registered, effect_.popupItems}; }

    // The two intensity-source layers, as images; null for none.
    std::string setSources(const RgbaImage* velocity, const RgbaImage* spread, PixelDepth depth);

    // The downsample ratio the host hands in with every frame, on both axes.
    void setDownsample(int32_t num, uint32_t den);

    // Renders one frame at depth; thread-safe. Returns the effect's code.
    PF_Err renderFrame(const FrameJob& job, PixelDepth depth);

private:
    standin::RenderHost effect_;
    std::vector<std::pair<int32_t, std::unique_ptr<ArgbBuffer>>> sources_;
    bool sequenceSetUp_ = false;
};
