#pragma once
// The file dialogs (unit Dialogs / ExtDlgs): TOpenDialog, TSaveDialog and
// TOpenPictureDialog. Execute asks the driver: a handler registered for the
// dialog's class name plays the user (sets FileName, or Files with
// ofAllowMultiSelect, maybe FilterIndex) and answers OK; without a handler
// the dialog is cancelled. A cancelled dialog keeps FileName, Files and
// FilterIndex as they were before.
//
// After OK, as the system's dialog does:
// - an empty choice counts as Cancel;
// - a name without extension gets "." + DefaultExt (when DefaultExt is set);
// - FileName is the first of Files, and Files holds FileName when the
//   handler chose one file;
// - ofFileMustExist (open): a file that does not exist is refused with a
//   warning box, and the dialog ends as cancelled;
// - ofOverwritePrompt (save): an existing file asks "... already exists.
//   Do you want to replace it?" (Yes / No, No by default); No cancels.

#include <memory>
#include <string>

#include "platform/vcl/CommonDialog.h"
#include "platform/vcl/StringList.h"

enum TOpenOption : unsigned {
  ofReadOnly = 1u << 0,
  ofOverwritePrompt = 1u << 1,
  ofHideReadOnly = 1u << 2,
  ofNoChangeDir = 1u << 3,
  ofShowHelp = 1u << 4,
  ofNoValidate = 1u << 5,
  ofAllowMultiSelect = 1u << 6,
  ofExtensionDifferent = 1u << 7,
  ofPathMustExist = 1u << 8,
  ofFileMustExist = 1u << 9,
  ofCreatePrompt = 1u << 10,
  ofShareAware = 1u << 11,
  ofNoReadOnlyReturn = 1u << 12,
  ofNoTestFileCreate = 1u << 13,
  ofNoNetworkButton = 1u << 14,
  ofNoLongNames = 1u << 15,
  ofOldStyleDialog = 1u << 16,
  ofNoDereferenceLinks = 1u << 17,
  ofEnableIncludeNotify = 1u << 18,
  ofEnableSizing = 1u << 19,
};
using TOpenOptions = unsigned;

class TOpenDialog : public TCommonDialog {
 public:
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;

  std::string FileName;
  // "Text files (*.txt)|*.txt|All files (*.*)|*.*": description and pattern
  // pairs separated by '|'.
  std::string Filter;
  // 1-based index of the chosen filter pair.
  int FilterIndex = 1;
  std::string InitialDir;
  std::string DefaultExt;
  std::string Title;
  TOpenOptions Options = ofHideReadOnly | ofEnableSizing;
  // Every chosen file (one unless ofAllowMultiSelect).
  TStringList* Files() { return files_.get(); }

  bool Execute() override;

  // The patterns of a filter pair ("*.bmp;*.jpg"), empty when there is none.
  std::string FilterPatterns(int filterIndex) const;

 protected:
  // Checks the choice after OK; false refuses it (the dialog is cancelled).
  virtual bool AcceptChoice();

 private:
  std::unique_ptr<TStringList> files_;
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;

 protected:
  bool AcceptChoice() override;
};

class TOpenPictureDialog : public TOpenDialog {
 public:
  explicit TOpenPictureDialog(TComponent* AOwner);
};

class TSavePictureDialog : public TSaveDialog {
 public:
  explicit TSavePictureDialog(TComponent* AOwner);
};

// Whether a file named by a system path (backslashes allowed) exists.
bool DialogFileExists(const std::string& fileName);
