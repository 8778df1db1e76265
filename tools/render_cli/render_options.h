// The command line of ondrava_render_png: which module, which frames, which depth,
// which parameter values by their display names.
#pragma once

#include <string>
#include <vector>

#include "tools/test_pattern.h"

struct RenderOptions {
    std::string inputPath;   // empty: the built-in test pattern; may be a '#' sequence pattern
    std::string outputPath;  // a '#' pattern when the input is one
    int depth = 8;           // 8, 16 or 32 bits a channel
    int pngBits = 0;         // 8 or 16; 0 follows the depth (8 for 8-bit, else 16)
    std::vector<std::string> assignments;  // "Name=Value", in order
    std::string velocitySourcePath;
    std::string spreadSourcePath;
    int threads = 0;  // 0: one a processor
    int scaleNum = 1, scaleDen = 1;  // the downsample ratio the host hands in, both axes
    int patternWidth = kTestPatternWidth, patternHeight = kTestPatternHeight;  // without INPUT
    std::string modulePath;
    bool listParams = false;
    bool quiet = false;
    bool help = false;
};

// Fills options from the arguments after the program name. Returns "" or a message.
std::string parseRenderArguments(const std::vector<std::string>& args, RenderOptions& options);

std::string renderUsage(const std::string& program);
