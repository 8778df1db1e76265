#include "host/commands/rect_utils.h"

#include <gtest/gtest.h>

#include "host/commands/small_functions.h"
#include "tests/host/host_fixture.h"

namespace {

TEST(IsEmptyRect, EmptyWhenEitherSpanIsNotPositive) {
    EXPECT_TRUE(IsEmptyRect({0, 0, 0, 10}));
    EXPECT_TRUE(IsEmptyRect({5, 0, 4, 10}));
    EXPECT_TRUE(IsEmptyRect({0, 3, 10, 3}));
    EXPECT_FALSE(IsEmptyRect({0, 0, 1, 1}));
    EXPECT_FALSE(IsEmptyRect({-5, -5, -4, -4}));
}

struct UnionCase {
    PF_LRect source;
    PF_LRect destination;
    PF_LRect expected;
};

class UnionLRectTest : public testing::TestWithParam<UnionCase> {};

TEST_P(UnionLRectTest, GivesTheExpectedDestination) {
    const UnionCase& c = GetParam();
    PF_LRect destination = c.destination;
    UnionLRect(c.source, destination);
    EXPECT_TRUE(sameRect(destination, c.expected))
        << destination.left << "," << destination.top << "," << destination.right << ","
        << destination.bottom;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnionLRectTest,
    testing::Values(
        // An empty destination takes the source as it is.
        UnionCase{{10, 20, 30, 40}, {0, 0, 0, 0}, {10, 20, 30, 40}},
        // ... even an empty source, members and all.
        UnionCase{{7, 8, 7, 2}, {0, 0, 0, 0}, {7, 8, 7, 2}},
        // Bounding box of both.
        UnionCase{{0, 0, 10, 10}, {5, -5, 20, 5}, {0, -5, 20, 10}},
        // An empty source leaves a non-empty destination alone.
        UnionCase{{50, 50, 40, 60}, {5, -5, 20, 5}, {5, -5, 20, 5}},
        // A source inside the destination changes nothing.
        UnionCase{{2, 2, 3, 3}, {0, 0, 10, 10}, {0, 0, 10, 10}}));

TEST(IsEdgePixel, BorderLinesIncludeRightAndBottom) {
    const PF_LRect rect{0, 0, 10, 10};
    EXPECT_TRUE(IsEdgePixel(rect, 0, 5));
    EXPECT_TRUE(IsEdgePixel(rect, 10, 5));
    EXPECT_TRUE(IsEdgePixel(rect, 5, 0));
    EXPECT_TRUE(IsEdgePixel(rect, 5, 10));
    EXPECT_TRUE(IsEdgePixel(rect, 10, 10));
    EXPECT_FALSE(IsEdgePixel(rect, 5, 5));
    EXPECT_FALSE(IsEdgePixel(rect, 11, 5));
    EXPECT_FALSE(IsEdgePixel(rect, 0, 11));
}

TEST(Rand32, FirstValuesAfterLoad) {
    ASSERT_EQ(rand32state, 42u);  // nothing else in this test program draws from it
    EXPECT_EQ(rand32(), 11355432u);
    EXPECT_EQ(rand32(), 2836018348u);
    EXPECT_EQ(rand32(), 476557059u);
    EXPECT_EQ(rand32state, 476557059u);
}

}  // namespace
