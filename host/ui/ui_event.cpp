#include "host/ui/ui_event.h"

#include "host/params/param_ids.h"
#include "host/params/param_map.h"
#include "host/params/param_table.h"
#include "host/ui/about_box.h"
#include "host/ui/curve_graph.h"
#include "host/ui/custom_ui.h"
#include "resources/banner.h"

namespace {

// A curve graph: the curve's function, phase, floor and smoothness, by id.
drawControlData curveGraphRecord(int32_t graphId, int32_t function, int32_t phase, int32_t floorLift,
                                 int32_t smoothness) {
    return drawControlData{getParamIndexFromId(graphId), 50, 50, CurveGraphDraw, nullptr,
                           {function, phase, floorLift, smoothness}};
}

}  // namespace

PF_Err UIEvent(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef** params, PF_LayerDef* output,
               PF_EventExtra* extra) {
    // The graphs exist exactly where the host can draw them.
    if (!hostHasGraphs(hostKindOf(in_data))) {
        return PF_Err_NONE;
    }
    using namespace ParamId;
    int32_t doubleClicked = 0;
    drawControlData velocityGraph =
        curveGraphRecord(VelCurveGraph, VelCurveFunction, VelCurvePhase, VelCurveFloor, VelCurveSmoothness);
    drawControlData spreadGraph = curveGraphRecord(SpreadCurveGraph, SpreadCurveFunction, SpreadCurvePhase,
                                                   SpreadCurveFloor, SpreadCurveSmoothness);
    drawControlData* graphs[2] = {&velocityGraph, &spreadGraph};
    const int32_t headerIndex = getParamIndexFromId(Banner);

    const PF_Err err = HandleEvent(in_data, out_data, params, output, extra, headerIndex, bannerImage.data(),
                                   &doubleClicked, 2, graphs);
    if (doubleClicked != 0) {
        presentAboutBox(out_data);
        return PF_Err_NONE;
    }
    return err;
}
