#pragma once
// The one-line input dialog of the designer's commands (edit base, find): a
// caption, one edit field (Edit1) and the buttons OK (btnOK, mrOk) and
// Cancel (btnCancel). It reports the class name of the project's small edit
// dialog, "TFormSimpleEdit", so that scripted answers find it by that name.

#include <string>

#include "platform/vcl/Form.h"

class TButton;
class TEdit;

class TDesignerSimpleEdit : public TForm {
 public:
  explicit TDesignerSimpleEdit(TComponent* owner);
  std::string ClassName() const override { return "TFormSimpleEdit"; }

  TEdit* Edit1 = nullptr;
  TButton* btnOK = nullptr;
  TButton* btnCancel = nullptr;
};

// Shows the dialog modally with the caption and text; true on OK, with the
// edited text in `text`.
bool RunSimpleEdit(TComponent* owner, const std::string& caption, std::string& text);
