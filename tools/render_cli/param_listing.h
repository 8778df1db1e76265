// Every parameter the effect registered, with its type, default and range: as
// aligned text for people (--list-params) and as a JSON array for scripts
// (--list-params --json). Both say the same.
#pragma once

#include <string>

#include "tools/render_cli/param_assignment.h"

std::string listParamsText(RegisteredParams registered);
std::string listParamsJson(RegisteredParams registered);

// text as a JSON string literal, quotes included.
std::string jsonString(const std::string& text);
