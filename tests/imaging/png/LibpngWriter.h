#pragma once
// libpng as the writer of test files: packed rows as given, with one filter type forced (or
// libpng's own choice), interlaced or not, optionally flushing the compressed data.

#include <png.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace TarnwellTest {

struct LibpngWriteOptions {
  int filters = PNG_ALL_FILTERS;  // PNG_FILTER_NONE, _SUB, _UP, _AVG, _PAETH or a mix
  bool interlaced = false;
  int paletteEntries = 0;                  // colour type 3
  std::vector<std::uint8_t> transparency;  // tRNS entries of a palette image
  int flushEveryRows = 0;                  // png_set_flush: a zlib flush every that many rows
  int compressionLevel = 6;
};

// rows holds height rows of packed samples, each (width * channels * bitDepth + 7) / 8 bytes.
inline std::vector<std::uint8_t> WritePngWithLibpng(std::uint32_t width, std::uint32_t height, int bitDepth,
                                                    int colorType, const std::vector<std::vector<std::uint8_t>>& rows,
                                                    const LibpngWriteOptions& o = {}) {
  std::vector<std::uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng could not write the file");
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t n) {
        auto* o = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
        o->insert(o->end(), data, data + n);
      },
      [](png_structp) {});  // nothing to flush in memory
  png_set_IHDR(png, info, width, height, bitDepth, colorType, o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, 0, o.filters);
  png_set_compression_level(png, o.compressionLevel);
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    std::vector<png_color> palette(o.paletteEntries);
    for (int i = 0; i < o.paletteEntries; ++i)
      palette[i] = {png_byte(i * 29 + 3), png_byte(255 - i * 7), png_byte(i * 101 + 50)};
    png_set_PLTE(png, info, palette.data(), o.paletteEntries);
    if (!o.transparency.empty()) png_set_tRNS(png, info, o.transparency.data(), int(o.transparency.size()), nullptr);
  }
  if (o.flushEveryRows > 0) png_set_flush(png, o.flushEveryRows);
  png_write_info(png, info);
  int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass)
    for (std::uint32_t y = 0; y < height; ++y) png_write_row(png, rows[y].data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace TarnwellTest
