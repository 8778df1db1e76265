#include "tests/render/sized_stack_thread.h"

#include <cstdint>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace {

constexpr unsigned char kPaint = 0xA5;

struct Watch {
    size_t watchedBytes;
    const std::function<void()>* work;
    StackReach reach;
    const unsigned char* lowest = nullptr;
};

// Fills `bytes` of stack below this frame with the pattern; returns the lowest
// filled address. The region is left as it is when the function returns.
__attribute__((noinline)) uintptr_t paintBelow(size_t bytes) {
    auto* area = static_cast<unsigned char*>(__builtin_alloca(bytes));
    std::memset(area, kPaint, bytes);
    __asm__ volatile("" : : "r"(area) : "memory");
    return reinterpret_cast<uintptr_t>(area);
}

// The work's first frame lies just below this one's, as paintBelow's did.
__attribute__((noinline)) uintptr_t runWork(const std::function<void()>& work) {
    volatile unsigned char top = 0;
    const uintptr_t entry = reinterpret_cast<uintptr_t>(&top);
    work();
    return entry;
}

void watch(Watch& w) {
    w.lowest = reinterpret_cast<const unsigned char*>(paintBelow(w.watchedBytes));
    const uintptr_t entry = runWork(*w.work);
    const unsigned char* p = w.lowest;
    const auto* end = reinterpret_cast<const unsigned char*>(entry);
    while (p < end && *p == kPaint) ++p;
    w.reach.measured = size_t(entry - reinterpret_cast<uintptr_t>(w.lowest));
    w.reach.deepest = size_t(entry - reinterpret_cast<uintptr_t>(p));
    w.reach.ran = true;
}

}  // namespace

#if defined(_WIN32)

StackReach runOnSizedStack(size_t stackBytes, size_t watchedBytes, const std::function<void()>& work) {
    Watch w{watchedBytes, &work, {}};
    const auto entry = [](void* arg) -> DWORD {
        watch(*static_cast<Watch*>(arg));
        return 0;
    };
    // The size is the stack's reserve, not what is committed at first: the
    // executable's own default reserve plays no part.
    HANDLE thread = CreateThread(nullptr, stackBytes, entry, &w, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) return {};
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return w.reach;
}

#else

StackReach runOnSizedStack(size_t stackBytes, size_t watchedBytes, const std::function<void()>& work) {
    Watch w{watchedBytes, &work, {}};
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return {};
    pthread_t thread;
    const bool started = pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
                         pthread_create(&thread, &attributes, [](void* arg) -> void* {
                             watch(*static_cast<Watch*>(arg));
                             return nullptr;
                         }, &w) == 0;
    pthread_attr_destroy(&attributes);
    if (!started) return {};
    pthread_join(thread, nullptr);
    return w.reach;
}

#endif
