#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards.

#include "tests/support/TempFolder.h"

namespace vcl2test {

class TempFolder : public testsupport::TempFolder {
 public:
  TempFolder() : testsupport::TempFolder("vcl2") {}
};

}  // namespace vcl2test
