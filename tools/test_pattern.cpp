#include "tools/test_pattern.h"

#include <algorithm>
#include <cmath>

namespace {

struct Colour {
    double r, g, b, a;
};

Colour mix(Colour p, Colour q, double t) {
    return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t, p.a + (q.a - p.a) * t};
}

bool inside(double v, double lo, double hi) { return v >= lo && v < hi; }

// Position u, v in 0..1 over the frame; h over w gives the disc its round shape.
Colour patternAt(double u, double v, double aspect) {
    Colour c = mix({0.05, 0.08, 0.30, 1.0}, {0.20, 0.02, 0.15, 1.0}, v);  // dusk background

    static const Colour bars[8] = {{1, 1, 1, 1}, {1, 1, 0, 1}, {0, 1, 1, 1}, {0, 1, 0, 1},
                                   {1, 0, 1, 1}, {1, 0, 0, 1}, {0, 0, 1, 1}, {0, 0, 0, 1}};
    if (inside(v, 0.08, 0.34) && inside(u, 0.04, 0.96)) {
        c = bars[std::min(7, int((u - 0.04) / 0.92 * 8.0))];
    }
    if (inside(v, 0.40, 0.48) && inside(u, 0.04, 0.96)) {
        const double grey = (u - 0.04) / 0.92;
        c = {grey, grey, grey, 1.0};
    }
    if (inside(v, 0.56, 0.90) && inside(u, 0.04, 0.44)) {
        const bool light = (int((u - 0.04) / 0.05) + int((v - 0.56) / (0.05 * aspect))) % 2 == 0;
        c = light ? Colour{0.9, 0.85, 0.7, 1.0} : Colour{0.15, 0.15, 0.2, 1.0};
    }
    const double dx = (u - 0.72) * aspect, dy = v - 0.73, radius = 0.17;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d < radius + 0.01) {
        const Colour disc = mix({1.0, 0.85, 0.3, 1.0}, {0.9, 0.2, 0.05, 1.0}, d / radius);
        c = mix(disc, c, std::clamp((d - radius) / 0.01, 0.0, 1.0));  // soft edge
    }
    if (inside(u, 0.47, 0.52) && v >= 0.52) c.a = 0.0;  // a hole through the frame
    if (v >= 0.94) c.a *= 1.0 - u;                     // alpha fading out to the right
    return c;
}

uint16_t sample(double value) { return uint16_t(std::lround(std::clamp(value, 0.0, 1.0) * 65535.0)); }

}  // namespace

RgbaImage makeTestPattern(int32_t width, int32_t height, const std::atomic<bool>* stop) {
    RgbaImage image(std::max(width, 0), std::max(height, 0));
    const double aspect = image.height > 0 ? double(image.width) / double(image.height) : 1.0;
    for (int32_t y = 0; y < image.height; ++y) {
        if (stop != nullptr && stop->load()) break;
        for (int32_t x = 0; x < image.width; ++x) {
            const Colour c = patternAt((x + 0.5) / image.width, (y + 0.5) / image.height, aspect);
            uint16_t* rgba = image.pixel(x, y);
            rgba[0] = sample(c.r);
            rgba[1] = sample(c.g);
            rgba[2] = sample(c.b);
            rgba[3] = sample(c.a);
        }
    }
    return image;
}
