#include "tools/standin_host/call_log.h"

#include <utility>

void CallLog::add(std::string entry) {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back(std::move(entry));
}

bool CallLog::failing(std::string entry) {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back(std::move(entry));
    return ++counted_ == failAt_;
}

void CallLog::failCall(uint64_t call, int32_t code) {
    std::lock_guard<std::mutex> lock(mutex_);
    counted_ = 0;
    failAt_ = call;
    failureCode_ = code;
}

int32_t CallLog::failureCode() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failureCode_;
}

uint64_t CallLog::callsCounted() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return counted_;
}

bool CallLog::failed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failAt_ != 0 && counted_ >= failAt_;
}

std::vector<std::string> CallLog::entries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_;
}

std::vector<std::string> CallLog::entriesStartingWith(const std::string& prefix) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> found;
    for (const std::string& entry : entries_) {
        if (entry.compare(0, prefix.size(), prefix) == 0) {
            found.push_back(entry);
        }
    }
    return found;
}

std::size_t CallLog::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

void CallLog::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
}
