#include "tools/render_cli/render_session.h"

#include <cstring>

#include "platform/pf_suites.h"
#include "tools/standin_host/frame_host.h"

namespace {

const char* const kVelocitySourceName = "Velocity Intensity Source";
const char* const kSpreadSourceName = "Spread Intensity Source";

std::string failed(const char* command, PF_Err err, const PF_OutData& out) {
    std::string message = std::string(command) + " failed with code " + std::to_string(err);
    const std::string text(out.return_msg, strnlen(out.return_msg, sizeof out.return_msg));
    if (!text.empty()) message += ": " + text;
    return message;
}

}  // namespace

RenderSession::RenderSession(const std::string& modulePath) : host_(modulePath), module_(modulePath) {
    host_.suites.provide(kPFWorldSuite, kPFWorldSuiteVersion2, formats_.worldSuite());
    host_.suites.provide(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, formats_.pixelFormatSuite());
    params_.assign(1, PF_ParamDef{});
    params_[0].param_type = PF_Param_LAYER;
    popupItems_.assign(1, "");
    host_.addParam = [this](PF_ParamIndex, PF_ParamDef* def) {
        params_.push_back(*def);
        const bool popup = def->param_type == PF_Param_POPUP && def->u.pd.namesptr != nullptr;
        popupItems_.push_back(popup ? def->u.pd.namesptr : "");
        return PF_Err_NONE;
    };
}

RenderSession::~RenderSession() {
    if (sequenceSetUp_) {
        host_.send(PF_Cmd_SEQUENCE_SETDOWN);
    }
    host_.send(PF_Cmd_GLOBAL_SETDOWN);
}

std::string RenderSession::setUp() {
    if (PF_Err err = host_.registerEffect(); err != PF_Err_NONE) return failed("registration", err, host_.out_data);
    if (PF_Err err = host_.send(PF_Cmd_GLOBAL_SETUP); err != PF_Err_NONE) {
        return failed("global setup", err, host_.out_data);
    }
    if (PF_Err err = host_.send(PF_Cmd_PARAMS_SETUP); err != PF_Err_NONE) {
        return failed("parameter setup", err, host_.out_data);
    }
    if (PF_Err err = host_.send(PF_Cmd_SEQUENCE_SETUP); err != PF_Err_NONE) {
        return failed("sequence setup", err, host_.out_data);
    }
    // The host keeps the instance's block and hands it in with every later command.
    host_.in_data.sequence_data = host_.out_data.sequence_data;
    sequenceSetUp_ = true;
    return "";
}

int32_t RenderSession::indexOf(const std::string& name) const {
    for (size_t i = 1; i < params_.size(); ++i) {
        if (name == std::string(params_[i].name, strnlen(params_[i].name, sizeof params_[i].name))) {
            return int32_t(i);
        }
    }
    return -1;
}

std::string RenderSession::setSources(const RgbaImage* velocity, const RgbaImage* spread, PixelDepth depth) {
    const std::pair<const char*, const RgbaImage*> wanted[] = {{kVelocitySourceName, velocity},
                                                                {kSpreadSourceName, spread}};
    for (const auto& source : wanted) {
        if (source.second == nullptr) continue;
        const int32_t index = indexOf(source.first);
        if (index < 0) return std::string("the module has no parameter \"") + source.first + "\"";
        auto buffer = std::make_unique<ArgbBuffer>(depth, source.second->width, source.second->height);
        buffer->fillFrom(*source.second);
        formats_.setDepth(buffer->layer(), int(depth));
        sources_.emplace_back(index, std::move(buffer));
    }
    return "";
}

void RenderSession::setDownsample(int32_t num, uint32_t den) {
    host_.in_data.downsample_x = PF_RationalScale{num, den};
    host_.in_data.downsample_y = PF_RationalScale{num, den};
}

PF_Err RenderSession::renderFrame(const FrameJob& job, PixelDepth depth) {
    const RgbaImage& image = *job.input;
    ArgbBuffer input(depth, image.width, image.height);
    input.fillFrom(image);
    ArgbBuffer output(depth, image.width, image.height);

    PF_InData base = host_.in_data;
    base.current_time = job.time;
    base.width = image.width;
    base.height = image.height;
    base.extent_hint = PF_LRect{0, 0, image.width, image.height};
    standin::FrameHost frame(base, params_, host_.log);
    frame.input = input.layer();
    frame.output = output.layer();
    for (const auto& source : sources_) frame.layers[source.first] = source.second->layer();
    frame.onProgress = job.onProgress;
    if (job.interrupted != nullptr) {
        const std::atomic<bool>* interrupted = job.interrupted;
        frame.abortRequested = [interrupted] { return interrupted->load(); };
    }
    formats_.setDepth(input.layer(), int(depth));
    formats_.setDepth(output.layer(), int(depth));

    PF_Err err = frame.smartPreRender(module_.effectMain());
    if (err == PF_Err_NONE) err = frame.smartRender(module_.effectMain());
    frame.finishFrame();
    formats_.forget(input.layer());
    formats_.forget(output.layer());
    if (err == PF_Err_NONE) *job.output = output.toImage();
    host_.log.clear();  // a long sequence would otherwise keep every frame's calls
    return err;
}
