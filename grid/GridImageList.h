#pragma once
// The image list of a page object: the names of a multi-state image's states
// or of a canvas's pictures, in order, each with the picture loaded for it
// (none until one is loaded). The list owns the loaded pictures.

#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/Picture.h"

class TGridImageList {
 public:
  // Room for this many entries is kept from the start.
  static constexpr int kInitialCapacity = 256;

  TGridImageList() { entries_.reserve(kInitialCapacity); }

  int Count() const { return static_cast<int>(entries_.size()); }
  // The name and picture of an entry; the index must be within 0..Count-1.
  const std::string& Name(int index) const { return entries_[Slot(index)].name; }
  TPicture* Picture(int index) const { return entries_[Slot(index)].picture.get(); }

  // Appends an entry (the picture may be null).
  void Add(const std::string& name, std::unique_ptr<TPicture> picture) {
    entries_.push_back({name, std::move(picture)});
  }
  void Rename(int index, const std::string& name) { entries_[Slot(index)].name = name; }
  // The entry takes the picture (freeing the one it had) and answers it.
  TPicture* SetPicture(int index, std::unique_ptr<TPicture> picture) {
    entries_[Slot(index)].picture = std::move(picture);
    return entries_[Slot(index)].picture.get();
  }
  // Removes every entry with its picture.
  void Clear() { entries_.clear(); }

 private:
  struct TEntry {
    std::string name;
    std::unique_ptr<TPicture> picture;
  };
  static std::size_t Slot(int index) { return static_cast<std::size_t>(index); }

  std::vector<TEntry> entries_;
};
