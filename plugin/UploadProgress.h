#pragma once
// TFormUploadProgress: the small window that stands on top while a file is
// uploaded into the PLC: the local file's name, the PLC target path, a
// progress bar, the byte counts with the elapsed and the estimated total
// time, and Cancel. The communication-loop callback posts 0x8578 to it after
// every step of the upload and WM_CLOSE when the upload ends; a failed
// upload stays on screen with a red bar until the user closes it. While it
// is open the window it blocks (the designer) is disabled.

#include <cstdint>

#include "grid/TransferRecords.h"
#include "platform/vcl/Form.h"

class TButton;
class TLabel;
class TProgressBar;

class TFormUploadProgress : public TForm {
 public:
  TFormUploadProgress(TComponent* AOwner, TPostFile& upload);

  TLabel* lblName1 = nullptr;
  TLabel* lblName2 = nullptr;
  TProgressBar* ProgressBar1 = nullptr;
  TLabel* lblProgress = nullptr;
  TButton* Button1 = nullptr;

  // The window disabled while this one is open (none: nothing is).
  HWND BlockedWindow = nullptr;

  void FormActivate(TObject* Sender);
  void Button1Click(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  // The progress update of message 0x8578.
  void UpdateProgress();

  void WndProc(TMessage& message) override;

 private:
  void CreateComponents();
  void ShowFailure(std::uint32_t offset, std::uint32_t size);

  TPostFile& upload_;
  // The tick count of the first progress message (a count of 0 is a time
  // like any other, hence the flag).
  std::uint32_t startTicks_ = 0;
  bool started_ = false;
};

// The open progress window; null when none.
extern TFormUploadProgress* FormUploadProgress;

// Creates and shows the progress window of `upload` (replacing one still
// open), blocking `blocked`; answers its window handle.
HWND ShowUploadProgress(TPostFile& upload, HWND blocked);
// Closes the open progress window, if any. Closing sets the upload's cancel
// flag, so a starter closes an earlier upload's window before it prepares
// the next upload.
void CloseUploadProgress();
