// The sequence-data commands as the host sees them, through the loaded module.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "render/param_values.h"
#include "tests/host/host_fixture.h"

namespace {

constexpr uint64_t kRecordSize = sizeof(ParamValues);
// A block written by the other build: 568 bytes against 584.
constexpr uint64_t kOtherBuildSize = kRecordSize == 584 ? 568 : 584;
const std::string kHandleSuite = "PF Handle Suite";

std::vector<uint8_t> counting(uint64_t size) {
    std::vector<uint8_t> bytes(size_t(size), 0);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7 + 1);
    return bytes;
}

class SequenceDataTest : public ModuleTest {
protected:
    // Nothing held back on any way out: no lock, no suite, no stray handle.
    void TearDown() override {
        EXPECT_EQ(host.handles.locksHeld(), 0);
        EXPECT_TRUE(host.suites.balanced());
    }
    PF_Handle giveBlock(const std::vector<uint8_t>& bytes) {
        host.in_data.sequence_data = host.handles.make(bytes);
        return host.in_data.sequence_data;
    }
    void expectInternalError() {
        EXPECT_EQ(returnMessage(host.out_data), "Internal Error");
        EXPECT_TRUE(host.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
    }
    void expectNoMessage() {
        EXPECT_EQ(returnMessage(host.out_data), "");
        EXPECT_EQ(host.out_data.out_flags, 0);
    }
};

TEST_F(SequenceDataTest, SetupWithoutBlockCreatesAZeroFilledRecord) {
    for (PF_Cmd cmd : {PF_Cmd_SEQUENCE_SETUP, PF_Cmd_SEQUENCE_RESETUP}) {
        SCOPED_TRACE(cmd);
        host.out_data = PF_OutData{};
        EXPECT_EQ(host.send(cmd), PF_Err_NONE);
        ASSERT_NE(host.out_data.sequence_data, nullptr);
        EXPECT_EQ(host.handles.bytes(host.out_data.sequence_data),
                  std::vector<uint8_t>(size_t(kRecordSize), 0));
        EXPECT_EQ(host.out_data.flat_sdata_size, int32_t(kRecordSize));
        expectNoMessage();
    }
}

TEST_F(SequenceDataTest, FailedCreationReportsInternalError) {
    host.handles.failNewHandles(true);
    for (PF_Cmd cmd : {PF_Cmd_SEQUENCE_SETUP, PF_Cmd_SEQUENCE_RESETUP}) {
        SCOPED_TRACE(cmd);
        host.out_data = PF_OutData{};
        host.out_data.flat_sdata_size = 99;
        EXPECT_EQ(host.send(cmd), PF_Err_INTERNAL_STRUCT_DAMAGED);
        EXPECT_EQ(host.out_data.sequence_data, nullptr);
        EXPECT_EQ(host.out_data.flat_sdata_size, 99);
        expectInternalError();
    }
    EXPECT_EQ(host.handles.liveCount(), 0u);
}

TEST_F(SequenceDataTest, SetupResizesABlockOfTheOtherBuild) {
    const std::vector<uint8_t> saved = counting(kOtherBuildSize);
    const PF_Handle block = giveBlock(saved);
    EXPECT_EQ(host.send(PF_Cmd_SEQUENCE_SETUP), PF_Err_NONE);
    EXPECT_EQ(host.in_data.sequence_data, block) << "the handle stays, the block moves";
    const std::vector<uint8_t> now = host.handles.bytes(block);
    ASSERT_EQ(now.size(), size_t(kRecordSize));
    const size_t kept = size_t(std::min(kRecordSize, kOtherBuildSize));
    EXPECT_TRUE(std::equal(saved.begin(), saved.begin() + long(kept), now.begin()))
        << "the effect writes nothing into the block";
    EXPECT_EQ(host.out_data.sequence_data, nullptr);
    EXPECT_EQ(host.log.entries(), (std::vector<std::string>{
                                      "host_get_handle_size",
                                      "host_resize_handle " + std::to_string(kRecordSize)}));
}

TEST_F(SequenceDataTest, SetupOnlyAsksTheSizeOfARecordSizedBlock) {
    const std::vector<uint8_t> saved = counting(kRecordSize);
    const PF_Handle block = giveBlock(saved);
    EXPECT_EQ(host.send(PF_Cmd_SEQUENCE_SETUP), PF_Err_NONE);
    EXPECT_EQ(host.handles.bytes(block), saved);
    EXPECT_EQ(host.log.entries(), std::vector<std::string>{"host_get_handle_size"});
}

TEST_F(SequenceDataTest, SetupIgnoresAFailedResize) {
    const PF_Handle block = giveBlock(counting(kOtherBuildSize));
    host.handles.failResizes(true);
    EXPECT_EQ(host.send(PF_Cmd_SEQUENCE_SETUP), PF_Err_NONE);
    EXPECT_EQ(host.handles.bytes(block).size(), size_t(kOtherBuildSize));
}

TEST_F(SequenceDataTest, ResetupKeepsAnyBlockAsItIs) {
    for (uint64_t size : {kOtherBuildSize, kRecordSize, uint64_t(3)}) {
        host.log.clear();
        const std::vector<uint8_t> saved = counting(size);
        const PF_Handle block = giveBlock(saved);
        EXPECT_EQ(host.send(PF_Cmd_SEQUENCE_RESETUP), PF_Err_NONE);
        EXPECT_EQ(host.handles.bytes(block), saved);
        EXPECT_EQ(host.log.size(), 0u);
        EXPECT_EQ(host.out_data.sequence_data, nullptr);
    }
}

TEST_F(SequenceDataTest, SetdownDisposesTheBlock) {
    const PF_Handle block = giveBlock(counting(kRecordSize));
    host.out_data.sequence_data = block;
    EXPECT_EQ(host.send(PF_Cmd_SEQUENCE_SETDOWN), PF_Err_NONE);
    EXPECT_FALSE(host.handles.isLive(block));
    EXPECT_EQ(host.in_data.sequence_data, nullptr);
    EXPECT_EQ(host.out_data.sequence_data, nullptr);

    host.log.clear();
    EXPECT_EQ(host.send(PF_Cmd_SEQUENCE_SETDOWN), PF_Err_NONE) << "no block";
    EXPECT_EQ(host.log.size(), 0u);
}

TEST_F(SequenceDataTest, FlattenReplacesTheBlockByACopy) {
    const std::vector<uint8_t> saved = counting(kRecordSize);
    const PF_Handle block = giveBlock(saved);
    EXPECT_EQ(host.send(PF_Cmd_SEQUENCE_FLATTEN), PF_Err_NONE);
    const PF_Handle copy = host.out_data.sequence_data;
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, block);
    EXPECT_EQ(host.handles.bytes(copy), saved);
    EXPECT_FALSE(host.handles.isLive(block));
    EXPECT_EQ(host.handles.liveCount(), 1u);
    EXPECT_EQ(host.suites.acquires(kHandleSuite, 2), 1);
    EXPECT_EQ(host.log.entries(), (std::vector<std::string>{
                                      "AcquireSuite PF Handle Suite 2",
                                      "host_new_handle " + std::to_string(kRecordSize),
                                      "host_lock_handle",
                                      "host_get_handle_size",
                                      "host_dispose_handle",
                                      "host_unlock_handle",
                                      "ReleaseSuite PF Handle Suite 2",
                                  }));
}

