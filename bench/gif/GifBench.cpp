// GIF decoding to BGRA pixels: our GifDecoder against giflib (DGifSlurp and a palette
// lookup) and stb_image (RGBA, then swapped to BGRA). giflib gives palette indexes and
// stb_image RGBA: each is also shown without that last pass (giflib_indexes, stb_rgba). Every
// decoder reads the file from disk and allocates its output in the timed loop.
//
// The pictures are written with giflib's own encoder into a temporary folder when the
// program starts: a photo-like picture of 1024x768 with 256 colours (sequential and
// interlaced), a flat drawing of 1024x768 with 8 colours and long runs, and noise of 512x512
// over 256 colours, which fills the LZW table fastest.

#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <unistd.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_GIF
#define STBI_NO_STDIO_WARNINGS
// With only the GIF reader, stb_image leaves a parameter of its 16-bit probe unused.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <stb_image.h>
#pragma GCC diagnostic pop

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/BitmapImage.h"
#include "imaging/GifDecoder.h"

namespace {

struct Picture {
  std::string name;
  std::string path;
};

std::uint32_t Noise(std::uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

// Writes indexes (top row first) with giflib's encoder.
void WriteGif(const std::string& path, int width, int height, const std::vector<GifByteType>& indexes,
              const std::vector<GifColorType>& colours, bool interlaced) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  if (gif == nullptr) std::abort();
  int bits = 1;
  while ((1 << bits) < int(colours.size())) ++bits;
  ColorMapObject* map = GifMakeMapObject(1 << bits, colours.data());
  EGifSetGifVersion(gif, true);
  if (EGifPutScreenDesc(gif, width, height, bits, 0, map) != GIF_OK) std::abort();
  if (EGifPutImageDesc(gif, 0, 0, width, height, interlaced, nullptr) != GIF_OK) std::abort();
  std::vector<int> order;
  if (interlaced) {
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
      for (int y = start[pass]; y < height; y += step[pass]) order.push_back(y);
  } else {
    for (int y = 0; y < height; ++y) order.push_back(y);
  }
  for (int y : order)
    if (EGifPutLine(gif, const_cast<GifByteType*>(&indexes[std::size_t(y) * width]), width) != GIF_OK) std::abort();
  GifFreeMapObject(map);
  if (EGifCloseFile(gif, &error) != GIF_OK) std::abort();
}

std::vector<Picture> MakePictures() {
  std::string dir = (std::filesystem::temp_directory_path() / ("bench_gif-" + std::to_string(getpid()))).string();
  std::filesystem::create_directories(dir);
  std::vector<Picture> pictures;
  std::uint32_t state = 12345;

  // Photo-like: smooth shapes with a little noise, quantised to a 6x7x6 colour cube with an
  // ordered dither, as simple encoders do.
  {
    const int w = 1024, h = 768;
    std::vector<GifColorType> cube;
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 7; ++g)
        for (int b = 0; b < 6; ++b)
          cube.push_back({GifByteType(r * 51), GifByteType(g * 255 / 6), GifByteType(b * 51)});
    while (cube.size() < 256) cube.push_back({0, 0, 0});
    std::vector<GifByteType> idx(std::size_t(w) * h);
    const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        double fx = x / double(w), fy = y / double(h);
        double r = 0.5 + 0.5 * std::sin(fx * 7 + std::cos(fy * 5));
        double g = 0.5 + 0.5 * std::sin(fy * 9 + fx * 3);
        double b = 0.5 + 0.5 * std::cos((fx - 0.5) * (fy - 0.3) * 40);
        double d = (bayer[y & 3][x & 3] + 0.5) / 16 - 0.5 + (Noise(state) % 100) / 400.0 - 0.125;
        int ri = std::min(5, std::max(0, int(r * 5 + d + 0.5)));
        int gi = std::min(6, std::max(0, int(g * 6 + d + 0.5)));
        int bi = std::min(5, std::max(0, int(b * 5 + d + 0.5)));
        idx[std::size_t(y) * w + x] = GifByteType(ri * 42 + gi * 6 + bi);
      }
    pictures.push_back({"photo_1024x768", dir + "/photo.gif"});
    WriteGif(pictures.back().path, w, h, idx, cube, false);
    pictures.push_back({"photo_interlaced_1024x768", dir + "/photo-interlaced.gif"});
    WriteGif(pictures.back().path, w, h, idx, cube, true);
  }
  // A flat drawing: rectangles of 8 colours.
  {
    const int w = 1024, h = 768;
    std::vector<GifColorType> colours;
    for (int i = 0; i < 8; ++i)
      colours.push_back({GifByteType(i * 30), GifByteType(255 - i * 20), GifByteType(i * 11)});
    std::vector<GifByteType> idx(std::size_t(w) * h, 0);
    for (int k = 0; k < 60; ++k) {
      int x0 = Noise(state) % w, y0 = Noise(state) % h, x1 = std::min(w, x0 + 40 + int(Noise(state) % 300)),
          y1 = std::min(h, y0 + 20 + int(Noise(state) % 200));
      GifByteType c = GifByteType(Noise(state) % 8);
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) idx[std::size_t(y) * w + x] = c;
    }
    pictures.push_back({"drawing_1024x768", dir + "/drawing.gif"});
    WriteGif(pictures.back().path, w, h, idx, colours, false);
  }
  // Noise over 256 colours.
  {
    const int w = 512, h = 512;
    std::vector<GifColorType> colours;
    for (int i = 0; i < 256; ++i) colours.push_back({GifByteType(i), GifByteType(i * 7), GifByteType(i * 13)});
    std::vector<GifByteType> idx(std::size_t(w) * h);
    for (auto& v : idx) v = GifByteType(Noise(state));
    pictures.push_back({"noise_512x512", dir + "/noise.gif"});
    WriteGif(pictures.back().path, w, h, idx, colours, false);
  }
  return pictures;
}

