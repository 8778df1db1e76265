// Melts a PNG file, or the built-in test pattern, through the render entries and
// writes the result as a PNG file.
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "tools/argb_buffer.h"
#include "tools/melt_arguments.h"
#include "tools/melt_frame.h"
#include "tools/png_io.h"
#include "tools/test_pattern.h"

namespace {

const char* const kProgram = "ondrava_melt_png";

int fail(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
    return 1;
}

// Reads a PNG into a buffer of the render's depth; an empty path gives no buffer.
std::string loadLayer(const std::string& path, PixelDepth depth, std::unique_ptr<ArgbBuffer>& layer) {
    if (path.empty()) return "";
    RgbaImage image;
    if (std::string error = readPng(path, image); !error.empty()) return error;
    layer = std::make_unique<ArgbBuffer>(depth, image.width, image.height);
    layer->fillFrom(image);
    return "";
}

int run(MeltOptions options) {
    RgbaImage image;
    if (options.inputPath.empty()) {
        image = makeTestPattern(options.patternWidth, options.patternHeight);
    } else if (std::string error = readPng(options.inputPath, image); !error.empty()) {
        return fail(error);
    }
    std::unique_ptr<ArgbBuffer> velocitySource, spreadSource;
    if (std::string error = loadLayer(options.velocitySourcePath, options.depth, velocitySource);
        !error.empty()) {
        return fail(error);
    }
    if (std::string error = loadLayer(options.spreadSourcePath, options.depth, spreadSource); !error.empty()) {
        return fail(error);
    }
    if (velocitySource) options.params.velocitySourceLayer = velocitySource->layer();
    if (spreadSource) options.params.spreadSourceLayer = spreadSource->layer();

    ArgbBuffer input(options.depth, image.width, image.height);
    input.fillFrom(image);
    ArgbBuffer output(options.depth, image.width, image.height);
    if (const int32_t code = meltFrame(input, output, options.params, options.scale); code != 0) {
        return fail("the render stopped with code " + std::to_string(code));
    }
    const int bitDepth = options.depth == PixelDepth::k8 ? 8 : 16;
    if (std::string error = writePng(options.outputPath, output.toImage(), bitDepth); !error.empty()) {
        return fail(error);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    MeltOptions options;
    const std::string error = parseMeltArguments(std::vector<std::string>(argv + 1, argv + argc), options);
    if (options.help) {
        std::fputs(meltUsage(kProgram).c_str(), stdout);
        return 0;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "%s: %s\n(%s --help lists the options)\n", kProgram, error.c_str(), kProgram);
        return 2;
    }
    try {
        return run(options);
    } catch (const std::bad_alloc&) {
        return fail("out of memory");
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}