TEST_F(SequenceDataTest, FlattenedDataIsAnIndependentCopy) {
    const std::vector<uint8_t> saved = counting(kRecordSize);
    const PF_Handle block = giveBlock(saved);
    ASSERT_EQ(host.send(PF_Cmd_GET_FLATTENED_SEQUENCE_DATA), PF_Err_NONE);
    const PF_Handle first = host.out_data.sequence_data;
    ASSERT_EQ(host.send(PF_Cmd_GET_FLATTENED_SEQUENCE_DATA), PF_Err_NONE);
    const PF_Handle second = host.out_data.sequence_data;
    EXPECT_NE(first, second);
    EXPECT_EQ(host.handles.bytes(first), saved);
    EXPECT_EQ(host.handles.bytes(second), saved);
    EXPECT_TRUE(host.handles.isLive(block));
    EXPECT_EQ(host.handles.bytes(block), saved);
    EXPECT_EQ(host.in_data.sequence_data, block);
}

// Both flat copies share their failure paths.
class FlatCopyTest : public SequenceDataTest, public ::testing::WithParamInterface<PF_Cmd> {};

TEST_P(FlatCopyTest, ShortBlockIsCopiedAsFarAsItReachesThenZeroFilled) {
    const std::vector<uint8_t> saved = counting(kRecordSize - 16);
    giveBlock(saved);
    ASSERT_EQ(host.send(GetParam()), PF_Err_NONE);
    std::vector<uint8_t> expected = saved;
    expected.resize(size_t(kRecordSize), 0);
    EXPECT_EQ(host.handles.bytes(host.out_data.sequence_data), expected);
}

