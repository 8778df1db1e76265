#include "tools/melt_arguments.h"

#include <iomanip>
#include <sstream>

#include "tools/melt_defaults.h"
#include "tools/param_fields.h"

namespace {

constexpr int32_t kMaxPatternSide = 32768;
constexpr int64_t kMaxPatternPixels = int64_t(1) << 26;

std::string parseDepth(const std::string& text, PixelDepth& depth) {
    if (text == "8") depth = PixelDepth::k8;
    else if (text == "16") depth = PixelDepth::k16;
    else if (text == "32") depth = PixelDepth::k32;
    else return "depth: \"" + text + "\" is not 8, 16 or 32";
    return "";
}

std::string parseScale(const std::string& text, float& scale) {
    double value = 0.0;
    if (!parseFiniteDouble(text, value) || value <= 0.0 || value > 1.0) {
        return "scale: \"" + text + "\" is not a number above 0 and at most 1";
    }
    scale = float(value);
    return "";
}

std::string parseSide(const std::string& name, const std::string& text, int32_t& side) {
    int32_t value = 0;
    if (!parseInt32(text, value) || value < 1 || value > kMaxPatternSide) {
        return name + ": \"" + text + "\" is not a whole number from 1 to " + std::to_string(kMaxPatternSide);
    }
    side = value;
    return "";
}

}  // namespace

MeltOptions::MeltOptions() : params(defaultParamValues()) {}

std::string parseMeltArguments(const std::vector<std::string>& args, MeltOptions& options) {
    std::vector<std::string> files;
    bool patternSized = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            return "";
        }
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            if (!arg.empty() && arg[0] == '-') return "unknown option " + arg;
            files.push_back(arg);
            continue;
        }
        std::string name = arg.substr(2), value;
        const size_t equals = name.find('=');
        if (equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.erase(equals);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return "option " + arg + " needs a value";
        }

        std::string error;
        if (name == "depth") {
            error = parseDepth(value, options.depth);
        } else if (name == "scale") {
            error = parseScale(value, options.scale);
        } else if (name == "velocity-source") {
            options.velocitySourcePath = value;
        } else if (name == "spread-source") {
            options.spreadSourcePath = value;
        } else if (name == "width" || name == "height") {
            error = parseSide(name, value, name == "width" ? options.patternWidth : options.patternHeight);
            patternSized = true;
        } else if (const ParamField* field = findParamField(name)) {
            error = setParamField(options.params, *field, value);
        } else {
            error = "unknown option --" + name;
        }
        if (!error.empty()) return error;
    }

    if (files.empty()) return "no output file given";
    if (files.size() > 2) return "too many files: give at most an input and an output";
    options.outputPath = files.back();
    if (files.size() == 2) options.inputPath = files.front();
    if (patternSized && !options.inputPath.empty()) {
        return "--width and --height size the test pattern: they do not go with an input file";
    }
    if (int64_t(options.patternWidth) * options.patternHeight > kMaxPatternPixels) {
        return "the test pattern may have at most " + std::to_string(kMaxPatternPixels) + " pixels";
    }
    return "";
}

std::string meltUsage(const std::string& program) {
    std::ostringstream s;
    s << std::setprecision(10) << "usage: " << program << " [options] [input.png] output.png\n"
      << "Melts input.png (or, without it, a built-in test pattern) and writes output.png.\n\n"
      << "options:\n"
      << "  --depth 8|16|32     pixel depth to render in (default 8)\n"
      << "  --scale F           downsample factor, above 0 and at most 1 (default 1)\n"
      << "  --width N           test pattern width (default " << kTestPatternWidth << ")\n"
      << "  --height N          test pattern height (default " << kTestPatternHeight << ")\n"
      << "  --velocity-source F a PNG file as the \"Velocity Intensity Source\" layer\n"
      << "  --spread-source F   a PNG file as the \"Spread Intensity Source\" layer\n"
      << "  --FIELD VALUE       set a parameter value by its field name; popups are\n"
      << "                      zero-based items, angles 16.16 fixed-point degrees\n\n"
      << "fields (valid range):\n";
    for (const ParamField& field : paramFields()) {
        s << "  --" << field.name << " (" << field.min << " to " << field.max << ")\n";
    }
    return s.str();
}
