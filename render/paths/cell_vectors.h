// The line accumulator's cells several to a vector. A cell is four floats (A, R,
// G, B) and takes a deposit as amount x (1, R, G, B), added lane by lane: each lane
// does exactly what the scalar cell would, and each cell takes its runs' additions
// in the order of the runs. The paths differ only in how many cells share one
// instruction: one (SSE2, every x64 processor), two (AVX2) or four (AVX-512).
//
// Every function here takes and returns plain floats and pointers, never vector
// types, so that a path's code stays inside the functions compiled for it.
#pragma once

// GCC 12 takes the unused source operand of its own unmasked AVX-512 intrinsics for
// an uninitialised value (fixed in GCC 13); the warning is about the header's code.
#if defined(__clang__)
#include <immintrin.h>
#else
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif

#include <cstdint>

#include "render/paths/vector_path.h"

// A run's cells as the deposit hands them over: `count` cells from `first`, the
// first taking `head`, the last (when there are two or more) `tail`, the rest
// `whole`; a cell's deposit is its amount times the run's colour (1, R, G, B).
struct RunCells {
    int32_t first;
    int32_t count;
    float head;
    float whole;
    float tail;
};

struct RunColour {
    float r, g, b;
    float a = 1.0f;  // the alpha lane's: 1, unless the colour carries an amount
    // Built in registers: four floats stored one by one and read back as a vector
    // would wait for the stores on every run.
    __m128 cell() const { return _mm_setr_ps(a, r, g, b); }
    // The colour (1, R, G, B) carrying `amount`: (amount, R x amount, G x amount, B x amount).
    RunColour carrying(float amount) const { return {r * amount, g * amount, b * amount, amount}; }
};

// The colours of a span of a run's cells: its first cell takes `head`, its last
// `tail` (a span of one cell takes `head`), the cells between `whole`. Spans whose
// ends take colours of their own are added by addAmounts<true>; addAmounts<false>
// gives every cell `whole`.
struct SpanColours {
    RunColour head, whole, tail;
};

struct Sse2Lanes;
struct Avx2Lanes;
struct Avx512Lanes;

struct Sse2Cells {
    static constexpr VectorPath kPath = VectorPath::kSse2;
    using Lanes = Sse2Lanes;  // the pixels planned together
    static constexpr int32_t kAlignment = 16;  // bytes the accumulator is aligned to

    // Sets cells 0 .. count - 1 to zero.
    static void clearCells(float (*cells)[4], int32_t count) {
        for (int32_t i = 0; i < count; ++i) _mm_store_ps(cells[i], _mm_setzero_ps());
    }

    static void addCell(float* cell, float amount, __m128 colour) {
        _mm_storeu_ps(cell, _mm_add_ps(_mm_loadu_ps(cell), _mm_mul_ps(_mm_set1_ps(amount), colour)));
    }

    static void addRun(float (*cells)[4], const RunCells& run, const RunColour& colour) {
        const __m128 c = colour.cell();
        addCell(cells[run.first], run.head, c);
        if (run.count == 1) return;
        const __m128 whole = _mm_mul_ps(_mm_set1_ps(run.whole), c);
        const int32_t last = run.first + run.count - 1;
        for (int32_t i = run.first + 1; i < last; ++i) {
            _mm_storeu_ps(cells[i], _mm_add_ps(_mm_loadu_ps(cells[i]), whole));
        }
        addCell(cells[last], run.tail, c);
    }

    // Un-premultiplies cells 0 .. count - 1 as normalizeCells describes; partial cells
    // from `promoteFrom` on become opaque.
    static void normalize(float (*cells)[4], int32_t count, int32_t promoteFrom) {
        const __m128 one = _mm_set1_ps(1.0f), infinity = _mm_set1_ps(__builtin_inff());
        const __m128 alphaLane = _mm_castsi128_ps(_mm_setr_epi32(-1, 0, 0, 0));
        for (int32_t i = 0; i < count; ++i) {
            const __m128 c = _mm_loadu_ps(cells[i]);
            const __m128 alpha = _mm_shuffle_ps(c, c, 0);
            const __m128 full = _mm_cmpge_ps(alpha, one);
            const __m128 partial = _mm_andnot_ps(full, _mm_cmpgt_ps(alpha, _mm_setzero_ps()));
            // One division gives both: 1 / alpha in the alpha lane, c / alpha in the others.
            const __m128 quotient = _mm_div_ps(select(alphaLane, one, c), alpha);
            const __m128 reciprocal = _mm_shuffle_ps(quotient, quotient, 0);
            // A subnormal alpha has no finite reciprocal: its colours are divided.
            const __m128 finite = _mm_cmplt_ps(reciprocal, infinity);
            const __m128 multiplied = _mm_and_ps(partial, finite);
            const __m128 divided = _mm_or_ps(full, _mm_andnot_ps(finite, partial));
            __m128 colours = select(multiplied, _mm_mul_ps(c, reciprocal), select(divided, quotient, c));
            const __m128 promote = i >= promoteFrom ? partial : _mm_setzero_ps();
            const __m128 opaque = _mm_and_ps(alphaLane, _mm_or_ps(full, promote));
            colours = select(alphaLane, c, colours);
            _mm_storeu_ps(cells[i], select(opaque, one, colours));
        }
    }

