// What the effect writes into the host's return-message buffer, shown to the user:
// as an error where the effect set the display-error flag, else as a warning. The
// host clears the buffer once it has read it, so every command starts with an empty
// one. A message that frames of a sequence repeat is shown once.
#pragma once

#include <cstdio>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/pf_effect.h"

class EffectMessages {
public:
    // Takes the message the last command left in out, if any, and clears the buffer
    // and the display-error flag. Thread-safe.
    void collect(PF_OutData& out);

    // Prints the messages not printed yet, one a line: "program: warning from the
    // effect: text".
    void print(std::FILE* stream, const char* program);

    // The lines printed or waiting, in order, for tests.
    std::vector<std::string> lines() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;  // "error from the effect: text" or the like
    std::set<std::string> seen_;
    size_t printed_ = 0;
};

// The effect's text on one line: its line breaks become spaces, leading and trailing
// ones are dropped.
std::string oneLine(const std::string& text);
