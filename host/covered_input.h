// The renderer reads the input over the OUTPUT's width and height with the input's
// own row stride. A host may hand an input smaller than the output, or (in Premiere
// Pro) an input of a narrower depth than the output's format, whose rows then hold
// fewer pixels of the render's depth. Such an input is copied into a transparent
// buffer of the output's size, so that the melt never reads past what the host gave
// and everything outside the input counts as transparent.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/pf_effect.h"

class CoveredInput {
public:
    // bytesPerPixel: 4, 8 or 16 for the render's depth. Neither layer may be null.
    CoveredInput(PF_LayerDef* input, const PF_LayerDef& output, int32_t bytesPerPixel);
    CoveredInput(const CoveredInput&) = delete;
    CoveredInput& operator=(const CoveredInput&) = delete;

    // The layer to render from: the input itself when it covers the output, else the
    // padded copy.
    PF_LayerDef* layer() { return layer_; }
    bool isCopy() const { return layer_ == &padded_; }

private:
    PF_LayerDef padded_{};
    std::unique_ptr<uint64_t[]> pixels_;  // 8-byte units keep 16-bit and float channels aligned
    PF_LayerDef* layer_;
};
