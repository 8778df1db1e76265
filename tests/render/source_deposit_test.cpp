#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "render/shading/melt_shading.h"
#include "render/sources/table_index_source.h"
#include "render/stages/run_deposit.h"

namespace {

struct Accumulator {
    float cells[kLineCells][4] = {};
};

// One opaque float pixel at position 1 of a 3-cell line, with tables whose every
// velocity entry is 0.3 and every spread offset -0.3 (single precision). In single
// precision (1 + -0.3) + 0.3 is exactly 1, while (1 + 0.3) + -0.3 is 0.99999994:
// the order in which a source instance adds the two entries decides whether the
// run starts on a whole cell or leaves a sliver in cell 0.
template <bool VelocitySource, bool SpreadSource>
std::unique_ptr<Accumulator> depositWithSources() {
    std::vector<float> pixels(12, 0.0f), layerPixels(12, 0.5f);
    pixels[4] = pixels[5] = pixels[6] = pixels[7] = 1.0f;
    auto tables = std::make_unique<MeltTables>();
    for (int j = 0; j < kLumaEntries; ++j) {
        tables->velocityTable[j] = 0.3f;
        tables->spreadOffsetTable[j] = -0.3f;
        tables->spreadLengthTable[j] = 1.0f;
    }
    const SourceLayerArgs<float> layer{layerPixels.data(), 3, 1, 12, 0, 0};
    TableIndexSource<Channel32, VelocitySource, SpreadSource> sources;
    sources.prepare(layer, layer, 3, 1);
    sources.beginLine(0, 0, -1);
    auto acc = std::make_unique<Accumulator>();
    const InputLine<float> line{pixels.data(), {0, 4}, {0, 3}};
    depositRuns<Channel32, false>(acc->cells, line, runSettings(3, 1, false), {0, 0.0f}, *tables, sources,
                                  MeltShading<false>{});
    return acc;
}

TEST(SourceDeposit, SpreadLayerAloneAddsTheSpreadOffsetFirst) {
    const auto acc = depositWithSources<false, true>();
    EXPECT_EQ(acc->cells[0][0], 0.0f);
    EXPECT_EQ(acc->cells[1][0], 1.0f);
}

TEST(SourceDeposit, VelocityAndBothSourcesAddTheVelocityFirst) {
    for (const auto& acc : {depositWithSources<true, false>(), depositWithSources<true, true>()}) {
        EXPECT_EQ(acc->cells[0][0], 5.9604645e-08f);  // (0 - 0.99999994) + 1
        EXPECT_EQ(acc->cells[1][0], 1.0f - 5.9604645e-08f);
    }
}

}  // namespace
