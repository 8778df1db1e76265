// The melt benchmark cases, one line each (see bench/melt_bench.h).
#include "bench/melt_bench.h"

namespace {

// The heaviest melt within the registered ranges: every run 16,385 cells long.
void longestRuns(MeltScene& s) { s.params.meltStep = 16384, s.params.spread = 1.0, s.params.spreadCurveFloor = 1.0; }

}  // namespace

ONDRAVA_MELT_CASE(Down, [](MeltScene&) {});  // the registered defaults melt down
ONDRAVA_MELT_CASE(Right, [](MeltScene& s) { s.params.direction = 0; });
ONDRAVA_MELT_CASE(Left, [](MeltScene& s) { s.params.direction = 1; });
ONDRAVA_MELT_CASE(Up, [](MeltScene& s) { s.params.direction = 3; });
ONDRAVA_MELT_CASE(Wrap, [](MeltScene& s) { s.params.wrap = 1; });
ONDRAVA_MELT_CASE(BothSources, [](MeltScene& s) { s.addVelocitySource(), s.addSpreadSource(); });
ONDRAVA_MELT_CASE(StretchAndFades, [](MeltScene& s) {
    s.params.fullscreenStretch = s.params.offscreenReach = 50.0, s.params.fadeStart = s.params.fadeEnd = 10.0;
});
ONDRAVA_MELT_CASE(ModulatedStep3, [](MeltScene& s) {
    s.params.modAmplitude = 20.0, s.params.scanlineStep = 3, s.params.outputContinuity = 1;  // "All"
});
ONDRAVA_MELT_CASE(MeltStep4096, [](MeltScene& s) { s.params.meltStep = 4096; });
ONDRAVA_MELT_CASE(SineShaded, [](MeltScene& s) { s.params.shading = 1; });
ONDRAVA_MELT_CASE(TriangleShaded, [](MeltScene& s) { s.params.shading = 2; });
ONDRAVA_MELT_CASE(RampUpShaded, [](MeltScene& s) { s.params.shading = 3; });
ONDRAVA_MELT_CASE(RampDownShaded, [](MeltScene& s) { s.params.shading = 4; });
ONDRAVA_MELT_CASE(SineShadedNoise, [](MeltScene& s) { s.params.shading = 1; }, {SceneFrame::kNoise});  // no run repeats

// The worst case at 960 x 540, without the literal melt (minutes a frame).
ONDRAVA_MELT_CASE(Longest, longestRuns, {SceneFrame::kNatural}, 960, 540, false);
ONDRAVA_MELT_CASE(LongestWrap, [](MeltScene& s) { longestRuns(s), s.params.wrap = 1; }, {SceneFrame::kNatural}, 960,
                  540, false);
ONDRAVA_MELT_CASE(LongestShaded, [](MeltScene& s) { longestRuns(s), s.params.shading = 1; }, {SceneFrame::kNatural},
                  960, 540, false);
ONDRAVA_MELT_CASE(LongestShadedWrap, [](MeltScene& s) { longestRuns(s), s.params.shading = 1, s.params.wrap = 1; },
                  {SceneFrame::kNatural}, 960, 540, false);
