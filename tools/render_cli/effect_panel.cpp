#include "tools/render_cli/effect_panel.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/drawbot.h"
#include "platform/pf_custom_ui.h"
#include "platform/pf_flags.h"
#include "tools/render_cli/tool_messages.h"

namespace {

constexpr int32_t kMargin = 8;
constexpr int32_t kRowGap = 6;
constexpr int32_t kControlIndent = 24;  // controls stand under their group's twirl
constexpr uint8_t kBackground[3] = {43, 43, 43};  // the panel's dark grey, R G B

// One area the effect draws in: a parameter's title or its control.
struct PanelArea {
    PF_ParamIndex index;
    PF_EffectArea area;
    PF_LRect frame;
};

// The areas a registered parameter may ask to draw, title first, and where each begins.
struct AreaKind {
    int32_t uiFlag;  // PF_PUI_*
    PF_EffectArea area;
    int32_t left;
};
const AreaKind kAreaKinds[] = {{PF_PUI_TOPIC, PF_EA_PARAM_TITLE, kMargin},
                               {PF_PUI_CONTROL, PF_EA_CONTROL, kMargin + kControlIndent}};

// The rows of the panel, top to bottom in host order.
std::vector<PanelArea> layOut(const std::vector<PF_ParamDef>& params, int32_t* width, int32_t* height) {
    std::vector<PanelArea> areas;
    int32_t top = kMargin;
    *width = 2 * kMargin;
    for (size_t i = 1; i < params.size(); ++i) {
        const PF_ParamDef& def = params[i];
        for (const AreaKind& kind : kAreaKinds) {
            if ((def.ui_flags & kind.uiFlag) == 0) continue;
            const PF_LRect frame{kind.left, top, kind.left + def.ui_width, top + def.ui_height};
            areas.push_back({PF_ParamIndex(i), kind.area, frame});
            top = frame.bottom + kRowGap;
            *width = std::max(*width, frame.right + kMargin);
        }
    }
    *height = areas.empty() ? 2 * kMargin : top - kRowGap + kMargin;
    return areas;
}

// Lays a drawn image (B, G, R, A bytes, straight alpha) over the picture at its origin.
void compose(const standin::DrawnImage& image, RgbaImageOf<uint8_t>& picture) {
    const int32_t left = int32_t(std::lround(image.origin.x));
    const int32_t top = int32_t(std::lround(image.origin.y));
    for (int32_t y = 0; y < image.height; ++y) {
        if (top + y < 0 || top + y >= picture.height) continue;
        const uint8_t* in = image.pixels.data() + size_t(y) * size_t(image.rowBytes);
        for (int32_t x = 0; x < image.width; ++x, in += 4) {
            if (left + x < 0 || left + x >= picture.width) continue;
            uint8_t* out = picture.pixel(left + x, top + y);
            const double alpha = in[3] / 255.0 * image.opacity;
            const uint8_t rgb[3] = {in[2], in[1], in[0]};
            for (int c = 0; c < 3; ++c) out[c] = uint8_t(std::lround(rgb[c] * alpha + out[c] * (1.0 - alpha)));
        }
    }
}

}  // namespace

std::string drawEffectPanel(standin::RenderHost& effect, EffectMessages& messages, RgbaImageOf<uint8_t>& picture) {
    int32_t width = 0, height = 0;
    const std::vector<PanelArea> areas = layOut(effect.registered, &width, &height);
    std::vector<PF_ParamDef*> params;
    for (PF_ParamDef& def : effect.registered) params.push_back(&def);

    standin::DrawbotHost& drawbot = effect.host.drawbot;
    drawbot.drawn.clear();
    for (const PanelArea& area : areas) {
        PF_EventExtra extra{};
        extra.contextH = drawbot.context();
        extra.e_type = PF_Event_DRAW;
        extra.effect_win.index = area.index;
        extra.effect_win.area = area.area;
        extra.effect_win.current_frame = area.frame;
        extra.effect_win.param_title_frame = area.frame;
        const PF_Err err = effect.host.send(PF_Cmd_EVENT, params.data(), nullptr, &extra);
        messages.collect(effect.host.out_data);
        if (err != PF_Err_NONE) {
            return "drawing parameter " + std::to_string(area.index) + " of the panel " + msg::kRenderFailed + " " +
                   std::to_string(err);
        }
    }

    picture = RgbaImageOf<uint8_t>(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* pixel = picture.pixel(x, y);
            std::copy_n(kBackground, 3, pixel);
            pixel[3] = 255;
        }
    }
    for (const standin::DrawnImage& image : drawbot.drawn) {
        if (image.layout != kDRAWBOT_PixelLayout_32BGRA_Straight) {
            return "the effect drew an image in pixel layout " + std::to_string(image.layout) +
                   ", which the panel does not compose";
        }
        compose(image, picture);
    }
    return "";
}
