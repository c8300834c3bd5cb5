#pragma once
// TFormDebugList: the live-view windows the designer has open. Each window
// removed from the list (it closes) is announced with OnRemove, the window
// as the sender; the designer's live-view button follows that.

#include <algorithm>
#include <vector>

#include "platform/vcl/Form.h"

class TFormDebugList {
 public:
  TNotifyEvent OnRemove;

  int Count() const { return static_cast<int>(windows_.size()); }
  TForm* Items(int index) const { return windows_.at(static_cast<std::size_t>(index)); }
  void Add(TForm* window) { windows_.push_back(window); }
  // Takes the window out (nothing when it is not listed) and tells OnRemove.
  void Remove(TForm* window) {
    const auto found = std::find(windows_.begin(), windows_.end(), window);
    if (found == windows_.end()) return;
    windows_.erase(found);
    if (OnRemove) OnRemove(window);
  }

 private:
  std::vector<TForm*> windows_;
};
