#include "tools/standin_host/host_handles.h"

#include <cassert>
#include <string>

#include "tools/standin_host/unused_slots.h"

namespace {

HostHandles* currentHandles = nullptr;

PF_Handle callNewHandle(uint64_t size) { return currentHandles->newHandle(size); }
void* callLockHandle(PF_Handle h) { return currentHandles->lock(h); }
void callUnlockHandle(PF_Handle h) { currentHandles->unlock(h); }
void callDisposeHandle(PF_Handle h) { currentHandles->dispose(h); }
uint64_t callHandleSize(PF_Handle h) { return currentHandles->size(h); }
PF_Err callResizeHandle(uint64_t new_size, PF_Handle* h) { return currentHandles->resize(new_size, h); }

PF_Handle handleOf(void*& data) { return &data; }

}  // namespace

HostHandles::HostHandles(CallLog& log) : log_(log) {
    standin::fillUnusedSlots(suite_);
    suite_.host_new_handle = callNewHandle;
    suite_.host_lock_handle = callLockHandle;
    suite_.host_unlock_handle = callUnlockHandle;
    suite_.host_dispose_handle = callDisposeHandle;
    suite_.host_get_handle_size = callHandleSize;
    suite_.host_resize_handle = callResizeHandle;
    assert(currentHandles == nullptr && "one stand-in host at a time");
    currentHandles = this;
}

HostHandles::~HostHandles() { currentHandles = nullptr; }

void HostHandles::fillUtilCallbacks(PF_UtilCallbacks& utils) const {
    utils.host_new_handle = callNewHandle;
    utils.host_lock_handle = callLockHandle;
    utils.host_unlock_handle = callUnlockHandle;
    utils.host_dispose_handle = callDisposeHandle;
    utils.host_get_handle_size = callHandleSize;
    utils.host_resize_handle = callResizeHandle;
}

HostHandles::Block* HostHandles::find(PF_Handle handle) const {
    auto found = blocks_.find(handle);
    return found == blocks_.end() ? nullptr : found->second.get();
}

PF_Handle HostHandles::make(const std::vector<uint8_t>& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto block = std::make_unique<Block>();
    block->bytes = bytes;
    block->data = block->bytes.data();
    PF_Handle handle = handleOf(block->data);
    blocks_[handle] = std::move(block);
    return handle;
}

void HostHandles::discard(PF_Handle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    blocks_.erase(handle);
}

std::vector<uint8_t> HostHandles::bytes(PF_Handle handle) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const Block* block = find(handle);
    return block != nullptr ? block->bytes : std::vector<uint8_t>();
}

bool HostHandles::isLive(PF_Handle handle) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return find(handle) != nullptr;
}

std::size_t HostHandles::liveCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return blocks_.size();
}

int HostHandles::locksHeld() const {
    std::lock_guard<std::mutex> lock(mutex_);
    int held = 0;
    for (const auto& entry : blocks_) held += entry.second->locks;
    return held;
}

PF_Handle HostHandles::newHandle(uint64_t size) {
    if (log_.failing("host_new_handle " + std::to_string(size)) || failNew_) {
        return nullptr;
    }
    // Fresh blocks hold a pattern, not zeros, so that code relying on the host
    // to clear them shows up.
    return make(std::vector<uint8_t>(std::size_t(size), 0xA5));
}

void* HostHandles::lock(PF_Handle handle) {
    const bool failing = log_.failing("host_lock_handle");
    std::lock_guard<std::mutex> guard(mutex_);
    Block* block = find(handle);
    if (block == nullptr || failLock_ || failing) {
        return nullptr;
    }
    ++block->locks;
    return block->data;
}

void HostHandles::unlock(PF_Handle handle) {
    log_.add("host_unlock_handle");
    std::lock_guard<std::mutex> guard(mutex_);
    Block* block = find(handle);
    if (block != nullptr && block->locks > 0) {
        --block->locks;
    }
}

void HostHandles::dispose(PF_Handle handle) {
    log_.add("host_dispose_handle");
    std::lock_guard<std::mutex> guard(mutex_);
    blocks_.erase(handle);
}

uint64_t HostHandles::size(PF_Handle handle) {
    log_.add("host_get_handle_size");
    std::lock_guard<std::mutex> guard(mutex_);
    const Block* block = find(handle);
    return block != nullptr ? block->bytes.size() : 0;
}

PF_Err HostHandles::resize(uint64_t new_size, PF_Handle* handle) {
    const bool failing = log_.failing("host_resize_handle " + std::to_string(new_size));
    std::lock_guard<std::mutex> guard(mutex_);
    Block* block = handle != nullptr ? find(*handle) : nullptr;
    if (block == nullptr) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (failing) return log_.failureCode();
    if (failResize_) {
        return PF_Err_OUT_OF_MEMORY;
    }
    block->bytes.resize(std::size_t(new_size), 0xA5);
    block->data = block->bytes.data();  // the data moves, the handle stays
    return PF_Err_NONE;
}
