// The stand-in host's "PF Pixel Format Suite" 1 and "PF Utility Suite" 4: what
// the editing host's global setup registers, and the format a render command's
// output buffer reports.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pf_suites.h"
#include "tools/standin_host/call_log.h"

class FormatSuites {
public:
    explicit FormatSuites(CallLog& log);
    ~FormatSuites();
    FormatSuites(const FormatSuites&) = delete;
    FormatSuites& operator=(const FormatSuites&) = delete;

    const PF_PixelFormatSuite1* pixelFormatSuite() const { return &pixelFormat_; }
    const PF_UtilitySuite4* utilitySuite() const { return &utility_; }

    // What the effect registered since the last clear, and how often it cleared.
    std::vector<PrPixelFormat> supportedFormats;
    int clears = 0;
    int framesToMatchRequests = 0;  // EffectWantsCheckedOutFramesToMatchRenderPixelFormat

    // Answers of the suites' functions.
    PF_Err registrationResult = PF_Err_NONE;  // Clear and Add
    PF_Err framesToMatchResult = PF_Err_NONE;
    PrPixelFormat outputFormat = PrPixelFormat_ARGB_4444_8u;
    bool reportsFormat = true;  // false: GetPixelFormat leaves the code as it was

    PF_Err clear();
    PF_Err add(PrPixelFormat format);
    PF_Err getPixelFormat(PrPixelFormat* format);
    PF_Err wantFramesToMatch();

private:
    CallLog& log_;
    PF_PixelFormatSuite1 pixelFormat_;
    PF_UtilitySuite4 utility_{};
};
