// One benchmark frame in one depth, melted at the registered defaults unless a case
// changes them: through the render entry, through the literal melt of the tests, or
// as the bare additions of its runs (the floor).
#pragma once

#include <memory>

#include "render/param_values.h"
#include "tests/render/literal/literal_melt.h"
#include "tools/argb_buffer.h"

constexpr int32_t kBenchWidth = 1920;
constexpr int32_t kBenchHeight = 1080;

enum class SceneFrame {
    kPattern,  // the test pattern: flat areas, hard edges
    kNatural,  // photo-like: gradients, soft shapes, grain, a transparent band
    kNoise,    // random channels: neighbouring pixels share no brightness
};

const char* sceneFrameName(SceneFrame frame);

class MeltScene {
public:
    MeltScene(PixelDepth depth, SceneFrame frame, int32_t width, int32_t height);

    ParamValues params;
    float scale = 1.0f;

    // Intensity-source layers: the frame turned upside down and mirrored, so that
    // their brightness differs from the pixel's own.
    void addVelocitySource();
    void addSpreadSource();

    int32_t render();  // one frame through the render entry of the depth
    void renderLiteral(RunCensus* census = nullptr);

private:
    std::unique_ptr<ArgbBuffer> sourceLayer() const;

    PixelDepth depth_;
    RgbaImage image_;
    ArgbBuffer input_;
    ArgbBuffer output_;
    std::unique_ptr<ArgbBuffer> velocitySource_;
    std::unique_ptr<ArgbBuffer> spreadSource_;
};
