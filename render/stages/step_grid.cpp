#include "render/stages/step_grid.h"

#include <cmath>

#include "render/curves.h"
#include "render/float_convert.h"

StepGrid prepareStepGrid(const ParamValues& params, float scale) {
    StepGrid grid{};
    const int32_t rawStep = truncateToInt32(float(params.scanlineStep) * scale);
    grid.stepSize = rawStep < 1 ? 1 : (rawStep > kMaxStepSize ? kMaxStepSize : rawStep);
    if (grid.stepSize == 1) return grid;  // one cell apart: neither Phase nor Align matters
    const int a = getAngleVal(params.scanlinePhase, grid.stepSize * 256);
    grid.stepPhaseIndex = a >> 8;
    grid.stepPhaseFraction = float(a & 255) * 0.00390625f;
    return grid;
}

namespace {

// How far "Align" moves the grid: to the line's middle or to its last cell, modulo
// the step.
float alignShift(int32_t align, int32_t lineLength, int32_t stepSize) {
    const float step = float(stepSize);
    if (align == 1) {
        const float half = 0.5f * float(lineLength);
        return half - float(truncateToInt32(half / step)) * step;
    }
    if (align == 2) {
        const int32_t q = truncateToInt32(float(lineLength - 1) / step);
        return float((double(lineLength) - 1.0) - double(float(q) * step));
    }
    return 0.0f;
}

}  // namespace

void alignStepGrid(StepGrid& grid, const ParamValues& params, int32_t lineLength, int32_t lineCount) {
    if (grid.stepSize >= 2 && (params.scanlineAlign == 1 || params.scanlineAlign == 2)) {
        const float shift = alignShift(params.scanlineAlign, lineLength, grid.stepSize);
        const int32_t whole = truncateToInt32(shift);
        grid.stepPhaseIndex += whole;
        grid.stepPhaseFraction = grid.stepPhaseFraction + (shift - float(whole));
        // Only a fraction above 1 carries here; exactly 1 is carried per line.
        if (grid.stepPhaseFraction > 1.0f) {
            grid.stepPhaseIndex += 1;
            grid.stepPhaseFraction = grid.stepPhaseFraction - 1.0f;
        }
    }
    const double periodLines = double(float(lineCount)) * params.modPeriod;
    grid.modRadiansPerLine = float(628.318530718 / periodLines);
    grid.modOffsetScale = float(params.modAmplitude * 0.01 * double(float(lineLength)));
    const int p = getAngleVal(truncateToInt32(params.modPhase), 6283185);
    grid.modPhaseRadians = float(p) * 0.000001f;
}

namespace {

float shapedByExponent(float v, double exponent) {
    return exponent != 1.0 ? float(std::pow(double(v), exponent)) : v;
}

// The wave value of one line, -0.5 to 0.5 (the triangle peaks at 0.5000001).
float waveValue(int32_t function, float angle, double exponent) {
    switch (function) {
    case 0: {  // "Sine Wave"
        float s = std::sin(angle);
        if (exponent != 1.0) {
            const bool negative = s < 0.0f;
            s = float(std::pow(double(std::fabs(s)), exponent));
            if (negative) s = -s;
        }
        return s * 0.5f;
    }
    case 1:    // "Triangle Wave"
    case 2:    // "Linear Ramp Up"
    case 3: {  // "Linear Ramp Down"
        const int32_t k = truncateToInt32(angle * 1000000.0f);
        const int32_t r = k % 6283185;
        double v;
        if (function == 1) {
            const int32_t t = r < 3141592 ? r : 6283185 - r;
            v = double(float(t)) * 3.183098861837697e-07;
        } else if (function == 2) {
            v = double(float(r)) * 1.5915494309188484e-07;
        } else {
            v = 1.0 + double(float(r)) * -1.5915494309188484e-07;
        }
        return shapedByExponent(float(v), exponent) - 0.5f;
    }
    case 4: {  // "Sine 1/2 Phase": one hump of a sine per period
        const int32_t k = truncateToInt32(double(angle) * 500000.0);
        const int32_t r = k % 3141592;
        float s = std::sin(float(double(float(r)) * 0.000001));
        if (s >= 0.0f) s = shapedByExponent(s, exponent);
        return s - 0.5f;
    }
    default: return 0.0f;
    }
}

}  // namespace

float raiseToNonNegative(float x, int32_t period) {
    if (x >= 0.0f) return x;
    // Every addition of the chain but the last is exact while |x| < 2^24, so one
    // addition of the whole multiple, rounded once, gives the chain's result; it
    // also ends for any finite x, where the chain could stall.
    const double multiple = std::ceil(-double(x) / double(period)) * double(period);
    const float raised = float(double(x) + multiple);
    return raised >= 0.0f ? raised : 0.0f;
}

float modulationOffset(const StepGrid& grid, const ParamValues& params, int32_t n) {
    if (params.modAmplitude == 0.0) return 0.0f;
    const float angle = float(n) * grid.modRadiansPerLine + grid.modPhaseRadians;
    float w = waveValue(params.modFunction, angle, params.modExponent);
    if (params.modInvert != 0) w = -w;
    const float offset = w * grid.modOffsetScale;
    // A period near 0 (below the valid range) makes the angle and the wave undefined,
    // and an amplitude far above its range moves the grid beyond any line: no offset.
    if (!(std::fabs(offset) < 16777216.0f)) return 0.0f;
    return raiseToNonNegative(offset, grid.stepSize);
}

GridOffset modulateScanline(const StepGrid& grid, const ParamValues& params, int32_t n) {
    const float offset = modulationOffset(grid, params, n);
    const int32_t whole = truncateToInt32(offset);
    int64_t i = int64_t(whole) + grid.stepPhaseIndex;
    float f = (offset - float(whole)) + grid.stepPhaseFraction;
    if (f >= 1.0f) {
        i += 1;
        f = f - 1.0f;
    }
    // An "End" alignment of an empty line leaves the index at -1: reduce it upward.
    int64_t index = i % grid.stepSize;
    if (index < 0) index += grid.stepSize;
    return {int32_t(index), f};
}