TEST_P(FlatCopyTest, NoBlockIs512WithoutMessage) {
    EXPECT_EQ(host.send(GetParam()), PF_Err_INTERNAL_STRUCT_DAMAGED);
    expectNoMessage();
    EXPECT_EQ(host.handles.liveCount(), 0u);
}

TEST_P(FlatCopyTest, BlockWithoutDataHandsNothingOver) {
    const PF_Handle block = giveBlock(counting(8));
    *block = nullptr;
    EXPECT_EQ(host.send(GetParam()), PF_Err_NONE);
    EXPECT_EQ(host.out_data.sequence_data, nullptr);
    EXPECT_EQ(host.handles.liveCount(), 1u);
}

TEST_P(FlatCopyTest, NoNewHandleIs512AndKeepsTheBlock) {
    const std::vector<uint8_t> saved = counting(kRecordSize);
    const PF_Handle block = giveBlock(saved);
    host.handles.failNewHandles(true);
    EXPECT_EQ(host.send(GetParam()), PF_Err_INTERNAL_STRUCT_DAMAGED);
    expectNoMessage();
    EXPECT_EQ(host.out_data.sequence_data, nullptr);
    EXPECT_EQ(host.handles.bytes(block), saved);
}

TEST_P(FlatCopyTest, UnlockableCopyIsDisposedAndNothingHandedOver) {
    const std::vector<uint8_t> saved = counting(kRecordSize);
    const PF_Handle block = giveBlock(saved);
    host.handles.failLocks(true);
    EXPECT_EQ(host.send(GetParam()), PF_Err_NONE);
    EXPECT_EQ(host.out_data.sequence_data, nullptr);
    EXPECT_EQ(host.handles.liveCount(), 1u) << "the copy is not lost";
    EXPECT_EQ(host.handles.bytes(block), saved);
}

TEST_P(FlatCopyTest, MissingHandleSuiteIs516AndKeepsTheBlock) {
    for (SuiteFailure how : {SuiteFailure::Missing, SuiteFailure::ErrorWithSuite,
                             SuiteFailure::SuccessWithoutSuite}) {
        const std::vector<uint8_t> saved = counting(kRecordSize);
        const PF_Handle block = giveBlock(saved);
        host.suites.fail(kHandleSuite, 2, how);
        EXPECT_EQ(host.send(GetParam()), PF_Err_BAD_CALLBACK_PARAM);
        expectNoMessage();
        EXPECT_EQ(host.handles.bytes(block), saved);
        EXPECT_EQ(host.out_data.sequence_data, nullptr);
    }
}

TEST_P(FlatCopyTest, NoBasicSuiteIs516) {
    giveBlock(counting(kRecordSize));
    host.in_data.pica_basicP = nullptr;
    EXPECT_EQ(host.send(GetParam()), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.handles.liveCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(FlattenAndGetFlattened, FlatCopyTest,
                         ::testing::Values(PF_Cmd_SEQUENCE_FLATTEN, PF_Cmd_GET_FLATTENED_SEQUENCE_DATA));

}  // namespace
