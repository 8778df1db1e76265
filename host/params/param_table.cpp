#include "host/params/param_table.h"

#include <cstring>

#include "host/suites/host_ids.h"
#include "platform/pf_flags.h"

namespace {

constexpr int32_t kCollapsed = PF_ParamFlag_START_COLLAPSED;
constexpr int16_t kPercent = PF_ValueDisplayFlag_PERCENT;

constexpr ParamDefinition row(int32_t id, int32_t type, const char* name, int32_t flags) {
    return ParamDefinition{id, type, name, flags, ParamPresence::Always, 0.0, 0.0, 0.0, 0.0, 0.0,
                           0, 0, nullptr, 0, 0};
}

constexpr ParamDefinition popup(int32_t id, const char* name, int32_t flags, int defaultItem,
                                const char* items) {
    ParamDefinition d = row(id, PF_Param_POPUP, name, flags);
    d.dephault = defaultItem;
    d.items = items;
    return d;
}

constexpr ParamDefinition slider(int32_t id, int32_t type, const char* name, int32_t flags,
                                 double dephault, double validMin, double validMax,
                                 double sliderMin, double sliderMax, int16_t precision,
                                 int16_t displayFlags) {
    ParamDefinition d = row(id, type, name, flags);
    d.dephault = dephault;
    d.validMin = validMin;
    d.validMax = validMax;
    d.sliderMin = sliderMin;
    d.sliderMax = sliderMax;
    d.precision = precision;
    d.displayFlags = displayFlags;
    return d;
}

// Sliders whose slider range is their valid range.
constexpr ParamDefinition floatSlider(int32_t id, const char* name, int32_t flags, double dephault,
                                      double min, double max, int16_t precision,
                                      int16_t displayFlags) {
    return slider(id, PF_Param_FLOAT_SLIDER, name, flags, dephault, min, max, min, max, precision,
                  displayFlags);
}

constexpr ParamDefinition fixedSlider(int32_t id, const char* name, int32_t flags, double dephault,
                                      double min, double max) {
    return slider(id, PF_Param_FIX_SLIDER, name, flags, dephault, min, max, min, max, 0, 0);
}

constexpr ParamDefinition custom(int32_t id, const char* name, int32_t flags, ParamPresence presence,
                                 int16_t width, int16_t height) {
    ParamDefinition d = row(id, PF_Param_NO_DATA, name, flags);
    d.presence = presence;
    d.uiWidth = width;
    d.uiHeight = height;
    return d;
}

constexpr ParamDefinition angle(int32_t id, const char* name) {
    return row(id, PF_Param_ANGLE, name, kCollapsed);
}
constexpr ParamDefinition checkbox(int32_t id, const char* name, int32_t flags) {
    return row(id, PF_Param_CHECKBOX, name, flags);
}
constexpr ParamDefinition layer(int32_t id, const char* name) {
    return row(id, PF_Param_LAYER, name, 0);
}
constexpr ParamDefinition groupStart(int32_t id, const char* name, int32_t flags) {
    return row(id, PF_Param_GROUP_START, name, flags);
}
constexpr ParamDefinition groupEnd(int32_t id) { return row(id, PF_Param_GROUP_END, "", 0); }

constexpr const char* kDirectionItems = "Right|Left|Down|Up";
constexpr const char* kShadingItems = "None|Sine Wave|Triangle Wave|Linear Ramp Up|Linear Ramp Down";
constexpr const char* kAlignItems = "Start|Middle|End";
constexpr const char* kModFunctionItems =
    "Sine Wave|Triangle Wave|Linear Ramp Up|Linear Ramp Down|Sine 1/2 Phase";
constexpr const char* kCurveFunctionItems =
    "Linear Ramp Up|Linear Ramp Down|Triangle Wave|Sine Wave|Exp Up|Exp Down";
constexpr const char* kContinuityItems = "None|All|All (No Start)|Full Alpha Only";

constexpr int32_t kBannerFlags = PF_ParamFlag_CANNOT_TIME_VARY | PF_ParamFlag_SUPERVISE;
constexpr int32_t kGraphFlags = PF_ParamFlag_CANNOT_TIME_VARY;

}  // namespace

