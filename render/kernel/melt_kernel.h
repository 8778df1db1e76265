// The melt kernel, written once over the channel type and four per-frame switches
// that are fixed at compile time: Wrap, the two intensity-source layers and
// Shading. One call melts one frame, scanline by scanline, and keeps every table
// and line buffer on its own stack: nothing is allocated and nothing is shared.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/pf_effect.h"
#include "render/kernel/column_blocks.h"
#include "render/kernel/line_buffers.h"
#include "render/kernel/line_geometry.h"
#include "render/kernel/melt_paths.h"
#include "render/param_values.h"
#include "render/paths/cell_vectors.h"
#include "render/paths/pixel_vectors.h"
#include "render/paths/vector_path.h"
#include "render/shading/melt_shading.h"
#include "render/sources/table_index_source.h"
#include "render/stages/cell_finish.h"
#include "render/stages/line_fades.h"
#include "render/stages/line_stretch.h"
#include "render/stages/melt_tables.h"
#include "render/stages/run_deposit.h"
#include "render/stages/step_grid.h"

// Everything one kernel call works with (about 535 KB, on the caller's stack).
template <class Traits, bool VelocitySource, bool SpreadSource, bool Shading, class Cells>
struct MeltCall {
    MeltTables tables;
    MeltShading<Shading> shading;
    TableIndexSource<Traits, VelocitySource, SpreadSource> sources;
    StepGrid grid;
    LineGeometry geometry;
    RunSettings run;
    LineFades fades;
    bool stretch;
    float stretchStep;
    // The line buffers (render/kernel/line_buffers.h). A cell never straddles two cache
    // lines. 16 is as far as every x64 stack aligns (Windows builds do not realign it
    // further), so the accumulator starts a few cells in, where the path's vectors
    // want it: on a cache line for AVX-512.
    alignas(16) float lineStorage[kLineStorageCells][4];
};

// Sets the first `cells` cells of the accumulator to zero. The kernel clears all
// its cells before its first line and then only the cells the last line touched,
// which leaves the accumulator as a full clear would.
inline void clearAccumulator(float (*meltAccumulator)[4], int32_t cells) {
    std::memset(meltAccumulator, 0, size_t(cells) * sizeof(meltAccumulator[0]));
}

// Stores cells 0 .. lineLength - 1 of the finished line at the pixel depth, cell i
// at `first` + i x pixelStep.
template <class Traits, class Cells>
void writeLine(typename Traits::Channel* first, ptrdiff_t pixelStep, const float (*lineBuffer)[4],
               int32_t lineLength) {
    storePixels<Traits, typename Cells::Lanes>(lineBuffer, lineLength, first, pixelStep);
}

// Pixels of a line longer than the line buffers are cleared to transparent black.
template <class Traits>
void clearBeyondBuffers(typename Traits::Channel* dstPixels, LineAddress address, int32_t lineLength,
                        int32_t pixelsPerLine) {
    for (int32_t i = lineLength; i < pixelsPerLine; ++i) {
        auto* pixel = dstPixels + (address.start + i * address.cellStep);
        for (int c = 0; c < 4; ++c) pixel[c] = 0;
    }
}

// Every per-call value, before the first line.
template <bool Wrap, class Traits, bool VelocitySource, bool SpreadSource, bool Shading, class Cells>
void prepareCall(MeltCall<Traits, VelocitySource, SpreadSource, Shading, Cells>& call, ParamValues& params,
                 float scale, int32_t dstWidth, int32_t dstHeight) {
    call.grid = prepareStepGrid(params, scale);
    buildTables(params, scale, call.tables);
    call.shading.build(params, call.tables.spreadLengthTable);
    call.geometry = lineGeometry(params.direction, dstWidth, dstHeight);
    const int32_t lineLength = call.geometry.lineLength;
    call.fades = prepareLineFades(params, lineLength);
    call.stretch = stretchActive(params);
    call.stretchStep = prepareStretchStep(lineLength);
    alignStepGrid(call.grid, params, lineLength, call.geometry.lineCount);
    const int32_t cellLimit = Wrap ? kLineCells : runCellLimit(call.tables, lineLength);
    call.run = runSettings(lineLength, call.grid.stepSize, params.scanlineFade != 0, cellLimit);
}

