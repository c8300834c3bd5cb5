#include "project/FormLayersSettings.h"

#include "core/UiText.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/RadioButton.h"
#include "platform/win/WindowMessages.h"
#include "project/DialogControls.h"
#include "project/LayerFrame.h"
#include "properties/DesignerContext.h"

namespace {

constexpr int kHeaderHeight = 24;
constexpr int kClientWidth = TLayerFrame::kWidth;
constexpr int kClientHeight = kHeaderHeight + kLayerCount * TLayerFrame::kHeight + 44;

}  // namespace

TFormLayersSettings::TFormLayersSettings(TComponent* owner) : TForm(owner) {
  SetName("FormLayersSettings");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(kClientWidth);
  SetClientHeight(kClientHeight);
  SetDialogFont(this);
  pnlHeader = AddControl<TPanel>(this, this, "pnlHeader", {0, 0, kClientWidth, kHeaderHeight});
  pnlHeader->SetBevelOuter(bvNone);
  pnlHeader->SetCaption("");
  lblLayer = AddControl<TLabel>(this, pnlHeader, "lblLayer", {38, 5, 150, 15});
  lblFrozen = AddControl<TLabel>(this, pnlHeader, "lblFrozen", {196, 5, 72, 15});
  lblVisible = AddControl<TLabel>(this, pnlHeader, "lblVisible", {272, 5, 72, 15});
  lblActive = AddControl<TLabel>(this, pnlHeader, "lblActive", {348, 5, 64, 15});
  for (int i = 0; i < kLayerCount; ++i) {
    auto* row = new TLayerFrame(this);
    row->SetName("LayerFrame" + std::to_string(i + 1));
    row->SetParent(this);
    row->SetTop(kHeaderHeight + i * TLayerFrame::kHeight);
  }
  // The rows are the first 16 frames among the components, in creation order.
  int found = 0;
  for (int i = 0; i < ComponentCount() && found < kLayerCount; ++i) {
    auto* row = dynamic_cast<TLayerFrame*>(Components(i));
    if (row == nullptr) continue;
    row->SetIndex(found);
    row->Dialog = this;
    Rows[found++] = row;
  }
  const int bottom = kClientHeight - 34;
  Button1 = AddControl<TButton>(this, this, "Button1", {kClientWidth - 166, bottom, 75, 25});
  Button1->ModalResult = mrOk;
  Button1->SetDefault(true);
  Button1->OnClick = {this, &TFormLayersSettings::Button1Click};
  Button2 = AddControl<TButton>(this, this, "Button2", {kClientWidth - 83, bottom, 75, 25});
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  SetCaption(GetUiText(7248));
  lblLayer->SetCaption(GetUiText(7249));
  lblFrozen->SetCaption(GetUiText(7250));
  lblVisible->SetCaption(GetUiText(7251));
  lblActive->SetCaption(GetUiText(7252));
  Button1->SetCaption(GetUiText(2005));
  Button2->SetCaption(GetUiText(2006));
  AfterConstruction();
}

void TFormLayersSettings::LoadLayers() {
  if (Designer == nullptr) return;
  // An active layer outside the table (a damaged file) is the first one, as
  // the designer reads it.
  const int active =
      Designer->ActiveLayer() >= 0 && Designer->ActiveLayer() < kLayerCount ? Designer->ActiveLayer() : 0;
  for (int i = 0; i < kLayerCount; ++i) {
    TLayerFrame& row = *Rows[i];
    const TGridLayer& layer = Designer->Layer(i);
    row.edtLayerName->SetText(layer.Name);
    row.cbFrozen->SetChecked(layer.Frozen);
    row.cbVisible->SetChecked(layer.Visible);
    if (i == active) row.rbActive->SetChecked(true);
  }
}

void TFormLayersSettings::SaveLayers() {
  if (Designer == nullptr) return;
  for (int i = 0; i < kLayerCount; ++i) {
    const TLayerFrame& row = *Rows[i];
    TGridLayer& layer = Designer->Layer(i);
    layer.Name = row.edtLayerName->Text();
    layer.Frozen = row.cbFrozen->Checked();
    layer.Visible = row.cbVisible->Checked();
    if (row.rbActive->Checked()) Designer->SetActiveLayer(i);
  }
}

void TFormLayersSettings::Button1Click(TObject*) { SaveLayers(); }

void TFormLayersSettings::UncheckOthers(TLayerFrame* row) {
  for (TLayerFrame* other : Rows) {
    if (other == row || other == nullptr) continue;
    other->rbActive->SetChecked(false);
    other->cbFrozen->SetEnabled(true);
    other->cbVisible->SetEnabled(true);
  }
}

void TFormLayersSettings::Dispatch(void* message) {
  if (static_cast<TMessage*>(message)->Msg == WM_HELP) {
    ShowProjectHelp();
    return;
  }
  TForm::Dispatch(message);
}
