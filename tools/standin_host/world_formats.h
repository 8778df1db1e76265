// The stand-in host's knowledge of each world's pixel format, as its world suite
// ("PF World Suite" 2) and Premiere Pro's pixel-format suite ("PF Pixel Format
// Suite" 1) report it. Worlds are registered by depth (8, 16 or 32 bits a channel);
// a test may script any other code.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "platform/pf_effect.h"
#include "platform/pf_suites.h"
#include "tools/standin_host/call_log.h"

namespace standin {

class WorldFormats {
public:
    explicit WorldFormats(CallLog& log);
    ~WorldFormats();
    WorldFormats(const WorldFormats&) = delete;
    WorldFormats& operator=(const WorldFormats&) = delete;

    void setDepth(const PF_EffectWorld* world, int bitsPerChannel);
    // Any 32-bit code, as a host may report one the effect does not know.
    void setFormats(const PF_EffectWorld* world, PF_PixelFormat worldSuiteCode, int32_t premiereCode);
    // A query that leaves the caller's code as it was, as a host may.
    void setUnanswered(const PF_EffectWorld* world);
    void forget(const PF_EffectWorld* world);

    const PF_WorldSuite2* worldSuite() const { return &worldSuite_; }
    const PF_PixelFormatSuite1* pixelFormatSuite() const { return &pixelFormatSuite_; }

    // What global setup registered in Premiere Pro.
    std::vector<PrPixelFormat> supportedFormats() const;
    int clears() const;

private:
    struct Formats {
        PF_PixelFormat world = PF_PixelFormat_INVALID;
        int32_t premiere = 0;
        bool answered = true;
    };

    template <typename Code>
    static PF_Err answerFormat(const char* call, const PF_EffectWorld* world, int32_t Formats::*field, Code* format);
    static PF_Err getWorldFormat(const PF_EffectWorld* world, PF_PixelFormat* format);
    static PF_Err getPremiereFormat(const PF_EffectWorld* world, PrPixelFormat* format);
    static PF_Err addSupported(PF_ProgPtr effect_ref, PrPixelFormat format);
    static PF_Err clearSupported(PF_ProgPtr effect_ref);
    static PF_Err newWorld(PF_ProgPtr, int32_t, int32_t, PF_Boolean, PF_PixelFormat, PF_EffectWorld*);
    static PF_Err disposeWorld(PF_ProgPtr, PF_EffectWorld*);

    CallLog& log_;
    mutable std::mutex mutex_;
    std::map<const PF_EffectWorld*, Formats> formats_;
    std::vector<PrPixelFormat> supported_;
    int clears_ = 0;
    PF_WorldSuite2 worldSuite_;
    PF_PixelFormatSuite1 pixelFormatSuite_;
};

}  // namespace standin
