#include "tools/standin_host/suite_registry.h"

#include <cassert>

#include "tools/standin_host/unused_slots.h"

namespace {

// The basic suite's functions carry no context; they reach the registry of the
// one stand-in host that exists at a time.
SuiteRegistry* currentRegistry = nullptr;

SPErr acquireSuite(const char* name, int32_t version, const void** suite) {
    return currentRegistry->acquire(name, version, suite);
}

SPErr releaseSuite(const char* name, int32_t version) { return currentRegistry->release(name, version); }

}  // namespace

SuiteRegistry::SuiteRegistry(CallLog& log) : log_(log) {
    standin::fillUnusedSlots(basic_);
    basic_.AcquireSuite = acquireSuite;
    basic_.ReleaseSuite = releaseSuite;
    assert(currentRegistry == nullptr && "one stand-in host at a time");
    currentRegistry = this;
}

SuiteRegistry::~SuiteRegistry() { currentRegistry = nullptr; }

void SuiteRegistry::provide(const std::string& name, int32_t version, const void* suite) {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_[Key(name, version)].suite = suite;
}

void SuiteRegistry::fail(const std::string& name, int32_t version, SuiteFailure how) {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_[Key(name, version)].failure = how;
}

SPErr SuiteRegistry::acquire(const char* name, int32_t version, const void** suite) {
    if (log_.failing("AcquireSuite " + std::string(name) + " " + std::to_string(version))) {
        return log_.failureCode();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = entries_.find(Key(name, version));
    if (found == entries_.end() || found->second.suite == nullptr) {
        return kSuiteNotFoundError;
    }
    Entry& entry = found->second;
    switch (entry.failure) {
    case SuiteFailure::Missing:
        return kSuiteNotFoundError;
    case SuiteFailure::ErrorWithSuite:
        *suite = entry.suite;
        return kSuiteNotFoundError;
    case SuiteFailure::SuccessWithoutSuite:
        *suite = nullptr;
        return kSPNoError;
    case SuiteFailure::None:
        break;
    }
    *suite = entry.suite;
    ++entry.acquires;
    return kSPNoError;
}

SPErr SuiteRegistry::release(const char* name, int32_t version) {
    // A failing release still gives the suite back.
    const bool failing = log_.failing("ReleaseSuite " + std::string(name) + " " + std::to_string(version));
    std::lock_guard<std::mutex> lock(mutex_);
    ++entries_[Key(name, version)].releases;
    return failing ? log_.failureCode() : kSPNoError;
}

int SuiteRegistry::acquires(const std::string& name, int32_t version) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = entries_.find(Key(name, version));
    return found == entries_.end() ? 0 : found->second.acquires;
}

int SuiteRegistry::releases(const std::string& name, int32_t version) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = entries_.find(Key(name, version));
    return found == entries_.end() ? 0 : found->second.releases;
}

int SuiteRegistry::total(int Entry::*count) const {
    std::lock_guard<std::mutex> lock(mutex_);
    int sum = 0;
    for (const auto& entry : entries_) {
        sum += entry.second.*count;
    }
    return sum;
}

int SuiteRegistry::totalAcquires() const { return total(&Entry::acquires); }

int SuiteRegistry::totalReleases() const { return total(&Entry::releases); }

bool SuiteRegistry::balanced() const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& entry : entries_) {
        if (entry.second.acquires != entry.second.releases) {
            return false;
        }
    }
    return true;
}
