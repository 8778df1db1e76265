// The effect's own drawing in the effect-controls panel and the clicks on its
// banner: the banner in the header parameter, a graph in each parameter that a
// drawControlData record names.
#pragma once

#include <cstdint>

#include "host/ui/draw_control_data.h"
#include "platform/pf_custom_ui.h"
#include "platform/pf_effect.h"

// The `when` of the last single click on the banner, in the host's ticks;
// kNoBannerClick before the first and after a double-click. One value for the
// process, touched only on the host's user-interface thread.
constexpr uint32_t kNoBannerClick = 0xFFFFFFFF;
extern uint32_t lastClickTime;

// A second click on the banner this many ticks or fewer after the first is a
// double-click.
constexpr uint32_t kDoubleClickTicks = 31;

// Sorts one event by type, parameter and area; a host that hands no event record
// gets 516. A double-click on the header sets
// *doubleClicked (when given) to 1. Draws the banner or the graph of the first
// record whose paramIndex is the event's. Returns 0 or the code of the first
// failing host call; the event is marked handled only when drawing succeeded.
// A failing parameter checkout of a draw function throws the host's code, after
// everything acquired here has been given back.
PF_Err HandleEvent(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef** params, PF_LayerDef* output,
                   PF_EventExtra* extra, int32_t headerIndex, const uint8_t* bannerPixels, int32_t* doubleClicked,
                   int32_t graphCount, drawControlData** graphs);

// Draws the 320 by 17 banner: at the title frame's corner for the title area,
// at the control frame's corner for the control area in the one host version
// that shows it there; anything else draws nothing. No event record: 516.
PF_Err DrawHeaderImage(PF_InData* in_data, PF_OutData* out_data, PF_EventExtra* extra, const uint8_t* bannerPixels);
