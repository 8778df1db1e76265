#include <gtest/gtest.h>

#include <stdexcept>

#include "host/params/param_loading.h"
#include "tools/melt_frame.h"

namespace {

TEST(QuietInData, NeverAbortsAndIgnoresProgress) {
    PF_InData inData = quietInData();
    EXPECT_EQ(inData.inter.abort(inData.effect_ref), 0);
    EXPECT_EQ(inData.inter.progress(inData.effect_ref, 7, 8), 0);
}

TEST(MeltFrame, RefusesBuffersOfDifferentDepths) {
    ArgbBuffer input(PixelDepth::k8, 4, 4), output(PixelDepth::k16, 4, 4);
    EXPECT_THROW(meltFrame(input, output, defaultParamValues()), std::invalid_argument);
}

// Whatever the velocity, a transparent frame deposits nothing and every cell
// normalises to zero: the entry of the buffers' depth wrote the whole output.
TEST(MeltFrame, MeltsATransparentFrameToTransparentInEveryDepth) {
    for (PixelDepth depth : {PixelDepth::k8, PixelDepth::k16, PixelDepth::k32}) {
        ArgbBuffer input(depth, 5, 9, {1, false}), output(depth, 5, 9, {2, true});
        input.fill(0.0, 1.0, 1.0, 1.0);
        output.fill(1.0, 0.5, 0.5, 0.5);
        ArgbBuffer expected(depth, 5, 9);
        EXPECT_EQ(meltFrame(input, output, defaultParamValues()), 0);
        EXPECT_TRUE(output.samePixels(expected)) << int(depth);
        EXPECT_TRUE(output.paddingIntact()) << int(depth);
    }
}

PF_Err abortWithSeven(PF_ProgPtr) { return 7; }

TEST(MeltFrame, ReturnsTheCodeTheHostAbortedWith) {
    ArgbBuffer input(PixelDepth::k32, 8, 8), output(PixelDepth::k32, 8, 8);
    PF_InData inData = quietInData();
    inData.inter.abort = abortWithSeven;
    EXPECT_EQ(meltFrame(input, output, defaultParamValues(), 1.0f, &inData), 7);
}

}  // namespace
