// The curve graph: levels from the live curve parameters, the line drawn into the
// coverage grid, and the reduced image, worked out by hand for small curves.
#include "host/ui/curve_graph.h"

#include <gtest/gtest.h>

#include <vector>

#include "host/ui/graph_grid.h"
#include "tests/host/graph_fixture.h"

namespace {

constexpr PF_Fixed kDegree = 65536;

class CurveGraphTest : public GraphParamsTest {
protected:
    CurveGraphTest() : record(curveRecord(ParamId::VelCurveGraph, kVelocityCurve, CurveGraphDraw)) {}

    void setCurve(int32_t popup, PF_Fixed phase, float floorLift, float smoothness) {
        GraphParamsTest::setCurve(kVelocityCurve, popup, phase, floorLift, smoothness);
    }

    std::vector<uint8_t> draw(PF_ParamDef** params) {
        std::vector<uint8_t> pixels(50 * 50 * 4, 0xCD);
        EXPECT_EQ(CurveGraphDraw(pixels.data(), &host.in_data, params, &record), 1);
        return pixels;
    }
    std::vector<uint8_t> draw() { return draw(pointers.data()); }

    static uint8_t at(const std::vector<uint8_t>& pixels, int r, int c) { return pixels[(r * 50 + c) * 4]; }

    // The image of a grid covered by hand.
    static std::vector<uint8_t> reduced(const GraphGrid& grid) {
        std::vector<uint8_t> pixels(50 * 50 * 4);
        grid.reduceInto(pixels.data());
        return pixels;
    }

