// The effect's parameter set as data: one row per parameter id in registration
// order. Registration, the id-to-index map and the tests all derive from this one
// table, because the host identifies parameters by their position and saved
// projects depend on it.
#pragma once

#include <cstdint>

#include "host/params/param_ids.h"
#include "platform/pf_effect.h"

// Which hosts get a parameter: the banner and the two graphs exist only where the
// host can draw them.
enum class ParamPresence : uint8_t { Always, BannerHosts, GraphHosts };

struct ParamDefinition {
    int32_t id;
    int32_t type;            // PF_Param_*
    const char* name;
    int32_t flags;           // PF_ParamFlag_*
    ParamPresence presence;
    double dephault;         // popup: item counted from 1; sliders: the number
    double validMin, validMax;
    double sliderMin, sliderMax;
    int16_t precision;
    int16_t displayFlags;    // PF_ValueDisplayFlag_*
    const char* items;       // popup items separated by '|'
    int16_t uiWidth, uiHeight;  // custom-drawn parameters
};

extern const ParamDefinition kParamTable[ParamId::kCount];

// The row of an id, or null for an id outside the table.
const ParamDefinition* findParamDefinition(int32_t id);

// Number of items of a popup list ("a|b|c" has 3).
int16_t popupChoiceCount(const char* items);

// The host flavours that decide which optional parameters exist.
struct HostKind {
    bool premiere;
    int16_t major;
    int16_t minor;
};

HostKind hostKindOf(const PF_InData* in_data);
bool hostHasBanner(HostKind host);
bool hostHasGraphs(HostKind host);
// The banner's area moved from the title to the control area in exactly one host
// version, which also shows it under a name.
bool bannerInControlArea(HostKind host);
bool isRegistered(const ParamDefinition& def, HostKind host);

// The definition handed to add_param for an ordinary row (not banner or graph),
// all but the name, which goes through the host's string copy: every field not set
// from the row is zero.
void fillParamDef(const ParamDefinition& def, PF_ParamDef* out);
