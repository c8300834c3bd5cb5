#pragma once
// TUndoHistory: the short history behind the designer's undo and redo
// buttons. Each entry is a snapshot of the shown page's objects, written as
// the `object` elements the project stores, so an entry can be restored by
// the page loader and compared as text.
//
// The history is an element "UndoTree" of its own (never part of the project
// document) whose `Undo` children are the entries, oldest first. An entry has
// `ucid`, the page's change stamp when it was taken, and `used`: "1" marks an
// entry that an undo restored and that lies ahead of the current state (the
// redo part); any other value, or none, an entry behind it. At most
// kUndoDepth entries are kept; a push that would keep more drops the oldest.
//
// The history belongs to the shown page: the designer resets it whenever the
// tree selection changes, so an undo never crosses pages.
//
// The entries' memory stays with the history when they are dropped, a reset
// included, for the next entries (XmlBlockPool.h): at most what the entries
// held at once, kept until the history is full again or goes.

#include <memory>

#include "core/XmlNode.h"

class TXmlBlockPool;

// The most entries the history keeps.
constexpr int kUndoDepth = 16;

// What the history needs of the designer: the objects on its design surface,
// the change stamp of the shown page, the clock and the state of its buttons.
class TUndoSurface {
 public:
  virtual ~TUndoSurface() = default;
  // Appends an `object` element for every page object of the surface, back
  // to front, to the snapshot (WriteSurfaceObjects with the designer's
  // multi-language flag).
  virtual void WriteSurfaceObjects(TmyXmlNode& snapshot) = 0;
  // Frees every page object of the surface, then makes one from each
  // `object` child of the snapshot, in order (ClearDesignElements, then the
  // page loader with the snapshot in place of a page).
  virtual void RestoreSurfaceObjects(TmyXmlNode& snapshot) = 0;
  // The change stamp (`ucid`) of the shown page.
  virtual int CurrentUcid() const = 0;
  virtual void SetCurrentUcid(int ucid) = 0;
  // The current time in seconds since 1970 (the value of change stamps).
  virtual int GetUcidTime() = 0;
  // The page is being changed: the designer's modified flag is set and its
  // project-save button enabled.
  virtual void SetModified() = 0;
  // The enabled state of the undo and the redo button.
  virtual void EnableUndo(bool enabled) = 0;
  virtual void EnableRedo(bool enabled) = 0;
};

class TUndoHistory {
 public:
  // Starts empty; the designer disables both buttons with it.
  explicit TUndoHistory(TUndoSurface& surface);

  TUndoHistory(const TUndoHistory&) = delete;
  TUndoHistory& operator=(const TUndoHistory&) = delete;

  // Records the surface's objects as the newest entry, before an edit:
  // drops the redo part first and the oldest entry when more than
  // kUndoDepth remain; afterwards the current change stamp is the time.
  void PushUndo();
  // Restores the newest entry behind the current state. When nothing was
  // undone since the last push, the current state is recorded first (as a
  // used entry) so that a redo can come back to it. With nothing behind the
  // current state the surface stays as it is and undo is disabled.
  void UndoStep();
  // Restores the entry after the oldest used one, which becomes unused.
  // With nothing ahead the surface stays as it is and redo is disabled.
  void RedoStep();
  // Forgets every entry; both buttons are disabled.
  void ResetUndo();

  // The "UndoTree" element with its entries (the history stays its owner).
  TmyXmlNode* Tree() const { return tree_.get(); }
  int Count() const { return tree_->ChildCount(); }

 private:
  // The newest entry not marked used; null when there is none.
  TmyXmlNode* NewestUnused() const;
  // The oldest entry marked used; null when there is none.
  TmyXmlNode* OldestUsed() const;
  // The surface and the change stamp as the entry recorded them.
  void Restore(TmyXmlNode& entry);

  TUndoSurface& surface_;
  // The blocks of the dropped entries' arenas, for the next snapshots.
  std::shared_ptr<TXmlBlockPool> blocks_;
  std::unique_ptr<TmyXmlNode> tree_;
};
