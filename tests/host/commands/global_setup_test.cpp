// Global setup as the host sees it, through the loaded module.
#include <string>
#include <vector>

#include "platform/pf_flags.h"
#include "platform/pf_suites.h"
#include "tests/host/host_fixture.h"
#include "tools/standin_host/world_formats.h"

namespace {

constexpr int32_t kPremiere = StandInHost::kApplIdPremierePro;
const std::string kPixelFormatSuite = "PF Pixel Format Suite";
const std::string kUtilitySuite = "PF Utility Suite";

class GlobalSetupTest : public ModuleTest {
protected:
    void SetUp() override {
        host.suites.provide(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, formats.pixelFormatSuite());
        // Whatever the host had there is replaced, not combined.
        host.out_data.my_version = 0xFFFFFFFF;
        host.out_data.out_flags = 0x7FFFFFFF;
        host.out_data.out_flags2 = 0x7FFFFFFF;
    }
    void expectVersionAndFlags(int32_t outFlags) {
        EXPECT_EQ(host.out_data.my_version, 0x80601u);
        EXPECT_EQ(host.out_data.out_flags, outFlags);
        EXPECT_EQ(host.out_data.out_flags2, 0x08801418);
    }
    static std::string added(PrPixelFormat format) {
        return "AddSupportedPixelFormat " + std::to_string(format);
    }
    standin::WorldFormats formats{host.log};
};

TEST_F(GlobalSetupTest, CompositingHostGetsVersionAndFlagsAndNoSuiteCall) {
    EXPECT_EQ(host.send(PF_Cmd_GLOBAL_SETUP), PF_Err_NONE);
    expectVersionAndFlags(0x06008000);
    EXPECT_EQ(host.suites.totalAcquires(), 0);
    EXPECT_EQ(host.log.size(), 0u);
    EXPECT_EQ(returnMessage(host.out_data), "");
}

TEST_F(GlobalSetupTest, EditingHostRegistersTheThreeRenderFormats) {
    host.in_data.appl_id = kPremiere;
    EXPECT_EQ(host.send(PF_Cmd_GLOBAL_SETUP), PF_Err_NONE);
    expectVersionAndFlags(0x06008000);
    EXPECT_EQ(host.log.entries(),
              (std::vector<std::string>{
                  "AcquireSuite PF Pixel Format Suite 1",
                  "ClearSupportedPixelFormats",
                  added(PrPixelFormat(0x62677261)),
                  added(PrPixelFormat(0x62677241)),
                  added(PrPixelFormat(0x62675241)),
                  "AcquireSuite PF Utility Suite 4",
                  "EffectWantsCheckedOutFramesToMatchRenderPixelFormat",
                  "ReleaseSuite PF Utility Suite 4",
                  "ReleaseSuite PF Pixel Format Suite 1",
              }));
    EXPECT_EQ(formats.clears(), 1);
    EXPECT_EQ(formats.supportedFormats(),
              (std::vector<PrPixelFormat>{PrPixelFormat(0x62677261), PrPixelFormat(0x62677241),
                                          PrPixelFormat(0x62675241)}));
    EXPECT_TRUE(host.suites.balanced());
}

TEST_F(GlobalSetupTest, RefusedUtilityCallIsNotReported) {
    host.in_data.appl_id = kPremiere;
    host.utility.framesToMatchResult = PF_Err_INTERNAL_STRUCT_DAMAGED;
    EXPECT_EQ(host.send(PF_Cmd_GLOBAL_SETUP), PF_Err_NONE);
    EXPECT_EQ(host.utility.framesToMatchRequests, 1);
    EXPECT_TRUE(host.suites.balanced());
}

TEST_F(GlobalSetupTest, MissingUtilitySuiteEndsWith13AfterTheFormatsAreRegistered) {
    host.in_data.appl_id = kPremiere;
    for (SuiteFailure how : {SuiteFailure::Missing, SuiteFailure::ErrorWithSuite,
                             SuiteFailure::SuccessWithoutSuite}) {
        host.out_data.out_flags = 0;
        host.suites.fail(kUtilitySuite, 4, how);
        EXPECT_EQ(host.send(PF_Cmd_GLOBAL_SETUP), A_Err_MISSING_SUITE);
        EXPECT_EQ(host.out_data.out_flags, 0x06008100) << "with the display-error flag";
        EXPECT_EQ(returnMessage(host.out_data), "Not able to acquire AEFX Suite.");
        EXPECT_EQ(formats.supportedFormats().size(), 3u);
        EXPECT_EQ(host.utility.framesToMatchRequests, 0);
        EXPECT_EQ(host.suites.acquires(kPixelFormatSuite, 1), host.suites.releases(kPixelFormatSuite, 1));
    }
    EXPECT_EQ(host.suites.acquires(kUtilitySuite, 4), host.suites.releases(kUtilitySuite, 4));
}

TEST_F(GlobalSetupTest, MissingPixelFormatSuiteEndsWith13BeforeAnything) {
    host.in_data.appl_id = kPremiere;
    host.suites.fail(kPixelFormatSuite, 1, SuiteFailure::Missing);
    EXPECT_EQ(host.send(PF_Cmd_GLOBAL_SETUP), A_Err_MISSING_SUITE);
    expectVersionAndFlags(0x06008000 | PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    EXPECT_EQ(returnMessage(host.out_data), "Not able to acquire AEFX Suite.");
    EXPECT_EQ(formats.clears(), 0);
    EXPECT_EQ(host.suites.acquires(kUtilitySuite, 4), 0);
    EXPECT_TRUE(host.suites.balanced());
}

TEST_F(GlobalSetupTest, RunningAgainWritesTheSameValues) {
    host.in_data.appl_id = kPremiere;
    ASSERT_EQ(host.send(PF_Cmd_GLOBAL_SETUP), PF_Err_NONE);
    ASSERT_EQ(host.send(PF_Cmd_GLOBAL_SETUP), PF_Err_NONE);
    expectVersionAndFlags(0x06008000);
    EXPECT_EQ(formats.supportedFormats().size(), 3u) << "cleared before registering again";
    EXPECT_EQ(formats.clears(), 2);
}

}  // namespace
