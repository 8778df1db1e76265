#include "tools/render_cli/param_listing.h"

#include <gtest/gtest.h>

#include "tests/render_cli/registration_fixture.h"

namespace {

TEST(ListParamsText, GivesEveryParameterItsTypeDefaultAndRange) {
    Registration r;
    const std::string text = listParamsText({r.params, r.items});
    for (const char* line : {
             "  1  Direction                                popup           default Down           "
             "one of Right|Left|Down|Up\n",
             "  2  Velocity                                 float slider    default 0.25           -1 to 1\n",
             "  3  Velocity Curve                           group start\n",
             "  5  Velocity Curve/Phase                     angle           default 0              degrees\n",
             "  6  (end of Velocity Curve)                  group end\n",
             "  9  Spread Curve/Step                        fixed slider    default 1.5            1 to 100\n",
             " 11  Wrap                                     checkbox        default off            on or off\n",
             " 12  Velocity Intensity Source                layer           default none\n",
         }) {
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
    }
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12);
}

TEST(ListParamsJson, SaysTheSameForScripts) {
    Registration r;
    const std::string json = listParamsJson({r.params, r.items});
    for (const char* entry : {
             R"({"index": 1, "id": 0, "path": "Direction", "name": "Direction", "type": "popup", "default": "Down", )"
             R"("choices": ["Right", "Left", "Down", "Up"]},)",
             R"({"index": 2, "id": 0, "path": "Velocity", "name": "Velocity", "type": "float slider", )"
             R"("default": 0.25, "min": -1, "max": 1},)",
             R"({"index": 5, "id": 0, "path": "Velocity Curve/Phase", "name": "Phase", "type": "angle", )"
             R"("default": 0, "unit": "degrees"},)",
             R"({"index": 6, "id": 0, "path": "Velocity Curve", "name": "", "type": "group end"},)",
             R"({"index": 11, "id": 0, "path": "Wrap", "name": "Wrap", "type": "checkbox", "default": "off"},)",
             R"({"index": 12, "id": 0, "path": "Velocity Intensity Source", "name": "Velocity Intensity Source", )"
             R"("type": "layer", "default": "none"})",
         }) {
        EXPECT_NE(json.find(entry), std::string::npos) << entry << "\nin\n" << json;
    }
    EXPECT_EQ(json.front(), '[');
    EXPECT_EQ(json.substr(json.size() - 4), "}\n]\n");
}

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(jsonString("a \"b\" \\ c\n"), R"("a \"b\" \\ c\u000a")");
}

}  // namespace
