// The save-and-compile command on generated projects (the six object kinds
// the generator writes: labels, blocks, pictures, frames, cameras and string
// pictures, bound to host variables) against writing the same output tree,
// and against the least any save-and-compile does: pugixml saving the same
// project and the same output tree written.

#include <benchmark/benchmark.h>

#include <pugixml.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/common/GeneratedProject.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "generator/CompileParts.h"
#include "generator/ProjectSettings.h"
#include "generator/SaveAndCompile.h"
#include "grid/GlobalWebData.h"
#include "grid/PlaceholderResolver.h"
#include "platform/win/Resources.h"
#include "tests/support/FakeCompileHost.h"

namespace {

namespace fs = std::filesystem;

using benchproject::kVariables;
using benchproject::ProjectText;

class CompileRun {
 public:
  CompileRun(int pages, int objects) : folder_(fs::temp_directory_path() / ("bench-compile-" + std::to_string(pages))) {
    LoadDefaultUiTable(HInstance);
    for (int i = 0; i < kVariables; ++i) host_.Declare("V" + std::to_string(i), "INT", 8, 3, 9, 2 * i);
    host_.cpmCode = 11;
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "Tarnwell");
    text_ = ProjectText(pages, objects);
  }
  ~CompileRun() { fs::remove_all(folder_); }
  CompileRun(const CompileRun&) = delete;
  CompileRun& operator=(const CompileRun&) = delete;

  // One compile; false when it failed. A fresh compile writes into an empty output tree:
  // the previous output and its stamp list are deleted first. A compile over the previous
  // output finds them, as a user's second compile does, and deletes the files the stamp
  // list names itself. With a state, only the compile itself is timed: the project is
  // parsed and freed again (in the designer it stays open), and a fresh compile's previous
  // output deleted, with the clock stopped.
  bool Run(benchmark::State* timer = nullptr, bool overPrevious = false) {
    if (timer) timer->PauseTiming();
    if (!overPrevious) {
      Clear(folder_ / "SendRoot");
      fs::remove(StampList());
    }
    // Each run starts from an empty message list, as a compile from the designer
    // does (it resets the host's messages first); kept, the messages of every
    // earlier run piled up in this process and slowed the later runs.
    host_.messages.clear();
    auto reader = std::make_unique<TmyXMLParser>();
    reader->LoadFromString(text_.c_str());
    std::unique_ptr<TmyXmlNode> root(reader->Parse());
    if (timer) timer->ResumeTiming();
    TProjectSettings settings;
    TGridGlobalWebData webData;
    TPlaceholderResolver resolver(&webData);
    TCompileProject project;
    project.root = root.get();
    project.web = root->FindChild("web", {}, true);
    project.settings = &settings;
    project.webData = &webData;
    project.resolver = &resolver;
    project.projectDir = folder_.string() + "\\";
    project.projectName = "BENCH";
    TCompileState state;
    state.compileForHost = true;  // no window, no modal end
    TGeneratorCompileParts parts;
    TSaveAndCompileSetup setup{project, state, host_, parts, kFormatCodeCurrent, {}, {}, {}, {}};
    const bool compiled = TSaveAndCompile(setup).Run().outcome == TCompileOutcome::kCompiled;
    if (timer) timer->PauseTiming();
    root.reset();
    reader.reset();
    if (timer) timer->ResumeTiming();
    return compiled;
  }
  fs::path Output() const { return folder_ / "SendRoot"; }
  fs::path StampList() const { return folder_ / "Tarnwell" / "BENCH.txt"; }
  const std::string& Project() const { return text_; }

  // Deletes an earlier output tree; the callers stop the clock around it. Where the trees
  // lie matters: on ext4 without a journal (this machine's disk) each new inode costs a pass
  // over the inodes freed in the last minutes, by any process, which would measure the
  // deletions rather than the writes, so bench/refresh.sh writes these trees in memory.
  static void Clear(const fs::path& tree) { fs::remove_all(tree); }

 private:
  fs::path folder_;
  FakeCompileHost host_;
  std::string text_;
};

struct TreeFile {
  fs::path relative;
  std::string bytes;
};

std::vector<TreeFile> ReadTree(const fs::path& folder) {
  std::vector<TreeFile> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files.push_back({fs::relative(entry.path(), folder), bytes.str()});
  }
  return files;
}

// One run a size for the whole program: its project is made once, however the repetitions
// of the cases are interleaved.
CompileRun& RunOf(const benchmark::State& state) {
  static std::map<int, std::unique_ptr<CompileRun>> runs;
  const int pages = static_cast<int>(state.range(0));
  std::unique_ptr<CompileRun>& run = runs[pages];
  if (!run) run = std::make_unique<CompileRun>(pages, static_cast<int>(state.range(1)));
  return *run;
}

