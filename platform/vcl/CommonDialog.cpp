#include "platform/vcl/CommonDialog.h"

#include "platform/vcl/Driver.h"

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TCommonDialog::Execute() {
  DoShow();
  const bool accepted = Driver::detail::AnswerDialog(*this);
  DoClose();
  return accepted;
}

void TCommonDialog::DoShow() {
  if (OnShow) OnShow(this);
}

void TCommonDialog::DoClose() {
  if (OnClose) OnClose(this);
}
