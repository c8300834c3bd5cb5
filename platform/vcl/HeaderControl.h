#pragma once
// THeaderControl (unit ComCtrls): a row of column titles (sections). A
// click on a section fires OnSectionClick; dragging the divider at a
// section's right edge resizes it (within MinWidth and MaxWidth) and fires
// OnSectionResize when the mouse is let go. DrawHeaderCell paints one title
// cell in the classic look (list views use it for their column titles).

#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/StdCtrlsTypes.h"
#include "platform/vcl/WinControl.h"

class THeaderControl;

enum THeaderSectionStyle { hsText, hsOwnerDraw };

class THeaderSection {
 public:
  std::string Text() const { return text_; }
  void SetText(const std::string& value);
  int Width() const { return width_; }
  void SetWidth(int value);
  int MinWidth = 0;
  int MaxWidth = 10000;
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  THeaderSectionStyle Style = hsText;
  bool AllowClick = true;
  int Index() const;
  // The section's left and right edges in the header's client coordinates.
  int Left() const;
  int Right() const { return Left() + width_; }

 private:
  friend class THeaderSections;
  explicit THeaderSection(THeaderControl* header) : header_(header) {}
  THeaderControl* header_;
  std::string text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class THeaderSections {
 public:
  explicit THeaderSections(THeaderControl* header) : header_(header) {}
  THeaderSection* Add();
  THeaderSection* Insert(int index);
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(sections_.size()); }
  // EInvalidOperation for an index outside 0 .. Count() - 1.
  THeaderSection* Items(int index) const;
  THeaderSection* operator[](int index) const { return Items(index); }
  int IndexOf(const THeaderSection* section) const;

 private:
  THeaderControl* header_;
  std::vector<std::unique_ptr<THeaderSection>> sections_;
};

using TSectionNotifyEvent = Closure<void(THeaderControl* HeaderControl, THeaderSection* Section)>;
using TDrawSectionEvent =
    Closure<void(THeaderControl* HeaderControl, THeaderSection* Section, const TRect& Rect, bool Pressed)>;

class THeaderControl : public TCustomControl {
 public:
  explicit THeaderControl(TComponent* AOwner);
  ~THeaderControl() override;

  THeaderSections* Sections() { return sections_.get(); }
  // The section at a client x (null past the last one).
  THeaderSection* SectionAt(int x) const;

  TSectionNotifyEvent OnSectionClick;
  TSectionNotifyEvent OnSectionResize;
  TDrawSectionEvent OnDrawSection;

  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  std::unique_ptr<THeaderSections> sections_;
  THeaderSection* pressed_ = nullptr;  // the section the mouse pressed
  TButtonPress press_;
  THeaderSection* sizing_ = nullptr;
  int sizeStartX_ = 0;
  int sizeStartWidth_ = 0;
};

// One title cell: a raised button face (sunken when pressed) with the text
// clipped to it, ending in "..." where it is cut.
void DrawHeaderCell(TCanvas* canvas, const TRect& rect, const std::string& text, TAlignment alignment, bool pressed);
