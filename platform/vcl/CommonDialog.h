#pragma once
// TCommonDialog (unit Dialogs): the base of the standard dialogs (open,
// colour, ...). Execute fires OnShow, lets the driver answer (a handler
// registered for the dialog's class name fills it and answers whether the
// user pressed OK; without one the dialog is cancelled and recorded), then
// fires OnClose. A dialog class adds its fields (FileName, Color, ...) and
// may override Execute to prepare them around the base's.

#include "platform/vcl/Component.h"

class TCommonDialog : public TComponent {
 public:
  explicit TCommonDialog(TComponent* AOwner);

  // True when the user accepted the dialog.
  virtual bool Execute();

  int HelpContext = 0;
  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

 protected:
  virtual void DoShow();
  virtual void DoClose();
};
