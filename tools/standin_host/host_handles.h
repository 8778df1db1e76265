// The stand-in host's memory handles: a handle is the address of the block's
// data pointer, so its value stays the same when the block is resized.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/pf_effect.h"
#include "platform/pf_suites.h"
#include "tools/standin_host/call_log.h"

class HostHandles {
public:
    explicit HostHandles(CallLog& log);
    ~HostHandles();
    HostHandles(const HostHandles&) = delete;
    HostHandles& operator=(const HostHandles&) = delete;

    // The host's own handles (e.g. a sequence block it hands in), made without
    // a log entry.
    PF_Handle make(const std::vector<uint8_t>& bytes);
    // The host lets go of a handle of its own (a flattened copy it has saved),
    // without a log entry.
    void discard(PF_Handle handle);
    std::vector<uint8_t> bytes(PF_Handle handle) const;
    bool isLive(PF_Handle handle) const;
    std::size_t liveCount() const;
    // The next new handles fail (null), as a host out of memory does.
    void failNewHandles(bool fail) { failNew_ = fail; }
    // Locks answer null, and resizes fail leaving the block as it was.
    void failLocks(bool fail) { failLock_ = fail; }
    void failResizes(bool fail) { failResize_ = fail; }
    // Locks not yet matched by an unlock, over every live handle.
    int locksHeld() const;

    PF_Handle newHandle(uint64_t size);
    void* lock(PF_Handle handle);
    void unlock(PF_Handle handle);
    void dispose(PF_Handle handle);
    uint64_t size(PF_Handle handle);
    PF_Err resize(uint64_t new_size, PF_Handle* handle);

    // The handle functions as the utility callbacks and "PF Handle Suite" 2 give them.
    void fillUtilCallbacks(PF_UtilCallbacks& utils) const;
    const PF_HandleSuite1* handleSuite() const { return &suite_; }

private:
    struct Block {
        void* data = nullptr;  // first member: the handle points here
        std::vector<uint8_t> bytes;
        int locks = 0;
    };

    Block* find(PF_Handle handle) const;

    CallLog& log_;
    mutable std::mutex mutex_;
    std::map<PF_Handle, std::unique_ptr<Block>> blocks_;
    bool failNew_ = false;
    bool failLock_ = false;
    bool failResize_ = false;
    PF_HandleSuite1 suite_;
};
