// PNG decoding side by side: ours, libpng, libspng and stb_image, each decoding the same files
// from memory into 32-bit pixels in blue, green, red, alpha order, each allocating its output
// in the timed loop without zero-filling it (each writes every pixel of a whole image). libspng
// and stb_image have no such output format: they decode to RGBA, and spng and stb include the
// swap of red and blue; spng_rgba and stb_rgba leave it out.
//
// The files are made at start with libpng (its default compression and filter choice): photo-like
// pictures (smooth shades with noise), flat-coloured graphics, every colour type, 16-bit and
// interlaced; and the PngSuite conformance files as a set of small files.

#include <benchmark/benchmark.h>
#include <png.h>
#include <spng.h>
#include <stb_image.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "imaging/BitmapImage.h"
#include "imaging/PngDecoder.h"
#include "imaging/PngInputStream.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// ---- making the files ----

Bytes WritePng(std::uint32_t width, std::uint32_t height, int colorType, int bitDepth, bool interlaced,
               const std::function<std::uint32_t(std::uint32_t, std::uint32_t, int)>& sample) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t n) {
        auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
        o->insert(o->end(), data, data + n);
      },
      nullptr);
  png_set_IHDR(png, info, width, height, bitDepth, colorType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    png_color palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = {png_byte(i * 37 % 256), png_byte(i * 91 % 256), png_byte(255 - i)};
    png_set_PLTE(png, info, palette, 1 << bitDepth);
  }
  png_write_info(png, info);
  int channels = colorType == 0 || colorType == 3 ? 1 : colorType == 2 ? 3 : colorType == 4 ? 2 : 4;
  std::size_t rowBytes = (std::size_t(width) * channels * bitDepth + 7) / 8;
  std::vector<png_byte> row(rowBytes);
  int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass)
    for (std::uint32_t y = 0; y < height; ++y) {
      std::fill(row.begin(), row.end(), 0);
      for (std::uint32_t x = 0; x < width; ++x)
        for (int c = 0; c < channels; ++c) {
          std::uint32_t v = sample(x, y, c);
          std::size_t bit = (std::size_t(x) * channels + c) * bitDepth;
          if (bitDepth == 16) {
            row[bit / 8] = png_byte(v >> 8);
            row[bit / 8 + 1] = png_byte(v);
          } else if (bitDepth == 8) {
            row[bit / 8] = png_byte(v);
          } else {
            row[bit / 8] |= png_byte((v & ((1u << bitDepth) - 1)) << (8 - bitDepth - bit % 8));
          }
        }
      png_write_row(png, row.data());
    }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// Smooth shades with a little noise, like a photograph; 0 to 65535.
std::uint32_t Photo(std::uint32_t x, std::uint32_t y, int c) {
  static std::mt19937 rng(7);
  double v = 0.5 + 0.25 * std::sin(x * 0.011 + c * 1.7) * std::cos(y * 0.017 - c) +
             0.15 * std::sin((x + 2.0 * y) * 0.031 + c) + 0.05 * std::sin(x * 0.2) * std::sin(y * 0.23);
  v += (double(rng() % 1000) / 1000.0 - 0.5) * 0.03;
  v = std::min(1.0, std::max(0.0, v));
  return std::uint32_t(v * 65535);
}

// Flat areas, lines and a few gradients, like a drawing or a screen shot; 0 to 255.
std::uint32_t Graphics(std::uint32_t x, std::uint32_t y, int c) {
  std::uint32_t cell = (x / 97) * 7 + (y / 61) * 13;
  if (x % 97 < 2 || y % 61 < 2) return 40;
  if ((x / 8 + y / 12) % 23 == 0 && (y % 12) < 9 && (x % 8) < 6) return 10 + 20 * c;  // text-like
  if (cell % 5 == 0) return (x + y * (c + 1)) % 256;
  return (cell * (53 + 17 * c)) % 256;
}

struct Sample {
  std::string name;
  Bytes png;
};

std::vector<Sample>& Samples() {
  static std::vector<Sample> samples = [] {
    std::vector<Sample> s;
    auto photo8 = [](std::uint32_t x, std::uint32_t y, int c) { return Photo(x, y, c) >> 8; };
    s.push_back({"photo_rgb8_1920x1080", WritePng(1920, 1080, 2, 8, false, photo8)});
    s.push_back({"photo_rgba8_1024x768", WritePng(1024, 768, 6, 8, false, [](std::uint32_t x, std::uint32_t y, int c) {
                   return c == 3 ? (x + y) % 256 : Photo(x, y, c) >> 8;
                 })});
    s.push_back({"photo_gray8_1024x1024", WritePng(1024, 1024, 0, 8, false, photo8)});
    s.push_back({"photo_rgb16_640x480", WritePng(640, 480, 2, 16, false, Photo)});
    s.push_back({"photo_rgb8_interlaced_1024x768", WritePng(1024, 768, 2, 8, true, photo8)});
    s.push_back({"graphics_rgb8_1920x1080", WritePng(1920, 1080, 2, 8, false, Graphics)});
    s.push_back({"graphics_palette8_1024x768", WritePng(1024, 768, 3, 8, false, Graphics)});
    s.push_back({"graphics_palette4_1024x768", WritePng(1024, 768, 3, 4, false, Graphics)});
    // PngSuite's good files, decoded one after another.
    Bytes all;
    std::vector<std::string> names;
    std::string dir = std::string(TARNWELL_SOURCE_DIR) + "/tests/imaging/data/pngsuite";
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
      std::string n = e.path().filename().string();
      if (e.path().extension() == ".png" && n[0] != 'x') names.push_back(e.path().string());
    }
    std::sort(names.begin(), names.end());
    for (const auto& n : names) {
      std::ifstream in(n, std::ios::binary);
      Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      s.push_back({"pngsuite/" + std::filesystem::path(n).filename().string(), b});
    }
    return s;
  }();
  return samples;
}

