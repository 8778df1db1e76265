// ScopedSuite: held for one scope, given back on every way out, and a failed
// acquisition thrown as A_Err_MISSING_SUITE.
#include "host/suites/scoped_suite.h"

#include "platform/pf_suites.h"
#include "tests/host/host_fixture.h"
#include "tools/standin_host/unused_slots.h"

namespace {

constexpr const char* kAcquireFailed = "Not able to acquire AEFX Suite.";

class ScopedSuiteTest : public HostFunctionTest {
protected:
    PF_Err acquireWorldSuite(PF_OutData* out_data, const char* message = messages::kAcquireSuiteFailed) {
        try {
            ScopedSuite<PF_WorldSuite2> suite(&host.in_data, kPFWorldSuite, kPFWorldSuiteVersion2, out_data, message);
            EXPECT_EQ(suite.get(), &worldSuite);
            return PF_Err_NONE;
        } catch (PF_Err err) {
            return err;
        }
    }

    PF_WorldSuite2 worldSuite = standin::unusedTable<PF_WorldSuite2>();
};

TEST_F(ScopedSuiteTest, AcquiresOnceAndReleasesAtTheEndOfTheScope) {
    host.suites.provide(kPFWorldSuite, kPFWorldSuiteVersion2, &worldSuite);
    EXPECT_EQ(acquireWorldSuite(&host.out_data), PF_Err_NONE);
    EXPECT_EQ(host.log.entries(),
              (std::vector<std::string>{"AcquireSuite PF World Suite 2", "ReleaseSuite PF World Suite 2"}));
    EXPECT_TRUE(host.suites.balanced());
    EXPECT_EQ(host.out_data.out_flags, 0);
}

TEST_F(ScopedSuiteTest, TwoScopesReleaseInReverseOrderWhenACodeIsThrown) {
    PF_PixelFormatSuite1 pixelFormatSuite = standin::unusedTable<PF_PixelFormatSuite1>();
    PF_UtilitySuite4 utilitySuite = standin::unusedTable<PF_UtilitySuite4>();
    host.suites.provide(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, &pixelFormatSuite);
    host.suites.provide(kPFUtilitySuite, kPFUtilitySuiteVersion4, &utilitySuite);
    try {
        ScopedSuite<PF_PixelFormatSuite1> first(&host.in_data, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1);
        ScopedSuite<PF_UtilitySuite4> second(&host.in_data, kPFUtilitySuite, kPFUtilitySuiteVersion4);
        throw PF_Err(PF_Err_INTERNAL_STRUCT_DAMAGED);
    } catch (PF_Err err) {
        EXPECT_EQ(err, PF_Err_INTERNAL_STRUCT_DAMAGED);
    }
    EXPECT_EQ(host.log.entriesStartingWith("ReleaseSuite"),
              (std::vector<std::string>{"ReleaseSuite PF Utility Suite 4", "ReleaseSuite PF Pixel Format Suite 1"}));
    EXPECT_TRUE(host.suites.balanced());
}

// Every way the host can fail to hand over a suite ends the same: 13, nothing
// to release, and the message with the display-error flag.
class ScopedSuiteFailureTest : public ScopedSuiteTest, public ::testing::WithParamInterface<SuiteFailure> {};

TEST_P(ScopedSuiteFailureTest, ThrowsMissingSuiteWithMessageAndFlag) {
    host.suites.provide(kPFWorldSuite, kPFWorldSuiteVersion2, &worldSuite);
    host.suites.fail(kPFWorldSuite, kPFWorldSuiteVersion2, GetParam());
    host.out_data.out_flags = PF_OutFlag_CUSTOM_UI;

    EXPECT_EQ(acquireWorldSuite(&host.out_data), A_Err_MISSING_SUITE);

    EXPECT_EQ(host.out_data.out_flags, PF_OutFlag_CUSTOM_UI | PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    EXPECT_EQ(returnMessage(host.out_data), kAcquireFailed);
    EXPECT_EQ(host.suites.totalAcquires(), 0);
    EXPECT_EQ(host.suites.totalReleases(), 0);
}

INSTANTIATE_TEST_SUITE_P(HostFailures, ScopedSuiteFailureTest,
                         ::testing::Values(SuiteFailure::Missing, SuiteFailure::ErrorWithSuite,
                                           SuiteFailure::SuccessWithoutSuite));

TEST_F(ScopedSuiteTest, FailureWithoutOutputDataWritesNothing) {
    EXPECT_EQ(acquireWorldSuite(nullptr), A_Err_MISSING_SUITE);
    EXPECT_EQ(host.log.entries(), std::vector<std::string>{"AcquireSuite PF World Suite 2"});
    EXPECT_EQ(returnMessage(host.out_data), "");
}

TEST_F(ScopedSuiteTest, FailureWritesTheCallersMessage) {
    EXPECT_EQ(acquireWorldSuite(&host.out_data, "No world suite."), A_Err_MISSING_SUITE);
    EXPECT_EQ(returnMessage(host.out_data), "No world suite.");
}

TEST_F(ScopedSuiteTest, NoBasicSuiteIsAFailedAcquisition) {
    host.in_data.pica_basicP = nullptr;
    EXPECT_EQ(acquireWorldSuite(&host.out_data), A_Err_MISSING_SUITE);
    EXPECT_EQ(returnMessage(host.out_data), kAcquireFailed);
}

TEST_F(ScopedSuiteTest, MessageIsNeverUsedAsAFormat) {
    EXPECT_EQ(acquireWorldSuite(&host.out_data, "100% %s %n"), A_Err_MISSING_SUITE);
    EXPECT_EQ(returnMessage(host.out_data), "100% %s %n");
}

}  // namespace
