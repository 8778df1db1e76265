// The event command through the loaded module: which hosts get custom drawing,
// the graph and banner indices it looks up, and the about box on a double-click.
#include <gtest/gtest.h>

#include <vector>

#include "host/ui/graph_grid.h"
#include "platform/pf_custom_ui.h"
#include "platform/pf_flags.h"
#include "tests/host/host_fixture.h"

namespace {

class UiEventTest : public ModuleTest {
protected:
    void setUpHost(int32_t appl_id, int16_t major, int16_t minor) {
        host.in_data.appl_id = appl_id;
        host.in_data.version = PF_SpecVersion{major, minor};
        ASSERT_EQ(host.send(PF_Cmd_PARAMS_SETUP), PF_Err_NONE);
        defs = host.params.paramsFromRegistration();
        for (PF_ParamDef& def : defs) pointers.push_back(&def);
        host.log.clear();
        host.out_data = PF_OutData{};
        extra.contextH = host.drawbot.context();
        extra.effect_win.current_frame = PF_UnionableRect{7, 9, 57, 59};
        extra.effect_win.param_title_frame = PF_UnionableRect{3, 5, 323, 22};
    }

    PF_Err event(PF_EventType type, PF_ParamIndex index, PF_EffectArea area, uint32_t when = 0) {
        extra.e_type = type;
        extra.effect_win.index = index;
        extra.effect_win.area = area;
        extra.u.do_click.when = when;
        extra.evt_out_flags = 0;
        return host.send(PF_Cmd_EVENT, pointers.data(), nullptr, &extra);
    }

