#include "bench/melt_scene.h"

#include "host/params/param_loading.h"
#include "render/channel_traits.h"
#include "render/line_geometry.h"
#include "render/melt_tables.h"
#include "render/step_grid.h"
#include "tools/melt_frame.h"
#include "tools/test_pattern.h"

namespace {

struct Pixel {
    int32_t x, y;
};

// The pixel of cell i of line n as the kernel walks it.
Pixel cellPixel(int32_t direction, int32_t n, int32_t i) {
    switch (direction & 3) {
        case kRight: return {i, n};
        case kLeft: return {kBenchWidth - 1 - i, n};
        case kDown: return {n, i};
        default: return {n, kBenchHeight - 1 - i};
    }
}

template <class Traits>
double runCells(ParamValues params, float scale, const ArgbBuffer& input, const ArgbBuffer* spreadSource) {
    using Channel = typename Traits::Channel;
    MeltTables tables;
    buildTables(params, scale, tables);
    StepGrid grid = prepareStepGrid(params, scale);
    const LineGeometry geometry = lineGeometry(params.direction, kBenchWidth, kBenchHeight);
    alignStepGrid(grid, params, geometry.lineLength, geometry.lineCount);
    const ArgbBuffer& brightness = spreadSource ? *spreadSource : input;

    double cells = 0.0;
    for (int32_t n = 0; n < geometry.lineCount; ++n) {
        const GridOffset offset = modulateScanline(grid, params, n);
        for (int32_t i = offset.gridIndex; i < geometry.lineLength; i += grid.stepSize) {
            const Pixel p = cellPixel(params.direction, n, i);
            const auto* pixel = static_cast<const Channel*>(input.pixelAddress(p.x, p.y));
            if (isTransparent(Traits::value(pixel[0]))) continue;
            const auto* keyed = static_cast<const Channel*>(brightness.pixelAddress(p.x, p.y));
            cells += tables.spreadLengthTable[Traits::lumaIndex(keyed)];
        }
    }
    return cells;
}

}  // namespace

MeltScene::MeltScene(PixelDepth depth)
    : params(defaultParamValues()),
      depth_(depth),
      input_(depth, kBenchWidth, kBenchHeight),
      output_(depth, kBenchWidth, kBenchHeight) {
    input_.fillFrom(makeTestPattern(kBenchWidth, kBenchHeight));
}

std::unique_ptr<ArgbBuffer> MeltScene::sourceLayer() const {
    RgbaImage image = makeTestPattern(kBenchWidth, kBenchHeight);
    RgbaImage mirrored(kBenchWidth, kBenchHeight);
    for (int32_t y = 0; y < kBenchHeight; ++y) {
        for (int32_t x = 0; x < kBenchWidth; ++x) {
            const uint16_t* from = image.pixel(kBenchWidth - 1 - x, kBenchHeight - 1 - y);
            std::copy(from, from + 4, mirrored.pixel(x, y));
        }
    }
    auto layer = std::make_unique<ArgbBuffer>(depth_, kBenchWidth, kBenchHeight);
    layer->fillFrom(mirrored);
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

void MeltScene::useNoiseInput() {
    RgbaImage image(kBenchWidth, kBenchHeight);
    uint32_t state = 12345u;
    for (size_t k = 0; k < image.samples.size(); ++k) {
        state = state * 1664525u + 1013904223u;
        image.samples[k] = k % 4 == 3 ? uint16_t(65535) : uint16_t(state >> 16);
    }
    input_.fillFrom(image);
}

int32_t MeltScene::render() { return meltFrame(input_, output_, params, scale); }

double MeltScene::runCellsPerFrame() const {
    switch (depth_) {
        case PixelDepth::k8: return runCells<Channel8>(params, scale, input_, spreadSource_.get());
        case PixelDepth::k16: return runCells<Channel16>(params, scale, input_, spreadSource_.get());
        case PixelDepth::k32: break;
    }
    return runCells<Channel32>(params, scale, input_, spreadSource_.get());
}
