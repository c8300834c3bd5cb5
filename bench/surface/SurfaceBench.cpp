// What a person waits for on a page of many objects in the designer window,
// each until the design surface is painted again:
//
//   page_N/show/ours         a click on the page of N labels in the page tree,
//                            coming from an empty page: the labels built on
//                            the design surface and the surface shown; going
//                            back to the empty page is outside the timed part
//   page_N/leave/ours        that click's way back: a click on the empty page
//                            coming from the page of N labels (the labels
//                            stored into the page and freed)
//   page_N/move_all_fresh/ours
//                            the first presses on the page: every label
//                            selected, an arrow key pressed and released
//                            (the selection moves one unit, right and left in
//                            turn, and an undo snapshot is taken), 16 times
//                            from an empty undo history, as a person's first
//                            moves after choosing the page; the time is that
//                            of one press (the 16 divided by 16). Choosing
//                            the page anew (which empties the history) is
//                            outside the timed part
//   page_N/move_all_full/ours
//                            one such press when the history already holds
//                            its 16 snapshots (each press drops the oldest)
//   page_N/scroll/ours       one wheel step over the surface (down and up in
//                            turn)
//   page_N/scroll_step/ours  the wheel step alone, without the painting
//
// The painting is the surface's, into a bitmap of its size (the part of the
// page in view: about 300 labels). The labels stand in rows of 12, so that
// the page is taller than the surface at both sizes. The window (1,000 x 700
// pixels) is made and shown on the project's empty page before the timed
// loop, and freed after it.

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench/common/DesignerProject.h"
#include "bench/common/GeneratedProject.h"
#include "core/XmlNode.h"
#include "designer/UndoHistory.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/VirtualKeys.h"

namespace {

class Surface {
 public:
  explicit Surface(int labels)
      : project_("bench-surface-" + std::to_string(labels), benchproject::LabelsProjectText(labels)),
        labels_(labels),
        designer_(project_.MakeDesigner()) {
    designer_->SetBounds(0, 0, 1000, 700);
    designer_->Show();
    // Docked in the host's window, as the host does after the load: from
    // then on a click in the page tree changes the page.
    designer_->FTreeChangeSuppressed = false;
  }
  ~Surface() {
    designer_.reset();
    Driver::Reset();
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  TFormDesign1& designer() { return *designer_; }
  TScrollBox* box() { return designer_->sbDesign1; }
  // The surface painted, as the screen shows it after a change.
  void Paint() { PaintControlToBitmap(box(), bitmap_); }

  // The page "P0.XML" (empty) or "P1.XML" (the labels) chosen in the page
  // tree.
  void ShowPage(int index) {
    const std::string name = "P" + std::to_string(index) + ".XML";
    TTreeNodes* nodes = designer_->tvPageList->Items();
    for (int i = 0; i < nodes->Count(); ++i) {
      const auto* page = static_cast<const TmyXmlNode*>(nodes->Item(i)->Data);
      if (page != nullptr && page->name == "page" && page->GetAttr("name") == name) {
        designer_->tvPageList->SetSelected(nodes->Item(i));
        Application->ProcessMessages();
      }
    }
  }
  bool LabelsShown() const { return static_cast<int>(designer_->PageObjects().size()) == labels_; }

  // The labels page shown, every label selected, the keys and the wheel
  // going to the surface.
  void ShowAllSelected() {
    ShowPage(1);
    designer_->SelectAll1Click(nullptr);
    Driver::Focus(box());
  }

 private:
  benchproject::DesignerProject project_;
  int labels_;
  std::unique_ptr<TFormDesign1> designer_;
  TBitmap bitmap_;
};

// The page of labels shown coming from the empty page, or (kLeave) the way
// back; only that click is timed.
template <bool kLeave>
void BM_ChangePage(benchmark::State& state) {
  Surface surface(static_cast<int>(state.range(0)));
  const int from = kLeave ? 1 : 0, to = kLeave ? 0 : 1;
  bool changed = true;
  for (auto _ : state) {
    state.PauseTiming();
    surface.ShowPage(from);
    state.ResumeTiming();
    surface.ShowPage(to);
    surface.Paint();
    state.PauseTiming();
    changed = changed && surface.LabelsShown() != kLeave;
    state.ResumeTiming();
  }
  if (!changed) state.SkipWithError("the page did not change");
}

// The arrow key that moves the labels right, then back left.
class Mover {
 public:
  explicit Mover(Surface& surface) : first_(surface.designer().PageObjects().front()), left_(first_->GetPosition().x) {}
  void Press(Surface& surface) {
    Driver::PressKey(right_ ? VK_RIGHT : VK_LEFT);
    surface.Paint();
    right_ = !right_;
  }
  // The labels stand where they began after an even number of presses and
  // one unit to the right after an odd one.
  const char* Fault() const {
    if (right_ && first_->GetPosition().x != left_) return "the labels did not come back";
    if (!right_ && first_->GetPosition().x <= left_) return "the labels did not move";
    return nullptr;
  }

