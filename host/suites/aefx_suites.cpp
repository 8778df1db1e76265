#include "host/suites/aefx_suites.h"

#include "host/suites/messages.h"
#include "host/suites/return_message.h"
#include "platform/sp_basic_suite.h"

PF_Err AEFX_AcquireSuite(const PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                         const char* message, const void** suite) {
    // Success is judged by the pointer alone, so it must not hold anything the
    // host did not put there.
    *suite = nullptr;
    const SPBasicSuite* basic = in_data->pica_basicP;
    if (basic != nullptr) {
        basic->AcquireSuite(name, version, suite);
        if (*suite != nullptr) {
            return PF_Err_NONE;
        }
    }
    reportError(in_data, out_data, message != nullptr ? message : messages::kAcquireSuiteFailed);
    return PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err AEFX_ReleaseSuite(const PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                         const char* message) {
    const SPBasicSuite* basic = in_data->pica_basicP;
    if (basic != nullptr) {
        basic->ReleaseSuite(name, version);
        return PF_Err_NONE;
    }
    reportError(in_data, out_data, message != nullptr ? message : messages::kReleaseSuiteFailed);
    return PF_Err_BAD_CALLBACK_PARAM;
}

namespace {

template <typename Suite>
PF_Err acquireDrawbotSuite(const PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                           const Suite*& field) {
    const void* suite = nullptr;
    const PF_Err err = AEFX_AcquireSuite(in_data, out_data, name, version, nullptr, &suite);
    field = static_cast<const Suite*>(suite);
    return err;
}

template <typename Suite>
void releaseDrawbotSuite(const PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                         const Suite*& field) {
    if (field != nullptr) {
        AEFX_ReleaseSuite(in_data, out_data, name, version, nullptr);
        field = nullptr;
    }
}

}  // namespace

PF_Err AEFX_AcquireDrawbotSuites(const PF_InData* in_data, PF_OutData* out_data, DRAWBOT_Suites* suites) {
    if (suites == nullptr) {
        reportError(in_data, out_data, messages::kNullDrawbotSuites);
        return PF_Err_UNRECOGNIZED_PARAM_TYPE;
    }
    // Nulled up front so that after a failure part of the way the record says
    // exactly which suites are held.
    *suites = DRAWBOT_Suites{};
    PF_Err err = acquireDrawbotSuite(in_data, out_data, kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1,
                                     suites->drawbot_suiteP);
    if (err == PF_Err_NONE) {
        err = acquireDrawbotSuite(in_data, out_data, kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1,
                                  suites->supplier_suiteP);
    }
    if (err == PF_Err_NONE) {
        err = acquireDrawbotSuite(in_data, out_data, kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version2,
                                  suites->surface_suiteP);
    }
    if (err == PF_Err_NONE) {
        err = acquireDrawbotSuite(in_data, out_data, kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1,
                                  suites->path_suiteP);
    }
    return err;
}

PF_Err AEFX_ReleaseDrawbotSuites(const PF_InData* in_data, PF_OutData* out_data, DRAWBOT_Suites* suites) {
    if (suites == nullptr) {
        return PF_Err_NONE;
    }
    releaseDrawbotSuite(in_data, out_data, kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1, suites->drawbot_suiteP);
    releaseDrawbotSuite(in_data, out_data, kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1,
                        suites->supplier_suiteP);
    releaseDrawbotSuite(in_data, out_data, kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version2,
                        suites->surface_suiteP);
    releaseDrawbotSuite(in_data, out_data, kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1, suites->path_suiteP);
    return PF_Err_NONE;
}
