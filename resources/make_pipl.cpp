// Build step of the Windows module: writes the registration resource's bytes to
// the file named by its argument, for the resource compiler to embed.
#include <cstdio>

#include "resources/pipl.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pipl OUTPUT\n");
        return 2;
    }
    const std::vector<uint8_t> bytes = buildPipl();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "make_pipl: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
