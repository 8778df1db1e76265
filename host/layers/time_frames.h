// Several layer buffers (say, the same layer at several times) gathered into one
// list of frames that all address pixels as one reference buffer does: pixel
// (x, y) of the reference's area is, in frame k, at
// frameData[k] + y * frameStride[k] + x * 4 channels. Layers that cover exactly
// the reference's box are used in place; otherwise every layer is copied into a
// zero-filled buffer of the box they all cover together.
//
// Nothing in this effect calls these; they are built into the Linux module only.
#pragma once

#include <cstdint>

#include "platform/pf_effect.h"

constexpr int32_t kMaxTimeFrames = 256;

struct TimeFrames {
    void* frameData[kMaxTimeFrames];      // channel data at the reference's origin, per frame
    void* frameBuffers[kMaxTimeFrames];   // owned copies of the last copying preparation
    int32_t frameStride[kMaxTimeFrames];  // in channels, not bytes
    int32_t layerPresent[kMaxTimeFrames]; // by input position: 1 when the layer was given
    int32_t missingCount;                 // inputs without a layer
    int32_t copied;                       // 1 when frameBuffers hold copies to free
    int32_t frameCount;
};

// Prepares frames from n layers (null entries are skipped) around reference, and
// returns the number of frames. With passThrough non-zero every one of the n
// frames is simply the reference buffer. A given layer without pixels, more than
// kMaxTimeFrames layers or a copy that cannot be allocated give 0 frames, with
// nothing left to clean up. The last argument only picks the channel type.
int32_t PrepareTimeFrames(TimeFrames* frames, int32_t n, const PF_LayerDef* reference, PF_LayerDef* const* layers,
                          int32_t passThrough, unsigned char);
int32_t PrepareTimeFrames(TimeFrames* frames, int32_t n, const PF_LayerDef* reference, PF_LayerDef* const* layers,
                          int32_t passThrough, unsigned short);
int32_t PrepareTimeFrames(TimeFrames* frames, int32_t n, const PF_LayerDef* reference, PF_LayerDef* const* layers,
                          int32_t passThrough, float);

// Frees the copies of a copying preparation; call once after each one, before the
// record is prepared again.
void CleanUpTimeFrames(TimeFrames* frames);
