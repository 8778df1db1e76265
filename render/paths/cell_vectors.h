// The line accumulator's cells several to a vector. A cell is four floats (A, R,
// G, B) and takes a deposit as amount x (1, R, G, B), added lane by lane: each lane
// does exactly what the scalar cell would, and each cell takes its runs' additions
// in the order of the runs. Every rule here is written once over a path's lanes
// (render/paths/lanes.h); the paths differ only in how many cells share one vector:
// one (SSE2, every x64 processor), two (AVX2) or four (AVX-512).
//
// A path's vectors are read and written in blocks of kCells cells aligned to the
// accumulator's start (aligned to a vector): a span's first and last blocks change
// only the span's own cells, and a block is read whole where the previous run wrote
// it whole, which the processor forwards without a stall.
#pragma once

#include <cstdint>

#include "render/paths/lanes.h"
#include "render/paths/vector_path.h"

// A run's cells as the deposit hands them over: `count` cells from `first`, the
// first taking `head`, the last (when there are two or more) `tail`, the rest
// `whole`; a cell's deposit is its amount times the run's colour (1, R, G, B).
struct RunCells {
    int32_t first;
    int32_t count;
    float head;
    float whole;
    float tail;
};

struct RunColour {
    float r, g, b;
    float a = 1.0f;  // the alpha lane's: 1, unless the colour carries an amount
    // Built in registers: four floats stored one by one and read back as a vector
    // would wait for the stores on every run.
    __m128 cell() const { return _mm_setr_ps(a, r, g, b); }
    // The colour (1, R, G, B) carrying `amount`: (amount, R x amount, G x amount, B x amount).
    RunColour carrying(float amount) const { return {r * amount, g * amount, b * amount, amount}; }
};

// The colours of a span of a run's cells: its first cell takes `head`, its last
// `tail` (a span of one cell takes `head`), the cells between `whole`. Spans whose
// ends take colours of their own are added by addAmounts<true>; addAmounts<false>
// gives every cell `whole`.
struct SpanColours {
    RunColour head, whole, tail;
};

// The helpers take and give vectors by reference and are always inlined: a routine
// written once over the lanes is compiled for no path of its own, and only the
// paths' functions may pass their vectors in registers.

// The block at `block` takes `amounts` in the lanes of `lanes`; the others keep their bits.
template <class L>
__attribute__((always_inline)) inline void addToBlock(float* block, const typename L::Mask& lanes,
                                                      const typename L::Floats& amounts) {
    L::store(block, L::addWhere(lanes, L::load(block), amounts));
}

// Un-premultiplies the block of cells at `block` (normalizeCells says how), writing
// only the lanes of `inside` unless kWhole; a cell turns opaque where its alpha
// exceeds `opaqueAbove`.
//
// One division gives both quotients a cell may need: 1 / alpha in its alpha lane,
// colour / alpha in the others. Which one a colour takes follows from comparing
// alpha with bounds: the reciprocal of a positive alpha is finite exactly when
// alpha exceeds 2^-128, so a partial cell (alpha below 1) above that bound is
// multiplied by its reciprocal, and every other cell with a positive alpha divided.
template <class L, bool kWhole>
__attribute__((always_inline)) inline void normalizeBlock(float* block, const typename L::Floats& opaqueAbove,
                                                          const typename L::Mask& inside) {
    using Floats = typename L::Floats;
    using Mask = typename L::Mask;
    const Floats one = L::floats(1.0f), zero = L::floats(0.0f);
    const Mask alphaLanes = L::alphaLanes(), colourLanes = L::andNot(L::firstLanes(L::kCount), alphaLanes);
    const Floats c = L::load(block);
    const Floats alpha = L::cellAlphas(c);
    const Floats quotient = L::div(L::select(alphaLanes, one, c), alpha);
    const Floats reciprocal = L::cellAlphas(quotient);
    const Mask divided = L::bitAnd(colourLanes, L::less(zero, alpha));
    const Mask partial = L::bitAnd(colourLanes, L::less(alpha, one));
    const Mask multiplied = L::bitAnd(partial, L::less(L::floats(0x1p-128f), alpha));
    const Mask opaque = L::bitAnd(alphaLanes, L::less(opaqueAbove, alpha));
    Floats out = L::select(divided, quotient, c);
    out = L::select(multiplied, L::mul(c, reciprocal), out);
    out = L::select(opaque, one, out);
    L::store(block, kWhole ? out : L::select(inside, out, c));
}

// Cells `from` .. `to` - 1 of the block (0 <= from < to <= kCells) take
// amounts[from .. to - 1] times their colour in `colour`; the other amounts are not read.
template <class L>
__attribute__((always_inline)) inline void addAmountsInBlock(float* block, const float* amounts, int32_t from,
                                                             int32_t to, const typename L::Floats& colour) {
    const typename L::Mask lanes = L::bitAnd(L::cellsFrom(from), L::cellsThrough(to - 1));
    addToBlock<L>(block, lanes, L::mul(L::spreadAmountsIn(amounts, from, to), colour));
}

template <class L>
struct CellVectors {
    static constexpr VectorPath kPath = L::kPath;
    using Lanes = L;  // the pixels planned together
    static constexpr int32_t kAlignment = L::kAlignment;  // bytes the accumulator is aligned to
    static constexpr int32_t kCells = L::kCells;

    // Sets cells 0 .. count - 1 to zero, whole vectors: a cell past `count` in the
    // last one is zero already.
    static void clearCells(float (*cells)[4], int32_t count) {
        for (int32_t i = 0; i < count; i += kCells) L::store(cells[i], L::floats(0.0f));
    }

