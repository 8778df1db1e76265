#include "tools/render_cli/render_session.h"

#include "tools/standin_host/frame_host.h"

namespace {

const char* const kVelocitySourceName = "Velocity Intensity Source";
const char* const kSpreadSourceName = "Spread Intensity Source";

}  // namespace

RenderSession::RenderSession(const std::string& modulePath, HostChoice host, EffectMessages& messages)
    : effect_(modulePath), messages_(messages), premiere_(host.premiere) {
    PF_InData& in_data = effect_.host.in_data;
    in_data.appl_id = host.premiere ? StandInHost::kApplIdPremierePro : StandInHost::kApplIdAfterEffects;
    in_data.version = PF_SpecVersion{host.apiMajor, host.apiMinor};
    effect_.afterSetupCommand = [this](PF_OutData& out) { messages_.collect(out); };
}

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
    messages_.collect(host.out_data);
    // The host keeps the instance's block and hands it in with every later command.
    host.in_data.sequence_data = host.out_data.sequence_data;
    sequenceSetUp_ = true;
    return "";
}

std::string RenderSession::setSources(std::unique_ptr<ArgbBuffer> velocity, std::unique_ptr<ArgbBuffer> spread) {
    std::pair<const char*, std::unique_ptr<ArgbBuffer>> wanted[] = {{kVelocitySourceName, std::move(velocity)},
                                                                    {kSpreadSourceName, std::move(spread)}};
    for (auto& source : wanted) {
        if (source.second == nullptr) continue;
        const int32_t index = effect_.indexOf(source.first);
        if (index < 0) return std::string("the module has no parameter \"") + source.first + "\"";
        effect_.formats.setDepth(source.second->layer(), int(source.second->depth()));
        sources_.emplace_back(index, std::move(source.second));
    }
    return "";
}

void RenderSession::setDownsample(int32_t num, uint32_t den) {
    effect_.host.in_data.downsample_x = PF_RationalScale{num, den};
    effect_.host.in_data.downsample_y = PF_RationalScale{num, den};
}

PF_Err RenderSession::renderFrame(const FrameJob& job) {
    // The host hands the effect its buffers to read; the effect does not write them.
    PF_EffectWorld* input = const_cast<PF_EffectWorld*>(job.input->layer());
    PF_EffectWorld* output = job.output->layer();
    PF_InData base = effect_.frameInData(job.input->width(), job.input->height());
    base.current_time = job.time;
    standin::FrameHost frame(base, effect_.registered, effect_.host.log);
    frame.input = input;
    frame.output = output;
    for (const auto& source : sources_) frame.layers[source.first] = source.second->layer();
    frame.onProgress = job.onProgress;
    if (job.interrupted != nullptr) {
        const std::atomic<bool>* interrupted = job.interrupted;
        frame.abortRequested = [interrupted] { return interrupted->load(); };
    }
    const int depth = int(job.input->depth());
    effect_.formats.setDepth(input, depth);
    effect_.formats.setDepth(output, depth);

    const PF_FilterProc effectMain = effect_.module.effectMain();
    PF_Err err = PF_Err_NONE;
    if (premiere_) {
        err = frame.render(effectMain);
        messages_.collect(frame.out_data);
    } else {
        err = frame.smartPreRender(effectMain);
        messages_.collect(frame.out_data);
        if (err == PF_Err_NONE) {
            err = frame.smartRender(effectMain);
            messages_.collect(frame.out_data);
        }
        frame.finishFrame();
    }
    effect_.formats.forget(input);
    effect_.formats.forget(output);
    effect_.host.log.clear();  // a long sequence would otherwise keep every frame's calls
    return err;
}
