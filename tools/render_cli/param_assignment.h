// Setting a parameter of the host's parameter array by the display name the effect
// registered, the way a user types it: "Direction=Up", "Velocity=0.5", or
// "Velocity Curve/Function=Sine Wave" where a name stands in several groups.
#pragma once

#include <string>
#include <vector>

#include "platform/pf_effect.h"

// The registered parameters as the host holds them: params[i] is host index i
// (index 0 the input layer), popupItems[i] its "A|B|C" item list ("" where none).
struct RegisteredParams {
    std::vector<PF_ParamDef>& params;
    const std::vector<std::string>& popupItems;
};

// Applies one "Name=Value". Returns "" on success, else a message for the user
// (unknown or ambiguous name, a value that does not parse, is not a choice or lies
// outside the registered range, a parameter that cannot be set this way).
std::string assignParam(RegisteredParams registered, const std::string& assignment);

// A registered parameter as a user names it: "Group/Name", or "Name" outside every
// group. A group's start and end both go by the group's own path.
struct NamedParam {
    std::string path;
    std::string name;
    size_t index;  // host index
};

// Every registered parameter but the input layer, in host order.
std::vector<NamedParam> namedParams(const std::vector<PF_ParamDef>& params);

// The items of a popup's "A|B|C" list.
std::vector<std::string> popupChoices(const std::string& items);
