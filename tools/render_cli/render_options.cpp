#include "tools/render_cli/render_options.h"

#include <cstdint>

#include "tools/render_cli/frame_sequence.h"

namespace {

constexpr int kMaxThreads = 256;
constexpr int kMaxScaleDen = 256;
constexpr int kMaxPatternSide = 32768;
constexpr int64_t kMaxPatternPixels = int64_t(1) << 26;

bool parseWhole(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 5) return false;
    int result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + (c - '0');
    }
    if (result < low || result > high) return false;
    value = result;
    return true;
}

// "1/2" as hosts hand in half resolution; a lone "1" is 1/1. The renderer scales
// its distances by the ratio, so it may not exceed 1.
bool parseScale(const std::string& text, int& num, int& den) {
    const size_t slash = text.find('/');
    int n = 0, d = 1;
    if (!parseWhole(text.substr(0, slash), 1, kMaxScaleDen, n)) return false;
    if (slash != std::string::npos && !parseWhole(text.substr(slash + 1), 1, kMaxScaleDen, d)) return false;
    if (n > d) return false;
    num = n;
    den = d;
    return true;
}

}  // namespace

std::string parseRenderArguments(const std::vector<std::string>& args, RenderOptions& options) {
    std::vector<std::string> files;
    bool patternSized = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            return "";
        }
        if (arg == "--list-params") {
            options.listParams = true;
            continue;
        }
        if (arg == "--quiet") {
            options.quiet = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0) {
            if (!arg.empty() && arg[0] == '-') return "unknown option " + arg;
            files.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) return arg + " needs a value";
        const std::string& value = args[++i];
        if (arg == "--depth") {
            if (value != "8" && value != "16" && value != "32") return "--depth: \"" + value + "\" is not 8, 16 or 32";
            options.depth = std::stoi(value);
        } else if (arg == "--png-bits") {
            if (value != "8" && value != "16") return "--png-bits: \"" + value + "\" is not 8 or 16";
            options.pngBits = std::stoi(value);
        } else if (arg == "--set") {
            options.assignments.push_back(value);
        } else if (arg == "--velocity-source") {
            options.velocitySourcePath = value;
        } else if (arg == "--spread-source") {
            options.spreadSourcePath = value;
        } else if (arg == "--threads") {
            if (!parseWhole(value, 1, kMaxThreads, options.threads)) {
                return "--threads: \"" + value + "\" is not a whole number from 1 to " + std::to_string(kMaxThreads);
            }
        } else if (arg == "--scale") {
            if (!parseScale(value, options.scaleNum, options.scaleDen)) {
                return "--scale: \"" + value + "\" is not a ratio N/D with 1 <= N <= D <= " +
                       std::to_string(kMaxScaleDen);
            }
        } else if (arg == "--width" || arg == "--height") {
            int& side = arg == "--width" ? options.patternWidth : options.patternHeight;
            patternSized = true;
            if (!parseWhole(value, 1, kMaxPatternSide, side)) {
                return arg + ": \"" + value + "\" is not a whole number from 1 to " + std::to_string(kMaxPatternSide);
            }
        } else if (arg == "--module") {
            options.modulePath = value;
        } else {
            return "unknown option " + arg;
        }
    }
    if (options.listParams && files.empty()) return "";
    if (files.empty()) return "no output file given";
    if (files.size() > 2) return "too many files: give at most an input and an output";
    options.outputPath = files.back();
    if (files.size() == 2) options.inputPath = files.front();
    if (isSequencePattern(options.inputPath) != isSequencePattern(options.outputPath)) {
        return "an image sequence needs a '#' pattern for both the input and the output";
    }
    if (patternSized && !options.inputPath.empty()) {
        return "--width and --height size the test pattern: they do not go with an input file";
    }
    if (int64_t(options.patternWidth) * options.patternHeight > kMaxPatternPixels) {
        return "the test pattern may have at most " + std::to_string(kMaxPatternPixels) + " pixels";
    }
    return "";
}

std::string renderUsage(const std::string& program) {
    return "Usage: " + program + " [options] [INPUT.png] OUTPUT.png\n"
           "Renders through the Ondrava module as a host does: global, parameter and\n"
           "sequence setup, then smart pre-render and smart render of every frame.\n"
           "Without INPUT it melts the built-in test pattern. A file name with a run of\n"
           "'#' (frame_####.png) names a numbered image sequence; its frames render on\n"
           "several threads at once, into the output pattern.\n"
           "\n"
           "Options:\n"
           "  --set \"Name=Value\"      set a parameter by its display name; \"Group/Name\"\n"
           "                          where a name stands in several groups (repeatable)\n"
           "  --depth 8|16|32         render depth (default 8)\n"
           "  --png-bits 8|16         bits a channel of the written PNG (default: 8 for\n"
           "                          depth 8, else 16)\n"
           "  --velocity-source FILE  a PNG as the \"Velocity Intensity Source\" layer\n"
           "  --spread-source FILE    a PNG as the \"Spread Intensity Source\" layer\n"
           "  --threads N             render threads for a sequence (default: processors)\n"
           "  --scale N/D             the host's downsample ratio, e.g. 1/2 (default 1/1);\n"
           "                          the input stands for the downsampled frame\n"
           "  --width N, --height N   size of the test pattern (default " +
           std::to_string(kTestPatternWidth) + " x " + std::to_string(kTestPatternHeight) + ")\n"
           "  --module PATH           the effect module to load\n"
           "  --list-params           list the parameters and what they take\n"
           "  --quiet                 no progress bar\n"
           "Ctrl-C stops the render through the host's abort.\n";
}