// Melts line n into the output, or over its staged input when `staged` is not null;
// the accumulator's first `dirtyCells` cells hold the last line's. Returns the cells
// this line leaves dirty.
template <bool Wrap, class Cells, class Traits, class Call>
int32_t meltLine(Call& call, const LineBuffers& buffers, const MeltFrame<typename Traits::Channel>& frame,
                 int32_t n, typename Traits::Channel* staged, int32_t dirtyCells) {
    using Channel = typename Traits::Channel;
    const ParamValues& params = frame.params;
    const LineGeometry& geometry = call.geometry;
    const int32_t lineLength = geometry.lineLength;
    float (*const meltAccumulator)[4] = buffers.meltAccumulator;
    Cells::clearCells(meltAccumulator, dirtyCells);

    InputLine<Channel> input{frame.srcPixels,
                             lineAddress(geometry.direction, n, frame.dstWidth, frame.dstHeight, frame.srcPitch),
                             inputCells(geometry.direction, n, frame.dstWidth, frame.dstHeight, frame.srcWidth,
                                        frame.srcHeight)};
    if (staged != nullptr) input = {staged, {0, 4}, input.inside};
    const GridOffset grid = modulateScanline(call.grid, params, n);
    const int32_t depositEnd =
        lineLength > 0
            ? depositRuns<Traits, Wrap, Cells>(meltAccumulator, input, call.run, grid, call.tables, call.sources,
                                               call.shading)
            : 0;

    // Without Wrap, runs may end past the visible line; nothing lies beyond depositEnd.
    const int32_t cellsUsed = Wrap ? lineLength : (depositEnd < kLineCells ? depositEnd + 1 : kLineCells);
    normalizeCells<Cells>(meltAccumulator, cellsUsed, params.outputContinuity);
    if (params.outputContinuity != kContinuityNone) fillGaps<Cells>(meltAccumulator, cellsUsed);

    float (*lineBuffer)[4] = meltAccumulator;
    if (call.stretch) {
        stretchLine(meltAccumulator, buffers.stretchBuffer, lineLength, call.stretchStep, params,
                    cellsUsed > lineLength ? cellsUsed : lineLength, buffers.accumulatorCells);
        lineBuffer = buffers.stretchBuffer;
    }
    fadeLineEnds(lineBuffer, lineLength, call.fades);
    if (staged != nullptr) {
        writeLine<Traits, Cells>(staged, 4, lineBuffer, lineLength);
    } else {
        const LineAddress output = lineAddress(geometry.direction, n, frame.dstWidth, frame.dstHeight, frame.dstPitch);
        writeLine<Traits, Cells>(frame.dstPixels + output.start, output.cellStep, lineBuffer, lineLength);
        clearBeyondBuffers<Traits>(frame.dstPixels, output, lineLength, geometry.pixelsPerLine);
    }
    return cellsUsed > lineLength ? cellsUsed : lineLength;
}

