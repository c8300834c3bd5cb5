#pragma once
// TStatusBar (unit ComCtrls): the bar at the bottom of a window with text
// panels side by side; the last panel reaches to the right end. With
// SimplePanel the bar shows SimpleText alone. A panel of style psOwnerDraw
// is painted by OnDrawPanel on the bar's Canvas inside the panel's frame.
// A change of a panel invalidates the bar; Repaint paints it at once.

#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/Painting.h"
#include "platform/vcl/StdCtrlsTypes.h"
#include "platform/vcl/WinControl.h"

class TStatusBar;

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel {
 public:
  const std::string& Text() const { return text_; }
  void SetText(const std::string& value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel value);
  int Index() const;
  TStatusBar* StatusBar() const { return bar_; }

 private:
  friend class TStatusPanels;
  explicit TStatusPanel(TStatusBar* bar) : bar_(bar) {}
  TStatusBar* bar_;
  std::string text_;
  int width_ = 50;
  TStatusPanelStyle style_ = psText;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusPanels {
 public:
  explicit TStatusPanels(TStatusBar* bar) : bar_(bar) {}
  TStatusPanel* Add();
  TStatusPanel* Insert(int index);
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(panels_.size()); }
  // EInvalidOperation for an index outside 0 .. Count() - 1.
  TStatusPanel* Items(int index) const;
  TStatusPanel* operator[](int index) const { return Items(index); }
  void BeginUpdate() { ++updating_; }
  void EndUpdate();

 private:
  friend class TStatusPanel;
  void Changed();
  TStatusBar* bar_;
  std::vector<std::unique_ptr<TStatusPanel>> panels_;
  int updating_ = 0;
};

using TDrawPanelEvent = Closure<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusBar : public TCustomControl {
 public:
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;

  TStatusPanels* Panels() { return panels_.get(); }
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool value);
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::string& value);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool value);
  // The panel's rectangle (frame included) in client coordinates.
  TRect PanelRect(int index) const;

  TDrawPanelEvent OnDrawPanel;

  void Paint() override;

 protected:
  virtual void DrawPanel(TStatusPanel* panel, const TRect& rect);

 private:
  std::unique_ptr<TStatusPanels> panels_;
  bool simplePanel_ = false;
  std::string simpleText_;
  bool sizeGrip_ = true;
};
