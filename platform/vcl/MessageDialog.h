#pragma once
// MessageDlg (unit Dialogs): a message dialog with an icon type and a set of
// buttons, answered like the message boxes (platform/win/MessageBox.h): by a
// handler registered for a part of its text, or, without one, as Escape
// would (the Cancel button, else No, else OK; a dialog without any of them
// answers its default button, OK, Yes or Retry, else its first button). It
// is recorded with kind Dialog.

#include <string>

#include "platform/vcl/ControlTypes.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : unsigned {
  mbYes = 0x001,
  mbNo = 0x002,
  mbOK = 0x004,
  mbCancel = 0x008,
  mbAbort = 0x010,
  mbRetry = 0x020,
  mbIgnore = 0x040,
  mbAll = 0x080,
  mbNoToAll = 0x100,
  mbYesToAll = 0x200,
  mbHelp = 0x400,
};
using TMsgDlgButtons = unsigned;

inline constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
inline constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
inline constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

// The modal result of the pressed button (mrYes ...). The caption is the
// type's: "Warning", "Error", "Information", "Confirm", or the application's
// title for mtCustom.
int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);

// ShowMessage: the text in a message dialog with only OK and no icon,
// captioned with the application's title.
void ShowMessage(const std::string& message);

// The caption MessageDlg shows for a type.
std::string MessageDlgCaption(TMsgDlgType type);
