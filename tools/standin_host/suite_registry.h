// The stand-in host's basic suite: suites registered by name and version, every
// acquire and release counted, and any suite made to fail on request.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "platform/sp_basic_suite.h"
#include "tools/standin_host/call_log.h"

enum class SuiteFailure {
    None,
    Missing,              // an error code, the suite pointer left as it was
    ErrorWithSuite,       // an error code, yet the suite pointer is set
    SuccessWithoutSuite,  // 0, yet the suite pointer is set to null
};

class SuiteRegistry {
public:
    // What the stand-in host answers for a suite it does not have.
    static constexpr SPErr kSuiteNotFoundError = 1000;

    explicit SuiteRegistry(CallLog& log);
    ~SuiteRegistry();
    SuiteRegistry(const SuiteRegistry&) = delete;
    SuiteRegistry& operator=(const SuiteRegistry&) = delete;

    void provide(const std::string& name, int32_t version, const void* suite);
    void fail(const std::string& name, int32_t version, SuiteFailure how);

    // Successful acquisitions (code 0 and a suite handed out) and releases.
    int acquires(const std::string& name, int32_t version) const;
    int releases(const std::string& name, int32_t version) const;
    int totalAcquires() const;
    int totalReleases() const;
    // Every suite given back exactly as often as it was handed out.
    bool balanced() const;

    SPBasicSuite* basicSuite() { return &basic_; }

    SPErr acquire(const char* name, int32_t version, const void** suite);
    SPErr release(const char* name, int32_t version);

private:
    using Key = std::pair<std::string, int32_t>;
    struct Entry {
        const void* suite = nullptr;
        SuiteFailure failure = SuiteFailure::None;
        int acquires = 0;
        int releases = 0;
    };

    int total(int Entry::*count) const;

    CallLog& log_;
    mutable std::mutex mutex_;
    std::map<Key, Entry> entries_;
    SPBasicSuite basic_;
};
