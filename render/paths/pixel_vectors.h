// Finished cells stored as output pixels, several to a vector: each channel value
// times 255 or 32768 in single precision, truncated toward zero to 32 bits (held at
// the ends of that range, NaN giving 0), and its low 8 or 16 bits kept; float cells
// copied as they are. Lines along rows are stored whole vectors at a time, forward
// (Right) or backward (Left); other steps a pixel at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "render/paths/cell_vectors.h"

// One cell as one pixel, on every path.
template <class Traits>
void storeCell(const float* cell, typename Traits::Channel* pixel) {
    using Channel = typename Traits::Channel;
    const __m128 value = _mm_loadu_ps(cell);
    if constexpr (sizeof(Channel) == 4) {
        _mm_storeu_ps(reinterpret_cast<float*>(pixel), value);
    } else {
        const __m128 scaled = _mm_mul_ps(value, _mm_set1_ps(sizeof(Channel) == 1 ? 255.0f : 32768.0f));
        // cvttps gives 0x80000000 beyond the int32 range and for NaN, whose low bits
        // are those of INT32_MIN and 0; only the top end must become INT32_MAX.
        const __m128i above = _mm_castps_si128(_mm_cmpge_ps(scaled, _mm_set1_ps(2147483648.0f)));
        const __m128i truncated = _mm_or_si128(_mm_andnot_si128(above, _mm_cvttps_epi32(scaled)),
                                               _mm_and_si128(above, _mm_set1_epi32(INT32_MAX)));
        if constexpr (sizeof(Channel) == 1) {
            const __m128i low = _mm_and_si128(truncated, _mm_set1_epi32(0xFF));
            const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(low, low), _mm_setzero_si128());
            const int32_t packed = _mm_cvtsi128_si32(bytes);
            std::memcpy(pixel, &packed, 4);
        } else {
            // Signed packing: shifted down by 32768 and back, every 16-bit value packs exactly.
            const __m128i low = _mm_sub_epi32(_mm_and_si128(truncated, _mm_set1_epi32(0xFFFF)), _mm_set1_epi32(0x8000));
            const __m128i words = _mm_xor_si128(_mm_packs_epi32(low, low), _mm_set1_epi16(int16_t(0x8000)));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(pixel), words);
        }
    }
}

template <class Cells>
struct PixelStores;

template <>
struct PixelStores<Sse2Cells> {
    // Cell i goes to first + i x pixelStep (channels).
    template <class Traits>
    static void store(const float (*cells)[4], int32_t count, typename Traits::Channel* first, ptrdiff_t pixelStep) {
        for (int32_t i = 0; i < count; ++i) storeCell<Traits>(cells[i], first + i * pixelStep);
    }
};

template <>
struct PixelStores<Avx2Cells> {
    template <class Traits>
    ONDRAVA_TARGET_AVX2 static void store(const float (*cells)[4], int32_t count, typename Traits::Channel* first,
                                          ptrdiff_t pixelStep) {
        int32_t i = 0;
        if (pixelStep == 4 || pixelStep == -4) {
            const bool backward = pixelStep < 0;
            for (; i + 2 <= count; i += 2) {
                // Backward, the pair's second cell lies first in memory.
                auto* pair = first + i * pixelStep - (backward ? 4 : 0);
                storePair<Traits>(cells[i], pair, backward);
            }
        }
        for (; i < count; ++i) storeCell<Traits>(cells[i], first + i * pixelStep);
    }

private:
    template <class Traits>
    ONDRAVA_TARGET_AVX2 static void storePair(const float* cells, typename Traits::Channel* pair, bool backward) {
        using Channel = typename Traits::Channel;
        __m256 value = _mm256_loadu_ps(cells);
        if (backward) value = _mm256_permute2f128_ps(value, value, 1);
        if constexpr (sizeof(Channel) == 4) {
            _mm256_storeu_ps(reinterpret_cast<float*>(pair), value);
        } else {
            const __m256 scaled = _mm256_mul_ps(value, _mm256_set1_ps(sizeof(Channel) == 1 ? 255.0f : 32768.0f));
            const __m256i above = _mm256_castps_si256(_mm256_cmp_ps(scaled, _mm256_set1_ps(2147483648.0f), _CMP_GE_OQ));
            const __m256i truncated = _mm256_blendv_epi8(_mm256_cvttps_epi32(scaled), _mm256_set1_epi32(INT32_MAX), above);
            if constexpr (sizeof(Channel) == 1) {
                const __m256i low = _mm256_and_si256(truncated, _mm256_set1_epi32(0xFF));
                const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(low, low), _mm256_setzero_si256());
                // Each half holds one pixel in its first four bytes.
                const __m256i pixels = _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 0, 0, 0, 0, 0, 0));
                _mm_storel_epi64(reinterpret_cast<__m128i*>(pair), _mm256_castsi256_si128(pixels));
            } else {
                const __m256i low = _mm256_and_si256(truncated, _mm256_set1_epi32(0xFFFF));
                const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(low, low), 0x08);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(pair), _mm256_castsi256_si128(words));
            }
        }
    }
};

template <>
struct PixelStores<Avx512Cells> {
    template <class Traits>
    ONDRAVA_TARGET_AVX512 static void store(const float (*cells)[4], int32_t count, typename Traits::Channel* first,
                                            ptrdiff_t pixelStep) {
        int32_t i = 0;
        if (pixelStep == 4 || pixelStep == -4) {
            const bool backward = pixelStep < 0;
            for (; i + 4 <= count; i += 4) {
                // Backward, the fourth cell of the four lies first in memory.
                auto* four = first + i * pixelStep - (backward ? 12 : 0);
                storeFour<Traits>(cells[i], four, backward);
            }
        }
        for (; i < count; ++i) storeCell<Traits>(cells[i], first + i * pixelStep);
    }

private:
    template <class Traits>
    ONDRAVA_TARGET_AVX512 static void storeFour(const float* cells, typename Traits::Channel* four, bool backward) {
        using Channel = typename Traits::Channel;
        __m512 value = _mm512_loadu_ps(cells);
        if (backward) value = _mm512_shuffle_f32x4(value, value, 0x1B);
        if constexpr (sizeof(Channel) == 4) {
            _mm512_storeu_ps(four, value);
        } else {
            const __m512 scaled = _mm512_mul_ps(value, _mm512_set1_ps(sizeof(Channel) == 1 ? 255.0f : 32768.0f));
            const __mmask16 above = _mm512_cmp_ps_mask(scaled, _mm512_set1_ps(2147483648.0f), _CMP_GE_OQ);
            const __m512i truncated =
                _mm512_mask_mov_epi32(_mm512_cvttps_epi32(scaled), above, _mm512_set1_epi32(INT32_MAX));
            if constexpr (sizeof(Channel) == 1) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(four), _mm512_cvtepi32_epi8(truncated));
            } else {
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(four), _mm512_cvtepi32_epi16(truncated));
            }
        }
    }
};