const std::vector<Picture>& Pictures() {
  static const std::vector<Picture> pictures = MakePictures();
  return pictures;
}

void Ours(benchmark::State& state, const std::string& path) {
  std::int64_t pixels = 0;
  for (auto _ : state) {
    Veldaro::BitmapImage image;
    Veldaro::GifDecoder decoder;
    decoder.ReadImageFile(path, image);
    benchmark::DoNotOptimize(image.Pixels());
    pixels = image.PixelCount();
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * pixels);
}

// expand: the palette lookup into BGRA pixels after DGifSlurp.
void Giflib(benchmark::State& state, const std::string& path, bool expand) {
  std::int64_t pixels = 0;
  for (auto _ : state) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
      state.SkipWithError("giflib failed");
      return;
    }
    const SavedImage& image = gif->SavedImages[0];
    const std::size_t n = std::size_t(image.ImageDesc.Width) * image.ImageDesc.Height;
    pixels = std::int64_t(n);
    if (!expand) {
      benchmark::DoNotOptimize(image.RasterBits);
      DGifCloseFile(gif, &error);
      continue;
    }
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    std::uint32_t palette[256] = {};
    for (int i = 0; i < map->ColorCount && i < 256; ++i)
      palette[i] = 0xFF000000u | std::uint32_t(map->Colors[i].Red) << 16 | std::uint32_t(map->Colors[i].Green) << 8 |
                   map->Colors[i].Blue;
    GraphicsControlBlock gcb;
    if (DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK && gcb.TransparentColor >= 0)
      palette[gcb.TransparentColor] &= 0x00FFFFFFu;
    std::vector<std::uint32_t> bgra(n);
    for (std::size_t i = 0; i < n; ++i) bgra[i] = palette[image.RasterBits[i]];
    DGifCloseFile(gif, &error);
    benchmark::DoNotOptimize(bgra.data());
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * pixels);
}

// swap: red and blue exchanged after decoding, to give BGRA.
void Stb(benchmark::State& state, const std::string& path, bool swap) {
  std::size_t n = 0;
  for (auto _ : state) {
    int w = 0, h = 0, channels = 0;
    unsigned char* rgba = stbi_load(path.c_str(), &w, &h, &channels, 4);
    if (rgba == nullptr) {
      state.SkipWithError("stb_image failed");
      return;
    }
    n = std::size_t(w) * h;
    if (swap)
      for (std::size_t i = 0; i < n; ++i) std::swap(rgba[4 * i], rgba[4 * i + 2]);
    benchmark::DoNotOptimize(rgba);
    stbi_image_free(rgba);
  }
  state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(n));
}

const bool registered = [] {
  for (const Picture& p : Pictures()) {
    benchmark::RegisterBenchmark((p.name + "/ours").c_str(), Ours, p.path)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((p.name + "/giflib").c_str(), Giflib, p.path, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((p.name + "/giflib_indexes").c_str(), Giflib, p.path, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((p.name + "/stb").c_str(), Stb, p.path, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((p.name + "/stb_rgba").c_str(), Stb, p.path, false)->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  if (!Pictures().empty())
    std::filesystem::remove_all(std::filesystem::path(Pictures()[0].path).parent_path(), ignored);
  return 0;
}
