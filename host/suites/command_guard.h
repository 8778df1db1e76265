// The one place where exceptions stop: the host gets an error code, never an
// exception.
#pragma once

#include <new>

#include "platform/pf_effect.h"

// Runs a command body. A thrown error code is the command's result; running
// out of memory is PF_Err_OUT_OF_MEMORY; anything else is
// PF_Err_INTERNAL_STRUCT_DAMAGED.
template <typename Body>
PF_Err runGuarded(Body&& body) noexcept {
    try {
        return body();
    } catch (PF_Err err) {
        return err;
    } catch (const std::bad_alloc&) {
        return PF_Err_OUT_OF_MEMORY;
    } catch (...) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
}
