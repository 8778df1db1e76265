// Events of the custom user interface, called directly: banner clicks and their
// timing, where the banner and the graphs are drawn, and every failure giving
// back what it took.
#include "host/ui/custom_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <tuple>
#include <vector>

#include "host/ui/curve_graph.h"
#include "resources/banner.h"
#include "tests/host/graph_fixture.h"

namespace {

using standin::DrawbotCall;

constexpr int32_t kHeader = ParamId::Banner;
constexpr PF_UnionableRect kControlFrame{12, 340, 62, 390};  // left, top, right, bottom
constexpr PF_UnionableRect kTitleFrame{4, 20, 324, 37};

class CustomUiTest : public GraphParamsTest {
protected:
    CustomUiTest()
        : velocity(curveRecord(ParamId::VelCurveGraph, kVelocityCurve, CurveGraphDraw)),
          spread(curveRecord(ParamId::SpreadCurveGraph, kSpreadCurve, CurveGraphDraw)) {
        lastClickTime = kNoBannerClick;
        extra.contextH = host.drawbot.context();
        extra.effect_win.current_frame = kControlFrame;
        extra.effect_win.param_title_frame = kTitleFrame;
        extra.evt_out_flags = 0x40;  // whatever the host left there
    }

    void useVersion(int16_t major, int16_t minor) { host.in_data.version = PF_SpecVersion{major, minor}; }

    PF_Err send(PF_EventType type, PF_ParamIndex index, PF_EffectArea area = PF_EA_CONTROL) {
        extra.e_type = type;
        extra.effect_win.index = index;
        extra.effect_win.area = area;
        return HandleEvent(&host.in_data, &host.out_data, pointers.data(), nullptr, &extra, kHeader,
                           bannerImage.data(), flag, 2, graphs);
    }

    PF_Err click(uint32_t when, PF_ParamIndex index = kHeader) {
        extra.u.do_click.when = when;
        doubleClicked = 0;
        return send(PF_Event_DO_CLICK, index);
    }

    std::vector<uint8_t> curveImage(drawControlData record) {
        std::vector<uint8_t> pixels(50 * 50 * 4);
        CurveGraphDraw(pixels.data(), &host.in_data, pointers.data(), &record);
        return pixels;
    }

    bool handled() const { return extra.evt_out_flags == PF_EO_HANDLED_EVENT; }

    // Every suite and every image given back.
    void expectAllReturned() const {
        EXPECT_TRUE(host.suites.balanced());
        EXPECT_EQ(host.drawbot.liveImages(), 0);
        EXPECT_EQ(host.drawbot.foreignReferences(), 0);
    }

