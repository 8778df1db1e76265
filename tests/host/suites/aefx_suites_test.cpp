// The plain suite functions of the custom user interface: codes, messages and
// flags on every path, and every suite given back exactly as often as taken.
#include "host/suites/aefx_suites.h"

#include <ostream>

#include "platform/pf_custom_ui.h"
#include "tests/host/host_fixture.h"
#include "tools/standin_host/unused_slots.h"

namespace {

constexpr const char* kAcquireFailed = "Not able to acquire AEFX Suite.";
constexpr const char* kReleaseFailed = "Not able to release AEFX Suite.";

class AefxSuitesTest : public HostFunctionTest {
protected:
    void provideDrawbotSuites() {
        host.suites.provide(kDRAWBOT_DrawSuite, 1, &drawSuite);
        host.suites.provide(kDRAWBOT_SupplierSuite, 1, &supplierSuite);
        host.suites.provide(kDRAWBOT_SurfaceSuite, 2, &surfaceSuite);
        host.suites.provide(kDRAWBOT_PathSuite, 1, &pathSuite);
    }
    bool flagRaised() const { return (host.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) != 0; }

    PF_EffectCustomUISuite1 customUiSuite = standin::unusedTable<PF_EffectCustomUISuite1>();
    DRAWBOT_DrawbotSuite1 drawSuite = standin::unusedTable<DRAWBOT_DrawbotSuite1>();
    DRAWBOT_SupplierSuite1 supplierSuite = standin::unusedTable<DRAWBOT_SupplierSuite1>();
    DRAWBOT_SurfaceSuite2 surfaceSuite = standin::unusedTable<DRAWBOT_SurfaceSuite2>();
    DRAWBOT_PathSuite1 pathSuite = standin::unusedTable<DRAWBOT_PathSuite1>();
    // Stands for whatever a caller's pointer held before the call.
    const void* garbage = &pathSuite;
};

TEST_F(AefxSuitesTest, AcquireAndReleaseBalance) {
    host.suites.provide(kPFEffectCustomUISuite, 1, &customUiSuite);
    const void* suite = garbage;
    EXPECT_EQ(AEFX_AcquireSuite(&host.in_data, &host.out_data, kPFEffectCustomUISuite, 1, nullptr, &suite), 0);
    EXPECT_EQ(suite, &customUiSuite);
    EXPECT_EQ(AEFX_ReleaseSuite(&host.in_data, &host.out_data, kPFEffectCustomUISuite, 1, nullptr), 0);
    EXPECT_EQ(host.suites.acquires(kPFEffectCustomUISuite, 1), 1);
    EXPECT_TRUE(host.suites.balanced());
    EXPECT_FALSE(flagRaised());
}

TEST_F(AefxSuitesTest, AcquireJudgesByThePointerNotTheCode) {
    host.suites.provide(kPFEffectCustomUISuite, 1, &customUiSuite);
    host.suites.fail(kPFEffectCustomUISuite, 1, SuiteFailure::ErrorWithSuite);
    const void* suite = nullptr;
    EXPECT_EQ(AEFX_AcquireSuite(&host.in_data, &host.out_data, kPFEffectCustomUISuite, 1, nullptr, &suite), 0);
    EXPECT_EQ(suite, &customUiSuite);
    EXPECT_FALSE(flagRaised());
}

struct AcquireFailureCase {
    SuiteFailure failure;
    const char* message;   // the caller's, or null for the default
    const char* expected;  // in return_msg
};

// Printed by its fields: the record has padding that a byte dump would read.
void PrintTo(const AcquireFailureCase& c, std::ostream* os) {
    *os << "message " << (c.message != nullptr ? c.message : "(default)") << ", expecting " << c.expected;
}

class AefxAcquireFailureTest : public AefxSuitesTest, public ::testing::WithParamInterface<AcquireFailureCase> {};

// A pointer that held garbage before the call must read as a failure after it.
TEST_P(AefxAcquireFailureTest, Returns516WithMessageAndNullsThePointer) {
    host.suites.provide(kPFEffectCustomUISuite, 1, &customUiSuite);
    host.suites.fail(kPFEffectCustomUISuite, 1, GetParam().failure);
    const void* suite = garbage;
    EXPECT_EQ(AEFX_AcquireSuite(&host.in_data, &host.out_data, kPFEffectCustomUISuite, 1, GetParam().message, &suite),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(suite, nullptr);
    EXPECT_TRUE(flagRaised());
    EXPECT_EQ(returnMessage(host.out_data), GetParam().expected);
    EXPECT_EQ(host.suites.totalAcquires(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    HostFailures, AefxAcquireFailureTest,
    ::testing::Values(AcquireFailureCase{SuiteFailure::Missing, nullptr, kAcquireFailed},
                      AcquireFailureCase{SuiteFailure::SuccessWithoutSuite, nullptr, kAcquireFailed},
                      AcquireFailureCase{SuiteFailure::Missing, "No drawing here.", "No drawing here."}));

TEST_F(AefxSuitesTest, NoBasicSuiteFailsAcquireAndRelease) {
    host.in_data.pica_basicP = nullptr;
    const void* suite = garbage;
    EXPECT_EQ(AEFX_AcquireSuite(&host.in_data, &host.out_data, kPFEffectCustomUISuite, 1, nullptr, &suite),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(suite, nullptr);
    EXPECT_EQ(returnMessage(host.out_data), kAcquireFailed);

    EXPECT_EQ(AEFX_ReleaseSuite(&host.in_data, &host.out_data, kPFEffectCustomUISuite, 1, nullptr),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(returnMessage(host.out_data), kReleaseFailed);
    EXPECT_EQ(AEFX_ReleaseSuite(&host.in_data, &host.out_data, kPFEffectCustomUISuite, 1, "Cannot let go."),
              PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(returnMessage(host.out_data), "Cannot let go.");
    EXPECT_TRUE(flagRaised());
}

TEST_F(AefxSuitesTest, DrawbotSuitesAcquiredInOrderAndReleasedEachOnce) {
    provideDrawbotSuites();
    DRAWBOT_Suites suites{};
    EXPECT_EQ(AEFX_AcquireDrawbotSuites(&host.in_data, &host.out_data, &suites), 0);
    EXPECT_EQ(suites.drawbot_suiteP, &drawSuite);
    EXPECT_EQ(suites.supplier_suiteP, &supplierSuite);
    EXPECT_EQ(suites.surface_suiteP, &surfaceSuite);
    EXPECT_EQ(suites.path_suiteP, &pathSuite);
    EXPECT_EQ(AEFX_ReleaseDrawbotSuites(&host.in_data, &host.out_data, &suites), 0);
    EXPECT_EQ(host.log.entries(), (std::vector<std::string>{
                                      "AcquireSuite DRAWBOT Draw Suite 1",
                                      "AcquireSuite DRAWBOT Supplier Suite 1",
                                      "AcquireSuite DRAWBOT Surface Suite 2",
                                      "AcquireSuite DRAWBOT Path Suite 1",
                                      "ReleaseSuite DRAWBOT Draw Suite 1",
                                      "ReleaseSuite DRAWBOT Supplier Suite 1",
                                      "ReleaseSuite DRAWBOT Surface Suite 2",
                                      "ReleaseSuite DRAWBOT Path Suite 1",
                                  }));
    EXPECT_TRUE(host.suites.balanced());
    EXPECT_EQ(suites.drawbot_suiteP, nullptr);
    // A second release finds nothing held.
    EXPECT_EQ(AEFX_ReleaseDrawbotSuites(&host.in_data, &host.out_data, &suites), 0);
    EXPECT_EQ(host.suites.totalReleases(), 4);
}

TEST_F(AefxSuitesTest, NullDrawbotRecordReturns514AndAcquiresNothing) {
    provideDrawbotSuites();
    EXPECT_EQ(AEFX_AcquireDrawbotSuites(&host.in_data, &host.out_data, nullptr), PF_Err_UNRECOGNIZED_PARAM_TYPE);
    EXPECT_EQ(returnMessage(host.out_data), "NULL suite pointer passed to AEFX_AcquireDrawbotSuites");
    EXPECT_TRUE(flagRaised());
    EXPECT_EQ(host.log.entriesStartingWith("AcquireSuite").size(), 0u);
}

// The third suite missing: the first two are held, the fourth is not asked for,
// and the release gives back exactly the two.
TEST_F(AefxSuitesTest, PartialDrawbotAcquisitionReleasesOnlyWhatWasAcquired) {
    provideDrawbotSuites();
    host.suites.fail(kDRAWBOT_SurfaceSuite, 2, SuiteFailure::Missing);
    DRAWBOT_Suites suites{&drawSuite, &supplierSuite, &surfaceSuite, &pathSuite};  // stale values
    EXPECT_EQ(AEFX_AcquireDrawbotSuites(&host.in_data, &host.out_data, &suites), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(returnMessage(host.out_data), kAcquireFailed);
    EXPECT_TRUE(flagRaised());
    EXPECT_EQ(suites.drawbot_suiteP, &drawSuite);
    EXPECT_EQ(suites.supplier_suiteP, &supplierSuite);
    EXPECT_EQ(suites.surface_suiteP, nullptr);
    EXPECT_EQ(suites.path_suiteP, nullptr);
    EXPECT_EQ(host.log.entriesStartingWith("AcquireSuite DRAWBOT Path").size(), 0u);

    EXPECT_EQ(AEFX_ReleaseDrawbotSuites(&host.in_data, &host.out_data, &suites), 0);
    EXPECT_EQ(host.log.entriesStartingWith("ReleaseSuite"),
              (std::vector<std::string>{"ReleaseSuite DRAWBOT Draw Suite 1", "ReleaseSuite DRAWBOT Supplier Suite 1"}));
    EXPECT_TRUE(host.suites.balanced());
}

TEST_F(AefxSuitesTest, DrawbotReleaseWithoutBasicSuiteReturnsZeroWithMessage) {
    DRAWBOT_Suites suites{&drawSuite, &supplierSuite, &surfaceSuite, &pathSuite};
    host.in_data.pica_basicP = nullptr;
    EXPECT_EQ(AEFX_ReleaseDrawbotSuites(&host.in_data, &host.out_data, &suites), 0);
    EXPECT_TRUE(flagRaised());
    EXPECT_EQ(returnMessage(host.out_data), kReleaseFailed);
}

TEST_F(AefxSuitesTest, ScopedDrawbotSuitesGiveBackWhatTheyHoldOnEveryWayOut) {
    provideDrawbotSuites();
    host.suites.fail(kDRAWBOT_PathSuite, 1, SuiteFailure::SuccessWithoutSuite);
    try {
        ScopedDrawbotSuites drawbot(&host.in_data, &host.out_data);
        EXPECT_EQ(drawbot.acquire(), PF_Err_BAD_CALLBACK_PARAM);
        EXPECT_EQ(drawbot.suites().surface_suiteP, &surfaceSuite);
        throw PF_Err(PF_Err_INTERNAL_STRUCT_DAMAGED);
    } catch (PF_Err) {
    }
    EXPECT_EQ(host.suites.totalAcquires(), 3);
    EXPECT_TRUE(host.suites.balanced());
}

}  // namespace
