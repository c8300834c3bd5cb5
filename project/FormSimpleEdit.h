#pragma once
// TFormSimpleEdit: a one-line text input: the text (Edit1), OK (Button1,
// default) and Cancel (Button2, Esc). The caller sets the caption and the
// text, shows it modally and reads Edit1 when the answer is OK.

#include "platform/vcl/Form.h"

class TButton;
class TEdit;

class TFormSimpleEdit : public TForm {
 public:
  explicit TFormSimpleEdit(TComponent* owner);

  TEdit* Edit1 = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;

  // The button texts in the current UI language (each time it is activated).
  void FormActivate(TObject* sender);
};