using namespace ParamId;

const ParamDefinition kParamTable[ParamId::kCount] = {
    custom(Banner, "", kBannerFlags, ParamPresence::BannerHosts, 320, 17),
    popup(Direction, "Direction", 0, 3, kDirectionItems),
    layer(VelocitySource, "Velocity Intensity Source"),
    layer(SpreadSource, "Spread Intensity Source"),
    floatSlider(Intensity, "Ondrava Intensity", kCollapsed, 100, 0, 100, 1, kPercent),
    groupStart(PixelGroup, "Pixel", 0),
    fixedSlider(MeltStep, "Melt Step", 0, 512, 0, 16384),
    floatSlider(Velocity, "Velocity", 0, 0.25, 0, 1, 3, 0),
    floatSlider(Spread, "Spread", 0, 0.25, 0, 1, 3, 0),
    floatSlider(SpreadAlignment, "Spread Alignment", 0, 100, 0, 100, 2, kPercent),
    popup(Shading, "Shading", 0, 1, kShadingItems),
    angle(ShadingPhase, "Shading Phase"),
    floatSlider(Shift, "Shift", 0, 0.01, -1, 1, 3, 0),
    groupEnd(PixelGroupEnd),
    groupStart(ScanlineStepGroup, "Scanline Step", kCollapsed),
    fixedSlider(ScanlineStep, "Step", kCollapsed, 1, 1, 1024),
    angle(ScanlinePhase, "Phase"),
    popup(ScanlineAlign, "Align", 0, 2, kAlignItems),
    checkbox(ScanlineFade, "Fade In/Out", PF_ParamFlag_CANNOT_INTERP),
    groupEnd(ScanlineStepGroupEnd),
    groupStart(ModGroup, "Scanline Modulation", kCollapsed),
    floatSlider(ModAmplitude, "Amplitude (Intensity)", 0, 0, 0, 200, 2, kPercent),
    popup(ModFunction, "Function", 0, 1, kModFunctionItems),
    // The slider reaches below the valid minimum on purpose: that is how it shipped.
    slider(ModPeriod, PF_Param_FLOAT_SLIDER, "Period", 0, 50, 0.5, 200, 0.1, 200, 2, kPercent),
    angle(ModPhase, "Phase"),
    floatSlider(ModExponent, "Exponent", 0, 1, 0, 16, 2, 0),
    checkbox(ModInvert, "Invert", PF_ParamFlag_CANNOT_INTERP),
    groupEnd(ModGroupEnd),
    groupStart(VelCurveGroup, "Velocity Curve", kCollapsed),
    popup(VelCurveFunction, "Function", kCollapsed, 1, kCurveFunctionItems),
    angle(VelCurvePhase, "Phase"),
    floatSlider(VelCurveSmoothness, "Smoothness", 0, 0, 0, 16, 3, 0),
    floatSlider(VelCurveFloor, "Floor", 0, 0, 0, 1, 3, 0),
    custom(VelCurveGraph, "Graph", kGraphFlags, ParamPresence::GraphHosts, 50, 50),
    groupEnd(VelCurveGroupEnd),
    groupStart(SpreadCurveGroup, "Spread Curve", kCollapsed),
    popup(SpreadCurveFunction, "Function", kCollapsed, 1, kCurveFunctionItems),
    angle(SpreadCurvePhase, "Phase"),
    floatSlider(SpreadCurveSmoothness, "Smoothness", 0, 0, 0, 16, 3, 0),
    floatSlider(SpreadCurveFloor, "Floor", 0, 0, 0, 1, 3, 0),
    custom(SpreadCurveGraph, "Graph", kGraphFlags, ParamPresence::GraphHosts, 50, 50),
    groupEnd(SpreadCurveGroupEnd),
    groupStart(ScreenGroup, "Screen", kCollapsed),
    checkbox(Wrap, "Wrap", kCollapsed | PF_ParamFlag_CANNOT_INTERP),
    popup(OutputContinuity, "Output Continuity", 0, 1, kContinuityItems),
    floatSlider(FullscreenStretch, "Fullscreen Stretch", 0, 0, 0, 100, 2, kPercent),
    floatSlider(OffscreenReach, "Off-screen Reach", 0, 0, 0, 100, 2, kPercent),
    floatSlider(FadeStart, "Fade Start", 0, 0, 0, 100, 3, kPercent),
    floatSlider(FadeEnd, "Fade End", 0, 0, 0, 100, 3, kPercent),
    groupEnd(ScreenGroupEnd),
};

