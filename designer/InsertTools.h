#pragma once
// TInsertTools: the insert tools of the designer's toolbar and the life of
// the insertion frame they make.
//
// A tool click cancels a pending frame, then pastes the tool's template
// (ObjectTemplates.h) in tool mode: the new object follows the mouse in a
// frame until a click, Enter or Space drops it. The drop records an undo
// snapshot (the frame's before-drop handler), then the placed object's
// double-click action opens its properties dialog and the arrow tool is
// pressed again. Escape, a new tool, a new paste, another page and the live
// view cancel the frame, which deletes its objects and presses the arrow
// (unless a tool click is switching tools).
//
// A frame is never freed inside its own drop or cancel: it is given up by the
// surface at once and freed at the next release, or with this object.

#include <array>
#include <memory>
#include <string>

#include "designer/ObjectTemplates.h"
#include "platform/vcl/Closure.h"

class TGridInsert;
class TObject;
class TScrollBox;

struct TInsertToolsContext {
  // The surface whose page objects the frame places.
  TScrollBox* surface = nullptr;
  // The designer's pending frame (read and forgotten here).
  TGridInsert** pending = nullptr;
  // The users' templates by slot.
  const std::array<std::string, kTemplateSlots>* templates = nullptr;
  // Pastes the template of the tool of a Tag with a frame in tool mode.
  Closure<void(int tag, const std::string& text)> pasteTemplate;
  // Presses the arrow button.
  Closure<void()> pressArrow;
};

class TInsertTools {
 public:
  explicit TInsertTools(TInsertToolsContext context);
  ~TInsertTools();
  TInsertTools(const TInsertTools&) = delete;
  TInsertTools& operator=(const TInsertTools&) = delete;

  // The click of a tool button; its Tag picks the tool.
  void ToolClick(TObject* sender);
  // The frame's after-drop handler of a tool: the first placed object opens
  // its properties dialog, the arrow is pressed, the frame released.
  void PlaceInsertedObject(TObject* frame);
  // The frame's after-drop handler of a paste: the frame is released and
  // the arrow pressed.
  void ReleaseInsertTool(TObject* frame);
  // The frame's cancel handler: the frame is released; the arrow is pressed
  // unless a tool click is switching tools.
  void CancelInsertTool(TObject* frame);
  // Cancels the pending frame, if any, as Escape does: the frame's cancel
  // handler releases it while it is still the pending one.
  void CancelPending();

 private:
  bool IsPending(TObject* frame) const;
  // Forgets the pending frame and frees it once its handler has returned.
  void Release();
  void PressArrow();

  TInsertToolsContext context_;
  bool switching_ = false;
  // The last frame released, freed at the next release.
  std::unique_ptr<TGridInsert> released_;
};
