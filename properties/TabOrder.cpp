#include "properties/TabOrder.h"

#include <algorithm>
#include <cstdint>

#include "grid/GridWebElement.h"

namespace {

std::int32_t TabKey(const TGridWebElement& e) {
  const auto shifted = static_cast<std::uint32_t>(e.FTabIndex) << 16;
  return static_cast<std::int32_t>((shifted & 0x7FFFFFFFu) | static_cast<std::uint32_t>(e.FTabSeq));
}

bool TakesTabIndex(int kind) { return kind == wkEdit || kind == wkEditLocal || kind == wkSubmit || kind == wkDropDown; }

}  // namespace

int TabOrderCompare(const TGridWebElement& a, const TGridWebElement& b) {
  return static_cast<int>(static_cast<std::uint32_t>(TabKey(a)) - static_cast<std::uint32_t>(TabKey(b)));
}

void RenumberTabOrder(std::vector<TGridWebElement*>& objects) {
  std::stable_sort(objects.begin(), objects.end(),
                   [](const TGridWebElement* a, const TGridWebElement* b) { return TabOrderCompare(*a, *b) < 0; });
  int next = 1;
  for (TGridWebElement* e : objects) e->FTabIndex = TakesTabIndex(e->Kind()) ? next++ : -1;
}
