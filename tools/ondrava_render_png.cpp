// ondrava_render_png: renders PNG files, or the built-in test pattern, through the Ondrava module the
// way a host does: the module is loaded and set up, parameters are set by their
// display names, and every frame goes through smart pre-render and smart render.
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "tools/png_io.h"
#include "tools/render_cli/frame_sequence.h"
#include "tools/render_cli/progress_bar.h"
#include "tools/render_cli/render_options.h"
#include "tools/render_cli/render_session.h"
#include "tools/test_pattern.h"

namespace {

const char* const kProgram = "ondrava_render_png";
constexpr int kInterruptedExit = 130;

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler stores into it");

extern "C" void onInterrupt(int) { interrupted.store(true); }

int fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
    return 1;
}

struct Frame {
    std::string inputPath;  // empty: the test pattern
    std::string outputPath;
    int32_t time = 0;
};

std::string listFrames(const RenderOptions& options, std::vector<Frame>& frames) {
    if (!isSequencePattern(options.inputPath)) {
        frames.push_back({options.inputPath, options.outputPath, 0});
        return "";
    }
    std::string error;
    const std::vector<int64_t> numbers = findSequenceFrames(options.inputPath, error);
    if (!error.empty()) return error;
    if (numbers.empty()) return "no file matches \"" + options.inputPath + "\"";
    for (const int64_t number : numbers) {
        frames.push_back({sequenceFramePath(options.inputPath, number),
                          sequenceFramePath(options.outputPath, number), int32_t(number)});
    }
    return "";
}

std::string loadSource(const std::string& path, std::unique_ptr<RgbaImage>& image) {
    if (path.empty()) return "";
    image = std::make_unique<RgbaImage>();
    return readPng(path, *image);
}

// Renders the frames on up to `threads` threads at once, as a host renders a
// sequence; the first failure stops the frames not yet begun.
std::string renderFrames(RenderSession& session, const RenderOptions& options, const std::vector<Frame>& frames,
                         bool& wasInterrupted) {
    const PixelDepth depth = PixelDepth(options.depth);
    const int pngBits = options.pngBits != 0 ? options.pngBits : (options.depth == 8 ? 8 : 16);
    ProgressBar bar(stderr, int32_t(frames.size()));
    std::atomic<size_t> next{0};
    std::mutex errorMutex;
    std::string firstError;
    auto setError = [&](const std::string& message) {
        std::lock_guard<std::mutex> lock(errorMutex);
        if (firstError.empty()) firstError = message;
    };
    auto failedAlready = [&] {
        std::lock_guard<std::mutex> lock(errorMutex);
        return !firstError.empty();
    };

    auto worker = [&] {
        for (size_t k = next++; k < frames.size() && !failedAlready() && !interrupted.load(); k = next++) {
            const Frame& frame = frames[k];
            RgbaImage input, output;
            if (frame.inputPath.empty()) {
                input = makeTestPattern(options.patternWidth, options.patternHeight);
            } else if (std::string error = readPng(frame.inputPath, input); !error.empty()) {
                setError(error);
                return;
            }
            FrameJob job;
            job.input = &input;
            job.output = &output;
            job.time = frame.time;
            job.interrupted = &interrupted;
            if (!options.quiet) {
                job.onProgress = [&bar, k](int32_t current, int32_t total) { bar.report(int32_t(k), current, total); };
            }
            const PF_Err err = session.renderFrame(job, depth);
            if (err == PF_Interrupt_CANCEL && interrupted.load()) return;
            if (err != PF_Err_NONE) {
                setError("rendering \"" + (frame.inputPath.empty() ? "the test pattern" : frame.inputPath) +
                         "\" failed with code " + std::to_string(err));
                return;
            }
            if (std::string error = writePng(frame.outputPath, output, pngBits); !error.empty()) {
                setError(error);
                return;
            }
            if (!options.quiet) bar.frameDone(int32_t(k));
        }
    };

    const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    const size_t threadCount =
        std::min(frames.size(), size_t(options.threads > 0 ? unsigned(options.threads) : processors));
    std::vector<std::thread> threads;
    for (size_t t = 1; t < threadCount; ++t) threads.emplace_back(worker);
    worker();
    for (std::thread& thread : threads) thread.join();
    bar.finish();
    wasInterrupted = interrupted.load();
    return firstError;
}

int run(const RenderOptions& options) {
    RenderSession session(options.modulePath);
    if (std::string error = session.setUp(); !error.empty()) return fail(error);
    if (options.listParams) {
        std::fputs(describeParams(session.registered()).c_str(), stdout);
        if (options.outputPath.empty()) return 0;
    }
    for (const std::string& assignment : options.assignments) {
        if (std::string error = assignParam(session.registered(), assignment); !error.empty()) return fail(error);
    }
    std::unique_ptr<RgbaImage> velocity, spread;
    if (std::string error = loadSource(options.velocitySourcePath, velocity); !error.empty()) return fail(error);
    if (std::string error = loadSource(options.spreadSourcePath, spread); !error.empty()) return fail(error);
    if (std::string error = session.setSources(velocity.get(), spread.get(), PixelDepth(options.depth));
        !error.empty()) {
        return fail(error);
    }
    session.setDownsample(options.scaleNum, uint32_t(options.scaleDen));
    std::vector<Frame> frames;
    if (std::string error = listFrames(options, frames); !error.empty()) return fail(error);

    std::signal(SIGINT, onInterrupt);
    bool wasInterrupted = false;
    const std::string error = renderFrames(session, options, frames, wasInterrupted);
    std::signal(SIGINT, SIG_DFL);
    if (wasInterrupted) {
        std::fprintf(stderr, "%s: interrupted\n", kProgram);
        return kInterruptedExit;
    }
    return error.empty() ? 0 : fail(error);
}

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
#ifdef ONDRAVA_MODULE_PATH
    options.modulePath = ONDRAVA_MODULE_PATH;
#endif
    const std::string error = parseRenderArguments(std::vector<std::string>(argv + 1, argv + argc), options);
    if (options.help) {
        std::fputs(renderUsage(kProgram).c_str(), stdout);
        return 0;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "%s: %s\n(%s --help lists the options)\n", kProgram, error.c_str(), kProgram);
        return 2;
    }
    try {
        return run(options);
    } catch (const std::bad_alloc&) {
        return fail("out of memory");
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}
