#include "PictureFiles.h"

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace picturetest {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "picXXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

namespace {

void WritePngImage(const std::string& file, int width, int height, const std::vector<Rgba>& pixels, bool alpha,
                   bool interlaced) {
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) throw std::runtime_error("cannot create " + file);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
    throw std::runtime_error("libpng failed");
  }
  png_init_io(png, out);
  png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  const int channels = alpha ? 4 : 3;
  std::vector<png_byte> data(std::size_t(width) * height * channels);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    png_byte* p = &data[i * channels];
    p[0] = pixels[i].r;
    p[1] = pixels[i].g;
    p[2] = pixels[i].b;
    if (alpha) p[3] = pixels[i].a;
  }
  std::vector<png_bytep> rows(height);
  for (int y = 0; y < height; ++y) rows[y] = &data[std::size_t(y) * width * channels];
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(out);
}

}  // namespace

void WritePng(const std::string& file, int width, int height, const std::vector<Rgba>& pixels, bool interlaced) {
  WritePngImage(file, width, height, pixels, true, interlaced);
}

void WriteRgbPng(const std::string& file, int width, int height, const std::vector<Rgba>& pixels) {
  WritePngImage(file, width, height, pixels, false, false);
}

void WriteGif(const std::string& file, int width, int height, const std::vector<Rgba>& palette,
              const std::vector<std::uint8_t>& indexes, int transparentIndex) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(file.c_str(), false, &error);
  if (gif == nullptr) throw std::runtime_error("cannot create " + file);
  int colours = 2, bits = 1;
  while (colours < static_cast<int>(palette.size())) colours *= 2, ++bits;
  ColorMapObject* map = GifMakeMapObject(colours, nullptr);
  for (int i = 0; i < colours; ++i) {
    const Rgba c = i < static_cast<int>(palette.size()) ? palette[i] : Rgba{0, 0, 0, 255};
    map->Colors[i] = GifColorType{c.r, c.g, c.b};
  }
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, width, height, bits, 0, map);
  if (transparentIndex >= 0) {
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
    gcb.DelayTime = 0;
    gcb.TransparentColor = transparentIndex;
    GifByteType ext[4];
    EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
  }
  EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
  std::vector<GifPixelType> row(width);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) row[x] = indexes[std::size_t(y) * width + x];
    EGifPutLine(gif, row.data(), width);
  }
  GifFreeMapObject(map);
  EGifCloseFile(gif, &error);
}

void WriteJpeg(const std::string& file, int width, int height, const std::vector<Rgba>& pixels) {
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) throw std::runtime_error("cannot create " + file);
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, out);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(std::size_t(width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    for (int x = 0; x < width; ++x) {
      const Rgba& c = pixels[std::size_t(cinfo.next_scanline) * width + x];
      row[x * 3] = c.r;
      row[x * 3 + 1] = c.g;
      row[x * 3 + 2] = c.b;
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(out);
}

void WriteBmp(const std::string& file, int width, int height, const std::vector<Rgba>& pixels) {
  const int stride = (width * 3 + 3) & ~3;
  std::string bytes(54 + std::size_t(stride) * height, '\0');
  auto put = [&bytes](std::size_t at, std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put(2, static_cast<std::uint32_t>(bytes.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, width, 4);
  put(22, height, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Rgba& c = pixels[std::size_t(y) * width + x];
      const std::size_t at = 54 + std::size_t(height - 1 - y) * stride + std::size_t(x) * 3;
      bytes[at] = static_cast<char>(c.b);
      bytes[at + 1] = static_cast<char>(c.g);
      bytes[at + 2] = static_cast<char>(c.r);
    }
  WriteBytes(file, bytes);
}

void WriteBytes(const std::string& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace picturetest
