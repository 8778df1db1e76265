// The banner drawn at the top of the effect's controls: 320 by 17 pixels of
// 4 bytes in blue, green, red, alpha order with straight alpha, rows of 1,280
// bytes one after the other.
#pragma once

#include <array>
#include <cstdint>

constexpr int32_t kBannerWidth = 320;
constexpr int32_t kBannerHeight = 17;
constexpr int32_t kBannerRowBytes = kBannerWidth * 4;
constexpr int32_t kBannerBytes = kBannerHeight * kBannerRowBytes;

// Made when the module is built; read-only, so any thread may read it.
extern const std::array<uint8_t, kBannerBytes>& bannerImage;
