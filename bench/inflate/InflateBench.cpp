// zlib stream decoding side by side: ours, zlib and libdeflate, on the same compressed data.
//
// zlib and libdeflate decode the whole stream in one call into one output buffer, their
// fastest way. Ours is measured as the PNG decoder uses it, with requests of one image row
// (5,761 bytes) at a time, with requests of 64 KB, and with one request for the whole output
// (like for like with the others). Every side writes into an output buffer made before the
// timed loop and reuses its decoder state.
//
// Data: the filtered rows of a 1920 x 1080 RGB photo-like picture (6.2 MB, what a PNG's image
// data holds), the source text of the tree repeated to 4 MB, 4 MB of runs with short and long
// periods, and 4 MB of random bytes (stored blocks); each compressed by zlib at levels 1, 6
// and 9.

#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "imaging/InflateDecoder.h"
#include "imaging/InflateInputStream.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes PhotoRows() {
  // 1920 x 1080 RGB rows with the Sub filter, as a PNG encoder leaves smooth pictures.
  std::mt19937 rng(11);
  const std::size_t width = 1920, height = 1080;
  Bytes d;
  d.reserve((width * 3 + 1) * height);
  std::vector<int> previous(width * 3, 0);
  for (std::size_t y = 0; y < height; ++y) {
    d.push_back(1);
    int left[3] = {0, 0, 0};
    for (std::size_t x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) {
        double v = 128 + 60 * std::sin(x * 0.011 + c * 1.7) * std::cos(y * 0.017 - c) +
                   38 * std::sin((x + 2.0 * y) * 0.031 + c);
        int s = std::clamp(int(v) + int(rng() % 7) - 3, 0, 255);
        d.push_back(std::uint8_t(s - left[c]));
        left[c] = s;
      }
  }
  return d;
}

Bytes SourceText() {
  Bytes d;
  for (const char* dir : {"/imaging", "/core", "/tests/imaging/png"})
    for (const auto& e : std::filesystem::directory_iterator(std::string(TARNWELL_SOURCE_DIR) + dir)) {
      if (!e.is_regular_file()) continue;  // the folders of test data
      std::ifstream in(e.path(), std::ios::binary);
      d.insert(d.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  Bytes text;
  while (text.size() < 4000000) text.insert(text.end(), d.begin(), d.end());  // ~4 MB
  return text;
}

Bytes Runs() {
  std::mt19937 rng(5);
  Bytes d;
  while (d.size() < 4000000) {
    std::size_t period = rng() % 3 == 0 ? 1 + rng() % 30000 : 1 + rng() % 8;
    if (d.size() < period) {
      d.push_back(std::uint8_t(rng()));
      continue;
    }
    for (std::size_t i = 3 + rng() % 300; i > 0; --i) d.push_back(d[d.size() - period]);
    for (int i = rng() % 8; i > 0; --i) d.push_back(std::uint8_t(rng()));
  }
  return d;
}

Bytes RandomBytes() {
  std::mt19937 rng(9);
  Bytes d(4000000);
  for (auto& b : d) b = std::uint8_t(rng());
  return d;
}

Bytes Compress(const Bytes& in, int level) {
  uLongf n = compressBound(uLong(in.size()));
  Bytes out(n);
  compress2(out.data(), &n, in.data(), uLong(in.size()), level);
  out.resize(n);
  return out;
}

// The compressed data as one buffer, handed over without a copy.
class ViewStream : public Veldaro::InflateInputStream {
 public:
  explicit ViewStream(const Bytes& bytes) : bytes(bytes) {}
  void FillBuffer() override {
    if (given) {
      current = end = nullptr;
      return;
    }
    given = true;
    current = const_cast<std::uint8_t*>(bytes.data());
    end = current + bytes.size();
  }
  bool EndReached() override { return given; }

 private:
  const Bytes& bytes;
  bool given = false;
};

struct Case {
  std::string name;
  Bytes raw;
  Bytes compressed;
};

// Ours with requests of the given size. Like libdeflate's decompressor, the decoder (and its
// window) is made once and reused for every stream; the output buffer is made once on every side.
void Ours(benchmark::State& state, const Case* c, std::uint32_t request) {
  Bytes out(c->raw.size());
  Veldaro::InflateDecoder decoder;
  for (auto _ : state) {
    ViewStream stream(c->compressed);
    decoder.OpenStream(stream);
    std::size_t done = 0;
    while (decoder.NotFinished() && done < out.size()) {
      std::uint32_t n = std::uint32_t(std::min<std::size_t>(request, out.size() - done));
      done += decoder.Decode(stream, n, out.data() + done);
    }
    benchmark::DoNotOptimize(out.data());
  }
  if (out != c->raw) state.SkipWithError("wrong output");
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(c->raw.size()));
}

void Zlib(benchmark::State& state, const Case* c) {
  Bytes out(c->raw.size());
  for (auto _ : state) {
    uLongf n = uLongf(out.size());
    uncompress(out.data(), &n, c->compressed.data(), uLong(c->compressed.size()));
    benchmark::DoNotOptimize(out.data());
  }
  if (out != c->raw) state.SkipWithError("wrong output");
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(c->raw.size()));
}

void Libdeflate(benchmark::State& state, const Case* c) {
  Bytes out(c->raw.size());
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  for (auto _ : state) {
    std::size_t n = 0;
    libdeflate_zlib_decompress(d, c->compressed.data(), c->compressed.size(), out.data(), out.size(), &n);
    benchmark::DoNotOptimize(out.data());
  }
  libdeflate_free_decompressor(d);
  if (out != c->raw) state.SkipWithError("wrong output");
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(c->raw.size()));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  static std::vector<Case> cases;
  struct Source {
    const char* name;
    Bytes (*make)();
  };
  const Source sources[] = {{"photo_rows", PhotoRows}, {"text", SourceText}, {"runs", Runs}, {"random", RandomBytes}};
  for (const auto& s : sources) {
    Bytes raw = s.make();
    for (int level : {1, 6, 9})
      cases.push_back({std::string(s.name) + "_level" + std::to_string(level), raw, Compress(raw, level)});
  }
  for (const Case& c : cases) {
    benchmark::RegisterBenchmark((c.name + "/ours_rows").c_str(), Ours, &c, 5761u)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((c.name + "/ours_64k").c_str(), Ours, &c, 65536u)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((c.name + "/ours_whole").c_str(), Ours, &c, std::uint32_t(c.raw.size()))
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((c.name + "/zlib").c_str(), Zlib, &c)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((c.name + "/libdeflate").c_str(), Libdeflate, &c)->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