 private:
  TGridWebElement* first_;
  int left_;
  bool right_ = true;
};

// Minor page faults of the process so far: memory taken from the system.
long PageFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// The presses timed, the time of one press reported; the page faults a press
// as a counter. False when the history does not hold kUndoDepth snapshots
// afterwards.
bool TimedPresses(benchmark::State& state, Surface& surface, Mover& mover, int presses, long& faults) {
  const long before = PageFaults();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < presses; ++i) mover.Press(surface);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  faults += PageFaults() - before;
  state.SetIterationTime(took.count() / presses);
  return surface.designer().FUndoTree->ChildCount() == kUndoDepth;
}

void ReportFaults(benchmark::State& state, long faults, int presses) {
  state.counters["faults_a_press"] = static_cast<double>(faults) / (static_cast<double>(state.iterations()) * presses);
}

// Pages chosen anew a run of move_all_fresh.
constexpr int kFreshIterations = 8;

// The first kUndoDepth presses after the page was chosen anew (which
// empties its history).
void BM_MoveAllFresh(benchmark::State& state) {
  Surface surface(static_cast<int>(state.range(0)));
  const char* fault = nullptr;
  long faults = 0;
  for (auto _ : state) {
    surface.ShowPage(0);
    surface.ShowAllSelected();
    if (surface.designer().FUndoTree->ChildCount() != 0) fault = "the history was not emptied";
    Mover mover(surface);
    if (!TimedPresses(state, surface, mover, kUndoDepth, faults)) fault = "the history is not full";
    if (fault == nullptr) fault = mover.Fault();
  }
  if (fault != nullptr) state.SkipWithError(fault);
  ReportFaults(state, faults, kUndoDepth);
}

// One press on a full history: the snapshot taken and the oldest dropped.
void BM_MoveAllFull(benchmark::State& state) {
  Surface surface(static_cast<int>(state.range(0)));
  surface.ShowAllSelected();
  Mover mover(surface);
  for (int i = 0; i < kUndoDepth; ++i) mover.Press(surface);
  bool full = true;
  long faults = 0;
  for (auto _ : state) full = TimedPresses(state, surface, mover, 1, faults) && full;
  const char* fault = full ? mover.Fault() : "the history is not full";
  if (fault != nullptr) state.SkipWithError(fault);
  ReportFaults(state, faults, 1);
}

template <bool kPaint>
void BM_Scroll(benchmark::State& state) {
  Surface surface(static_cast<int>(state.range(0)));
  surface.ShowAllSelected();
  TControlScrollBar* bar = surface.box()->VertScrollBar();
  bool down = true;
  bool scrolled = true;
  for (auto _ : state) {
    Driver::MouseWheel(surface.box(), 100, 100, down ? -WHEEL_DELTA : WHEEL_DELTA);
    if (kPaint) surface.Paint();
    scrolled = scrolled && (bar->Position() > 0) == down;
    down = !down;
  }
  if (!scrolled) state.SkipWithError("the surface did not scroll");
}

}  // namespace

int main(int argc, char** argv) {
  struct Work {
    const char* name;
    void (*function)(benchmark::State&);
    // The program times only the presses (the page chosen anew is left out);
    // with a fixed number of iterations (the time outside them is large).
    bool manualTime = false;
    int iterations = 0;
  };
  const Work works[] = {{"show", BM_ChangePage<false>},
                        {"leave", BM_ChangePage<true>},
                        {"move_all_fresh", BM_MoveAllFresh, true, kFreshIterations},
                        {"move_all_full", BM_MoveAllFull, true},
                        {"scroll", BM_Scroll<true>},
                        {"scroll_step", BM_Scroll<false>}};
  for (const int labels : {2000, 8000})
    for (const Work& work : works) {
      const std::string name = "page_" + std::to_string(labels) + "/" + work.name + "/ours";
      benchmark::internal::Benchmark* bench =
          benchmark::RegisterBenchmark(name.c_str(), work.function)->Arg(labels)->Unit(benchmark::kMillisecond);
      if (work.iterations > 0) bench->Iterations(work.iterations);
      if (work.manualTime)
        bench->UseManualTime();
      else
        bench->UseRealTime();
    }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
