#include <gtest/gtest.h>

#include <cstddef>

#include "render/param_values.h"

namespace {

TEST(ParamValues, LayerSlotsFollowTheValueFields) {
#if defined(_WIN32)
    EXPECT_EQ(offsetof(ParamValues, velocitySourceLayer), 200u);
    EXPECT_EQ(offsetof(ParamValues, spreadSourceParam), 392u);
#else
    EXPECT_EQ(offsetof(ParamValues, velocitySourceLayer), 216u);
    EXPECT_EQ(offsetof(ParamValues, spreadSourceParam), 408u);
#endif
}

TEST(ParamValues, PresenceNeedsSlotAndPixels) {
    PF_LayerDef layer{};
    EXPECT_FALSE(layerPresent(nullptr));
    EXPECT_FALSE(layerPresent(&layer));
    char pixel[4] = {};
    layer.data = pixel;
    EXPECT_TRUE(layerPresent(&layer));
}

}  // namespace
