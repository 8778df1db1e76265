// The module as a host sees it: registration and the commands that need no
// handler of their own.
#include <cstring>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "host/suites/command_guard.h"
#include "tests/host/host_fixture.h"

namespace {

TEST_F(ModuleTest, RegistrationCallsTheCallbackOnceWithTheNineValues) {
    EXPECT_EQ(host.registerEffect(), PF_Err_NONE);
    EXPECT_EQ(host.registrationCalls, 1);
    const RegistrationCall& call = host.registration;
    EXPECT_EQ(call.host_ptr, &host);
    EXPECT_EQ(call.name, "Ondrava");
    EXPECT_EQ(call.match_name, "KestruneOndrava");
    EXPECT_EQ(call.category, "Kestrune");
    EXPECT_EQ(call.entry_point_name, "EffectMain");
    EXPECT_EQ(call.kind, 0x65464B54);  // 'eFKT'
    EXPECT_EQ(call.api_version_major, 13);
    EXPECT_EQ(call.api_version_minor, 27);
    EXPECT_EQ(call.reserved_info, 8);
    EXPECT_EQ(host.log.entries(), std::vector<std::string>{"register"});
}

TEST_F(ModuleTest, RegistrationReturnsTheCallbacksCodeUnchanged) {
    for (PF_Err code : {PF_Err(PF_Err_OUT_OF_MEMORY), PF_Err(PF_Err_INTERNAL_STRUCT_DAMAGED), PF_Err(-7), PF_Err(0x7FFFFFFF)}) {
        host.registrationResult = code;
        EXPECT_EQ(host.registerEffect(), code);
    }
    EXPECT_EQ(host.registrationCalls, 4);
}

TEST_F(ModuleTest, RegistrationIgnoresTheHostsSuiteNameAndVersion) {
    EXPECT_EQ(host.registerEffect(nullptr, nullptr, nullptr), PF_Err_NONE);
    EXPECT_EQ(host.registrationCalls, 1);
    EXPECT_EQ(host.registration.match_name, "KestruneOndrava");
    EXPECT_EQ(host.suites.totalAcquires(), 0);
}

// Commands with no handler of their own, and commands whose handlers are still
// to come, answer 0 and leave both records as they were.
class UnansweredCommandTest : public ModuleTest, public ::testing::WithParamInterface<PF_Cmd> {};

TEST_P(UnansweredCommandTest, ReturnsZeroAndTouchesNothing) {
    host.out_data.out_flags = 0x1234;
    std::strcpy(host.out_data.return_msg, "as the host left it");
    const PF_InData in_before = host.in_data;
    const PF_OutData out_before = host.out_data;
    int extra = 42;

    EXPECT_EQ(host.send(GetParam(), nullptr, nullptr, &extra), PF_Err_NONE);

    EXPECT_EQ(std::memcmp(&host.in_data, &in_before, sizeof in_before), 0);
    EXPECT_EQ(std::memcmp(&host.out_data, &out_before, sizeof out_before), 0);
    EXPECT_EQ(extra, 42);
    EXPECT_EQ(host.log.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(CommandsWithoutHandler, UnansweredCommandTest,
                         ::testing::Values(2, 3, 9, 10, 12, 16, 17, 18, 19, 20, 21, 22, 25, 26, 27, 29, 1000, -1,
                                           INT32_MIN, INT32_MAX));

TEST_F(ModuleTest, AboutBoxShowsNameAndVersion) {
    EXPECT_EQ(host.send(PF_Cmd_ABOUT), PF_Err_NONE);
    EXPECT_EQ(returnMessage(host.out_data), "Ondrava 1.0.0");
    EXPECT_EQ(host.out_data.out_flags, 0);
}

constexpr const char* kResolutionWarning =
    "\n\n<< Ondrava >> resolution limit warning.\n\nMaximum horizontal and vertical resolution is 16384 pixels.";

struct LayerSize {
    int32_t width, height;
    bool warns;
};

void PrintTo(const LayerSize& s, std::ostream* os) { *os << s.width << "x" << s.height; }

class ResolutionWarningTest : public ModuleTest, public ::testing::WithParamInterface<LayerSize> {};

TEST_P(ResolutionWarningTest, WarnsAboveTheLimitWithoutTheErrorFlag) {
    host.in_data.width = GetParam().width;
    host.in_data.height = GetParam().height;
    std::strcpy(host.out_data.return_msg, "untouched");

    // Pre-render still runs after the warning: sent here without its extra record,
    // it answers that. (Pre-render of a real frame above the limit is tested with it.)
    EXPECT_EQ(host.send(PF_Cmd_SMART_PRE_RENDER), PF_Err_BAD_CALLBACK_PARAM);

    EXPECT_EQ(returnMessage(host.out_data), GetParam().warns ? kResolutionWarning : "untouched");
    EXPECT_EQ(host.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
}

INSTANTIATE_TEST_SUITE_P(LayerSizes, ResolutionWarningTest,
                         ::testing::Values(LayerSize{16384, 16384, false}, LayerSize{16385, 100, true},
                                           LayerSize{100, 16385, true}, LayerSize{1920, 1080, false},
                                           LayerSize{-1, -1, false}, LayerSize{INT32_MAX, 1, true}));

TEST(CommandGuard, TurnsEveryExceptionIntoAnErrorCode) {
    EXPECT_EQ(runGuarded([] { return PF_Err(7); }), 7);
    EXPECT_EQ(runGuarded([]() -> PF_Err { throw PF_Err(A_Err_MISSING_SUITE); }), 13);
    EXPECT_EQ(runGuarded([]() -> PF_Err { throw PF_Err(PF_Err_BAD_CALLBACK_PARAM); }), 516);
    EXPECT_EQ(runGuarded([]() -> PF_Err { throw std::bad_alloc(); }), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(runGuarded([]() -> PF_Err { throw std::runtime_error("count mismatch"); }),
              PF_Err_INTERNAL_STRUCT_DAMAGED);
    EXPECT_EQ(runGuarded([]() -> PF_Err { throw 2.5; }), PF_Err_INTERNAL_STRUCT_DAMAGED);
}

}  // namespace
