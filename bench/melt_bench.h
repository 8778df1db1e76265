// Registering melt benchmark cases. A case is a name and a change to the default
// scene; each runs in all three depths with Wrap off and on, and reports frames
// per second and run cells per second.
//
//   ONDRAVA_MELT_CASE(Right, [](MeltScene& s) { s.params.direction = 0; });
#pragma once

#include "bench/melt_scene.h"

using MeltSceneSetup = void (*)(MeltScene&);

int registerMeltCase(const char* name, MeltSceneSetup setup);

#define ONDRAVA_MELT_CASE(name, ...) \
    [[maybe_unused]] static const int ondrava_melt_case_##name = registerMeltCase(#name, __VA_ARGS__)
