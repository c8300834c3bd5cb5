#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards.

#include "tests/support/TempFolder.h"

namespace filestest {

class TempFolder : public testsupport::TempFolder {
 public:
  TempFolder() : testsupport::TempFolder("files") {}
};

}  // namespace filestest
