#include "host/suites/aegp_suite_handler.h"

#include "platform/pf_effect.h"

namespace {

struct SuiteRow {
    const char* name;
    int32_t version;
};

// Indexed by AEGP_SuiteHandler's slots.
constexpr SuiteRow kSuiteTable[] = {
    {kPFHandleSuite, kPFHandleSuiteVersion1},
    {kPFWorldSuite, kPFWorldSuiteVersion2},
    {kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1},
    {kPFUtilitySuite, kPFUtilitySuiteVersion4},
    {kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1},
    {kDRAWBOT_DrawSuite, kDRAWBOT_DrawSuite_Version1},
    {kDRAWBOT_SupplierSuite, kDRAWBOT_SupplierSuite_Version1},
    {kDRAWBOT_SurfaceSuite, kDRAWBOT_SurfaceSuite_Version2},
    {kDRAWBOT_PathSuite, kDRAWBOT_PathSuite_Version1},
};

}  // namespace

AEGP_SuiteHandler::AEGP_SuiteHandler(const SPBasicSuite* basic) : basic_(basic) {
    static_assert(sizeof kSuiteTable / sizeof kSuiteTable[0] == kSlotCount, "one table row per slot");
    if (basic_ == nullptr) {
        MissingSuiteError();
    }
}

AEGP_SuiteHandler::~AEGP_SuiteHandler() { ReleaseAcquiredSuites(); }

const void* AEGP_SuiteHandler::slot(Slot which) {
    if (slots_[which] == nullptr) {
        const void* suite = nullptr;
        const SPErr err = basic_->AcquireSuite(kSuiteTable[which].name, kSuiteTable[which].version, &suite);
        if (err != kSPNoError || suite == nullptr) {
            MissingSuiteError();
        }
        slots_[which] = suite;
    }
    return slots_[which];
}

SPErr AEGP_SuiteHandler::ReleaseSuite(const char* name, int version) { return basic_->ReleaseSuite(name, version); }

void AEGP_SuiteHandler::MissingSuiteError() const { throw PF_Err(PF_Err_BAD_CALLBACK_PARAM); }

void AEGP_SuiteHandler::ReleaseAcquiredSuites() {
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        if (slots_[i] != nullptr) {
            ReleaseSuite(kSuiteTable[i].name, kSuiteTable[i].version);
            slots_[i] = nullptr;
        }
    }
}
