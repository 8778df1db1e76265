// The ordered record of every call the effect made into the stand-in host, so
// that tests can assert what was called and in which order. Every call that can
// fail is also counted, and one of them can be made to fail by its number, so
// that a test or the fuzz target reaches the failure path of whatever call comes
// k-th without having to name it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class CallLog {
public:
    // An entry that is not a call of the effect (the host's own steps).
    void add(std::string entry);
    // Logs a call of the effect that can fail and counts it, from 1. True when it
    // is the call failCall() named: the caller then answers as failing, with
    // failureCode() where it answers a code.
    bool failing(std::string entry);

    // Makes call number `call` fail (0: none); the count starts again from 0.
    void failCall(uint64_t call, int32_t code);
    int32_t failureCode() const;
    uint64_t callsCounted() const;
    // Whether the call named by failCall() has come and failed.
    bool failed() const;

    std::vector<std::string> entries() const;
    // Entries that start with the prefix, e.g. "AcquireSuite".
    std::vector<std::string> entriesStartingWith(const std::string& prefix) const;
    std::size_t size() const;
    void clear();

private:
    mutable std::mutex mutex_;  // render threads report progress concurrently
    std::vector<std::string> entries_;
    uint64_t counted_ = 0;
    uint64_t failAt_ = 0;
    int32_t failureCode_ = 0;
};
