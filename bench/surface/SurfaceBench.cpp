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
//   page_N/move_all/ours     every label selected, an arrow key pressed and
//                            released (the selection moves one unit, right
//                            and left in turn, and an undo snapshot is taken)
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

#include <memory>
#include <string>

#include "bench/common/DesignerProject.h"
#include "bench/common/GeneratedProject.h"
#include "core/XmlNode.h"
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

void BM_MoveAll(benchmark::State& state) {
  Surface surface(static_cast<int>(state.range(0)));
  surface.ShowAllSelected();
  TGridWebElement* first = surface.designer().PageObjects().front();
  const int left = first->GetPosition().x;
  bool right = true;
  for (auto _ : state) {
    Driver::PressKey(right ? VK_RIGHT : VK_LEFT);
    surface.Paint();
    right = !right;
  }
  if (right && first->GetPosition().x != left) state.SkipWithError("the labels did not come back");
  if (!right && first->GetPosition().x <= left) state.SkipWithError("the labels did not move");
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
  };
  const Work works[] = {{"show", BM_ChangePage<false>},
                        {"leave", BM_ChangePage<true>},
                        {"move_all", BM_MoveAll},
                        {"scroll", BM_Scroll<true>},
                        {"scroll_step", BM_Scroll<false>}};
  for (const int labels : {2000, 8000})
    for (const Work& work : works) {
      const std::string name = "page_" + std::to_string(labels) + "/" + work.name + "/ours";
      benchmark::RegisterBenchmark(name.c_str(), work.function)
          ->Arg(labels)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
