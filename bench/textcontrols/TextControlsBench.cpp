// What a person waits for in the text controls holding a long text: a click,
// a drag-select, a typed letter and a paint, in an edit field and in a memo.
//
//   edit_N/click        a left click (press and release) in the field,
//                       which puts the caret at the nearest position
//   edit_N/drag         a press, 8 moves with the button held (each extends
//                       the selection to the nearest position) and the release
//   edit_N/type         a letter typed and erased again (Backspace) with the
//                       caret in the middle of the text
//   edit_N/paint        the field painted into a bitmap with the caret at the
//                       end of the text (the view scrolled there) and the
//                       last half selected
//   memo_N/WORK         the same in a memo whose text is one line of N
//                       characters
//   memo_lines_N/WORK   the same in a memo whose text is N characters in
//                       lines of 100
//
// The text is words of varied letters, digits and punctuation, so that the
// glyphs' advances differ; the fonts are the controls' default. The window is
// made before the timed loop and freed after it.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Painting.h"

namespace {

enum class Kind { Edit, Memo, MemoLines };

std::string GeneratedText(std::size_t length, bool lines) {
  static const char kLetters[] = "aeinorstlmWMiIjfwkq0123456789.,;:-ABCDXYZ";
  std::string text;
  text.reserve(length);
  unsigned seed = 12345;
  std::size_t column = 0;
  while (text.size() < length) {
    if (lines && column == 98 && text.size() + 2 <= length) {
      text += "\r\n";
      column = 0;
      continue;
    }
    seed = seed * 1103515245u + 12345u;
    const unsigned r = (seed >> 16) % 48;
    text += r < sizeof kLetters - 1 ? kLetters[r] : ' ';
    ++column;
  }
  return text;
}

struct Window {
  std::unique_ptr<TForm> form;
  TCustomEdit* edit = nullptr;

  Window(Kind kind, std::size_t length) : form(std::make_unique<TForm>(nullptr)) {
    form->SetBounds(0, 0, 640, 400);
    if (kind == Kind::Edit) {
      edit = new TEdit(form.get());
      edit->SetBounds(10, 10, 600, 21);
    } else {
      edit = new TMemo(form.get());
      edit->SetBounds(10, 10, 600, 300);
    }
    edit->SetParent(form.get());
    form->Show();
    edit->SetFocus();
    edit->SetText(GeneratedText(length, kind == Kind::MemoLines));
  }
  ~Window() { Driver::Reset(); }
};

void BM_Click(benchmark::State& state, Kind kind) {
  Window w(kind, static_cast<std::size_t>(state.range(0)));
  int x = 100;
  for (auto _ : state) {
    Driver::Click(w.edit, x, 8);
    x = x == 100 ? 400 : 100;
    benchmark::DoNotOptimize(w.edit->CaretPos());
  }
}

void BM_Drag(benchmark::State& state, Kind kind) {
  Window w(kind, static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    Driver::MouseDown(w.edit, 50, 8);
    for (int i = 1; i <= 8; ++i) Driver::MouseMove(w.edit, 50 + 60 * i, 8 + 4 * i, ssLeft);
    Driver::MouseUp(w.edit, 530, 40);
    benchmark::DoNotOptimize(w.edit->SelLength());
  }
}

void BM_Type(benchmark::State& state, Kind kind) {
  Window w(kind, static_cast<std::size_t>(state.range(0)));
  w.edit->SetSelStart(static_cast<int>(state.range(0) / 2));
  for (auto _ : state) {
    Driver::TypeText("x");
    Driver::PressKey(8);
    benchmark::DoNotOptimize(w.edit->CaretPos());
  }
}

void BM_Paint(benchmark::State& state, Kind kind) {
  Window w(kind, static_cast<std::size_t>(state.range(0)));
  const int length = static_cast<int>(state.range(0));
  w.edit->SetSelStart(length / 2);
  w.edit->SetSelLength(length - length / 2);
  TBitmap bitmap;
  for (auto _ : state) {
    PaintControlToBitmap(w.edit, bitmap);
    benchmark::DoNotOptimize(bitmap.Canvas->GetPixel(5, 5));
  }
}

}  // namespace

int main(int argc, char** argv) {
  struct Control {
    const char* name;
    Kind kind;
  };
  const Control controls[] = {{"edit", Kind::Edit}, {"memo", Kind::Memo}, {"memo_lines", Kind::MemoLines}};
  struct Work {
    const char* name;
    void (*function)(benchmark::State&, Kind);
  };
  const Work works[] = {{"click", BM_Click}, {"drag", BM_Drag}, {"type", BM_Type}, {"paint", BM_Paint}};
  for (const int length : {16000, 32000, 1000000})
    for (const Control& control : controls)
      for (const Work& work : works) {
        const std::string name = std::string(control.name) + "_" + std::to_string(length) + "/" + work.name + "/ours";
        benchmark::RegisterBenchmark(name.c_str(), work.function, control.kind)
            ->Arg(length)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
      }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
