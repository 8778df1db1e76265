// The host side of ondrava_render: one loaded module with one effect instance set up
// as the chosen host sets it up, rendering frames through smart pre-render and smart
// render (the render command in premiere), several at once on threads of their own.
// Whatever the effect writes into the host's message buffer goes to the messages.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tools/argb_buffer.h"
#include "tools/render_cli/effect_messages.h"
#include "tools/render_cli/param_assignment.h"
#include "tools/render_cli/render_options.h"
#include "tools/standin_host/render_host.h"

struct FrameJob {
    const ArgbBuffer* input = nullptr;
    ArgbBuffer* output = nullptr;  // the input's depth and size
    int32_t time = 0;              // the frame's time in the host's time units
    std::function<void(int32_t, int32_t)> onProgress;
    const std::atomic<bool>* interrupted = nullptr;  // the host answers abort when set
};

class RenderSession {
public:
    // Throws std::runtime_error when the module cannot be loaded.
    RenderSession(const std::string& modulePath, HostChoice host, EffectMessages& messages);
    ~RenderSession();
    RenderSession(const RenderSession&) = delete;
    RenderSession& operator=(const RenderSession&) = delete;

    // Registration, global setup, parameter setup and sequence setup. Returns "" or
    // a message.
    std::string setUp();

    RegisteredParams registered() { return {effect_.registered, effect_.popupItems}; }
    standin::RenderHost& effect() { return effect_; }
    EffectMessages& messages() { return messages_; }

    // The two intensity-source layers; null for none.
    std::string setSources(std::unique_ptr<ArgbBuffer> velocity, std::unique_ptr<ArgbBuffer> spread);

    // The downsample ratio the host hands in with every frame, on both axes.
    void setDownsample(int32_t num, uint32_t den);

    // Renders one frame; thread-safe. Returns the effect's code.
    PF_Err renderFrame(const FrameJob& job);

private:
    standin::RenderHost effect_;
    EffectMessages& messages_;
    bool premiere_;
    std::vector<std::pair<int32_t, std::unique_ptr<ArgbBuffer>>> sources_;
    bool sequenceSetUp_ = false;
};
