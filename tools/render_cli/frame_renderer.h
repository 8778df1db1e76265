// The frames of one run of the render tool: which files a command line names, and
// each frame read, converted, rendered, converted back and written, on up to
// --threads threads at once with one progress bar. Ctrl-C (the interrupted flag)
// stops every stage; the frames not yet begun are never begun.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/render_cli/render_options.h"
#include "tools/render_cli/render_session.h"

struct FramePlan {
    std::string inputPath;  // empty: the test pattern
    std::string outputPath;
    int32_t time = 0;
};

// One frame, or one a file of a sequence's input pattern. Returns "" or a message.
std::string planFrames(const RenderOptions& options, std::vector<FramePlan>& frames);

// Returns "" or the first failure; an interrupted render returns "" with the flag set.
std::string renderFrames(RenderSession& session, const RenderOptions& options, const std::vector<FramePlan>& frames,
                         const std::atomic<bool>& interrupted);
