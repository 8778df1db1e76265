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

#include "render/kernel/channel_traits.h"
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

// The kCells cells at `cells` as pixels from `pixels` on, in the opposite order when
// `backward`.
template <class Traits, class L>
__attribute__((always_inline)) inline void storeBlock(const float* cells, typename Traits::Channel* pixels,
                                                      bool backward) {
    using Channel = typename Traits::Channel;
    typename L::Floats value = L::load(cells);
    if (backward) value = L::reverseCells(value);
    if constexpr (sizeof(Channel) == 4) {
        L::store(reinterpret_cast<float*>(pixels), value);
    } else {
        const typename L::Floats scaled = L::mul(value, L::floats(sizeof(Channel) == 1 ? 255.0f : 32768.0f));
        // cvttps gives 0x80000000 beyond the int32 range and for NaN, whose low bits
        // are those of INT32_MIN and 0; only the top end must become INT32_MAX.
        const typename L::Mask above = L::lessOrEqual(L::floats(2147483648.0f), scaled);
        const typename L::Ints truncated = L::select(above, L::ints(INT32_MAX), L::truncate(scaled));
        if constexpr (sizeof(Channel) == 1) {
            L::storeLowBytes(pixels, truncated);
        } else {
            L::storeLowWords(pixels, truncated);
        }
    }
}

// Stores cells 0 .. count - 1, cell i at `first` + i x pixelStep (channels). Lines
// along rows go kCells cells at a time; the rest of them, and other lines, a cell at
// a time.
template <class Traits, class L>
void storePixels(const float (*cells)[4], int32_t count, typename Traits::Channel* first, ptrdiff_t pixelStep) {
    int32_t i = 0;
    if (pixelStep == 4 || pixelStep == -4) {
        const bool backward = pixelStep < 0;
        for (; i + L::kCells <= count; i += L::kCells) {
            // Backward, the block's last cell lies first in memory.
            auto* pixels = first + i * pixelStep - (backward ? 4 * (L::kCells - 1) : 0);
            storeBlock<Traits, L>(cells[i], pixels, backward);
        }
    }
    for (; i < count; ++i) storeBlock<Traits, Sse2Lanes>(cells[i], first + i * pixelStep, false);
}