    static void addRun(float (*cells)[4], const RunCells& run, const RunColour& colour) {
        using Floats = typename L::Floats;
        using Mask = typename L::Mask;
        const Floats c = L::everyCell(colour.cell());
        const Floats whole = L::mul(L::floats(run.whole), c);
        const int32_t last = run.first + run.count - 1;
        float* block = cells[run.first & -kCells];
        float* const lastBlock = cells[last & -kCells];
        // The first block from the run's first cell on, which takes `head`.
        Mask lanes = L::cellsFrom(run.first & (kCells - 1));
        Floats amounts = L::select(L::cellLanes(run.first & (kCells - 1)), L::mul(L::floats(run.head), c), whole);
        if (block != lastBlock) {
            addToBlock<L>(block, lanes, amounts);
            for (block += 4 * kCells; block != lastBlock; block += 4 * kCells) {
                L::store(block, L::add(L::load(block), whole));
            }
            amounts = whole;
            lanes = L::firstLanes(L::kCount);
        }
        // The last block up to the run's last cell, which takes `tail`.
        lanes = L::bitAnd(lanes, L::cellsThrough(last & (kCells - 1)));
        if (run.count > 1) amounts = L::select(L::cellLanes(last & (kCells - 1)), L::mul(L::floats(run.tail), c), amounts);
        addToBlock<L>(block, lanes, amounts);
    }

    // Cell first + k takes amounts[k] times its colour, for k = 0 .. count - 1.
    template <bool kOwnEnds>
    static void addAmounts(float (*cells)[4], int32_t first, int32_t count, const float* amounts,
                           const SpanColours& colours) {
        using Floats = typename L::Floats;
        const Floats c = L::everyCell(colours.whole.cell());
        const int32_t last = first + count - 1;
        const int32_t firstBlock = first & -kCells, lastBlock = last & -kCells;
        // The span's first and last cells take their colours in their blocks' lanes.
        Floats head = c, tail = c;
        if constexpr (kOwnEnds) {
            tail = L::select(L::cellLanes(last & (kCells - 1)), L::everyCell(colours.tail.cell()), c);
            head = L::select(L::cellLanes(first & (kCells - 1)), L::everyCell(colours.head.cell()),
                             firstBlock == lastBlock ? tail : c);
        }
        const int32_t headEnd = firstBlock == lastBlock ? (last & (kCells - 1)) + 1 : kCells;
        addAmountsInBlock<L>(cells[firstBlock], amounts - (first & (kCells - 1)), first & (kCells - 1), headEnd,
                             head);
        if (firstBlock == lastBlock) return;
        for (int32_t b = firstBlock + kCells; b < lastBlock; b += kCells) {
            L::store(cells[b], L::add(L::load(cells[b]), L::mul(L::spreadAmounts(amounts + (b - first)), c)));
        }
        addAmountsInBlock<L>(cells[lastBlock], amounts + (lastBlock - first), 0, (last & (kCells - 1)) + 1, tail);
    }

    // Un-premultiplies cells 0 .. count - 1 as normalizeCells describes; partial cells
    // from `promoteFrom` on become opaque. A cell turns opaque where its alpha
    // exceeds `opaqueAbove`: the float just below 1 (alpha 1 or more), or 0 where
    // partial cells are promoted; the block that holds promoteFrom takes both.
    static void normalize(float (*cells)[4], int32_t count, int32_t promoteFrom) {
        using Floats = typename L::Floats;
        const Floats belowOne = L::floats(0x1.fffffep-1f), zero = L::floats(0.0f);
        const typename L::Mask all = L::firstLanes(L::kCount);
        const int32_t promoted = promoteFrom < count ? promoteFrom : count;
        int32_t i = 0;
        for (; i + kCells <= promoted; i += kCells) normalizeBlock<L, true>(cells[i], belowOne, all);
        if (i < promoted) {
            const typename L::Mask inside = L::cellsThrough((count - i < kCells ? count - i : kCells) - 1);
            normalizeBlock<L, false>(cells[i], L::select(L::cellsFrom(promoted - i), zero, belowOne), inside);
            i += kCells;
        }
        for (; i + kCells <= count; i += kCells) normalizeBlock<L, true>(cells[i], zero, all);
        if (i < count) normalizeBlock<L, false>(cells[i], zero, L::cellsThrough(count - i - 1));
    }

    // From cell i on, the first cell of 0 .. count - 1 whose alpha is 0 (count
    // when there is none), noting in lastFullCell the last cell with alpha 1 before it.
    // The alphas of kCount cells are compared at a time.
    static int32_t nextEmptyCell(const float (*cells)[4], int32_t i, int32_t count, int32_t& lastFullCell) {
        using Floats = typename L::Floats;
        const Floats zero = L::floats(0.0f), one = L::floats(1.0f);
        for (; i + L::kCount <= count; i += L::kCount) {
            const Floats alphas = L::alphasOf(cells + i);
            const uint32_t empty = uint32_t(L::flags(L::equal(alphas, zero)));
            // The cells before the first empty one.
            const uint32_t before = empty != 0 ? (empty & (0u - empty)) - 1u : (1u << L::kCount) - 1u;
            const uint32_t full = uint32_t(L::flags(L::equal(alphas, one))) & before;
            if (full != 0) lastFullCell = i + 31 - __builtin_clz(full);
            if (empty != 0) return i + __builtin_ctz(empty);
        }
        for (; i < count && cells[i][0] != 0.0f; ++i) {
            if (cells[i][0] == 1.0f) lastFullCell = i;
        }
        return i;
    }
};

using Sse2Cells = CellVectors<Sse2Lanes>;
using Avx2Cells = CellVectors<Avx2Lanes>;
using Avx512Cells = CellVectors<Avx512Lanes>;
