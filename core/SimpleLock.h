#pragma once
// TSimpleLock: a scope guard over a caller's flag. It sets the flag for the
// duration of a block when the flag was clear (and then owns it) and clears it
// at the end; a guard made while the flag is already set leaves it to its
// first owner. It never blocks: handlers that must stay out while the block
// runs test the flag themselves.

class TSimpleLock {
 public:
  // A null pointer guards nothing.
  explicit TSimpleLock(bool* flag) : FFlag(flag) {
    if (FFlag == nullptr) return;
    if (*FFlag)
      FOwner = false;
    else
      *FFlag = true;
  }
  ~TSimpleLock() {
    if (FFlag != nullptr && FOwner) *FFlag = false;
  }
  TSimpleLock(const TSimpleLock&) = delete;
  TSimpleLock& operator=(const TSimpleLock&) = delete;

  bool IsOwner() const { return FOwner; }

 private:
  bool* FFlag;
  bool FOwner = true;
};
