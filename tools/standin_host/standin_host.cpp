#include "tools/standin_host/standin_host.h"

#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>

#include "tools/standin_host/unused_slots.h"

namespace {

StandInHost* currentHost = nullptr;

PF_Err registerCallback(void* host_ptr, const char* name, const char* match_name, const char* category,
                        const char* entry_point_name, int32_t kind, int32_t api_version_major,
                        int32_t api_version_minor, int32_t reserved_info) {
    StandInHost& host = *static_cast<StandInHost*>(host_ptr);
    const bool failing = host.log.failing("register");
    ++host.registrationCalls;
    host.registration = RegistrationCall{host_ptr, name, match_name, category, entry_point_name, kind,
                                         api_version_major, api_version_minor, reserved_info};
    return failing ? host.log.failureCode() : host.registrationResult;
}

int32_t hostSprintf(char* buffer, const char* format, ...) {
    currentHost->log.add(std::string("sprintf ") + format);
    va_list args;
    va_start(args, format);
    const int written = std::vsprintf(buffer, format, args);
    va_end(args);
    return written;
}

char* hostStrcpy(char* dest, const char* src) {
    currentHost->log.add(std::string("strcpy ") + src);
    return std::strcpy(dest, src);
}

PF_Err checkoutParam(PF_ProgPtr, PF_ParamIndex index, int32_t what_time, int32_t time_step, uint32_t time_scale,
                     PF_ParamDef* param) {
    if (currentHost->log.failing("checkout_param " + std::to_string(index))) return currentHost->log.failureCode();
    return currentHost->checkoutParam(index, what_time, time_step, time_scale, param);
}

PF_Err checkinParam(PF_ProgPtr, PF_ParamDef* param) {
    // A failing check-in still takes the parameter back.
    const bool failing = currentHost->log.failing("checkin_param");
    const PF_Err err = currentHost->checkinParam(param);
    return failing ? currentHost->log.failureCode() : err;
}

PF_Err addParam(PF_ProgPtr, PF_ParamIndex index, PF_ParamDef* def) {
    if (currentHost->log.failing("add_param " + std::to_string(def->uu.id))) return currentHost->log.failureCode();
    return currentHost->addParam(index, def);
}

PF_Err abortRender(PF_ProgPtr) {
    if (currentHost->log.failing("abort")) return currentHost->log.failureCode();
    return currentHost->abortRender();
}

PF_Err progress(PF_ProgPtr, int32_t current, int32_t total) {
    if (currentHost->log.failing("progress " + std::to_string(current) + " " + std::to_string(total))) {
        return currentHost->log.failureCode();
    }
    return currentHost->progress(current, total);
}

PF_Err registerUi(PF_ProgPtr, PF_CustomUIInfo* info) {
    if (currentHost->log.failing("register_ui")) return currentHost->log.failureCode();
    return currentHost->registerUi(info);
}

}  // namespace

StandInHost::StandInHost()
    : checkoutParam([](PF_ParamIndex, int32_t, int32_t, uint32_t, PF_ParamDef*) { return PF_Err_NONE; }),
      checkinParam([](PF_ParamDef*) { return PF_Err_NONE; }),
      addParam([this](PF_ParamIndex index, PF_ParamDef* def) { return params.addParam(index, def); }),
      registerUi([this](PF_CustomUIInfo* info) { return params.registerUI(info); }),
      abortRender([] { return PF_Err_NONE; }),
      progress([](int32_t, int32_t) { return PF_Err_NONE; }) {
    assert(currentHost == nullptr && "one stand-in host at a time");
    currentHost = this;
    suites.provide(kPFHandleSuite, kPFHandleSuiteVersion1, handles.handleSuite());
    suites.provide(kPFUtilitySuite, kPFUtilitySuiteVersion4, utility.suite());
    drawbot.provideTo(suites);
    fillCallbacks();
    resetRecords();
}

StandInHost::StandInHost(const std::string& module_path) : StandInHost() {
    module_ = std::make_unique<LoadedModule>(module_path);
    effect_ = LinkedEffect{module_->pluginDataEntry(), module_->effectMain()};
}

StandInHost::StandInHost(LinkedEffect effect) : StandInHost() { effect_ = effect; }

StandInHost::~StandInHost() { currentHost = nullptr; }

StandInHost& StandInHost::current() { return *currentHost; }

void StandInHost::fillCallbacks() {
    standin::fillUnusedSlots(utils);
    handles.fillUtilCallbacks(utils);
    utils.ansi.sprintf = hostSprintf;
    utils.ansi.strcpy = hostStrcpy;
}

void StandInHost::resetRecords() {
    in_data = PF_InData{};
    standin::fillUnusedSlots(in_data.inter);
    in_data.inter.checkout_param = ::checkoutParam;
    in_data.inter.checkin_param = ::checkinParam;
    in_data.inter.add_param = ::addParam;
    in_data.inter.abort = ::abortRender;
    in_data.inter.progress = ::progress;
    in_data.inter.register_ui = ::registerUi;
    in_data.utils = &utils;
    in_data.effect_ref = this;
    in_data.quality = 1;
    in_data.version = PF_SpecVersion{13, 27};
    in_data.appl_id = kApplIdAfterEffects;
    in_data.time_step = 1;
    in_data.local_time_step = 1;
    in_data.total_time = 300;
    in_data.time_scale = 30;
    in_data.width = 1920;
    in_data.height = 1080;
    in_data.extent_hint = PF_LRect{0, 0, 1920, 1080};
    in_data.downsample_x = PF_RationalScale{1, 1};
    in_data.downsample_y = PF_RationalScale{1, 1};
    in_data.pixel_aspect_ratio = PF_RationalScale{1, 1};
    in_data.pica_basicP = suites.basicSuite();
    out_data = PF_OutData{};
}

const LoadedModule& StandInHost::module() const {
    assert(module_ && "no module loaded");
    return *module_;
}

PF_Err StandInHost::registerEffect() { return registerEffect(suites.basicSuite(), "Stand-in host", "1.0"); }

PF_Err StandInHost::registerEffect(SPBasicSuite* basic_suite, const char* host_name, const char* host_version) {
    assert(effect_.pluginDataEntry && "no effect loaded or linked");
    return effect_.pluginDataEntry(this, registerCallback, basic_suite, host_name, host_version);
}

PF_Err StandInHost::send(PF_Cmd cmd, PF_ParamDef** params, PF_LayerDef* output, void* extra) {
    assert(effect_.effectMain && "no effect loaded or linked");
    return effect_.effectMain(cmd, &in_data, &out_data, params, output, extra);
}
