#include "host/commands/global_setup.h"

#include "host/suites/host_ids.h"
#include "host/suites/scoped_suite.h"
#include "platform/pf_flags.h"
#include "platform/pf_suites.h"
#include "resources/registration.h"

namespace {

// The formats the render command renders, in the order the host is told.
constexpr PrPixelFormat kRenderFormats[] = {PrPixelFormat_ARGB_4444_8u,
                                            PrPixelFormat_ARGB_4444_16u,
                                            PrPixelFormat_ARGB_4444_32f};

void registerRenderFormats(PF_InData* in_data, PF_OutData* out_data) {
    ScopedSuite<PF_PixelFormatSuite1> pixelFormats(in_data, kPFPixelFormatSuite,
                                                   kPFPixelFormatSuiteVersion1, out_data);
    pixelFormats->ClearSupportedPixelFormats(in_data->effect_ref);
    for (const PrPixelFormat format : kRenderFormats) {
        pixelFormats->AddSupportedPixelFormat(in_data->effect_ref, format);
    }
    ScopedSuite<PF_UtilitySuite4> utility(in_data, kPFUtilitySuite, kPFUtilitySuiteVersion4,
                                          out_data);
    utility->EffectWantsCheckedOutFramesToMatchRenderPixelFormat(in_data->effect_ref);
}

}  // namespace

PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef**, PF_LayerDef*,
                   int32_t outFlags, int32_t outFlags2) {
    out_data->my_version = registration::kEffectVersion;
    out_data->out_flags = outFlags;
    out_data->out_flags2 = outFlags2;
    if (in_data->appl_id == kApplIdPremierePro) registerRenderFormats(in_data, out_data);
    initRender(in_data, out_data);
    return PF_Err_NONE;
}

void initRender(PF_InData*, PF_OutData*) {}
void cleanUpRender(PF_InData*, PF_OutData*) {}
