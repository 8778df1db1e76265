// Suite access for the custom user interface: plain functions that report a
// missing suite as a returned code with a message instead of throwing.
#pragma once

#include <cstdint>

#include "platform/drawbot.h"
#include "platform/pf_effect.h"

// The four drawing suites, filled by AEFX_AcquireDrawbotSuites; a null field is
// a suite not held.
struct DRAWBOT_Suites {
    const DRAWBOT_DrawbotSuite1* drawbot_suiteP;
    const DRAWBOT_SupplierSuite1* supplier_suiteP;
    const DRAWBOT_SurfaceSuite2* surface_suiteP;
    const DRAWBOT_PathSuite1* path_suiteP;
};

// 0 with *suite set, or PF_Err_BAD_CALLBACK_PARAM with the message (the default
// when null) and the display-error flag; *suite is null then.
PF_Err AEFX_AcquireSuite(const PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                         const char* message, const void** suite);

// 0, or PF_Err_BAD_CALLBACK_PARAM with the message (or its default) when there
// is no basic suite to release through.
PF_Err AEFX_ReleaseSuite(const PF_InData* in_data, PF_OutData* out_data, const char* name, int32_t version,
                         const char* message);

// Acquires the four suites in order and stops at the first that cannot be had:
// the ones before it stay held and must be given back with
// AEFX_ReleaseDrawbotSuites. Every field is null until its suite is held.
PF_Err AEFX_AcquireDrawbotSuites(const PF_InData* in_data, PF_OutData* out_data, DRAWBOT_Suites* suites);

// Gives back every suite the record holds, each once, and nulls its field.
// Always 0; a missing basic suite leaves its message in the output data.
PF_Err AEFX_ReleaseDrawbotSuites(const PF_InData* in_data, PF_OutData* out_data, DRAWBOT_Suites* suites);

// The drawing suites for one drawing: acquire() once, released on every way out.
class ScopedDrawbotSuites {
public:
    ScopedDrawbotSuites(const PF_InData* in_data, PF_OutData* out_data) : in_data_(in_data), out_data_(out_data) {}
    ~ScopedDrawbotSuites() { AEFX_ReleaseDrawbotSuites(in_data_, out_data_, &suites_); }
    ScopedDrawbotSuites(const ScopedDrawbotSuites&) = delete;
    ScopedDrawbotSuites& operator=(const ScopedDrawbotSuites&) = delete;

    PF_Err acquire() { return AEFX_AcquireDrawbotSuites(in_data_, out_data_, &suites_); }
    // Gives the suites back before the scope ends; the end then finds none held.
    PF_Err release() { return AEFX_ReleaseDrawbotSuites(in_data_, out_data_, &suites_); }
    const DRAWBOT_Suites& suites() const { return suites_; }

private:
    const PF_InData* in_data_;
    PF_OutData* out_data_;
    DRAWBOT_Suites suites_ = {};
};
