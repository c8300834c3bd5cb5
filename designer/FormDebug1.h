#pragma once
// TFormDebug1: an extra live-view window: one page of the project with its
// own design surface and background, showing the PLC's values beside the
// designer. Closing it ends the live view's exchange (the designer's list of
// live windows announces it) and frees the window.

#include "platform/vcl/Form.h"

class TFormDesign1;
class TImage;
class TScrollBox;

class TFormDebug1 : public TForm {
 public:
  TFormDebug1(TComponent* AOwner, TFormDesign1* designer);

  TScrollBox* sbDesign1 = nullptr;
  TImage* imgBg = nullptr;

  void FormClose(TObject* Sender, TCloseAction& Action);

 private:
  TFormDesign1* designer_;
};
