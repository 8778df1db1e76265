// ONDRAVA_TEST_VECTOR_PATH=sse2|avx2|avx512 runs every render test on that path; a
// path the processor does not offer skips the whole run (exit code 77, which ctest
// reports as skipped).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/paths/vector_path.h"

namespace {

class VectorPathEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        const char* wanted = std::getenv("ONDRAVA_TEST_VECTOR_PATH");
        if (wanted == nullptr || *wanted == '\0') return;
        for (VectorPath path : {VectorPath::kSse2, VectorPath::kAvx2, VectorPath::kAvx512}) {
            if (std::strcmp(wanted, vectorPathName(path)) != 0) continue;
            if (!forceVectorPath(path)) {
                std::printf("this processor does not offer %s: skipped\n", wanted);
                std::exit(77);
            }
            std::printf("rendering on the %s path\n", wanted);
            return;
        }
        std::printf("ONDRAVA_TEST_VECTOR_PATH=%s names no vector path\n", wanted);
        std::exit(1);
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new VectorPathEnvironment);

}  // namespace
