#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "host/params/param_map.h"
#include "host/params/param_setup.h"
#include "host/params/param_table.h"
#include "tests/host/param_fixture.h"
#include "tests/host/zero_bytes.h"

namespace {

using params_test::kAfterEffects;
using params_test::kPremiere;

class ParamSetup : public params_test::ParamsTest {
protected:
    PF_Err setup() {
        out_data.num_params = 777;
        return UIInitParams(&in_data, &out_data, nullptr);
    }
    std::vector<int32_t> addedIds() const {
        std::vector<int32_t> ids;
        for (const PF_ParamDef& def : host.added) ids.push_back(def.uu.id);
        return ids;
    }
};

std::vector<int32_t> idsExcept(std::vector<int32_t> left_out) {
    std::vector<int32_t> ids;
    for (int32_t id = 1; id <= 50; ++id) {
        bool skip = false;
        for (int32_t l : left_out) skip = skip || l == id;
        if (!skip) ids.push_back(id);
    }
    return ids;
}

struct HostCase {
    const char* label;
    int32_t appl_id;
    int16_t major, minor;
    std::vector<int32_t> leftOut;
    int32_t count;
};

TEST_F(ParamSetup, RegistersTheIdsOfEachHostInOrder) {
    const HostCase cases[] = {
        {"After Effects 13.9", kAfterEffects, 13, 9, {}, 51},
        {"After Effects 13.27", kAfterEffects, 13, 27, {}, 51},
        {"After Effects 14.0", kAfterEffects, 14, 0, {}, 51},
        {"After Effects 13.8", kAfterEffects, 13, 8, {1, 34, 41}, 48},
        {"After Effects 12.30", kAfterEffects, 12, 30, {1, 34, 41}, 48},
        {"Premiere Pro 13.27", kPremiere, 13, 27, {1}, 50},
        {"Premiere Pro 13.8", kPremiere, 13, 8, {1}, 50},
    };
    for (const HostCase& c : cases) {
        SCOPED_TRACE(c.label);
        host.clearRegistration();
        useHost(c.appl_id, c.major, c.minor);
        ASSERT_EQ(setup(), PF_Err_NONE);
        const std::vector<int32_t> expected = idsExcept(c.leftOut);
        EXPECT_EQ(addedIds(), expected);
        EXPECT_EQ(out_data.num_params, c.count);
        EXPECT_EQ(paramIdToIndex().size(), c.count - 1);
        for (size_t k = 0; k < expected.size(); ++k) {
            EXPECT_EQ(getParamIndexFromId(expected[k]), int32_t(k + 1)) << "id " << expected[k];
            EXPECT_EQ(host.addIndices[k], -1) << "appended";
        }
        for (int32_t id : c.leftOut) EXPECT_EQ(getParamIndexFromId(id), 0) << "id " << id;
        EXPECT_NO_THROW(verifyNumParams(c.count));
    }
}

TEST_F(ParamSetup, OrdinaryDefinitionsAreTheTableRowsWithTheirNames) {
    ASSERT_EQ(setup(), PF_Err_NONE);
    for (const PF_ParamDef& sent : host.added) {
        const ParamDefinition& row = *findParamDefinition(sent.uu.id);
        if (row.presence != ParamPresence::Always) continue;
        SCOPED_TRACE(sent.uu.id);
        PF_ParamDef expected;
        fillParamDef(row, &expected);
        std::strcpy(expected.name, row.name);
        EXPECT_EQ(std::memcmp(&sent, &expected, sizeof sent), 0);
    }
}

TEST_F(ParamSetup, IndicesInTheOlderCompositingHostSkipTheGraphs) {
    useHost(kAfterEffects, 13, 8);
    ASSERT_EQ(setup(), PF_Err_NONE);
    EXPECT_EQ(getParamIndexFromId(2), 1);
    EXPECT_EQ(getParamIndexFromId(33), 32);
    EXPECT_EQ(getParamIndexFromId(35), 33);
    EXPECT_EQ(getParamIndexFromId(40), 38);
    EXPECT_EQ(getParamIndexFromId(42), 39);
    EXPECT_EQ(getParamIndexFromId(50), 47);
    EXPECT_TRUE(host.registeredUI.empty());
}

struct BannerCase {
    int16_t minor;
    const char* name;
    int32_t uiFlags;
};

TEST_F(ParamSetup, BannerIsNamedAndDrawnInItsControlAreaAtExactly13_23) {
    const BannerCase cases[] = {{22, "", PF_PUI_TOPIC}, {23, "About", PF_PUI_CONTROL},
                                {24, "", PF_PUI_TOPIC}};
    for (const BannerCase& c : cases) {
        SCOPED_TRACE(c.minor);
        host.clearRegistration();
        useHost(kAfterEffects, 13, c.minor);
        ASSERT_EQ(setup(), PF_Err_NONE);
        const PF_ParamDef& banner = host.added[0];
        EXPECT_EQ(banner.uu.id, 1);
        EXPECT_EQ(banner.param_type, PF_Param_NO_DATA);
        EXPECT_STREQ(banner.name, c.name);
        EXPECT_EQ(banner.flags, 0x42);
        EXPECT_EQ(banner.ui_flags, c.uiFlags);
        EXPECT_EQ(banner.ui_width, 320);
        EXPECT_EQ(banner.ui_height, 17);
        EXPECT_TRUE(allBytesZero(banner.u));
        ASSERT_EQ(host.registeredUI.size(), 3u);
        EXPECT_EQ(host.registeredUIAfter[0], 1) << "right after the banner";
        const PF_CustomUIInfo& info = host.registeredUI[0];
        EXPECT_EQ(info.events, 0xFF);
        EXPECT_EQ(info.comp_ui_width, 0);
        EXPECT_EQ(info.layer_ui_height, 0);
        EXPECT_EQ(info.preview_ui_alignment, 0);
        EXPECT_EQ(info.reserved, 0);
    }
}

void expectGraph(const PF_ParamDef& def, int32_t id, int32_t type) {
    SCOPED_TRACE(id);
    EXPECT_EQ(def.uu.id, id);
    EXPECT_EQ(def.param_type, type);
    EXPECT_STREQ(def.name, "Graph");
    EXPECT_EQ(def.flags, PF_ParamFlag_CANNOT_TIME_VARY);
    EXPECT_EQ(def.ui_flags, PF_PUI_CONTROL);
    EXPECT_EQ(def.ui_width, 50);
    EXPECT_EQ(def.ui_height, 50);
    if (type == PF_Param_ARBITRARY_DATA) {
        EXPECT_EQ(def.u.arb_d.id, id);
        EXPECT_EQ(def.u.arb_d.pad, 0);
        EXPECT_EQ(def.u.arb_d.dephault, nullptr);
        EXPECT_EQ(def.u.arb_d.value, nullptr);
        EXPECT_EQ(def.u.arb_d.refconPV, nullptr);
    } else {
        EXPECT_TRUE(allBytesZero(def.u));
    }
}

void expectGraphUI(const PF_CustomUIInfo& info) {
    EXPECT_EQ(info.events, PF_CustomEFlag_EFFECT | PF_CustomEFlag_PREVIEW);
    EXPECT_EQ(info.comp_ui_width, 50);
    EXPECT_EQ(info.comp_ui_height, 50);
    EXPECT_EQ(info.comp_ui_alignment, PF_UIAlignment_TOP);
    EXPECT_EQ(info.layer_ui_width, 50);
    EXPECT_EQ(info.layer_ui_height, 50);
    EXPECT_EQ(info.layer_ui_alignment, PF_UIAlignment_TOP);
    EXPECT_EQ(info.preview_ui_width, 50);
    EXPECT_EQ(info.preview_ui_height, 50);
    EXPECT_EQ(info.preview_ui_alignment, PF_UIAlignment_NONE);
    EXPECT_EQ(info.reserved, 0);
}

TEST_F(ParamSetup, GraphsAreNoDataInTheCompositingHost) {
    ASSERT_EQ(setup(), PF_Err_NONE);
    expectGraph(host.added[33], 34, PF_Param_NO_DATA);
    expectGraph(host.added[40], 41, PF_Param_NO_DATA);
    ASSERT_EQ(host.registeredUI.size(), 3u);
    EXPECT_EQ(host.registeredUIAfter[1], 34);
    EXPECT_EQ(host.registeredUIAfter[2], 41);
    expectGraphUI(host.registeredUI[1]);
    expectGraphUI(host.registeredUI[2]);
}

TEST_F(ParamSetup, GraphsAreArbitraryDataInTheEditingHost) {
    useHost(kPremiere, 13, 8);
    ASSERT_EQ(setup(), PF_Err_NONE);
    expectGraph(host.added[32], 34, PF_Param_ARBITRARY_DATA);
    expectGraph(host.added[39], 41, PF_Param_ARBITRARY_DATA);
    ASSERT_EQ(host.registeredUI.size(), 2u);
    EXPECT_EQ(host.registeredUIAfter[0], 33);
    expectGraphUI(host.registeredUI[0]);
    expectGraphUI(host.registeredUI[1]);
}

TEST_F(ParamSetup, PopupsPointAtTheirItemLists) {
    ASSERT_EQ(setup(), PF_Err_NONE);
    EXPECT_EQ(host.addedPopupItems[1], "Right|Left|Down|Up");
    EXPECT_EQ(host.addedPopupItems[44], "None|All|All (No Start)|Full Alpha Only");
}

struct RefusalCase {
    int32_t appl_id;
    int16_t minor;
    int32_t refusedId;
    int32_t recorded;  // ids the map holds afterwards
};

// A refused parameter ends setup with the host's code, wherever it stands; the
// map then counts exactly what the host holds, so no later index is shifted.
TEST_F(ParamSetup, RefusedParameterEndsSetupWithOnlyWhatTheHostHolds) {
    const RefusalCase cases[] = {
        {kAfterEffects, 27, 20, 19}, {kAfterEffects, 27, 1, 0},  {kAfterEffects, 27, 34, 33},
        {kAfterEffects, 27, 41, 40}, {kPremiere, 27, 34, 32},    {kAfterEffects, 8, 35, 32},
        {kAfterEffects, 27, 50, 49}, {kAfterEffects, 27, 2, 1},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE("refused id " + std::to_string(c.refusedId));
        host.clearRegistration();
        host.failAddParamForId = {{c.refusedId, PF_Err_OUT_OF_MEMORY}};
        useHost(c.appl_id, 13, c.minor);
        EXPECT_EQ(setup(), PF_Err_OUT_OF_MEMORY);
        EXPECT_EQ(out_data.num_params, 777) << "not written";
        EXPECT_EQ(paramIdToIndex().size(), c.recorded);
        EXPECT_EQ(int32_t(host.added.size()), c.recorded);
        EXPECT_EQ(getParamIndexFromId(c.refusedId), 0);
        for (int32_t k = 0; k < c.recorded; ++k) {
            EXPECT_EQ(getParamIndexFromId(host.added[size_t(k)].uu.id), k + 1);
        }
        for (size_t ui = 0; ui < host.registeredUIAfter.size(); ++ui) {
            EXPECT_NE(host.added[size_t(host.registeredUIAfter[ui] - 1)].uu.id, c.refusedId)
                << "no custom UI for a refused parameter";
        }
    }
}

TEST_F(ParamSetup, RefusedCustomUIKeepsTheParameterAndGoesOn) {
    for (int32_t call = 0; call < 3; ++call) {
        SCOPED_TRACE(call);
        host.clearRegistration();
        host.failRegisterUIAt = {{call, PF_Err_INTERNAL_STRUCT_DAMAGED}};
        EXPECT_EQ(setup(), PF_Err_NONE);
        EXPECT_EQ(out_data.num_params, 51);
        EXPECT_EQ(host.added.size(), 50u);
        EXPECT_EQ(host.registeredUI.size(), 3u);
        EXPECT_EQ(getParamIndexFromId(50), 50);
    }
}

TEST_F(ParamSetup, RepeatedSetupPublishesTheSameMap) {
    ASSERT_EQ(setup(), PF_Err_NONE);
    const ParamIdMap* first = &paramIdToIndex();
    ASSERT_EQ(setup(), PF_Err_NONE);
    EXPECT_EQ(&paramIdToIndex(), first);
    EXPECT_NO_THROW(verifyNumParams(51));
}

TEST_F(ParamSetup, VerifyNumParamsCountsTheInputLayer) {
    ASSERT_EQ(setup(), PF_Err_NONE);
    EXPECT_NO_THROW(verifyNumParams(51));
    EXPECT_THROW(verifyNumParams(50), std::logic_error);
    EXPECT_THROW(verifyNumParams(52), std::logic_error);
    try {
        verifyNumParams(50);
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(),
                     "Reported parameter count does not match actual parameter count. This would "
                     "lead to incorrect values.");
    }
    publishParamIdMap(ParamIdMap{});
    EXPECT_NO_THROW(verifyNumParams(1));
}

TEST_F(ParamSetup, UnregisteredIdsLookUpAsTheInputLayer) {
    useHost(kPremiere, 13, 27);
    ASSERT_EQ(setup(), PF_Err_NONE);
    EXPECT_EQ(getParamIndexFromId(1), 0);
    EXPECT_EQ(getParamIndexFromId(0), 0);
    EXPECT_EQ(getParamIndexFromId(51), 0);
    EXPECT_EQ(paramIdToIndex().size(), 49);
}

TEST_F(ParamSetup, ParameterCommandsChangeNothing) {
    PF_UserChangedParamExtra extra{1};
    EXPECT_EQ(UIOnUserChangedParam(&in_data, &out_data, nullptr, &extra), PF_Err_NONE);
    EXPECT_EQ(UIOnParamsUpdated(&in_data, &out_data, nullptr), PF_Err_NONE);
    EXPECT_TRUE(host.added.empty());
    EXPECT_TRUE(host.registeredUI.empty());
}

}  // namespace
