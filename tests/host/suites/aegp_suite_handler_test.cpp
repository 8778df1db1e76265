// AEGP_SuiteHandler: suites acquired on first use, each released once when the
// handler ends, and 516 thrown for a suite it cannot have.
#include "host/suites/aegp_suite_handler.h"

#include "tests/host/host_fixture.h"
#include "tools/standin_host/unused_slots.h"

namespace {

template <typename Body>
PF_Err thrownCode(Body&& body) {
    try {
        body();
    } catch (PF_Err err) {
        return err;
    }
    return PF_Err_NONE;
}

using AegpSuiteHandlerTest = HostFunctionTest;

TEST_F(AegpSuiteHandlerTest, NullBasicSuiteThrows516BeforeAnySuiteIsAsked) {
    EXPECT_EQ(thrownCode([] { AEGP_SuiteHandler suites(nullptr); }), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.log.size(), 0u);
}

TEST_F(AegpSuiteHandlerTest, AcquiresOnFirstUseOnlyAndReleasesOnce) {
    {
        AEGP_SuiteHandler suites(host.in_data.pica_basicP);
        EXPECT_EQ(host.log.size(), 0u);
        EXPECT_EQ(suites.HandleSuite(), host.handles.handleSuite());
        EXPECT_EQ(suites.HandleSuite(), host.handles.handleSuite());
    }
    EXPECT_EQ(host.log.entries(),
              (std::vector<std::string>{"AcquireSuite PF Handle Suite 2", "ReleaseSuite PF Handle Suite 2"}));
    EXPECT_TRUE(host.suites.balanced());
}

TEST_F(AegpSuiteHandlerTest, ReleasesEverySuiteItHeldInTableOrder) {
    PF_WorldSuite2 worldSuite = standin::unusedTable<PF_WorldSuite2>();
    DRAWBOT_PathSuite1 pathSuite = standin::unusedTable<DRAWBOT_PathSuite1>();
    host.suites.provide(kPFWorldSuite, 2, &worldSuite);
    host.suites.provide(kDRAWBOT_PathSuite, 1, &pathSuite);
    {
        AEGP_SuiteHandler suites(host.in_data.pica_basicP);
        EXPECT_EQ(suites.PathSuite(), &pathSuite);
        EXPECT_EQ(suites.WorldSuite(), &worldSuite);
        EXPECT_EQ(suites.HandleSuite(), host.handles.handleSuite());
        host.log.clear();
    }
    EXPECT_EQ(host.log.entries(), (std::vector<std::string>{"ReleaseSuite PF Handle Suite 2",
                                                            "ReleaseSuite PF World Suite 2",
                                                            "ReleaseSuite DRAWBOT Path Suite 1"}));
    EXPECT_TRUE(host.suites.balanced());
}

class AegpSuiteHandlerFailureTest : public AegpSuiteHandlerTest, public ::testing::WithParamInterface<SuiteFailure> {};

// A missing suite throws 516 without a message; what was acquired before is
// still given back.
TEST_P(AegpSuiteHandlerFailureTest, MissingSuiteThrows516AndReleasesTheOthers) {
    host.suites.fail(kPFHandleSuite, 2, GetParam());
    PF_WorldSuite2 worldSuite = standin::unusedTable<PF_WorldSuite2>();
    host.suites.provide(kPFWorldSuite, 2, &worldSuite);
    EXPECT_EQ(thrownCode([&] {
                  AEGP_SuiteHandler suites(host.in_data.pica_basicP);
                  suites.WorldSuite();
                  suites.HandleSuite();
              }),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.suites.acquires(kPFWorldSuite, 2), 1);
    EXPECT_EQ(host.suites.releases(kPFWorldSuite, 2), 1);
    EXPECT_EQ(host.suites.releases(kPFHandleSuite, 2), 0);
    EXPECT_EQ(returnMessage(host.out_data), "");
    EXPECT_EQ(host.out_data.out_flags, 0);
}

INSTANTIATE_TEST_SUITE_P(HostFailures, AegpSuiteHandlerFailureTest,
                         ::testing::Values(SuiteFailure::Missing, SuiteFailure::ErrorWithSuite,
                                           SuiteFailure::SuccessWithoutSuite));

}  // namespace
