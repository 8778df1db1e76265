#include "bench/natural_frame.h"

#include <algorithm>
#include <cmath>

namespace {

struct Colour {
    double r, g, b;
};

Colour mix(Colour p, Colour q, double t) { return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t}; }

double smoothstep(double lo, double hi, double v) {
    const double t = std::clamp((v - lo) / (hi - lo), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// A well-mixed 32-bit hash of two integers and a seed.
uint32_t hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8DA6B343u ^ uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    return h ^ (h >> 15);
}

double unitHash(int32_t x, int32_t y, uint32_t seed) { return double(hash(x, y, seed) >> 8) / 16777216.0; }

// Value noise: random levels on a lattice `cell` pixels apart, blended smoothly.
double valueNoise(double x, double y, double cell, uint32_t seed) {
    const double u = x / cell, v = y / cell;
    const int32_t i = int32_t(std::floor(u)), j = int32_t(std::floor(v));
    const double fu = smoothstep(0.0, 1.0, u - i), fv = smoothstep(0.0, 1.0, v - j);
    const double top = unitHash(i, j, seed) + (unitHash(i + 1, j, seed) - unitHash(i, j, seed)) * fu;
    const double bottom = unitHash(i, j + 1, seed) + (unitHash(i + 1, j + 1, seed) - unitHash(i, j + 1, seed)) * fu;
    return top + (bottom - top) * fv;
}

// A soft round shape: 1 inside, falling off smoothly over `soft` beyond `radius`.
double blob(double x, double y, double cx, double cy, double radius, double soft) {
    return 1.0 - smoothstep(radius, radius + soft, std::hypot(x - cx, y - cy));
}

uint16_t sample(double value) { return uint16_t(std::lround(std::clamp(value, 0.0, 1.0) * 65535.0)); }

}  // namespace

RgbaImage makeNaturalFrame(int32_t width, int32_t height) {
    RgbaImage image(std::max(width, 0), std::max(height, 0));
    // Shapes are placed in a frame of height 1 and the frame's own aspect.
    const double size = double(std::max(height, 1));
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            const double u = (x + 0.5) / size, v = (y + 0.5) / size;
            const double horizon = 0.58 + 0.05 * std::sin(u * 3.1) + 0.02 * std::sin(u * 11.0 + 1.0);
            // Sky: deep blue above, a warm haze toward the horizon, soft clouds.
            Colour c = mix({0.12, 0.22, 0.48}, {0.93, 0.70, 0.52}, smoothstep(0.0, horizon, v));
            const double cloud = smoothstep(0.55, 0.8, valueNoise(x, y * 2.5, 0.18 * size, 7));
            c = mix(c, {0.97, 0.95, 0.93}, 0.75 * cloud * (1.0 - smoothstep(horizon - 0.2, horizon, v)));
            c = mix(c, {1.0, 0.93, 0.70}, blob(u, v, 1.25, 0.30, 0.06, 0.05));  // the sun
            if (v > horizon) {
                // Ground: hills in greens and browns, darker toward the bottom.
                const double field = 0.7 * valueNoise(x, y, 0.08 * size, 11) + 0.3 * valueNoise(x, y, 0.02 * size, 13);
                c = mix({0.36, 0.55, 0.22}, {0.72, 0.60, 0.36}, field);
                c = mix(c, {0.10, 0.16, 0.08}, smoothstep(horizon, 1.0, v) * 0.5);
                c = mix(c, {0.02, 0.04, 0.02}, 1.0 - smoothstep(0.0, 0.006, v - horizon));
            }
            // Two trees: dark soft crowns on thin trunks.
            const double crowns = std::max(blob(u, v, 0.42, 0.50, 0.07, 0.03), blob(u, v, 1.45, 0.55, 0.05, 0.02));
            c = mix(c, {0.06, 0.16, 0.07}, 0.9 * crowns);
            if ((std::fabs(u - 0.42) < 0.008 && v > 0.55) || (std::fabs(u - 1.45) < 0.006 && v > 0.58)) {
                c = {0.18, 0.12, 0.08};
            }
            // A little grain, as a sensor leaves it.
            const double grain = (unitHash(x, y, 3) - 0.5) * 0.035;
            c = {c.r + grain, c.g + grain, c.b + grain};
            // A soft transparent band slanting across the frame.
            const double across = v - (0.34 + 0.08 * u / std::max(1.0, double(image.width) / size));
            const double alpha = smoothstep(0.015, 0.035, std::fabs(across));

            uint16_t* rgba = image.pixel(x, y);
            rgba[0] = sample(c.r);
            rgba[1] = sample(c.g);
            rgba[2] = sample(c.b);
            rgba[3] = sample(alpha);
        }
    }
    return image;
}
