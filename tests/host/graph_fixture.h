// A stand-in host whose parameter ids map to host index = id (the compositing
// host from effect API 13.9), with a parameter array at the defaults of zero and
// the curve parameters of both graphs settable.
#pragma once

#include <vector>

#include "host/params/param_ids.h"
#include "host/params/param_map.h"
#include "host/ui/draw_control_data.h"
#include "tests/host/host_fixture.h"

inline void publishIdentityMap() {
    ParamIdMap map;
    for (int32_t id = 1; id <= ParamId::kCount; ++id) map.addParam(id);
    publishParamIdMap(map);
}

// The four ids a curve graph reads, in its record's order.
struct CurveIds {
    int32_t function, phase, floorLift, smoothness;
};
constexpr CurveIds kVelocityCurve{ParamId::VelCurveFunction, ParamId::VelCurvePhase, ParamId::VelCurveFloor,
                                  ParamId::VelCurveSmoothness};
constexpr CurveIds kSpreadCurve{ParamId::SpreadCurveFunction, ParamId::SpreadCurvePhase, ParamId::SpreadCurveFloor,
                                ParamId::SpreadCurveSmoothness};

class GraphParamsTest : public HostFunctionTest {
protected:
    GraphParamsTest() : defs(ParamId::kCount + 1) {
        publishIdentityMap();
        for (PF_ParamDef& def : defs) pointers.push_back(&def);
        setCurve(kVelocityCurve, 1, 0, 0.0f, 0.0f);
        setCurve(kSpreadCurve, 1, 0, 0.0f, 0.0f);
    }

    void setCurve(const CurveIds& ids, int32_t popup, PF_Fixed phase, float floorLift, float smoothness) {
        defs[size_t(ids.function)].u.pd.value = popup;
        defs[size_t(ids.phase)].u.ad.value = phase;
        defs[size_t(ids.floorLift)].u.fs_d.value = floorLift;
        defs[size_t(ids.smoothness)].u.fs_d.value = smoothness;
    }

    // A 50 by 50 curve graph record of the parameter graphIndex.
    static drawControlData curveRecord(int32_t graphIndex, const CurveIds& ids, DrawControlFunc draw) {
        return drawControlData{graphIndex, 50, 50, draw, nullptr, {ids.function, ids.phase, ids.floorLift,
                                                                    ids.smoothness, -7, -7, -7, -7, -7, -7}};
    }

    std::vector<PF_ParamDef> defs;
    std::vector<PF_ParamDef*> pointers;
};
