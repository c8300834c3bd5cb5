#pragma once
// Small helpers that the project dialogs share to build their components:
// one call makes a named control on its parent with its bounds, and the
// dialogs' common font.

#include <string>

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

// The project dialogs' font: "Segoe UI", 9 points.
void SetDialogFont(TControl* control);

// The help of the project dialogs: the product's help file, no topic.
void ShowProjectHelp();
