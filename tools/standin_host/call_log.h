// The ordered record of every call the effect made into the stand-in host, so
// that tests can assert what was called and in which order.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

class CallLog {
public:
    void add(std::string entry);
    std::vector<std::string> entries() const;
    // Entries that start with the prefix, e.g. "AcquireSuite".
    std::vector<std::string> entriesStartingWith(const std::string& prefix) const;
    std::size_t size() const;
    void clear();

private:
    mutable std::mutex mutex_;  // render threads report progress concurrently
    std::vector<std::string> entries_;
};
