// The render road through the loaded module: a stand-in host that has run global
// setup and parameter setup, and frames of the stand-in host with their worlds.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/pf_suites.h"
#include "render/param_values.h"
#include "tools/argb_buffer.h"
#include "tools/standin_host/frame_host.h"
#include "tools/standin_host/render_host.h"

int bitsOf(PixelDepth depth);

// A picture with every kind of pixel the melt treats apart: a brightness ramp,
// coloured stripes and transparent holes.
void fillRampPicture(ArgbBuffer& buffer);
// The colour an output holds before the effect renders into it.
void fillMarker(ArgbBuffer& buffer);

// The entries of the log that belong to the render road's host calls, in order,
// leaving out the parameter traffic of LoadParamValues.
std::vector<std::string> roadCalls(const CallLog& log);

// The members of standin::RenderHost (host, module, formats, registered) are the
// fixture's own.
class RenderRoadTest : public ::testing::Test, public standin::RenderHost {
public:
    RenderRoadTest();
    ~RenderRoadTest() override;

    // A frame of width x height at depth: its input holds fillRampPicture, its
    // output a marker colour; both registered with the host's format suites.
    std::unique_ptr<standin::FrameHost> makeFrame(PixelDepth depth, int32_t width, int32_t height,
                                                  ArgbBufferLayout inputLayout = {},
                                                  ArgbBufferLayout outputLayout = {});
    ArgbBuffer& inputOf(const standin::FrameHost& frame);
    ArgbBuffer& outputOf(const standin::FrameHost& frame);
    // A buffer the host hands out as a source layer under host index `index`.
    ArgbBuffer& addSourceLayer(standin::FrameHost& frame, int32_t index, PixelDepth depth, int32_t width,
                               int32_t height, ArgbBufferLayout layout = {});

    // Host index of the parameter registered under this display name; a name the
    // effect did not register fails the test.
    int32_t indexOf(const std::string& name) const;
    // The frame's output still holds the marker colour.
    bool outputUntouched(const standin::FrameHost& frame);
    // The record smart pre-render left in the frame's handle.
    ParamValues preRenderRecord(const standin::FrameHost& frame) const;

    // Nothing of the frame still checked out or locked, every suite given back. (Check-ins
    // of what a failed checkout never gave are harmless and not counted here.)
    bool everythingReturned(const standin::FrameHost& frame) const;

private:
    // The input and output makeFrame gave the frame.
    const std::pair<ArgbBuffer*, ArgbBuffer*>& buffersOf(const standin::FrameHost& frame) const;

    std::vector<std::unique_ptr<ArgbBuffer>> buffers_;
    std::vector<std::pair<const standin::FrameHost*, std::pair<ArgbBuffer*, ArgbBuffer*>>> frames_;
};
