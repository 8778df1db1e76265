// The renderer reads a layer over a given extent (the input over the output's
// width and height, an intensity-source layer over its own) with the layer's own
// row stride, in whole channels. A host may hand an input smaller than the output,
// an input of a narrower depth than the output's format (in Premiere Pro), whose
// rows then hold fewer pixels of the render's depth, or a layer whose row stride
// is no whole number of channels or too short for its width. Such a layer is
// copied into a transparent buffer of the extent, row by row as far as each row
// reaches, so that the melt never reads outside what the host gave and everything
// outside it counts as transparent. A well-formed layer is read as it is.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/pf_effect.h"

class CoveredLayer {
public:
    // bytesPerPixel: 4, 8 or 16 for the render's depth. The layer may not be null.
    CoveredLayer(PF_LayerDef* layer, int32_t width, int32_t height, int32_t bytesPerPixel);
    CoveredLayer(const CoveredLayer&) = delete;
    CoveredLayer& operator=(const CoveredLayer&) = delete;

    // The layer to render from: the layer itself when it covers the extent, else
    // the padded copy.
    PF_LayerDef* layer() { return layer_; }
    bool isCopy() const { return layer_ == &padded_; }

private:
    PF_LayerDef padded_{};
    std::unique_ptr<uint64_t[]> pixels_;  // 8-byte units keep 16-bit and float channels aligned
    PF_LayerDef* layer_;
};
