#include <gtest/gtest.h>

#include "render/paths/vector_path.h"

namespace {

// Puts back the path that was taken before the test.
struct RestoredVectorPath {
    VectorPath before = vectorPath();
    ~RestoredVectorPath() { forceVectorPath(before); }
};

TEST(VectorPath, RendersTakeTheOfferedPathUnlessForced) {
    RestoredVectorPath restore;
    ASSERT_TRUE(forceVectorPath(offeredVectorPath()));
    EXPECT_EQ(vectorPath(), offeredVectorPath());
    ASSERT_TRUE(forceVectorPath(VectorPath::kSse2));
    EXPECT_EQ(vectorPath(), VectorPath::kSse2);
}

TEST(VectorPath, EveryPathUpToTheOfferedOneCanBeForced) {
    RestoredVectorPath restore;
    for (VectorPath path : {VectorPath::kSse2, VectorPath::kAvx2, VectorPath::kAvx512}) {
        const bool offered = int32_t(path) <= int32_t(offeredVectorPath());
        EXPECT_EQ(forceVectorPath(path), offered) << vectorPathName(path);
        if (offered) {
            EXPECT_EQ(vectorPath(), path);
        }
    }
}

TEST(VectorPath, APathBeyondTheProcessorChangesNothing) {
    RestoredVectorPath restore;
    ASSERT_TRUE(forceVectorPath(VectorPath::kSse2));
    EXPECT_FALSE(forceVectorPath(VectorPath(7)));
    EXPECT_FALSE(forceVectorPath(VectorPath(-1)));
    EXPECT_EQ(vectorPath(), VectorPath::kSse2);
}

}  // namespace
