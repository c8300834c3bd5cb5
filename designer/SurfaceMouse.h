#pragma once
// TSurfaceMouse: the mouse on the design surface and over its objects.
//
//   press     The left button clears the selection; every press stores the
//             press point and focuses the surface.
//   move      A pending insertion frame follows the pointer on the raster.
//             With the left button held, a drag of more than one unit from
//             the press point starts the rubber band (never in the live
//             view), which then follows the pointer. The status bar shows
//             the pointer, or the press point and the drag vector, in page
//             coordinates (client coordinates plus the scroll position).
//   release   The band selects what it encloses (dragged rightwards) or
//             touches (dragged leftwards) and goes; the right button opens
//             the surface's popup menu.
//
// Over a page object the status bar describes the object, and a pending
// insertion frame is centred on the pointer without snapping. The class also
// keeps the scroll range over every item (it only grows), clears the
// selection and snaps the selected objects to the grid.

#include <memory>
#include <string>

#include "platform/vcl/Closure.h"
#include "platform/vcl/ControlTypes.h"
#include "platform/vcl/GraphicsTypes.h"

class TControl;
class TGridInsert;
class TGridSelect;
class TGridWebElement;
class TObject;
class TScrollBox;

struct TSurfaceMouseContext {
  // The design surface; its items are the TGridGraphic components it owns.
  TScrollBox* surface = nullptr;
  // The background picture (sent behind a new band); may be null.
  TControl* background = nullptr;
  // The invisible label whose place keeps the scroll range.
  TControl* marker = nullptr;
  // The live view runs (no band starts); null counts as off.
  Closure<bool()> liveView;
  // The insertion frame that follows the mouse, or null when none does.
  Closure<TGridInsert*()> insertion;
  // Shows a text in the first panel of the status bar.
  Closure<void(const std::string&)> showStatus;
  // Opens the surface's popup menu at a screen point.
  Closure<void(int x, int y)> popup;
  // Records an undo snapshot (the designer's PushUndo).
  Closure<void()> pushUndo;
  // The raster in pixels and the pixels of a unit (null counts as 1).
  const int* rasterX = nullptr;
  const int* rasterY = nullptr;
  const int* unitPixels = nullptr;
};

class TSurfaceMouse {
 public:
  explicit TSurfaceMouse(TSurfaceMouseContext context);
  ~TSurfaceMouse();
  TSurfaceMouse(const TSurfaceMouse&) = delete;
  TSurfaceMouse& operator=(const TSurfaceMouse&) = delete;

  // The surface's and the background picture's mouse events (sender: the
  // control that reports the point).
  void MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void MouseMove(TObject* sender, TShiftState shift, int x, int y);
  void MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  // The mouse-move event of every page object and of the insertion frame.
  void ObjectMouseMove(TObject* sender, TShiftState shift, int x, int y);

  // Deselects every item of the surface, then repaints it.
  void ClearSelection();
  // Moves the marker label to the farthest right and bottom edges of the
  // surface's items; it never moves back.
  void UpdateScrollExtent();
  // An undo snapshot, then every selected object that may be selected now
  // snaps to the raster.
  void AlignToGrid();

  // The rubber band while it is dragged, else null.
  TGridSelect* Band() const { return band_.get(); }
  bool Pressed() const { return pressed_; }

 private:
  // A point reported by `sender` in surface client coordinates.
  TPoint ToClient(TObject* sender, int x, int y) const;
  // Client coordinates plus the scroll position.
  TPoint ToPage(const TPoint& client) const;
  void StartBand();
  static std::string ObjectStatus(TGridWebElement& object);
  void ShowStatus(const std::string& text) const;
  static int Units(const int* value) { return value != nullptr && *value > 0 ? *value : 1; }

  TSurfaceMouseContext context_;
  // The last press, in page coordinates.
  TPoint press_{};
  bool pressed_ = false;
  std::unique_ptr<TGridSelect> band_;
};
