// What the effect tells the host about itself. One set of values read by the
// registration entry, by global setup and by the generator of the Windows
// registration resource, so that the three can never disagree.
#pragma once

#include <cstdint>

#include "platform/four_char_code.h"
#include "platform/pf_flags.h"

namespace registration {

constexpr const char* kDisplayName = "Ondrava";
constexpr const char* kMatchName = "KestruneOndrava";
constexpr const char* kCategory = "Kestrune";
constexpr const char* kEntryPointName = "EffectMain";

constexpr int32_t kKind = fourCharCode('e', 'F', 'K', 'T');
constexpr int16_t kApiVersionMajor = 13;
constexpr int16_t kApiVersionMinor = 27;
// Handed to the registration callback; the resource carries 0 in its place.
constexpr int32_t kRegistrationReserved = 8;
constexpr int32_t kResourceReserved = 0;

constexpr int16_t kPropertyListVersionMajor = 2;
constexpr int16_t kPropertyListVersionMinor = 0;
constexpr int16_t kInfoFlags = 0;

// The host's version word: build in bits 0-8, stage 9-10, fix 11-14,
// sub-version 15-18, version 19-21.
constexpr uint32_t kMajorVersion = 1;
constexpr uint32_t kMinorVersion = 0;
constexpr uint32_t kFixVersion = 0;
constexpr uint32_t kStageRelease = 3;
constexpr uint32_t kBuild = 1;
constexpr uint32_t kEffectVersion =
    (kMajorVersion << 19) | (kMinorVersion << 15) | (kFixVersion << 11) | (kStageRelease << 9) | kBuild;
static_assert(kEffectVersion == 0x80601, "version 1.0.0, release, build 1");

constexpr int32_t kGlobalOutFlags =
    PF_OutFlag_CUSTOM_UI | PF_OutFlag_DEEP_COLOR_AWARE | PF_OutFlag_SEND_UPDATE_PARAMS_UI;
constexpr int32_t kGlobalOutFlags2 =
    PF_OutFlag2_PARAM_GROUP_START_COLLAPSED_FLAG | PF_OutFlag2_I_AM_THREADSAFE |
    PF_OutFlag2_SUPPORTS_SMART_RENDER | PF_OutFlag2_FLOAT_COLOR_AWARE |
    PF_OutFlag2_SUPPORTS_GET_FLATTENED_SEQUENCE_DATA | PF_OutFlag2_SUPPORTS_THREADED_RENDERING;
static_assert(kGlobalOutFlags == 0x06008000, "first flag word");
static_assert(kGlobalOutFlags2 == 0x08801418, "second flag word");

}  // namespace registration
