// The stand-in host itself: the tests of the effect rely on its handles, its
// string callbacks, its suite registry and its call log behaving as a host's.
#include <cstring>
#include <vector>

#include "platform/drawbot.h"
#include "platform/pf_custom_ui.h"
#include "platform/pf_suites.h"
#include "tests/host/host_fixture.h"
#include "tools/standin_host/frame_host.h"
#include "tools/standin_host/unused_slots.h"
#include "tools/standin_host/world_formats.h"

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

// The k-th call that can fail fails, whatever it is; the others answer as ever.
TEST_F(StandInHostTest, TheCallOfAGivenNumberFailsWithTheGivenCode) {
    SPBasicSuite* basic = host.in_data.pica_basicP;
    host.log.failCall(2, 1717);
    const void* suite = nullptr;
    EXPECT_EQ(basic->AcquireSuite(kPFHandleSuite, 2, &suite), kSPNoError);
    const void* second = &host;
    EXPECT_EQ(basic->AcquireSuite(kPFUtilitySuite, 4, &second), 1717);
    EXPECT_EQ(second, &host) << "a failed acquisition hands out nothing";
    EXPECT_TRUE(host.log.failed());
    EXPECT_EQ(basic->ReleaseSuite(kPFHandleSuite, 2), kSPNoError);
    EXPECT_EQ(host.log.callsCounted(), 3u);
    EXPECT_TRUE(host.suites.balanced());
    EXPECT_EQ(host.log.entries(),
              (std::vector<std::string>{"AcquireSuite PF Handle Suite 2", "AcquireSuite PF Utility Suite 4",
                                        "ReleaseSuite PF Handle Suite 2"}));
}

// Calls that have no way to report a failure are logged but not counted.
TEST_F(StandInHostTest, CallsThatCannotFailAreNotCounted) {
    PF_UtilCallbacks& utils = *host.in_data.utils;
    host.log.failCall(1, 1717);
    char buffer[16];
    utils.ansi.strcpy(buffer, "x");
    utils.ansi.sprintf(buffer, "y");
    EXPECT_EQ(host.log.callsCounted(), 0u);
    EXPECT_EQ(utils.host_new_handle(8), nullptr) << "the first call that can fail";
    PF_Handle handle = utils.host_new_handle(8);
    ASSERT_NE(handle, nullptr);
    utils.host_get_handle_size(handle);
    utils.host_unlock_handle(handle);
    utils.host_dispose_handle(handle);
    EXPECT_EQ(host.log.callsCounted(), 2u);
    EXPECT_EQ(host.handles.liveCount(), 0u);
}

// A failing lock or resize leaves the block as it was.
TEST_F(StandInHostTest, FailingLocksAndResizesLeaveTheBlock) {
    PF_UtilCallbacks& utils = *host.in_data.utils;
    PF_Handle handle = host.handles.make({1, 2, 3});
    host.log.failCall(1, 1717);
    EXPECT_EQ(utils.host_lock_handle(handle), nullptr);
    EXPECT_EQ(host.handles.locksHeld(), 0);
    host.log.failCall(1, 1717);
    EXPECT_EQ(utils.host_resize_handle(100, &handle), 1717);
    EXPECT_EQ(host.handles.bytes(handle), (std::vector<uint8_t>{1, 2, 3}));
    host.handles.discard(handle);
    EXPECT_EQ(host.handles.liveCount(), 0u);
}

// A check-in that reports a failure still takes back what was checked out, so
// that the accounting shows what the effect still holds.
TEST_F(StandInHostTest, FailingCheckinsStillTakeBack) {
    PF_ParamDef values[1] = {};
    standin::FrameHost frame(host.in_data, {values[0]}, host.log);
    PF_EffectWorld* pixels = nullptr;
    ASSERT_EQ(frame.smartRenderExtra()->cb->checkout_layer_pixels(&frame, 3, &pixels), PF_Err_NONE);
    PF_ParamDef param{};
    ASSERT_EQ(frame.in_data.inter.checkout_param(&frame, 0, 0, 1, 30, &param), PF_Err_NONE);
    host.log.failCall(1, 1717);
    EXPECT_EQ(frame.smartRenderExtra()->cb->checkin_layer_pixels(&frame, 3), 1717);
    host.log.failCall(1, 1717);
    EXPECT_EQ(frame.in_data.inter.checkin_param(&frame, &param), 1717);
    EXPECT_EQ(frame.pixelsOut(), 0);
    EXPECT_EQ(frame.paramsOut(), 0);
    EXPECT_EQ(frame.unmatchedCheckins, 0);
}

// Formats are reported bit for bit, also codes outside those the effect names.
TEST_F(StandInHostTest, PixelFormatCodesAreReportedAsTheyAre) {
    standin::WorldFormats formats(host.log);
    PF_EffectWorld world{};
    formats.setFormats(&world, PF_PixelFormat_ARGB64, int32_t(0x80000001u));
    int32_t code = 0;
    ASSERT_EQ(formats.pixelFormatSuite()->GetPixelFormat(&world, reinterpret_cast<PrPixelFormat*>(&code)),
              PF_Err_NONE);
    EXPECT_EQ(code, int32_t(0x80000001u));
    host.log.failCall(1, 1717);
    PF_PixelFormat format = PF_PixelFormat_INVALID;
    EXPECT_EQ(formats.worldSuite()->PF_GetPixelFormat(&world, &format), 1717);
    EXPECT_EQ(format, PF_PixelFormat_INVALID);
}

