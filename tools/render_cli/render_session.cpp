#include "tools/render_cli/render_session.h"

#include "tools/standin_host/frame_host.h"

namespace {

const char* const kVelocitySourceName = "Velocity Intensity Source";
const char* const kSpreadSourceName = "Spread Intensity Source";

}  // namespace

RenderSession::RenderSession(const std::string& modulePath) : effect_(modulePath) {}

RenderSession::~RenderSession() {
    if (sequenceSetUp_) {
        effect_.host.send(PF_Cmd_SEQUENCE_SETDOWN);
    }
    effect_.host.send(PF_Cmd_GLOBAL_SETDOWN);
}

std::string RenderSession::setUp() {
    if (std::string error = effect_.setUp(); !error.empty()) return error;
    StandInHost& host = effect_.host;
    if (PF_Err err = host.send(PF_Cmd_SEQUENCE_SETUP); err != PF_Err_NONE) {
        return standin::commandFailure("sequence setup", err, host.out_data);
    }
    // The host keeps the instance's block and hands it in with every later command.
    host.in_data.sequence_data = host.out_data.sequence_data;
    sequenceSetUp_ = true;
    return "";
}

std::string RenderSession::setSources(const RgbaImage* velocity, const RgbaImage* spread, PixelDepth depth) {
    const std::pair<const char*, const RgbaImage*> wanted[] = {{kVelocitySourceName, velocity},
                                                                {kSpreadSourceName, spread}};
    for (const auto& source : wanted) {
        if (source.second == nullptr) continue;
        const int32_t index = effect_.indexOf(source.first);
        if (index < 0) return std::string("the module has no parameter \"") + source.first + "\"";
        auto buffer = std::make_unique<ArgbBuffer>(depth, source.second->width, source.second->height);
        buffer->fillFrom(*source.second);
        effect_.formats.setDepth(buffer->layer(), int(depth));
        sources_.emplace_back(index, std::move(buffer));
    }
    return "";
}

void RenderSession::setDownsample(int32_t num, uint32_t den) {
    effect_.host.in_data.downsample_x = PF_RationalScale{num, den};
    effect_.host.in_data.downsample_y = PF_RationalScale{num, den};
}

PF_Err RenderSession::renderFrame(const FrameJob& job, PixelDepth depth) {
    const RgbaImage& image = *job.input;
    ArgbBuffer input(depth, image.width, image.height);
    input.fillFrom(image);
    ArgbBuffer output(depth, image.width, image.height);

    PF_InData base = effect_.frameInData(image.width, image.height);
    base.current_time = job.time;
    standin::FrameHost frame(base, effect_.registered, effect_.host.log);
    frame.input = input.layer();
    frame.output = output.layer();
    for (const auto& source : sources_) frame.layers[source.first] = source.second->layer();
    frame.onProgress = job.onProgress;
    if (job.interrupted != nullptr) {
        const std::atomic<bool>* interrupted = job.interrupted;
        frame.abortRequested = [interrupted] { return interrupted->load(); };
    }
    effect_.formats.setDepth(input.layer(), int(depth));
    effect_.formats.setDepth(output.layer(), int(depth));

    PF_Err err = frame.smartPreRender(effect_.module.effectMain());
    if (err == PF_Err_NONE) err = frame.smartRender(effect_.module.effectMain());
    frame.finishFrame();
    effect_.formats.forget(input.layer());
    effect_.formats.forget(output.layer());
    if (err == PF_Err_NONE) *job.output = output.toImage();
    effect_.host.log.clear();  // a long sequence would otherwise keep every frame's calls
    return err;
}
