// Melts a broad matrix of small frames through the render entries and prints one
// hash of the output pixels per case. Run it before and after a change to the
// renderer that must not move a single bit (a speed-up, a tidy-up) and compare the
// two listings: every line must match.
//
//   ondrava_melt_hashes > before.txt   ...change, rebuild...   ondrava_melt_hashes | diff before.txt -
//
// Each variant (a change to the registered defaults, an input, a frame size) runs
// in every depth, direction, Wrap setting and "Shading" wave, "None" included.
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/params/param_loading.h"
#include "tools/argb_buffer.h"
#include "tools/melt_frame.h"
#include "tools/test_pattern.h"

namespace {

constexpr int32_t kDegrees = 65536;  // 16.16 angles

enum class Input { Pattern, Noise, WildNoise };

struct Variant {
    const char* name;
    int32_t width, height;
    std::function<void(ParamValues&)> change;
    Input input = Input::Pattern;
    bool velocitySource = false;
    bool spreadSource = false;
    float scale = 1.0f;
};

// Random channels with a tenth of the pixels fully transparent. Wild noise also puts
// float channels outside 0..1 and 16-bit channels above the host's 32768.
void fillNoise(ArgbBuffer& buffer, uint32_t seed, bool wild) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double full = channelFullScale(buffer.depth());
    const double top = wild && buffer.depth() == PixelDepth::k16 ? 65535.0 : full;
    for (int32_t y = 0; y < buffer.height(); ++y) {
        for (int32_t x = 0; x < buffer.width(); ++x) {
            for (int c = 0; c < 4; ++c) {
                double v = unit(random) * top;
                if (wild && buffer.depth() == PixelDepth::k32) v = (unit(random) - 0.25) * 2.0;
                buffer.setRaw(x, y, c, v);
            }
            if (unit(random) < 0.1) buffer.setRaw(x, y, 0, 0.0);
        }
    }
}

void fillInput(ArgbBuffer& buffer, Input input, uint32_t seed) {
    if (input == Input::Pattern) {
        buffer.fillFrom(makeTestPattern(buffer.width(), buffer.height()));
    } else {
        fillNoise(buffer, seed, input == Input::WildNoise);
    }
}

