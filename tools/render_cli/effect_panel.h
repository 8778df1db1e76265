// The effect-controls panel as the effect draws it: every parameter it registered
// with a custom-drawn area (the banner, the curve graphs) gets a row, and a draw
// event for that area goes through the module's EffectMain at the current parameter
// values, the stand-in host's Drawbot suites recording each image drawn. The images
// are composed at their frames over the panel's background into one picture. The
// registration says which area each parameter draws in, so the host version decides
// where the banner goes.
#pragma once

#include <cstdint>
#include <string>

#include "tools/render_cli/effect_messages.h"
#include "tools/rgba_image.h"
#include "tools/standin_host/render_host.h"

// Returns "" and the picture, or a message.
std::string drawEffectPanel(standin::RenderHost& effect, EffectMessages& messages, RgbaImageOf<uint8_t>& picture);
