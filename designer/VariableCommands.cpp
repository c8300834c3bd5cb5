// TFormDesign1: the commands on the page objects' PLC variables.

#include "designer/FormDesign1.h"
#include "generator/CanvasVariable.h"

// The canvas dialog asks the same check as the compile, through the host the
// designer compiles with.
bool TFormDesign1::CheckCanvasVariable(const std::string& variable) {
  return ::CheckCanvasVariable(Host().CompileHost(), variable);
}
