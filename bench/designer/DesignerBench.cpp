// Opening a web project in the designer window and saving it, the waits a
// user has most often, against pugixml reading and writing the same file.
//
//   project_Pp_Oo/load/ours      the window shown on the project (the file
//                                read into the document with every page's
//                                objects, the repairs, the page tree, the
//                                first page's objects on the surface); the
//                                window is made before and freed after the
//                                timed part
//   project_Pp_Oo/load/pugixml   pugixml's load_file of the same file
//   project_Pp_Oo/save/ours      the Save button on the loaded project marked
//                                modified: the document written beside the
//                                project file and flushed to the disk, the
//                                backup step, the rename, the settings file's
//                                save time
//   project_Pp_Oo/save/pugixml   pugixml's save_file of its document, raw (the
//                                same bytes), neither flushed nor renamed
//   project_Pp_Oo/save/pugixml_durable
//                                the same written to a temporary file that is
//                                flushed to the disk and renamed over the file,
//                                as a save that cannot lose the old file must
//   project_Pp_Oo/load_and_save/IMPL  both, one after the other
//
// The project is the compile benchmark's: 100, 500 and 2,000 pages with 40
// objects a page, in one file, in a project folder below the temporary folder,
// saved three times by the designer before anything is measured (its backup
// files are there and as big as the file, as in a project worked on).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <pugixml.hpp>
#include <string>

#include "bench/common/DesignerProject.h"
#include "bench/common/GeneratedProject.h"

namespace {

namespace fs = std::filesystem;

constexpr int kObjectsPerPage = 40;

// The generated project, saved three times by the designer: a project worked
// on before, its backups there.
class ProjectFolder : public benchproject::DesignerProject {
 public:
  explicit ProjectFolder(int pages)
      : DesignerProject("bench-designer-" + std::to_string(pages),
                        benchproject::ProjectText(pages, pages * kObjectsPerPage)) {
    std::unique_ptr<TFormDesign1> designer = MakeDesigner();
    designer->Show();
    for (int i = 0; i < 3; ++i) {
      designer->Document().SetModified(true);
      designer->btnSave2Click(nullptr);
    }
  }
};

bool Loaded(TFormDesign1& designer) { return designer.CurrentPage() != nullptr; }

bool Save(TFormDesign1& designer) {
  designer.Document().SetModified(true);
  designer.btnSave2Click(nullptr);
  return !designer.Document().Modified();
}

void BM_Load(benchmark::State& state) {
  ProjectFolder project(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TFormDesign1> designer = project.MakeDesigner();
    state.ResumeTiming();
    designer->Show();
    state.PauseTiming();
    if (!Loaded(*designer)) state.SkipWithError("the project was not loaded");
    designer.reset();
    state.ResumeTiming();
  }
}

void BM_Save(benchmark::State& state) {
  ProjectFolder project(static_cast<int>(state.range(0)));
  std::unique_ptr<TFormDesign1> designer = project.MakeDesigner();
  designer->Show();
  if (!Loaded(*designer)) state.SkipWithError("the project was not loaded");
  for (auto _ : state)
    if (!Save(*designer)) state.SkipWithError("the project was not saved");
}

void BM_LoadAndSave(benchmark::State& state) {
  ProjectFolder project(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TFormDesign1> designer = project.MakeDesigner();
    state.ResumeTiming();
    designer->Show();
    if (!Save(*designer)) state.SkipWithError("the project was not saved");
    state.PauseTiming();
    designer.reset();
    state.ResumeTiming();
  }
}

bool PugiLoad(pugi::xml_document& document, const fs::path& file) {
  return static_cast<bool>(document.load_file(file.c_str(), pugi::parse_full));
}

bool PugiSave(const pugi::xml_document& document, const fs::path& file) {
  return document.save_file(file.c_str(), "", pugi::format_raw);
}

// Written into a temporary file beside, flushed to the disk, renamed over.
bool PugiSaveDurable(const pugi::xml_document& document, const fs::path& file) {
  const std::string staged = file.string() + ".new";
  if (!document.save_file(staged.c_str(), "", pugi::format_raw)) return false;
  const int fd = ::open(staged.c_str(), O_RDONLY | O_CLOEXEC);
  const bool flushed = fd >= 0 && ::fsync(fd) == 0;
  if (fd >= 0) ::close(fd);
  return flushed && std::rename(staged.c_str(), file.c_str()) == 0;
}

void BM_PugiLoad(benchmark::State& state) {
  ProjectFolder project(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document document;
    if (!PugiLoad(document, project.File())) state.SkipWithError("pugixml could not read the file");
  }
}

template <bool (*kSave)(const pugi::xml_document&, const fs::path&)>
void BM_PugiSave(benchmark::State& state) {
  ProjectFolder project(static_cast<int>(state.range(0)));
  pugi::xml_document document;
  if (!PugiLoad(document, project.File())) state.SkipWithError("pugixml could not read the file");
  for (auto _ : state)
    if (!kSave(document, project.File())) state.SkipWithError("pugixml could not write the file");
}

template <bool (*kSave)(const pugi::xml_document&, const fs::path&)>
void BM_PugiLoadAndSave(benchmark::State& state) {
  ProjectFolder project(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document document;
    if (!PugiLoad(document, project.File()) || !kSave(document, project.File()))
      state.SkipWithError("pugixml could not read or write the file");
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (const int pages : {100, 500, 2000}) {
    const std::string name = "project_" + std::to_string(pages) + "p_" + std::to_string(pages * kObjectsPerPage) + "o/";
    const auto add = [&](const std::string& work, void (*function)(benchmark::State&)) {
      benchmark::RegisterBenchmark((name + work).c_str(), function)
          ->Arg(pages)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    };
    add("load/ours", BM_Load);
    add("load/pugixml", BM_PugiLoad);
    add("save/ours", BM_Save);
    add("save/pugixml", BM_PugiSave<PugiSave>);
    add("save/pugixml_durable", BM_PugiSave<PugiSaveDurable>);
    add("load_and_save/ours", BM_LoadAndSave);
    add("load_and_save/pugixml", BM_PugiLoadAndSave<PugiSave>);
    add("load_and_save/pugixml_durable", BM_PugiLoadAndSave<PugiSaveDurable>);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
