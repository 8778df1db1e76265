// A host handle locked for the length of one command: unlocked on every way out,
// a thrown error code included, or earlier where the command's order asks for it.
#pragma once

#include "platform/pf_effect.h"
#include "platform/pf_suites.h"

class HandleLock {
public:
    HandleLock(const PF_HandleSuite1* handles, PF_Handle handle)
        : handles_(handles), handle_(handle),
          data_(handle != nullptr ? handles->host_lock_handle(handle) : nullptr) {}
    ~HandleLock() { unlock(); }
    HandleLock(const HandleLock&) = delete;
    HandleLock& operator=(const HandleLock&) = delete;

    // Null when the host could not lock the handle; nothing is then unlocked.
    void* data() const { return data_; }

    void unlock() {
        if (data_ != nullptr) {
            handles_->host_unlock_handle(handle_);
            data_ = nullptr;
        }
    }

private:
    const PF_HandleSuite1* handles_;
    PF_Handle handle_;
    void* data_;
};
