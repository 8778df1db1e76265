// The effect-controls panel through the loaded module: which areas each host's
// registration asks to draw, where the drawn images land in the picture, and the
// panel's background elsewhere.
#include "tools/render_cli/effect_panel.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/pf_custom_ui.h"

namespace {

struct PanelHost {
    const char* name;
    bool premiere;
    int16_t major, minor;
    size_t images;          // drawn
    int32_t bannerLeft;     // -1: no banner
};

class EffectPanelTest : public testing::TestWithParam<PanelHost> {};

// The drawn pixel that covers most: the picture shows it laid over the background.
void mostCoveringPixel(const standin::DrawnImage& image, int32_t* x, int32_t* y) {
    int best = -1;
    for (int32_t row = 0; row < image.height; ++row) {
        for (int32_t column = 0; column < image.width; ++column) {
            const int alpha = image.pixels[size_t(row) * size_t(image.rowBytes) + size_t(column) * 4 + 3];
            if (alpha > best) best = alpha, *x = column, *y = row;
        }
    }
}

TEST_P(EffectPanelTest, DrawsEachCustomAreaAtItsFrame) {
    const PanelHost& c = GetParam();
    standin::RenderHost effect(ONDRAVA_MODULE_PATH);
    effect.host.in_data.appl_id = c.premiere ? StandInHost::kApplIdPremierePro : StandInHost::kApplIdAfterEffects;
    effect.host.in_data.version = PF_SpecVersion{c.major, c.minor};
    ASSERT_EQ(effect.setUp(), "");
    EffectMessages messages;
    RgbaImageOf<uint8_t> picture;
    ASSERT_EQ(drawEffectPanel(effect, messages, picture), "");
    EXPECT_TRUE(messages.lines().empty());

    const std::vector<standin::DrawnImage>& drawn = effect.host.drawbot.drawn;
    ASSERT_EQ(drawn.size(), c.images);
    EXPECT_EQ(effect.host.drawbot.liveImages(), 0);
    const uint8_t* background = picture.pixel(0, 0);
    for (const standin::DrawnImage& image : drawn) {
        int32_t x = 0, y = 0;
        mostCoveringPixel(image, &x, &y);
        const uint8_t* bgra = &image.pixels[size_t(y) * size_t(image.rowBytes) + size_t(x) * 4];
        const uint8_t* shown = picture.pixel(int32_t(image.origin.x) + x, int32_t(image.origin.y) + y);
        const double alpha = bgra[3] / 255.0;
        EXPECT_GT(bgra[3], 128);
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(shown[c], std::lround(bgra[2 - c] * alpha + background[c] * (1.0 - alpha))) << c;
        }
        EXPECT_EQ(shown[3], 255);
    }
    const bool banner = c.bannerLeft >= 0;
    if (banner) {
        EXPECT_EQ(drawn.front().width, 320);
        EXPECT_EQ(drawn.front().origin.x, float(c.bannerLeft));
        EXPECT_EQ(drawn.front().origin.y, 8.0f);
    }
    // The graphs stand below one another (and below the banner), indented.
    for (size_t k = banner ? 1 : 0; k < drawn.size(); ++k) {
        EXPECT_EQ(drawn[k].width, 50);
        EXPECT_EQ(drawn[k].origin.x, 32.0f);
        EXPECT_GT(drawn[k].origin.y, k == 0 ? 0.0f : drawn[k - 1].origin.y + float(drawn[k - 1].height));
    }
    // The corner is the panel's own background, opaque.
    EXPECT_EQ(picture.pixel(0, 0)[3], 255);
    EXPECT_EQ(picture.pixel(0, 0)[0], picture.pixel(picture.width - 1, picture.height - 1)[0]);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, EffectPanelTest,
    testing::Values(PanelHost{"AfterEffects13_27", false, 13, 27, 3, 8},
                    PanelHost{"BannerInTheControlAreaAt13_23", false, 13, 23, 3, 32},
                    PanelHost{"NoCustomDrawingAt13_8", false, 13, 8, 0, -1},
                    PanelHost{"PremiereGraphsOnly", true, 13, 27, 2, -1}),
    [](const testing::TestParamInfo<PanelHost>& info) { return std::string(info.param.name); });

}  // namespace
