// Lanes: each vector path's primitive operations, one policy per instruction set,
// four (SSE2), eight (AVX2) or sixteen (AVX-512) lanes to a vector. Each operation
// does in every lane exactly what the scalar operation of the same name does
// (single-precision IEEE arithmetic, truncation toward zero), so that a rule
// written once over the lanes serves every path bit for bit: planRuns
// (render/stages/run_planning.h), the cell rules (render/paths/cell_vectors.h) and
// the pixel loads and stores (render/paths/pixel_vectors.h).
//
// A Mask holds one flag per lane. Gathers read lanes whose flag is off not at all.
//
// A vector also holds kCells = kCount / 4 cells of the line accumulator, four floats
// (A, R, G, B) each: the operations whose names speak of cells treat each group of
// four lanes as one cell.
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

#include <cstddef>
#include <cstdint>

#include "render/paths/vector_path.h"

// The 32-bit word at `at`, wherever it lies.
inline int32_t wordAt(const unsigned char* at) {
    int32_t w;
    __builtin_memcpy(&w, at, 4);
    return w;
}

// The word at base + lane x stride bytes in each lane whose bit is set in `flags`,
// 0 in the others, read one by one: for paths without gathers, and for strides too
// long for a gather's 32-bit offsets.
template <class L>
__attribute__((always_inline)) inline void readWordsOneByOne(const unsigned char* base, ptrdiff_t stride,
                                                             int32_t flags, typename L::Ints& words) {
    alignas(64) int32_t w[L::kCount];
    for (int k = 0; k < L::kCount; ++k) w[k] = (flags >> k) & 1 ? wordAt(base + k * stride) : 0;
    words = L::load(w);
}

// Words 0 .. kWords - 1 of the element at base + lane x stride bytes, word w at
// byte 4w of it, into words[w] (lanes outside `m` read as zero): one gather a word.
// Always inlined, so that the vectors stay within the calling path's function.
template <class L, int kWords>
__attribute__((always_inline)) inline void gatherWordByWord(const unsigned char* base, ptrdiff_t stride,
                                                            typename L::Mask m, typename L::Ints* words) {
    for (int w = 0; w < kWords; ++w) words[w] = L::gatherWords(base + 4 * w, stride, m);
}

// out[0 .. count - 1] = in[0 .. count - 1], times `factor` when kScaled, a vector at
// a time and the rest in one masked vector. In place of a copy the compiler would
// make a string copy, whose stores the next vector loads of the same floats wait
// for; and a float at a time, the rest of a short run costs as much as the copy.
template <class L, bool kScaled>
__attribute__((always_inline)) inline void copyFloats(float* out, const float* in, int32_t count, float factor) {
    const auto f = L::floats(factor);
    int32_t j = 0;
    for (; j + L::kCount <= count; j += L::kCount) {
        const auto v = L::load(in + j);
        L::store(out + j, kScaled ? L::mul(v, f) : v);
    }
    if (j < count) {
        const auto v = L::loadFirst(in + j, count - j);
        L::storeFirst(out + j, kScaled ? L::mul(v, f) : v, count - j);
    }
}

struct Sse2Lanes {
    static constexpr VectorPath kPath = VectorPath::kSse2;
    static constexpr int32_t kCount = 4;
    static constexpr int32_t kCells = kCount / 4;
    static constexpr int32_t kAlignment = 4 * kCount;  // bytes the accumulator is aligned to
    using Floats = __m128;
    using Ints = __m128i;
    using Mask = __m128i;

