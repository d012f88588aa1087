#include "platform/sim/PictureView.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace kovado::platform {

namespace {
bool Ink(const BYTE* bits, int width, int x, int y) {
    return bits[y * (width / 8) + x / 8] & (0x80 >> (x % 8));
}
}  // namespace

std::string PictureArt(const BYTE* bits, int width, int height) {
    std::string art;
    art.reserve(static_cast<std::size_t>((width + 1) * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) art.push_back(Ink(bits, width, x, y) ? '#' : '.');
        art.push_back('\n');
    }
    return art;
}

// libpng reports errors by longjmp: nothing with a destructor may live in
// the frame that calls setjmp.
static bool WritePng(png_structp png, png_infop info, std::FILE* file, const BYTE* bits,
                     int width, int height, int scale, png_byte* row) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    const int w = width * scale;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(height * scale), 8,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < w; ++x) row[x] = Ink(bits, width, x / scale, y) ? 0x20 : 0xE0;
        for (int repeat = 0; repeat < scale; ++repeat) png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    return true;
}

bool SavePicturePng(const std::string& path, const BYTE* bits, int width, int height, int scale) {
    if (width <= 0 || width % 8 != 0 || height <= 0 || scale <= 0) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::vector<png_byte> row(static_cast<std::size_t>(width * scale));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info && WritePng(png, info, file, bits, width, height, scale, row.data());
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}

}  // namespace kovado::platform
