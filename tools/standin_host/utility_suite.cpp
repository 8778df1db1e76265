#include "tools/standin_host/utility_suite.h"

#include <cassert>

#include "tools/standin_host/unused_slots.h"

namespace {

UtilitySuite* currentSuite = nullptr;

PF_Err callWantFramesToMatch(PF_ProgPtr) { return currentSuite->wantFramesToMatch(); }

}  // namespace

UtilitySuite::UtilitySuite(CallLog& log) : log_(log) {
    assert(currentSuite == nullptr && "one stand-in host at a time");
    currentSuite = this;
    standin::fillUnusedSlots(suite_);
    suite_.EffectWantsCheckedOutFramesToMatchRenderPixelFormat = callWantFramesToMatch;
}

UtilitySuite::~UtilitySuite() { currentSuite = nullptr; }

PF_Err UtilitySuite::wantFramesToMatch() {
    if (log_.failing("EffectWantsCheckedOutFramesToMatchRenderPixelFormat")) return log_.failureCode();
    ++framesToMatchRequests;
    return framesToMatchResult;
}