// ---- the decoders ----

// Our chunk stream over the file in memory, reading as the file stream does: each chunk is
// copied into one buffer that grows to the largest chunk and is reused.
class ViewStream : public Veldaro::PngInputStream {
 public:
  explicit ViewStream(const Bytes& bytes) : bytes_(bytes) {}
  void ReadBytes(std::uint32_t count, std::uint8_t*& data) override {
    if (count > bytes_.size() - position_) End();
    buffer_.assign(bytes_.begin() + std::ptrdiff_t(position_), bytes_.begin() + std::ptrdiff_t(position_ + count));
    position_ += count;
    data = buffer_.data();
  }
  bool EndReached() override { return pastEnd_; }

 protected:
  std::uint32_t ReadChunkLength() override { return Read32(); }
  void ReadChunkData(std::uint32_t count, std::uint8_t*& data) override { ReadBytes(count, data); }
  std::uint32_t ReadChunkCrc() override { return Read32(); }

 private:
  [[noreturn]] void End() {
    pastEnd_ = true;
    throw StreamError("Premature End of File");
  }
  std::uint32_t Read32() {
    if (bytes_.size() - position_ < 4) End();
    const std::uint8_t* p = bytes_.data() + position_;
    position_ += 4;
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
  }

  const Bytes& bytes_;
  std::size_t position_ = 0;
  bool pastEnd_ = false;
  Bytes buffer_;
};

void SwapRedBlue(std::uint8_t* p, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i) std::swap(p[4 * i], p[4 * i + 2]);
}

void DecodeOurs(const Bytes& png) {
  ViewStream stream(png);
  Veldaro::BitmapImage image;
  Veldaro::PngDecoder decoder;
  decoder.ReadImage(stream, image);
  benchmark::DoNotOptimize(image.Pixels());
}

struct MemoryReader {
  const Bytes* data;
  std::size_t position;
};

void DecodeLibpng(const Bytes& bytes) {
  MemoryReader reader{&bytes, 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::unique_ptr<std::uint32_t[]> pixels;
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return;
  }
  png_set_read_fn(png, &reader, [](png_structp p, png_bytep out, png_size_t n) {
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(p));
    if (n > r->data->size() - r->position) png_error(p, "end of data");
    std::memcpy(out, r->data->data() + r->position, n);
    r->position += n;
  });
  png_read_info(png, info);
  int colorType = png_get_color_type(png, info);
  int bitDepth = png_get_bit_depth(png, info);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (bitDepth == 16) png_set_strip_16(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  std::uint32_t width = png_get_image_width(png, info);
  std::uint32_t height = png_get_image_height(png, info);
  pixels = std::make_unique_for_overwrite<std::uint32_t[]>(std::size_t(width) * height);
  rows.resize(height);
  for (std::uint32_t y = 0; y < height; ++y)
    rows[y] = reinterpret_cast<png_bytep>(pixels.get() + std::size_t(y) * width);
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  benchmark::DoNotOptimize(pixels.get());
}

void DecodeSpng(const Bytes& bytes, bool swap) {
  spng_ctx* ctx = spng_ctx_new(0);
  spng_set_png_buffer(ctx, bytes.data(), bytes.size());
  std::size_t size = 0;
  if (spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size) == 0) {
    std::unique_ptr<std::uint8_t[]> out = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    if (spng_decode_image(ctx, out.get(), size, SPNG_FMT_RGBA8, 0) == 0 && swap) SwapRedBlue(out.get(), size / 4);
    benchmark::DoNotOptimize(out.get());
  }
  spng_ctx_free(ctx);
}

void DecodeStb(const Bytes& bytes, bool swap) {
  int w, h, n;
  stbi_uc* p = stbi_load_from_memory(bytes.data(), int(bytes.size()), &w, &h, &n, 4);
  if (p != nullptr && swap) SwapRedBlue(p, std::size_t(w) * h);
  benchmark::DoNotOptimize(p);
  stbi_image_free(p);
}

void Run(benchmark::State& state, void (*decode)(const Bytes&), const std::vector<const Bytes*>& files) {
  std::int64_t bytes = 0;
  for (auto _ : state)
    for (const Bytes* f : files) {
      decode(*f);
      bytes += std::int64_t(f->size());
    }
  state.SetBytesProcessed(bytes);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  struct Decoder {
    const char* name;
    void (*decode)(const Bytes&);
  };
  const Decoder decoders[] = {
      {"ours", DecodeOurs},
      {"libpng", DecodeLibpng},
      {"spng", [](const Bytes& b) { DecodeSpng(b, true); }},
      {"spng_rgba", [](const Bytes& b) { DecodeSpng(b, false); }},
      {"stb", [](const Bytes& b) { DecodeStb(b, true); }},
      {"stb_rgba", [](const Bytes& b) { DecodeStb(b, false); }},
  };
  std::vector<std::pair<std::string, std::vector<const Bytes*>>> sets;
  std::vector<const Bytes*> suite;
  for (const auto& s : Samples()) {
    if (s.name.rfind("pngsuite/", 0) == 0)
      suite.push_back(&s.png);
    else
      sets.push_back({s.name, {&s.png}});
  }
  sets.push_back({"pngsuite_all_161_files", suite});
  for (const auto& set : sets)
    for (const auto& d : decoders)
      benchmark::RegisterBenchmark((set.first + "/" + d.name).c_str(), Run, d.decode, set.second)
          ->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
