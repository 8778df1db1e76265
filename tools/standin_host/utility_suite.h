// The stand-in host's "PF Utility Suite" 4: of its functions the effect calls
// only EffectWantsCheckedOutFramesToMatchRenderPixelFormat.
#pragma once

#include "platform/pf_suites.h"
#include "tools/standin_host/call_log.h"

class UtilitySuite {
public:
    explicit UtilitySuite(CallLog& log);
    ~UtilitySuite();
    UtilitySuite(const UtilitySuite&) = delete;
    UtilitySuite& operator=(const UtilitySuite&) = delete;

    const PF_UtilitySuite4* suite() const { return &suite_; }

    int framesToMatchRequests = 0;
    PF_Err framesToMatchResult = PF_Err_NONE;  // what the call answers

    PF_Err wantFramesToMatch();

private:
    CallLog& log_;
    PF_UtilitySuite4 suite_{};
};
