#pragma once
// TFormSimpleMessage: a yes/no question with an "ask next time" check box:
// the text (Message1, word-wrapped), the check box cbAskNextTime and the
// buttons Yes (Button1, default, modal result OK) and No (Button2, Esc,
// modal result Cancel). The caller sets the text, shows it modally and
// reads the check box afterwards.

#include "platform/vcl/Form.h"

class TButton;
class TCheckBox;
class TLabel;

class TFormSimpleMessage : public TForm {
 public:
  explicit TFormSimpleMessage(TComponent* AOwner);

  TLabel* Message1 = nullptr;
  TCheckBox* cbAskNextTime = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;

 private:
  void CreateComponents();
};
