// Reading one generated 10 MB project file into a tree: our reader against
// pugixml and libxml2. "Parse" times building the tree only (freeing it is
// paused); "ParseAndFree" times both.
//
// By default the C library gives freed memory back to the system, so every
// iteration also pays for fresh pages. With --warm_heap it keeps it (large
// trim and mmap thresholds), which leaves the libraries' own work.

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <malloc.h>

#include <cstring>
#include <memory>
#include <pugixml.hpp>

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

void BM_Tarnwell_Parse(benchmark::State& state) {
  TmyXMLParser doc;
  doc.LoadFromString(Text().c_str());
  for (auto _ : state) {
    std::unique_ptr<TmyXmlNode> root(doc.Parse());
    if (doc.errorWord != 0 || root->firstChild == nullptr) state.SkipWithError("parse failed");
    state.PauseTiming();
    root.reset();
    state.ResumeTiming();
  }
  SetBytes(state);
}

void BM_Tarnwell_ParseAndFree(benchmark::State& state) {
  TmyXMLParser doc;
  doc.LoadFromString(Text().c_str());
  for (auto _ : state) {
    std::unique_ptr<TmyXmlNode> root(doc.Parse());
    benchmark::DoNotOptimize(root.get());
  }
  SetBytes(state);
}

void BM_Pugixml_Parse(benchmark::State& state) {
  for (auto _ : state) {
    auto doc = std::make_unique<pugi::xml_document>();
    if (!doc->load_buffer(Text().data(), Text().size())) state.SkipWithError("parse failed");
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  SetBytes(state);
}

void BM_Pugixml_ParseAndFree(benchmark::State& state) {
  for (auto _ : state) {
    pugi::xml_document doc;
    if (!doc.load_buffer(Text().data(), Text().size())) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(doc.first_child());
  }
  SetBytes(state);
}

xmlDocPtr ReadLibxml2() {
  return xmlReadMemory(Text().data(), static_cast<int>(Text().size()), "project.xml", nullptr,
                       XML_PARSE_NONET | XML_PARSE_HUGE);
}

void BM_Libxml2_Parse(benchmark::State& state) {
  for (auto _ : state) {
    xmlDocPtr doc = ReadLibxml2();
    if (doc == nullptr) state.SkipWithError("parse failed");
    state.PauseTiming();
    xmlFreeDoc(doc);
    state.ResumeTiming();
  }
  SetBytes(state);
}

void BM_Libxml2_ParseAndFree(benchmark::State& state) {
  for (auto _ : state) {
    xmlDocPtr doc = ReadLibxml2();
    if (doc == nullptr) state.SkipWithError("parse failed");
    xmlFreeDoc(doc);
  }
  SetBytes(state);
}

}  // namespace

BENCHMARK(BM_Tarnwell_Parse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Pugixml_Parse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Libxml2_Parse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Tarnwell_ParseAndFree)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Pugixml_ParseAndFree)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Libxml2_ParseAndFree)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--warm_heap") == 0) {
      mallopt(M_MMAP_THRESHOLD, 32 << 20);
      mallopt(M_TRIM_THRESHOLD, 1 << 30);
      for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
      --argc;
      break;
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
