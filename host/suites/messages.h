// Every text the effect shows the user, written once.
#pragma once

namespace messages {

constexpr const char* kAcquireSuiteFailed = "Not able to acquire AEFX Suite.";
constexpr const char* kReleaseSuiteFailed = "Not able to release AEFX Suite.";
constexpr const char* kNullDrawbotSuites = "NULL suite pointer passed to AEFX_AcquireDrawbotSuites";
constexpr const char* kInternalError = "Internal Error";
constexpr const char* kParamCountMismatch =
    "Reported parameter count does not match actual parameter count. This would lead to incorrect values.";
constexpr const char* kResolutionWarning =
    "\n\n<< Ondrava >> resolution limit warning.\n\nMaximum horizontal and vertical resolution is 16384 pixels.";

}  // namespace messages
