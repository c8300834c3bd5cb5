#pragma once
// TFormDeletePict: the question before a picture of the image manager is
// removed, with the picture itself shown at most 128 x 128 pixels.

#include <string>

#include "platform/vcl/Form.h"

class TBitmap;
class TButton;
class TImage;
class TLabel;
class TShape;

class TFormDeletePict : public TForm {
 public:
  explicit TFormDeletePict(TComponent* owner);

  TLabel* Label1 = nullptr;
  TShape* Shape1 = nullptr;
  TImage* Image1 = nullptr;
  TButton* btnYes = nullptr;
  TButton* btnNo = nullptr;
  TButton* btnCancel = nullptr;
  TButton* btnYesAll = nullptr;

  void SetUiTexts();
  // Places and scales the picture and asks for the long name.
  void ShowPicture(const std::string& longName, TBitmap* bitmap);
  // Leaves only Yes and No (a single removal).
  void HideExtraButtons();
};
