#pragma once
// Small helpers that the project dialogs share to build their components:
// one call makes a named control on its parent with its bounds, and the
// dialogs' common font.

#include <string>
#include <vector>

#include "platform/vcl/Control.h"
#include "platform/vcl/WinControl.h"

class TCustomForm;

struct TBox {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A control of class T owned by `owner`, placed on `parent` at `box`, with
// the component name `name`.
template <class T>
T* AddControl(TComponent* owner, TWinControl* parent, const char* name, const TBox& box) {
  T* control = new T(owner);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(box.left, box.top, box.width, box.height);
  return control;
}

// Rows of controls that stand side by side (a label, then its box, ...).
// Each keeps the place it was made at, unless the one before it (an
// autosized label with a longer text in another language) reaches into it:
// then it moves right to stand a small gap after that one. The last of a row
// keeps the width it was made with, narrowed so as not to pass the row's
// right edge (its own right edge as made, or the right limit, whichever lies
// further right).
class TRowLayout {
 public:
  // Records the row's controls, left to right, at their present places.
  void AddRow(std::vector<TControl*> controls);
  // Places every row again after its texts changed.
  void Apply(int rightLimit) const;

 private:
  struct TPlace {
    TControl* control;
    int left;
    int width;
  };
  std::vector<std::vector<TPlace>> rows_;
};

// Sets the control's width to `madeWidth`, or wider when the widest of
// `texts` in the control's font needs it (its width + `room`, the pixels the
// control keeps beside its text), but never past `rightLimit`: a text of
// another language that is longer than the layout's is then shown whole.
void FitWidthToTexts(TControl& control, const std::vector<std::string>& texts, int room, int madeWidth, int rightLimit);

// The project dialogs' font: "Segoe UI", 9 points.
void SetDialogFont(TControl* control);

// The help of the project dialogs: the product's help file, no topic.
void ShowProjectHelp();
