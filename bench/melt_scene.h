// One benchmark frame: 1920 x 1080 of the test pattern in one depth, melted at the
// registered defaults unless a case changes them.
#pragma once

#include <memory>

#include "render/param_values.h"
#include "tools/argb_buffer.h"

constexpr int32_t kBenchWidth = 1920;
constexpr int32_t kBenchHeight = 1080;

class MeltScene {
public:
    explicit MeltScene(PixelDepth depth);

    ParamValues params;
    float scale = 1.0f;

    // Intensity-source layers: the test pattern mirrored, so that their brightness
    // differs from the pixel's own.
    void addVelocitySource();
    void addSpreadSource();

    // Replaces the input with noise of fixed seed: neighbouring pixels share no
    // brightness, so no two neighbouring runs are alike.
    void useNoiseInput();

    int32_t render();  // one frame through the render entry of the depth

    // The cells the frame's runs cover, summed over every depositing pixel: the
    // per-frame work of the deposit, counted from the frame's own tables.
    double runCellsPerFrame() const;

private:
    std::unique_ptr<ArgbBuffer> sourceLayer() const;

    PixelDepth depth_;
    ArgbBuffer input_;
    ArgbBuffer output_;
    std::unique_ptr<ArgbBuffer> velocitySource_;
    std::unique_ptr<ArgbBuffer> spreadSource_;
};
