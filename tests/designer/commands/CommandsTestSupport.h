#pragma once
// Helpers of the command tests: a designer opened on a one-page project
// whose objects a test writes, and look-ups of the page objects by `Uid`.

#include <string>
#include <vector>

#include "designer/FormDesign1.h"
#include "tests/designer/window/WindowTestSupport.h"

namespace commandstest {

// A project of one group with one page "P1.XML" (Uid 2) holding `objects`;
// `webChildren` stand before the group.
std::string OnePageProject(const std::string& objects, const std::string& webChildren = "",
                           const std::string& webAttributes = "");

class CommandsTest : public windowtest::WindowTest {
 protected:
  TFormDesign1& Open(const std::string& projectText);
  TGridWebElement* Object(int uid) const;
  // Selects exactly these objects (as far as each may be selected).
  void Select(const std::vector<int>& uids);
  // "uid:kind" of every page object, surface order.
  std::vector<std::string> Kinds() const;
};

}  // namespace commandstest
