#include "tools/render_cli/render_options.h"

#include <cstdint>

#include "tools/render_cli/exit_codes.h"
#include "tools/render_cli/frame_sequence.h"
#include "tools/render_cli/tool_messages.h"

namespace {

constexpr int kMaxThreads = 256;
constexpr int kMaxScaleDen = 256;
constexpr int kMaxPatternSide = 32768;
constexpr int64_t kMaxPatternPixels = int64_t(1) << 26;
constexpr int kMaxApiNumber = 32767;
const char* const kAfterEffects = "after-effects";
const char* const kPremiere = "premiere";

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

// "13.27": the effect API version a host reports, major and minor.
bool parseApiVersion(const std::string& text, HostChoice& host) {
    const size_t dot = text.find('.');
    int major = 0, minor = 0;
    if (dot == std::string::npos || !parseWhole(text.substr(0, dot), 0, kMaxApiNumber, major) ||
        !parseWhole(text.substr(dot + 1), 0, kMaxApiNumber, minor)) {
        return false;
    }
    host.apiMajor = int16_t(major);
    host.apiMinor = int16_t(minor);
    return true;
}

std::string unknownFormat(const std::string& path) {
    return msg::quoted(path) + " " + msg::kUnknownFormat + " " + knownExtensions();
}

// Every file named must be of a format the tool knows, and the samples asked for
// must fit the output's.
std::string checkFormats(const RenderOptions& options) {
    for (const std::string* path : {&options.inputPath, &options.outputPath, &options.panelPath,
                                    &options.velocitySourcePath, &options.spreadSourcePath}) {
        if (!path->empty() && formatOfPath(*path) == nullptr) return unknownFormat(*path);
    }
    if (options.samples && !options.outputPath.empty()) {
        const ImageFormat& format = *formatOfPath(options.outputPath);
        if (!formatHolds(format, *options.samples)) {
            return std::string("--bits ") + samplesName(*options.samples) + ": " + format.name + " " +
                   msg::kSamplesNotHeld + " " + heldSamples(format);
        }
    }
    return "";
}

}  // namespace

std::string parseRenderArguments(const std::vector<std::string>& args, RenderOptions& options) {
    std::vector<std::string> inputs;
    bool patternSized = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
            return "";
        }
        if (arg == "--version") {
            options.version = true;
            return "";
        }
        bool* flag = arg == "--list-params"    ? &options.listParams
                     : arg == "--json"         ? &options.json
                     : arg == "--quiet"        ? &options.quiet
                     : arg == "--overwrite"    ? &options.overwrite
                     : arg == "--side-by-side" ? &options.sideBySide
                                               : nullptr;
        if (flag != nullptr) {
            *flag = true;
            continue;
        }
        if (arg != "-o" && arg.rfind("--", 0) != 0) {
            if (!arg.empty() && arg[0] == '-') return "unknown option " + arg;
            inputs.push_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) return arg + " needs a value";
        const std::string& value = args[++i];
        if (arg == "-o" || arg == "--output") {
            options.outputPath = value;
        } else if (arg == "--panel") {
            options.panelPath = value;
        } else if (arg == "--depth") {
            if (value != "8" && value != "16" && value != "32") return "--depth: \"" + value + "\" is not 8, 16 or 32";
            options.depth = std::stoi(value);
        } else if (arg == "--bits") {
            FileSamples samples;
            if (!parseSamples(value, &samples)) return "--bits: \"" + value + "\" is not 8, 16, half or float";
            options.samples = samples;
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
        } else if (arg == "--host") {
            if (value != kAfterEffects && value != kPremiere) {
                return "--host: \"" + value + "\" is not " + kAfterEffects + " or " + kPremiere;
            }
            options.host.premiere = value == kPremiere;
        } else if (arg == "--api-version") {
            if (!parseApiVersion(value, options.host)) {
                return "--api-version: \"" + value + "\" is not MAJOR.MINOR, e.g. 13.27";
            }
        } else if (arg == "--module") {
            options.modulePath = value;
        } else {
            return "unknown option " + arg;
        }
    }
    if (options.json && !options.listParams) return msg::kJsonWithoutList;
    if (inputs.size() > 1) return msg::kTooManyInputs;
    if (inputs.size() == 1) options.inputPath = inputs.front();
    const bool somethingToDo = options.listParams || !options.panelPath.empty();
    if (options.outputPath.empty()) {
        return somethingToDo && options.inputPath.empty() ? checkFormats(options) : msg::kNoOutput;
    }
    if (isSequencePattern(options.inputPath) != isSequencePattern(options.outputPath)) {
        return msg::kSequenceNeedsPatterns;
    }
    if (patternSized && !options.inputPath.empty()) return msg::kPatternSizeWithInput;
    if (int64_t(options.patternWidth) * options.patternHeight > kMaxPatternPixels) {
        return "the test pattern may have at most " + std::to_string(kMaxPatternPixels) + " pixels";
    }
    return checkFormats(options);
}

