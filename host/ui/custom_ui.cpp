#include "host/ui/custom_ui.h"

#include <memory>
#include <new>

#include "host/params/param_table.h"
#include "host/ui/drawbot_drawing.h"
#include "resources/banner.h"

uint32_t lastClickTime = kNoBannerClick;

namespace {

bool bannerShownInControlArea(const PF_InData* in_data) { return bannerInControlArea(hostKindOf(in_data)); }

PF_Err clickOnHeader(const PF_EventExtra* extra, int32_t* doubleClicked) {
    // Unsigned, so that two clicks either side of the tick count's wrap are still
    // close together.
    const uint32_t sinceLast = extra->u.do_click.when - lastClickTime;
    if (sinceLast <= kDoubleClickTicks) {
        if (doubleClicked != nullptr) {
            *doubleClicked = 1;
        }
        // A third quick click starts a new pair.
        lastClickTime = kNoBannerClick;
    } else {
        lastClickTime = extra->u.do_click.when;
    }
    return PF_Err_NONE;
}

drawControlData* graphOf(PF_ParamIndex index, int32_t graphCount, drawControlData** graphs) {
    for (int32_t i = 0; i < graphCount; ++i) {
        if (graphs[i]->paramIndex == index) {
            return graphs[i];
        }
    }
    return nullptr;
}

PF_Err drawGraph(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef** params, PF_EventExtra* extra,
                 drawControlData* record) {
    DrawbotDrawing drawing(in_data, out_data, extra->contextH);
    // The graph is painted even when the host cannot draw it, so a draw
    // function's failing checkout reaches the host all the same.
    const size_t bytes = size_t(record->width) * size_t(record->height) * 4;
    std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[bytes]);
    if (pixels == nullptr || record->drawFunc(pixels.get(), in_data, params, record) == 0) {
        // Nothing to show: the host hears of it rather than seeing an empty
        // area marked as drawn.
        drawing.fail(PF_Err_OUT_OF_MEMORY);
    } else {
        drawing.drawImage(record->width, record->height, pixels.get(), extra->effect_win.current_frame);
    }
    return drawing.finish(extra);
}

PF_Err drawEvent(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef** params, PF_EventExtra* extra,
                 int32_t headerIndex, const uint8_t* bannerPixels, int32_t graphCount, drawControlData** graphs) {
    const PF_EffectWindowInfo& win = extra->effect_win;
    if (win.index == headerIndex && win.area == PF_EA_PARAM_TITLE) {
        return bannerShownInControlArea(in_data) ? PF_Err_NONE
                                            : DrawHeaderImage(in_data, out_data, extra, bannerPixels);
    }
    if (win.area != PF_EA_CONTROL) {
        return PF_Err_NONE;
    }
    PF_Err err = PF_Err_NONE;
    if (drawControlData* record = graphOf(win.index, graphCount, graphs)) {
        err = drawGraph(in_data, out_data, params, extra, record);
    }
    if (win.index == headerIndex && bannerShownInControlArea(in_data)) {
        return DrawHeaderImage(in_data, out_data, extra, bannerPixels);
    }
    return err;
}

}  // namespace

PF_Err HandleEvent(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef** params, PF_LayerDef* /*output*/,
                   PF_EventExtra* extra, int32_t headerIndex, const uint8_t* bannerPixels, int32_t* doubleClicked,
                   int32_t graphCount, drawControlData** graphs) {
    if (extra == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    switch (extra->e_type) {
        case PF_Event_DO_CLICK:
            return extra->effect_win.index == headerIndex ? clickOnHeader(extra, doubleClicked) : PF_Err_NONE;
        case PF_Event_DRAW:
            return drawEvent(in_data, out_data, params, extra, headerIndex, bannerPixels, graphCount, graphs);
        default:
            return PF_Err_NONE;
    }
}

PF_Err DrawHeaderImage(PF_InData* in_data, PF_OutData* out_data, PF_EventExtra* extra, const uint8_t* bannerPixels) {
    if (extra == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
    DrawbotDrawing drawing(in_data, out_data, extra->contextH);
    const bool controlArea = bannerShownInControlArea(in_data);
    const PF_EffectWindowInfo& win = extra->effect_win;
    if (win.area == PF_EA_PARAM_TITLE && !controlArea) {
        drawing.drawImage(kBannerWidth, kBannerHeight, bannerPixels, win.param_title_frame);
    } else if (win.area == PF_EA_CONTROL && controlArea) {
        drawing.drawImage(kBannerWidth, kBannerHeight, bannerPixels, win.current_frame);
    }
    return drawing.finish(extra);
}
