#include "tools/param_fields.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <iomanip>
#include <sstream>

namespace {

constexpr double kAngleMin = std::numeric_limits<int32_t>::min();  // raw 16.16 degrees
constexpr double kAngleMax = std::numeric_limits<int32_t>::max();

ParamField intField(const char* name, int32_t ParamValues::*field, double min, double max) {
    return ParamField{name, field, nullptr, min, max};
}

ParamField doubleField(const char* name, double ParamValues::*field, double min, double max) {
    return ParamField{name, nullptr, field, min, max};
}

std::string folded(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c != '-' && c != '_') out += char(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string rangeText(const ParamField& field) {
    std::ostringstream s;
    s << std::setprecision(10) << field.min << " to " << field.max;
    return s.str();
}

}  // namespace

// Valid ranges as the host registers them; popups are zero-based item indices,
// checkboxes 0 or 1, angles raw 16.16 degrees.
const std::vector<ParamField>& paramFields() {
    static const std::vector<ParamField> fields = {
        intField("direction", &ParamValues::direction, 0, 3),
        doubleField("intensity", &ParamValues::intensity, 0, 100),
        intField("meltStep", &ParamValues::meltStep, 0, 16384),
        doubleField("velocity", &ParamValues::velocity, 0, 1),
        doubleField("spread", &ParamValues::spread, 0, 1),
        doubleField("spreadAlignment", &ParamValues::spreadAlignment, 0, 100),
        intField("shading", &ParamValues::shading, 0, 4),
        intField("shadingPhase", &ParamValues::shadingPhase, kAngleMin, kAngleMax),
        doubleField("shift", &ParamValues::shift, -1, 1),
        intField("scanlineStep", &ParamValues::scanlineStep, 1, 1024),
        intField("scanlinePhase", &ParamValues::scanlinePhase, kAngleMin, kAngleMax),
        intField("scanlineFade", &ParamValues::scanlineFade, 0, 1),
        intField("scanlineAlign", &ParamValues::scanlineAlign, 0, 2),
        intField("modFunction", &ParamValues::modFunction, 0, 4),
        doubleField("modPeriod", &ParamValues::modPeriod, 0.5, 200),
        doubleField("modAmplitude", &ParamValues::modAmplitude, 0, 200),
        doubleField("modPhase", &ParamValues::modPhase, kAngleMin, kAngleMax),
        doubleField("modExponent", &ParamValues::modExponent, 0, 16),
        intField("modInvert", &ParamValues::modInvert, 0, 1),
        intField("velCurveFunction", &ParamValues::velCurveFunction, 0, 5),
        intField("velCurvePhase", &ParamValues::velCurvePhase, kAngleMin, kAngleMax),
        doubleField("velCurveSmoothness", &ParamValues::velCurveSmoothness, 0, 16),
        doubleField("velCurveFloor", &ParamValues::velCurveFloor, 0, 1),
        intField("spreadCurveFunction", &ParamValues::spreadCurveFunction, 0, 5),
        intField("spreadCurvePhase", &ParamValues::spreadCurvePhase, kAngleMin, kAngleMax),
        doubleField("spreadCurveSmoothness", &ParamValues::spreadCurveSmoothness, 0, 16),
        doubleField("spreadCurveFloor", &ParamValues::spreadCurveFloor, 0, 1),
        intField("wrap", &ParamValues::wrap, 0, 1),
        intField("outputContinuity", &ParamValues::outputContinuity, 0, 3),
        doubleField("fullscreenStretch", &ParamValues::fullscreenStretch, 0, 100),
        doubleField("offscreenReach", &ParamValues::offscreenReach, 0, 100),
        doubleField("fadeStart", &ParamValues::fadeStart, 0, 100),
        doubleField("fadeEnd", &ParamValues::fadeEnd, 0, 100),
    };
    return fields;
}

const ParamField* findParamField(const std::string& name) {
    const std::string key = folded(name);
    for (const ParamField& field : paramFields()) {
        if (folded(field.name) == key) return &field;
    }
    return nullptr;
}

bool parseInt32(const std::string& text, int32_t& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < std::numeric_limits<int32_t>::min() ||
        parsed > std::numeric_limits<int32_t>::max()) {
        return false;
    }
    value = int32_t(parsed);
    return true;
}

bool parseFiniteDouble(const std::string& text, double& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    errno = 0;
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (errno == ERANGE || *end != '\0' || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

std::string setParamField(ParamValues& params, const ParamField& field, const std::string& text) {
    const std::string name = field.name;
    if (field.intField != nullptr) {
        int32_t value = 0;
        if (!parseInt32(text, value)) return name + ": \"" + text + "\" is not a whole number";
        if (value < field.min || value > field.max) {
            return name + ": " + text + " is outside " + rangeText(field);
        }
        params.*field.intField = value;
    } else {
        double value = 0.0;
        if (!parseFiniteDouble(text, value)) return name + ": \"" + text + "\" is not a number";
        if (value < field.min || value > field.max) {
            return name + ": " + text + " is outside " + rangeText(field);
        }
        params.*field.doubleField = value;
    }
    return "";
}
