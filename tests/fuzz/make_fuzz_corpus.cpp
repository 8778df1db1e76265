// Writes the fuzz target's corpora from the recipes below: the seed corpus
// (ordinary use of both hosts) and the regression corpus (one input per fault the
// fuzzer found). Usage: make_fuzz_corpus <corpus directory>; it writes
// <dir>/seed/* and <dir>/regression/*. The scripts compare what it writes with the
// files in the repository, so a recipe and its file never drift apart.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_script.h"

namespace {

using namespace fuzz;

constexpr int32_t kDirection = 2, kShading = 11, kWrap = 44, kVelCurveFunction = 30;
constexpr int8_t kEventClick = 2, kEventDraw = 4;
constexpr int8_t kTitleArea = 1, kControlArea = 2;

HostPlan afterEffects() { return HostPlan{}; }
HostPlan premiere() { return HostPlan{1}; }
HostPlan hostVersion(HostPlan host, int8_t major, int8_t minor) {
    host.flags |= 2;
    host.major = major;
    host.minor = minor;
    return host;
}

Step op(Op which) {
    Step step;
    step.op = uint8_t(which);
    return step;
}

Step withFlags(Op which, uint8_t flags) {
    Step step = op(which);
    step.flags = flags;
    return step;
}

Step frame(const FramePlan& plan) {
    Step step = op(Op::Frame);
    step.frame = plan;
    return step;
}

Step setParam(int32_t id, uint8_t kind, uint64_t raw = 0) {
    Step step = op(Op::SetParam);
    step.setting = ParamSetting{uint8_t(id - 1), kind, raw};
    return step;
}

Step event(int8_t type, uint8_t target, int8_t area, uint32_t when = 0, uint8_t flags = 0) {
    Step step = op(Op::Event);
    step.event.flags = flags;
    step.event.type = type;
    step.event.target = target;
    step.event.area = area;
    step.event.when = when;
    return step;
}

Step hostBlock(uint16_t size, uint8_t fill) {
    Step step = op(Op::HostBlock);
    step.blockSize = size;
    step.blockFill = fill;
    return step;
}

LayerPlan layer(uint16_t width, uint16_t height, uint8_t depth, uint8_t pitchMode = kExactPitch,
                uint8_t pitchBytes = 0) {
    LayerPlan plan;
    plan.width = width;
    plan.height = height;
    plan.depth = depth;
    plan.pitchMode = pitchMode;
    plan.pitchBytes = pitchBytes;
    return plan;
}

// Output and input alike, of one depth (0 8-bit, 1 16-bit, 2 float).
FramePlan plainFrame(uint16_t width, uint16_t height, uint8_t depth) {
    FramePlan plan;
    plan.output = layer(width, height, depth);
    plan.input = layer(width, height, depth);
    return plan;
}

std::vector<Step> smartRoad() {
    return {withFlags(Op::SmartPreRender, 0), withFlags(Op::SmartRender, 0), op(Op::FinishFrame)};
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Recipe {
    const char* name;
    Script script;
};

std::vector<Recipe> seeds() {
    FramePlan sources = plainFrame(24, 13, 1);
    sources.velocitySource = layer(11, 7, 1);
    sources.spreadSource = layer(31, 17, 1);
    FramePlan unusualRows = plainFrame(17, 9, 0);
    unusualRows.output = layer(17, 9, 0, kPaddedPitch, 12);
    unusualRows.input = layer(17, 9, 0, kExactPitch | kUpwardRows);
    FramePlan halfScale = plainFrame(32, 18, 2);
    halfScale.downsampleDen = 2;
    // The world suite calls an 8-bit input float: the effect renders float into the
    // 8-bit output, whose padded rows are wide enough for it.
    FramePlan contradictoryDepths = plainFrame(3, 9, 0);
    contradictoryDepths.output = layer(3, 9, 0, kPaddedPitch, 36);
    contradictoryDepths.inputFormat = kFormat32;

    return {
        {"after-effects-8bit-smart-render",
         {afterEffects(), std::vector<Step>{op(Op::SequenceSetup)} + smartRoad() +
                              std::vector<Step>{op(Op::GetFlattenedSequenceData), op(Op::SequenceFlatten),
                                                op(Op::SequenceSetdown)}}},
        {"after-effects-16bit-smart-render-source-layers",
         {afterEffects(), std::vector<Step>{frame(sources), setParam(kDirection, kSmall, 4)} + smartRoad()}},
        {"after-effects-float-smart-render-shading-wrap",
         {afterEffects(), std::vector<Step>{frame(plainFrame(20, 20, 2)), setParam(kShading, kSmall, 2),
                                            setParam(kWrap, kSmall, 1)} +
                              smartRoad()}},
        {"after-effects-rows-padded-and-upward",
         {afterEffects(), std::vector<Step>{frame(unusualRows)} + smartRoad()}},
        {"after-effects-float-half-resolution", {afterEffects(), std::vector<Step>{frame(halfScale)} + smartRoad()}},
        {"after-effects-input-format-deeper-than-the-output",
         {afterEffects(), std::vector<Step>{frame(contradictoryDepths)} + smartRoad()}},
        {"premiere-render-command-every-depth",
         {premiere(), {op(Op::SequenceSetup), withFlags(Op::Render, 0), frame(plainFrame(16, 9, 1)),
                       withFlags(Op::Render, 0), frame(plainFrame(16, 9, 2)), withFlags(Op::Render, 0)}}},
        {"after-effects-events",
         {afterEffects(),
          {event(kEventDraw, kBannerTarget, kTitleArea), event(kEventDraw, kVelocityGraphTarget, kControlArea),
           event(kEventDraw, kSpreadGraphTarget, kControlArea, 0, 2), event(kEventClick, kBannerTarget, kTitleArea, 1000),
           event(kEventClick, kBannerTarget, kTitleArea, 1010), op(Op::UserChangedParam), op(Op::UpdateParamsUI),
           op(Op::About)}}},
        {"premiere-events",
         {premiere(), {event(kEventDraw, kBannerTarget, kTitleArea), event(kEventDraw, kVelocityGraphTarget, kControlArea),
                       event(kEventDraw, kSpreadGraphTarget, kControlArea)}}},
        {"after-effects-13.23-banner-in-control-area",
         {hostVersion(afterEffects(), 13, 23), {event(kEventDraw, kBannerTarget, kControlArea)}}},
        {"after-effects-13.8-no-custom-drawing",
         {hostVersion(afterEffects(), 13, 8), {event(kEventDraw, kBannerTarget, kTitleArea)}}},
        {"sequence-data-from-a-project",
         {afterEffects(), {hostBlock(568, 7), op(Op::SequenceResetup), op(Op::SequenceSetup),
                           op(Op::GetFlattenedSequenceData), hostBlock(100, 9), op(Op::SequenceFlatten),
                           op(Op::SequenceSetdown), op(Op::SequenceResetup)}}},
    };
}

std::vector<Recipe> regressions() {
    // Outputs whose rows run upward a byte (16-bit) or three (float) longer than
    // their pixels; 21 rows keep every row's start aligned to a channel, so that
    // only the rows' places are wrong.
    FramePlan oddUpward16 = plainFrame(16, 21, 1);
    oddUpward16.output = layer(16, 21, 1, kPaddedPitch | kUpwardRows, 1);
    FramePlan oddUpwardFloat = plainFrame(16, 21, 2);
    oddUpwardFloat.output = layer(16, 21, 2, kPaddedPitch | kUpwardRows, 3);
    // An 8-bit layer of 16 pixels whose rows hold 12.
    const LayerPlan shortRows = layer(16, 8, 0, kShortPitch, 16);
    FramePlan shortSource = plainFrame(16, 8, 0);
    shortSource.velocitySource = shortRows;
    // The same as the input of a narrower output: the input covers the output, but
    // a source spread over the frame reaches the ends of its rows.
    FramePlan shortInput = plainFrame(8, 8, 0);
    shortInput.input = shortRows;
    // The pixel-format suite reports a code the effect does not know, with the
    // high bit set.
    FramePlan unknownFormat = plainFrame(16, 9, 0);
    unknownFormat.outputFormat = kRawFormat;
    unknownFormat.rawFormat = 0x80000000u;
    // The host refuses the fifth call: add_param of "Velocity Intensity Source".
    HostPlan refusesSourceParams = afterEffects();
    refusesSourceParams.failingCall = 5;

    return {
        {"fault1-odd-upward-pitch-16bit-smart-render",
         {afterEffects(), std::vector<Step>{frame(oddUpward16)} + smartRoad()}},
        {"fault1-odd-upward-pitch-float-render-command", {premiere(), {frame(oddUpwardFloat), withFlags(Op::Render, 0)}}},
        {"fault2-source-layer-rows-shorter-than-width",
         {afterEffects(), std::vector<Step>{frame(shortSource)} + smartRoad()}},
        {"fault2-partial-parameter-setup-samples-the-input-as-source",
         {refusesSourceParams, std::vector<Step>{frame(shortInput)} + smartRoad()}},
        {"fault3-event-without-extra-record", {afterEffects(), {event(kEventDraw, kBannerTarget, kTitleArea, 0, 1)}}},
        {"fault4-popup-int32-min-in-parameter-loading",
         {afterEffects(), std::vector<Step>{setParam(kDirection, kLowest)} + smartRoad()}},
        {"fault4-popup-int32-min-in-curve-graph",
         {afterEffects(), {setParam(kVelCurveFunction, kLowest), event(kEventDraw, kVelocityGraphTarget, kControlArea)}}},
        {"render-command-format-code-outside-the-declared-formats",
         {premiere(), {frame(unknownFormat), withFlags(Op::Render, 0)}}},
    };
}

bool write(const std::string& path, const Script& script) {
    const std::vector<uint8_t> bytes = encodeScript(script);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_corpus <corpus directory>\n");
        return 2;
    }
    const std::string dir = argv[1];
    for (const auto& set : {std::make_pair("/seed/", seeds()), std::make_pair("/regression/", regressions())}) {
        for (const Recipe& recipe : set.second) {
            const std::string path = dir + set.first + recipe.name;
            if (!write(path, recipe.script)) {
                std::fprintf(stderr, "make_fuzz_corpus: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    }
    return 0;
}