    // Before a call into code compiled for no path of its own (plain SSE), the wider
    // paths clear their registers' upper halves: SSE code run over dirty upper halves
    // is many times slower.
    static void zeroUpper() {}
    static Floats floats(float v) { return _mm_set1_ps(v); }
    static Ints ints(int32_t v) { return _mm_set1_epi32(v); }
    // first, first + step, first + 2 x step, ...
    static Ints sequence(int32_t first, int32_t step) {
        return _mm_setr_epi32(first, first + step, first + 2 * step, first + 3 * step);
    }
    static Floats load(const float* p) { return _mm_loadu_ps(p); }
    static Ints load(const int32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void store(float* p, Floats v) { _mm_storeu_ps(p, v); }
    static void store(int32_t* p, Ints v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    // The first n (below kCount) floats at p; the others are not touched.
    static Floats loadFirst(const float* p, int32_t n) {
        alignas(16) float lanes[kCount] = {};
        for (int32_t k = 0; k < n; ++k) lanes[k] = p[k];
        return _mm_load_ps(lanes);
    }
    static void storeFirst(float* p, Floats v, int32_t n) {
        alignas(16) float lanes[kCount];
        _mm_store_ps(lanes, v);
        for (int32_t k = 0; k < n; ++k) p[k] = lanes[k];
    }

    static Floats add(Floats a, Floats b) { return _mm_add_ps(a, b); }
    static Floats sub(Floats a, Floats b) { return _mm_sub_ps(a, b); }
    static Floats mul(Floats a, Floats b) { return _mm_mul_ps(a, b); }
    static Floats abs(Floats a) { return _mm_andnot_ps(_mm_set1_ps(-0.0f), a); }
    // a0, a1, ... moved up by one lane, the last lane of `before` in lane 0.
    static Floats shiftInLast(Floats a, Floats before) {
        const __m128 lastAndFirst = _mm_shuffle_ps(before, a, _MM_SHUFFLE(0, 0, 3, 3));
        return _mm_shuffle_ps(lastAndFirst, a, _MM_SHUFFLE(2, 1, 2, 0));
    }
    // The last lane in every lane.
    static Floats lastLanes(Floats a) { return _mm_shuffle_ps(a, a, _MM_SHUFFLE(3, 3, 3, 3)); }
    // float(double(a) x factor) in each lane.
    static Floats timesInDouble(Floats a, double factor) {
        const __m128d f = _mm_set1_pd(factor);
        const __m128 low = _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(a), f));
        const __m128 high = _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(a, a)), f));
        return _mm_movelh_ps(low, high);
    }
    static Floats toFloats(Ints a) { return _mm_cvtepi32_ps(a); }
    static Ints truncate(Floats a) { return _mm_cvttps_epi32(a); }
    static Ints add(Ints a, Ints b) { return _mm_add_epi32(a, b); }
    static Ints sub(Ints a, Ints b) { return _mm_sub_epi32(a, b); }
    static Ints bits(Ints a, int32_t mask) { return _mm_and_si128(a, _mm_set1_epi32(mask)); }
    static Ints shiftRight(Ints a, int count) { return _mm_srli_epi32(a, count); }
    static Ints shiftLeft(Ints a, int count) { return _mm_slli_epi32(a, count); }
    static Floats asFloats(Ints a) { return _mm_castsi128_ps(a); }

    static Mask less(Floats a, Floats b) { return _mm_castps_si128(_mm_cmplt_ps(a, b)); }
    static Mask lessOrEqual(Floats a, Floats b) { return _mm_castps_si128(_mm_cmple_ps(a, b)); }
    static Mask notEqual(Floats a, Floats b) { return _mm_castps_si128(_mm_cmpneq_ps(a, b)); }
    static Mask less(Ints a, Ints b) { return _mm_cmplt_epi32(a, b); }
    static Mask equal(Ints a, Ints b) { return _mm_cmpeq_epi32(a, b); }
    // Masks combined lane by lane: a and b, a or b, a and not b; and the mask of the
    // first `count` lanes.
    static Mask bitAnd(Mask a, Mask b) { return _mm_and_si128(a, b); }
    static Mask bitOr(Mask a, Mask b) { return _mm_or_si128(a, b); }
    static Mask andNot(Mask a, Mask b) { return _mm_andnot_si128(b, a); }
    static Mask firstLanes(int32_t count) { return _mm_cmplt_epi32(_mm_setr_epi32(0, 1, 2, 3), _mm_set1_epi32(count)); }
    static bool any(Mask m) { return _mm_movemask_epi8(m) != 0; }
    static int32_t flags(Mask m) { return _mm_movemask_ps(_mm_castsi128_ps(m)); }

    static Floats select(Mask m, Floats a, Floats b) {
        return _mm_or_ps(_mm_and_ps(_mm_castsi128_ps(m), a), _mm_andnot_ps(_mm_castsi128_ps(m), b));
    }
    static Ints select(Mask m, Ints a, Ints b) { return _mm_or_si128(_mm_and_si128(m, a), _mm_andnot_si128(m, b)); }
    static Ints min(Ints a, Ints b) { return select(less(a, b), a, b); }
    static Ints max(Ints a, Ints b) { return select(less(a, b), b, a); }

    // table[index] in each lane of `m`; 0 in the others.
    static Floats gather(const float* table, Ints index, Mask m) {
        alignas(16) int32_t i[4], on[4];
        store(i, index), store(on, m);
        return _mm_setr_ps(on[0] ? table[i[0]] : 0.0f, on[1] ? table[i[1]] : 0.0f, on[2] ? table[i[2]] : 0.0f,
                           on[3] ? table[i[3]] : 0.0f);
    }
    // The 32-bit word at base + lane x stride bytes in each lane of `m`; 0 in the others.
    static Ints gatherWords(const unsigned char* base, ptrdiff_t stride, Mask m) {
        Ints words;
        readWordsOneByOne<Sse2Lanes>(base, stride, flags(m), words);
        return words;
    }

    // The words of each lane's element, as gatherWordByWord gives them.
    template <int kWords>
    static void gatherElements(const unsigned char* base, ptrdiff_t stride, Mask m, Ints* words) {
        gatherWordByWord<Sse2Lanes, kWords>(base, stride, m, words);
    }

    static Floats div(Floats a, Floats b) { return _mm_div_ps(a, b); }
    static Mask equal(Floats a, Floats b) { return _mm_castps_si128(_mm_cmpeq_ps(a, b)); }
    // a + b in the lanes of m, a in the others.
    static Floats addWhere(Mask m, Floats a, Floats b) { return select(m, add(a, b), a); }

    // The cell (A, R, G, B) in every cell of a vector.
    static Floats everyCell(__m128 cell) { return cell; }
    // Each cell's alpha over its four lanes.
    static Floats cellAlphas(Floats a) { return _mm_shuffle_ps(a, a, 0); }
    // The alpha lane of every cell.
    static Mask alphaLanes() { return _mm_setr_epi32(-1, 0, 0, 0); }
    // The lanes of cell k; of cells k .. kCells - 1; of cells 0 .. k (0 <= k < kCells).
    static Mask cellLanes(int32_t) { return _mm_set1_epi32(-1); }
    static Mask cellsFrom(int32_t) { return _mm_set1_epi32(-1); }
    static Mask cellsThrough(int32_t) { return _mm_set1_epi32(-1); }
    // The alphas of the kCount cells from `cells` on, a cell a lane.
    static Floats alphasOf(const float (*cells)[4]) {
        const __m128 low = _mm_unpacklo_ps(_mm_loadu_ps(cells[0]), _mm_loadu_ps(cells[1]));
        const __m128 high = _mm_unpacklo_ps(_mm_loadu_ps(cells[2]), _mm_loadu_ps(cells[3]));
        return _mm_movelh_ps(low, high);
    }
    // amounts[k] over the lanes of cell k, for every cell; spreadAmountsIn reads only
    // the amounts of cells `from` .. `to` - 1 (0 <= from < to <= kCells), the other
    // cells' lanes taking 0.
    static Floats spreadAmounts(const float* amounts) { return _mm_set1_ps(amounts[0]); }
    static Floats spreadAmountsIn(const float* amounts, int32_t, int32_t) { return spreadAmounts(amounts); }
    // The cells in the opposite order.
    static Floats reverseCells(Floats a) { return a; }
    // The low 8 or 16 bits of each lane, one after the other at p.
    static void storeLowBytes(void* p, Ints a) {
        const __m128i low = _mm_and_si128(a, _mm_set1_epi32(0xFF));
        const int32_t packed = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(low, low), _mm_setzero_si128()));
        __builtin_memcpy(p, &packed, 4);
    }
    static void storeLowWords(void* p, Ints a) {
        // Signed packing: shifted down by 32768 and back, every 16-bit value packs exactly.
        const __m128i low = _mm_sub_epi32(_mm_and_si128(a, _mm_set1_epi32(0xFFFF)), _mm_set1_epi32(0x8000));
        const __m128i words = _mm_xor_si128(_mm_packs_epi32(low, low), _mm_set1_epi16(int16_t(0x8000)));
        _mm_storel_epi64(static_cast<__m128i*>(p), words);
    }
};

