// "Fullscreen Stretch" and "Off-screen Reach": the used span of a finished line
// (from its first to its last cell with alpha) is resampled over the visible line,
// which also brings deposits that ran past the line's end back into view.
#pragma once

#include <cstdint>

#include <emmintrin.h>

#include "render/kernel/line_cells.h"
#include "render/param_values.h"

inline bool stretchActive(const ParamValues& params) {
    return params.fullscreenStretch > 0.0 || params.offscreenReach > 0.0;
}

// 1 / (lineLength - 1), once per render. A line of one cell has no span to divide:
// its step is 0, so its only cell samples the stretch start.
inline float prepareStretchStep(int32_t lineLength) {
    return lineLength > 1 ? 1.0f / float(lineLength - 1) : 0.0f;
}

// The searches cover the whole buffer; every cell from `cellsUsed` on is empty (the
// deposit reached none of them), so they start and stop there.
inline int32_t firstUsedCell(const float (*cells)[4], int32_t cellsUsed = kLineCells) {
    int32_t i = 0;
    while (i < cellsUsed && cells[i][0] == 0.0f) ++i;
    return i < cellsUsed ? i : kLineCells;
}

// Cell 0 alone and an empty line both give 0.
inline int32_t lastUsedCell(const float (*cells)[4], int32_t cellsUsed = kLineCells) {
    int32_t i = (cellsUsed < kLineCells ? cellsUsed : kLineCells) - 1;
    while (i > 0 && cells[i][0] == 0.0f) --i;
    return i > 0 ? i : 0;
}

// Fills cells 0 .. min(lineLength, 16384) - 1 of stretchBuffer from meltAccumulator,
// which is only read and holds nothing from `cellsUsed` on. The accumulator holds
// `heldCells` cells: the buffer's cells past them read as the empty cells they are.
// Called only when stretchActive().
inline void stretchLine(const float (*meltAccumulator)[4], float (*stretchBuffer)[4], int32_t lineLength,
                        float stretchStep, const ParamValues& params, int32_t cellsUsed = kLineCells,
                        int32_t heldCells = kLineCells) {
    cellsUsed = cellsUsed < heldCells ? cellsUsed : heldCells;
    const int32_t cells = bufferedCells(lineLength);
    const int32_t lastCell = lineLength - 1;

    const float stretchStart =
        float((params.fullscreenStretch * 0.01) * double(firstUsedCell(meltAccumulator, cellsUsed)));
    const float beyondLine = float(lastUsedCell(meltAccumulator, cellsUsed)) - float(lastCell);
    const float stretchEnd = float(double(beyondLine) * 0.01 * params.offscreenReach + double(lastCell));
    const float stretchSpan = stretchEnd - stretchStart;

    if (!(stretchSpan > 0.0f)) {
        for (int32_t i = 0; i < cells; ++i) {
            for (int c = 0; c < 4; ++c) stretchBuffer[i][c] = 0.0f;
        }
        return;
    }

    // Cell i samples position p = (i x span) x step + start, between cell k = p's
    // whole part and the next by p's fraction f. Parameters within their ranges keep
    // p between 0 and the larger of the last used cell and the line's end; a long
    // line or anything else samples the nearest end of the buffer, so no read leaves
    // it. The positions are found four cells at a time, each lane as one cell would.
    const __m128 span = _mm_set1_ps(stretchSpan), step = _mm_set1_ps(stretchStep), start = _mm_set1_ps(stretchStart);
    const __m128 end = _mm_set1_ps(float(kLineCells - 1));
    alignas(16) int32_t lowerCell[4], upperCell[4];
    alignas(16) float fraction[4];
    for (int32_t i0 = 0; i0 < cells; i0 += 4) {
        const __m128 index = _mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(i0), _mm_setr_epi32(0, 1, 2, 3)));
        const __m128 p = _mm_add_ps(_mm_mul_ps(_mm_mul_ps(index, span), step), start);
        const __m128 atEnd = _mm_cmpge_ps(p, end);
        const __m128 inside = _mm_andnot_ps(atEnd, _mm_cmpgt_ps(p, _mm_setzero_ps()));
        const __m128i whole = _mm_and_si128(_mm_castps_si128(inside), _mm_cvttps_epi32(p));
        const __m128i k = _mm_or_si128(whole, _mm_and_si128(_mm_castps_si128(atEnd), _mm_set1_epi32(kLineCells - 1)));
        const __m128 f = _mm_and_ps(inside, _mm_sub_ps(p, _mm_cvtepi32_ps(whole)));
        const __m128i next = _mm_add_epi32(k, _mm_andnot_si128(_mm_castps_si128(atEnd), _mm_set1_epi32(1)));
        _mm_store_si128(reinterpret_cast<__m128i*>(lowerCell), k);
        _mm_store_si128(reinterpret_cast<__m128i*>(upperCell), next);
        _mm_store_ps(fraction, f);
        const auto cellAt = [&](int32_t k) {
            return k < heldCells ? _mm_loadu_ps(meltAccumulator[k]) : _mm_setzero_ps();
        };
        for (int32_t j = 0; j < 4 && i0 + j < cells; ++j) {
            const __m128 lower = cellAt(lowerCell[j]);
            const __m128 upper = cellAt(upperCell[j]);
            const __m128 value = _mm_add_ps(_mm_mul_ps(_mm_sub_ps(upper, lower), _mm_set1_ps(fraction[j])), lower);
            _mm_storeu_ps(stretchBuffer[i0 + j], value);
        }
    }
}
