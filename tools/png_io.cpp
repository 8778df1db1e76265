#include "tools/png_io.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Wider than any frame the effect renders, small enough to refuse absurd headers.
constexpr png_uint_32 kMaxPngSide = 32768;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// libpng reports errors by longjmp; its message is kept here for the caller.
struct PngErrors {
    char message[256] = "";
};

void onPngError(png_structp png, png_const_charp text) {
    auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
    std::snprintf(errors->message, sizeof errors->message, "%s", text);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// An image's rows as libpng reads and writes them: one contiguous block of
// big-endian samples and a pointer to each row.
struct RowBlock {
    std::vector<png_byte> bytes;
    std::vector<png_bytep> rows;
    RowBlock(size_t rowBytes, int32_t height) : bytes(rowBytes * size_t(height)), rows(size_t(height)) {
        for (int32_t y = 0; y < height; ++y) rows[size_t(y)] = bytes.data() + rowBytes * size_t(y);
    }
};

// The libpng calls, each in a function of its own whose frame holds nothing that
// a longjmp could leave half-made. Each returns false once libpng reported an error.
bool readHeader(png_structp png, png_infop info, std::FILE* file, size_t signatureBytes) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_sig_bytes(png, int(signatureBytes));
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    png_read_info(png, info);
    // Whatever the file holds, ask libpng for 16-bit RGBA.
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xffff, PNG_FILLER_AFTER);
    png_set_expand_16(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

bool readRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

bool writeRows(png_structp png, png_infop info, std::FILE* file, const RgbaImage* image, int bitDepth,
               png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(image->width), png_uint_32(image->height), bitDepth,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

struct ReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~ReadStructs() { png_destroy_read_struct(&png, &info, nullptr); }
};

struct WriteStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~WriteStructs() { png_destroy_write_struct(&png, &info); }
};

}  // namespace

std::string readPng(const std::string& path, RgbaImage& image) {
    image = RgbaImage();
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) return "cannot open " + path + ": " + std::strerror(errno);
    png_byte signature[8];
    if (std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature ||
        png_sig_cmp(signature, 0, sizeof signature) != 0) {
        return path + " is not a PNG file";
    }

    PngErrors errors;
    ReadStructs s;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors, onPngError, onPngWarning);
    if (s.png) s.info = png_create_info_struct(s.png);
    if (!s.info) return "out of memory reading " + path;
    if (!readHeader(s.png, s.info, file.get(), sizeof signature)) {
        return "cannot read " + path + ": " + errors.message;
    }
    const int32_t width = int32_t(png_get_image_width(s.png, s.info));
    const int32_t height = int32_t(png_get_image_height(s.png, s.info));
    RowBlock block(png_get_rowbytes(s.png, s.info), height);
    if (!readRows(s.png, block.rows.data())) return "cannot read " + path + ": " + errors.message;

    image = RgbaImage(width, height);
    const png_byte* in = block.bytes.data();
    for (uint16_t& sample : image.samples) {
        sample = uint16_t((in[0] << 8) | in[1]);
        in += 2;
    }
    return "";
}

std::string writePng(const std::string& path, const RgbaImage& image, int bitDepth) {
    if (bitDepth != 8 && bitDepth != 16) return "PNG bit depth must be 8 or 16";
    if (image.width <= 0 || image.height <= 0) return "cannot write an empty image to " + path;
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) return "cannot create " + path + ": " + std::strerror(errno);

    const size_t bytesPerSample = size_t(bitDepth / 8);
    RowBlock block(size_t(image.width) * 4 * bytesPerSample, image.height);
    png_byte* out = block.bytes.data();
    for (uint16_t sample : image.samples) {
        if (bitDepth == 8) {
            *out++ = png_byte((sample * 255u + 32767u) / 65535u);
        } else {
            *out++ = png_byte(sample >> 8);
            *out++ = png_byte(sample & 0xff);
        }
    }

    PngErrors errors;
    WriteStructs s;
    s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, onPngError, onPngWarning);
    if (s.png) s.info = png_create_info_struct(s.png);
    if (!s.info) return "out of memory writing " + path;
    if (!writeRows(s.png, s.info, file.get(), &image, bitDepth, block.rows.data())) {
        return "cannot write " + path + ": " + errors.message;
    }
    if (std::fflush(file.get()) != 0) return "cannot write " + path + ": " + std::strerror(errno);
    return "";
}
