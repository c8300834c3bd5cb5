#include "project/LayerFrame.h"

#include <array>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/RadioButton.h"
#include "project/DialogControls.h"
#include "project/FormLayersSettings.h"

namespace {

constexpr int kIconSide = 16;

enum class TLayerIcon { kVisible, kHidden, kFrozen };

// The rows' icons, drawn: an open eye, a closed eye, a snowflake.
void DrawIcon(TImage* image, TLayerIcon icon) {
  TBitmap& bitmap = *image->Picture()->Bitmap();
  bitmap.SetSize(kIconSide, kIconSide);
  TCanvas& canvas = *bitmap.Canvas;
  canvas.Brush->Color = clBtnFace;
  canvas.FillRect({0, 0, kIconSide, kIconSide});
  canvas.Pen->Color = icon == TLayerIcon::kFrozen ? clNavy : clBlack;
  if (icon == TLayerIcon::kFrozen) {
    for (const auto& [x1, y1, x2, y2] :
         {std::array{8, 1, 8, 15}, std::array{1, 8, 15, 8}, std::array{3, 3, 13, 13}, std::array{13, 3, 3, 13}}) {
      canvas.MoveTo(x1, y1);
      canvas.LineTo(x2, y2);
    }
    return;
  }
  canvas.Brush->Color = clWhite;
  canvas.Ellipse(1, 4, 15, 12);
  if (icon == TLayerIcon::kVisible) {
    canvas.Brush->Color = clNavy;
    canvas.Ellipse(5, 5, 11, 11);
    return;
  }
  canvas.MoveTo(1, 14);
  canvas.LineTo(15, 2);
}

}  // namespace

TLayerFrame::TLayerFrame(TComponent* owner) : TFrame(owner) {
  SetBounds(0, 0, kWidth, kHeight);
  lblIndex = AddControl<TLabel>(this, this, "lblIndex", {8, 5, 28, 15});
  edtLayerName = AddControl<TEdit>(this, this, "edtLayerName", {38, 1, 150, 23});
  cbFrozen = AddControl<TCheckBox>(this, this, "cbFrozen", {204, 4, 17, 17});
  imgFrozen = AddControl<TImage>(this, this, "imgFrozen", {222, 5, kIconSide, kIconSide});
  cbVisible = AddControl<TCheckBox>(this, this, "cbVisible", {280, 4, 17, 17});
  imgVis = AddControl<TImage>(this, this, "imgVis", {298, 5, kIconSide, kIconSide});
  imgInvis = AddControl<TImage>(this, this, "imgInvis", {298, 5, kIconSide, kIconSide});
  rbActive = AddControl<TRadioButton>(this, this, "rbActive", {360, 4, 17, 17});
  DrawIcon(imgVis, TLayerIcon::kVisible);
  DrawIcon(imgInvis, TLayerIcon::kHidden);
  DrawIcon(imgFrozen, TLayerIcon::kFrozen);
  imgInvis->SetVisible(false);
  imgFrozen->SetVisible(false);
  cbVisible->SetChecked(true);
  rbActive->OnClick = {this, &TLayerFrame::rbActiveClick};
  cbFrozen->OnClick = {this, &TLayerFrame::cbFrozenClick};
  cbVisible->OnClick = {this, &TLayerFrame::cbVisibleClick};
}

void TLayerFrame::SetIndex(int index) { lblIndex->SetCaption(std::to_string(index + 1) + "."); }

void TLayerFrame::rbActiveClick(TObject*) {
  if (!rbActive->Checked()) return;
  cbFrozen->SetChecked(false);
  cbVisible->SetChecked(true);
  cbFrozen->SetEnabled(false);
  cbVisible->SetEnabled(false);
  if (Dialog != nullptr) Dialog->UncheckOthers(this);
}

void TLayerFrame::cbFrozenClick(TObject*) { imgFrozen->SetVisible(cbFrozen->Checked()); }

void TLayerFrame::cbVisibleClick(TObject*) {
  imgVis->SetVisible(cbVisible->Checked());
  imgInvis->SetVisible(!cbVisible->Checked());
}
