// Intensity-source layers: the brightness of a layer, taken where a visited
// source pixel comes from, replaces the pixel's own brightness as the index of the
// velocity table or of the two spread tables. The layer is mapped onto the output
// frame in 20.12 fixed point and sampled at the nearest pixel, without filtering.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/kernel/channel_traits.h"
#include "render/kernel/row_prefetch.h"

// One intensity-source layer as the kernel receives it; originX and originY are
// the OUTPUT buffer's origin. All zero when the layer is absent.
template <class Channel>
struct SourceLayerArgs {
    const Channel* pixels;
    int32_t width;
    int32_t height;
    int32_t pitch;  // in channels; negative when rows run upward in memory
    int32_t originX;
    int32_t originY;
};

// How the layer lies under the output frame, fixed for one render. Offsets and
// steps are 20.12 fixed point (value x 4096), held in 64 bits: a tall, wide layer
// over a low output takes pitch x step past 32 bits.
struct LayerGeometry {
    bool readable;  // false: every sample of the layer is index 0
    int64_t layerOffsetX;
    int64_t layerOffsetY;
    int64_t layerStepX;
    int64_t layerStepY;
};

// Where the layer lies under one scanline: the layer pixel of cell 0 and how far
// the sampled point moves per cell (20.12, in channels).
struct LayerLine {
    bool alongColumn;  // Down and Up walk a layer column
    int32_t cellColumn;
    int32_t cellRow;
    int64_t layerCellStep;
};

inline int32_t clampIntoLayer(int64_t coordinate, int32_t size) {
    return coordinate < 0 ? 0 : (coordinate >= size ? size - 1 : int32_t(coordinate));
}

// The frame is a divisor here: an empty frame, or a layer without pixels, rows,
// columns or pitch, leaves the layer unread.
inline LayerGeometry buildLayerGeometry(int32_t width, int32_t height, int32_t pitch, bool hasPixels,
                                        int32_t originX, int32_t originY, int32_t dstWidth,
                                        int32_t dstHeight) {
    LayerGeometry geometry{};
    if (!hasPixels || width < 1 || height < 1 || pitch == 0 || dstWidth < 1 || dstHeight < 1) {
        return geometry;
    }
    constexpr int64_t one = 4096;
    const int64_t lw = width, lh = height, ox = originX, oy = originY;
    const int64_t w = dstWidth, h = dstHeight;

    // When the layer covers the output placed at the output's origin, its part from
    // there to its far edges is spread over the frame; otherwise the whole layer is.
    const bool originRule = oy + h <= lh && ox + w <= lw && lh >= h && lw >= w && ox >= 0 && oy >= 0;
    const int64_t spanX = originRule ? lw - ox : lw;
    const int64_t spanY = originRule ? lh - oy : lh;

    geometry.readable = true;
    geometry.layerOffsetX = originRule ? ox * one : 0;
    geometry.layerOffsetY = originRule ? oy * one : 0;
    geometry.layerStepX = (spanX * one) / w;
    geometry.layerStepY = (spanY * one) / h;
    return geometry;
}

template <class Channel>
LayerGeometry buildLayerGeometry(const SourceLayerArgs<Channel>& layer, int32_t dstWidth, int32_t dstHeight) {
    return buildLayerGeometry(layer.width, layer.height, layer.pitch, layer.pixels != nullptr,
                              layer.originX, layer.originY, dstWidth, dstHeight);
}

// Line n of the frame: an output row for Right and Left, a column for Down and Up.
// The backward directions start at the layer's far edge and walk toward its
// origin, so that all four sample the same window of the layer.
inline LayerLine setupLayerLine(const LayerGeometry& geometry, int32_t layerWidth, int32_t layerHeight,
                                int32_t layerPitch, int32_t direction, int32_t n) {
    const int64_t layerRow = (n * geometry.layerStepY + geometry.layerOffsetY) >> 12;
    const int64_t layerColumn = (n * geometry.layerStepX + geometry.layerOffsetX) >> 12;
    LayerLine line{};
    switch (direction & 3) {
        case 0:  // Right
            line.cellRow = clampIntoLayer(layerRow, layerHeight);
            line.cellColumn = clampIntoLayer(geometry.layerOffsetX >> 12, layerWidth);
            line.layerCellStep = 4 * geometry.layerStepX;
            break;
        case 1:  // Left
            line.cellRow = clampIntoLayer(layerRow, layerHeight);
            line.cellColumn = layerWidth - 1;
            line.layerCellStep = -(4 * geometry.layerStepX);
            break;
        case 2:  // Down
            line.alongColumn = true;
            line.cellColumn = clampIntoLayer(layerColumn, layerWidth);
            line.cellRow = clampIntoLayer(geometry.layerOffsetY >> 12, layerHeight);
            line.layerCellStep = int64_t(layerPitch) * geometry.layerStepY;
            break;
        default:  // Up
            line.alongColumn = true;
            line.cellColumn = clampIntoLayer(layerColumn, layerWidth);
            line.cellRow = layerHeight - 1;
            line.layerCellStep = -(int64_t(layerPitch) * geometry.layerStepY);
            break;
    }
    return line;
}

