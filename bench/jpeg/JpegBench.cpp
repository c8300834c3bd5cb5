// JpegDecoder side by side with libjpeg-turbo and stb_image: the same files decoded into
// 32-bit BGRA pixels. The pictures (1920 x 1080, photo-like: shading, edges, texture and a
// little noise) are encoded with libjpeg at start-up and written to temporary files; every
// decoder reads its file anew in every iteration.
//
// libjpeg-turbo runs twice: with its defaults (integer IDCT, smooth upsampling) and with box
// upsampling, the way this decoder upsamples. stb_image gives RGBA, turned into BGRA here.

#include <benchmark/benchmark.h>
#include <jpeglib.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#include <stb_image.h>

#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "imaging/BitmapImage.h"
#include "imaging/JpegDecoder.h"

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;

std::vector<unsigned char> PhotoLike(int components) {
  std::vector<unsigned char> samples(std::size_t(Width) * Height * components);
  unsigned noise = 12345;
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x) {
      double shade = 110 + 60 * std::sin(x / 173.0) * std::cos(y / 97.0);
      double texture = 18 * std::sin(x / 3.1 + y / 5.3) * std::sin(y / 2.7);
      bool inside = ((x / 240) + (y / 180)) % 3 == 0;
      for (int c = 0; c < components; ++c) {
        noise = noise * 1664525u + 1013904223u;
        double v = shade + (inside ? 50 : 0) + c * 25 * std::cos(x / 400.0 + c) +
                   ((x / 60 + y / 45) % 5 == 0 ? texture : texture / 4) + int(noise >> 29) - 4;
        samples[(std::size_t(y) * Width + x) * components + c] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v);
      }
    }
  }
  return samples;
}

std::string Encode(const std::string& name, int components, int quality, int h, bool progressive) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  std::string path = "/tmp/bench_jpeg_" + std::to_string(getpid()) + "_" + name + ".jpg";
  FILE* file = std::fopen(path.c_str(), "wb");
  jpeg_stdio_dest(&info, file);
  info.image_width = Width;
  info.image_height = Height;
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (components == 3) {
    info.comp_info[0].h_samp_factor = h;
    info.comp_info[0].v_samp_factor = h;
  }
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  static std::map<int, std::vector<unsigned char>> pictures;
  if (!pictures.count(components)) pictures[components] = PhotoLike(components);
  const std::vector<unsigned char>& samples = pictures[components];
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + std::size_t(info.next_scanline) * Width * components);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
  return path;
}

struct Files {
  std::map<std::string, std::string> paths;
  Files() {
    paths["420_q85"] = Encode("420_q85", 3, 85, 2, false);
    paths["444_q92"] = Encode("444_q92", 3, 92, 1, false);
    paths["gray_q85"] = Encode("gray_q85", 1, 85, 1, false);
    paths["420_q85_progressive"] = Encode("420_q85_progressive", 3, 85, 2, true);
  }
  ~Files() {
    for (auto& [name, path] : paths) std::remove(path.c_str());
  }
};

const std::string& PathOf(const std::string& name) {
  static Files files;
  return files.paths.at(name);
}

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Ours(benchmark::State& state, const std::string& name) {
  const std::string& path = PathOf(name);
  for (auto _ : state) {
    Veldaro::BitmapImage image;
    Veldaro::JpegDecoder decoder;
    decoder.ReadImageFile(path, image);
    benchmark::DoNotOptimize(image.Pixels());
  }
  state.SetItemsProcessed(state.iterations() * Width * Height);
}

void Libjpeg(benchmark::State& state, const std::string& name, bool fancy) {
  const std::string& path = PathOf(name);
  std::vector<unsigned char> pixels(std::size_t(Width) * Height * 4);
  for (auto _ : state) {
    std::vector<unsigned char> bytes = ReadAll(path);
    jpeg_decompress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), bytes.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRA;
    info.dct_method = JDCT_ISLOW;
    info.do_fancy_upsampling = fancy ? TRUE : FALSE;
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = pixels.data() + std::size_t(info.output_scanline) * Width * 4;
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * Width * Height);
}

void Stb(benchmark::State& state, const std::string& name) {
  const std::string& path = PathOf(name);
  for (auto _ : state) {
    std::vector<unsigned char> bytes = ReadAll(path);
    int w = 0, h = 0, n = 0;
    unsigned char* rgba = stbi_load_from_memory(bytes.data(), int(bytes.size()), &w, &h, &n, 4);
    for (std::size_t i = 0; i < std::size_t(w) * h; ++i) std::swap(rgba[4 * i], rgba[4 * i + 2]);
    benchmark::DoNotOptimize(rgba);
    stbi_image_free(rgba);
  }
  state.SetItemsProcessed(state.iterations() * Width * Height);
}

void Register() {
  for (const char* name : {"420_q85", "444_q92", "gray_q85", "420_q85_progressive"}) {
    std::string n = name;
    benchmark::RegisterBenchmark(("Ours/" + n).c_str(), [n](benchmark::State& s) {
      Ours(s, n);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("LibjpegTurbo/" + n).c_str(), [n](benchmark::State& s) {
      Libjpeg(s, n, true);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("LibjpegTurboBox/" + n).c_str(), [n](benchmark::State& s) {
      Libjpeg(s, n, false);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("StbImage/" + n).c_str(), [n](benchmark::State& s) {
      Stb(s, n);
    })->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
