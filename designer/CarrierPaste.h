#pragma once
// TCarrierPaste: pastes page objects from a clipboard text into an insertion
// frame that follows the mouse. The objects are read onto the surface hidden,
// the frame is made around them with the designer's raster, put in front of
// everything and centred on the mouse pointer; the drop places them.
//
// In tool mode (an insert tool's template) the first `object` of the text
// goes to position 1, 1 first. Every `Uid` of the text is removed, so the
// objects take new ones. A text without objects makes no frame.

#include <string>

#include "platform/vcl/Closure.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/ControlTypes.h"

class TCanvas;
class TGridInsert;
class TmyXmlNode;
class TScrollBox;
class TWinControl;

struct TCarrierPasteContext {
  TScrollBox* surface = nullptr;
  // The designer's reader of `object` children onto a surface.
  Closure<void(TmyXmlNode* container, TWinControl* surface)> loadObjects;
  // Deselects everything on the surface.
  Closure<void()> clearSelection;
  // Cancels a pending frame.
  Closure<void()> cancelPending;
  // Takes the new frame as the pending one.
  Closure<void(TGridInsert* frame)> setPending;
  // The canvas the new objects are drawn on once (to size them).
  Closure<TCanvas*()> canvas;
  // The layer every pasted object gets; none (negative) keeps theirs.
  Closure<int()> pasteLayer;
  Closure<void()> updateScrollExtent;
  // The designer's raster (pixels), attached to the frame by reference.
  int* rasterX = nullptr;
  int* rasterY = nullptr;
  // The frame's handlers: before and after the drop, cancel, mouse move.
  TNotifyEvent beforeDrop;
  TNotifyEvent afterDropTool;
  TNotifyEvent afterDropPaste;
  TNotifyEvent cancel;
  Closure<void(TObject*, TShiftState, int, int)> mouseMove;
};

class TCarrierPaste {
 public:
  explicit TCarrierPaste(TCarrierPasteContext context);

  // Pastes the text; toolMode: an insert tool's template. Answers the new
  // frame, or null when the text held no object.
  TGridInsert* Paste(const std::string& text, bool toolMode);

 private:
  TCarrierPasteContext context_;
};
