#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "host/ui/blend_curve_graph.h"
#include "host/ui/split_graph.h"
#include "host/ui/timeline_graph.h"
#include "tests/host/graph_draw_fixture.h"

namespace {

constexpr PF_Fixed kOne = 65536;

// Each draw function with its image size, a setting of its parameters (slot =
// position in paramIds) and the grid those values draw.
struct GraphKind {
    const char* name;
    DrawControlFunc draw;
    int32_t width;
    int32_t height;
    int32_t paramCount;
};

void PrintTo(const GraphKind& k, std::ostream* os) { *os << k.name; }

const GraphKind kKinds[] = {
    {"timeline", &TimelineGraphDraw, 200, 30, 5},
    {"blend", &BlendCurveGraphDraw, 100, 70, 9},
    {"split", &SplitGraphDraw, 50, 50, 4},
};

class GraphDrawFunctions : public GraphDrawTest, public ::testing::WithParamInterface<GraphKind> {
protected:
    void SetUp() override { useRecord(GetParam().width, GetParam().height, 2); }

    // Distinct values in the record's parameters; the grid they must draw.
    GraphGrid setValues() {
        GraphGrid grid(GetParam().width, GetParam().height);
        const std::string name = GetParam().name;
        if (name == "timeline") {
            param(0).u.pd.value = 2;
            param(1).u.fd.value = 3 * kOne + kOne / 2;  // 3.5 rounds to 4
            param(2).u.fs_d.value = 0.25;
            param(3).u.fs_d.value = 3.0;
            param(4).u.fs_d.value = -0.5;
            in_data.time_step = 100;
            in_data.time_scale = 2400;
            drawTimelineCells(grid, TimelineValues{2, 4, 0.25f, 3.0f, -0.5f}, 100, 2400);
        } else if (name == "blend") {
            const int32_t popups[] = {2, 2, 4, 0, 0, 3, 0, 0, 0};
            const double floats[] = {0, 0, 0, 60.0, 25.0, 0, 40.0, 75.0, 0};
            for (int32_t slot : {0, 1, 2, 5}) param(slot).u.pd.value = popups[slot];
            for (int32_t slot : {3, 4, 6, 7}) param(slot).u.fs_d.value = floats[slot];
            param(8).u.bd.value = 1;
            drawBlendCurveCells(grid, BlendCurveValues{2, 2, {4, 60.0f, 25.0f}, {3, 40.0f, 75.0f}, true});
        } else {
            param(0).u.fd.value = 5 * kOne;
            param(1).u.ad.value = 30 * kOne;
            param(2).u.fd.value = 2 * kOne - kOne / 2;  // 1.5 rounds to 2
            param(3).u.fs_d.value = 40.0;
            drawSplitCells(grid, SplitValues{5, 30 * kOne, 2, 40.0f}, 50, 50);
        }
        return grid;
    }
};

TEST_P(GraphDrawFunctions, DrawsTheGridOfItsParametersReducedIntoTheImage) {
    const GraphGrid expected = setValues();
    ASSERT_EQ(GetParam().draw(pixels.data(), &in_data, pointers.data(), &record), 1);
    EXPECT_EQ(pixels, reduced(expected));
    // The last two rows and columns are fully transparent.
    const int32_t w = GetParam().width;
    const int32_t h = GetParam().height;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (x < w - 2 && y < h - 2) continue;
            EXPECT_EQ(pixels[size_t(y * w + x) * 4 + 3], 0) << x << "," << y;
        }
    }
}

TEST_P(GraphDrawFunctions, WithoutAParameterArrayEachValueIsCheckedOutAndBackIn) {
    const GraphGrid expected = setValues();
    auto frame = checkoutHost();
    ASSERT_EQ(GetParam().draw(pixels.data(), &frame->in_data, nullptr, &record), 1);
    EXPECT_EQ(pixels, reduced(expected));
    std::vector<std::string> expectedLog;
    for (int32_t slot = 0; slot < GetParam().paramCount; ++slot) {
        const int32_t index = record.paramIds[slot];
        expectedLog.push_back("checkout_param " + std::to_string(index) + " at 1200");
        expectedLog.push_back("checkin_param " + std::to_string(index));
    }
    EXPECT_EQ(log.entries(), expectedLog);
    EXPECT_EQ(frame->paramsOut(), 0);
}

TEST_P(GraphDrawFunctions, AFailingCheckoutEndsTheCallBeforeAnyDrawing) {
    setValues();
    auto frame = checkoutHost();
    frame->failCheckoutParam[record.paramIds[GetParam().paramCount - 1]] = PF_Interrupt_CANCEL;
    PF_Err thrown = PF_Err_NONE;
    try {
        GetParam().draw(pixels.data(), &frame->in_data, nullptr, &record);
    } catch (PF_Err err) {
        thrown = err;
    }
    EXPECT_EQ(thrown, PF_Interrupt_CANCEL);
    EXPECT_TRUE(untouched());
    EXPECT_EQ(frame->paramsOut(), 0);
}

TEST_P(GraphDrawFunctions, WithoutAGridNothingIsDrawn) {
    setValues();
    useRecord(0, GetParam().height, 2);
    pixels.assign(16, kUntouched);
    EXPECT_EQ(GetParam().draw(pixels.data(), &in_data, pointers.data(), &record), 0);
    EXPECT_TRUE(untouched());
}

TEST_P(GraphDrawFunctions, ARecordOfAnotherSizeIsDrawnWithinItsOwnBuffer) {
    // The buffer holds exactly the record's pixels; the sanitizer watches its ends.
    for (const auto& [w, h] : {std::pair<int32_t, int32_t>{12, 7}, {3, 3}, {260, 90}}) {
        useRecord(w, h, 2);
        setValues();
        EXPECT_EQ(GetParam().draw(pixels.data(), &in_data, pointers.data(), &record), 1) << w << "x" << h;
        EXPECT_EQ(pixels[size_t(w * h - 1) * 4], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(FurtherGraphs, GraphDrawFunctions, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<GraphKind>& info) { return std::string(info.param.name); });

}  // namespace
