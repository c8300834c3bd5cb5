// The canvas-structure check: four member lists asked of the host.

#include "generator/CanvasVariable.h"

#include <array>
#include <vector>

#include "generator/CompileHost.h"

namespace {

struct TMemberList {
  const char* suffix;  // appended to the variable's name
  std::vector<std::string> members;
};

const std::array<TMemberList, 4>& CanvasMemberLists() {
  static const std::array<TMemberList, 4> lists = {{
      {"", {"info", "touch", "bufHead", "buf"}},
      {".info", {"ver", "flags", "maxLen", "actLen", "macroptr"}},
      {".touch", {"x", "y", "color"}},
      {".bufHead", {"dataChg", "dataLen"}},
  }};
  return lists;
}

}  // namespace

bool CheckCanvasVariable(TCompileHost& host, const std::string& variable) {
  for (const TMemberList& list : CanvasMemberLists()) {
    std::vector<std::string> members;
    if (!host.GetMembers(variable + list.suffix, members) || members != list.members) return false;
  }
  return true;
}
