// The command line of ondrava_render: which module and host, which frames, which
// depth and file samples, which parameter values by their display names, and what
// to write.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/render_cli/image_formats.h"
#include "tools/test_pattern.h"

// The host the stand-in host plays: its application and effect API version decide
// which parameters the effect registers and where it draws its banner.
struct HostChoice {
    bool premiere = false;
    int16_t apiMajor = 13;
    int16_t apiMinor = 27;
};

struct RenderOptions {
    std::string inputPath;   // empty: the built-in test pattern; may be a '#' sequence pattern
    std::string outputPath;  // -o; a '#' pattern when the input is one; empty: no render
    std::string panelPath;   // --panel; empty: no panel picture
    int depth = 8;           // 8, 16 or 32 bits a channel
    std::optional<FileSamples> samples;  // --bits; none: the format's default for the depth
    std::vector<std::string> assignments;  // "Name=Value", in order
    std::string velocitySourcePath;
    std::string spreadSourcePath;
    int threads = 0;  // 0: one a processor
    int scaleNum = 1, scaleDen = 1;  // the downsample ratio the host hands in, both axes
    int patternWidth = kTestPatternWidth, patternHeight = kTestPatternHeight;  // without INPUT
    HostChoice host;
    std::string modulePath;
    bool overwrite = false;
    bool sideBySide = false;
    bool listParams = false;
    bool json = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

// Fills options from the arguments after the program name. Returns "" or a message.
std::string parseRenderArguments(const std::vector<std::string>& args, RenderOptions& options);

std::string renderUsage(const std::string& program);