    // From cell i on, the first cell of 0 .. count - 1 whose alpha is 0 (count
    // when there is none), noting in lastFullCell the last cell with alpha 1 before it.
    // Four cells are compared at a time.
    static int32_t nextEmptyCell(const float (*cells)[4], int32_t i, int32_t count, int32_t& lastFullCell) {
        const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f);
        for (; i + 4 <= count; i += 4) {
            const __m128 low = _mm_unpacklo_ps(_mm_loadu_ps(cells[i]), _mm_loadu_ps(cells[i + 1]));
            const __m128 high = _mm_unpacklo_ps(_mm_loadu_ps(cells[i + 2]), _mm_loadu_ps(cells[i + 3]));
            const __m128 alphas = _mm_movelh_ps(low, high);
            const unsigned empty = unsigned(_mm_movemask_ps(_mm_cmpeq_ps(alphas, zero)));
            // The cells before the first empty one.
            const unsigned before = empty != 0 ? (empty & (0u - empty)) - 1u : 0xFu;
            const unsigned full = unsigned(_mm_movemask_ps(_mm_cmpeq_ps(alphas, one))) & before;
            if (full != 0) lastFullCell = i + 31 - __builtin_clz(full);
            if (empty != 0) return i + __builtin_ctz(empty);
        }
        for (; i < count && cells[i][0] != 0.0f; ++i) {
            if (cells[i][0] == 1.0f) lastFullCell = i;
        }
        return i;
    }

    // Cell first + k takes amounts[k] times its colour, for k = 0 .. count - 1. The
    // three floats before amounts[0] may be read (never used).
    template <bool kOwnEnds>
    static void addAmounts(float (*cells)[4], int32_t first, int32_t count, const float* amounts,
                           const SpanColours& colours) {
        const __m128 whole = colours.whole.cell();
        const __m128 head = kOwnEnds ? colours.head.cell() : whole, tail = kOwnEnds ? colours.tail.cell() : whole;
        addCell(cells[first], amounts[0], head);
        for (int32_t k = 1; k < count - 1; ++k) addCell(cells[first + k], amounts[k], whole);
        if (count > 1) addCell(cells[first + count - 1], amounts[count - 1], tail);
    }

private:
    static __m128 select(__m128 mask, __m128 a, __m128 b) { return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b)); }
};

struct Avx2Cells {
    static constexpr VectorPath kPath = VectorPath::kAvx2;
    using Lanes = Avx2Lanes;
    static constexpr int32_t kAlignment = 32;

    // Whole vectors: a cell past `count` in the last one is zero already.
    ONDRAVA_TARGET_AVX2 static void clearCells(float (*cells)[4], int32_t count) {
        for (int32_t i = 0; i < count; i += 2) _mm256_store_ps(cells[i], _mm256_setzero_ps());
    }

    ONDRAVA_TARGET_AVX2 static void addRun(float (*cells)[4], const RunCells& run, const RunColour& colour) {
        const __m128 c = colour.cell();
        Sse2Cells::addCell(cells[run.first], run.head, c);
        if (run.count == 1) return;
        // Two whole cells to a vector, one left over at most.
        const __m256 whole = _mm256_mul_ps(_mm256_set1_ps(run.whole), _mm256_broadcast_ps(&c));
        const int32_t last = run.first + run.count - 1;
        int32_t i = run.first + 1;
        for (; i + 1 < last; i += 2) {
            _mm256_storeu_ps(cells[i], _mm256_add_ps(_mm256_loadu_ps(cells[i]), whole));
        }
        if (i < last) _mm_storeu_ps(cells[i], _mm_add_ps(_mm_loadu_ps(cells[i]), _mm256_castps256_ps128(whole)));
        Sse2Cells::addCell(cells[last], run.tail, c);
    }

