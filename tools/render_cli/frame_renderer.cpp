#include "tools/render_cli/frame_renderer.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <thread>

#include "tools/argb_conversion.h"
#include "tools/render_cli/frame_files.h"
#include "tools/render_cli/frame_sequence.h"
#include "tools/render_cli/progress_bar.h"
#include "tools/render_cli/tool_messages.h"
#include "tools/test_pattern.h"

namespace {

// The first failure of any thread; later ones are dropped.
class FirstFailure {
public:
    void set(const std::string& message) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (message_.empty()) message_ = message;
    }
    bool any() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return !message_.empty();
    }
    std::string message() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return message_;
    }

private:
    mutable std::mutex mutex_;
    std::string message_;
};

std::unique_ptr<ArgbBuffer> testPatternBuffer(const RenderOptions& options, const std::atomic<bool>& interrupted) {
    const RgbaImage pattern = makeTestPattern(options.patternWidth, options.patternHeight, &interrupted);
    auto buffer = std::make_unique<ArgbBuffer>(PixelDepth(options.depth), options.patternWidth, options.patternHeight,
                                               ArgbBufferLayout{}, &interrupted);
    if (!interrupted.load()) copyImageToArgb(pattern, *buffer, &interrupted);
    return buffer;
}

// Returns "" when the frame is written or the render interrupted, else a message.
std::string renderOneFrame(RenderSession& session, const RenderOptions& options, const FramePlan& frame,
                           const std::atomic<bool>& interrupted, ProgressBar& bar, int32_t k) {
    const PixelDepth depth = PixelDepth(options.depth);
    std::unique_ptr<ArgbBuffer> input;
    if (frame.inputPath.empty()) {
        input = testPatternBuffer(options, interrupted);
    } else if (std::string error = readIntoBuffer(frame.inputPath, depth, &interrupted, input); !error.empty()) {
        return interrupted.load() ? "" : error;
    }
    if (interrupted.load()) return "";
    ArgbBuffer output(depth, input->width(), input->height(), ArgbBufferLayout{}, &interrupted);
    if (interrupted.load()) return "";
    FrameJob job;
    job.input = input.get();
    job.output = &output;
    job.time = frame.time;
    job.interrupted = &interrupted;
    if (!options.quiet) {
        job.onProgress = [&bar, k](int32_t current, int32_t total) { bar.report(k, current, total); };
    }
    const PF_Err err = session.renderFrame(job);
    if (interrupted.load()) return "";
    if (err != PF_Err_NONE) {
        const std::string what = frame.inputPath.empty() ? "the test pattern" : msg::quoted(frame.inputPath);
        return "rendering " + what + " " + msg::kRenderFailed + " " + std::to_string(err);
    }
    const FileSamples samples = options.samples ? *options.samples
                                                : defaultSamples(*formatOfPath(frame.outputPath), depth);
    const std::string error = writeFromBuffers(frame.outputPath, output, options.sideBySide ? input.get() : nullptr,
                                               samples, options.overwrite, &interrupted);
    if (interrupted.load()) return "";
    if (error.empty() && !options.quiet) bar.frameDone(k);
    return error;
}

}  // namespace

std::string planFrames(const RenderOptions& options, std::vector<FramePlan>& frames) {
    if (!isSequencePattern(options.inputPath)) {
        frames.push_back({options.inputPath, options.outputPath, 0});
        return "";
    }
    std::string error;
    const std::vector<int64_t> numbers = findSequenceFrames(options.inputPath, error);
    if (!error.empty()) return error;
    if (numbers.empty()) return std::string(msg::kNoFrames) + " " + msg::quoted(options.inputPath);
    for (const int64_t number : numbers) {
        frames.push_back({sequenceFramePath(options.inputPath, number), sequenceFramePath(options.outputPath, number),
                          int32_t(number)});
    }
    return "";
}

std::string renderFrames(RenderSession& session, const RenderOptions& options, const std::vector<FramePlan>& frames,
                         const std::atomic<bool>& interrupted) {
    ProgressBar bar(stderr, int32_t(frames.size()));
    std::atomic<size_t> next{0};
    FirstFailure failure;
    auto worker = [&] {
        for (size_t k = next++; k < frames.size() && !failure.any() && !interrupted.load(); k = next++) {
            const std::string error = renderOneFrame(session, options, frames[k], interrupted, bar, int32_t(k));
            if (!error.empty()) failure.set(error);
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
    return failure.message();
}
