#pragma once
// What a person sees cut in a dialog: a check box, radio button or button
// whose caption is wider than the control, a label that runs past its
// parent's edge, and two shown controls of a row that overlap (a label
// running into its box).

#include <string>
#include <vector>

#include "platform/vcl/Button.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/RadioButton.h"
#include "platform/vcl/WinControl.h"

namespace testsupport {

// The width a check box, radio button or button needs for its whole caption;
// 0 for other controls and for a check box or radio button made as narrow as
// its mark, whose caption is left out on purpose.
inline int CaptionWidth(TControl& control) {
  TCanvas measure;
  measure.Font->Assign(*control.Font());
  const int text = measure.TextWidth(control.Caption());
  const bool markOnly = control.Width() <= kCheckMarkSize + 4;
  if (dynamic_cast<TCustomCheckBox*>(&control) != nullptr) return markOnly ? 0 : text + kCheckMarkSize + 4;
  if (dynamic_cast<TRadioButton*>(&control) != nullptr) return markOnly ? 0 : text + kRadioMarkSize + 5;
  if (dynamic_cast<TButton*>(&control) != nullptr) return text + 4;
  return 0;
}

// "name: cut" and "a over b" for what is cut on `parent` and every windowed
// control in it; hidden controls do not count.
inline void CollectCutTexts(TWinControl& parent, std::vector<std::string>& found) {
  std::vector<TControl*> shown;
  for (int i = 0; i < parent.ControlCount(); ++i)
    if (parent.Controls(i)->Visible()) shown.push_back(parent.Controls(i));
  for (TControl* a : shown) {
    if (CaptionWidth(*a) > a->Width()) found.push_back(a->Name() + ": cut");
    if (CaptionWidth(*a) > 0 && a->Left() + CaptionWidth(*a) > parent.ClientWidth())
      found.push_back(a->Name() + ": past the edge");
    if (dynamic_cast<TCustomLabel*>(a) != nullptr && a->Left() + a->Width() > parent.ClientWidth())
      found.push_back(a->Name() + ": past the edge");
    for (TControl* b : shown)
      if (a->Left() < b->Left() && b->Left() < a->Left() + a->Width() && a->Top() < b->Top() + b->Height() &&
          b->Top() < a->Top() + a->Height())
        found.push_back(a->Name() + " over " + b->Name());
    if (auto* inner = dynamic_cast<TWinControl*>(a)) CollectCutTexts(*inner, found);
  }
}

inline std::vector<std::string> CutTexts(TWinControl& parent) {
  std::vector<std::string> found;
  CollectCutTexts(parent, found);
  return found;
}

}  // namespace testsupport
