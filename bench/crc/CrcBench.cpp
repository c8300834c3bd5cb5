// Crc32 side by side with zlib's crc32 on blocks of 4 KB, 64 KB and 16 MB of random
// bytes (cases block_4KB, block_64KB, block_16MB). Besides the public Crc32 ("ours",
// which picks the fastest inner loop of the processor) the table-driven loop runs alone
// ("ours_sliced"), as it does on processors without carry-less multiplication.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/Crc.h"

namespace {

// 16 MB of random bytes; every block size reads from its start.
const unsigned char* Data() {
  static std::vector<unsigned char> data = [] {
    std::vector<unsigned char> d(16u << 20);
    std::mt19937 rng(20240501);
    for (auto& b : d) b = static_cast<unsigned char>(rng());
    return d;
  }();
  return data.data();
}

void Finish(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_Crc32(benchmark::State& state) {
  const auto size = static_cast<std::uint32_t>(state.range(0));
  const unsigned char* p = Data();
  for (auto _ : state) benchmark::DoNotOptimize(Crc32::Of(p, size));
  Finish(state);
}

void BM_Crc32Sliced(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const unsigned char* p = Data();
  for (auto _ : state) benchmark::DoNotOptimize(Crc32Kernels::UpdateSliced(0xFFFFFFFFu, p, size));
  Finish(state);
}

void BM_ZlibCrc32(benchmark::State& state) {
  const auto size = static_cast<uInt>(state.range(0));
  const unsigned char* p = Data();
  for (auto _ : state) benchmark::DoNotOptimize(crc32(0, p, size));
  Finish(state);
}

}  // namespace

int main(int argc, char** argv) {
  const struct {
    const char* name;
    std::int64_t size;
  } sizes[] = {{"block_4KB", 4 << 10}, {"block_64KB", 64 << 10}, {"block_16MB", 16 << 20}};
  for (const auto& size : sizes) {
    const std::string name = size.name;
    benchmark::RegisterBenchmark((name + "/ours").c_str(), BM_Crc32)->Arg(size.size);
    benchmark::RegisterBenchmark((name + "/ours_sliced").c_str(), BM_Crc32Sliced)->Arg(size.size);
    benchmark::RegisterBenchmark((name + "/zlib").c_str(), BM_ZlibCrc32)->Arg(size.size);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
