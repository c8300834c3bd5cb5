#pragma once
// TSpeedButton: a tool button without a window (it never takes the focus).
// With GroupIndex 0 it springs back up after a click; with a GroupIndex it
// stays Down after a click, and the other buttons of the same parent and
// group go up (AllowAllUp lets a click raise the down button again).
// Setting Down in code fires no OnClick. Flat buttons show their edge only
// while the mouse is over them or while down.

#include <memory>

#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Control.h"

class TBitmap;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  bool Down() const { return down_; }
  void SetDown(bool value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  // The picture; its bottom-left pixel's colour is transparent. With
  // NumGlyphs 2 or more the bitmap holds that many pictures side by side
  // (up, disabled, ...); the first one is shown, the second when disabled.
  TBitmap* Glyph() { return glyph_.get(); }
  void SetGlyph(const TBitmap* value);
  int NumGlyphs = 1;
  TButtonLayout Layout = blGlyphLeft;
  int Spacing = 4;
  int Margin = -1;
  // The image list index of tool buttons built on this class (painted by
  // whoever knows the image list; -1: none).
  int ImageIndex = -1;

  void Click() override;
  void Paint() override;
  void Dispatch(void* message) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // The pressed look: down, or held by the mouse.
  bool ShownDown() const { return down_ || press_.Pushed(); }

 private:
  void UpdateExclusive();
  std::unique_ptr<TBitmap> glyph_;
  bool down_ = false;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool flat_ = false;
  TButtonPress press_;
  bool hot_ = false;
};