    std::vector<PF_ParamDef> defs;
    std::vector<PF_ParamDef*> pointers;
    PF_EventExtra extra{};
};

constexpr int32_t kAfterEffects = StandInHost::kApplIdAfterEffects;

TEST_F(UiEventTest, CompositingHostBefore13_9GetsNoCustomDrawing) {
    setUpHost(kAfterEffects, 13, 8);
    // Without the graphs the "Floor" of the spread curve sits at index 37.
    EXPECT_EQ(event(PF_Event_DRAW, 37, PF_EA_CONTROL), PF_Err_NONE);
    EXPECT_EQ(event(PF_Event_DRAW, 0, PF_EA_PARAM_TITLE), PF_Err_NONE);
    EXPECT_EQ(event(PF_Event_DO_CLICK, 0, PF_EA_PARAM_TITLE, 10), PF_Err_NONE);
    EXPECT_EQ(event(PF_Event_DO_CLICK, 0, PF_EA_PARAM_TITLE, 11), PF_Err_NONE);
    EXPECT_EQ(host.log.size(), 0u);
    EXPECT_EQ(extra.evt_out_flags, 0);
    EXPECT_EQ(returnMessage(host.out_data), "");
}

struct DrawingHost {
    const char* name;
    int32_t appl_id;
    int16_t major, minor;
    PF_ParamIndex velocityGraph, spreadGraph;
};

class GraphEventTest : public UiEventTest, public ::testing::WithParamInterface<DrawingHost> {};

// Linear Ramp Up by default: the diagonal, whose pixel (24, 23) sums to 182, grey
// 64 + int(159 sin(182/255 x pi/2)) = 64 + 143 = 207.
TEST_P(GraphEventTest, GraphsAtTheirHostIndices) {
    const DrawingHost& c = GetParam();
    setUpHost(c.appl_id, c.major, c.minor);
    EXPECT_EQ(event(PF_Event_DRAW, c.velocityGraph, PF_EA_CONTROL), PF_Err_NONE);
    EXPECT_EQ(extra.evt_out_flags, PF_EO_HANDLED_EVENT);
    EXPECT_EQ(event(PF_Event_DRAW, c.spreadGraph, PF_EA_CONTROL), PF_Err_NONE);
    ASSERT_EQ(host.drawbot.drawn.size(), 2u);
    for (const standin::DrawnImage& image : host.drawbot.drawn) {
        EXPECT_EQ(image.width, 50);
        EXPECT_EQ(image.origin.x, 7.0f);
        EXPECT_EQ(image.origin.y, 9.0f);
        EXPECT_EQ(image.pixels[(24 * 50 + 23) * 4], 207);
    }
    EXPECT_TRUE(host.suites.balanced());
    EXPECT_EQ(host.drawbot.liveImages(), 0);
}

INSTANTIATE_TEST_SUITE_P(HostsThatDraw, GraphEventTest,
                         ::testing::Values(DrawingHost{"Compositing13_9", kAfterEffects, 13, 9, 34, 41},
                                           DrawingHost{"Compositing14_0", kAfterEffects, 14, 0, 34, 41},
                                           DrawingHost{"Editing13_8", StandInHost::kApplIdPremierePro, 13, 8, 33, 40},
                                           DrawingHost{"Editing12_0", StandInHost::kApplIdPremierePro, 12, 0, 33, 40}),
                         [](const ::testing::TestParamInfo<DrawingHost>& info) { return std::string(info.param.name); });

TEST_F(UiEventTest, BannerInTheHeadersTitleArea) {
    setUpHost(kAfterEffects, 13, 27);
    EXPECT_EQ(event(PF_Event_DRAW, 1, PF_EA_PARAM_TITLE), PF_Err_NONE);
    ASSERT_EQ(host.drawbot.drawn.size(), 1u);
    EXPECT_EQ(host.drawbot.drawn[0].width, 320);
    EXPECT_EQ(host.drawbot.drawn[0].height, 17);
    EXPECT_EQ(host.drawbot.drawn[0].origin.x, 3.0f);
    EXPECT_EQ(host.drawbot.drawn[0].origin.y, 5.0f);
    EXPECT_EQ(extra.evt_out_flags, PF_EO_HANDLED_EVENT);
}

TEST_F(UiEventTest, BannerInTheControlAreaAt13_23) {
    setUpHost(kAfterEffects, 13, 23);
    EXPECT_EQ(event(PF_Event_DRAW, 1, PF_EA_PARAM_TITLE), PF_Err_NONE);
    EXPECT_EQ(host.drawbot.drawn.size(), 0u);
    EXPECT_EQ(event(PF_Event_DRAW, 1, PF_EA_CONTROL), PF_Err_NONE);
    ASSERT_EQ(host.drawbot.drawn.size(), 1u);
    EXPECT_EQ(host.drawbot.drawn[0].origin.x, 7.0f);
}

// The click times are far from any other test's, so what an earlier test left
// as the last click does not pair with them.
TEST_F(UiEventTest, DoubleClickOnTheBannerShowsTheAboutBox) {
    setUpHost(kAfterEffects, 13, 27);
    EXPECT_EQ(event(PF_Event_DO_CLICK, 1, PF_EA_PARAM_TITLE, 70000000), PF_Err_NONE);
    EXPECT_EQ(returnMessage(host.out_data), "");
    EXPECT_EQ(event(PF_Event_DO_CLICK, 1, PF_EA_PARAM_TITLE, 70000031), PF_Err_NONE);
    EXPECT_EQ(returnMessage(host.out_data), "Ondrava 1.0.0");
    EXPECT_EQ(extra.evt_out_flags, 0);
    host.out_data = PF_OutData{};
    // The pair is spent: the next quick click starts a new one.
    EXPECT_EQ(event(PF_Event_DO_CLICK, 1, PF_EA_PARAM_TITLE, 70000040), PF_Err_NONE);
    EXPECT_EQ(returnMessage(host.out_data), "");
}

// As the render commands do, the event command answers a host that hands no event
// record with 516, touching nothing.
TEST_F(UiEventTest, AnEventWithoutItsRecordGets516) {
    for (const int16_t minor : {int16_t(23), int16_t(27)}) {
        setUpHost(kAfterEffects, 13, minor);
        EXPECT_EQ(host.send(PF_Cmd_EVENT, pointers.data(), nullptr, nullptr), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(host.log.size(), 0u);
        EXPECT_EQ(returnMessage(host.out_data), "");
    }
}

TEST_F(UiEventTest, DrawFailureReachesTheHost) {
    setUpHost(kAfterEffects, 13, 27);
    host.suites.fail(kDRAWBOT_SurfaceSuite, 2, SuiteFailure::Missing);
    EXPECT_EQ(event(PF_Event_DRAW, 34, PF_EA_CONTROL), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(returnMessage(host.out_data), "Not able to acquire AEFX Suite.");
    EXPECT_EQ(extra.evt_out_flags, 0);
    EXPECT_TRUE(host.suites.balanced());
}

}  // namespace
