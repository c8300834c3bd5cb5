#include "designer/FormDebug1.h"

#include "designer/DebugList.h"
#include "designer/FormDesign1.h"
#include "designer/LiveViewLink.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/ScrollBox.h"

namespace {

constexpr int kClientWidth = 800;
constexpr int kClientHeight = 600;

}  // namespace

TFormDebug1::TFormDebug1(TComponent* AOwner, TFormDesign1* designer) : TForm(AOwner), designer_(designer) {
  SetName("FormDebug1");
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  sbDesign1 = new TScrollBox(this);
  sbDesign1->SetName("sbDesign1");
  sbDesign1->SetParent(this);
  sbDesign1->SetAlign(alClient);
  sbDesign1->DoubleBuffered = true;
  imgBg = new TImage(this);
  imgBg->SetName("imgBg");
  imgBg->SetParent(sbDesign1);
  imgBg->SetBounds(0, 0, 1, 1);
  OnClose = {this, &TFormDebug1::FormClose};
  AfterConstruction();
}

void TFormDebug1::FormClose(TObject*, TCloseAction& Action) {
  // The live view stops before the window's objects go with it.
  if (TLiveViewLink* link = designer_->Host().LiveView(); link != nullptr) link->Stop();
  Action = caFree;
  designer_->FDebugList->Remove(this);
}
