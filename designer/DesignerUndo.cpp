// TFormDesign1: the undo history of the shown page. TUndoHistory keeps the
// snapshots; the window gives it the design surface (snapshots written and
// rebuilt through the page loader), the change stamp, the clock, the modified
// flag and the two buttons tbUndo and tbRedo.

#include <memory>
#include <string>

#include "designer/FormDesign1.h"
#include "designer/SurfaceObjects.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ScrollBox.h"

namespace {

class TDesignerUndoSurface final : public TUndoSurface {
 public:
  explicit TDesignerUndoSurface(TFormDesign1& designer) : designer_(designer) {}

  void WriteSurfaceObjects(TmyXmlNode& snapshot) override {
    ::WriteSurfaceObjects(*designer_.sbDesign1, snapshot, designer_.FLangMutations);
  }

  // The snapshot goes through the page loader in place of a page element. It
  // carries no `name`: the shown page stays the same, so its name stays for
  // the live view. The loader clears the background picture for the
  // snapshot and redraws it from the shown page. A pending insertion frame
  // carries hidden objects that live on the surface: it is cancelled first,
  // so that it never holds objects the rebuild freed.
  void RestoreSurfaceObjects(TmyXmlNode& snapshot) override {
    designer_.CancelInsertion();
    designer_.ClearDesignElements();
    const std::string shownPage = designer_.FShownPageName;
    designer_.LoadPage(&snapshot);
    designer_.FShownPageName = shownPage;
  }

  int CurrentUcid() const override { return designer_.FCurrentUcid; }
  void SetCurrentUcid(int ucid) override { designer_.FCurrentUcid = ucid; }
  int GetUcidTime() override { return designer_.GetUcidTime(); }
  void SetModified() override { designer_.SetModified(); }
  void EnableUndo(bool enabled) override { designer_.tbUndo->SetEnabled(enabled); }
  void EnableRedo(bool enabled) override { designer_.tbRedo->SetEnabled(enabled); }

 private:
  TFormDesign1& designer_;
};

}  // namespace

void TFormDesign1::CreateUndoHistory() {
  undoSurface_ = std::make_unique<TDesignerUndoSurface>(*this);
  undo_ = std::make_unique<TUndoHistory>(*undoSurface_);
  FUndoTree = undo_->Tree();
  undo_->ResetUndo();
}

void TFormDesign1::PushUndo() { undo_->PushUndo(); }

void TFormDesign1::ResetUndo() { undo_->ResetUndo(); }

void TFormDesign1::tbUndoClick(TObject*) { undo_->UndoStep(); }

void TFormDesign1::tbRedoClick(TObject*) { undo_->RedoStep(); }

void TFormDesign1::ToolButton6Click(TObject*) { PushUndo(); }

void TFormDesign1::InsertCarrierUndo(TObject*) { PushUndo(); }
