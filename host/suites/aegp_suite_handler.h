// Suites acquired on first use and all given back when the handler goes out of
// scope. A suite that cannot be had throws PF_Err_BAD_CALLBACK_PARAM.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/drawbot.h"
#include "platform/pf_custom_ui.h"
#include "platform/pf_suites.h"
#include "platform/sp_basic_suite.h"

class AEGP_SuiteHandler {
public:
    explicit AEGP_SuiteHandler(const SPBasicSuite* basic);
    ~AEGP_SuiteHandler();
    AEGP_SuiteHandler(const AEGP_SuiteHandler&) = delete;
    AEGP_SuiteHandler& operator=(const AEGP_SuiteHandler&) = delete;

    const PF_HandleSuite1* HandleSuite() { return static_cast<const PF_HandleSuite1*>(slot(kHandleSuite2)); }
    const PF_WorldSuite2* WorldSuite() { return static_cast<const PF_WorldSuite2*>(slot(kWorldSuite2)); }
    const PF_PixelFormatSuite1* PixelFormatSuite() {
        return static_cast<const PF_PixelFormatSuite1*>(slot(kPixelFormatSuite1));
    }
    const PF_UtilitySuite4* UtilitySuite() { return static_cast<const PF_UtilitySuite4*>(slot(kUtilitySuite4)); }
    const PF_EffectCustomUISuite1* EffectCustomUISuite() {
        return static_cast<const PF_EffectCustomUISuite1*>(slot(kEffectCustomUISuite1));
    }
    const DRAWBOT_DrawbotSuite1* DrawbotSuite() {
        return static_cast<const DRAWBOT_DrawbotSuite1*>(slot(kDrawbotSuite1));
    }
    const DRAWBOT_SupplierSuite1* SupplierSuite() {
        return static_cast<const DRAWBOT_SupplierSuite1*>(slot(kSupplierSuite1));
    }
    const DRAWBOT_SurfaceSuite2* SurfaceSuite() {
        return static_cast<const DRAWBOT_SurfaceSuite2*>(slot(kSurfaceSuite2));
    }
    const DRAWBOT_PathSuite1* PathSuite() { return static_cast<const DRAWBOT_PathSuite1*>(slot(kPathSuite1)); }

    SPErr ReleaseSuite(const char* name, int version);
    [[noreturn]] void MissingSuiteError() const;

private:
    // Rows of the suite table, in the order the handler releases them.
    enum Slot : std::size_t {
        kHandleSuite2,
        kWorldSuite2,
        kPixelFormatSuite1,
        kUtilitySuite4,
        kEffectCustomUISuite1,
        kDrawbotSuite1,
        kSupplierSuite1,
        kSurfaceSuite2,
        kPathSuite1,
        kSlotCount
    };

    const void* slot(Slot which);
    void ReleaseAcquiredSuites();

    const SPBasicSuite* basic_;
    const void* slots_[kSlotCount] = {};
};
