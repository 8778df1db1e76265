// The command line of ondrava_melt_png: options, ParamValues fields by name, and
// the input and output files.
#pragma once

#include <string>
#include <vector>

#include "render/param_values.h"
#include "tools/argb_buffer.h"
#include "tools/test_pattern.h"

struct MeltOptions {
    std::string inputPath;  // empty: melt the built-in test pattern
    std::string outputPath;
    std::string velocitySourcePath;  // "Velocity Intensity Source" layer; empty: none
    std::string spreadSourcePath;    // "Spread Intensity Source" layer; empty: none
    PixelDepth depth = PixelDepth::k8;
    float scale = 1.0f;
    int32_t patternWidth = kTestPatternWidth;
    int32_t patternHeight = kTestPatternHeight;
    ParamValues params;  // the registered defaults until an option sets a field
    bool help = false;

    MeltOptions();
};

// Fills options from the arguments after the program name. Returns "" on
// success, else a message saying what is wrong.
std::string parseMeltArguments(const std::vector<std::string>& args, MeltOptions& options);

std::string meltUsage(const std::string& program);