    ONDRAVA_TARGET_AVX2 static void normalize(float (*cells)[4], int32_t count, int32_t promoteFrom) {
        const __m256 one = _mm256_set1_ps(1.0f), infinity = _mm256_set1_ps(__builtin_inff());
        const __m256 alphaLanes = _mm256_castsi256_ps(_mm256_setr_epi32(-1, 0, 0, 0, -1, 0, 0, 0));
        for (int32_t i = 0; i < count; i += 2) {
            const __m256 c = _mm256_load_ps(cells[i]);
            const __m256 alpha = _mm256_shuffle_ps(c, c, 0);
            const __m256 full = _mm256_cmp_ps(alpha, one, _CMP_GE_OQ);
            const __m256 partial = _mm256_andnot_ps(full, _mm256_cmp_ps(alpha, _mm256_setzero_ps(), _CMP_GT_OQ));
            const __m256 quotient = _mm256_div_ps(_mm256_blendv_ps(c, one, alphaLanes), alpha);
            const __m256 reciprocal = _mm256_shuffle_ps(quotient, quotient, 0);
            const __m256 finite = _mm256_cmp_ps(reciprocal, infinity, _CMP_LT_OQ);
            const __m256 multiplied = _mm256_and_ps(partial, finite);
            const __m256 divided = _mm256_or_ps(full, _mm256_andnot_ps(finite, partial));
            __m256 colours = _mm256_blendv_ps(_mm256_blendv_ps(c, quotient, divided), _mm256_mul_ps(c, reciprocal),
                                              multiplied);
            // Cells from promoteFrom on; and a last cell past `count` stays as it is.
            const __m256i index = _mm256_setr_epi32(i, i, i, i, i + 1, i + 1, i + 1, i + 1);
            const __m256 promote = _mm256_and_ps(
                partial, _mm256_castsi256_ps(_mm256_cmpgt_epi32(index, _mm256_set1_epi32(promoteFrom - 1))));
            const __m256 opaque = _mm256_and_ps(alphaLanes, _mm256_or_ps(full, promote));
            colours = _mm256_blendv_ps(_mm256_blendv_ps(colours, c, alphaLanes), one, opaque);
            const __m256 inside = _mm256_castsi256_ps(_mm256_cmpgt_epi32(_mm256_set1_epi32(count), index));
            _mm256_store_ps(cells[i], _mm256_blendv_ps(c, colours, inside));
        }
    }

    static int32_t nextEmptyCell(const float (*cells)[4], int32_t i, int32_t count, int32_t& lastFullCell) {
        return Sse2Cells::nextEmptyCell(cells, i, count, lastFullCell);
    }

    template <bool kOwnEnds>
    ONDRAVA_TARGET_AVX2 static void addAmounts(float (*cells)[4], int32_t first, int32_t count,
                                               const float* amounts, const SpanColours& colours) {
        const __m128 whole = colours.whole.cell();
        const __m128 head = kOwnEnds ? colours.head.cell() : whole, tail = kOwnEnds ? colours.tail.cell() : whole;
        const __m256 c = _mm256_set_m128(whole, whole);
        const auto pairAt = [&](int32_t k) ONDRAVA_TARGET_AVX2 {
            if (kOwnEnds && (k == 0 || k + 2 >= count)) {
                return _mm256_set_m128(k + 1 == count - 1 ? tail : whole, k == 0 ? head : whole);
            }
            return c;
        };
        int32_t k = 0;
        for (; k + 1 < count; k += 2) {
            const __m256 two = _mm256_set_m128(_mm_set1_ps(amounts[k + 1]), _mm_set1_ps(amounts[k]));
            const __m256 increments = _mm256_mul_ps(two, pairAt(k));
            float* cell = cells[first + k];
            _mm256_storeu_ps(cell, _mm256_add_ps(_mm256_loadu_ps(cell), increments));
        }
        if (k < count) Sse2Cells::addCell(cells[first + k], amounts[k], k == 0 ? head : tail);
    }
};

struct Avx512Cells {
    static constexpr VectorPath kPath = VectorPath::kAvx512;
    using Lanes = Avx512Lanes;
    static constexpr int32_t kAlignment = 64;

    ONDRAVA_TARGET_AVX512 static void clearCells(float (*cells)[4], int32_t count) {
        for (int32_t i = 0; i < count; i += 4) _mm512_store_ps(cells[i], _mm512_setzero_ps());
    }

