// Our declaration of the host's basic suite: the one table the host hands every
// call, through which every other suite is acquired by name and version and
// given back by the same name and version.
#pragma once

#include <stdint.h>

#include "platform/pf_effect.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t SPErr;

enum {
    kSPNoError = 0,
    A_Err_MISSING_SUITE = 13,  // a suite the effect needs could not be had
};

// 7 slots; the effect calls the first two.
struct SPBasicSuite {
    // On success returns 0 and stores the suite table in *suite.
    SPErr (*AcquireSuite)(const char* name, int32_t version, const void** suite);  // slot 0
    SPErr (*ReleaseSuite)(const char* name, int32_t version);                      // 1
    PF_ReservedSlot reserved_slots_2_6[5];
};
typedef struct SPBasicSuite SPBasicSuite;

#ifdef __cplusplus
}  // extern "C"

static_assert(sizeof(SPBasicSuite) == 56, "SPBasicSuite");
#endif
