#include "host/params/param_loading.h"

#include <cstring>

#include "host/params/graph_params.h"
#include "host/params/param_ids.h"
#include "host/params/param_map.h"
#include "host/params/param_table.h"

namespace {

enum class Conversion : uint8_t { Popup, Fixed, Checkbox, Angle, Float, AngleAsDouble };

// One value field of the record and the parameter it comes from.
struct ValueLoad {
    int32_t id;
    Conversion conversion;
    int32_t ParamValues::*intField;
    double ParamValues::*doubleField;
};

constexpr ValueLoad toInt(int32_t id, Conversion conversion, int32_t ParamValues::*field) {
    return ValueLoad{id, conversion, field, nullptr};
}
constexpr ValueLoad toDouble(int32_t id, Conversion conversion, double ParamValues::*field) {
    return ValueLoad{id, conversion, nullptr, field};
}

using C = Conversion;
using P = ParamValues;
using namespace ParamId;

// In the order the host is asked, which is the order hosts have always seen.
constexpr ValueLoad kValueLoads[] = {
    toInt(Direction, C::Popup, &P::direction),
    toDouble(Intensity, C::Float, &P::intensity),
    toInt(MeltStep, C::Fixed, &P::meltStep),
    toDouble(Spread, C::Float, &P::spread),
    toDouble(SpreadAlignment, C::Float, &P::spreadAlignment),
    toDouble(Velocity, C::Float, &P::velocity),
    toInt(ScanlineStep, C::Fixed, &P::scanlineStep),
    toInt(ScanlinePhase, C::Angle, &P::scanlinePhase),
    toInt(ScanlineAlign, C::Popup, &P::scanlineAlign),
    toInt(ModFunction, C::Popup, &P::modFunction),
    toDouble(ModPeriod, C::Float, &P::modPeriod),
    toDouble(ModAmplitude, C::Float, &P::modAmplitude),
    toDouble(ModExponent, C::Float, &P::modExponent),
    toDouble(ModPhase, C::AngleAsDouble, &P::modPhase),
    toInt(ModInvert, C::Checkbox, &P::modInvert),
    toInt(OutputContinuity, C::Popup, &P::outputContinuity),
    toInt(Shading, C::Popup, &P::shading),
    toInt(ShadingPhase, C::Angle, &P::shadingPhase),
    toInt(ScanlineFade, C::Checkbox, &P::scanlineFade),
    toInt(VelCurveFunction, C::Popup, &P::velCurveFunction),
    toInt(VelCurvePhase, C::Angle, &P::velCurvePhase),
    toDouble(VelCurveSmoothness, C::Float, &P::velCurveSmoothness),
    toDouble(VelCurveFloor, C::Float, &P::velCurveFloor),
    toDouble(Shift, C::Float, &P::shift),
    toInt(SpreadCurveFunction, C::Popup, &P::spreadCurveFunction),
    toInt(SpreadCurvePhase, C::Angle, &P::spreadCurvePhase),
    toDouble(SpreadCurveSmoothness, C::Float, &P::spreadCurveSmoothness),
    toDouble(SpreadCurveFloor, C::Float, &P::spreadCurveFloor),
    toDouble(FadeStart, C::Float, &P::fadeStart),
    toDouble(FadeEnd, C::Float, &P::fadeEnd),
    toInt(Wrap, C::Checkbox, &P::wrap),
    toDouble(FullscreenStretch, C::Float, &P::fullscreenStretch),
    toDouble(OffscreenReach, C::Float, &P::offscreenReach),
};
static_assert(sizeof kValueLoads / sizeof kValueLoads[0] == 33, "every value field is loaded");

void store(const ValueLoad& load, const PF_ParamDef& def, ParamValues* record) {
    switch (load.conversion) {
        case C::Popup: record->*load.intField = popupIndex(def.u.pd.value); break;
        case C::Fixed: record->*load.intField = roundFixed(def.u.fd.value); break;
        case C::Checkbox: record->*load.intField = def.u.bd.value; break;
        case C::Angle: record->*load.intField = def.u.ad.value; break;
        case C::Float: record->*load.doubleField = def.u.fs_d.value; break;
        case C::AngleAsDouble: record->*load.doubleField = double(def.u.ad.value); break;
    }
}

void loadValues(const PF_InData* in_data, PF_ParamDef** params, ParamValues* record) {
    for (const ValueLoad& load : kValueLoads) store(load, readParamDef(in_data, params, load.id), record);
}

// Pre-render only asks for the source layers, so that smart render can have their
// pixels under the same checkout ids; their rectangles do not widen the output.
void requestSourceLayers(const PF_InData* in_data, const PF_PreRenderExtra* extra) {
    for (const int32_t id : {VelocitySource, SpreadSource}) {
        const int32_t index = getParamIndexFromId(id);
        PF_CheckoutResult ignored;
        std::memset(&ignored, 0, sizeof ignored);
        const PF_Err err = extra->cb->checkout_layer(
            in_data->effect_ref, index, index, &extra->input->output_request,
            in_data->current_time, in_data->time_step, in_data->time_scale, &ignored);
        if (err != PF_Err_NONE) throw err;
    }
}

void checkoutSourceParams(const PF_InData* in_data, ParamValues* record) {
    getLayerParam(in_data, VelocitySource, &record->velocitySourceParam);
    record->velocitySourceLayer = &record->velocitySourceParam.u.ld;
    try {
        getLayerParam(in_data, SpreadSource, &record->spreadSourceParam);
    } catch (...) {
        // The caller never gets to CleanupLayerParams when the load fails.
        in_data->inter.checkin_param(in_data->effect_ref, &record->velocitySourceParam);
        record->velocitySourceLayer = nullptr;
        throw;
    }
    record->spreadSourceLayer = &record->spreadSourceParam.u.ld;
}

}  // namespace

