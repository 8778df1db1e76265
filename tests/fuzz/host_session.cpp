#include "tests/fuzz/host_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "host/commands/entry_points.h"
#include "platform/pf_custom_ui.h"
#include "platform/pf_smart_render.h"
#include "platform/pf_suites.h"
#include "render/param_values.h"

namespace fuzz {

namespace {

constexpr size_t kBlockSize = sizeof(ParamValues);

// The codes a command may answer: its own and those of the host calls it passes on.
std::vector<PF_Err> allowedResults(PF_Cmd cmd) {
    switch (cmd) {
        case PF_Cmd_GLOBAL_SETUP: return {PF_Err_NONE, A_Err_MISSING_SUITE};
        case PF_Cmd_PARAMS_SETUP: return {PF_Err_NONE, kInjectedFailure};
        case PF_Cmd_SEQUENCE_SETUP:
        case PF_Cmd_SEQUENCE_RESETUP: return {PF_Err_NONE, PF_Err_INTERNAL_STRUCT_DAMAGED};
        case PF_Cmd_SEQUENCE_FLATTEN:
        case PF_Cmd_GET_FLATTENED_SEQUENCE_DATA:
            return {PF_Err_NONE, PF_Err_INTERNAL_STRUCT_DAMAGED, PF_Err_BAD_CALLBACK_PARAM};
        case PF_Cmd_RENDER:
            return {PF_Err_NONE, A_Err_MISSING_SUITE, PF_Err_UNRECOGNIZED_PARAM_TYPE, kInjectedFailure};
        case PF_Cmd_EVENT:
            return {PF_Err_NONE, PF_Err_OUT_OF_MEMORY, PF_Err_BAD_CALLBACK_PARAM, kInjectedFailure};
        case PF_Cmd_SMART_PRE_RENDER:
            return {PF_Err_NONE, PF_Err_OUT_OF_MEMORY, A_Err_MISSING_SUITE, PF_Err_INTERNAL_STRUCT_DAMAGED,
                    PF_Err_BAD_CALLBACK_PARAM, kInjectedFailure};
        case PF_Cmd_SMART_RENDER:
            return {PF_Err_NONE, A_Err_MISSING_SUITE, PF_Err_INTERNAL_STRUCT_DAMAGED, PF_Err_UNRECOGNIZED_PARAM_TYPE,
                    PF_Err_BAD_CALLBACK_PARAM, kInjectedFailure};
        default: return {PF_Err_NONE};
    }
}

int32_t intValue(const ParamSetting& s) {
    switch (s.kind % kValueKinds) {
        case kLowest: return std::numeric_limits<int32_t>::min();
        case kHighest: return std::numeric_limits<int32_t>::max();
        case kZeroOrNaN: return 0;
        case kMinusOne: return -1;
        case kSmall: return int8_t(s.raw & 0xFF);
        default: return int32_t(uint32_t(s.raw));
    }
}

double doubleValue(const ParamSetting& s) {
    switch (s.kind % kValueKinds) {
        case kLowest: return -std::numeric_limits<double>::infinity();
        case kHighest: return std::numeric_limits<double>::infinity();
        case kZeroOrNaN: return std::numeric_limits<double>::quiet_NaN();
        case kMinusOne: return std::numeric_limits<double>::lowest();
        case kSmall: return double(int8_t(s.raw & 0xFF));
        default: {
            double value;
            std::memcpy(&value, &s.raw, sizeof value);
            return value;
        }
    }
}

void applySetting(const ParamSetting& s, PF_ParamDef& def) {
    switch (def.param_type) {
        case PF_Param_POPUP: def.u.pd.value = intValue(s); break;
        case PF_Param_FIX_SLIDER: def.u.fd.value = intValue(s); break;
        case PF_Param_SLIDER: def.u.sd.value = intValue(s); break;
        case PF_Param_ANGLE: def.u.ad.value = intValue(s); break;
        case PF_Param_CHECKBOX: def.u.bd.value = intValue(s); break;
        case PF_Param_FLOAT_SLIDER: def.u.fs_d.value = doubleValue(s); break;
        default: break;  // layers, groups and custom parameters hold no value to set
    }
}

// The codes the two suites report for 8-bit, 16-bit and float pixels.
constexpr PF_PixelFormat kWorldFormats[] = {PF_PixelFormat_ARGB32, PF_PixelFormat_ARGB64, PF_PixelFormat_ARGB128};
constexpr PrPixelFormat kPremiereFormats[] = {PrPixelFormat_ARGB_4444_8u, PrPixelFormat_ARGB_4444_16u,
                                              PrPixelFormat_ARGB_4444_32f};

constexpr int32_t kWorldCodes[] = {kWorldFormats[0], kWorldFormats[1], kWorldFormats[2]};
constexpr int32_t kPremiereCodes[] = {kPremiereFormats[0], kPremiereFormats[1], kPremiereFormats[2]};

int depthIndex(int bits) { return bits == 8 ? 0 : bits == 16 ? 1 : 2; }

// The code a suite answers for a layer of depth `bits`; `own` and `other` are the
// two suites' tables, own first.
template <class Own, class Other>
int32_t formatAnswer(uint8_t answer, int bits, uint32_t raw, const Own (&own)[3], const Other (&other)[3]) {
    switch (answer % kFormatAnswers) {
        case kFormat8: return int32_t(own[0]);
        case kFormat16: return int32_t(own[1]);
        case kFormat32: return int32_t(own[2]);
        case kOtherSuitesFormat: return int32_t(other[depthIndex(bits)]);
        case kInvalidFormat: return PF_PixelFormat_INVALID;
        case kRawFormat: return int32_t(raw);
        default: return int32_t(own[depthIndex(bits)]);
    }
}

int32_t downsampleNumerator(int8_t num) {
    if (num == -128) return std::numeric_limits<int32_t>::min();
    if (num == 127) return std::numeric_limits<int32_t>::max();
    return num;
}

uint32_t downsampleDenominator(uint8_t den) { return den == 255 ? std::numeric_limits<uint32_t>::max() : den; }

// A flattened block: the record's size, the block's bytes as far as they reach.
std::vector<uint8_t> flattened(const std::vector<uint8_t>& block) {
    std::vector<uint8_t> flat(kBlockSize, 0);
    std::copy_n(block.begin(), std::min(block.size(), kBlockSize), flat.begin());
    return flat;
}

bool sameBytes(const std::vector<PF_ParamDef>& a, const std::vector<PF_ParamDef>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}

}  // namespace

HostSession::HostSession(const HostPlan& plan)
    : plan_(plan), trace_(std::getenv("ONDRAVA_FUZZ_TRACE") != nullptr), host_(LinkedEffect{PluginDataEntryFunction, EffectMain}) {
    host_.suites.provide(kPFWorldSuite, kPFWorldSuiteVersion2, formats_.worldSuite());
    host_.suites.provide(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, formats_.pixelFormatSuite());
    host_.log.failCall(plan.failingCall, kInjectedFailure);
    host_.in_data.appl_id = plan.premiere() ? StandInHost::kApplIdPremierePro : StandInHost::kApplIdAfterEffects;
    if (plan.ownVersion()) host_.in_data.version = PF_SpecVersion{plan.major, plan.minor};
    frame_ = std::make_unique<standin::FrameHost>(host_.in_data, std::vector<PF_ParamDef>{}, host_.log);
    useFrame(FramePlan{});

    step_ = "registration";
    const PF_Err registered = host_.registerEffect();
    expect(registered == PF_Err_NONE || registered == kInjectedFailure, "registration answers the callback's code");
    step_ = "global setup";
    sendCommand(PF_Cmd_GLOBAL_SETUP, nullptr, nullptr, nullptr);
    paramsSetup();
}

HostSession::~HostSession() {
    step_ = "end of input";
    finishFrame();
    if (frame_->in_data.sequence_data != nullptr) host_.handles.discard(frame_->in_data.sequence_data);
}

void HostSession::run(const Step& step) {
    step_ = "step " + std::to_string(int(opOf(step.op)));
    PF_ParamDef** params = frame_->paramArray();
    switch (opOf(step.op)) {
        case Op::Command:
            // The host keeps its registration in step with every parameter setup.
            if (step.command == PF_Cmd_PARAMS_SETUP) {
                paramsSetup();
            } else {
                sendCommand(step.command, nullptr, params, frame_->output);
            }
            break;
        case Op::About: sendCommand(PF_Cmd_ABOUT, nullptr, params, nullptr); break;
        case Op::GlobalSetup: sendCommand(PF_Cmd_GLOBAL_SETUP, nullptr, nullptr, nullptr); break;
        case Op::ParamsSetup: paramsSetup(); break;
        case Op::SequenceSetup: sendCommand(PF_Cmd_SEQUENCE_SETUP, nullptr, nullptr, nullptr); break;
        case Op::SequenceResetup: sendCommand(PF_Cmd_SEQUENCE_RESETUP, nullptr, nullptr, nullptr); break;
        case Op::SequenceFlatten: sendCommand(PF_Cmd_SEQUENCE_FLATTEN, nullptr, nullptr, nullptr); break;
        case Op::SequenceSetdown: sendCommand(PF_Cmd_SEQUENCE_SETDOWN, nullptr, nullptr, nullptr); break;
        case Op::GetFlattenedSequenceData:
            sendCommand(PF_Cmd_GET_FLATTENED_SEQUENCE_DATA, nullptr, nullptr, nullptr);
            break;
        case Op::HostBlock: handInBlock(step.blockSize, step.blockFill); break;
        case Op::Render:
            sendCommand(PF_Cmd_RENDER, nullptr, (step.flags & 1) != 0 ? nullptr : params,
                        (step.flags & 2) != 0 ? nullptr : frame_->output);
            break;
        case Op::UserChangedParam: {
            PF_UserChangedParamExtra extra{step.index};
            sendCommand(PF_Cmd_USER_CHANGED_PARAM, (step.flags & 1) != 0 ? nullptr : &extra, params, nullptr);
            break;
        }
        case Op::UpdateParamsUI: sendCommand(PF_Cmd_UPDATE_PARAMS_UI, nullptr, params, nullptr); break;
        case Op::Event: sendEvent(step.event); break;
        case Op::SmartPreRender: smartPreRender(step.flags); break;
        case Op::SmartRender: smartRender(step.flags); break;
        case Op::FinishFrame: finishFrame(); break;
        case Op::SetParam: setParam(step.setting); break;
        case Op::Frame: useFrame(step.frame); break;
        case Op::kCount: break;
    }
}

void HostSession::sendCommand(PF_Cmd cmd, void* extra, PF_ParamDef** params, PF_LayerDef* output) {
    if (cmd == PF_Cmd_RENDER || cmd == PF_Cmd_SMART_RENDER) {
        const int64_t lines = std::max(layers_[kOutput]->width(), layers_[kOutput]->height());
        if (renders_ == kMaxRenders || renderLines_ + lines > kMaxRenderLines) return;
        ++renders_;
        renderLines_ += lines;
    }
    step_ += ", command " + std::to_string(cmd);
    PF_InData& in = frame_->in_data;
    PF_OutData& out = frame_->out_data;
    layers_[kOutput]->snapshot(renderBits(cmd));
    const std::vector<PF_ParamDef> paramsBefore = frame_->params;
    const PF_Handle blockBefore = in.sequence_data;
    out = PF_OutData{};
    out.sequence_data = blockBefore;  // as the host hands the block back unless the effect replaces it

    const PF_Err result = EffectMain(cmd, &in, &out, params, output, extra);
    if (trace_) {
        std::fprintf(stderr, "%s -> %d (host calls counted: %llu)\n", step_.c_str(), result,
                     static_cast<unsigned long long>(host_.log.callsCounted()));
    }

    const std::vector<PF_Err> allowed = allowedResults(cmd);
    expect(std::find(allowed.begin(), allowed.end(), result) != allowed.end(),
           "the command answers a code it may answer, not " + std::to_string(result));
    expect(std::memchr(out.return_msg, 0, sizeof out.return_msg) != nullptr, "the message fits its buffer");
    checkBalances();
    for (int layer = kInput; layer < kLayers; ++layer) {
        expect(layers_[layer]->unchanged(), "the input and source layers are left as the host gave them");
    }
    const bool mayHaveRendered = renders(cmd) && (result == PF_Err_NONE || result == kInjectedFailure);
    expect(mayHaveRendered ? layers_[kOutput]->onlyPixelsChanged() : layers_[kOutput]->unchanged(),
           mayHaveRendered ? "the render writes the output's pixels and nothing around them"
                           : "a command that does not render leaves the output as it was");
    expect(sameBytes(paramsBefore, frame_->params), "the host's parameters are left as they were");
    takeSequenceData(cmd, blockBefore);
    checkHandles();
}

void HostSession::paramsSetup() {
    step_ = "parameter setup";
    host_.params.clearRegistration();
    sendCommand(PF_Cmd_PARAMS_SETUP, nullptr, nullptr, nullptr);
    frame_->params = host_.params.paramsFromRegistration();
    for (const auto& setting : settings_) setParam(setting.second);
    placeLayers();
}

void HostSession::useFrame(const FramePlan& plan) {
    const LayerPlan* plans[kLayers] = {&plan.output, &plan.input, &plan.velocitySource, &plan.spreadSource};
    inputWorldFormat_ = PF_PixelFormat_INVALID;
    outputPremiereFormat_ = PrPixelFormat_ARGB_4444_8u;
    for (int layer = 0; layer < kLayers; ++layer) {
        if (layers_[layer] != nullptr && layers_[layer]->world() != nullptr) formats_.forget(layers_[layer]->world());
        layers_[layer] = std::make_unique<HostLayer>(*plans[layer], 0x9E3779B9u * uint32_t(layer + 1));
        PF_EffectWorld* world = layers_[layer]->world();
        if (world == nullptr) continue;
        const int bits = layers_[layer]->bitsPerChannel();
        PF_PixelFormat worldCode = kWorldFormats[depthIndex(bits)];
        int32_t premiereCode = kPremiereFormats[depthIndex(bits)];
        uint8_t answer = kFormatOfDepth;
        if (layer == kInput) {
            answer = plan.inputFormat;
            worldCode = formatAnswer(answer, bits, plan.rawFormat, kWorldFormats, kPremiereFormats);
        } else if (layer == kOutput) {
            answer = plan.outputFormat;
            premiereCode = formatAnswer(answer, bits, plan.rawFormat, kPremiereFormats, kWorldFormats);
        }
        formats_.setFormats(world, worldCode, premiereCode);
        const bool unanswered = answer % kFormatAnswers == kUnanswered;
        if (unanswered) formats_.setUnanswered(world);
        // An unanswered query leaves the code each command presets.
        if (layer == kInput) inputWorldFormat_ = unanswered ? PF_PixelFormat_INVALID : worldCode;
        if (layer == kOutput) outputPremiereFormat_ = unanswered ? int32_t(PrPixelFormat_ARGB_4444_8u) : premiereCode;
    }
    layers_[kOutput]->setOrigin(plan.originX, plan.originY);

    PF_InData& in = frame_->in_data;
    in.width = layers_[kOutput]->width();
    in.height = layers_[kOutput]->height();
    in.extent_hint = PF_LRect{0, 0, in.width, in.height};
    in.downsample_x = PF_RationalScale{downsampleNumerator(plan.downsampleNum), downsampleDenominator(plan.downsampleDen)};
    in.downsample_y = in.downsample_x;
    placeLayers();
}

void HostSession::placeLayers() {
    frame_->output = layers_[kOutput]->world();
    frame_->input = layers_[kInput]->world();
    frame_->layers.clear();
    const std::pair<int32_t, Layer> sources[] = {{3, kVelocitySource}, {4, kSpreadSource}};
    for (const auto& source : sources) {
        const int32_t index = hostIndexOf(source.first);
        PF_EffectWorld* world = layers_[source.second]->world();
        if (index > 0 && world != nullptr) frame_->layers[index] = world;
    }
}

void HostSession::setParam(const ParamSetting& setting) {
    settings_[setting.paramId()] = setting;
    const int32_t index = hostIndexOf(setting.paramId());
    if (index > 0) applySetting(setting, frame_->params[size_t(index)]);
}

void HostSession::sendEvent(const EventPlan& plan) {
    PF_EventExtra extra{};
    extra.contextH = host_.drawbot.context();
    extra.e_type = plan.type;
    extra.u.do_click.when = plan.when;
    const int32_t targets[] = {hostIndexOf(1), hostIndexOf(34), hostIndexOf(41), int32_t(int8_t(plan.target)) / 4};
    extra.effect_win.index = targets[plan.target % kEventTargets];
    extra.effect_win.area = plan.area;
    extra.effect_win.current_frame = PF_LRect{plan.left, plan.top, plan.left + 50, plan.top + 50};
    extra.effect_win.param_title_frame = PF_LRect{plan.titleLeft, plan.titleTop, plan.titleLeft + 320, plan.titleTop + 17};
    sendCommand(PF_Cmd_EVENT, (plan.flags & 1) != 0 ? nullptr : &extra,
                (plan.flags & 2) != 0 ? nullptr : frame_->paramArray(), nullptr);
}

void HostSession::smartPreRender(uint8_t flags) {
    // A host finishes one frame before it asks for the next.
    if (frame_->preRenderOutput().pre_render_data != nullptr) finishFrame();
    PF_PreRenderOutput& output = frame_->preRenderOutput();
    output = PF_PreRenderOutput{};
    if ((flags & 4) != 0) output.result_rect = output.max_result_rect = PF_LRect{1, 1, 5, 5};
    frame_->outputRequest() = PF_RenderRequest{};
    if ((flags & 2) == 0) frame_->outputRequest().rect = PF_LRect{0, 0, frame_->in_data.width, frame_->in_data.height};
    sendCommand(PF_Cmd_SMART_PRE_RENDER, (flags & 1) != 0 ? nullptr : frame_->preRenderExtra(), nullptr, nullptr);
}

void HostSession::smartRender(uint8_t flags) {
    PF_SmartRenderExtra* extra = frame_->smartRenderExtra();
    extra->input->pre_render_data = frame_->preRenderOutput().pre_render_data;
    sendCommand(PF_Cmd_SMART_RENDER, (flags & 1) != 0 ? nullptr : extra, frame_->paramArray(), nullptr);
}

void HostSession::finishFrame() {
    step_ += ", frame finished";
    void* data = frame_->preRenderOutput().pre_render_data;
    const bool failedBefore = host_.log.failed();
    frame_->finishFrame();
    if (data != nullptr && host_.handles.isLive(static_cast<PF_Handle>(data))) {
        // Without the handle suite the delete function cannot dispose of the data:
        // the host, which refused the suite, frees it itself.
        expect(!failedBefore && host_.log.failed(), "the delete function disposes of the pre-render data");
        host_.handles.discard(static_cast<PF_Handle>(data));
    }
    checkBalances();
    checkHandles();
}

void HostSession::handInBlock(uint16_t size, uint8_t fill) {
    PF_InData& in = frame_->in_data;
    if (in.sequence_data != nullptr) host_.handles.discard(in.sequence_data);
    block_.assign(std::min(size, kMaxBlockBytes), fill);
    in.sequence_data = host_.handles.make(block_);
}

int32_t HostSession::hostIndexOf(int32_t id) const {
    const std::vector<PF_ParamDef>& added = host_.params.added;
    for (size_t i = 0; i < added.size(); ++i) {
        if (added[i].uu.id == id) return int32_t(i + 1);
    }
    return 0;
}

int HostSession::renderBits(PF_Cmd cmd) const {
    const int32_t format = cmd == PF_Cmd_SMART_RENDER ? inputWorldFormat_ : outputPremiereFormat_;
    const int32_t(&codes)[3] = cmd == PF_Cmd_SMART_RENDER ? kWorldCodes : kPremiereCodes;
    static constexpr int kBits[] = {8, 16, 32};
    for (int i = 0; i < 3; ++i) {
        if (format == codes[i]) return kBits[i];
    }
    return layers_[kOutput]->bitsPerChannel();  // nothing is rendered
}

bool HostSession::renders(PF_Cmd cmd) const {
    return cmd == PF_Cmd_SMART_RENDER || (cmd == PF_Cmd_RENDER && plan_.premiere());
}

// The host takes what the effect handed back in out_data: a new block replaces the
// instance's, a flattened copy is saved and let go of. Whatever the effect does,
// it does not change the bytes of a block.
void HostSession::takeSequenceData(PF_Cmd cmd, PF_Handle before) {
    PF_InData& in = frame_->in_data;
    const PF_Handle handedBack = frame_->out_data.sequence_data;
    if (cmd == PF_Cmd_GET_FLATTENED_SEQUENCE_DATA) {
        expect(in.sequence_data == before, "getting flattened data keeps the instance's block");
        if (handedBack != nullptr && handedBack != before) {
            expect(host_.handles.isLive(handedBack) && host_.handles.bytes(handedBack) == flattened(block_),
                   "the flattened copy holds the block's bytes");
            host_.handles.discard(handedBack);
        }
    } else {
        in.sequence_data = handedBack;
    }
    const PF_Handle now = in.sequence_data;
    if (now == nullptr) {
        block_.clear();
        return;
    }
    expect(host_.handles.isLive(now), "the instance's block is a live handle");
    const std::vector<uint8_t> bytes = host_.handles.bytes(now);
    if (now == before) {
        const size_t kept = std::min(bytes.size(), block_.size());
        expect(std::equal(bytes.begin(), bytes.begin() + ptrdiff_t(kept), block_.begin()),
               "the effect leaves the block's bytes as they were");
        expect(cmd == PF_Cmd_SEQUENCE_SETUP || bytes.size() == block_.size(), "only sequence setup resizes the block");
    } else {
        const std::vector<uint8_t> expected = before == nullptr ? std::vector<uint8_t>(kBlockSize, 0) : flattened(block_);
        expect(bytes == expected, "a new block is all zeros, a flattened one the old block's bytes");
    }
    block_ = bytes;
}

void HostSession::checkBalances() const {
    expect(host_.suites.balanced(), "every suite acquired is released, and only those");
    expect(host_.handles.locksHeld() == 0, "no handle stays locked");
    expect(frame_->paramsOut() == 0, "every parameter checked out is checked in");
    expect(frame_->pixelsOut() == 0, "every layer's pixels checked out are checked in");
    expect(host_.drawbot.liveImages() == 0, "every Drawbot image made is released");
    expect(host_.drawbot.foreignReferences() == 0, "the effect hands the host only references it had from it");
}

// Live handles are exactly the instance's block and the pending frame's
// pre-render data: nothing the effect made is lost, nothing the host owns is gone.
void HostSession::checkHandles() const {
    size_t owned = 0;
    for (const PF_Handle handle : {frame_->in_data.sequence_data,
                                   static_cast<PF_Handle>(frame_->preRenderOutput().pre_render_data)}) {
        if (handle == nullptr) continue;
        expect(host_.handles.isLive(handle), "a handle the host owns is live");
        ++owned;
    }
    expect(host_.handles.liveCount() == owned, "every handle the effect made is handed to the host or disposed of");
}

void HostSession::violated(const std::string& what) const {
    std::fprintf(stderr, "ondrava fuzz: %s (%s)\nlast host calls:\n", what.c_str(), step_.c_str());
    const std::vector<std::string> entries = host_.log.entries();
    const size_t from = entries.size() > 20 ? entries.size() - 20 : 0;
    for (size_t i = from; i < entries.size(); ++i) std::fprintf(stderr, "  %s\n", entries[i].c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace fuzz
