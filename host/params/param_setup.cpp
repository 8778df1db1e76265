#include "host/params/param_setup.h"

#include <cstring>

#include "host/params/param_map.h"
#include "host/params/param_table.h"
#include "platform/pf_custom_ui.h"
#include "platform/pf_flags.h"

namespace {

constexpr PF_ParamIndex kAppend = -1;

void copyName(const PF_InData* in_data, PF_ParamDef* def, const char* name) {
    in_data->utils->ansi.strcpy(def->name, name);
}

PF_Err addParamDef(PF_InData* in_data, PF_ParamDef* def) {
    return in_data->inter.add_param(in_data->effect_ref, kAppend, def);
}

PF_Err registerUI(PF_InData* in_data, PF_CustomUIInfo* info) {
    return in_data->inter.register_ui(in_data->effect_ref, info);
}

CustomParamResult registerCustom(const ParamDefinition& def, PF_InData* in_data) {
    if (def.presence == ParamPresence::BannerHosts) {
        return AddUIHeaderImage(in_data, nullptr, nullptr, def.id);
    }
    return AddUICustomParam(in_data, nullptr, nullptr, def.id, def.name, def.uiWidth, def.uiHeight,
                            def.flags);
}

PF_Err registerParam(const ParamDefinition& def, PF_InData* in_data) {
    if (def.presence != ParamPresence::Always) return registerCustom(def, in_data).added;
    PF_ParamDef paramDef;
    fillParamDef(def, &paramDef);
    copyName(in_data, &paramDef, def.name);
    return addParamDef(in_data, &paramDef);
}

}  // namespace

PF_Err UIInitParams(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef**) {
    const HostKind host = hostKindOf(in_data);
    int32_t reported = 1;  // the input layer
    for (const ParamDefinition& def : kParamTable) reported += isRegistered(def, host) ? 1 : 0;

    // Built aside and published whole, also when the host refuses a parameter:
    // render threads may be looking indices up meanwhile.
    ParamIdMap map;
    for (const ParamDefinition& def : kParamTable) {
        if (!isRegistered(def, host)) continue;
        const PF_Err err = registerParam(def, in_data);
        if (err != PF_Err_NONE) {
            publishParamIdMap(map);
            return err;
        }
        map.addParam(def.id);
    }
    publishParamIdMap(map);
    out_data->num_params = reported;
    verifyNumParams(reported);
    return PF_Err_NONE;
}

CustomParamResult AddUIHeaderImage(PF_InData* in_data, PF_OutData*, PF_ParamDef**, int32_t id) {
    const ParamDefinition& row = *findParamDefinition(ParamId::Banner);
    const bool control = bannerInControlArea(hostKindOf(in_data));
    PF_ParamDef def;
    std::memset(&def, 0, sizeof def);
    def.param_type = PF_Param_NO_DATA;
    def.flags = row.flags;
    def.ui_width = row.uiWidth;
    def.ui_height = row.uiHeight;
    def.ui_flags = control ? PF_PUI_CONTROL : PF_PUI_TOPIC;
    copyName(in_data, &def, control ? "About" : row.name);
    def.uu.id = id;
    CustomParamResult result{addParamDef(in_data, &def), PF_Err_NONE};
    if (result.added != PF_Err_NONE) return result;

    PF_CustomUIInfo info;
    std::memset(&info, 0, sizeof info);
    info.events = 0xFF;
    result.uiRegistered = registerUI(in_data, &info);
    return result;
}

CustomParamResult AddUICustomParam(PF_InData* in_data, PF_OutData*, PF_ParamDef**, int32_t id,
                                   const char* name, int32_t width, int32_t height, int32_t flags) {
    PF_ParamDef def;
    std::memset(&def, 0, sizeof def);
    def.flags = flags;
    def.ui_flags = PF_PUI_CONTROL;
    def.ui_width = int16_t(width);
    def.ui_height = int16_t(height);
    copyName(in_data, &def, name);
    if (hostKindOf(in_data).premiere) {
        // Premiere Pro draws custom UI only for arbitrary-data parameters.
        def.param_type = PF_Param_ARBITRARY_DATA;
        def.u.arb_d.id = int16_t(id);
        def.uu.id = int16_t(id);
    } else {
        def.param_type = PF_Param_NO_DATA;
        def.uu.id = id;
    }
    CustomParamResult result{addParamDef(in_data, &def), PF_Err_NONE};
    if (result.added != PF_Err_NONE) return result;

    PF_CustomUIInfo info;
    std::memset(&info, 0, sizeof info);
    info.events = PF_CustomEFlag_EFFECT | PF_CustomEFlag_PREVIEW;
    info.comp_ui_width = width;
    info.comp_ui_height = height;
    info.comp_ui_alignment = PF_UIAlignment_TOP;
    info.layer_ui_width = width;
    info.layer_ui_height = height;
    info.layer_ui_alignment = PF_UIAlignment_TOP;
    info.preview_ui_width = width;
    info.preview_ui_height = height;
    info.preview_ui_alignment = PF_UIAlignment_NONE;
    result.uiRegistered = registerUI(in_data, &info);
    return result;
}

PF_Err UIOnUserChangedParam(PF_InData*, PF_OutData*, PF_ParamDef**,
                            const PF_UserChangedParamExtra*) {
    return PF_Err_NONE;
}

PF_Err UIOnParamsUpdated(PF_InData*, PF_OutData*, PF_ParamDef**) { return PF_Err_NONE; }
