#include "tools/render_cli/param_listing.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr double kFixedOne = 65536.0;

// What the listing says of one parameter; numbers already in their shortest text.
struct ParamFacts {
    size_t index = 0;
    int32_t id = 0;
    std::string path, name, type;
    std::optional<std::string> defaultValue;  // none: the type holds no value
    bool defaultIsText = false;               // a word, not a number: quoted in JSON
    std::vector<std::string> choices;         // popups
    std::optional<std::pair<std::string, std::string>> range;  // sliders: valid minimum and maximum
    const char* unit = nullptr;               // angles
};

template <typename Number>
std::string shortest(Number value) {
    char text[32];
    const std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

const char* typeName(int32_t type) {
    switch (type) {
        case PF_Param_LAYER: return "layer";
        case PF_Param_SLIDER: return "slider";
        case PF_Param_FIX_SLIDER: return "fixed slider";
        case PF_Param_ANGLE: return "angle";
        case PF_Param_CHECKBOX: return "checkbox";
        case PF_Param_COLOR: return "color";
        case PF_Param_POINT: return "point";
        case PF_Param_POPUP: return "popup";
        case PF_Param_NO_DATA: return "no data";
        case PF_Param_FLOAT_SLIDER: return "float slider";
        case PF_Param_ARBITRARY_DATA: return "arbitrary data";
        case PF_Param_GROUP_START: return "group start";
        case PF_Param_GROUP_END: return "group end";
        default: return "other";
    }
}

ParamFacts factsOf(const NamedParam& named, const PF_ParamDef& def, const std::string& items) {
    ParamFacts facts;
    facts.index = named.index;
    facts.id = def.uu.id;
    facts.path = named.path;
    facts.name = named.name;
    facts.type = typeName(def.param_type);
    switch (def.param_type) {
        case PF_Param_POPUP: {
            facts.choices = popupChoices(items);
            const int32_t item = def.u.pd.dephault;  // counted from 1
            facts.defaultValue = item >= 1 && size_t(item) <= facts.choices.size() ? facts.choices[size_t(item - 1)]
                                                                                  : shortest(item);
            facts.defaultIsText = true;
            break;
        }
        case PF_Param_FLOAT_SLIDER:
            facts.defaultValue = shortest(def.u.fs_d.dephault);
            facts.range = {{shortest(def.u.fs_d.valid_min), shortest(def.u.fs_d.valid_max)}};
            break;
        case PF_Param_FIX_SLIDER:
            facts.defaultValue = shortest(def.u.fd.dephault / kFixedOne);
            facts.range = {{shortest(def.u.fd.valid_min / kFixedOne), shortest(def.u.fd.valid_max / kFixedOne)}};
            break;
        case PF_Param_SLIDER:
            facts.defaultValue = shortest(def.u.sd.dephault);
            facts.range = {{shortest(def.u.sd.valid_min), shortest(def.u.sd.valid_max)}};
            break;
        case PF_Param_ANGLE:
            facts.defaultValue = shortest(def.u.ad.dephault / kFixedOne);
            facts.unit = "degrees";
            break;
        case PF_Param_CHECKBOX:
            facts.defaultValue = def.u.bd.dephault != 0 ? "on" : "off";
            facts.defaultIsText = true;
            break;
        case PF_Param_LAYER:
            facts.defaultValue = "none";
            facts.defaultIsText = true;
            break;
        default: break;
    }
    return facts;
}

std::vector<ParamFacts> allFacts(RegisteredParams registered) {
    std::vector<ParamFacts> all;
    for (const NamedParam& named : namedParams(registered.params)) {
        const std::string items = named.index < registered.popupItems.size() ? registered.popupItems[named.index] : "";
        all.push_back(factsOf(named, registered.params[named.index], items));
    }
    return all;
}

std::string joined(const std::vector<std::string>& items, const char* separator) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) text += (i > 0 ? separator : "") + items[i];
    return text;
}

// What a value may be, in words: "0 to 1", "one of Right|Left", "degrees", "on or off".
std::string takesText(const ParamFacts& facts) {
    if (facts.range) return facts.range->first + " to " + facts.range->second;
    if (!facts.choices.empty()) return "one of " + joined(facts.choices, "|");
    if (facts.unit != nullptr) return facts.unit;
    if (facts.type == "checkbox") return "on or off";
    return "";
}

}  // namespace

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string listParamsText(RegisteredParams registered) {
    std::string text;
    for (const ParamFacts& facts : allFacts(registered)) {
        char line[256];
        const std::string shown = facts.type == "group end" ? "(end of " + facts.path + ")"
                                  : facts.path.empty()        ? "\"\""
                                                              : facts.path;
        const std::string value = facts.defaultValue ? "default " + *facts.defaultValue : "";
        std::snprintf(line, sizeof line, "%3zu  %-40s %-15s %-22s %s", facts.index, shown.c_str(),
                      facts.type.c_str(), value.c_str(), takesText(facts).c_str());
        std::string trimmed = line;
        trimmed.erase(trimmed.find_last_not_of(' ') + 1);
        text += trimmed + "\n";
    }
    return text;
}

std::string listParamsJson(RegisteredParams registered) {
    std::string json = "[\n";
    const std::vector<ParamFacts> all = allFacts(registered);
    for (size_t i = 0; i < all.size(); ++i) {
        const ParamFacts& facts = all[i];
        json += "  {\"index\": " + std::to_string(facts.index) + ", \"id\": " + std::to_string(facts.id) +
                ", \"path\": " + jsonString(facts.path) + ", \"name\": " + jsonString(facts.name) +
                ", \"type\": " + jsonString(facts.type);
        if (facts.defaultValue) {
            json += ", \"default\": " + (facts.defaultIsText ? jsonString(*facts.defaultValue) : *facts.defaultValue);
        }
        if (!facts.choices.empty()) {
            std::vector<std::string> quoted;
            for (const std::string& choice : facts.choices) quoted.push_back(jsonString(choice));
            json += ", \"choices\": [" + joined(quoted, ", ") + "]";
        }
        if (facts.range) json += ", \"min\": " + facts.range->first + ", \"max\": " + facts.range->second;
        if (facts.unit != nullptr) json += ", \"unit\": " + jsonString(facts.unit);
        json += i + 1 < all.size() ? "},\n" : "}\n";
    }
    return json + "]\n";
}
