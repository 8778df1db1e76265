// The stand-in host itself: the tests of the effect rely on its handles, its
// string callbacks, its suite registry and its call log behaving as a host's.
#include <cstring>

#include "tests/host/host_fixture.h"

namespace {

using StandInHostTest = HostFunctionTest;

TEST_F(StandInHostTest, HandleValueStaysWhenTheBlockIsResized) {
    PF_UtilCallbacks& utils = *host.in_data.utils;
    PF_Handle handle = utils.host_new_handle(8);
    ASSERT_NE(handle, nullptr);
    std::memcpy(*handle, "abcdefgh", 8);
    PF_Handle resized = handle;
    EXPECT_EQ(utils.host_resize_handle(100000, &resized), PF_Err_NONE);
    EXPECT_EQ(resized, handle);
    EXPECT_EQ(utils.host_get_handle_size(handle), 100000u);
    EXPECT_EQ(std::memcmp(*handle, "abcdefgh", 8), 0);
    EXPECT_EQ(utils.host_lock_handle(handle), *handle);
    utils.host_unlock_handle(handle);
    utils.host_dispose_handle(handle);
    EXPECT_EQ(host.handles.liveCount(), 0u);
    EXPECT_EQ(host.log.entries(),
              (std::vector<std::string>{"host_new_handle 8", "host_resize_handle 100000", "host_get_handle_size",
                                        "host_lock_handle", "host_unlock_handle", "host_dispose_handle"}));
}

TEST_F(StandInHostTest, NewHandlesCanBeMadeToFail) {
    host.handles.failNewHandles(true);
    EXPECT_EQ(host.in_data.utils->host_new_handle(16), nullptr);
    EXPECT_EQ(host.handles.liveCount(), 0u);
}

TEST_F(StandInHostTest, StringCallbacksWriteAndLog) {
    char buffer[64];
    EXPECT_EQ(host.in_data.utils->ansi.sprintf(buffer, "%s %d", "frame", 7), 7);
    EXPECT_STREQ(buffer, "frame 7");
    EXPECT_EQ(host.in_data.utils->ansi.strcpy(buffer, "Internal Error"), buffer);
    EXPECT_STREQ(buffer, "Internal Error");
    EXPECT_EQ(host.log.entries(), (std::vector<std::string>{"sprintf %s %d", "strcpy Internal Error"}));
}

TEST_F(StandInHostTest, SuiteRegistryCountsAndInjectsFailures) {
    SPBasicSuite* basic = host.in_data.pica_basicP;
    const void* suite = nullptr;
    EXPECT_EQ(basic->AcquireSuite(kPFHandleSuite, 2, &suite), kSPNoError);
    EXPECT_EQ(suite, host.handles.handleSuite());
    EXPECT_FALSE(host.suites.balanced());
    EXPECT_EQ(basic->ReleaseSuite(kPFHandleSuite, 2), kSPNoError);
    EXPECT_TRUE(host.suites.balanced());

    suite = &host;
    EXPECT_EQ(basic->AcquireSuite("PF No Such Suite", 1, &suite), SuiteRegistry::kSuiteNotFoundError);
    EXPECT_EQ(suite, &host);
    host.suites.fail(kPFHandleSuite, 2, SuiteFailure::SuccessWithoutSuite);
    EXPECT_EQ(basic->AcquireSuite(kPFHandleSuite, 2, &suite), kSPNoError);
    EXPECT_EQ(suite, nullptr);
    host.suites.fail(kPFHandleSuite, 2, SuiteFailure::ErrorWithSuite);
    EXPECT_EQ(basic->AcquireSuite(kPFHandleSuite, 2, &suite), SuiteRegistry::kSuiteNotFoundError);
    EXPECT_EQ(suite, host.handles.handleSuite());
    EXPECT_EQ(host.suites.acquires(kPFHandleSuite, 2), 1);
}

}  // namespace
