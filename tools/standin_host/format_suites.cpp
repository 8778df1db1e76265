#include "tools/standin_host/format_suites.h"

#include <cassert>
#include <cstdio>
#include <string>

namespace {

FormatSuites* currentSuites = nullptr;

PF_Err callAdd(PF_ProgPtr, PrPixelFormat format) { return currentSuites->add(format); }
PF_Err callClear(PF_ProgPtr) { return currentSuites->clear(); }
PF_Err callGetPixelFormat(const PF_EffectWorld*, PrPixelFormat* format) {
    return currentSuites->getPixelFormat(format);
}
PF_Err callWantFramesToMatch(PF_ProgPtr) { return currentSuites->wantFramesToMatch(); }

std::string hex(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", unsigned(value));
    return text;
}

}  // namespace

FormatSuites::FormatSuites(CallLog& log)
    : log_(log), pixelFormat_{callAdd, callClear, callGetPixelFormat} {
    assert(currentSuites == nullptr && "one stand-in host at a time");
    currentSuites = this;
    utility_.EffectWantsCheckedOutFramesToMatchRenderPixelFormat = callWantFramesToMatch;
}

FormatSuites::~FormatSuites() { currentSuites = nullptr; }

PF_Err FormatSuites::clear() {
    log_.add("ClearSupportedPixelFormats");
    ++clears;
    supportedFormats.clear();
    return registrationResult;
}

PF_Err FormatSuites::add(PrPixelFormat format) {
    log_.add("AddSupportedPixelFormat " + hex(format));
    supportedFormats.push_back(format);
    return registrationResult;
}

PF_Err FormatSuites::getPixelFormat(PrPixelFormat* format) {
    log_.add("GetPixelFormat");
    if (reportsFormat) *format = outputFormat;
    return PF_Err_NONE;
}

PF_Err FormatSuites::wantFramesToMatch() {
    log_.add("EffectWantsCheckedOutFramesToMatchRenderPixelFormat");
    ++framesToMatchRequests;
    return framesToMatchResult;
}
