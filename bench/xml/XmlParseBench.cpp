// Reading one generated project file of 10 MB (10,485,760 bytes and a few
// more, see ProjectText.h) into a tree: our reader against pugixml and libxml2.
//
// Like for like: every side reads from the same text, prepared in memory
// outside the timed loop, and makes its own copy of it inside the parse (ours
// copies the text into the tree's arena, pugixml's load_buffer copies it into
// its document, libxml2 copies what it keeps). pugixml keeps comments,
// processing instructions and the declaration, as ours does.
//
//   project_10MB/parse/IMPL           the parse alone (manual timing; the
//                                     tree is freed outside the timed part)
//   project_10MB/parse_and_free/IMPL  parse and free, timed together
//   project_10MB/parse_and_free_fresh_pages/IMPL
//                                     the same, with the C library's free memory
//                                     given back to the system before each
//                                     iteration (outside the timed part), so
//                                     that both sides pay for fresh pages; ours
//                                     still keeps its arena's block cache
//
// The heap keeps its memory otherwise (large trim and mmap thresholds set in
// main): page faults of the per-iteration allocations would otherwise
// dominate both sides and vary from run to run. Each run parses once before
// it measures (the heap grows and our block cache fills there, not in a
// measured iteration), and the repetitions of all benchmarks run interleaved in random
// order unless the command line says otherwise: the machine's speed drifts
// with the load of its other cores, and a drift then falls on every side
// alike instead of on whichever benchmark ran during it.

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <malloc.h>

#include <chrono>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "bench/xml/ProjectText.h"
#include "core/XmlDocument.h"

namespace {

const std::string& Text() {
  static const std::string text = MakeProjectText(10u << 20);
  return text;
}

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(Text().size()));
}

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

// How one side parses and frees; each Parse returns an owner that frees on reset.
struct Ours {
  TmyXMLParser doc;
  Ours() { doc.LoadFromString(Text().c_str()); }
  std::unique_ptr<TmyXmlNode> Parse(benchmark::State& state) {
    std::unique_ptr<TmyXmlNode> root(doc.Parse());
    if (doc.errorWord != 0 || root->firstChild == nullptr) state.SkipWithError("parse failed");
    return root;
  }
};

struct Pugixml {
  static constexpr unsigned kOptions =
      pugi::parse_default | pugi::parse_comments | pugi::parse_pi | pugi::parse_declaration;
  std::unique_ptr<pugi::xml_document> Parse(benchmark::State& state) {
    auto doc = std::make_unique<pugi::xml_document>();
    if (!doc->load_buffer(Text().data(), Text().size(), kOptions)) state.SkipWithError("parse failed");
    return doc;
  }
};

struct Libxml2 {
  struct Free {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
  };
  std::unique_ptr<xmlDoc, Free> Parse(benchmark::State& state) {
    std::unique_ptr<xmlDoc, Free> doc(xmlReadMemory(Text().data(), static_cast<int>(Text().size()), "project.xml",
                                                    nullptr, XML_PARSE_NONET | XML_PARSE_HUGE));
    if (doc == nullptr) state.SkipWithError("parse failed");
    return doc;
  }
};

template <typename Impl>
void ParseOnly(benchmark::State& state) {
  Impl impl;
  impl.Parse(state);  // warm-up
  for (auto _ : state) {
    const auto start = Clock::now();
    auto tree = impl.Parse(state);
    const auto stop = Clock::now();
    benchmark::DoNotOptimize(tree.get());
    tree.reset();
    state.SetIterationTime(Seconds(start, stop));
  }
  SetBytes(state);
}

template <typename Impl, bool kFreshPages>
void ParseAndFree(benchmark::State& state) {
  Impl impl;
  impl.Parse(state);  // warm-up
  for (auto _ : state) {
    if (kFreshPages) malloc_trim(0);
    const auto start = Clock::now();
    auto tree = impl.Parse(state);
    benchmark::DoNotOptimize(tree.get());
    tree.reset();
    const auto stop = Clock::now();
    state.SetIterationTime(Seconds(start, stop));
  }
  SetBytes(state);
}

void Register(const char* aCase, const char* aImpl, void (*aRun)(benchmark::State&)) {
  benchmark::RegisterBenchmark((std::string(aCase) + "/" + aImpl).c_str(), aRun)
      ->Unit(benchmark::kMillisecond)
      ->UseManualTime();
}

}  // namespace

int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  // Side by side: each case for every library.
  Register("project_10MB/parse", "ours", ParseOnly<Ours>);
  Register("project_10MB/parse", "pugixml", ParseOnly<Pugixml>);
  Register("project_10MB/parse", "libxml2", ParseOnly<Libxml2>);
  Register("project_10MB/parse_and_free", "ours", ParseAndFree<Ours, false>);
  Register("project_10MB/parse_and_free", "pugixml", ParseAndFree<Pugixml, false>);
  Register("project_10MB/parse_and_free", "libxml2", ParseAndFree<Libxml2, false>);
  Register("project_10MB/parse_and_free_fresh_pages", "ours", ParseAndFree<Ours, true>);
  Register("project_10MB/parse_and_free_fresh_pages", "pugixml", ParseAndFree<Pugixml, true>);
  Register("project_10MB/parse_and_free_fresh_pages", "libxml2", ParseAndFree<Libxml2, true>);
  std::vector<char*> args(argv, argv + argc);
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  bool chosen = false;
  for (int i = 1; i < argc; ++i) chosen = chosen || std::string_view(argv[i]).starts_with("--benchmark_enable_random");
  if (!chosen) args.insert(args.begin() + 1, interleave);
  argc = static_cast<int>(args.size());
  argv = args.data();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
