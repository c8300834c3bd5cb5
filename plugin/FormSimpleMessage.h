#pragma once
// TFormSimpleMessage: the small question of the host's build: a text
// (Message1), the check box cbAskNextTime ("Don't ask next time") and the
// buttons Yes (modal result mrOk) and No (mrCancel). The caller sets the
// text, shows it modally and reads the check box afterwards.

#include "platform/vcl/Form.h"

class TButton;
class TCheckBox;
class TLabel;

class TFormSimpleMessage : public TForm {
 public:
  explicit TFormSimpleMessage(TComponent* AOwner);

  // The components, owned by the form.
  TLabel* Message1 = nullptr;
  TCheckBox* cbAskNextTime = nullptr;
  TButton* btnYes = nullptr;
  TButton* btnNo = nullptr;

 private:
  void CreateComponents();
};
