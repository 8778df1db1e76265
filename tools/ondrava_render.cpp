// ondrava_render: renders image files, or the built-in test pattern, through the
// Ondrava module the way a host does: the module is loaded and set up, parameters
// are set by their display names, and every frame goes through smart pre-render and
// smart render. It can also list the parameters and draw the effect-controls panel.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "tools/render_cli/effect_messages.h"
#include "tools/render_cli/effect_panel.h"
#include "tools/render_cli/exit_codes.h"
#include "tools/render_cli/frame_files.h"
#include "tools/render_cli/frame_renderer.h"
#include "tools/render_cli/image_file.h"
#include "tools/render_cli/overwrite_guard.h"
#include "tools/render_cli/param_listing.h"
#include "tools/render_cli/render_options.h"
#include "tools/render_cli/render_session.h"
#include "tools/render_cli/tool_messages.h"

namespace {

const char* const kProgram = "ondrava_render";

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler stores into it");

// A second Ctrl-C ends the process at once.
extern "C" void onInterrupt(int) {
    interrupted.store(true);
    std::signal(SIGINT, SIG_DFL);
}

int exitWith(ExitCode code, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
    return code;
}

// A failure while interrupted is the interruption's doing.
int failed(const std::string& message) {
    return interrupted.load() ? exitWith(kExitInterrupted, msg::kInterrupted) : exitWith(kExitFailure, message);
}

std::string loadSource(const std::string& path, const RenderOptions& options, std::unique_ptr<ArgbBuffer>& buffer) {
    if (path.empty()) return "";
    return readIntoBuffer(path, PixelDepth(options.depth), &interrupted, buffer);
}

// Every file this run reads and every file it writes.
void filesOfRun(const RenderOptions& options, const std::vector<FramePlan>& frames, std::vector<std::string>& inputs,
                std::vector<std::string>& outputs) {
    for (const FramePlan& frame : frames) {
        if (!frame.inputPath.empty()) inputs.push_back(frame.inputPath);
        outputs.push_back(frame.outputPath);
    }
    for (const std::string* source : {&options.velocitySourcePath, &options.spreadSourcePath}) {
        if (!source->empty()) inputs.push_back(*source);
    }
    if (!options.panelPath.empty()) outputs.push_back(options.panelPath);
}

int writePanel(RenderSession& session, const RenderOptions& options) {
    RgbaImageOf<uint8_t> picture;
    if (std::string error = drawEffectPanel(session.effect(), session.messages(), picture); !error.empty()) {
        return failed(error);
    }
    const FileSamples samples = defaultSamples(*formatOfPath(options.panelPath), PixelDepth::k8);
    if (std::string error = writeImage(options.panelPath, picture, samples, options.overwrite, &interrupted);
        !error.empty()) {
        return failed(error);
    }
    return kExitSuccess;
}

int run(const RenderOptions& options, EffectMessages& messages) {
    RenderSession session(options.modulePath, options.host, messages);
    const std::string setUpError = session.setUp();
    messages.print(stderr, kProgram);
    if (!setUpError.empty()) return failed(setUpError);
    if (interrupted.load()) return exitWith(kExitInterrupted, msg::kInterrupted);
    if (options.listParams) {
        const std::string listing =
            options.json ? listParamsJson(session.registered()) : listParamsText(session.registered());
        std::fputs(listing.c_str(), stdout);
    }
    for (const std::string& assignment : options.assignments) {
        if (std::string error = assignParam(session.registered(), assignment); !error.empty()) {
            return exitWith(kExitUsage, error);
        }
    }
    std::vector<FramePlan> frames;
    if (!options.outputPath.empty()) {
        if (std::string error = planFrames(options, frames); !error.empty()) return failed(error);
    }
    std::vector<std::string> inputs, outputs;
    filesOfRun(options, frames, inputs, outputs);
    if (std::string refusal = refuseOverwrites(inputs, outputs, options.overwrite); !refusal.empty()) {
        return exitWith(kExitUsage, refusal);
    }
    if (!options.panelPath.empty()) {
        const int code = writePanel(session, options);
        messages.print(stderr, kProgram);
        if (code != kExitSuccess) return code;
    }
    if (frames.empty()) return interrupted.load() ? exitWith(kExitInterrupted, msg::kInterrupted) : kExitSuccess;

    std::unique_ptr<ArgbBuffer> velocity, spread;
    if (std::string error = loadSource(options.velocitySourcePath, options, velocity); !error.empty()) {
        return failed(error);
    }
    if (std::string error = loadSource(options.spreadSourcePath, options, spread); !error.empty()) {
        return failed(error);
    }
    if (std::string error = session.setSources(std::move(velocity), std::move(spread)); !error.empty()) {
        return failed(error);
    }
    session.setDownsample(options.scaleNum, uint32_t(options.scaleDen));
    const std::string error = renderFrames(session, options, frames, interrupted);
    messages.print(stderr, kProgram);
    if (interrupted.load()) return exitWith(kExitInterrupted, msg::kInterrupted);
    return error.empty() ? kExitSuccess : failed(error);
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGINT, onInterrupt);
    RenderOptions options;
#ifdef ONDRAVA_MODULE_PATH
    options.modulePath = ONDRAVA_MODULE_PATH;
#endif
    const std::string error = parseRenderArguments(std::vector<std::string>(argv + 1, argv + argc), options);
    if (options.help) {
        std::fputs(renderUsage(kProgram).c_str(), stdout);
        return kExitSuccess;
    }
    if (options.version) {
        std::printf("%s %s\n", kProgram, ONDRAVA_VERSION);
        return kExitSuccess;
    }
    if (!error.empty()) return exitWith(kExitUsage, error + " (" + msg::kSeeHelp + ")");
    EffectMessages messages;
    try {
        return run(options, messages);
    } catch (const std::bad_alloc&) {
        return failed("out of memory");
    } catch (const std::exception& e) {
        return failed(e.what());
    }
}