// The kernel on one vector path. Returns 0, or the non-zero answer of abortProgress.
//
// The lines go in blocks that end before each poll (lines 7, 15, 23, ...), so that a
// poll comes only at a block's start, with every line before it written and none
// after it touched. Along columns a block's input is staged before its lines and
// the block written out after them (render/kernel/column_blocks.h); elsewhere a
// block only groups the lines.
template <class Cells, class Traits, bool Wrap, bool VelocitySource, bool SpreadSource, bool Shading>
int32_t meltOnPath(MeltFrame<typename Traits::Channel> frame) {
    MeltCall<Traits, VelocitySource, SpreadSource, Shading, Cells> call;
    prepareCall<Wrap>(call, frame.params, frame.scale, frame.dstWidth, frame.dstHeight);
    const LineGeometry& geometry = call.geometry;
    const int32_t lineLength = geometry.lineLength;
    if (geometry.lineCount <= 0) return 0;
    call.sources.prepare(frame.velocitySource, frame.spreadSource, frame.dstWidth, frame.dstHeight);

    const int32_t heldCells = accumulatorCells(Wrap, lineLength, call.run.cellLimit);
    const LineBuffers buffers = layOutLineBuffers<Traits>(call.lineStorage, Cells::kAlignment, heldCells, geometry,
                                                          call.stretch, call.sources.kLayers);
    const ColumnBlocks& blocks = buffers.blocks;
    call.shading.keepIn(buffers.spare);
    const int32_t inputRows = frame.srcHeight < frame.dstHeight ? frame.srcHeight : frame.dstHeight;
    const int32_t inputColumns = frame.srcWidth < frame.dstWidth ? frame.srcWidth : frame.dstWidth;
    int32_t dirtyCells = buffers.accumulatorCells;
    for (int32_t n0 = 0; n0 < geometry.lineCount;) {
        const int32_t nextPoll = (n0 | 7) == n0 ? n0 + 8 : (n0 | 7);
        const int32_t blockEnd = n0 + blocks.columns < nextPoll ? n0 + blocks.columns : nextPoll;
        const int32_t n1 = blockEnd < geometry.lineCount ? blockEnd : geometry.lineCount;
        if ((n0 & 7) == 7 && frame.abortProgress != nullptr) {
            const int32_t code = frame.abortProgress(frame.inData, n0, geometry.lineCount);
            if (code != 0) return code;
        }
        if (blocks.lines != nullptr) {
            readBlock<Traits>(blocks, frame.srcPixels, frame.srcPitch, geometry, inputRows, n0,
                              n1 < inputColumns ? n1 : inputColumns);
        }
        if (blocks.layerIndexes != nullptr) {
            call.sources.stageBlock(blocks.layerIndexes, geometry.direction, n0, n1 - n0, lineLength);
        }
        for (int32_t n = n0; n < n1; ++n) {
            call.sources.beginLine(geometry.direction, n, blocks.layerIndexes != nullptr ? n - n0 : -1);
            auto* const staged = blocks.lines != nullptr ? stagedPixels<Traits>(blocks, lineLength, n - n0) : nullptr;
            dirtyCells = meltLine<Wrap, Cells, Traits>(call, buffers, frame, n, staged, dirtyCells);
        }
        if (blocks.lines != nullptr) writeBlock<Traits>(blocks, frame.dstPixels, frame.dstPitch, geometry, n0, n1);
        n0 = n1;
    }
    return 0;
}

// Each path's kernel compiled for that path's vectors, with everything it calls
// inlined into it.
template <class Traits, bool Wrap, bool VelocitySource, bool SpreadSource, bool Shading>
__attribute__((flatten)) int32_t MeltPaths<Traits, Wrap, VelocitySource, SpreadSource, Shading>::sse2(
    const Frame& frame) {
    return meltOnPath<Sse2Cells, Traits, Wrap, VelocitySource, SpreadSource, Shading>(frame);
}

template <class Traits, bool Wrap, bool VelocitySource, bool SpreadSource, bool Shading>
ONDRAVA_TARGET_AVX2 __attribute__((flatten)) int32_t
MeltPaths<Traits, Wrap, VelocitySource, SpreadSource, Shading>::avx2(const Frame& frame) {
    return meltOnPath<Avx2Cells, Traits, Wrap, VelocitySource, SpreadSource, Shading>(frame);
}

template <class Traits, bool Wrap, bool VelocitySource, bool SpreadSource, bool Shading>
ONDRAVA_TARGET_AVX512 __attribute__((flatten)) int32_t
MeltPaths<Traits, Wrap, VelocitySource, SpreadSource, Shading>::avx512(const Frame& frame) {
    return meltOnPath<Avx512Cells, Traits, Wrap, VelocitySource, SpreadSource, Shading>(frame);
}
