// Setting ParamValues fields by name, for command lines: each field with the
// range the host keeps its value in, so a tool never hands the renderer a value
// no host could deliver.
#pragma once

#include <string>
#include <vector>

#include "render/param_values.h"

struct ParamField {
    const char* name;            // the field's name in ParamValues
    int32_t ParamValues::*intField;  // exactly one of the two is set
    double ParamValues::*doubleField;
    double min, max;             // inclusive
};

const std::vector<ParamField>& paramFields();

// Finds a field by name, ignoring case, '-' and '_' ("melt-step" finds meltStep).
const ParamField* findParamField(const std::string& name);

// Parses text as the field's type, checks the range and stores it. On failure
// returns a message and leaves the record unchanged; on success returns "".
std::string setParamField(ParamValues& params, const ParamField& field, const std::string& text);

// Parsers shared by the command-line tools: whole text only, no overflow.
bool parseInt32(const std::string& text, int32_t& value);
bool parseFiniteDouble(const std::string& text, double& value);
