#include "platform/vcl/MessageDialog.h"

#include <vector>

#include "platform/vcl/Application.h"
#include "platform/win/MessageBox.h"

namespace {

struct ButtonResult {
  TMsgDlgBtn button;
  int result;
};

// In the order the dialog shows its buttons.
constexpr ButtonResult kButtons[] = {
    {mbYes, mrYes},     {mbNo, mrNo},         {mbOK, mrOk},   {mbCancel, mrCancel},   {mbAbort, mrAbort},
    {mbRetry, mrRetry}, {mbIgnore, mrIgnore}, {mbAll, mrAll}, {mbNoToAll, mrNoToAll}, {mbYesToAll, mrYesToAll},
};

int Unanswered(TMsgDlgButtons buttons) {
  if (buttons & mbCancel) return mrCancel;
  if (buttons & mbNo) return mrNo;
  if (buttons & mbOK) return mrOk;
  if (buttons & mbYes) return mrYes;
  if (buttons & mbRetry) return mrRetry;
  for (const ButtonResult& b : kButtons)
    if (buttons & b.button) return b.result;
  return mrNone;
}

}  // namespace

void ShowMessage(const std::string& message) { MessageDlg(message, mtCustom, mbOK); }

std::string MessageDlgCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirm";
    default: return Application->Title();
  }
}

int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
  MessageBoxRecord box;
  box.kind = MessageBoxRecord::Dialog;
  box.owner = Application->Handle();
  box.text = message;
  box.caption = MessageDlgCaption(type);
  box.dialogType = type;
  box.dialogButtons = buttons;
  box.helpContext = helpContext;
  std::vector<int> valid;
  for (const ButtonResult& b : kButtons)
    if (buttons & b.button) valid.push_back(b.result);
  return AnswerMessageBox(box, valid, Unanswered(buttons));
}
