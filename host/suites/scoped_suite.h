// A host suite held for the length of one command: acquired on construction,
// released when the scope ends, a thrown error code included.
#pragma once

#include <cstdint>

#include "host/suites/messages.h"
#include "host/suites/return_message.h"
#include "platform/pf_effect.h"
#include "platform/sp_basic_suite.h"

template <typename Suite>
class ScopedSuite {
public:
    // Throws A_Err_MISSING_SUITE when the suite cannot be had, after writing the
    // message with the display-error flag when out_data is given. A host that
    // answers success without a suite has not given one either.
    ScopedSuite(const PF_InData* in_data, const char* name, int32_t version, PF_OutData* out_data = nullptr,
                const char* message = messages::kAcquireSuiteFailed)
        : basic_(in_data->pica_basicP), name_(name), version_(version) {
        const void* suite = nullptr;
        const SPErr err = basic_ != nullptr ? basic_->AcquireSuite(name, version, &suite) : A_Err_MISSING_SUITE;
        if (err != kSPNoError || suite == nullptr) {
            if (out_data != nullptr) {
                reportError(in_data, out_data, message);
            }
            throw PF_Err(A_Err_MISSING_SUITE);
        }
        suite_ = static_cast<const Suite*>(suite);
    }

    ~ScopedSuite() { basic_->ReleaseSuite(name_, version_); }

    ScopedSuite(const ScopedSuite&) = delete;
    ScopedSuite& operator=(const ScopedSuite&) = delete;

    const Suite* get() const { return suite_; }
    const Suite* operator->() const { return suite_; }

private:
    const SPBasicSuite* basic_;
    const char* name_;
    int32_t version_;
    const Suite* suite_ = nullptr;
};
