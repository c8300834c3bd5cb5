#pragma once
// TFormDebug1: the window of a page's live view. The designer's live-view
// command fills its scroll box with the page's elements and background,
// sizes it to the page and docks it; the window keeps its own live-mode
// flag, which every element on it points at while it is shown. Closing it
// ends the live view and frees it.

#include <string>

#include "platform/vcl/Form.h"

class TImage;
class TScrollBox;
class TDesignerContext;
class TFormDebugList;

class TFormDebug1 : public TForm {
 public:
  // `designer` stops the live view when the window closes (may be null).
  TFormDebug1(TComponent* owner, TDesignerContext* designer);

  TScrollBox* sbDesign1 = nullptr;
  TImage* imgBg = nullptr;
  // The `name` of the page shown, set by the opener.
  std::string PageName;
  // True from construction: the elements on the window are live.
  bool LiveMode = true;
  // The designer's list of live windows, which the window leaves when it
  // closes (set by the opener; may stay null).
  TFormDebugList* DebugList = nullptr;

  // Every element on the window points its live-mode flag at this window's
  // and forgets a value typed but not written yet.
  void FormShow(TObject* sender);
  // Ends the live view (the host waits until its communication is idle),
  // leaves the designer's list of live windows and lets the window free
  // itself.
  void FormClose(TObject* sender, TCloseAction& action);
  void Dispatch(void* message) override;

 private:
  TDesignerContext* designer_;
};