    // Four cells to a vector, in blocks aligned to the accumulator's cache lines: a
    // run's first and last blocks add only into the run's own cells (merge-masked:
    // the other lanes keep their bits), and a block is read where the previous run
    // wrote it, whole, which the processor forwards without a stall.
    ONDRAVA_TARGET_AVX512 static void addRun(float (*cells)[4], const RunCells& run, const RunColour& colour) {
        const __m512 c = fourTimes(colour.cell());
        const __m512 whole = _mm512_mul_ps(_mm512_set1_ps(run.whole), c);
        const int32_t last = run.first + run.count - 1;
        float* block = cells[run.first & ~3];
        float* const lastBlock = cells[last & ~3];
        __mmask16 lanes = __mmask16(0xFFFFu << (4 * (run.first & 3)));
        __m512 amounts = _mm512_mask_mul_ps(whole, cellLanes(run.first), _mm512_set1_ps(run.head), c);
        if (block != lastBlock) {
            addBlock(block, lanes, amounts);
            for (block += 16; block != lastBlock; block += 16) {
                _mm512_store_ps(block, _mm512_add_ps(_mm512_load_ps(block), whole));
            }
            amounts = whole;
            lanes = 0xFFFF;
        }
        lanes &= __mmask16(0xFFFFu >> (4 * (3 - (last & 3))));
        if (run.count > 1) amounts = _mm512_mask_mul_ps(amounts, cellLanes(last), _mm512_set1_ps(run.tail), c);
        addBlock(block, lanes, amounts);
    }

    // Each cell's alpha is compared with bounds instead of testing the quotients:
    // the reciprocal of a positive alpha is finite exactly when alpha exceeds 2^-128,
    // and a cell turns opaque where its alpha exceeds `opaqueAbove`: just below 1
    // (alpha 1 or more), or 0 where partial cells are promoted.
    ONDRAVA_TARGET_AVX512 static void normalize(float (*cells)[4], int32_t count, int32_t promoteFrom) {
        const __m512 belowOne = _mm512_set1_ps(0x1.fffffep-1f), zero = _mm512_setzero_ps();
        const int32_t promoted = promoteFrom < count ? promoteFrom : count;
        int32_t i = 0;
        for (; i + 4 <= promoted; i += 4) normalizeBlock(cells[i], belowOne, 0xFFFF);
        if (i < promoted) {
            const __m512 opaqueAbove = _mm512_mask_mov_ps(belowOne, lanesFrom(promoted - i), zero);
            normalizeBlock(cells[i], opaqueAbove, ~lanesFrom(count - i));
            i += 4;
        }
        for (; i + 4 <= count; i += 4) normalizeBlock(cells[i], zero, 0xFFFF);
        if (i < count) normalizeBlock(cells[i], zero, ~lanesFrom(count - i));
    }

    // Sixteen cells at a time: their alphas gathered into one vector.
    ONDRAVA_TARGET_AVX512 static int32_t nextEmptyCell(const float (*cells)[4], int32_t i, int32_t count,
                                                       int32_t& lastFullCell) {
        const __m512i alphaOfCell = _mm512_setr_epi32(0, 4, 8, 12, 16, 20, 24, 28, 0, 4, 8, 12, 16, 20, 24, 28);
        const __m512 zero = _mm512_setzero_ps(), one = _mm512_set1_ps(1.0f);
        for (; i + 16 <= count; i += 16) {
            const auto alphasOf = [&](int32_t k) ONDRAVA_TARGET_AVX512 {
                return _mm512_permutex2var_ps(_mm512_loadu_ps(cells[k]), alphaOfCell, _mm512_loadu_ps(cells[k + 4]));
            };
            const __m512 low = alphasOf(i), high = alphasOf(i + 8);
            const __m512 alphas = _mm512_mask_mov_ps(low, 0xFF00, high);
            const uint32_t empty = _mm512_cmp_ps_mask(alphas, zero, _CMP_EQ_OQ);
            // The cells before the first empty one.
            const uint32_t before = empty != 0 ? (empty & (0u - empty)) - 1u : 0xFFFFu;
            const uint32_t full = _mm512_cmp_ps_mask(alphas, one, _CMP_EQ_OQ) & before;
            if (full != 0) lastFullCell = i + 31 - __builtin_clz(full);
            if (empty != 0) return i + __builtin_ctz(empty);
        }
        return Sse2Cells::nextEmptyCell(cells, i, count, lastFullCell);
    }

