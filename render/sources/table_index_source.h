// Where the table indexes of a visited pixel come from. Without intensity-source
// layers the velocity index and the spread index are both the pixel's own
// brightness. The source instances take one or both from a layer instead,
// sampled where the pixel comes from (render/sources/source_sampling.h).
#pragma once

#include <cstdint>

#include "render/sources/source_sampling.h"
#include "render/stages/run_planning.h"

// One layer of a source instance: its geometry for the call, its line for the line.
template <class Traits>
struct SampledLayer {
    SourceLayerArgs<typename Traits::Channel> layer;
    LayerGeometry geometry;
    LayerLine line;
    const int16_t* block = nullptr;  // the block's staged indexes, if staged
    int32_t blockLineLength = 0;
    const int16_t* staged = nullptr;  // the line's, if staged

    void prepare(const SourceLayerArgs<typename Traits::Channel>& args, int32_t dstWidth, int32_t dstHeight) {
        layer = args;
        geometry = buildLayerGeometry(args, dstWidth, dstHeight);
    }
    // An unreadable layer's index is 0 and is not staged.
    void stageBlock(int16_t* indexes, int32_t direction, int32_t n0, int32_t count, int32_t lineLength) {
        if (!geometry.readable) return;
        stageColumnIndexes<Traits>(layer, geometry, direction, n0, count, lineLength, indexes);
        block = indexes;
        blockLineLength = lineLength;
    }
    void beginLine(int32_t direction, int32_t n, int32_t blockLine) {
        line = setupLayerLine(geometry, layer.width, layer.height, layer.pitch, direction, n);
        staged = block != nullptr && blockLine >= 0 ? block + ptrdiff_t(blockLine) * blockLineLength : nullptr;
    }
    int32_t index(int32_t i, float f, bool interpolated) const {
        if (staged != nullptr) return stagedSourceLuma(staged, i, f, interpolated);
        return sampleSourceLuma<Traits>(layer, geometry, line, i, f, interpolated);
    }
};

// The source instances: a present layer supplies the velocity index, the spread
// index (one index for both spread tables) or both. The instances with the spread
// layer alone add the spread offset to the target before the velocity entry.
template <class Traits, bool VelocitySource, bool SpreadSource>
struct TableIndexSource {
    using Channel = typename Traits::Channel;
    static constexpr bool kUsesOwnIndex = !(VelocitySource && SpreadSource);
    static constexpr bool kSpreadOffsetFirst = SpreadSource && !VelocitySource;
    static constexpr bool kVelocityFromLayer = VelocitySource;
    static constexpr bool kSpreadFromLayer = SpreadSource;
    static constexpr int32_t kLayers = int32_t(VelocitySource) + int32_t(SpreadSource);

    SampledLayer<Traits> velocity{};
    SampledLayer<Traits> spread{};

    void prepare(const SourceLayerArgs<Channel>& velocitySource, const SourceLayerArgs<Channel>& spreadSource,
                 int32_t dstWidth, int32_t dstHeight) {
        if constexpr (VelocitySource) velocity.prepare(velocitySource, dstWidth, dstHeight);
        if constexpr (SpreadSource) spread.prepare(spreadSource, dstWidth, dstHeight);
    }
    // Stages the layers' indexes of the column block n0 .. n0 + count - 1, each
    // layer's count x lineLength of them in turn from `indexes` on.
    void stageBlock(int16_t* indexes, int32_t direction, int32_t n0, int32_t count, int32_t lineLength) {
        if constexpr (VelocitySource) velocity.stageBlock(indexes, direction, n0, count, lineLength);
        if constexpr (SpreadSource) {
            spread.stageBlock(indexes + (VelocitySource ? ptrdiff_t(count) * lineLength : 0), direction, n0, count,
                              lineLength);
        }
    }
    void beginLine(int32_t direction, int32_t n, int32_t blockLine) {
        if constexpr (VelocitySource) velocity.beginLine(direction, n, blockLine);
        if constexpr (SpreadSource) spread.beginLine(direction, n, blockLine);
    }
    // The layers' indexes of the `count` visited positions first, first + step, ...,
    // interpolated like the pixels' own (a grid fraction, except at the line's end).
    void tableIndexes(int32_t first, int32_t step, int32_t count, float f, int32_t lineLength,
                      PlannedRuns& runs) const {
        for (int32_t k = 0; k < count; ++k) {
            const int32_t i = first + k * step;
            const bool interpolated = f != 0.0f && i != lineLength - 1;
            if constexpr (VelocitySource) runs.velocityIndex[k] = velocity.index(i, f, interpolated);
            if constexpr (SpreadSource) runs.spreadIndex[k] = spread.index(i, f, interpolated);
        }
    }
};

template <class Traits>
struct TableIndexSource<Traits, false, false> {
    using Channel = typename Traits::Channel;
    // Whether depositRuns needs the pixel's own index, and whether it adds the
    // spread offset to the target before the velocity entry.
    static constexpr bool kUsesOwnIndex = true;
    static constexpr bool kSpreadOffsetFirst = false;
    static constexpr bool kVelocityFromLayer = false;
    static constexpr bool kSpreadFromLayer = false;
    static constexpr int32_t kLayers = 0;  // layers whose indexes a column block stages

    // Once per call: how the layers lie under the output frame.
    void prepare(const SourceLayerArgs<Channel>&, const SourceLayerArgs<Channel>&, int32_t /*dstWidth*/,
                 int32_t /*dstHeight*/) {}
    // Once per column block: the layers' indexes of its lines, read along the layers' rows.
    void stageBlock(int16_t*, int32_t /*direction*/, int32_t /*n0*/, int32_t /*count*/, int32_t /*lineLength*/) {}
    // Once per line: where the layers lie under line n, the block's line blockLine
    // (-1 outside staged blocks).
    void beginLine(int32_t /*direction*/, int32_t /*n*/, int32_t /*blockLine*/) {}
    // The layers' indexes of a batch of visited positions: none without layers.
    void tableIndexes(int32_t, int32_t, int32_t, float, int32_t, PlannedRuns&) const {}
};
