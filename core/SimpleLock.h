#pragma once
// TSimpleLock: a scope guard over a caller's flag. It sets the flag for the
// duration of a block when the flag was clear (and then owns it) and clears it
// at the end; a guard made while the flag is already set leaves it to its
// first owner. It never blocks: handlers that must stay out while the block
// runs test the flag themselves.

class TSimpleLock {
 public:
  // A null pointer guards nothing.
  explicit TSimpleLock(bool* flag) : flag_(flag) {
    if (flag_ == nullptr) return;
    if (*flag_)
      owner_ = false;
    else
      *flag_ = true;
  }
  ~TSimpleLock() {
    if (flag_ != nullptr && owner_) *flag_ = false;
  }
  TSimpleLock(const TSimpleLock&) = delete;
  TSimpleLock& operator=(const TSimpleLock&) = delete;

  bool IsOwner() const { return owner_; }

 private:
  bool* flag_;
  bool owner_ = true;
};
