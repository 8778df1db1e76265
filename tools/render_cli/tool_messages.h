// The texts the render tool shows users, each written once: refusals, failures and
// the words around the effect's own messages. Paths are quoted where they go in.
#pragma once

#include <string>

namespace msg {

// Usage refusals (exit 2).
constexpr const char* kNoOutput = "no output given: name it with -o FILE (a '#' pattern for a sequence)";
constexpr const char* kTooManyInputs = "too many input files: give at most one input and name the output with -o";
constexpr const char* kSequenceNeedsPatterns = "an image sequence needs a '#' pattern for both the input and the output";
constexpr const char* kPatternSizeWithInput =
    "--width and --height size the test pattern: they do not go with an input file";
constexpr const char* kUnknownFormat = "names no image format the tool knows; known are";
constexpr const char* kSamplesNotHeld = "files hold";
constexpr const char* kWouldOverwriteInput = "is an input of this render: it is never written over";
constexpr const char* kOutputExists = "exists: give --overwrite to replace it";
constexpr const char* kOutputNamedTwice = "is named as more than one output";
constexpr const char* kJsonWithoutList = "--json goes with --list-params";
constexpr const char* kSeeHelp = "--help lists the options";

// Run-time failures (exit 1).
constexpr const char* kCannotRead = "cannot read";
constexpr const char* kCannotWrite = "cannot write";
constexpr const char* kNoFrames = "no file matches";
constexpr const char* kRenderFailed = "failed with code";

// Ctrl-C (exit 130).
constexpr const char* kInterrupted = "interrupted";

// The effect's messages.
constexpr const char* kEffectError = "error from the effect";
constexpr const char* kEffectWarning = "warning from the effect";

inline std::string quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace msg
