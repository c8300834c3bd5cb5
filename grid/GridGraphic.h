#pragma once
// TGridGraphic: the base of every item on the design surface. It keeps the
// item's position in units of FUnitPixels pixels (1-based), its selection, the
// popup menus and the events that page objects fire, and declares the virtual
// operations the items fill in. Selection is each item's own flag; operations
// on "the selection" walk the items owned by the item's parent control.
//
// The drawing helpers at the end (coloured frames and fills, gradients, 3D
// bars) are used by the page objects' drawing.

#include <vector>

#include "platform/vcl/Control.h"
#include "platform/vcl/GraphicsTypes.h"

class TCanvas;
class TPopupMenu;

class TGridGraphic : public TGraphicControl {
 public:
  TGridGraphic(TComponent* owner, int unitPixels);
  ~TGridGraphic() override;

  virtual void SetPosition(int posX, int posY) = 0;
  // Invalidate, then selected as far as CanSelect allows.
  virtual void Select();
  virtual void SetMenus(void* liveMenu, TPopupMenu* multiPopup);
  virtual void MoveHook(int dx, int dy);
  virtual bool WantsMoveHook();
  virtual bool CanSelect();
  virtual TRect GetRect();
  // contained: the item lies wholly inside the rectangle; otherwise it touches it.
  virtual bool InRect(bool contained, int left, int top, int right, int bottom);
  virtual void Draw(int x, int y, TCanvas* canvas);

  TPoint GetPosition() const { return {FPosX, FPosY}; }
  int UnitPixels() const { return FUnitPixels; }
  bool Selected() const { return FSelected; }
  bool Hover() const { return FHover; }
  TPoint ClickPos() const { return FClickPos; }
  // Left, Top, Width and Height scaled from the old unit size to the new one.
  void SetUnitPixels(int newPixels);
  void SetLiveModeFlag(bool* liveMode) { FLiveMode = liveMode; }
  bool* LiveModeFlag() const { return FLiveMode; }
  void SetOnMoved(TNotifyEvent event) { FOnMoved = event; }

  void SetPopupMenuItem(TPopupMenu* menu) { FPopupMenu = menu; }
  TPopupMenu* PopupMenuItem() const { return FPopupMenu; }
  void SetEditPopup(TPopupMenu* menu) { FEditPopup = menu; }
  TPopupMenu* EditPopup() const { return FEditPopup; }

  // A point of the item into the parent's client coordinates and back (the
  // point unchanged, and a trace line, without a parent).
  TPoint ClientToParent(const TPoint& point);
  TPoint ParentToClient(const TPoint& point);
  // Two or more selectable items of the surface are selected.
  bool MoreThanOneSelected();
  // The item's unit position grows by (dx, dy).
  void MoveBy(TGridGraphic* item, int dx, int dy);
  // Moves every selected item of the surface (after the move hooks); false
  // when there is nothing to move by.
  bool MoveSelected(int dx, int dy);
  void DeselectInvalidate();
  void DeselectRepaint();
  void DeselectOthers();
  // Key handler of the page objects' in-place editors: with Ctrl held the
  // edit popup menu acts on the editor.
  void EditorKeyDown(TObject* sender, WORD& key, TShiftState shift);

  TNotifyEvent FOnBeforeMove;
  TNotifyEvent FOnBeforeResize;
  TNotifyEvent FOnMoved;

 protected:
  bool IsLive() const { return FLiveMode != nullptr && *FLiveMode; }
  // The items of the surface (the TGridGraphic components owned by the
  // parent control, in ownership order, this one included); empty without a
  // parent.
  std::vector<TGridGraphic*> Siblings() const;

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;

  int FPosX = 0;
  int FPosY = 0;
  bool FHover = false;
  bool FDblClicked = false;
  int FUnitPixels = 0;
  bool FSelected = false;
  TControl* FEditor = nullptr;
  bool* FLiveMode = nullptr;
  void* FLiveMenu = nullptr;
  TPopupMenu* FMultiPopup = nullptr;
  TPoint FClickPos{};
  TPopupMenu* FPopupMenu = nullptr;
  TPopupMenu* FEditPopup = nullptr;
};

// The rubber band dragged over the empty surface: selects the items it
// contains (dragged to the right) or touches (dragged to the left).
class TGridSelect : public TGridGraphic {
 public:
  TGridSelect(TComponent* owner, int unitPixels, int left, int top);
  void SetPosition(int posX, int posY) override;
  // Selects the items the band takes; deselects nothing.
  void Select() override;
  void SelectContained();
  // The far corner follows the mouse; width and height may become negative.
  void ResizeTo(int x, int y);

 protected:
  void Paint() override;
};

// --- drawing helpers ---
// A frame of the rectangle in the colour (a line when it is 1 wide or high).
void FrameColorRect(TCanvas* canvas, int x, int y, int w, int h, TColor colour);
// The rectangle filled in the colour (a line when it is 1 wide or high).
void FillColorRect(TCanvas* canvas, int x, int y, int w, int h, TColor colour);
// Bands from colour1 to colour2 across the width (horizontal) or the height;
// forward runs from colour1 at the start, not forward the other way.
void DrawGradient(TCanvas* canvas, int x, int y, int w, int h, TColor colour1, TColor colour2, bool horizontal,
                  bool forward);
// A bar shaded from colour1 at its edges to colour2 at a third of its
// thickness, with a double frame in colour1; negative sizes count from the
// other edge.
void Draw3DBar(TCanvas* canvas, int x, int y, int w, int h, TColor colour1, TColor colour2, bool horizontal);
