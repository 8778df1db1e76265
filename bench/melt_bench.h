// Registering melt benchmark cases. A case is a name and a change to the default
// scene; it runs in all three depths on each of its frames, three ways: through the
// render entry (melt), through the literal melt of the tests (literal), and as the
// bare additions of the same runs (floor). A table at the end gives every case its
// time per frame, deposited cells per second, share of the floor and how many
// times faster than the literal melt it is.
//
//   ONDRAVA_MELT_CASE(Right, [](MeltScene& s) { s.params.direction = 0; });
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "bench/melt_scene.h"

using MeltSceneSetup = void (*)(MeltScene&);

struct MeltCase {
    const char* name;
    MeltSceneSetup setup;
    std::vector<SceneFrame> frames = {SceneFrame::kPattern, SceneFrame::kNatural};
    int32_t width = kBenchWidth;
    int32_t height = kBenchHeight;
    bool literal = true;  // cases whose literal melt takes minutes leave it out
};

int registerMeltCase(const MeltCase& meltCase);

#define ONDRAVA_MELT_CASE(name, ...) \
    [[maybe_unused]] static const int ondrava_melt_case_##name = registerMeltCase(MeltCase{#name, __VA_ARGS__})
