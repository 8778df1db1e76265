// The shading wave: 256 weights along a run (entry 0 its start, entry 255 its end),
// rotated by "Shading Phase" and faded in by the longest run that the frame can make.
// Built once per kernel call, before the first scanline; the deposit only reads it.
#pragma once

#include <cmath>
#include <cstdint>

constexpr int kShadingTableSize = 256;

enum ShadingWave : int32_t {
    kShadingNone = 0,
    kShadingSineWave = 1,
    kShadingTriangleWave = 2,
    kShadingLinearRampUp = 3,
    kShadingLinearRampDown = 4,
};

// The longest run of the frame, never below 0: a frame of runs no longer than one cell
// cannot show a wave, so the strength below fades the wave in with it.
inline float largestRunLength(const float* spreadLengthTable, int entries) {
    float longest = 0.0f;
    for (int i = 0; i < entries; ++i) {
        if (spreadLengthTable[i] > longest) longest = spreadLengthTable[i];
    }
    return longest;
}

// 1 at a longest run of 4 cells or more (the full wave), 0 at exactly one cell (flat),
// negative below one cell (the wave turned upside down about 1).
inline float shadingStrength(float largestRun) {
    return float((double(largestRun) - 1.0) / 3.0);
}

// Value of the wave at position i (0..255) before rotation. A value outside the
// popup's waves has no wave: it gets a flat 1.0, which leaves every run unshaded.
inline float shadingWaveValue(int32_t shading, int i) {
    switch (shading) {
    case kShadingSineWave:
        // A half sine over the run; pi is taken short, so the last entry is a tiny
        // negative number and no entry reaches exactly 1.
        return float(std::sin(3.14159265359 * double(i) / 255.0));
    case kShadingTriangleWave:
        // 127 entries up, a top of two, 127 down: positions 126 to 129 are all 1.0.
        if (i <= 126) return float(i) / 126.0f;
        if (i <= 128) return 1.0f;
        return float(255 - i) / 126.0f;
    case kShadingLinearRampUp:
        return float(double(i) / 255.0);
    case kShadingLinearRampDown:
        return float(1.0 - double(i) / 255.0);
    default:
        return 1.0f;
    }
}

// Quotients are formed by division throughout (i / 126, (M - 1) / 3, pi * i / 255):
// multiplying by a rounded reciprocal could move the last bit of some entries. Both
// modules build the same table; only the deposit rounds in a form of each's own.
inline void buildShadingTable(float* shadingTable, int32_t shading, int phaseOffset, float strength) {
    for (int i = 0; i < kShadingTableSize; ++i) {
        shadingTable[(phaseOffset + i) % kShadingTableSize] = shadingWaveValue(shading, i);
    }
    if (strength >= 1.0f) return;
    for (int i = 0; i < kShadingTableSize; ++i) {
        shadingTable[i] = float((double(shadingTable[i]) - 1.0) * double(strength) + 1.0);
    }
}
