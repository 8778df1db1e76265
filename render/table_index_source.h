// Where the table indexes of a visited pixel come from. Without intensity-source
// layers the velocity index and the spread index are both the pixel's own
// brightness. The source instances take one or both from a layer instead: their
// specialisations of TableIndexSource sample the layers (not written yet; until
// they are, the render entries run the instance without sources for every frame).
#pragma once

#include <cstdint>

// One intensity-source layer as the kernel receives it; originX and originY are
// the OUTPUT buffer's origin. All zero when the layer is absent.
template <class Channel>
struct SourceLayerArgs {
    const Channel* pixels;
    int32_t width;
    int32_t height;
    int32_t pitch;  // in channels
    int32_t originX;
    int32_t originY;
};

template <class Traits, bool VelocitySource, bool SpreadSource>
struct TableIndexSource;

template <class Traits>
struct TableIndexSource<Traits, false, false> {
    using Channel = typename Traits::Channel;
    // Whether depositRuns needs the pixel's own index, and whether it adds the
    // spread offset to the target before the velocity entry.
    static constexpr bool kUsesOwnIndex = true;
    static constexpr bool kSpreadOffsetFirst = false;

    // Once per call: how the layers lie under the output frame.
    void prepare(const SourceLayerArgs<Channel>&, const SourceLayerArgs<Channel>&, int32_t /*dstWidth*/,
                 int32_t /*dstHeight*/) {}
    // Once per line: where the layers lie under line n.
    void beginLine(int32_t /*direction*/, int32_t /*n*/) {}
    // The indexes of the visited position i; `own` is the pixel's own index, already
    // interpolated by the grid fraction.
    int32_t velocityIndex(int32_t /*i*/, float /*f*/, bool /*interpolated*/, int32_t own) const {
        return own;
    }
    int32_t spreadIndex(int32_t /*i*/, float /*f*/, bool /*interpolated*/, int32_t own) const {
        return own;
    }
};
