#include "platform/png_file.hpp"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace orv {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// libpng reports its errors by a long jump back into `encode`; the message is kept here.
void onError(png_structp png, png_const_charp message) {
    auto* reason = static_cast<std::string*>(png_get_error_ptr(png));
    if (reason->empty()) *reason = message;
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// The encoding itself: nothing in here may own memory, as an error leaves by a long jump.
bool encode(png_structp png, png_infop info, std::FILE* file, int width, int height, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, std::span<const std::uint32_t> pixels,
              std::string& reason) {
    reason.clear();
    const auto w = static_cast<std::size_t>(width);
    if (width <= 0 || height <= 0 || pixels.size() < w * static_cast<std::size_t>(height)) {
        reason = "no picture to write";
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    // Rows of R, G, B bytes.
    std::vector<png_byte> bytes(3 * w * static_cast<std::size_t>(height));
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        png_bytep row = bytes.data() + 3 * w * y;
        rows[y] = row;
        for (std::size_t x = 0; x < w; ++x) {
            const std::uint32_t p = pixels[y * w + x];
            row[3 * x] = static_cast<png_byte>(p >> 16);
            row[3 * x + 1] = static_cast<png_byte>(p >> 8);
            row[3 * x + 2] = static_cast<png_byte>(p);
        }
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &reason, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    errno = 0;
    bool written = info && encode(png, info, file.get(), width, height, rows.data());
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    // A failed write says why in errno (the encoder's own word is only "Write Error"); the
    // encoder does not always see one, the flush and the close do.
    if (written && std::fflush(file.get()) != 0) written = false;
    if (std::fclose(file.release()) != 0) written = false;
    if (!written && errno != 0) reason = std::strerror(errno);
    if (!written && reason.empty()) reason = info ? std::strerror(EIO) : "out of memory";
    return written;
}

}  // namespace orv
