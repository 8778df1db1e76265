#include "bench/melt_scene.h"

#include <algorithm>
#include <stdexcept>

#include "bench/natural_frame.h"
#include "host/params/param_loading.h"
#include "tools/melt_frame.h"
#include "tools/test_pattern.h"

namespace {

RgbaImage noiseFrame(int32_t width, int32_t height) {
    RgbaImage image(width, height);
    uint32_t state = 12345u;
    for (size_t k = 0; k < image.samples.size(); ++k) {
        state = state * 1664525u + 1013904223u;
        image.samples[k] = k % 4 == 3 ? uint16_t(65535) : uint16_t(state >> 16);
    }
    return image;
}

RgbaImage frameImage(SceneFrame frame, int32_t width, int32_t height) {
    switch (frame) {
        case SceneFrame::kPattern: return makeTestPattern(width, height);
        case SceneFrame::kNatural: return makeNaturalFrame(width, height);
        case SceneFrame::kNoise: break;
    }
    return noiseFrame(width, height);
}

}  // namespace

const char* sceneFrameName(SceneFrame frame) {
    switch (frame) {
        case SceneFrame::kPattern: return "pattern";
        case SceneFrame::kNatural: return "natural";
        case SceneFrame::kNoise: break;
    }
    return "noise";
}

MeltScene::MeltScene(PixelDepth depth, SceneFrame frame, int32_t width, int32_t height)
    : params(defaultParamValues()),
      depth_(depth),
      image_(frameImage(frame, width, height)),
      input_(depth, width, height),
      output_(depth, width, height) {
    input_.fillFrom(image_);
}

std::unique_ptr<ArgbBuffer> MeltScene::sourceLayer() const {
    RgbaImage turned(image_.width, image_.height);
    for (int32_t y = 0; y < image_.height; ++y) {
        for (int32_t x = 0; x < image_.width; ++x) {
            const uint16_t* from = image_.pixel(image_.width - 1 - x, image_.height - 1 - y);
            std::copy(from, from + 4, turned.pixel(x, y));
        }
    }
    auto layer = std::make_unique<ArgbBuffer>(depth_, image_.width, image_.height);
    layer->fillFrom(turned);
    return layer;
}

void MeltScene::addVelocitySource() {
    velocitySource_ = sourceLayer();
    params.velocitySourceLayer = velocitySource_->layer();
}

void MeltScene::addSpreadSource() {
    spreadSource_ = sourceLayer();
    params.spreadSourceLayer = spreadSource_->layer();
}

int32_t MeltScene::render() { return meltFrame(input_, output_, params, scale); }

void MeltScene::renderLiteral(RunCensus* census) {
    switch (depth_) {
        case PixelDepth::k8: return literalMelt<uint8_t>(*input_.layer(), *output_.layer(), params, scale, census);
        case PixelDepth::k16: return literalMelt<uint16_t>(*input_.layer(), *output_.layer(), params, scale, census);
        case PixelDepth::k32: break;
    }
    literalMelt<float>(*input_.layer(), *output_.layer(), params, scale, census);
}
