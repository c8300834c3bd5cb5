#pragma once
// libpng as the reference decoder: reads a PNG file into 32-bit pixels in the image library's
// layout (blue, green, red, alpha in memory), with the transformations that match what the
// decoder under test does on purpose, or, through the options, what libpng can do instead.

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace TarnwellTest {

struct LibpngOptions {
  bool transparencyForAllTypes = false;  // tRNS also as colour key of grayscale and RGB
  bool scale16 = false;                  // 16-bit samples rounded instead of cut
  double gamma = 0;                      // screen gamma to correct for (0: none)
};

struct ReferenceImage {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint32_t> pixels;
  std::string error;  // libpng's error text when it refused the file
  std::vector<std::string> warnings;
};

struct MemoryInput {
  const std::vector<std::uint8_t>* bytes;
  std::size_t position;
};

// Reads the file's bytes from memory. No local that the code after setjmp uses changes after
// it, so none can be clobbered by the longjmp of an error.
inline ReferenceImage ReadWithLibpngFrom(const std::vector<std::uint8_t>& bytes, const LibpngOptions& options) {
  ReferenceImage result;
  MemoryInput memory{&bytes, 0};
  png_structp png = png_create_read_struct(
      PNG_LIBPNG_VER_STRING, &result,
      [](png_structp p, png_const_charp message) {
        static_cast<ReferenceImage*>(png_get_error_ptr(p))->error = message;
        png_longjmp(p, 1);
      },
      [](png_structp p, png_const_charp message) {
        static_cast<ReferenceImage*>(png_get_error_ptr(p))->warnings.push_back(message);
      });
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    result.pixels.clear();
    return result;
  }
  png_set_read_fn(png, &memory, [](png_structp p, png_bytep out, png_size_t n) {
    auto* m = static_cast<MemoryInput*>(png_get_io_ptr(p));
    if (n > m->bytes->size() - m->position) png_error(p, "end of the data");
    std::memcpy(out, m->bytes->data() + m->position, n);
    m->position += n;
  });
  png_read_info(png, info);
  int colorType = png_get_color_type(png, info);
  int bitDepth = png_get_bit_depth(png, info);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);  // with tRNS as alpha
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (options.transparencyForAllTypes && png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) {
    if (options.scale16)
      png_set_scale_16(png);
    else
      png_set_strip_16(png);
  }
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (options.gamma > 0) {
    double fileGamma;
    if (png_get_gAMA(png, info, &fileGamma)) png_set_gamma(png, options.gamma, fileGamma);
  }
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  result.width = png_get_image_width(png, info);
  result.height = png_get_image_height(png, info);
  if (png_get_rowbytes(png, info) != std::size_t(result.width) * 4) throw std::runtime_error("unexpected row size");
  result.pixels.assign(std::size_t(result.width) * result.height, 0);
  rows.resize(result.height);
  for (std::uint32_t y = 0; y < result.height; ++y)
    rows[y] = reinterpret_cast<png_bytep>(result.pixels.data() + std::size_t(y) * result.width);
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return result;
}

inline ReferenceImage ReadWithLibpng(const std::vector<std::uint8_t>& bytes, const LibpngOptions& options = {}) {
  return ReadWithLibpngFrom(bytes, options);
}

// Reads the file at path.
inline ReferenceImage ReadWithLibpng(const std::string& path, const LibpngOptions& options = {}) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return ReadWithLibpngFrom(bytes, options);
}

}  // namespace TarnwellTest
