#pragma once
// TToolBar and TToolButton (unit ComCtrls). A tool bar lines its buttons up
// from the left in the order they were put on it (wrapping into more rows
// when Wrapable and the row is full); every button has ButtonWidth x
// ButtonHeight, separators and dividers their own Width. Buttons show the
// picture ImageIndex of the bar's Images (DisabledImages, or the embossed
// picture, when disabled) and, with ShowCaptions, their caption below it.
//
// Buttons of style tbsCheck stay down after a click; Grouped check buttons
// next to each other form a group in which one is down (AllowAllUp lets a
// click raise it). A click of the user changes Down first, then fires
// OnClick; setting Down in code fires nothing and keeps the group's rule.

#include <string>
#include <vector>

#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/WinControl.h"

class TCustomImageList;
class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolButton : public TGraphicControl {
 public:
  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;

  bool Down() const { return down_; }
  void SetDown(bool value);
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle value);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  bool Indeterminate() const { return indeterminate_; }
  void SetIndeterminate(bool value);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool value);
  // The place on the tool bar (-1 when on none).
  int Index() const;
  TToolBar* ToolBar() const { return toolBar_; }

  void SetParent(TWinControl* parent) override;
  void SetVisible(bool value) override;
  void SetEnabled(bool value) override;
  void Paint() override;
  void Dispatch(void* message) override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  friend class TToolBar;
  // The grouped check buttons next to this one (itself included).
  std::vector<TToolButton*> Group() const;
  bool IsSeparator() const { return style_ == tbsSeparator || style_ == tbsDivider; }

  TToolBar* toolBar_ = nullptr;
  bool down_ = false;
  TToolButtonStyle style_ = tbsButton;
  bool grouped_ = false;
  bool allowAllUp_ = false;
  int imageIndex_ = -1;
  bool indeterminate_ = false;
  bool wrap_ = false;
  TButtonPress press_;
  bool hot_ = false;
};

class TToolBar : public TCustomControl {
 public:
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  // EInvalidOperation for an index outside 0 .. ButtonCount() - 1.
  TToolButton* Buttons(int index) const;

  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  TCustomImageList* DisabledImages() const { return disabledImages_; }
  void SetDisabledImages(TCustomImageList* value);
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int value);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool value);
  bool Wrapable() const { return wrapable_; }
  void SetWrapable(bool value);
  int Indent() const { return indent_; }
  void SetIndent(int value);
  // Places the buttons again (after a change of a button or the bar).
  void ArrangeButtons();

  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;

 protected:
  void SizeChanged() override;

 private:
  friend class TToolButton;
  void AddButton(TToolButton* button);
  void RemoveButton(TToolButton* button);

  std::vector<TToolButton*> buttons_;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* disabledImages_ = nullptr;
  int buttonWidth_ = 23;
  int buttonHeight_ = 22;
  bool flat_ = false;
  bool showCaptions_ = false;
  bool wrapable_ = true;
  int indent_ = 0;
  bool arranging_ = false;
};
