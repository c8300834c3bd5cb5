#pragma once
// TImage: shows a picture (Picture) on its parent: at its own size from the
// top-left corner, centred (Center), or stretched over the control
// (Stretch, keeping its proportions with Proportional). Transparent makes
// the picture's transparent colour show what lies below. Canvas draws on the
// picture's bitmap (a bitmap of the control's size is made when the picture
// is empty); drawing on another kind of picture raises EInvalidOperation.

#include <memory>

#include "platform/vcl/Control.h"
#include "platform/vcl/Picture.h"

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() { return picture_.get(); }
  void SetPicture(const TPicture* value) { picture_->Assign(value); }
  // The canvas of the picture's bitmap (not the control's painting canvas).
  TCanvas* Canvas();

  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // The control takes the picture's size when the picture changes.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);

  TNotifyEvent OnProgress;

  void Paint() override;

 private:
  void PictureChanged();
  TRect DestRect() const;

  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool proportional_ = false;
  bool transparent_ = false;
  bool autoSize_ = false;
};
