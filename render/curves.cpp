#include "render/curves.h"

#include <cmath>

#include "render/float_convert.h"

namespace {

constexpr double kTwoPi = 6.28318530718;

// Where sample i lies on the curve: x runs 0..1 over samples 0..n-1, t is the sine's
// position (one period over n samples). The centre sample divides; its neighbours
// multiply by reciprocals taken once, and the two can differ in the last bit.
struct SamplePosition {
    float x;
    float t;
};

struct SingleCurve {
    int shape;
    float amplitude;
    float offset;
    int flags;

    float value(SamplePosition p) const {
        const float x = p.x;
        float v;
        switch (shape) {
        case kLinearRampUp: v = x * amplitude; break;
        case kLinearRampDown: v = (1.0f - x) * amplitude; break;
        case kTriangleWave: v = x < 0.5f ? (x + x) * amplitude : (2.0f - (x + x)) * amplitude; break;
        case kSineWave: {
            const float half = amplitude / 2.0f;
            v = float(std::sin(double(p.t) * kTwoPi) * double(half) + double(half));
            break;
        }
        case kExpUp: v = ((x * x) * (x * x)) * amplitude; break;
        case kExpDown: v = (1.0f - (x * x) * (x * x)) * amplitude; break;
        default: v = x; break;
        }
        v = v + offset;
        if (flags & kCurveUnrounded) return v;
        return std::round(v * 1e7f) * 1e-7f;
    }
};

struct DoubleCurve {
    int shape;
    double amplitude;
    double offset;
    int flags;

    // x, and the sine's argument in radians.
    double value(double x, double angle) const {
        double v;
        switch (shape) {
        case kLinearRampUp: v = x * amplitude; break;
        case kLinearRampDown: v = (1.0 - x) * amplitude; break;
        case kTriangleWave: v = x < 0.5 ? (x + x) * amplitude : (2.0 - (x + x)) * amplitude; break;
        case kSineWave: {
            const double half = amplitude / 2.0;
            v = std::sin(angle) * half + half;
            break;
        }
        case kExpUp: v = ((x * x) * (x * x)) * amplitude; break;
        case kExpDown: v = (1.0 - (x * x) * (x * x)) * amplitude; break;
        default: v = x; break;
        }
        v = v + offset;
        if (flags & kCurveUnrounded) return v;
        return std::round(v * 1e7) * 1e-7;
    }
};

SamplePosition centrePosition(int i, int n, int flags) {
    const float x = float(double(i) / double(float(n - 1)));
    const float t = (flags & kCurveSineOverLastSample) ? x : float(double(i) / double(float(n)));
    return {x, t};
}

// Neighbour k of sample i on a curve that repeats every n samples; a negative index
// is wrapped by a single addition of n.
int neighbourIndex(int i, int k, int n) {
    const int j = i + k;
    return j >= 0 ? j % n : j + n;
}

// Box smoothing: a blend, by the fraction of s, of the mean over radius r = int(s)
// and the mean over radius r + 1. Sum and Sample are float or double.
template <class Sum, class SampleAt>
Sum smoothed(Sum centre, int i, int n, float smoothness, SampleAt sampleAt) {
    // A curve of no samples has no neighbours to take (and nothing to wrap by).
    if (!(smoothness > 0.0f) || n < 1) return centre;
    // A window wider than the curve would wrap more than once; the curve functions'
    // callers stay far below it, so only keep the radius finite.
    if (smoothness > float(n)) smoothness = float(n);
    const float whole = std::trunc(smoothness);
    const float fraction = smoothness - whole;
    const int inner = int(whole);
    const int outer = inner + 1;
    Sum innerSum = centre, outerSum = centre;
    Sum innerCount = 1, outerCount = 1;
    for (int k = -outer; k <= outer; ++k) {
        if (k == 0) continue;
        const Sum c = sampleAt(neighbourIndex(i, k, n));
        outerSum += c;
        outerCount += 1;
        if (k >= -inner && k <= inner) {
            innerSum += c;
            innerCount += 1;
        }
    }
    const Sum f = Sum(fraction);
    return (f * outerSum) / outerCount + ((Sum(1) - f) * innerSum) / innerCount;
}

}  // namespace

float getBasicCurveVal(int shape, int i, int n, float amplitude, float offset, int flags) {
    return SingleCurve{shape, amplitude, offset, flags}.value(centrePosition(i, n, flags));
}

double getBasicCurveVal(int shape, int i, int n, double amplitude, double offset, int flags) {
    const double x = double(i) / double(n - 1);
    return DoubleCurve{shape, amplitude, offset, flags}.value(x, (double(i) * kTwoPi) / double(n));
}

float getCurveVal(int shape, int i, int n, float amplitude, float offset, float smoothness, int flags) {
    const SingleCurve curve{shape, amplitude, offset, flags};
    const double perX = 1.0 / double(float(n - 1));
    const double perT = 1.0 / double(float(n));
    const auto sampleAt = [&](int j) {
        const float x = float(double(j) * perX);
        const float t = (flags & kCurveSineOverLastSample) ? x : float(double(j) * perT);
        return curve.value({x, t});
    };
    return smoothed(curve.value(centrePosition(i, n, flags)), i, n, smoothness, sampleAt);
}

double getCurveVal(int shape, int i, int n, double amplitude, double offset, float smoothness,
                   int flags) {
    const DoubleCurve curve{shape, amplitude, offset, flags};
    const double perX = 1.0 / double(n - 1);
    const double perT = 1.0 / double(n);
    const auto sampleAt = [&](int j) { return curve.value(double(j) * perX, double(j) * kTwoPi * perT); };
    return smoothed(getBasicCurveVal(shape, i, n, amplitude, offset, flags), i, n, smoothness, sampleAt);
}

int getAngleVal(int angle, int n) {
    if (n < 1) return 0;  // a table of no entries has no offset but 0
    const float turns = float(angle) * 4.2385526e-08f;
    const int64_t v = truncateToInt32(float(n) * turns);
    if (v >= 0) return int(v % n);
    return int(n - 1 - (-v) % n);
}

float getBlendCurveVal(float position, float start, float length, int shape, int /*unused*/) {
    // Before the span the weight starts at 0; a span of no length is passed at once.
    bool atAnEnd = true;
    float u;
    if (position < start) {
        u = 0.0f;
    } else if (length <= 0.0f) {
        u = 1.0f;
    } else {
        const float end = start + length;
        u = ((end < position ? end : position) - start) / length;
        atAnEnd = false;
    }
    switch (shape) {
    case 1: return float(0.5 + 0.5 * std::sin(double(u) * 3.14159265359 - 1.570796326795));
    case 2: return float(std::sin(double(u) * 1.570796326795));
    case 3:
        if (atAnEnd) return u;
        return u < 0.5f ? 2.0f * u : 2.0f - 2.0f * u;
    case 4: return float(0.5 + 0.5 * std::sin(double(u) * kTwoPi - 1.570796326795));
    default: return u;
    }
}
