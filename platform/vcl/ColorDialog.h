#pragma once
// TColorDialog (unit Dialogs): the colour picker. Execute asks the driver
// (a handler for "TColorDialog" sets Color and answers OK); a cancelled
// dialog leaves Color and CustomColors as they were.
//
// CustomColors holds the 16 custom colours of the dialog as texts
// "ColorA=3C5A9C" .. "ColorP=..." (hexadecimal RGB, red first).

#include <memory>

#include "platform/vcl/Colors.h"
#include "platform/vcl/CommonDialog.h"
#include "platform/vcl/StringList.h"

enum TColorDialogOption : unsigned {
  cdFullOpen = 1,
  cdPreventFullOpen = 2,
  cdShowHelp = 4,
  cdSolidColor = 8,
  cdAnyColor = 16,
};
using TColorDialogOptions = unsigned;

class TColorDialog : public TCommonDialog {
 public:
  explicit TColorDialog(TComponent* AOwner);
  ~TColorDialog() override;

  TColor Color = clBlack;
  TStringList* CustomColors() { return customColors_.get(); }
  TColorDialogOptions Options = 0;

  bool Execute() override;

  // The custom colour of the slot (0 .. 15, "ColorA" .. "ColorP"), or
  // clNone when the slot is missing or not a colour.
  TColor CustomColor(int slot) const;

 private:
  std::unique_ptr<TStringList> customColors_;
};
