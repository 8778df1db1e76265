// Calling a graph draw function as the event command does: a parameter array
// with the host's indices of the latest parameter setup, a record naming the
// parameter ids the function reads, and an image buffer of the record's size.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/params/param_map.h"
#include "host/params/param_setup.h"
#include "host/ui/draw_control_data.h"
#include "host/ui/graph_grid.h"
#include "tests/host/param_fixture.h"
#include "tools/standin_host/frame_host.h"

class GraphDrawTest : public params_test::ParamsTest {
protected:
    static constexpr uint8_t kUntouched = 0xAB;

    GraphDrawTest() : values(51) {
        EXPECT_EQ(UIInitParams(&in_data, &out_data, nullptr), PF_Err_NONE);  // id k at index k
        for (PF_ParamDef& def : values) {
            def.param_type = PF_Param_NO_DATA;  // values only: the host hands out no layer
            pointers.push_back(&def);
        }
    }

    // The record: paramIds[i] = firstId + i.
    void useRecord(int32_t width, int32_t height, int32_t firstId) {
        record = drawControlData{};
        record.width = width;
        record.height = height;
        for (int32_t i = 0; i < 10; ++i) record.paramIds[i] = firstId + i;
        pixels.assign(size_t(width > 0 ? width : 0) * size_t(height > 0 ? height : 0) * 4, kUntouched);
    }
    PF_ParamDef& param(int32_t slot) { return values.at(size_t(record.paramIds[slot])); }

    // The image the grid reduces to, to compare with what a draw function wrote.
    std::vector<uint8_t> reduced(const GraphGrid& grid) const {
        std::vector<uint8_t> image(pixels.size());
        grid.reduceInto(image.data());
        return image;
    }
    bool untouched() const {
        for (uint8_t b : pixels) {
            if (b != kUntouched) return false;
        }
        return true;
    }
    // A frame host holding the same values, for reads through parameter checkout.
    std::unique_ptr<standin::FrameHost> checkoutHost() {
        auto frame = std::make_unique<standin::FrameHost>(in_data, values, log);
        return frame;
    }

    std::vector<PF_ParamDef> values;
    std::vector<PF_ParamDef*> pointers;
    drawControlData record{};
    std::vector<uint8_t> pixels;
    CallLog log;
};
