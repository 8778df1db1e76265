// Every parameter at the far ends of what its record can hold: each integer value
// (popup, slider, angle, checkbox) at the int32 edges and each float slider at
// infinities, NaN and huge values, one parameter at a time, through loading,
// both render commands and the drawing of both curve graphs. Under the
// UndefinedBehaviorSanitizer build nothing overflows; everywhere the effect
// answers with a code a host knows and gives back all it took.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/pf_custom_ui.h"
#include "tests/host/host_fixture.h"
#include "tests/host/render_road_fixture.h"

namespace {

constexpr int32_t kIntEdges[] = {std::numeric_limits<int32_t>::min(),
                                 std::numeric_limits<int32_t>::min() + 1,
                                 -65536,
                                 -1,
                                 0,
                                 1,
                                 65536,
                                 std::numeric_limits<int32_t>::max() - 1,
                                 std::numeric_limits<int32_t>::max()};

const double kFloatEdges[] = {std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::max(),
                              -std::numeric_limits<double>::max(),
                              1e30,
                              -1e30,
                              std::numeric_limits<double>::denorm_min()};

bool setsAnInteger(const PF_ParamDef& def) {
    switch (def.param_type) {
        case PF_Param_POPUP:
        case PF_Param_SLIDER:
        case PF_Param_FIX_SLIDER:
        case PF_Param_ANGLE:
        case PF_Param_CHECKBOX: return true;
        default: return false;
    }
}

void setInteger(PF_ParamDef& def, int32_t value) {
    switch (def.param_type) {
        case PF_Param_POPUP: def.u.pd.value = value; break;
        case PF_Param_SLIDER: def.u.sd.value = value; break;
        case PF_Param_FIX_SLIDER: def.u.fd.value = value; break;
        case PF_Param_ANGLE: def.u.ad.value = value; break;
        case PF_Param_CHECKBOX: def.u.bd.value = value; break;
        default: break;
    }
}

class ParamExtremesTest : public RenderRoadTest {
protected:
    // Renders a small frame with the host's parameters as given, on both commands
    // and in both hosts, and draws both graphs from them.
    void renderAndDraw(const std::vector<PF_ParamDef>& params, const std::string& what) {
        SCOPED_TRACE(what);
        for (const int32_t applId : {StandInHost::kApplIdAfterEffects, StandInHost::kApplIdPremierePro}) {
            host.in_data.appl_id = applId;
            auto frame = makeFrame(PixelDepth::k16, 11, 6);
            frame->params = params;
            expectKnownCode(frame->smartPreRender(module.effectMain()));
            expectKnownCode(frame->smartRender(module.effectMain()));
            frame->finishFrame();
            expectKnownCode(frame->render(module.effectMain()));
            EXPECT_TRUE(everythingReturned(*frame));
        }
        host.in_data.appl_id = StandInHost::kApplIdAfterEffects;
        std::vector<PF_ParamDef> copy = params;
        std::vector<PF_ParamDef*> pointers;
        for (PF_ParamDef& def : copy) pointers.push_back(&def);
        for (const char* graph : {"Velocity Curve/Graph", "Spread Curve/Graph"}) {
            PF_EventExtra extra{};
            extra.contextH = host.drawbot.context();
            extra.e_type = PF_Event_DRAW;
            extra.effect_win.index = graphIndex(graph);
            extra.effect_win.area = PF_EA_CONTROL;
            extra.effect_win.current_frame = PF_UnionableRect{0, 0, 50, 50};
            expectKnownCode(host.send(PF_Cmd_EVENT, pointers.data(), nullptr, &extra));
        }
        EXPECT_EQ(host.drawbot.liveImages(), 0);
        EXPECT_TRUE(host.suites.balanced());
        host.log.clear();
        host.drawbot.drawn.clear();
    }

    static void expectKnownCode(PF_Err err) {
        EXPECT_TRUE(err == PF_Err_NONE || err == PF_Err_UNRECOGNIZED_PARAM_TYPE) << err;
    }

    // The two graphs are the parameters named "Graph", velocity first.
    int32_t graphIndex(const std::string& which) const {
        int32_t seen = 0;
        for (size_t i = 0; i < registered.size(); ++i) {
            if (std::string(registered[i].name) != "Graph") continue;
            if (seen++ == (which == "Velocity Curve/Graph" ? 0 : 1)) return int32_t(i);
        }
        ADD_FAILURE() << "no " << which;
        return 0;
    }
};

TEST_F(ParamExtremesTest, EveryIntegerParameterAtTheInt32Edges) {
    int swept = 0;
    for (size_t index = 1; index < registered.size(); ++index) {
        if (!setsAnInteger(registered[index])) continue;
        ++swept;
        for (const int32_t value : kIntEdges) {
            std::vector<PF_ParamDef> params = registered;
            setInteger(params[index], value);
            renderAndDraw(params, std::string(registered[index].name) + " = " + std::to_string(value));
        }
    }
    EXPECT_GT(swept, 15);
}

TEST_F(ParamExtremesTest, EveryFloatSliderAtInfinitiesNaNAndHugeValues) {
    int swept = 0;
    for (size_t index = 1; index < registered.size(); ++index) {
        if (registered[index].param_type != PF_Param_FLOAT_SLIDER) continue;
        ++swept;
        for (const double value : kFloatEdges) {
            std::vector<PF_ParamDef> params = registered;
            params[index].u.fs_d.value = value;
            renderAndDraw(params, std::string(registered[index].name) + " = " + std::to_string(value));
        }
    }
    EXPECT_GT(swept, 15);
}

}  // namespace
