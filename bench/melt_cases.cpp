// The melt benchmark cases, one line each (see bench/melt_bench.h).
#include "bench/melt_bench.h"

ONDRAVA_MELT_CASE(Down, [](MeltScene&) {});  // the registered defaults melt down
ONDRAVA_MELT_CASE(Right, [](MeltScene& s) { s.params.direction = 0; });
ONDRAVA_MELT_CASE(ShadedDown, [](MeltScene& s) { s.params.shading = 1; });  // the defaults with "Sine Wave"
ONDRAVA_MELT_CASE(ShadedNoiseDown, [](MeltScene& s) { s.params.shading = 1, s.useNoiseInput(); });  // no run repeats
ONDRAVA_MELT_CASE(BothSources, [](MeltScene& s) { s.addVelocitySource(), s.addSpreadSource(); });
ONDRAVA_MELT_CASE(StretchAndFades, [](MeltScene& s) {
    s.params.fullscreenStretch = s.params.offscreenReach = 50.0, s.params.fadeStart = s.params.fadeEnd = 10.0;
});