// The files of one compile's output tree, read once a size.
const std::vector<TreeFile>& TreeOf(CompileRun& run, benchmark::State& state) {
  static std::map<const CompileRun*, std::vector<TreeFile>> trees;
  auto found = trees.find(&run);
  if (found != trees.end()) return found->second;
  if (!run.Run()) state.SkipWithError("the compile failed");
  return trees[&run] = ReadTree(run.Output());
}

void BM_Compile(benchmark::State& state) {
  CompileRun& run = RunOf(state);
  for (auto _ : state)
    if (!run.Run(&state)) state.SkipWithError("the compile failed");
  state.counters["pages"] = static_cast<double>(state.range(0));
}

// The save-and-compile over the output and stamp list of the compile before, as a user's
// second compile: the previous files are deleted and the stamp list merged inside the
// timed loop.
void BM_Recompile(benchmark::State& state) {
  CompileRun& run = RunOf(state);
  if (!fs::exists(run.StampList()) && !run.Run()) state.SkipWithError("the first compile failed");
  for (auto _ : state)
    if (!run.Run(&state, true)) state.SkipWithError("the compile failed");
  state.counters["pages"] = static_cast<double>(state.range(0));
}

// The same tree's files written in process into a fresh folder.
void BM_WriteSameTree(benchmark::State& state) {
  CompileRun& run = RunOf(state);
  const std::vector<TreeFile>& files = TreeOf(run, state);
  const fs::path target = run.Output().parent_path() / "copy";
  for (auto _ : state) {
    state.PauseTiming();
    CompileRun::Clear(target);
    state.ResumeTiming();
    for (const TreeFile& file : files) {
      fs::create_directories((target / file.relative).parent_path());
      std::ofstream(target / file.relative, std::ios::binary) << file.bytes;
    }
  }
  double bytes = 0;
  for (const TreeFile& file : files) bytes += static_cast<double>(file.bytes.size());
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["MB"] = bytes / 1e6;
}

// The project saved by pugixml (parsed with the clock stopped) and the same tree's
// files written, as the compile's save and output are: the work of the command
// without any of its own.
void BM_SaveAndWriteSameTree(benchmark::State& state) {
  CompileRun& run = RunOf(state);
  const std::vector<TreeFile>& files = TreeOf(run, state);
  const fs::path target = run.Output().parent_path() / "saved";
  pugi::xml_document project;
  if (!project.load_string(run.Project().c_str())) state.SkipWithError("pugixml cannot read the project");
  for (auto _ : state) {
    state.PauseTiming();
    CompileRun::Clear(target);
    fs::create_directories(target);
    state.ResumeTiming();
    if (!project.save_file((target / "BENCH.xml").c_str())) state.SkipWithError("pugixml cannot save the project");
    for (const TreeFile& file : files) {
      fs::create_directories((target / "SendRoot" / file.relative).parent_path());
      std::ofstream(target / "SendRoot" / file.relative, std::ios::binary) << file.bytes;
    }
  }
}

// The same tree copied with tar into a fresh folder.
void BM_TarSameTree(benchmark::State& state) {
  CompileRun& run = RunOf(state);
  TreeOf(run, state);
  const fs::path source = run.Output().parent_path() / "tar-source";
  if (!fs::exists(source)) fs::copy(run.Output(), source, fs::copy_options::recursive);
  const fs::path target = run.Output().parent_path() / "tar";
  const std::string command = "mkdir -p '" + target.string() + "' && tar -cf - -C '" + source.string() +
                              "' . | tar -xf - -C '" + target.string() + "'";
  for (auto _ : state) {
    state.PauseTiming();
    CompileRun::Clear(target);
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) state.SkipWithError("tar failed");
  }
}

}  // namespace

// Cases project_PAGESp_OBJECTSo: "ours" compiles the generated project into an empty
// output tree, "recompile" compiles it again over the previous output, "write_tree" writes
// the same output tree in process, "save_and_write_tree" also saves the project with
// pugixml first, and "tar_tree" copies the tree with tar, the cost of the files alone.
// 500 pages with 20,000 objects, and the growth at 100 and 2,000 pages with 40 objects a
// page (every stylesheet lists every page in its menu, so the tree itself grows faster
// than the page count).
int main(int argc, char** argv) {
  const struct {
    int pages;
    int objects;
    bool tar;
  } sizes[] = {{100, 4000, false}, {500, 20000, true}, {2000, 80000, false}};
  for (const auto& size : sizes) {
    const std::string name = "project_" + std::to_string(size.pages) + "p_" + std::to_string(size.objects) + "o";
    const auto add = [&](const std::string& impl, void (*function)(benchmark::State&)) {
      benchmark::RegisterBenchmark((name + "/" + impl).c_str(), function)
          ->Args({size.pages, size.objects})
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    };
    add("ours", BM_Compile);
    add("recompile", BM_Recompile);
    add("write_tree", BM_WriteSameTree);
    add("save_and_write_tree", BM_SaveAndWriteSameTree);
    if (size.tar) add("tar_tree", BM_TarSameTree);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
