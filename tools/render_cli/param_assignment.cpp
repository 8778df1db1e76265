#include "tools/render_cli/param_assignment.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

constexpr double kFixedOne = 65536.0;

bool isGroupMarker(const PF_ParamDef& def) {
    return def.param_type == PF_Param_GROUP_START || def.param_type == PF_Param_GROUP_END;
}

bool parseNumber(const std::string& text, double* value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(*value);
}

std::string number(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string outsideRange(const std::string& path, const std::string& text, double low, double high) {
    return path + ": " + text + " is outside the range " + number(low) + " to " + number(high);
}

std::string notANumber(const std::string& path, const std::string& text) {
    return path + ": \"" + text + "\" is not a number";
}

std::string setValue(PF_ParamDef& def, const std::string& items, const std::string& path,
                     const std::string& text) {
    double value = 0.0;
    switch (def.param_type) {
    case PF_Param_POPUP: {
        const std::vector<std::string> choices = popupChoices(items);
        for (size_t k = 0; k < choices.size(); ++k) {
            if (choices[k] == text) {
                def.u.pd.value = int32_t(k + 1);
                return "";
            }
        }
        std::string message = path + ": \"" + text + "\" is not one of";
        for (const std::string& choice : choices) message += " \"" + choice + "\"";
        return message;
    }
    case PF_Param_FLOAT_SLIDER:
        if (!parseNumber(text, &value)) return notANumber(path, text);
        if (value < def.u.fs_d.valid_min || value > def.u.fs_d.valid_max) {
            return outsideRange(path, text, def.u.fs_d.valid_min, def.u.fs_d.valid_max);
        }
        def.u.fs_d.value = value;
        return "";
    case PF_Param_FIX_SLIDER: {
        if (!parseNumber(text, &value)) return notANumber(path, text);
        const double low = def.u.fd.valid_min / kFixedOne;
        const double high = def.u.fd.valid_max / kFixedOne;
        if (value < low || value > high) return outsideRange(path, text, low, high);
        def.u.fd.value = PF_Fixed(std::lround(value * kFixedOne));
        return "";
    }
    case PF_Param_SLIDER:
        if (!parseNumber(text, &value) || value != std::floor(value)) {
            return path + ": \"" + text + "\" is not a whole number";
        }
        if (value < def.u.sd.valid_min || value > def.u.sd.valid_max) {
            return outsideRange(path, text, def.u.sd.valid_min, def.u.sd.valid_max);
        }
        def.u.sd.value = int32_t(value);
        return "";
    case PF_Param_ANGLE: {
        // Degrees; the host keeps 16.16 fixed point, which bounds the turn count.
        if (!parseNumber(text, &value)) return notANumber(path, text);
        const double limit = 32767.0;
        if (std::fabs(value) > limit) return outsideRange(path, text, -limit, limit);
        def.u.ad.value = PF_Fixed(std::lround(value * kFixedOne));
        return "";
    }
    case PF_Param_CHECKBOX:
        if (text == "on" || text == "1" || text == "true") {
            def.u.bd.value = 1;
        } else if (text == "off" || text == "0" || text == "false") {
            def.u.bd.value = 0;
        } else {
            return path + ": \"" + text + "\" is not on or off";
        }
        return "";
    default:
        return path + " cannot be set from the command line";
    }
}

}  // namespace

std::vector<std::string> popupChoices(const std::string& items) {
    std::vector<std::string> result;
    std::string item;
    std::istringstream stream(items);
    while (std::getline(stream, item, '|')) result.push_back(item);
    return result;
}

std::vector<NamedParam> namedParams(const std::vector<PF_ParamDef>& params) {
    std::vector<NamedParam> named;
    std::vector<std::string> groups;
    auto pathOf = [&groups](const std::string& name) {
        std::string path;
        for (const std::string& group : groups) path += group + "/";
        return path + name;
    };
    for (size_t i = 1; i < params.size(); ++i) {
        const PF_ParamDef& def = params[i];
        const std::string name(def.name, strnlen(def.name, sizeof def.name));
        if (def.param_type == PF_Param_GROUP_END) {
            const std::string closed = groups.empty() ? "" : groups.back();
            if (!groups.empty()) groups.pop_back();
            named.push_back({pathOf(closed), name, i});
            continue;
        }
        named.push_back({pathOf(name), name, i});
        if (def.param_type == PF_Param_GROUP_START) groups.push_back(name);
    }
    return named;
}

std::string assignParam(RegisteredParams registered, const std::string& assignment) {
    const size_t equals = assignment.find('=');
    if (equals == std::string::npos) return "\"" + assignment + "\" is not of the form Name=Value";
    const std::string name = assignment.substr(0, equals);
    const std::string text = assignment.substr(equals + 1);

    std::vector<NamedParam> matches;
    for (const NamedParam& param : namedParams(registered.params)) {
        if (isGroupMarker(registered.params[param.index])) continue;
        if (param.path == name) {
            matches.assign(1, param);
            break;
        }
        if (param.name == name) matches.push_back(param);
    }
    if (matches.empty()) return "no parameter is named \"" + name + "\"";
    if (matches.size() > 1) {
        std::string message = "\"" + name + "\" names several parameters; say which:";
        for (const NamedParam& param : matches) message += " \"" + param.path + "\"";
        return message;
    }
    const size_t index = matches.front().index;
    const std::string items = index < registered.popupItems.size() ? registered.popupItems[index] : "";
    return setValue(registered.params[index], items, matches.front().path, text);
}
