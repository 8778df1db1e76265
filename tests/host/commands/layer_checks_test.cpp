// Layers of odd geometry on both render commands: an output whose stride is no
// whole number of channels is refused (514) and left as it was; an input or an
// intensity-source layer whose stride is no whole number of channels, or whose
// rows are shorter than its width, renders as a well-formed copy of what its rows
// hold would. Run under AddressSanitizer, nothing is read or written outside the
// host's buffers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/host/host_fixture.h"
#include "tests/host/render_road_fixture.h"
#include "tools/melt_frame.h"

namespace {

enum class Command { SmartRender, Render };

std::string nameOf(Command command) { return command == Command::SmartRender ? "SmartRender" : "Render"; }

class LayerChecksTest : public RenderRoadTest, public ::testing::WithParamInterface<std::tuple<Command, PixelDepth>> {
protected:
    Command command() const { return std::get<0>(GetParam()); }
    PixelDepth depth() const { return std::get<1>(GetParam()); }

    void SetUp() override {
        if (command() == Command::Render) host.in_data.appl_id = StandInHost::kApplIdPremierePro;
    }

    // Runs the command over the frame; the record the render used is kept in `record`.
    PF_Err run(standin::FrameHost& frame) {
        EXPECT_EQ(frame.smartPreRender(module.effectMain()), PF_Err_NONE);
        record = preRenderRecord(frame);
        PF_Err err = PF_Err_NONE;
        if (command() == Command::SmartRender) {
            err = frame.smartRender(module.effectMain());
        } else {
            frame.finishFrame();
            err = frame.render(module.effectMain());
        }
        frame.finishFrame();
        EXPECT_TRUE(everythingReturned(frame));
        return err;
    }

    // The melt of `input` into a fresh marker-coloured buffer, through the render
    // entry, with the sources given.
    std::unique_ptr<ArgbBuffer> meltOf(ArgbBuffer& input, PF_LayerDef* velocity = nullptr) {
        auto out = std::make_unique<ArgbBuffer>(input.depth(), input.width(), input.height());
        fillMarker(*out);
        ParamValues values = record;
        values.velocitySourceLayer = velocity;
        values.spreadSourceLayer = nullptr;
        EXPECT_EQ(meltFrame(input, *out, values, 1.0f), PF_Err_NONE);
        return out;
    }

    ParamValues record{};
};

// A stride one byte longer or shorter than whole pixels, running down or up.
std::vector<ArgbBufferLayout> strayStrides() {
    return {ArgbBufferLayout{0, false, 1}, ArgbBufferLayout{0, true, 1}, ArgbBufferLayout{1, true, 3}};
}

TEST_P(LayerChecksTest, AnOutputWhoseStrideIsNoWholeNumberOfChannelsIsRefusedAndLeftAsItWas) {
    if (depth() == PixelDepth::k8) GTEST_SKIP() << "every stride is whole 8-bit channels";
    for (const ArgbBufferLayout& layout : strayStrides()) {
        auto frame = makeFrame(depth(), 9, 5, {}, layout);
        EXPECT_EQ(run(*frame), PF_Err_UNRECOGNIZED_PARAM_TYPE);
        EXPECT_TRUE(outputUntouched(*frame));
        EXPECT_TRUE(outputOf(*frame).paddingIntact());
    }
}

TEST_P(LayerChecksTest, AnInputWhoseStrideIsNoWholeNumberOfChannelsRendersAsAWellFormedCopy) {
    if (depth() == PixelDepth::k8) GTEST_SKIP() << "every stride is whole 8-bit channels";
    for (const ArgbBufferLayout& layout : strayStrides()) {
        auto frame = makeFrame(depth(), 9, 5, layout);
        ASSERT_EQ(run(*frame), PF_Err_NONE);
        ArgbBuffer wellFormed(depth(), 9, 5);
        fillRampPicture(wellFormed);
        EXPECT_TRUE(outputOf(*frame).samePixels(*meltOf(wellFormed)));
        EXPECT_TRUE(inputOf(*frame).paddingIntact());
    }
}

TEST_P(LayerChecksTest, ASourceLayerWhoseStrideIsNoWholeNumberOfChannelsIsReadAsAWellFormedCopy) {
    if (depth() == PixelDepth::k8) GTEST_SKIP() << "every stride is whole 8-bit channels";
    auto frame = makeFrame(depth(), 9, 5);
    addSourceLayer(*frame, indexOf("Velocity Intensity Source"), depth(), 7, 6, ArgbBufferLayout{0, true, 1});
    ASSERT_EQ(run(*frame), PF_Err_NONE);
    ArgbBuffer wellFormed(depth(), 7, 6);
    fillRampPicture(wellFormed);
    EXPECT_TRUE(outputOf(*frame).samePixels(*meltOf(inputOf(*frame), wellFormed.layer())));
}

// Rows of 4 pixels under a width of 7: pixels 4 to 6 of every row read as
// transparent, as those of a well-formed layer that holds nothing there.
TEST_P(LayerChecksTest, ASourceLayerWithRowsShorterThanItsWidthIsReadAsFarAsTheyReach) {
    auto frame = makeFrame(depth(), 9, 5);
    ArgbBuffer& narrow = addSourceLayer(*frame, indexOf("Velocity Intensity Source"), depth(), 4, 6);
    narrow.layer()->width = 7;
    ASSERT_EQ(run(*frame), PF_Err_NONE);
    ArgbBuffer wellFormed(depth(), 7, 6);
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 4; ++x)
            for (int c = 0; c < 4; ++c) wellFormed.setRaw(x, y, c, narrow.raw(x, y, c));
    EXPECT_TRUE(outputOf(*frame).samePixels(*meltOf(inputOf(*frame), wellFormed.layer())));
}

// A parameter setup the host broke off leaves the intensity-source ids
// unresolved: they name host index 0, so the input itself is asked for as a source
// layer. Read as a source, it is covered as any source is.
using LayerChecksAfterABrokenSetup = RenderRoadTest;

TEST_F(LayerChecksAfterABrokenSetup, TheInputAskedForAsASourceIsReadThroughItsOwnCopy) {
    int added = 0;
    host.addParam = [&](PF_ParamIndex index, PF_ParamDef* def) {
        return ++added > 3 ? PF_Err_OUT_OF_MEMORY : host.params.addParam(index, def);
    };
    ASSERT_EQ(host.send(PF_Cmd_PARAMS_SETUP), PF_Err_OUT_OF_MEMORY);
    auto frame = makeFrame(PixelDepth::k16, 9, 5, ArgbBufferLayout{0, true, 1});
    ASSERT_EQ(frame->smartPreRender(module.effectMain()), PF_Err_NONE);
    EXPECT_EQ(frame->smartRender(module.effectMain()), PF_Err_NONE);
    frame->finishFrame();
    EXPECT_TRUE(inputOf(*frame).paddingIntact());
    EXPECT_TRUE(everythingReturned(*frame));

    host.addParam = [&](PF_ParamIndex index, PF_ParamDef* def) { return host.params.addParam(index, def); };
    EXPECT_EQ(host.send(PF_Cmd_PARAMS_SETUP), PF_Err_NONE);
}

INSTANTIATE_TEST_SUITE_P(CommandsAndDepths, LayerChecksTest,
                         ::testing::Combine(::testing::Values(Command::SmartRender, Command::Render),
                                            ::testing::Values(PixelDepth::k8, PixelDepth::k16, PixelDepth::k32)),
                         [](const auto& info) {
                             return nameOf(std::get<0>(info.param)) +
                                    std::to_string(bitsOf(std::get<1>(info.param)));
                         });

}  // namespace
