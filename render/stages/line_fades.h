// "Fade Start" and "Fade End": a smoothstep fade of the alpha channel inward from
// the first and the last visible cell of each finished line. The lengths are
// fixed per render; the anchors are found afresh on every line.
#pragma once

#include <algorithm>
#include <cstdint>

#include "render/kernel/line_cells.h"
#include "render/param_values.h"

struct LineFades {
    int32_t fadeStartCells;
    int32_t fadeEndCells;
    int32_t fadeStartRamp;   // cells over which alpha ramps up from the start anchor
    int32_t fadeStartClear;  // cells cleared before that ramp (a fade longer than the line)
    int32_t fadeEndRamp;
    int32_t fadeEndClear;
    float fadeStartStep;     // 1 / fadeStartRamp, used only when the ramp is above 0
    float fadeEndStep;
};

// The fade length in whole cells, truncated; full intensity and a fade of 50 %
// give the whole line. Values outside the registered ranges must not make the
// conversion undefined: NaN and negatives give no fade, and no length needs to
// exceed twice the longest line.
inline int32_t fadeLengthCells(double fade, double intensity, int32_t lineLength) {
    const double cells = (fade * (intensity * 0.0002)) * double(lineLength);
    if (!(cells > 0.0)) return 0;
    return cells < 1073741824.0 ? int32_t(cells) : 1073741824;
}

inline LineFades prepareLineFades(const ParamValues& params, int32_t lineLength) {
    LineFades fades{};
    const int32_t length = std::max(lineLength, 0);
    fades.fadeStartCells = fadeLengthCells(params.fadeStart, params.intensity, length);
    fades.fadeEndCells = fadeLengthCells(params.fadeEnd, params.intensity, length);
    fades.fadeStartRamp = std::min(fades.fadeStartCells, length);
    fades.fadeStartClear = std::max(0, fades.fadeStartCells - length);
    fades.fadeEndRamp = std::min(fades.fadeEndCells, length);
    fades.fadeEndClear = std::max(0, fades.fadeEndCells - length);
    fades.fadeStartStep = fades.fadeStartRamp > 0 ? 1.0f / float(fades.fadeStartRamp) : 0.0f;
    fades.fadeEndStep = fades.fadeEndRamp > 0 ? 1.0f / float(fades.fadeEndRamp) : 0.0f;
    return fades;
}

// Cell n of a fade: inside the cleared part it becomes transparent, after it its
// alpha is scaled by the smoothstep (3 - 2t) t^2 of its place on the ramp.
inline void fadeCell(float& alpha, int32_t n, int32_t clear, float step) {
    if (n < clear) {
        alpha = 0.0f;
        return;
    }
    const float t = float(n - clear) * step;
    alpha = ((3.0f - (t + t)) * (t * t)) * alpha;
}

// Changes only alphas, and only of cells 0 .. min(lineLength, 16384) - 1.
inline void fadeLineEnds(float (*lineBuffer)[4], int32_t lineLength, const LineFades& fades) {
    const int32_t cells = bufferedCells(lineLength);

    if (fades.fadeStartRamp > 0) {
        int32_t first = 0;
        while (first < cells && lineBuffer[first][0] == 0.0f) ++first;
        for (int32_t n = 0; n < fades.fadeStartRamp && first + n < cells; ++n) {
            fadeCell(lineBuffer[first + n][0], n, fades.fadeStartClear, fades.fadeStartStep);
        }
    }

    // The end anchor is searched after the start fade and sees the alphas it left:
    // a line that the start fade cleared gets no end fade.
    if (fades.fadeEndRamp > 0) {
        int32_t last = cells - 1;
        while (last >= 0 && lineBuffer[last][0] == 0.0f) --last;
        for (int32_t n = 0; n < fades.fadeEndRamp && last - n >= 0; ++n) {
            fadeCell(lineBuffer[last - n][0], n, fades.fadeEndClear, fades.fadeEndStep);
        }
    }
}