const ParamDefinition* findParamDefinition(int32_t id) {
    if (id < 1 || id > ParamId::kCount) return nullptr;
    return &kParamTable[id - 1];
}

int16_t popupChoiceCount(const char* items) {
    int16_t count = 1;
    for (const char* c = items; *c != '\0'; ++c) {
        if (*c == '|') ++count;
    }
    return count;
}

HostKind hostKindOf(const PF_InData* in_data) {
    return HostKind{in_data->appl_id == kApplIdPremierePro, in_data->version.major,
                    in_data->version.minor};
}

// Custom drawing arrived with effect API version 13.9; Premiere Pro always draws.
static bool apiAtLeast13_9(HostKind host) {
    return host.major > 13 || (host.major == 13 && host.minor >= 9);
}

bool hostHasBanner(HostKind host) { return !host.premiere && apiAtLeast13_9(host); }
bool hostHasGraphs(HostKind host) { return host.premiere || apiAtLeast13_9(host); }
bool bannerInControlArea(HostKind host) { return host.major == 13 && host.minor == 23; }

bool isRegistered(const ParamDefinition& def, HostKind host) {
    switch (def.presence) {
        case ParamPresence::BannerHosts: return hostHasBanner(host);
        case ParamPresence::GraphHosts: return hostHasGraphs(host);
        case ParamPresence::Always: break;
    }
    return true;
}

static PF_Fixed toFixed(double value) { return PF_Fixed(int32_t(value * 65536.0)); }
static float toFloat(double value) { return float(value); }

// The fields both slider kinds share, each number in the slider's own type.
template <typename Slider, typename Convert>
void fillSlider(const ParamDefinition& def, Slider* slider, Convert convert) {
    slider->dephault = convert(def.dephault);
    slider->valid_min = convert(def.validMin);
    slider->valid_max = convert(def.validMax);
    slider->slider_min = convert(def.sliderMin);
    slider->slider_max = convert(def.sliderMax);
    slider->precision = def.precision;
    slider->display_flags = def.displayFlags;
}

void fillParamDef(const ParamDefinition& def, PF_ParamDef* out) {
    std::memset(out, 0, sizeof *out);
    out->uu.id = def.id;
    out->param_type = def.type;
    out->flags = def.flags;
    switch (def.type) {
        case PF_Param_POPUP:
            out->u.pd.value = int32_t(def.dephault);
            out->u.pd.dephault = int16_t(def.dephault);
            out->u.pd.num_choices = popupChoiceCount(def.items);
            out->u.pd.u.namesptr = def.items;
            break;
        case PF_Param_FIX_SLIDER:
            out->u.fd.value = toFixed(def.dephault);
            fillSlider(def, &out->u.fd, toFixed);
            break;
        case PF_Param_FLOAT_SLIDER:
            out->u.fs_d.value = def.dephault;  // the default in double precision
            fillSlider(def, &out->u.fs_d, toFloat);
            out->u.fs_d.curve_tolerance = 0.05f;
            break;
        case PF_Param_CHECKBOX:
            out->u.bd.u.nameptr = "";
            break;
        case PF_Param_LAYER:
            out->u.ld.dephault = PF_LayerDefault_NONE;
            break;
        default:  // angles default to 0; groups and custom rows carry no value
            break;
    }
}