    drawControlData record;
};

TEST(CurveGraphShift, OneColumnPerThreePointSevenFiveDegreesWrappingLikeTheAngleTables) {
    struct Case { PF_Fixed phase; int32_t shift; };
    for (const Case& k : {Case{0, 0}, Case{245760, 1}, Case{245759, 0}, Case{-245760, 94}, Case{-1, 0},
                          // the lowest angle: -8738.13 turns into 95 - (8738 mod 96)
                          Case{180 * kDegree, 48}, Case{360 * kDegree, 0}, Case{-360 * kDegree, 95},
                          Case{INT32_MIN, 93}}) {
        EXPECT_EQ(curveGraphShift(float(k.phase)), k.shift) << k.phase;
    }
}

// Floor 1 lifts every sample to level 95: points on rows 2 and 3 of columns 2 to
// 97, joiners on rows 1 and 2 of columns 2 to 96. Pixel (0, 5) sees rows 1 to 3
// whole: (6 + 10 + 10) x 7 = 182; pixel (1, 5) only row 3 at its top: 6 x 7 = 42;
// pixel (0, 0) misses column 1: (5 + 8 + 8) x 7 = 147; pixel (0, 47) has columns
// 95 and 96 on row 1 and 95 to 97 below: (3 + 8 + 8) x 7 = 133. The greys are
// 64 + int(159 sin(s/255 x pi/2)): 182 -> 64 + 143 = 207, 42 -> 64 + 40 = 104,
// 147 -> 64 + 125 = 189, 133 -> 64 + 116 = 180.
TEST_F(CurveGraphTest, FloorOneIsAFlatLineAtTheTopWhateverTheFunction) {
    for (int32_t popup = 1; popup <= 6; ++popup) {
        setCurve(popup, 17 * kDegree, 1.0f, 3.5f);
        const std::vector<uint8_t> pixels = draw();
        EXPECT_EQ(at(pixels, 0, 5), 207) << popup;
        EXPECT_EQ(at(pixels, 1, 5), 104);
        EXPECT_EQ(at(pixels, 2, 5), 64);
        EXPECT_EQ(at(pixels, 0, 0), 189);
        EXPECT_EQ(at(pixels, 0, 47), 180);
        EXPECT_EQ(at(pixels, 47, 47), 64);
        EXPECT_EQ(at(pixels, 0, 48), 0);
    }
}

// Linear Ramp Up without floor or smoothing: level i at sample i. Column j (2 to
// 96) holds the point of sample j - 2 (rows 98 - k and 97 - k) and the joiner of
// sample j - 1 (rows 96 - k to 98 - k): rows 97 - j to 100 - j; column 97 holds
// only the last point, rows 2 and 3.
TEST_F(CurveGraphTest, RampUpIsTheDiagonalFromBottomLeftToTopRight) {
    GraphGrid expected(50, 50);
    for (int j = 2; j <= 96; ++j) {
        for (int row = 97 - j; row <= 100 - j; ++row) expected.cover(row, j);
    }
    expected.cover(2, 97);
    expected.cover(3, 97);
    const std::vector<uint8_t> pixels = draw();
    EXPECT_EQ(pixels, reduced(expected));
    // Pixel (24, 23): columns 47 to 50 meet rows 49 to 52 in 3, 4, 3 and 2 cells,
    // weights 5 + 10 + 8 + 3 = 26, so 182: grey 64 + int(159 sin(182/255 x pi/2)) = 207.
    EXPECT_EQ(at(pixels, 24, 23), 207);
    for (int b = 0; b < 4; ++b) EXPECT_EQ(pixels[(24 * 50 + 23) * 4 + b], 207);
    // The ends of the diagonal: pixel (0, 47) sees column 96 on row 1, 95 to 97 on
    // rows 2 and 3 and 95, 96 on row 4: (2 + 8 + 8 + 3) x 7 = 147, grey 64 + 125 = 189;
    // pixel (47, 0) the same shape turned over, 147 as well.
    EXPECT_EQ(at(pixels, 0, 47), 189);
    EXPECT_EQ(at(pixels, 47, 0), 189);
    // The whole image, the hand-listed cells reduced by the window and the tone rule
    // apart from this code: the sum of all bytes, and the sum of each pixel's grey
    // times its place in the image counted from 1.
    uint64_t bytes = 0, placed = 0;
    for (size_t k = 0; k < pixels.size(); ++k) bytes += pixels[k];
    for (size_t k = 0; k < pixels.size() / 4; ++k) placed += (k + 1) * pixels[4 * k];
    EXPECT_EQ(bytes, 661704u);
    EXPECT_EQ(placed, 198308056u);
}

// Phase 3.75 degrees moves the ramp one column right: column 2 now shows sample
// 95 (level 95) and the jump to sample 0 is joined by a run over rows 1 to 97 in
// column 2. Pixel (10, 0) has that run alone in its window (block column 1, all
// four rows): 10 x 7 = 70.
TEST_F(CurveGraphTest, PhaseShiftsTheCurveAndAJumpIsJoinedByAFullRun) {
    setCurve(1, 245760, 0.0f, 0.0f);
    const std::vector<uint8_t> pixels = draw();
    EXPECT_EQ(at(pixels, 10, 0), 130);  // 64 + int(159 sin(70/255 x pi/2)) = 64 + 66
    EXPECT_EQ(at(pixels, 40, 0), 130);
}

TEST_F(CurveGraphTest, FloorLiftsTowardTheTopWithRounding) {
    // Ramp Down at floor 0.5: sample 0 is 95 and stays; sample 95 is 0 and becomes
    // 47.5, rounded away from zero to 48, shown in column 97 on rows 49 and 50.
    // Pixel (24, 47) sees rows 49 to 52 of columns 95 to 98.
    setCurve(2, 0, 0.5f, 0.0f);
    const std::vector<uint8_t> pixels = draw();
    // Column 97: rows 49, 50 (block rows 0, 1; block column 2): 2 + 3 = 5.
    // Column 96: sample 94 at level round(round(1.0) + 94 x 0.5) = 48: rows 49, 50
    // (5 again, block column 1), and the joiner of sample 95 from 48 to 48 at
    // column 96: rows 48, 49 (block row 0: 2). Column 95: sample 93, level
    // round(2 + 93 x 0.5) = 49 (48.5 away from zero): rows 48, 49 (block row 0,
    // column 0: 1) and the joiner of 94 from 49 down to 48: rows 47 to 49 (row 49
    // again). Column 98: nothing. Sum (5 + 5 + 1) x 7 = 77.
    EXPECT_EQ(at(pixels, 24, 47), 136);  // 64 + int(159 sin(77/255 x pi/2)) = 64 + 72
}

TEST_F(CurveGraphTest, WithoutAFloorParameterTheFloorIsZero) {
    setCurve(1, 0, 1.0f, 0.0f);
    record.paramIds[2] = -1;
    const std::vector<uint8_t> flat = draw();
    setCurve(1, 0, 0.0f, 0.0f);
    EXPECT_EQ(flat, draw());
}

// Without a parameter array every value is checked out at the command's time and
// checked in again before the next; the mask's angle is not read without a mask.
TEST_F(CurveGraphTest, WithoutParameterArrayEachValueIsCheckedOutAndIn) {
    host.in_data.current_time = 4800;
    std::vector<int32_t> times;
    host.checkoutParam = [&](PF_ParamIndex index, int32_t time, int32_t, uint32_t, PF_ParamDef* def) {
        times.push_back(time);
        *def = defs[size_t(index)];
        return PF_Err_NONE;
    };
    setCurve(1, 0, 1.0f, 0.0f);
    const std::vector<uint8_t> checkedOut = draw(nullptr);
    EXPECT_EQ(host.log.entries(), (std::vector<std::string>{
                                      "checkout_param 30", "checkin_param", "checkout_param 31", "checkin_param",
                                      "checkout_param 33", "checkin_param", "checkout_param 32", "checkin_param"}));
    EXPECT_EQ(times, (std::vector<int32_t>(4, 4800)));
    EXPECT_EQ(checkedOut, draw());
}

TEST_F(CurveGraphTest, FailingCheckoutEndsTheCallWithTheHostsCode) {
    host.checkoutParam = [&](PF_ParamIndex index, int32_t, int32_t, uint32_t, PF_ParamDef* def) {
        *def = defs[size_t(index)];
        return index == ParamId::VelCurveFloor ? PF_Err(PF_Err_INVALID_INDEX) : PF_Err(PF_Err_NONE);
    };
    std::vector<uint8_t> pixels(50 * 50 * 4, 0xCD);
    try {
        CurveGraphDraw(pixels.data(), &host.in_data, nullptr, &record);
        FAIL() << "no code thrown";
    } catch (PF_Err err) {
        EXPECT_EQ(err, PF_Err_INVALID_INDEX);
    }
    EXPECT_EQ(pixels, std::vector<uint8_t>(50 * 50 * 4, 0xCD));
    EXPECT_EQ(host.log.entriesStartingWith("checkin_param").size(), 2u);
}

TEST_F(CurveGraphTest, NoWorkMemoryLeavesThePixelsAndReportsZero) {
    record.width = 0;
    uint8_t pixel[4] = {1, 2, 3, 4};
    EXPECT_EQ(CurveGraphDraw(pixel, &host.in_data, pointers.data(), &record), 0);
    EXPECT_EQ(pixel[3], 4);
}

// Values outside the registered ranges draw what lies inside the grid and write
// nothing outside it: a floor of 3 lifts the levels to 190 - r and -2 sinks them
// to 3r - 190, both mostly off the grid; a huge floor sends them to the integer
// limit, and the runs between such levels stay finite.
TEST_F(CurveGraphTest, LevelsOffTheGridAreClipped) {
    for (float floorLift : {3.0f, -2.0f, 1e30f, -1e30f}) {
        setCurve(4, INT32_MIN, floorLift, 0.0f);
        const std::vector<uint8_t> pixels = draw();
        EXPECT_EQ(at(pixels, 47, 47), 64) << floorLift;
    }
    // The triangle peaks at level 94, so every sample is lifted far above the
    // top: an empty square, grey 64 with alpha 64 in all four bytes of the 48 by 48
    // block, the last two rows and columns clear.
    setCurve(3, 0, 1e30f, 0.0f);
    EXPECT_EQ(draw(), [] {
        std::vector<uint8_t> pixels(50 * 50 * 4, 0);
        for (int r = 0; r < 48; ++r) {
            for (int c = 0; c < 48; ++c) {
                for (int b = 0; b < 4; ++b) pixels[size_t((r * 50 + c) * 4 + b)] = 64;
            }
        }
        return pixels;
    }());
}

// Other record sizes: the image keeps rows of its own width and its own height,
// and the curve stays where a 50 by 50 graph has it.
TEST_F(CurveGraphTest, RecordsOfOtherSizesStayInsideTheirImage) {
    setCurve(1, 0, 1.0f, 0.0f);
    record.width = 30;
    record.height = 20;
    std::vector<uint8_t> small(30 * 20 * 4, 0xCD);
    EXPECT_EQ(CurveGraphDraw(small.data(), &host.in_data, pointers.data(), &record), 1);
    EXPECT_EQ(small[(0 * 30 + 5) * 4], 207);  // the flat line at the top, as in 50 by 50: sum 182
    EXPECT_EQ(small[(17 * 30 + 27) * 4], 64);
    EXPECT_EQ(small[(18 * 30 + 27) * 4], 0);
    EXPECT_EQ(small[(17 * 30 + 28) * 4], 0);
}

int32_t maskNone(PF_InData*, PF_ParamDef**, int32_t what) { return what == 4 ? 0 : -1; }
int32_t maskMainOnly(PF_InData*, PF_ParamDef**, int32_t) { return 2; }
int32_t maskAhead(PF_InData*, PF_ParamDef**, int32_t) { return 1; }

TEST_F(CurveGraphTest, MaskDrawsCurvesShiftedByTheExtraAngle) {
    const std::vector<uint8_t> plain = draw();
    record.curveMaskFunc = maskNone;  // paramIds[4] is -7: reading it would fail
    EXPECT_EQ(draw(), plain);
    record.paramIds[4] = ParamId::ShadingPhase;
    defs[ParamId::ShadingPhase].u.ad.value = 0;
    record.curveMaskFunc = maskMainOnly;
    EXPECT_EQ(draw(), plain);
    // Bit 0 alone draws the curve from entry plusShift = 1 on: column k shows
    // sample k + 1, as a phase of shift 95 (95 x 3.75 degrees) would.
    defs[ParamId::ShadingPhase].u.ad.value = 245760;
    record.curveMaskFunc = maskAhead;
    const std::vector<uint8_t> ahead = draw();
    record.curveMaskFunc = nullptr;
    setCurve(1, 95 * 245760, 0.0f, 0.0f);
    EXPECT_EQ(ahead, draw());
    EXPECT_NE(ahead, plain);
}

}  // namespace