struct Avx2Lanes {
    static constexpr VectorPath kPath = VectorPath::kAvx2;
    static constexpr int32_t kCount = 8;
    static constexpr int32_t kCells = kCount / 4;
    static constexpr int32_t kAlignment = 4 * kCount;
    // Vectors travel in one-member records: generic code that hands them on is then
    // not taken for code that passes AVX registers without AVX.
    struct Floats { __m256 v; };
    struct Ints { __m256i v; };
    struct Mask { __m256i v; };

    ONDRAVA_TARGET_AVX2 static void zeroUpper() { _mm256_zeroupper(); }
    ONDRAVA_TARGET_AVX2 static Floats floats(float v) { return {_mm256_set1_ps(v)}; }
    ONDRAVA_TARGET_AVX2 static Ints ints(int32_t v) { return {_mm256_set1_epi32(v)}; }
    ONDRAVA_TARGET_AVX2 static Ints sequence(int32_t first, int32_t step) {
        const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
        return {_mm256_add_epi32(_mm256_set1_epi32(first), _mm256_mullo_epi32(lane, _mm256_set1_epi32(step)))};
    }
    ONDRAVA_TARGET_AVX2 static Floats load(const float* p) { return {_mm256_loadu_ps(p)}; }
    ONDRAVA_TARGET_AVX2 static Ints load(const int32_t* p) {
        return {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p))};
    }
    ONDRAVA_TARGET_AVX2 static void store(float* p, Floats a) { _mm256_storeu_ps(p, a.v); }
    ONDRAVA_TARGET_AVX2 static Floats loadFirst(const float* p, int32_t n) { return {_mm256_maskload_ps(p, firstLanes(n).v)}; }
    ONDRAVA_TARGET_AVX2 static void storeFirst(float* p, Floats a, int32_t n) { _mm256_maskstore_ps(p, firstLanes(n).v, a.v); }
    ONDRAVA_TARGET_AVX2 static void store(int32_t* p, Ints a) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), a.v);
    }

    ONDRAVA_TARGET_AVX2 static Floats add(Floats a, Floats b) { return {_mm256_add_ps(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX2 static Floats sub(Floats a, Floats b) { return {_mm256_sub_ps(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX2 static Floats mul(Floats a, Floats b) { return {_mm256_mul_ps(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX2 static Floats abs(Floats a) { return {_mm256_andnot_ps(_mm256_set1_ps(-0.0f), a.v)}; }
    ONDRAVA_TARGET_AVX2 static Floats shiftInLast(Floats a, Floats before) {
        const __m256 up = _mm256_permutevar8x32_ps(a.v, _mm256_setr_epi32(0, 0, 1, 2, 3, 4, 5, 6));
        return {_mm256_blend_ps(up, lastLanes(before).v, 1)};
    }
    ONDRAVA_TARGET_AVX2 static Floats lastLanes(Floats a) {
        return {_mm256_permutevar8x32_ps(a.v, _mm256_set1_epi32(7))};
    }
    ONDRAVA_TARGET_AVX2 static Floats timesInDouble(Floats a, double factor) {
        const __m256d f = _mm256_set1_pd(factor);
        const __m128 low = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(a.v)), f));
        const __m128 high = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(a.v, 1)), f));
        return {_mm256_insertf128_ps(_mm256_castps128_ps256(low), high, 1)};
    }
    ONDRAVA_TARGET_AVX2 static Floats toFloats(Ints a) { return {_mm256_cvtepi32_ps(a.v)}; }
    ONDRAVA_TARGET_AVX2 static Floats asFloats(Ints a) { return {_mm256_castsi256_ps(a.v)}; }
    ONDRAVA_TARGET_AVX2 static Ints truncate(Floats a) { return {_mm256_cvttps_epi32(a.v)}; }
    ONDRAVA_TARGET_AVX2 static Ints add(Ints a, Ints b) { return {_mm256_add_epi32(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX2 static Ints sub(Ints a, Ints b) { return {_mm256_sub_epi32(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX2 static Ints bits(Ints a, int32_t mask) {
        return {_mm256_and_si256(a.v, _mm256_set1_epi32(mask))};
    }
    ONDRAVA_TARGET_AVX2 static Ints shiftRight(Ints a, int count) { return {_mm256_srli_epi32(a.v, count)}; }
    ONDRAVA_TARGET_AVX2 static Ints shiftLeft(Ints a, int count) { return {_mm256_slli_epi32(a.v, count)}; }
    ONDRAVA_TARGET_AVX2 static Ints min(Ints a, Ints b) { return {_mm256_min_epi32(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX2 static Ints max(Ints a, Ints b) { return {_mm256_max_epi32(a.v, b.v)}; }

    ONDRAVA_TARGET_AVX2 static Mask less(Floats a, Floats b) {
        return {_mm256_castps_si256(_mm256_cmp_ps(a.v, b.v, _CMP_LT_OQ))};
    }
    ONDRAVA_TARGET_AVX2 static Mask lessOrEqual(Floats a, Floats b) {
        return {_mm256_castps_si256(_mm256_cmp_ps(a.v, b.v, _CMP_LE_OQ))};
    }
    ONDRAVA_TARGET_AVX2 static Mask notEqual(Floats a, Floats b) {
        return {_mm256_castps_si256(_mm256_cmp_ps(a.v, b.v, _CMP_NEQ_UQ))};
    }
    ONDRAVA_TARGET_AVX2 static Mask less(Ints a, Ints b) { return {_mm256_cmpgt_epi32(b.v, a.v)}; }
    ONDRAVA_TARGET_AVX2 static Mask equal(Ints a, Ints b) { return {_mm256_cmpeq_epi32(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX2 static Mask bitAnd(Mask a, Mask b) { return {_mm256_and_si256(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX2 static Mask bitOr(Mask a, Mask b) { return {_mm256_or_si256(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX2 static Mask andNot(Mask a, Mask b) { return {_mm256_andnot_si256(b.v, a.v)}; }
    ONDRAVA_TARGET_AVX2 static Mask firstLanes(int32_t count) {
        return {_mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7))};
    }
    ONDRAVA_TARGET_AVX2 static bool any(Mask m) { return !_mm256_testz_si256(m.v, m.v); }
    ONDRAVA_TARGET_AVX2 static int32_t flags(Mask m) { return _mm256_movemask_ps(_mm256_castsi256_ps(m.v)); }

    ONDRAVA_TARGET_AVX2 static Floats select(Mask m, Floats a, Floats b) {
        return {_mm256_blendv_ps(b.v, a.v, _mm256_castsi256_ps(m.v))};
    }
    ONDRAVA_TARGET_AVX2 static Ints select(Mask m, Ints a, Ints b) { return {_mm256_blendv_epi8(b.v, a.v, m.v)}; }

    ONDRAVA_TARGET_AVX2 static Floats gather(const float* table, Ints index, Mask m) {
        return {_mm256_mask_i32gather_ps(_mm256_setzero_ps(), table, index.v, _mm256_castsi256_ps(m.v), 4)};
    }
    // A stride too long for 32-bit offsets (frames far beyond the usual) reads word by word.
    ONDRAVA_TARGET_AVX2 static Ints gatherWords(const unsigned char* base, ptrdiff_t stride, Mask m) {
        if (stride > -kLongestStride && stride < kLongestStride) {
            const __m256i offset = sequence(0, int32_t(stride)).v;
            return {_mm256_mask_i32gather_epi32(_mm256_setzero_si256(), reinterpret_cast<const int*>(base), offset,
                                                m.v, 1)};
        }
        Ints words;
        readWordsOneByOne<Avx2Lanes>(base, stride, flags(m), words);
        return words;
    }
    template <int kWords>
    ONDRAVA_TARGET_AVX2 static void gatherElements(const unsigned char* base, ptrdiff_t stride, Mask m, Ints* words) {
        gatherWordByWord<Avx2Lanes, kWords>(base, stride, m, words);
    }

    ONDRAVA_TARGET_AVX2 static Floats div(Floats a, Floats b) { return {_mm256_div_ps(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX2 static Mask equal(Floats a, Floats b) {
        return {_mm256_castps_si256(_mm256_cmp_ps(a.v, b.v, _CMP_EQ_OQ))};
    }
    ONDRAVA_TARGET_AVX2 static Floats addWhere(Mask m, Floats a, Floats b) { return select(m, add(a, b), a); }

    ONDRAVA_TARGET_AVX2 static Floats everyCell(__m128 cell) { return {_mm256_set_m128(cell, cell)}; }
    ONDRAVA_TARGET_AVX2 static Floats cellAlphas(Floats a) { return {_mm256_shuffle_ps(a.v, a.v, 0)}; }
    ONDRAVA_TARGET_AVX2 static Mask alphaLanes() { return {_mm256_setr_epi32(-1, 0, 0, 0, -1, 0, 0, 0)}; }
    ONDRAVA_TARGET_AVX2 static Mask cellLanes(int32_t k) { return {_mm256_cmpeq_epi32(cellOfLane(), _mm256_set1_epi32(k))}; }
    ONDRAVA_TARGET_AVX2 static Mask cellsFrom(int32_t k) {
        return {_mm256_cmpgt_epi32(cellOfLane(), _mm256_set1_epi32(k - 1))};
    }
    ONDRAVA_TARGET_AVX2 static Mask cellsThrough(int32_t k) {
        return {_mm256_cmpgt_epi32(_mm256_set1_epi32(k + 1), cellOfLane())};
    }
    ONDRAVA_TARGET_AVX2 static __m256i cellOfLane() { return _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1); }
    ONDRAVA_TARGET_AVX2 static Floats alphasOf(const float (*cells)[4]) {
        // Alphas of cells 0, 2 | 1, 3 and 4, 6 | 5, 7 side by side in each half, then in order.
        const __m256 low = _mm256_unpacklo_ps(_mm256_loadu_ps(cells[0]), _mm256_loadu_ps(cells[2]));
        const __m256 high = _mm256_unpacklo_ps(_mm256_loadu_ps(cells[4]), _mm256_loadu_ps(cells[6]));
        const __m256 evenOdd = _mm256_shuffle_ps(low, high, _MM_SHUFFLE(1, 0, 1, 0));
        return {_mm256_permutevar8x32_ps(evenOdd, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7))};
    }
    ONDRAVA_TARGET_AVX2 static Floats spreadAmounts(const float* amounts) {
        return {_mm256_set_m128(_mm_set1_ps(amounts[1]), _mm_set1_ps(amounts[0]))};
    }
    ONDRAVA_TARGET_AVX2 static Floats spreadAmountsIn(const float* amounts, int32_t from, int32_t to) {
        const __m128i cell = _mm_setr_epi32(0, 1, 2, 3);
        const __m128i used = _mm_and_si128(_mm_cmpgt_epi32(cell, _mm_set1_epi32(from - 1)),
                                           _mm_cmpgt_epi32(_mm_set1_epi32(to), cell));
        const __m256 two = _mm256_castps128_ps256(_mm_maskload_ps(amounts, used));
        return {_mm256_permutevar8x32_ps(two, _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1))};
    }
    ONDRAVA_TARGET_AVX2 static Floats reverseCells(Floats a) { return {_mm256_permute2f128_ps(a.v, a.v, 1)}; }
    ONDRAVA_TARGET_AVX2 static void storeLowBytes(void* p, Ints a) {
        const __m256i low = _mm256_and_si256(a.v, _mm256_set1_epi32(0xFF));
        const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(low, low), _mm256_setzero_si256());
        // Each half holds its four bytes first.
        const __m256i both = _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 0, 0, 0, 0, 0, 0));
        _mm_storel_epi64(static_cast<__m128i*>(p), _mm256_castsi256_si128(both));
    }
    ONDRAVA_TARGET_AVX2 static void storeLowWords(void* p, Ints a) {
        const __m256i low = _mm256_and_si256(a.v, _mm256_set1_epi32(0xFFFF));
        const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(low, low), 0x08);
        _mm_storeu_si128(static_cast<__m128i*>(p), _mm256_castsi256_si128(words));
    }
    static constexpr ptrdiff_t kLongestStride = INT32_MAX / 8;
};

struct Avx512Lanes {
    static constexpr VectorPath kPath = VectorPath::kAvx512;
    static constexpr int32_t kCount = 16;
    static constexpr int32_t kCells = kCount / 4;
    static constexpr int32_t kAlignment = 4 * kCount;
    struct Floats { __m512 v; };
    struct Ints { __m512i v; };
    using Mask = __mmask16;

    ONDRAVA_TARGET_AVX512 static void zeroUpper() { _mm256_zeroupper(); }
    ONDRAVA_TARGET_AVX512 static Floats floats(float v) { return {_mm512_set1_ps(v)}; }
    ONDRAVA_TARGET_AVX512 static Ints ints(int32_t v) { return {_mm512_set1_epi32(v)}; }
    ONDRAVA_TARGET_AVX512 static Ints sequence(int32_t first, int32_t step) {
        const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        return {_mm512_add_epi32(_mm512_set1_epi32(first), _mm512_mullo_epi32(lane, _mm512_set1_epi32(step)))};
    }
    ONDRAVA_TARGET_AVX512 static Floats load(const float* p) { return {_mm512_loadu_ps(p)}; }
    ONDRAVA_TARGET_AVX512 static Ints load(const int32_t* p) { return {_mm512_loadu_si512(p)}; }
    ONDRAVA_TARGET_AVX512 static void store(float* p, Floats a) { _mm512_storeu_ps(p, a.v); }
    ONDRAVA_TARGET_AVX512 static Floats loadFirst(const float* p, int32_t n) { return {_mm512_maskz_loadu_ps(firstLanes(n), p)}; }
    ONDRAVA_TARGET_AVX512 static void storeFirst(float* p, Floats a, int32_t n) { _mm512_mask_storeu_ps(p, firstLanes(n), a.v); }
    ONDRAVA_TARGET_AVX512 static void store(int32_t* p, Ints a) { _mm512_storeu_si512(p, a.v); }

    ONDRAVA_TARGET_AVX512 static Floats add(Floats a, Floats b) { return {_mm512_add_ps(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX512 static Floats sub(Floats a, Floats b) { return {_mm512_sub_ps(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX512 static Floats mul(Floats a, Floats b) { return {_mm512_mul_ps(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX512 static Floats abs(Floats a) {
        return {_mm512_castsi512_ps(_mm512_and_si512(_mm512_castps_si512(a.v), _mm512_set1_epi32(INT32_MAX)))};
    }
    ONDRAVA_TARGET_AVX512 static Floats shiftInLast(Floats a, Floats before) {
        return {_mm512_castsi512_ps(_mm512_alignr_epi32(_mm512_castps_si512(a.v), _mm512_castps_si512(before.v), 15))};
    }
    ONDRAVA_TARGET_AVX512 static Floats lastLanes(Floats a) {
        return {_mm512_permutexvar_ps(_mm512_set1_epi32(15), a.v)};
    }
    ONDRAVA_TARGET_AVX512 static Floats timesInDouble(Floats a, double factor) {
        const __m512d f = _mm512_set1_pd(factor);
        const __m256 low = _mm512_cvtpd_ps(_mm512_mul_pd(_mm512_cvtps_pd(_mm512_castps512_ps256(a.v)), f));
        const __m256 high = _mm512_cvtpd_ps(
            _mm512_mul_pd(_mm512_cvtps_pd(_mm256_castpd_ps(_mm512_extractf64x4_pd(_mm512_castps_pd(a.v), 1))), f));
        return {_mm512_insertf32x8(_mm512_castps256_ps512(low), high, 1)};
    }
    ONDRAVA_TARGET_AVX512 static Floats toFloats(Ints a) { return {_mm512_cvtepi32_ps(a.v)}; }
    ONDRAVA_TARGET_AVX512 static Floats asFloats(Ints a) { return {_mm512_castsi512_ps(a.v)}; }
    ONDRAVA_TARGET_AVX512 static Ints truncate(Floats a) { return {_mm512_cvttps_epi32(a.v)}; }
    ONDRAVA_TARGET_AVX512 static Ints add(Ints a, Ints b) { return {_mm512_add_epi32(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX512 static Ints sub(Ints a, Ints b) { return {_mm512_sub_epi32(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX512 static Ints bits(Ints a, int32_t mask) {
        return {_mm512_and_si512(a.v, _mm512_set1_epi32(mask))};
    }
    ONDRAVA_TARGET_AVX512 static Ints shiftRight(Ints a, int count) { return {_mm512_srli_epi32(a.v, unsigned(count))}; }
    ONDRAVA_TARGET_AVX512 static Ints shiftLeft(Ints a, int count) { return {_mm512_slli_epi32(a.v, unsigned(count))}; }
    ONDRAVA_TARGET_AVX512 static Ints min(Ints a, Ints b) { return {_mm512_min_epi32(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX512 static Ints max(Ints a, Ints b) { return {_mm512_max_epi32(a.v, b.v)}; }

    ONDRAVA_TARGET_AVX512 static Mask less(Floats a, Floats b) { return _mm512_cmp_ps_mask(a.v, b.v, _CMP_LT_OQ); }
    ONDRAVA_TARGET_AVX512 static Mask lessOrEqual(Floats a, Floats b) {
        return _mm512_cmp_ps_mask(a.v, b.v, _CMP_LE_OQ);
    }
    ONDRAVA_TARGET_AVX512 static Mask notEqual(Floats a, Floats b) {
        return _mm512_cmp_ps_mask(a.v, b.v, _CMP_NEQ_UQ);
    }
    ONDRAVA_TARGET_AVX512 static Mask less(Ints a, Ints b) { return _mm512_cmplt_epi32_mask(a.v, b.v); }
    ONDRAVA_TARGET_AVX512 static Mask equal(Ints a, Ints b) { return _mm512_cmpeq_epi32_mask(a.v, b.v); }
    ONDRAVA_TARGET_AVX512 static Mask bitAnd(Mask a, Mask b) { return __mmask16(a & b); }
    ONDRAVA_TARGET_AVX512 static Mask bitOr(Mask a, Mask b) { return __mmask16(a | b); }
    ONDRAVA_TARGET_AVX512 static Mask andNot(Mask a, Mask b) { return __mmask16(a & ~b); }
    ONDRAVA_TARGET_AVX512 static Mask firstLanes(int32_t count) {
        return __mmask16(count >= 16 ? 0xFFFFu : (1u << count) - 1u);
    }
    ONDRAVA_TARGET_AVX512 static bool any(Mask m) { return m != 0; }
    ONDRAVA_TARGET_AVX512 static int32_t flags(Mask m) { return m; }

    ONDRAVA_TARGET_AVX512 static Floats select(Mask m, Floats a, Floats b) { return {_mm512_mask_mov_ps(b.v, m, a.v)}; }
    ONDRAVA_TARGET_AVX512 static Ints select(Mask m, Ints a, Ints b) { return {_mm512_mask_mov_epi32(b.v, m, a.v)}; }

    ONDRAVA_TARGET_AVX512 static Floats gather(const float* table, Ints index, Mask m) {
        return {_mm512_mask_i32gather_ps(_mm512_setzero_ps(), m, index.v, table, 4)};
    }
    ONDRAVA_TARGET_AVX512 static Ints gatherWords(const unsigned char* base, ptrdiff_t stride, Mask m) {
        if (stride > -kLongestStride && stride < kLongestStride) {
            return {_mm512_mask_i32gather_epi32(_mm512_setzero_si512(), m, sequence(0, int32_t(stride)).v, base, 1)};
        }
        Ints words;
        readWordsOneByOne<Avx512Lanes>(base, stride, flags(m), words);
        return words;
    }
    // The words of each lane's element, as gatherWordByWord gives them, read the
    // cheapest way the elements' spacing allows. A gather costs about one load per
    // lane, a whole vector one load for up to sixteen words:
    //   - elements one after the other (a row read forward), or a few words apart
    //     with every lane asked for (a row sampled every few pixels), lie within
    //     eight vectors: readNearElements;
    //   - four-word elements anywhere, every lane asked for (a column, a float
    //     frame): each element is one 128-bit load, readFourWordElements;
    //   - anything else: a gather a word.
    template <int kWords>
    ONDRAVA_TARGET_AVX512 static void gatherElements(const unsigned char* base, ptrdiff_t stride, Mask m,
                                                     Ints* words) {
        const bool adjacent = stride == 4 * kWords;
        const bool fewWordsApart = m == 0xFFFF && stride > 4 * kWords && stride <= 32 && stride % 4 == 0;
        if (adjacent || fewWordsApart) {
            readNearElements<kWords>(base, stride, m, words);
        } else if (kWords == 4 && m == 0xFFFF) {
            readFourWordElements(base, stride, words);
        } else {
            gatherWordByWord<Avx512Lanes, kWords>(base, stride, m, words);
        }
    }
    // Elements at most eight words apart, stride a whole number of words: the span
    // they cover is read as whole vectors, eight at most, and each lane's words
    // picked from them. Between elements a few words apart the words lie in the same
    // line of pixels and are read along with them; adjacent elements' words are read
    // only for the lanes asked for, so that nothing past the last pixel asked for is read.
    template <int kWords>
    ONDRAVA_TARGET_AVX512 static void readNearElements(const unsigned char* base, ptrdiff_t stride, Mask m,
                                                       Ints* words) {
        const bool adjacent = stride == 4 * kWords;
        const auto* at = reinterpret_cast<const int32_t*>(base);
        const int32_t apart = int32_t(stride / 4), span = 15 * apart + kWords;
        __m512i part[8];
        for (int q = 0; q < 8; ++q) {
            const int32_t count = span - 16 * q;
            __mmask16 read = count >= 16 ? __mmask16(0xFFFF) : count > 0 ? __mmask16((1u << count) - 1u) : 0;
            if (adjacent && read != 0) read &= lanesWords<kWords>(uint32_t(m) >> (q * 16 / kWords));
            part[q] = read != 0 ? _mm512_maskz_loadu_epi32(read, at + 16 * q) : _mm512_setzero_si512();
        }
        // A lane's word index picks, by its low five bits, from the pair of parts
        // that holds it.
        for (int w = 0; w < kWords; ++w) {
            const __m512i index = sequence(w, apart).v;
            __m512i word = _mm512_permutex2var_epi32(part[0], index, part[1]);
            for (int pair = 1; pair < 4 && 32 * pair < span; ++pair) {
                const __mmask16 inPair = _mm512_cmpge_epi32_mask(index, _mm512_set1_epi32(32 * pair));
                word = _mm512_mask_mov_epi32(word, inPair,
                                             _mm512_permutex2var_epi32(part[2 * pair], index, part[2 * pair + 1]));
            }
            words[w] = {word};
        }
    }
    // Sixteen elements of four words, any distance apart: each is read whole into a
    // quarter of a vector, element 4i + q into quarter i of vector q, and the four
    // vectors are transposed four by four within their quarters.
    ONDRAVA_TARGET_AVX512 static void readFourWordElements(const unsigned char* base, ptrdiff_t stride, Ints* words) {
        const auto element = [&](int k) { return _mm_loadu_ps(reinterpret_cast<const float*>(base + k * stride)); };
        __m512 v[4];
        for (int q = 0; q < 4; ++q) {
            v[q] = _mm512_insertf32x4(_mm512_castps128_ps512(element(q)), element(4 + q), 1);
            v[q] = _mm512_insertf32x4(_mm512_insertf32x4(v[q], element(8 + q), 2), element(12 + q), 3);
        }
        // Pairs of words, as doubles, complete the transpose.
        const __m512d low01 = _mm512_castps_pd(_mm512_unpacklo_ps(v[0], v[1]));
        const __m512d high01 = _mm512_castps_pd(_mm512_unpackhi_ps(v[0], v[1]));
        const __m512d low23 = _mm512_castps_pd(_mm512_unpacklo_ps(v[2], v[3]));
        const __m512d high23 = _mm512_castps_pd(_mm512_unpackhi_ps(v[2], v[3]));
        words[0] = {_mm512_castpd_si512(_mm512_unpacklo_pd(low01, low23))};
        words[1] = {_mm512_castpd_si512(_mm512_unpackhi_pd(low01, low23))};
        words[2] = {_mm512_castpd_si512(_mm512_unpacklo_pd(high01, high23))};
        words[3] = {_mm512_castpd_si512(_mm512_unpackhi_pd(high01, high23))};
    }
    // The words of 16 / kWords adjacent elements, from the lanes' flags in `bits`:
    // each flag repeated kWords times.
    template <int kWords>
    static __mmask16 lanesWords(uint32_t bits) {
        if constexpr (kWords == 1) {
            return __mmask16(bits);
        } else if constexpr (kWords == 2) {
            bits &= 0xFFu;
            bits = (bits | (bits << 4)) & 0x0F0Fu;
            bits = (bits | (bits << 2)) & 0x3333u;
            bits = (bits | (bits << 1)) & 0x5555u;
            return __mmask16(bits | (bits << 1));
        } else {
            static_assert(kWords == 4, "elements of one, two or four words");
            bits &= 0xFu;
            bits = (bits | (bits << 6)) & 0x0303u;
            bits = (bits | (bits << 3)) & 0x1111u;
            return __mmask16(bits * 0xFu);
        }
    }
    static constexpr ptrdiff_t kLongestStride = INT32_MAX / 16;

    ONDRAVA_TARGET_AVX512 static Floats div(Floats a, Floats b) { return {_mm512_div_ps(a.v, b.v)}; }
    ONDRAVA_TARGET_AVX512 static Mask equal(Floats a, Floats b) { return _mm512_cmp_ps_mask(a.v, b.v, _CMP_EQ_OQ); }
    ONDRAVA_TARGET_AVX512 static Floats addWhere(Mask m, Floats a, Floats b) {
        return {_mm512_mask_add_ps(a.v, m, a.v, b.v)};
    }

    ONDRAVA_TARGET_AVX512 static Floats everyCell(__m128 cell) {
        const __m512 v = _mm512_castps128_ps512(cell);
        return {_mm512_shuffle_f32x4(v, v, 0)};
    }
    ONDRAVA_TARGET_AVX512 static Floats cellAlphas(Floats a) { return {_mm512_permute_ps(a.v, 0)}; }
    ONDRAVA_TARGET_AVX512 static Mask alphaLanes() { return 0x1111; }
    ONDRAVA_TARGET_AVX512 static Mask cellLanes(int32_t k) { return __mmask16(0xFu << (4 * k)); }
    ONDRAVA_TARGET_AVX512 static Mask cellsFrom(int32_t k) { return __mmask16(0xFFFFu << (4 * k)); }
    ONDRAVA_TARGET_AVX512 static Mask cellsThrough(int32_t k) { return __mmask16(0xFFFFu >> (4 * (3 - k))); }
    // Sixteen alphas from four vectors of four cells each.
    ONDRAVA_TARGET_AVX512 static Floats alphasOf(const float (*cells)[4]) {
        const __m512i alphaOfCell = _mm512_setr_epi32(0, 4, 8, 12, 16, 20, 24, 28, 0, 4, 8, 12, 16, 20, 24, 28);
        const auto eight = [&](int32_t k) ONDRAVA_TARGET_AVX512 {
            return _mm512_permutex2var_ps(_mm512_loadu_ps(cells[k]), alphaOfCell, _mm512_loadu_ps(cells[k + 4]));
        };
        return {_mm512_mask_mov_ps(eight(0), 0xFF00, eight(8))};
    }
    ONDRAVA_TARGET_AVX512 static Floats spreadAmounts(const float* amounts) { return spreadFour(_mm_loadu_ps(amounts)); }
    ONDRAVA_TARGET_AVX512 static Floats spreadAmountsIn(const float* amounts, int32_t from, int32_t to) {
        return spreadFour(_mm_maskz_loadu_ps(__mmask8((0xFu << from) & (0xFu >> (4 - to))), amounts));
    }
    ONDRAVA_TARGET_AVX512 static Floats spreadFour(__m128 four) {
        const __m512i fours = _mm512_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3);
        return {_mm512_permutexvar_ps(fours, _mm512_castps128_ps512(four))};
    }
    ONDRAVA_TARGET_AVX512 static Floats reverseCells(Floats a) { return {_mm512_shuffle_f32x4(a.v, a.v, 0x1B)}; }
    ONDRAVA_TARGET_AVX512 static void storeLowBytes(void* p, Ints a) {
        _mm_storeu_si128(static_cast<__m128i*>(p), _mm512_cvtepi32_epi8(a.v));
    }
    ONDRAVA_TARGET_AVX512 static void storeLowWords(void* p, Ints a) {
        _mm256_storeu_si256(static_cast<__m256i*>(p), _mm512_cvtepi32_epi16(a.v));
    }
};
