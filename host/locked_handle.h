// A host handle locked through the handle suite for one scope: the data pointer
// is valid until the scope ends, whatever way it ends.
#pragma once

#include "platform/pf_suites.h"

class LockedHandle {
public:
    LockedHandle(const PF_HandleSuite2* suite, PF_Handle handle)
        : suite_(suite), handle_(handle), data_(suite->host_lock_handle(handle)) {}
    ~LockedHandle() {
        if (data_ != nullptr) suite_->host_unlock_handle(handle_);
    }
    LockedHandle(const LockedHandle&) = delete;
    LockedHandle& operator=(const LockedHandle&) = delete;

    // Null when the host could not lock the handle.
    void* data() const { return data_; }

private:
    const PF_HandleSuite2* suite_;
    PF_Handle handle_;
    void* data_;
};
