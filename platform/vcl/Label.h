#pragma once
// TLabel: a text on its parent, without a window. With AutoSize (the
// default) its size follows its text; Transparent leaves its parent's
// pixels behind the text; a disabled label shows its text embossed in grey.

#include "platform/vcl/Control.h"
#include "platform/vcl/StdCtrlsTypes.h"

class TWinControl;

class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // The control that gets the focus for the label's accelerator.
  TWinControl* FocusControl = nullptr;

  void Paint() override;
  void Dispatch(void* message) override;
  void SetParent(TWinControl* parent) override;

 protected:
  // Sizes the label to its text (AutoSize).
  void AdjustBounds();

 private:
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool transparent_ = false;
};

class TLabel : public TCustomLabel {
 public:
  using TCustomLabel::TCustomLabel;
};
