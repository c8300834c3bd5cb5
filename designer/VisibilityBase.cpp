#include "designer/VisibilityBase.h"

#include <cctype>

#include "grid/GridWebElement.h"
#include "grid/VariableInfo.h"

namespace {

std::size_t CommonStartLength(const std::string& a, const std::string& b) {
  std::size_t n = 0;
  while (n < a.size() && n < b.size() &&
         std::toupper(static_cast<unsigned char>(a[n])) == std::toupper(static_cast<unsigned char>(b[n])))
    ++n;
  return n;
}

}  // namespace

std::string CommonVisibilityBase(const std::vector<TGridWebElement*>& objects) {
  std::string base;
  bool first = true;
  for (const TGridWebElement* object : objects) {
    const std::string& reference = object->GetVisVariable();
    if (reference.empty()) continue;
    if (first) {
      base = reference;
      first = false;
      continue;
    }
    base.resize(CommonStartLength(base, reference));
    if (base.empty()) break;
  }
  return base;
}

void RebaseVisibilityVariables(const std::vector<TGridWebElement*>& objects, std::size_t oldLength,
                               const std::string& newBase) {
  for (TGridWebElement* object : objects) {
    const std::string& reference = object->GetVisVariable();
    if (reference.empty()) continue;
    object->SetVisVariable(newBase + reference.substr(std::min(oldLength, reference.size())));
    LookUpGridVariable(object->GetResolvedVisVariable(), object->FVisInfo);
  }
}