uint64_t hashPixels(const ArgbBuffer& buffer) {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    const size_t rowBytes = size_t(buffer.width()) * 4 * channelBytes(buffer.depth());
    for (int32_t y = 0; y < buffer.height(); ++y) {
        const auto* bytes = static_cast<const unsigned char*>(buffer.pixelAddress(0, y));
        for (size_t i = 0; i < rowBytes; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return hash;
}

std::vector<Variant> variants() {
    const auto none = [](ParamValues&) {};
    return {
        {"defaults", 97, 61, none},
        {"defaults-noise", 61, 97, none, Input::Noise},
        {"wild-noise", 83, 47, none, Input::WildNoise},
        {"long-runs", 97, 61, [](ParamValues& p) { p.velocity = 0.8, p.spread = 0.6; }},
        {"long-runs-noise", 71, 53, [](ParamValues& p) { p.velocity = 0.9, p.spread = 1.0, p.meltStep = 1000; },
         Input::Noise},
        {"no-spread", 97, 61, [](ParamValues& p) { p.spread = 0.0; }},
        {"step3-start-fade", 101, 67,
         [](ParamValues& p) {
             p.scanlineStep = 3, p.scanlinePhase = 45 * kDegrees, p.scanlineAlign = 0, p.scanlineFade = 1;
         }},
        {"step7-end-fade", 67, 101,
         [](ParamValues& p) {
             p.scanlineStep = 7, p.scanlinePhase = 200 * kDegrees, p.scanlineAlign = 2, p.scanlineFade = 1;
         },
         Input::Noise},
        {"step-over-line", 13, 9, [](ParamValues& p) { p.scanlineStep = 40, p.scanlineFade = 1; }},
        {"modulation-triangle", 97, 61,
         [](ParamValues& p) {
             p.modAmplitude = 40.0, p.modPeriod = 13.0, p.modFunction = 1, p.modExponent = 2.5;
             p.modPhase = 30.0 * kDegrees, p.modInvert = 1, p.scanlineStep = 2;
         }},
        {"modulation-half-sine", 61, 97,
         [](ParamValues& p) { p.modAmplitude = 150.0, p.modPeriod = 0.7, p.modFunction = 4, p.modExponent = 0.3; }},
        {"modulation-ramps", 97, 61,
         [](ParamValues& p) { p.modAmplitude = 75.0, p.modPeriod = 31.0, p.modFunction = 3, p.scanlineStep = 5; }},
        {"continuity-all", 97, 61, [](ParamValues& p) { p.outputContinuity = 1, p.scanlineStep = 4; }},
        {"continuity-no-start", 97, 61, [](ParamValues& p) { p.outputContinuity = 2, p.scanlineStep = 4; },
         Input::Noise},
        {"continuity-full-alpha", 97, 61, [](ParamValues& p) { p.outputContinuity = 3, p.scanlineStep = 2; }},
        {"stretch-fades", 97, 61,
         [](ParamValues& p) { p.fullscreenStretch = 30.0, p.offscreenReach = 60.0, p.fadeStart = 10, p.fadeEnd = 20; }},
        {"reach-only", 61, 97, [](ParamValues& p) { p.offscreenReach = 100.0, p.velocity = 0.6; }},
        {"shift-back", 97, 61, [](ParamValues& p) { p.shift = -0.5, p.spreadAlignment = 0.0; }},
        {"shift-mixed", 97, 61,
         [](ParamValues& p) { p.shift = 0.7, p.spreadAlignment = 37.0, p.meltStep = 100, p.intensity = 60.0; }},
        {"curves", 97, 61,
         [](ParamValues& p) {
             p.velCurveFunction = 2, p.velCurveSmoothness = 3.5, p.velCurvePhase = 60 * kDegrees;
             p.velCurveFloor = 0.2, p.spreadCurveFunction = 3, p.spreadCurveSmoothness = 1.0;
             p.spreadCurveFloor = 0.5, p.spreadCurvePhase = -77 * kDegrees, p.spread = 0.7;
         }},
        {"curves-other", 61, 97,
         [](ParamValues& p) {
             p.velCurveFunction = 4, p.velCurveSmoothness = 16.0, p.spreadCurveFunction = 5;
             p.spreadCurveSmoothness = 0.4, p.velocity = 0.5, p.spread = 0.9;
         },
         Input::Noise},
        {"shading-phase", 97, 61, [](ParamValues& p) { p.shadingPhase = 123 * kDegrees, p.spread = 0.5; }},
        {"shading-phase-negative", 61, 97, [](ParamValues& p) { p.shadingPhase = -200 * kDegrees, p.spread = 0.05; }},
        {"velocity-source", 97, 61, none, Input::Pattern, true, false},
        {"spread-source", 61, 97, [](ParamValues& p) { p.spread = 0.6; }, Input::Noise, false, true},
        {"both-sources", 97, 61, [](ParamValues& p) { p.velocity = 0.5, p.scanlineStep = 2; }, Input::Noise, true,
         true},
        {"half-scale", 97, 61, [](ParamValues& p) { p.meltStep = 200; }, Input::Pattern, false, false, 0.5f},
        {"large", 333, 211, [](ParamValues& p) { p.velocity = 0.4, p.spread = 0.4; }, Input::Noise},
    };
}

const char* const kUsage =
    "Usage: ondrava_melt_hashes > listing.txt\n"
    "Melts a broad matrix of small frames through the render entries and prints one\n"
    "hash of the output pixels per case. A change that must keep every output bit\n"
    "compares the listings before and after: every line must match.\n";

const char* depthName(PixelDepth depth) {
    return depth == PixelDepth::k8 ? "8" : depth == PixelDepth::k16 ? "16" : "32";
}

}  // namespace

int main(int argc, char** argv) {
    const std::string arg = argc > 1 ? argv[1] : "";
    if (arg == "-h" || arg == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc > 1) {
        std::fprintf(stderr, "ondrava_melt_hashes: unknown argument %s\n%s", argv[1], kUsage);
        return 2;
    }
    uint32_t seed = 1;
    for (const Variant& variant : variants()) {
        for (PixelDepth depth : {PixelDepth::k8, PixelDepth::k16, PixelDepth::k32}) {
            ArgbBuffer input(depth, variant.width, variant.height);
            fillInput(input, variant.input, seed);
            // Source layers of their own brightness, a size apart from the frame.
            ArgbBuffer velocityLayer(depth, variant.width + 5, variant.height - 3);
            ArgbBuffer spreadLayer(depth, variant.width - 7, variant.height + 2);
            fillNoise(velocityLayer, seed + 1000, false);
            fillInput(spreadLayer, Input::Pattern, 0);
            ++seed;
            for (int32_t direction = 0; direction < 4; ++direction) {
                for (int32_t wrap = 0; wrap < 2; ++wrap) {
                    for (int32_t shading = 0; shading <= 4; ++shading) {
                        ParamValues params = defaultParamValues();
                        params.direction = direction, params.wrap = wrap, params.shading = shading;
                        variant.change(params);
                        if (variant.velocitySource) params.velocitySourceLayer = velocityLayer.layer();
                        if (variant.spreadSource) params.spreadSourceLayer = spreadLayer.layer();
                        ArgbBuffer output(depth, variant.width, variant.height);
                        const int32_t code = meltFrame(input, output, params, variant.scale);
                        std::printf("%s depth=%s direction=%d wrap=%d shading=%d code=%d %016" PRIx64 "\n",
                                    variant.name, depthName(depth), direction, wrap, shading, code,
                                    hashPixels(output));
                    }
                }
            }
        }
    }
    return 0;
}
