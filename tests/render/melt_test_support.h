// Frames, parameters and a recording host for the melt tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "host/params/param_loading.h"
#include "platform/pf_effect.h"
#include "render/param_values.h"
#include "render/render_entries.h"
#include "tools/standin_host/unused_slots.h"

// The registered defaults, with "Ondrava Intensity" 0: every table entry is then
// 0 (velocity, offset) or 1 (length), so each pixel lands on its own cell.
inline ParamValues stillParams() {
    ParamValues p = defaultParamValues();
    p.intensity = 0.0;
    return p;
}

// Each pixel moves by exactly `cells` cells: no spread, velocity 0, shift = cells.
inline ParamValues movingParams(int32_t direction, double cells, int32_t wrap = 0) {
    ParamValues p = defaultParamValues();
    p.direction = direction;
    p.meltStep = 1;
    p.velocity = 0.0;
    p.spread = 0.0;
    p.shift = cells;
    p.wrap = wrap;
    return p;
}

// The render entry of Channel's depth (8-bit, 16-bit or float), at full resolution.
template <class Channel>
int32_t renderEntry(PF_LayerDef* in, PF_LayerDef* out, const ParamValues& params, PF_InData* inData = nullptr) {
    if constexpr (sizeof(Channel) == 1) {
        return renderARGB8(in, out, params, 1.0f, inData);
    } else if constexpr (sizeof(Channel) == 2) {
        return renderARGB16(in, out, params, 1.0f, inData);
    } else {
        return renderARGB32(in, out, params, 1.0f, inData);
    }
}

// An ARGB frame of any depth with room for padding at the end of each row.
template <class Channel>
struct Frame {
    int32_t width, height, pitch;  // pitch in channels
    std::vector<Channel> data;
    Frame(int32_t w, int32_t h, int32_t padding = 0, Channel fill = Channel())
        : width(w), height(h), pitch(4 * w + padding), data(size_t(pitch) * (h > 0 ? h : 1), fill) {}
    Channel* at(int32_t x, int32_t y) { return &data[size_t(y) * pitch + 4 * size_t(x)]; }
    void set(int32_t x, int32_t y, Channel a, Channel r, Channel g, Channel b) {
        Channel* px = at(x, y);
        px[0] = a, px[1] = r, px[2] = g, px[3] = b;
    }
    PF_LayerDef layer() {
        PF_LayerDef l{};
        l.data = data.data();
        l.rowbytes = int32_t(pitch * sizeof(Channel));
        l.width = width;
        l.height = height;
        return l;
    }
};

// A host that records every abort question and progress report, and whose abort
// callback answers `answer` from its `stopAtCall`-th question on (0-based).
struct RecordingHost {
    int32_t abortCalls = 0;
    int32_t stopAtCall = -1;
    PF_Err answer = 0;
    std::vector<int32_t> progressLines;
    std::vector<int32_t> progressTotals;
    PF_InData inData{};
    RecordingHost() {
        standin::fillUnusedSlots(inData.inter);
        inData.effect_ref = this;
        inData.inter.abort = [](PF_ProgPtr ref) -> PF_Err {
            auto* host = static_cast<RecordingHost*>(ref);
            const int32_t call = host->abortCalls++;
            return host->stopAtCall >= 0 && call >= host->stopAtCall ? host->answer : 0;
        };
        inData.inter.progress = [](PF_ProgPtr ref, int32_t current, int32_t total) -> PF_Err {
            auto* host = static_cast<RecordingHost*>(ref);
            host->progressLines.push_back(current);
            host->progressTotals.push_back(total);
            return 7;  // a failing progress report does not stop the render
        };
    }
};