std::string renderUsage(const std::string& program) {
    return "Usage: " + program + " [options] [INPUT] -o OUTPUT\n"
           "       " + program + " --list-params [--json] [--host NAME] [--api-version M.N]\n"
           "Renders through the Ondrava module as a host does: global, parameter and\n"
           "sequence setup, then smart pre-render and smart render of every frame (the\n"
           "render command in premiere). Without INPUT it melts the built-in test pattern.\n"
           "A file name with a run of '#' (frame_####.png) names a numbered image sequence;\n"
           "its frames render on several threads at once, into the output pattern.\n"
           "Files: " + knownExtensions() + ", chosen by the extension; 8- and 16-bit and\n"
           "float samples; a float render reads and writes float samples unclamped.\n"
           "Nothing is written over an input of the render, nor over an existing file\n"
           "without --overwrite; an output appears only once it is whole.\n"
           "\n"
           "Options:\n"
           "  -o, --output FILE       the file to write; a '#' pattern for a sequence\n"
           "  --overwrite             replace output files that exist already\n"
           "  --set \"Name=Value\"      set a parameter by its display name; \"Group/Name\"\n"
           "                          where a name stands in several groups (repeatable)\n"
           "  --depth 8|16|32         render depth (default 8)\n"
           "  --bits 8|16|half|float  samples of the written file (default: the narrowest\n"
           "                          its format holds that keeps every value of the render)\n"
           "  --side-by-side          write the input and the melted output side by side\n"
           "  --panel FILE            write the effect-controls panel: the banner and the\n"
           "                          curve graphs as the effect draws them at the values set\n"
           "  --velocity-source FILE  an image as the \"Velocity Intensity Source\" layer\n"
           "  --spread-source FILE    an image as the \"Spread Intensity Source\" layer\n"
           "  --threads N             render threads for a sequence (default: processors)\n"
           "  --scale N/D             the host's downsample ratio, e.g. 1/2 (default 1/1);\n"
           "                          the input stands for the downsampled frame\n"
           "  --width N, --height N   size of the test pattern (default " +
           std::to_string(kTestPatternWidth) + " x " + std::to_string(kTestPatternHeight) + ")\n"
           "  --host after-effects|premiere  the host to play (default after-effects)\n"
           "  --api-version M.N       the effect API version it reports (default 13.27)\n"
           "  --module PATH           the effect module to load\n"
           "  --list-params           list every parameter: type, default and range\n"
           "  --json                  with --list-params: the same as JSON, for scripts\n"
           "  --quiet                 no progress bar\n"
           "  --version               the tool's version\n"
           "  -h, --help              this text\n"
           "The effect's own messages are shown on standard error, as errors where it\n"
           "asks the host to show an error, else as warnings. Ctrl-C stops reading,\n"
           "converting, rendering and writing alike.\n"
           "\n"
           "Exit codes:\n"
           "  " + std::to_string(kExitSuccess) + "    success\n"
           "  " + std::to_string(kExitFailure) + "    run-time failure: a file unreadable or unwritable, a render that failed\n"
           "  " + std::to_string(kExitUsage) + "    usage: the command line cannot be carried out as given (an unknown\n"
           "       option or parameter, no output, an output that would overwrite a file)\n"
           "  " + std::to_string(kExitInterrupted) + "  interrupted by Ctrl-C; no output is left half-written\n";
}
