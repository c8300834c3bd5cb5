#pragma once
// TLayerFrame: one row of the layers dialog: the layer's number, name,
// frozen and visible switches with their icons, and the active mark. The
// rows do not share a radio group: the dialog clears the other rows' marks.

#include "platform/vcl/Frame.h"

class TCheckBox;
class TEdit;
class TImage;
class TLabel;
class TRadioButton;
class TFormLayersSettings;

class TLayerFrame : public TFrame {
 public:
  static constexpr int kHeight = 26;
  static constexpr int kWidth = 400;

  explicit TLayerFrame(TComponent* owner);

  TLabel* lblIndex = nullptr;
  TEdit* edtLayerName = nullptr;
  TCheckBox* cbFrozen = nullptr;
  TCheckBox* cbVisible = nullptr;
  TRadioButton* rbActive = nullptr;
  TImage* imgVis = nullptr;
  TImage* imgInvis = nullptr;
  TImage* imgFrozen = nullptr;
  // The dialog the row belongs to (set by the dialog).
  TFormLayersSettings* Dialog = nullptr;

  // The row label: index + 1 and a full stop ("1." to "16.").
  void SetIndex(int index);

  void rbActiveClick(TObject* sender);
  void cbFrozenClick(TObject* sender);
  void cbVisibleClick(TObject* sender);
};
