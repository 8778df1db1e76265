#include "bench/deposit_floor.h"

#include <immintrin.h>

#include "render/paths/vector_path.h"

namespace {

constexpr int32_t kCells = 16384;
constexpr float kAmount = 1.0f / 1024.0f;

// A plain loop of four-float additions per cell, as wide as each path allows.
void addCellsSse2(float* cells, int32_t count) {
    const __m128 amount = _mm_set1_ps(kAmount);
    for (int32_t k = 0; k < count; ++k, cells += 4) _mm_storeu_ps(cells, _mm_add_ps(_mm_loadu_ps(cells), amount));
}

__attribute__((target("avx2"))) void addCellsAvx2(float* cells, int32_t count) {
    const __m256 amount = _mm256_set1_ps(kAmount);
    for (; count >= 2; count -= 2, cells += 8) {
        _mm256_storeu_ps(cells, _mm256_add_ps(_mm256_loadu_ps(cells), amount));
    }
    if (count > 0) _mm_storeu_ps(cells, _mm_add_ps(_mm_loadu_ps(cells), _mm256_castps256_ps128(amount)));
}

__attribute__((target("avx512f,avx512vl"))) void addCellsAvx512(float* cells, int32_t count) {
    const __m512 amount = _mm512_set1_ps(kAmount);
    for (; count >= 4; count -= 4, cells += 16) {
        _mm512_storeu_ps(cells, _mm512_add_ps(_mm512_loadu_ps(cells), amount));
    }
    if (count > 0) {
        const __mmask16 lanes = __mmask16((1u << (4 * count)) - 1u);
        _mm512_mask_storeu_ps(cells, lanes, _mm512_add_ps(_mm512_maskz_loadu_ps(lanes, cells), amount));
    }
}

template <void (*AddCells)(float*, int32_t)>
void depositRuns(const RunCensus& census, float (*cells)[4]) {
    const int32_t segmentEnd = census.wrap ? census.lineLength : kCells;
    size_t r = 0;
    for (size_t line = 0; line < census.lineEnds.size(); ++line) {
        for (; r < census.lineEnds[line]; ++r) {
            int32_t cell = census.runs[r].firstCell, left = census.runs[r].cells;
            while (left > 0) {
                const int32_t span = left < segmentEnd - cell ? left : segmentEnd - cell;
                AddCells(cells[cell], span);
                left -= span;
                cell = 0;
            }
        }
    }
}

// Each path's walk over the runs, compiled for that path's vectors.
void depositRunsSse2(const RunCensus& census, float (*cells)[4]) { depositRuns<addCellsSse2>(census, cells); }
__attribute__((target("avx2"), flatten)) void depositRunsAvx2(const RunCensus& census, float (*cells)[4]) {
    depositRuns<addCellsAvx2>(census, cells);
}
__attribute__((target("avx512f,avx512vl"), flatten)) void depositRunsAvx512(const RunCensus& census,
                                                                          float (*cells)[4]) {
    depositRuns<addCellsAvx512>(census, cells);
}

}  // namespace

void depositFloor(const RunCensus& census, float (*cells)[4]) {
    switch (offeredVectorPath()) {
        case VectorPath::kSse2: return depositRunsSse2(census, cells);
        case VectorPath::kAvx2: return depositRunsAvx2(census, cells);
        case VectorPath::kAvx512: break;
    }
    depositRunsAvx512(census, cells);
}
