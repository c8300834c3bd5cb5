#include "designer/UndoHistory.h"

#include <string_view>

#include "core/XmlBlockPool.h"
#include "core/XmlBuildArena.h"

namespace {

constexpr std::string_view kTreeName = "UndoTree";
constexpr std::string_view kEntryName = "Undo";
constexpr std::string_view kUcidAttr = "ucid";
constexpr std::string_view kUsedAttr = "used";
constexpr std::string_view kUsed = "1";
constexpr std::string_view kUnused = "0";

bool IsUsed(const TmyXmlNode& entry) { return entry.GetAttr(kUsedAttr) == kUsed; }

// An entry leaves the history (its parent gives it up to be freed).
void DropEntry(TmyXmlNode* entry) {
  std::unique_ptr<TmyXmlNode> dropped(entry);
  dropped->Unlink();
}

}  // namespace

TUndoHistory::TUndoHistory(TUndoSurface& surface)
    : surface_(surface), blocks_(TXmlBlockPool::Create()), tree_(std::make_unique<TmyXmlNode>(kTreeName)) {}

void TUndoHistory::PushUndo() {
  surface_.SetModified();
  surface_.EnableRedo(false);
  // What an undo restored lies ahead of the state the edit starts from.
  while (tree_->lastChild != nullptr && IsUsed(*tree_->lastChild)) DropEntry(tree_->lastChild);
  TmyXmlNode* entry = tree_->AddChild(kEntryName);
  entry->SetAttrIntStr(kUcidAttr, surface_.CurrentUcid());
  {
    // A snapshot is about 18 nodes, attributes and texts an object: they are
    // carved from the entry's own arena instead of taken from the heap one
    // by one, and the entry dropped later gives its blocks back whole for the
    // next snapshots. Those blocks stay with the history (blocks_), also
    // when a reset drops every entry: on a page of many objects the entries
    // hold more than the process's cache keeps, and the first presses on the
    // next page would take it all from the system again.
    const TXmlBuildArena scope{blocks_, {entry}};
    surface_.WriteSurfaceObjects(*entry);
  }
  if (Count() > kUndoDepth) {
    // The history is full again: what a reset left and the new snapshots did
    // not take (a smaller page's) is given up; the dropped entry's blocks
    // stay for the next snapshot.
    blocks_->Trim();
    DropEntry(tree_->firstChild);
  }
  surface_.EnableUndo(true);
  surface_.SetCurrentUcid(surface_.GetUcidTime());
}

void TUndoHistory::UndoStep() {
  TmyXmlNode* entry = NewestUnused();
  // Nothing undone since the last push (or no history at all): the current
  // state becomes the entry a redo returns to. An empty history thus gets one
  // used entry and restores nothing.
  if (entry == tree_->lastChild) {
    PushUndo();
    tree_->lastChild->SetAttr(kUsedAttr, kUsed);
  }
  if (entry == nullptr) {
    surface_.EnableUndo(false);
    return;
  }
  Restore(*entry);
  entry->SetAttr(kUsedAttr, kUsed);
  if (entry == tree_->firstChild) surface_.EnableUndo(false);
  surface_.EnableRedo(true);
}

void TUndoHistory::RedoStep() {
  TmyXmlNode* used = OldestUsed();
  TmyXmlNode* entry = used != nullptr ? used->next : nullptr;
  if (entry == nullptr) {
    surface_.EnableRedo(false);
    return;
  }
  used->SetAttr(kUsedAttr, kUnused);
  Restore(*entry);
  surface_.EnableUndo(true);
  if (entry == tree_->lastChild) surface_.EnableRedo(false);
}

void TUndoHistory::ResetUndo() {
  tree_->DeleteChildren();
  surface_.EnableUndo(false);
  surface_.EnableRedo(false);
}

TmyXmlNode* TUndoHistory::NewestUnused() const {
  TmyXmlNode* entry = tree_->lastChild;
  while (entry != nullptr && IsUsed(*entry)) entry = entry->prev;
  return entry;
}

TmyXmlNode* TUndoHistory::OldestUsed() const {
  TmyXmlNode* entry = tree_->firstChild;
  while (entry != nullptr && !IsUsed(*entry)) entry = entry->next;
  return entry;
}

void TUndoHistory::Restore(TmyXmlNode& entry) {
  surface_.RestoreSurfaceObjects(entry);
  surface_.SetCurrentUcid(entry.GetAttrInt(kUcidAttr, 0));
}
