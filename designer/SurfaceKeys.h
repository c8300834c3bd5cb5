#pragma once
// TSurfaceKeys: the keys of the design surface and the deletion of the
// selected page objects.
//
//   key down   Delete frees the selected objects (after an undo snapshot);
//              while an insertion frame follows the mouse, Esc cancels it
//              and Enter or Space drop it where the mouse is.
//   character  Ctrl+D sends the selection one step backward, Ctrl+U brings
//              it one step forward; upper-case A, D, S and W move it one
//              unit left, right, down and up without an undo snapshot
//              (lower-case letters do nothing).
//   key up     An arrow without Ctrl moves the selection one unit, then an
//              undo snapshot records the moved state. The surface never sees
//              an arrow go down: the form's dialog handling takes it.
//
// The moves and z-order keys do nothing while the live view runs. Only
// objects that may be selected now move or go: objects on hidden or frozen
// layers, locked objects and every object of a locked group stay.

#include "platform/vcl/Closure.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/ControlTypes.h"
#include "platform/win/WindowTypes.h"

class TGridInsert;
class TGridWebElement;
class TScrollBox;

// What the keys act on and the designer's commands they call.
struct TSurfaceKeysContext {
  // The design surface; its page objects are the TGridWebElement components
  // it owns.
  TScrollBox* surface = nullptr;
  // The designer's live-view flag; null counts as off.
  const bool* liveView = nullptr;
  // The insertion frame that follows the mouse, or null when none does.
  Closure<TGridInsert*()> insertion;
  // Records an undo snapshot (the designer's PushUndo).
  Closure<void()> pushUndo;
  // The designer's z-order commands (SendBackward1Click and
  // BringForward1Click), called with the surface as sender.
  TNotifyEvent sendBackward;
  TNotifyEvent bringForward;
};

class TSurfaceKeys {
 public:
  explicit TSurfaceKeys(TSurfaceKeysContext context);
  // Attach binds the surface's events to this object, which stays in place.
  TSurfaceKeys(const TSurfaceKeys&) = delete;
  TSurfaceKeys& operator=(const TSurfaceKeys&) = delete;

  // Binds KeyDown, KeyPress and KeyUp to the surface's key events.
  void Attach();

  // The surface's OnKeyDown, OnKeyPress and OnKeyUp. No key is consumed.
  void KeyDown(TObject* sender, WORD& key, TShiftState shift);
  void KeyPress(TObject* sender, char& key);
  void KeyUp(TObject* sender, WORD& key, TShiftState shift);

  // Records an undo snapshot, then frees every page object of the surface
  // that is selected and may be selected now (the Delete key and the cut
  // commands).
  void DeleteSelectedObjects();

 private:
  bool LiveView() const { return context_.liveView != nullptr && *context_.liveView; }
  // The first page object of the surface, through which the selection moves;
  // null when the surface holds none.
  TGridWebElement* FirstPageObject() const;
  // Esc, Enter and Space while the frame follows the mouse.
  void InsertionKey(TGridInsert& frame, WORD key);
  void PushUndo();

  TSurfaceKeysContext context_;
};
