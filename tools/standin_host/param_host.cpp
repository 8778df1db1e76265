#include "tools/standin_host/param_host.h"

namespace standin {

namespace {

ParamHost* currentHost = nullptr;

PF_Err addParamCallback(PF_ProgPtr, PF_ParamIndex index, PF_ParamDef* def) {
    return currentHost->addParam(index, def);
}
PF_Err registerUICallback(PF_ProgPtr, PF_CustomUIInfo* info) { return currentHost->registerUI(info); }

}  // namespace

ParamHost::ParamHost() { currentHost = this; }

ParamHost::~ParamHost() { currentHost = nullptr; }

void ParamHost::install(PF_InData* in_data) {
    in_data->inter.add_param = addParamCallback;
    in_data->inter.register_ui = registerUICallback;
}

PF_Err ParamHost::addParam(PF_ParamIndex index, PF_ParamDef* def) {
    std::lock_guard<std::mutex> guard(mutex_);
    const auto failure = failAddParamForId.find(def->uu.id);
    if (failure != failAddParamForId.end()) return failure->second;
    added.push_back(*def);
    addIndices.push_back(index);
    const bool popup = def->param_type == PF_Param_POPUP && def->u.pd.u.namesptr != nullptr;
    addedPopupItems.push_back(popup ? def->u.pd.u.namesptr : "");
    return PF_Err_NONE;
}

PF_Err ParamHost::registerUI(PF_CustomUIInfo* info) {
    std::lock_guard<std::mutex> guard(mutex_);
    const int32_t call = int32_t(registeredUI.size());
    registeredUI.push_back(*info);
    registeredUIAfter.push_back(int32_t(added.size()));
    const auto failure = failRegisterUIAt.find(call);
    return failure == failRegisterUIAt.end() ? PF_Err_NONE : failure->second;
}

void ParamHost::clearRegistration() {
    std::lock_guard<std::mutex> guard(mutex_);
    added.clear();
    addedPopupItems.clear();
    addIndices.clear();
    registeredUI.clear();
    registeredUIAfter.clear();
}

std::vector<PF_ParamDef> ParamHost::paramsFromRegistration() const {
    std::lock_guard<std::mutex> guard(mutex_);
    std::vector<PF_ParamDef> params(1, PF_ParamDef{});
    params[0].param_type = PF_Param_LAYER;
    params.insert(params.end(), added.begin(), added.end());
    return params;
}

}  // namespace standin