ParamValues defaultParamValues() {
    ParamValues record;
    std::memset(&record, 0, sizeof record);
    for (const ValueLoad& load : kValueLoads) {
        PF_ParamDef def;
        fillParamDef(*findParamDefinition(load.id), &def);
        store(load, def, &record);
    }
    return record;
}

void LoadParamValues(const PF_InData* in_data, PF_ParamDef** params,
                     const PF_PreRenderExtra* extra, ParamValues* record) {
    std::memset(record, 0, sizeof *record);
    loadValues(in_data, params, record);
    if (extra != nullptr) {
        requestSourceLayers(in_data, extra);
    } else {
        checkoutSourceParams(in_data, record);
    }
}

void LoadLayerParamsAE(const PF_InData* in_data, const PF_SmartRenderExtra* extra,
                       ParamValues* record) {
    PF_LayerDef* ParamValues::*const slots[] = {&P::velocitySourceLayer, &P::spreadSourceLayer};
    const int32_t ids[] = {VelocitySource, SpreadSource};
    for (int i = 0; i < 2; ++i) {
        PF_EffectWorld* pixels = nullptr;
        const PF_Err err = extra->cb->checkout_layer_pixels(in_data->effect_ref,
                                                            getParamIndexFromId(ids[i]), &pixels);
        record->*slots[i] = pixels;
        if (err != PF_Err_NONE) throw err;
    }
}

PF_Err CleanupLayerParams(const PF_InData* in_data, PF_ParamDef**, const PF_SmartRenderExtra* extra,
                          ParamValues* record) {
    if (extra != nullptr) {
        extra->cb->checkin_layer_pixels(in_data->effect_ref, getParamIndexFromId(VelocitySource));
        return extra->cb->checkin_layer_pixels(in_data->effect_ref,
                                               getParamIndexFromId(SpreadSource));
    }
    in_data->inter.checkin_param(in_data->effect_ref, &record->velocitySourceParam);
    return in_data->inter.checkin_param(in_data->effect_ref, &record->spreadSourceParam);
}
