#include "tests/host/render_road_fixture.h"

#include <algorithm>

int bitsOf(PixelDepth depth) { return int(depth); }

void fillRampPicture(ArgbBuffer& buffer) {
    for (int32_t y = 0; y < buffer.height(); ++y) {
        for (int32_t x = 0; x < buffer.width(); ++x) {
            const double ramp = double((x * 7 + y * 3) % 64) / 63.0;
            const bool hole = (x + y) % 11 == 0;
            buffer.setChannel(x, y, 0, hole ? 0.0 : 1.0);
            buffer.setChannel(x, y, 1, ramp);
            buffer.setChannel(x, y, 2, (x % 3) == 0 ? 1.0 : 0.25);
            buffer.setChannel(x, y, 3, 1.0 - ramp);
        }
    }
}

void fillMarker(ArgbBuffer& buffer) { buffer.fill(0.5, 0.25, 0.75, 1.0); }

std::vector<std::string> roadCalls(const CallLog& log) {
    std::vector<std::string> road;
    for (const std::string& entry : log.entries()) {
        const bool param = entry.rfind("checkout_param", 0) == 0 || entry.rfind("checkin_param", 0) == 0;
        if (!param) road.push_back(entry);
    }
    return road;
}

RenderRoadTest::RenderRoadTest() : standin::RenderHost(ONDRAVA_MODULE_PATH) {
    EXPECT_EQ(setUp(), "");
    host.log.clear();
}

RenderRoadTest::~RenderRoadTest() = default;

std::unique_ptr<standin::FrameHost> RenderRoadTest::makeFrame(PixelDepth depth, int32_t width, int32_t height,
                                                              ArgbBufferLayout inputLayout,
                                                              ArgbBufferLayout outputLayout) {
    auto frame = std::make_unique<standin::FrameHost>(frameInData(width, height), registered, host.log);
    buffers_.push_back(std::make_unique<ArgbBuffer>(depth, width, height, inputLayout));
    ArgbBuffer& input = *buffers_.back();
    fillRampPicture(input);
    buffers_.push_back(std::make_unique<ArgbBuffer>(depth, width, height, outputLayout));
    ArgbBuffer& output = *buffers_.back();
    fillMarker(output);
    formats.setDepth(input.layer(), bitsOf(depth));
    formats.setDepth(output.layer(), bitsOf(depth));
    frame->input = input.layer();
    frame->output = output.layer();
    // A frame made after another was destroyed may take its address.
    frames_.erase(std::remove_if(frames_.begin(), frames_.end(), [&](const auto& f) { return f.first == frame.get(); }),
                  frames_.end());
    frames_.push_back({frame.get(), {&input, &output}});
    return frame;
}

const std::pair<ArgbBuffer*, ArgbBuffer*>& RenderRoadTest::buffersOf(const standin::FrameHost& frame) const {
    for (const auto& f : frames_)
        if (f.first == &frame) return f.second;
    throw std::logic_error("no such frame");
}

ArgbBuffer& RenderRoadTest::inputOf(const standin::FrameHost& frame) { return *buffersOf(frame).first; }

ArgbBuffer& RenderRoadTest::outputOf(const standin::FrameHost& frame) { return *buffersOf(frame).second; }

ArgbBuffer& RenderRoadTest::addSourceLayer(standin::FrameHost& frame, int32_t index, PixelDepth depth,
                                           int32_t width, int32_t height, ArgbBufferLayout layout) {
    buffers_.push_back(std::make_unique<ArgbBuffer>(depth, width, height, layout));
    ArgbBuffer& layer = *buffers_.back();
    fillRampPicture(layer);
    formats.setDepth(layer.layer(), bitsOf(depth));
    frame.layers[index] = layer.layer();
    return layer;
}

int32_t RenderRoadTest::indexOf(const std::string& name) const {
    const int32_t index = standin::RenderHost::indexOf(name);
    if (index < 0) ADD_FAILURE() << "no parameter named " << name;
    return index;
}

bool RenderRoadTest::outputUntouched(const standin::FrameHost& frame) {
    const ArgbBuffer& out = outputOf(frame);
    ArgbBuffer marker(out.depth(), out.width(), out.height());
    fillMarker(marker);
    return out.samePixels(marker);
}

ParamValues RenderRoadTest::preRenderRecord(const standin::FrameHost& frame) const {
    ParamValues record{};
    const auto handle = static_cast<PF_Handle>(frame.preRenderOutput().pre_render_data);
    const std::vector<uint8_t> bytes = host.handles.bytes(handle);
    EXPECT_EQ(bytes.size(), sizeof(ParamValues));
    std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof record));
    return record;
}

bool RenderRoadTest::everythingReturned(const standin::FrameHost& frame) const {
    return frame.paramsOut() == 0 && frame.pixelsOut() == 0 && host.handles.locksHeld() == 0 &&
           host.suites.balanced();
}