PF_Err linkedRegistration(void* host_ptr, PF_PluginDataCB register_cb, SPBasicSuite*, const char*, const char*) {
    return register_cb(host_ptr, "Linked", "Linked", "Tests", "EffectMain", 1, 13, 27, 8);
}

PF_Err linkedEffectMain(PF_Cmd cmd, PF_InData*, PF_OutData* out_data, PF_ParamDef**, PF_LayerDef*, void*) {
    out_data->num_params = cmd;
    return PF_Err_NONE;
}

TEST(StandInHostLinkedTest, AnEffectLinkedIntoTheProcessIsDrivenAsALoadedOne) {
    StandInHost host(LinkedEffect{linkedRegistration, linkedEffectMain});
    host.log.failCall(1, 1717);
    EXPECT_EQ(host.registerEffect(), 1717) << "the registration callback counts as a call that can fail";
    EXPECT_EQ(host.registration.name, "Linked");
    EXPECT_EQ(host.send(PF_Cmd_SEQUENCE_SETUP), PF_Err_NONE);
    EXPECT_EQ(host.out_data.num_params, PF_Cmd_SEQUENCE_SETUP);
}

template <class Table>
std::vector<PF_ReservedSlot> slotsOf(const Table& table) {
    std::vector<PF_ReservedSlot> slots(sizeof(Table) / sizeof(PF_ReservedSlot));
    std::memcpy(slots.data(), &table, sizeof(Table));
    return slots;
}

template <class Table>
void expectEverySlotSet(const Table& table, const char* name) {
    const std::vector<PF_ReservedSlot> slots = slotsOf(table);
    for (size_t i = 0; i < slots.size(); ++i) EXPECT_NE(slots[i], nullptr) << name << " slot " << i;
}

template <class Suite>
const Suite& acquired(StandInHost& host, const char* name, int32_t version) {
    const void* suite = nullptr;
    EXPECT_EQ(host.in_data.pica_basicP->AcquireSuite(name, version, &suite), kSPNoError) << name;
    EXPECT_EQ(host.in_data.pica_basicP->ReleaseSuite(name, version), kSPNoError);
    return *static_cast<const Suite*>(suite);
}

// The host's tables are laid out as the host lays them out; a slot the effect
// has no business calling still holds a function, one that stops the process.
TEST_F(StandInHostTest, EveryTableItHandsOutHasEverySlotFilled) {
    standin::WorldFormats formats(host.log);
    host.suites.provide(kPFWorldSuite, kPFWorldSuiteVersion2, formats.worldSuite());
    host.suites.provide(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, formats.pixelFormatSuite());
    expectEverySlotSet(host.in_data.inter, "PF_InteractCallbacks");
    expectEverySlotSet(*host.in_data.utils, "PF_UtilCallbacks");
    expectEverySlotSet(*host.in_data.pica_basicP, "SPBasicSuite");
    expectEverySlotSet(acquired<PF_HandleSuite1>(host, kPFHandleSuite, kPFHandleSuiteVersion1), "handles");
    expectEverySlotSet(acquired<PF_WorldSuite2>(host, kPFWorldSuite, kPFWorldSuiteVersion2), "worlds");
    expectEverySlotSet(acquired<PF_PixelFormatSuite1>(host, kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1),
                       "pixel formats");
    expectEverySlotSet(acquired<PF_UtilitySuite4>(host, kPFUtilitySuite, kPFUtilitySuiteVersion4), "utility");
    expectEverySlotSet(
        acquired<PF_EffectCustomUISuite1>(host, kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1), "custom UI");
    expectEverySlotSet(acquired<DRAWBOT_DrawbotSuite1>(host, kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1),
                       "draw");
    expectEverySlotSet(
        acquired<DRAWBOT_SupplierSuite1>(host, kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1), "supplier");
    expectEverySlotSet(acquired<DRAWBOT_SurfaceSuite2>(host, kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version2),
                       "surface");
    expectEverySlotSet(acquired<DRAWBOT_PathSuite1>(host, kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1), "path");

    standin::FrameHost frame(host.in_data, {}, host.log);
    expectEverySlotSet(frame.in_data.inter, "the frame's PF_InteractCallbacks");
    expectEverySlotSet(*frame.preRenderExtra()->cb, "PF_PreRenderCallbacks");
    expectEverySlotSet(*frame.smartRenderExtra()->cb, "PF_SmartRenderCallbacks");
    EXPECT_TRUE(host.suites.balanced());
}

#if GTEST_HAS_DEATH_TEST
TEST(StandInHostDeathTest, ACallThroughAnUnusedSlotStopsTheProcessNamingTheSlot) {
    PF_UtilCallbacks utils = standin::unusedTable<PF_UtilCallbacks>();
    EXPECT_DEATH(utils.reserved_slots_0_19[4](), "slot 4 of PF_UtilCallbacks");
    EXPECT_DEATH(utils.ansi.reserved_slots_0_14[0](), "slot 26 of PF_UtilCallbacks");
}
#endif

}  // namespace
