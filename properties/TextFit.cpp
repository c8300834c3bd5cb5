#include "properties/TextFit.h"

#include <algorithm>
#include <vector>

#include "platform/vcl/Button.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/RadioButton.h"
#include "platform/vcl/Shape.h"
#include "platform/vcl/WinControl.h"

namespace {

constexpr int kGap = 4;           // between two controls of a row
constexpr int kEdgeMargin = 4;    // left free at the parent's right edge
constexpr int kMinBoxWidth = 24;  // an edit or list narrows to this at most
// Beside its caption: a check box's box and gap (and the focus frame), a
// radio button's mark and gap, a button's edges and air.
constexpr int kCheckRoom = kCheckMarkSize + 4 + 3;
constexpr int kRadioRoom = kRadioMarkSize + 5 + 3;
constexpr int kButtonRoom = 12;

int TextWidth(const TControl& control, const std::string& text) {
  TCanvas measure;
  measure.Font->Assign(*const_cast<TControl&>(control).Font());
  return measure.TextWidth(text);
}

// The width the control's text needs; its own width when it has no such text.
int NeededWidth(TControl& control) {
  const std::string caption = control.Caption();
  if (dynamic_cast<TCustomCheckBox*>(&control) != nullptr) return TextWidth(control, caption) + kCheckRoom;
  if (dynamic_cast<TRadioButton*>(&control) != nullptr) return TextWidth(control, caption) + kRadioRoom;
  if (dynamic_cast<TButton*>(&control) != nullptr) return TextWidth(control, caption) + kButtonRoom;
  return control.Width();
}

bool Grows(TControl& control) {
  return dynamic_cast<TCustomCheckBox*>(&control) != nullptr || dynamic_cast<TRadioButton*>(&control) != nullptr ||
         dynamic_cast<TButton*>(&control) != nullptr;
}

bool Stretches(TControl& control) {
  return dynamic_cast<TCustomEdit*>(&control) != nullptr || dynamic_cast<TCustomComboBox*>(&control) != nullptr;
}

// Controls of a row, which may move aside; the others stand still.
bool Moves(TControl& control) {
  const auto* label = dynamic_cast<TCustomLabel*>(&control);
  return (label != nullptr && !label->WordWrap()) || Grows(control) || Stretches(control) ||
         dynamic_cast<TShape*>(&control) != nullptr;
}

bool SameRow(const TControl& a, const TControl& b) {
  return b.Top() < a.Top() + a.Height() && a.Top() < b.Top() + b.Height();
}

// The nearest control right of `control` in its row; null when none.
TControl* NextInRow(const std::vector<TControl*>& controls, const TControl& control) {
  TControl* next = nullptr;
  for (TControl* other : controls)
    if (other != &control && other->Left() > control.Left() && SameRow(control, *other) &&
        (next == nullptr || other->Left() < next->Left()))
      next = other;
  return next;
}

// How far right the control may reach: the next one's left edge (less the
// gap) or the parent's edge.
int RightLimit(const std::vector<TControl*>& controls, const TControl& control, int parentWidth) {
  const TControl* next = NextInRow(controls, control);
  return next != nullptr ? next->Left() - kGap : parentWidth - kEdgeMargin;
}

// Moves `control` right so that it starts at `left` or as near as it can:
// a control of a row keeps its text whole and stays inside its own limit;
// an edit or list keeps its right edge once it cannot move further.
void MoveRight(const std::vector<TControl*>& controls, TControl& control, int left, int parentWidth) {
  if (!Moves(control) || left <= control.Left()) return;
  const int limit = RightLimit(controls, control, parentWidth);
  if (Stretches(control)) {
    const int right = std::max(control.Left() + control.Width(), std::min(left + control.Width(), limit));
    const int newLeft = std::min(left, right - kMinBoxWidth);
    if (newLeft > control.Left()) control.SetBounds(newLeft, control.Top(), right - newLeft, control.Height());
    return;
  }
  // A check box, radio button or button gives up the room beside its text.
  const int kept = Grows(control) ? NeededWidth(control) : control.Width();
  const int newLeft = std::min(left, limit - kept);
  if (newLeft <= control.Left()) return;
  control.SetBounds(newLeft, control.Top(), std::min(control.Width(), limit - newLeft), control.Height());
}

void FitRow(const std::vector<TControl*>& controls, TControl& control, int parentWidth) {
  const int needed = std::max(control.Width(), NeededWidth(control));
  if (TControl* next = NextInRow(controls, control); next != nullptr && control.Left() + needed + kGap > next->Left())
    MoveRight(controls, *next, control.Left() + needed + kGap, parentWidth);
  if (!Grows(control) || needed <= control.Width()) return;
  const int width = std::min(needed, RightLimit(controls, control, parentWidth) - control.Left());
  if (width > control.Width()) control.SetBounds(control.Left(), control.Top(), width, control.Height());
}

}  // namespace

void FitControlsToTexts(TWinControl& parent) {
  std::vector<TControl*> controls;
  // Hidden controls neither push nor stand in the way.
  for (int i = 0; i < parent.ControlCount(); ++i)
    if (parent.Controls(i)->Visible()) controls.push_back(parent.Controls(i));
  // Left to right, so that what a control pushes aside is fitted after it.
  std::vector<TControl*> byLeft = controls;
  std::stable_sort(byLeft.begin(), byLeft.end(),
                   [](const TControl* a, const TControl* b) { return a->Left() < b->Left(); });
  for (TControl* control : byLeft) FitRow(controls, *control, parent.ClientWidth());
  for (TControl* control : controls)
    if (auto* inner = dynamic_cast<TWinControl*>(control)) FitControlsToTexts(*inner);
}
