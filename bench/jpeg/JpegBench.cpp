// JpegDecoder side by side with libjpeg-turbo and stb_image: the same files decoded into
// 32-bit BGRA pixels of the whole image. The pictures (photo-like: shading, edges, texture and
// a little noise) are encoded with libjpeg before their first benchmark and written to
// temporary files.
//
// Every decoder reads its file anew in every iteration, through the C library's buffered
// file reading or a buffer of its own (none reads the file ahead into memory), and every
// decoder allocates its output in the timed loop: this decoder its BitmapImage,
// libjpeg-turbo one BGRA buffer of the whole image (decoded straight into it with
// JCS_EXT_BGRA, row by row), stb_image its own RGBA buffer.
//
// Names are CASE/IMPL. CASE: photo_<sampling>_q<quality>[_progressive]_<width>x<height>.
// IMPL: ours; libjpeg-turbo (its defaults: integer IDCT, smooth upsampling);
// libjpeg-turbo_box (box upsampling, the way this decoder upsamples); stb (stb_image's RGBA
// as it comes); stb_swap (stb_image and the swap of red and blue that gives BGRA).
//
// The counter peak_bytes of every benchmark is the largest number of heap bytes in use
// during one decode (output included, above what was in use before it), counted by
// HeapPeak, which replaces malloc and its kin in this program, so that both libraries are
// counted alike. The 4000 x 3000 cases are there for it.

#include <benchmark/benchmark.h>
#include <jpeglib.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#include <stb_image.h>

#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "HeapPeak.h"
#include "imaging/BitmapImage.h"
#include "imaging/JpegDecoder.h"

namespace {

struct Case {
  std::string name;  // the CASE part of the benchmark names
  int width;
  int height;
  int components;
  int quality;
  int h;  // luma sampling factor (both directions)
  bool progressive;
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"photo_420_q85_1920x1080", 1920, 1080, 3, 85, 2, false},
      {"photo_444_q92_1920x1080", 1920, 1080, 3, 92, 1, false},
      {"photo_gray_q85_1920x1080", 1920, 1080, 1, 85, 1, false},
      {"photo_420_q85_progressive_1920x1080", 1920, 1080, 3, 85, 2, true},
      {"photo_420_q85_4000x3000", 4000, 3000, 3, 85, 2, false},
      {"photo_420_q85_progressive_4000x3000", 4000, 3000, 3, 85, 2, true},
  };
  return cases;
}

std::vector<unsigned char> PhotoLike(int width, int height, int components) {
  std::vector<unsigned char> samples(std::size_t(width) * height * components);
  unsigned noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      double shade = 110 + 60 * std::sin(x / 173.0) * std::cos(y / 97.0);
      double texture = 18 * std::sin(x / 3.1 + y / 5.3) * std::sin(y / 2.7);
      bool inside = ((x / 240) + (y / 180)) % 3 == 0;
      for (int c = 0; c < components; ++c) {
        noise = noise * 1664525u + 1013904223u;
        double v = shade + (inside ? 50 : 0) + c * 25 * std::cos(x / 400.0 + c) +
                   ((x / 60 + y / 45) % 5 == 0 ? texture : texture / 4) + int(noise >> 29) - 4;
        samples[(std::size_t(y) * width + x) * components + c] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v);
      }
    }
  }
  return samples;
}

std::string Encode(const Case& c) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  std::string path = "/tmp/bench_jpeg_" + std::to_string(getpid()) + "_" + c.name + ".jpg";
  FILE* file = std::fopen(path.c_str(), "wb");
  jpeg_stdio_dest(&info, file);
  info.image_width = c.width;
  info.image_height = c.height;
  info.input_components = c.components;
  info.in_color_space = c.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, c.quality, TRUE);
  if (c.components == 3) {
    info.comp_info[0].h_samp_factor = c.h;
    info.comp_info[0].v_samp_factor = c.h;
  }
  if (c.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  const std::vector<unsigned char> samples = PhotoLike(c.width, c.height, c.components);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + std::size_t(info.next_scanline) * c.width * c.components);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
  return path;
}

// The files, made on first use and removed at the end of the program.
struct Files {
  std::map<std::string, std::string> paths;
  ~Files() {
    for (auto& [name, path] : paths) std::remove(path.c_str());
  }
};

const std::string& PathOf(const Case& c) {
  static Files files;
  auto found = files.paths.find(c.name);
  if (found == files.paths.end()) found = files.paths.emplace(c.name, Encode(c)).first;
  return found->second;
}

// Runs decode once per iteration and reports the pixels and the largest peak of one decode.
template <typename Decode>
void Run(benchmark::State& state, const Case& c, Decode decode) {
  const std::string& path = PathOf(c);
  std::size_t peak = 0;
  for (auto _ : state) {
    HeapPeak::Reset();
    decode(path);
    peak = std::max(peak, HeapPeak::PeakSinceReset());
  }
  state.SetItemsProcessed(state.iterations() * c.width * c.height);
  state.counters["peak_bytes"] = benchmark::Counter(double(peak));
}

void Ours(const std::string& path) {
  Veldaro::BitmapImage image;
  Veldaro::JpegDecoder decoder;
  decoder.ReadImageFile(path, image);
  benchmark::DoNotOptimize(image.Pixels());
}

void Libjpeg(const std::string& path, bool fancy) {
  FILE* file = std::fopen(path.c_str(), "rb");
  jpeg_decompress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGRA;
  info.dct_method = JDCT_ISLOW;
  info.do_fancy_upsampling = fancy ? TRUE : FALSE;
  jpeg_start_decompress(&info);
  const std::size_t stride = std::size_t(info.output_width) * 4;
  std::unique_ptr<unsigned char[]> pixels(new unsigned char[stride * info.output_height]);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = pixels.get() + std::size_t(info.output_scanline) * stride;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  benchmark::DoNotOptimize(pixels.get());
}

void Stb(const std::string& path, bool swap) {
  int w = 0, h = 0, n = 0;
  unsigned char* rgba = stbi_load(path.c_str(), &w, &h, &n, 4);
  if (swap) {
    for (std::size_t i = 0; i < std::size_t(w) * h; ++i) std::swap(rgba[4 * i], rgba[4 * i + 2]);
  }
  benchmark::DoNotOptimize(rgba);
  stbi_image_free(rgba);
}

void Register() {
  for (const Case& c : Cases()) {
    auto add = [&c](const std::string& impl, void (*decode)(const std::string&)) {
      benchmark::RegisterBenchmark((c.name + "/" + impl).c_str(), [&c, decode](benchmark::State& state) {
        Run(state, c, decode);
      })->Unit(benchmark::kMillisecond);
    };
    add("ours", Ours);
    add("libjpeg-turbo", [](const std::string& path) { Libjpeg(path, true); });
    add("libjpeg-turbo_box", [](const std::string& path) { Libjpeg(path, false); });
    add("stb", [](const std::string& path) { Stb(path, false); });
    add("stb_swap", [](const std::string& path) { Stb(path, true); });
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