    // The span's first and last blocks are added lane by lane, the blocks between
    // whole.
    template <bool kOwnEnds>
    ONDRAVA_TARGET_AVX512 static void addAmounts(float (*cells)[4], int32_t first, int32_t count,
                                                 const float* amounts, const SpanColours& colours) {
        const __m512 c = fourTimes(colours.whole.cell());
        const int32_t last = first + count - 1;
        const int32_t firstBlock = first & ~3, lastBlock = last & ~3;
        // The span's first and last cells take their colours in their blocks' lanes.
        __m512 head = c, tail = c;
        if constexpr (kOwnEnds) {
            tail = _mm512_mask_mov_ps(c, cellLanes(last), fourTimes(colours.tail.cell()));
            head = _mm512_mask_mov_ps(firstBlock == lastBlock ? tail : c, cellLanes(first),
                                      fourTimes(colours.head.cell()));
        }
        const int32_t headEnd = firstBlock == lastBlock ? (last & 3) + 1 : 4;
        addAmountsInBlock(cells[firstBlock], amounts - (first & 3), first & 3, headEnd, head);
        if (firstBlock == lastBlock) return;
        for (int32_t b = firstBlock + 4; b < lastBlock; b += 4) {
            float* const block = cells[b];
            const __m512 increments = _mm512_mul_ps(spread(_mm_loadu_ps(amounts + (b - first))), c);
            _mm512_store_ps(block, _mm512_add_ps(_mm512_load_ps(block), increments));
        }
        addAmountsInBlock(cells[lastBlock], amounts + (lastBlock - first), 0, (last & 3) + 1, tail);
    }

private:
    // One cell's four floats in each of the four cells of a vector.
    ONDRAVA_TARGET_AVX512 static __m512 fourTimes(__m128 cell) {
        const __m512 v = _mm512_castps128_ps512(cell);
        return _mm512_shuffle_f32x4(v, v, 0);
    }

    // The four lanes of cell i within its block.
    ONDRAVA_TARGET_AVX512 static __mmask16 cellLanes(int32_t i) { return __mmask16(0xFu << (4 * (i & 3))); }
    // The lanes of a block's cells from cell `cell` on (none from 4 on).
    ONDRAVA_TARGET_AVX512 static __mmask16 lanesFrom(int32_t cell) {
        return cell < 4 ? __mmask16(0xFFFFu << (4 * cell)) : __mmask16(0);
    }

    // Normalises the block of four cells at `block`, writing only `inside`'s lanes.
    ONDRAVA_TARGET_AVX512 static void normalizeBlock(float* block, __m512 opaqueAbove, __mmask16 inside) {
        constexpr __mmask16 kAlpha = 0x1111, kColours = 0xEEEE;
        const __m512 one = _mm512_set1_ps(1.0f), zero = _mm512_setzero_ps();
        const __m512 c = _mm512_load_ps(block);
        const __m512 alpha = _mm512_permute_ps(c, 0);
        const __m512 quotient = _mm512_div_ps(_mm512_mask_mov_ps(c, kAlpha, one), alpha);
        const __m512 reciprocal = _mm512_permute_ps(quotient, 0);
        const __mmask16 divided = _mm512_mask_cmp_ps_mask(kColours, alpha, zero, _CMP_GT_OQ);
        const __mmask16 partial = _mm512_mask_cmp_ps_mask(kColours, alpha, one, _CMP_LT_OQ);
        const __mmask16 multiplied = _mm512_mask_cmp_ps_mask(partial, alpha, _mm512_set1_ps(0x1p-128f), _CMP_GT_OQ);
        const __mmask16 opaque = _mm512_mask_cmp_ps_mask(kAlpha, alpha, opaqueAbove, _CMP_GT_OQ);
        __m512 out = _mm512_mask_mov_ps(c, divided, quotient);
        out = _mm512_mask_mul_ps(out, multiplied, c, reciprocal);
        _mm512_mask_store_ps(block, inside, _mm512_mask_mov_ps(out, opaque, one));
    }

    // Each of four amounts over its cell's lanes.
    ONDRAVA_TARGET_AVX512 static __m512 spread(__m128 four) {
        const __m512i fours = _mm512_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3);
        return _mm512_permutexvar_ps(fours, _mm512_castps128_ps512(four));
    }

    // Cells `from` .. `to` - 1 of the block take amounts[from .. to - 1] times their
    // colour; the other amounts are not read.
    ONDRAVA_TARGET_AVX512 static void addAmountsInBlock(float* block, const float* amounts, int32_t from, int32_t to,
                                                        __m512 colour) {
        const __mmask8 used = __mmask8((0xFu << from) & (0xFu >> (4 - to)));
        const __m512 increments = _mm512_mul_ps(spread(_mm_maskz_loadu_ps(used, amounts)), colour);
        addBlock(block, __mmask16((0xFFFFu << (4 * from)) & (0xFFFFu >> (4 * (4 - to)))), increments);
    }

    ONDRAVA_TARGET_AVX512 static void addBlock(float* block, __mmask16 lanes, __m512 amounts) {
        const __m512 v = _mm512_load_ps(block);
        _mm512_store_ps(block, _mm512_mask_add_ps(v, lanes, v, amounts));
    }
};