// The row, the column and the channel offset of the layer pixel under position p
// of the line. The fixed-point walk floors the offset, then aligns it to whole
// pixels: down to a multiple of four channels along a row, toward zero to whole
// rows along a column.
// Left, and the vertical walk that rounds up, can then lie one pixel outside a
// layer smaller than the output along the line: the pixel is kept inside it.
inline int32_t layerSampleRow(const LayerLine& line, int32_t layerHeight, int32_t layerPitch, int32_t p) {
    if (!line.alongColumn) return clampIntoLayer(line.cellRow, layerHeight);
    const int64_t o = (int64_t(p) * line.layerCellStep) >> 12;
    return clampIntoLayer(line.cellRow + o / layerPitch, layerHeight);
}

inline int32_t layerSampleColumn(const LayerLine& line, int32_t layerWidth, int32_t p) {
    if (line.alongColumn) return clampIntoLayer(line.cellColumn, layerWidth);
    const int64_t o = (int64_t(p) * line.layerCellStep) >> 12;
    return clampIntoLayer(line.cellColumn + (o & ~int64_t(3)) / 4, layerWidth);
}

inline ptrdiff_t layerSampleOffset(const LayerLine& line, int32_t layerWidth, int32_t layerHeight,
                                   int32_t layerPitch, int32_t p) {
    return ptrdiff_t(layerSampleRow(line, layerHeight, layerPitch, p)) * layerPitch +
           ptrdiff_t(layerSampleColumn(line, layerWidth, p)) * 4;
}

// The brightness indexes of lines n0 .. n0 + count - 1 of a column walk (Down or
// Up) at every position 0 .. lineLength - 1, line j's at indexes[j x lineLength],
// each as layerSampleOffset finds its pixel. The lines of a column walk differ only
// in their layer column, so the layer is read along its rows, a row per position.
template <class Traits>
void stageColumnIndexes(const SourceLayerArgs<typename Traits::Channel>& layer, const LayerGeometry& geometry,
                        int32_t direction, int32_t n0, int32_t count, int32_t lineLength, int16_t* indexes) {
    constexpr int32_t kMostLines = 8;
    const int32_t lines = count < kMostLines ? count : kMostLines;
    if (lines <= 0) return;
    const auto lineAt = [&](int32_t n) {
        return setupLayerLine(geometry, layer.width, layer.height, layer.pitch, direction, n);
    };
    const LayerLine first = lineAt(n0);
    ptrdiff_t columns[kMostLines];
    for (int32_t j = 0; j < lines; ++j) {
        columns[j] = ptrdiff_t(layerSampleColumn(j == 0 ? first : lineAt(n0 + j), layer.width, 0)) * 4;
    }
    const auto rowAt = [&](int32_t p) {
        return layer.pixels + ptrdiff_t(layerSampleRow(first, layer.height, layer.pitch, p)) * layer.pitch;
    };
    // The rows of the next kRowsAhead positions, found once and asked for early from
    // the block's first layer column to its last (the columns never decrease).
    const typename Traits::Channel* rows[kRowsAhead];
    for (int32_t p = 0; p < kRowsAhead && p < lineLength; ++p) rows[p] = rowAt(p);
    const size_t spanBytes = size_t(columns[lines - 1] - columns[0] + 4) * sizeof(*layer.pixels);
    for (int32_t p = 0; p < lineLength; ++p) {
        const auto* pixels = rows[p % kRowsAhead];
        if (p + kRowsAhead < lineLength) {
            rows[p % kRowsAhead] = rowAt(p + kRowsAhead);
            prefetchSpan(rows[p % kRowsAhead] + columns[0], spanBytes);
        }
        for (int32_t j = 0; j < lines; ++j) {
            indexes[ptrdiff_t(j) * lineLength + p] = int16_t(Traits::lumaIndex(pixels + columns[j]));
        }
    }
}

// The layer's brightness index at position p. An interpolated position (a grid
// fraction f != 0 anywhere but at the line's last cell, as for the pixel's own
// brightness) blends it toward position p + 1. Only the colour channels count;
// the layer's alpha is never read.
template <class Traits>
int32_t sampleSourceLuma(const SourceLayerArgs<typename Traits::Channel>& layer, const LayerGeometry& geometry,
                         const LayerLine& line, int32_t p, float f, bool interpolated) {
    if (!geometry.readable) return 0;
    const auto lumaAt = [&](int32_t position) {
        return Traits::lumaIndex(layer.pixels +
                                 layerSampleOffset(line, layer.width, layer.height, layer.pitch, position));
    };
    const int32_t k = lumaAt(p);
    if (!interpolated) return k;
    return interpolatedIndex(k, lumaAt(p + 1), f);
}

// sampleSourceLuma's index from indexes staged for the line.
inline int32_t stagedSourceLuma(const int16_t* indexes, int32_t p, float f, bool interpolated) {
    const int32_t k = indexes[p];
    if (!interpolated) return k;
    return interpolatedIndex(k, indexes[p + 1], f);
}
