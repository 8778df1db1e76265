// The curve library: six periodic curve shapes with rounding and box smoothing,
// angle-to-table-offset conversion, and a blend weight over a span.
#pragma once

#include <cstdint>

enum CurveShape : int32_t {
    kLinearRampUp = 0,
    kLinearRampDown = 1,
    kTriangleWave = 2,
    kSineWave = 3,
    kExpUp = 4,
    kExpDown = 5,
};

// Flag bits: leave the value unrounded; give the sine one period over samples 0..n-1.
enum CurveFlags : int32_t {
    kCurveUnrounded = 1,
    kCurveSineOverLastSample = 2,
};

float getBasicCurveVal(int shape, int i, int n, float amplitude, float offset, int flags);
double getBasicCurveVal(int shape, int i, int n, double amplitude, double offset, int flags);
float getCurveVal(int shape, int i, int n, float amplitude, float offset, float smoothness, int flags);
double getCurveVal(int shape, int i, int n, double amplitude, double offset, float smoothness,
                   int flags);
int getAngleVal(int angle, int n);
float getBlendCurveVal(float position, float start, float length, int shape, int unused);
