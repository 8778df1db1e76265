#include "tools/standin_host/world_formats.h"

#include <cassert>
#include <cstring>
#include <string>

#include "tools/standin_host/unused_slots.h"

namespace standin {

namespace {
WorldFormats* currentFormats = nullptr;
}

WorldFormats::WorldFormats(CallLog& log) : log_(log) {
    fillUnusedSlots(worldSuite_);
    worldSuite_.PF_NewWorld = &WorldFormats::newWorld;
    worldSuite_.PF_DisposeWorld = &WorldFormats::disposeWorld;
    worldSuite_.PF_GetPixelFormat = &WorldFormats::getWorldFormat;
    fillUnusedSlots(pixelFormatSuite_);
    pixelFormatSuite_.AddSupportedPixelFormat = &WorldFormats::addSupported;
    pixelFormatSuite_.ClearSupportedPixelFormats = &WorldFormats::clearSupported;
    pixelFormatSuite_.GetPixelFormat = &WorldFormats::getPremiereFormat;
    assert(currentFormats == nullptr && "one stand-in host at a time");
    currentFormats = this;
}

WorldFormats::~WorldFormats() { currentFormats = nullptr; }

void WorldFormats::setDepth(const PF_EffectWorld* world, int bitsPerChannel) {
    switch (bitsPerChannel) {
    case 8: setFormats(world, PF_PixelFormat_ARGB32, PrPixelFormat_ARGB_4444_8u); break;
    case 16: setFormats(world, PF_PixelFormat_ARGB64, PrPixelFormat_ARGB_4444_16u); break;
    default: setFormats(world, PF_PixelFormat_ARGB128, PrPixelFormat_ARGB_4444_32f); break;
    }
}

void WorldFormats::setFormats(const PF_EffectWorld* world, PF_PixelFormat worldSuiteCode, int32_t premiereCode) {
    std::lock_guard<std::mutex> lock(mutex_);
    formats_[world] = Formats{worldSuiteCode, premiereCode, true};
}

void WorldFormats::setUnanswered(const PF_EffectWorld* world) {
    std::lock_guard<std::mutex> lock(mutex_);
    formats_[world].answered = false;
}

void WorldFormats::forget(const PF_EffectWorld* world) {
    std::lock_guard<std::mutex> lock(mutex_);
    formats_.erase(world);
}

std::vector<PrPixelFormat> WorldFormats::supportedFormats() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return supported_;
}

int WorldFormats::clears() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return clears_;
}

// Both suites answer from the same record, each with its own code for the format.
// The code's bits are written as they are: a host may report a code outside the
// values the effect declares.
template <typename Code>
PF_Err WorldFormats::answerFormat(const char* call, const PF_EffectWorld* world, int32_t Formats::*field,
                                  Code* format) {
    static_assert(sizeof(Code) == sizeof(int32_t), "a format code is 32 bits");
    WorldFormats& self = *currentFormats;
    if (self.log_.failing(call)) return self.log_.failureCode();
    std::lock_guard<std::mutex> lock(self.mutex_);
    const auto found = self.formats_.find(world);
    if (found == self.formats_.end()) return PF_Err_BAD_CALLBACK_PARAM;
    if (found->second.answered) std::memcpy(format, &(found->second.*field), sizeof *format);
    return PF_Err_NONE;
}

PF_Err WorldFormats::getWorldFormat(const PF_EffectWorld* world, PF_PixelFormat* format) {
    return answerFormat("PF_GetPixelFormat", world, &Formats::world, format);
}

PF_Err WorldFormats::getPremiereFormat(const PF_EffectWorld* world, PrPixelFormat* format) {
    return answerFormat("GetPixelFormat", world, &Formats::premiere, format);
}

PF_Err WorldFormats::addSupported(PF_ProgPtr, PrPixelFormat format) {
    WorldFormats& self = *currentFormats;
    if (self.log_.failing("AddSupportedPixelFormat " + std::to_string(format))) return self.log_.failureCode();
    std::lock_guard<std::mutex> lock(self.mutex_);
    self.supported_.push_back(format);
    return PF_Err_NONE;
}

PF_Err WorldFormats::clearSupported(PF_ProgPtr) {
    WorldFormats& self = *currentFormats;
    if (self.log_.failing("ClearSupportedPixelFormats")) return self.log_.failureCode();
    std::lock_guard<std::mutex> lock(self.mutex_);
    self.supported_.clear();
    ++self.clears_;
    return PF_Err_NONE;
}

// The effect makes no worlds of its own; a stand-in that never hands one out.
PF_Err WorldFormats::newWorld(PF_ProgPtr, int32_t, int32_t, PF_Boolean, PF_PixelFormat, PF_EffectWorld*) {
    return PF_Err_OUT_OF_MEMORY;
}

PF_Err WorldFormats::disposeWorld(PF_ProgPtr, PF_EffectWorld*) { return PF_Err_NONE; }

}  // namespace standin
