// Runs a piece of work on a thread of its own whose stack is no larger than asked,
// and tells how deep into that stack the work reached. A host renders on threads
// of its own choosing: a kernel that needs more stack than it may take fails here
// as it would fail there.
#pragma once

#include <cstddef>
#include <functional>

struct StackReach {
    bool ran = false;      // the thread was started and ran the work to its end
    size_t deepest = 0;    // bytes below the work's first frame that it wrote to
    size_t measured = 0;   // how far down the stack was watched; `deepest` is at most this
};

// Runs `work` on a new thread whose stack reserve is `stackBytes`. The stack below
// the work's first frame is first filled with a pattern, `watchedBytes` of it, and
// afterwards searched for the lowest byte that no longer holds it.
StackReach runOnSizedStack(size_t stackBytes, size_t watchedBytes, const std::function<void()>& work);
