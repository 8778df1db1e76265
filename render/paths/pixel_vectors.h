// Pixels and vectors, both ways. Pixels are read into lanes, a pixel per lane: each
// channel as a value (8 and 16 bits times the float nearest 1/255, or 2^-15; float
// as it is), with the pixel's brightness index. Finished cells are stored as output
// pixels, several to a vector: each channel value times 255 or 32768 in single
// precision, truncated toward zero to 32 bits (held at the ends of that range, NaN
// giving 0), and its low 8 or 16 bits kept; float cells copied as they are. Lines
// along rows are stored whole vectors at a time, forward (Right) or backward
// (Left); other steps a pixel at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "render/kernel/channel_traits.h"
#include "render/paths/cell_vectors.h"
#include "render/paths/lanes.h"

// The helpers below take and give vectors by reference: a routine written once over
// the lanes is compiled for no path of its own, and only the paths' functions may
// pass their vectors in registers.

// q = the whole number x / d rounded down, for whole x and d below 2^24: a quotient
// one off near a whole number is put right by its remainder.
template <class L>
void exactQuotient(typename L::Ints& q, const typename L::Floats& x, float d) {
    const typename L::Floats guess = L::toFloats(L::truncate(L::mul(x, L::floats(1.0f / d))));
    const typename L::Floats r = L::sub(x, L::mul(guess, L::floats(d)));
    const typename L::Floats low = L::select(L::less(r, L::floats(0.0f)), L::sub(guess, L::floats(1.0f)), guess);
    q = L::truncate(L::select(L::lessOrEqual(L::floats(d), r), L::add(guess, L::floats(1.0f)), low));
}

// A pixel's four channel values and its brightness index, a pixel per lane.
template <class Lanes>
struct LanePixels {
    typename Lanes::Floats a, r, g, b;
    typename Lanes::Ints luma;
};

// Reads the pixel at `at` + lane x stride bytes in each lane of `m` (others read as
// zero) as Traits reads a pixel: channel values and lumaIndex.
template <class Traits, class L>
void loadPixels(LanePixels<L>& px, const unsigned char* at, ptrdiff_t stride, const typename L::Mask& m) {
    using Channel = typename Traits::Channel;
    if constexpr (sizeof(Channel) == 1) {
        typename L::Ints element[1];
        L::template gatherElements<1>(at, stride, m, element);
        const typename L::Ints word = element[0];
        const typename L::Ints alpha = L::bits(word, 0xFF), red = L::bits(L::shiftRight(word, 8), 0xFF);
        const typename L::Ints green = L::bits(L::shiftRight(word, 16), 0xFF), blue = L::shiftRight(word, 24);
        const typename L::Floats scale = L::floats(0.003921568859368563f);
        px.a = L::mul(L::toFloats(alpha), scale);
        px.r = L::mul(L::toFloats(red), scale);
        px.g = L::mul(L::toFloats(green), scale);
        px.b = L::mul(L::toFloats(blue), scale);
        // (R + G + B) x 767 / 765, the product exact in single precision.
        const typename L::Floats x = L::mul(L::toFloats(L::add(L::add(red, green), blue)), L::floats(767.0f));
        exactQuotient<L>(px.luma, x, 765.0f);
    } else if constexpr (sizeof(Channel) == 2) {
        typename L::Ints element[2];
        L::template gatherElements<2>(at, stride, m, element);
        const typename L::Ints alphaRed = element[0], greenBlue = element[1];
        const typename L::Ints red = L::shiftRight(alphaRed, 16), blue = L::shiftRight(greenBlue, 16);
        const typename L::Ints alpha = L::bits(alphaRed, 0xFFFF), green = L::bits(greenBlue, 0xFFFF);
        const typename L::Floats scale = L::floats(3.0517578125e-05f);
        px.a = L::mul(L::toFloats(alpha), scale);
        px.r = L::mul(L::toFloats(red), scale);
        px.g = L::mul(L::toFloats(green), scale);
        px.b = L::mul(L::toFloats(blue), scale);
        // (R + G + B) x 767 / 98304 = ((R + G + B) x 767 >> 15) / 3, held at 767.
        const typename L::Ints sum = L::add(L::add(red, green), blue);
        const typename L::Ints product = L::sub(L::add(L::shiftLeft(sum, 9), L::shiftLeft(sum, 8)), sum);
        exactQuotient<L>(px.luma, L::toFloats(L::shiftRight(product, 15)), 3.0f);
        px.luma = L::min(px.luma, L::ints(767));
    } else {
        typename L::Ints element[4];
        L::template gatherElements<4>(at, stride, m, element);
        px.a = L::asFloats(element[0]);
        px.r = L::asFloats(element[1]);
        px.g = L::asFloats(element[2]);
        px.b = L::asFloats(element[3]);
        typename L::Floats s = L::mul(L::add(L::add(px.r, px.g), px.b), L::floats(0.33333334f));
        s = L::select(L::lessOrEqual(L::floats(0.0f), s), s, L::floats(0.0f));  // NaN too
        s = L::select(L::less(L::floats(1.0f), s), L::floats(1.0f), s);
        px.luma = L::truncate(L::mul(s, L::floats(767.0f)));
    }
}

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