    drawControlData velocity;
    drawControlData spread;
    drawControlData* graphs[2] = {&velocity, &spread};
    PF_EventExtra extra{};
    int32_t doubleClicked = 0;
    int32_t* flag = &doubleClicked;
};

// Clicks on the header, one after another: (when, double-click expected, stored
// time after it).
struct ClickStep {
    uint32_t when;
    bool isDouble;
    uint32_t storedAfter;
};

struct ClickCase {
    const char* name;
    std::vector<ClickStep> steps;
};

void PrintTo(const ClickCase& c, std::ostream* os) { *os << c.name; }

class BannerClickTest : public CustomUiTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(BannerClickTest, DoubleClickWithin31Ticks) {
    for (const ClickStep& step : GetParam().steps) {
        EXPECT_EQ(click(step.when), PF_Err_NONE);
        EXPECT_EQ(doubleClicked, step.isDouble ? 1 : 0) << "click at " << step.when;
        EXPECT_EQ(lastClickTime, step.storedAfter) << "click at " << step.when;
    }
    // A click neither draws nor marks the event.
    EXPECT_EQ(host.log.size(), 0u);
    EXPECT_EQ(extra.evt_out_flags, 0x40);
}

INSTANTIATE_TEST_SUITE_P(
    Timings, BannerClickTest,
    ::testing::Values(
        ClickCase{"Within31", {{1000, false, 1000}, {1031, true, kNoBannerClick}}},
        ClickCase{"At32TheSecondIsTheNewReference", {{1000, false, 1000}, {1032, false, 1032}, {1050, true, kNoBannerClick}}},
        ClickCase{"ThirdQuickClickStartsANewPair",
                  {{1000, false, 1000}, {1010, true, kNoBannerClick}, {1020, false, 1020}, {1025, true, kNoBannerClick}}},
        // With no reference the difference is when + 1.
        ClickCase{"FirstClickAt30PairsWithNoClick", {{30, true, kNoBannerClick}}},
        ClickCase{"FirstClickAt31IsSingle", {{31, false, 31}}},
        ClickCase{"AcrossTheTickWrap", {{0xFFFFFFF0u, false, 0xFFFFFFF0u}, {0x0000000Eu, true, kNoBannerClick}}},
        ClickCase{"EarlierWithoutWrapIsSingle", {{1000, false, 1000}, {990, false, 990}}},
        ClickCase{"SameTickIsDouble", {{400, false, 400}, {400, true, kNoBannerClick}}}),
    [](const ::testing::TestParamInfo<ClickCase>& info) { return std::string(info.param.name); });

TEST_F(CustomUiTest, ClicksOnOtherParametersLeaveTheReference) {
    EXPECT_EQ(click(1000), PF_Err_NONE);
    EXPECT_EQ(click(1010, ParamId::VelCurveGraph), PF_Err_NONE);
    EXPECT_EQ(doubleClicked, 0);
    EXPECT_EQ(lastClickTime, 1000u);
}

TEST_F(CustomUiTest, DoubleClickWithoutAFlagStillResetsTheReference) {
    flag = nullptr;
    EXPECT_EQ(click(1000), PF_Err_NONE);
    EXPECT_EQ(click(1001), PF_Err_NONE);
    EXPECT_EQ(lastClickTime, kNoBannerClick);
}

TEST_F(CustomUiTest, OtherEventTypesAnswerNothing) {
    for (PF_EventType type : {int32_t(PF_Event_NEW_CONTEXT), int32_t(PF_Event_ACTIVATE), int32_t(PF_Event_DRAG), 99}) {
        EXPECT_EQ(send(type, kHeader, PF_EA_PARAM_TITLE), PF_Err_NONE);
    }
    EXPECT_EQ(host.log.size(), 0u);
    EXPECT_EQ(extra.evt_out_flags, 0x40);
}

// Where a draw event puts the banner, by host version and area.
struct BannerCase {
    int16_t minor;
    PF_EffectArea area;
    bool drawn;
    bool atTitle;  // corner of the title frame, else of the control frame
};

void PrintTo(const BannerCase& c, std::ostream* os) {
    *os << "13." << c.minor << ", area " << c.area << (c.drawn ? ", drawn" : ", not drawn");
}

class BannerDrawTest : public CustomUiTest, public ::testing::WithParamInterface<BannerCase> {};

TEST_P(BannerDrawTest, InTheTitleAreaOrInTheControlAreaOfOneVersion) {
    const BannerCase& c = GetParam();
    useVersion(13, c.minor);
    EXPECT_EQ(send(PF_Event_DRAW, kHeader, c.area), PF_Err_NONE);
    if (!c.drawn) {
        EXPECT_EQ(host.log.size(), 0u);
        EXPECT_EQ(extra.evt_out_flags, 0x40);
        return;
    }
    ASSERT_EQ(host.drawbot.drawn.size(), 1u);
    const standin::DrawnImage& image = host.drawbot.drawn[0];
    EXPECT_EQ(image.width, 320);
    EXPECT_EQ(image.height, 17);
    EXPECT_EQ(image.rowBytes, 1280);
    EXPECT_EQ(image.layout, kDRAWBOT_PixelLayout_32BGRA_Straight);
    EXPECT_EQ(image.pixels, std::vector<uint8_t>(bannerImage.begin(), bannerImage.end()));
    const PF_UnionableRect& frame = c.atTitle ? kTitleFrame : kControlFrame;
    EXPECT_EQ(image.origin.x, float(frame.left));
    EXPECT_EQ(image.origin.y, float(frame.top));
    EXPECT_EQ(image.opacity, 1.0f);
    EXPECT_TRUE(handled());
    expectAllReturned();
}

INSTANTIATE_TEST_SUITE_P(Versions, BannerDrawTest,
                         ::testing::Values(BannerCase{22, PF_EA_PARAM_TITLE, true, true},
                                           BannerCase{23, PF_EA_PARAM_TITLE, false, false},
                                           BannerCase{24, PF_EA_PARAM_TITLE, true, true},
                                           BannerCase{27, PF_EA_PARAM_TITLE, true, true},
                                           BannerCase{22, PF_EA_CONTROL, false, false},
                                           BannerCase{23, PF_EA_CONTROL, true, false},
                                           BannerCase{27, PF_EA_CONTROL, false, false},
                                           BannerCase{27, PF_EA_NONE, false, false}));

TEST_F(CustomUiTest, BannerIsOpaqueWithAWordmark) {
    std::vector<int> alphas, greens;
    for (int32_t i = 0; i < kBannerBytes; i += 4) {
        alphas.push_back(bannerImage[size_t(i) + 3]);
        greens.push_back(bannerImage[size_t(i) + 1]);
    }
    EXPECT_EQ(std::count(alphas.begin(), alphas.end(), 255), kBannerWidth * kBannerHeight);
    // Bright letters stand out from the dark ground.
    EXPECT_GT(std::count_if(greens.begin(), greens.end(), [](int g) { return g > 0x90; }), 200);
    EXPECT_GT(std::count_if(greens.begin(), greens.end(), [](int g) { return g < 0x30; }), 4000);
}

TEST_F(CustomUiTest, EachGraphIsDrawnFromItsOwnCurveAtTheControlFrame) {
    setCurve(kSpreadCurve, 2, 0, 0.5f, 0.0f);
    EXPECT_EQ(send(PF_Event_DRAW, ParamId::SpreadCurveGraph), PF_Err_NONE);
    EXPECT_TRUE(handled());
    extra.evt_out_flags = 0;
    EXPECT_EQ(send(PF_Event_DRAW, ParamId::VelCurveGraph), PF_Err_NONE);
    EXPECT_TRUE(handled());

    ASSERT_EQ(host.drawbot.drawn.size(), 2u);
    const standin::DrawnImage& spreadImage = host.drawbot.drawn[0];
    EXPECT_EQ(spreadImage.width, 50);
    EXPECT_EQ(spreadImage.height, 50);
    EXPECT_EQ(spreadImage.rowBytes, 200);
    EXPECT_EQ(spreadImage.layout, kDRAWBOT_PixelLayout_32BGRA_Straight);
    EXPECT_EQ(spreadImage.origin.x, 12.0f);
    EXPECT_EQ(spreadImage.origin.y, 340.0f);
    EXPECT_EQ(spreadImage.pixels, curveImage(spread));
    EXPECT_EQ(host.drawbot.drawn[1].pixels, curveImage(velocity));
    EXPECT_NE(spreadImage.pixels, host.drawbot.drawn[1].pixels);
    expectAllReturned();
    EXPECT_EQ(host.drawbot.imagesMade(), 2);
}

// The custom UI suite is held only while the reference is fetched; the image goes
// before the suites.
TEST_F(CustomUiTest, GraphDrawingCallsTheHostInOrder) {
    EXPECT_EQ(send(PF_Event_DRAW, ParamId::VelCurveGraph), PF_Err_NONE);
    EXPECT_EQ(host.log.entries(), (std::vector<std::string>{
                                      "AcquireSuite DRAWBOT Draw Suite 1",
                                      "AcquireSuite DRAWBOT Supplier Suite 1",
                                      "AcquireSuite DRAWBOT Surface Suite 2",
                                      "AcquireSuite DRAWBOT Path Suite 1",
                                      "AcquireSuite PF Effect Custom UI Suite 1",
                                      "PF_GetDrawingReference",
                                      "ReleaseSuite PF Effect Custom UI Suite 1",
                                      "GetSupplier",
                                      "GetSurface",
                                      "NewImageFromBuffer 50x50",
                                      "DrawImage at 12,340",
                                      "ReleaseObject",
                                      "ReleaseSuite DRAWBOT Draw Suite 1",
                                      "ReleaseSuite DRAWBOT Supplier Suite 1",
                                      "ReleaseSuite DRAWBOT Surface Suite 2",
                                      "ReleaseSuite DRAWBOT Path Suite 1",
                                  }));
}

TEST_F(CustomUiTest, EventsWithoutARecordOrInAnotherAreaDrawNothing) {
    EXPECT_EQ(send(PF_Event_DRAW, ParamId::VelCurveGraph, PF_EA_PARAM_TITLE), PF_Err_NONE);
    EXPECT_EQ(send(PF_Event_DRAW, ParamId::Velocity, PF_EA_CONTROL), PF_Err_NONE);
    EXPECT_EQ(send(PF_Event_DRAW, ParamId::Velocity, PF_EA_PARAM_TITLE), PF_Err_NONE);
    EXPECT_EQ(host.log.size(), 0u);
    EXPECT_EQ(extra.evt_out_flags, 0x40);
}

int32_t drawnBy = 0;
int32_t drawFirst(uint8_t* pixels, PF_InData*, PF_ParamDef**, drawControlData* record) {
    drawnBy = 1;
    std::memset(pixels, 0x11, size_t(record->width) * size_t(record->height) * 4);
    return 1;
}
int32_t drawSecond(uint8_t*, PF_InData*, PF_ParamDef**, drawControlData*) {
    drawnBy = 2;
    return 1;
}

TEST_F(CustomUiTest, OnlyTheFirstRecordOfAnIndexDraws) {
    drawControlData first = curveRecord(ParamId::VelCurveGraph, kVelocityCurve, drawFirst);
    first.width = 3;
    first.height = 2;
    drawControlData second = curveRecord(ParamId::VelCurveGraph, kVelocityCurve, drawSecond);
    graphs[0] = &first;
    graphs[1] = &second;
    drawnBy = 0;
    EXPECT_EQ(send(PF_Event_DRAW, ParamId::VelCurveGraph), PF_Err_NONE);
    EXPECT_EQ(drawnBy, 1);
    ASSERT_EQ(host.drawbot.drawn.size(), 1u);
    EXPECT_EQ(host.drawbot.drawn[0].rowBytes, 12);
    EXPECT_EQ(host.drawbot.drawn[0].pixels, std::vector<uint8_t>(24, 0x11));
}

int32_t drawNothing(uint8_t*, PF_InData*, PF_ParamDef**, drawControlData*) { return 0; }

TEST_F(CustomUiTest, AGraphThatCannotBeDrawnIsReportedNotMarkedHandled) {
    velocity.drawFunc = drawNothing;
    EXPECT_EQ(send(PF_Event_DRAW, ParamId::VelCurveGraph), PF_Err_OUT_OF_MEMORY);
    EXPECT_FALSE(handled());
    EXPECT_EQ(host.drawbot.imagesMade(), 0);
    expectAllReturned();
}

TEST_F(CustomUiTest, AFailingCheckoutOfTheGraphLeavesNothingHeld) {
    host.checkoutParam = [](PF_ParamIndex, int32_t, int32_t, uint32_t, PF_ParamDef*) {
        return PF_Err(PF_Err_INVALID_CALLBACK);
    };
    extra.e_type = PF_Event_DRAW;
    extra.effect_win.index = ParamId::VelCurveGraph;
    extra.effect_win.area = PF_EA_CONTROL;
    try {
        HandleEvent(&host.in_data, &host.out_data, nullptr, nullptr, &extra, kHeader, bannerImage.data(), flag, 2,
                    graphs);
        FAIL() << "no code thrown";
    } catch (PF_Err err) {
        EXPECT_EQ(err, PF_Err_INVALID_CALLBACK);
    }
    EXPECT_FALSE(handled());
    EXPECT_EQ(host.suites.totalAcquires(), 5);
    expectAllReturned();
}

// One host failure at a time, for a graph and for the banner: the first failing
// code is the event's, nothing later that needs it is called, and everything taken
// is given back.
struct FailureCase {
    const char* name;
    const char* missingSuite;  // or null
    int32_t suiteVersion;
    DrawbotCall call;
    PF_Err expected;
    int imagesMade;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class DrawFailureTest : public CustomUiTest, public ::testing::WithParamInterface<std::tuple<FailureCase, bool>> {
protected:
    void SetUp() override {
        const FailureCase& c = std::get<0>(GetParam());
        if (c.missingSuite != nullptr) {
            host.suites.fail(c.missingSuite, c.suiteVersion, SuiteFailure::Missing);
        } else {
            host.drawbot.fail(c.call);
        }
    }
};

int32_t graphPaints = 0;
int32_t countingCurve(uint8_t* pixels, PF_InData* in_data, PF_ParamDef** params, drawControlData* record) {
    ++graphPaints;
    return CurveGraphDraw(pixels, in_data, params, record);
}

TEST_P(DrawFailureTest, FirstFailureIsTheResultAndEverythingIsGivenBack) {
    const FailureCase& c = std::get<0>(GetParam());
    const bool banner = std::get<1>(GetParam());
    velocity.drawFunc = countingCurve;
    graphPaints = 0;
    const PF_Err err = banner ? send(PF_Event_DRAW, kHeader, PF_EA_PARAM_TITLE)
                              : send(PF_Event_DRAW, ParamId::VelCurveGraph);
    EXPECT_EQ(err, c.expected);
    EXPECT_FALSE(handled());
    EXPECT_EQ(host.drawbot.imagesMade(), c.imagesMade);
    EXPECT_EQ(host.drawbot.imagesReleased(), c.imagesMade);
    // The graph is painted even when the host cannot show it.
    if (!banner) {
        EXPECT_EQ(graphPaints, 1);
    }
    if (c.missingSuite != nullptr) {
        EXPECT_EQ(returnMessage(host.out_data), "Not able to acquire AEFX Suite.");
        EXPECT_NE(host.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
    }
    expectAllReturned();
}

constexpr PF_Err kHostError = standin::DrawbotHost::kDrawbotError;

INSTANTIATE_TEST_SUITE_P(
    HostFailures, DrawFailureTest,
    ::testing::Combine(
        ::testing::Values(
            FailureCase{"DrawSuite", kDRAWBOT_DrawSuite, 1, DrawbotCall::GetSupplier, PF_Err_BAD_CALLBACK_PARAM, 0},
            FailureCase{"SupplierSuite", kDRAWBOT_SupplierSuite, 1, DrawbotCall::GetSupplier, PF_Err_BAD_CALLBACK_PARAM, 0},
            FailureCase{"SurfaceSuite", kDRAWBOT_SurfaceSuite, 2, DrawbotCall::GetSupplier, PF_Err_BAD_CALLBACK_PARAM, 0},
            FailureCase{"PathSuite", kDRAWBOT_PathSuite, 1, DrawbotCall::GetSupplier, PF_Err_BAD_CALLBACK_PARAM, 0},
            FailureCase{"CustomUiSuite", kPFEffectCustomUISuite, 1, DrawbotCall::GetSupplier, PF_Err_BAD_CALLBACK_PARAM, 0},
            FailureCase{"DrawingReference", nullptr, 0, DrawbotCall::GetDrawingReference, kHostError, 0},
            FailureCase{"Supplier", nullptr, 0, DrawbotCall::GetSupplier, kHostError, 0},
            FailureCase{"Surface", nullptr, 0, DrawbotCall::GetSurface, kHostError, 0},
            FailureCase{"NewImage", nullptr, 0, DrawbotCall::NewImageFromBuffer, kHostError, 0},
            FailureCase{"DrawImage", nullptr, 0, DrawbotCall::DrawImage, kHostError, 1},
            FailureCase{"ReleaseObject", nullptr, 0, DrawbotCall::ReleaseObject, kHostError, 1}),
        ::testing::Bool()),
    [](const ::testing::TestParamInfo<std::tuple<FailureCase, bool>>& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "Banner" : "Graph");
    });

}  // namespace
