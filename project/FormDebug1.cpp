#include "project/FormDebug1.h"

#include "grid/GridWebElement.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/WindowMessages.h"
#include "project/DebugList.h"
#include "project/DialogControls.h"
#include "properties/DesignerContext.h"

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 446;

}  // namespace

TFormDebug1::TFormDebug1(TComponent* owner, TDesignerContext* designer) : TForm(owner), designer_(designer) {
  SetName("FormDebug1");
  SetBorderStyle(bsSizeable);
  SetPosition(poOwnerFormCenter);
  SetBounds(0, 0, kWidth, kHeight);
  SetDialogFont(this);
  sbDesign1 = AddControl<TScrollBox>(this, this, "sbDesign1", {0, 0, ClientWidth(), ClientHeight()});
  sbDesign1->SetAlign(alClient);
  sbDesign1->SetBorderStyle(bsNone);
  sbDesign1->SetColor(clWhite);
  sbDesign1->DoubleBuffered = true;
  imgBg = AddControl<TImage>(this, sbDesign1, "imgBg", {0, 0, 0, 0});
  imgBg->SetAutoSize(true);
  OnShow = {this, &TFormDebug1::FormShow};
  OnClose = {this, &TFormDebug1::FormClose};
  AfterConstruction();
}

void TFormDebug1::FormShow(TObject*) {
  for (int i = 0; i < sbDesign1->ControlCount(); ++i) {
    auto* element = dynamic_cast<TGridWebElement*>(sbDesign1->Controls(i));
    if (element == nullptr) continue;
    element->SetLiveModeFlag(&LiveMode);
    element->FPending = false;
    element->FPendingText.clear();
  }
}

void TFormDebug1::FormClose(TObject*, TCloseAction& action) {
  if (designer_ != nullptr) designer_->StopLiveView();
  action = caFree;
  if (DebugList != nullptr) DebugList->Remove(this);
}

void TFormDebug1::Dispatch(void* message) {
  if (static_cast<TMessage*>(message)->Msg == WM_HELP) {
    ShowProjectHelp();
    return;
  }
  TForm::Dispatch(message);
}
