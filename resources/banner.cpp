#include "resources/banner.h"

#include <array>

namespace {

// The wordmark, "ONDRAVA", in a 5 by 7 letter grid, drawn at twice the size;
// below the letters' feet the paint runs down in short drips, as if melting.
constexpr int kGlyphRows = 7;
constexpr int kScale = 2;
constexpr int kLetterAdvance = 6 * kScale;  // five columns and a gap
constexpr int kTextLeft = 10;
constexpr int kTextTop = 1;
constexpr int kLetterCount = 7;

// One row of a letter: bit 4 is its left column.
constexpr uint8_t kLetters[kLetterCount][kGlyphRows] = {
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // O
    {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11},  // N
    {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E},  // D
    {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11},  // R
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // A
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04},  // V
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // A
};

struct Colour {
    int b, g, r, a;
};

constexpr Colour kBackground{0x26, 0x1E, 0x1C, 0xFF};
constexpr Colour kPaintTop{0x7A, 0xD8, 0xFF, 0xFF};     // pale amber
constexpr Colour kPaintBottom{0x20, 0x6A, 0xF0, 0xFF};  // burnt orange

constexpr int mix(int from, int to, int step, int steps) { return from + (to - from) * step / steps; }

constexpr Colour mix(Colour from, Colour to, int step, int steps) {
    return Colour{mix(from.b, to.b, step, steps), mix(from.g, to.g, step, steps), mix(from.r, to.r, step, steps),
                  mix(from.a, to.a, step, steps)};
}

// Whether the wordmark covers pixel (x, y) of its own box.
constexpr bool letterCovers(int x, int y) {
    if (x < 0 || y < 0 || y >= kGlyphRows * kScale) return false;
    const int letter = x / kLetterAdvance;
    const int column = (x % kLetterAdvance) / kScale;
    if (letter >= kLetterCount || column >= 5) return false;
    return (kLetters[letter][y / kScale] >> (4 - column)) & 1;
}

// Drip length under a column, 0 to 3 pixels, varying without pattern.
constexpr int dripLength(int x) { return ((x * 7 + (x / 3) * 5) % 11) / 3; }

constexpr Colour pixelAt(int x, int y) {
    const int tx = x - kTextLeft;
    const int ty = y - kTextTop;
    const int textHeight = kGlyphRows * kScale;
    if (letterCovers(tx, ty)) {
        return mix(kPaintTop, kPaintBottom, ty, textHeight - 1);
    }
    // A drip hangs from a foot of a letter and fades into the background.
    const int below = ty - (textHeight - 1);
    if (below > 0 && letterCovers(tx, textHeight - 1) && below <= dripLength(tx)) {
        return mix(kPaintBottom, kBackground, below, dripLength(tx) + 1);
    }
    // A hairline rule runs on from the wordmark to the right edge, warming as it goes.
    const int ruleLeft = kTextLeft + kLetterCount * kLetterAdvance + 6;
    if (y == kTextTop + textHeight / 2 && x >= ruleLeft) {
        return mix(kBackground, kPaintBottom, x - ruleLeft, kBannerWidth - ruleLeft);
    }
    return kBackground;
}

constexpr std::array<uint8_t, kBannerBytes> makeBanner() {
    std::array<uint8_t, kBannerBytes> pixels{};
    for (int y = 0; y < kBannerHeight; ++y) {
        for (int x = 0; x < kBannerWidth; ++x) {
            const Colour c = pixelAt(x, y);
            const int at = y * kBannerRowBytes + x * 4;
            pixels[at + 0] = uint8_t(c.b);
            pixels[at + 1] = uint8_t(c.g);
            pixels[at + 2] = uint8_t(c.r);
            pixels[at + 3] = uint8_t(c.a);
        }
    }
    return pixels;
}

}  // namespace

// Computed by the compiler: the pixels are in the module's constant data before
// any of its code runs.
constexpr std::array<uint8_t, kBannerBytes> kBannerImage = makeBanner();
const std::array<uint8_t, kBannerBytes>& bannerImage = kBannerImage;
