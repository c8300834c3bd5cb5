#pragma once
// Shared pieces of the editing tests: a designer whose surface holds real
// page objects read from page text, the surface as the undo history sees it
// (snapshots written and read back by the designer's own writer and reader),
// and text dumps of the surface and the history.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "designer/FormDesign1.h"
#include "designer/UndoHistory.h"
#include "grid/GridWebElement.h"

namespace editingtest {

// The designer's surface behind the undo history: snapshots are the page
// objects written as `object` elements and read back with LoadObjects; the
// change stamp, the clock, the modified flag and the two buttons are fields.
class TTestUndoSurface final : public TUndoSurface {
 public:
  explicit TTestUndoSurface(TFormDesign1& designer) : designer_(designer) {}

  void WriteSurfaceObjects(TmyXmlNode& snapshot) override;
  void RestoreSurfaceObjects(TmyXmlNode& snapshot) override;
  int CurrentUcid() const override { return ucid; }
  void SetCurrentUcid(int value) override { ucid = value; }
  int GetUcidTime() override { return now; }
  void SetModified() override { modified = true; }
  void EnableUndo(bool enabled) override { undoEnabled = enabled; }
  void EnableRedo(bool enabled) override { redoEnabled = enabled; }

  int ucid = 0;
  // What the clock says; tests move it on.
  int now = 1700000000;
  bool modified = false;
  bool undoEnabled = false;
  bool redoEnabled = false;
  int restores = 0;

 private:
  TFormDesign1& designer_;
};

// A designer (shown, 8 pixels a unit) with the undo history over its surface.
class EditingTest : public ::testing::Test {
 protected:
  EditingTest();
  ~EditingTest() override;

  TFormDesign1& designer() const { return *designer_; }
  TScrollBox* box() const { return designer_->sbDesign1; }

  // The `object` elements of the text (written inside a page) read onto the
  // emptied surface.
  void LoadObjects(const std::string& objectsText);
  // The surface's page objects, back to front.
  std::vector<TGridWebElement*> Objects() const;
  TGridWebElement* ObjectByUid(int uid) const;
  // One line an object, back to front: "uid kind x,y layer sel caption".
  std::string Dump() const;
  // The surface's objects written as a snapshot's children.
  std::string SurfaceText() const;
  // The text of an entry's children (its objects as written).
  static std::string EntryText(TmyXmlNode* entry);
  // The history's entries, oldest first: the caption of each entry's first
  // object, "*" after a used one ("1"), "-" after one unmarked by a redo
  // ("0"); "(none)" for an entry without objects.
  std::string History() const;

  std::unique_ptr<TFormDesign1> designer_;
  TTestUndoSurface surface_;
  TUndoHistory history_;
};

// A label at a unit position with a caption.
std::string Label(int uid, int posX, int posY, const std::string& caption, int layer = 0);
// The text of a tree as the project writer writes it.
std::string WriteTree(TmyXmlNode* root);

}  // namespace editingtest
