// TFormDesign1: the z-order commands of the object menu and the grid switch.

#include "designer/ZOrder.h"

#include <algorithm>
#include <numeric>

#include "designer/FormDesign1.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/ScrollBox.h"

std::vector<int> ReorderZ(const std::vector<bool>& selected, TZOrderCommand command) {
  const int count = static_cast<int>(selected.size());
  std::vector<int> order(selected.size());
  std::iota(order.begin(), order.end(), 0);
  auto isSelected = [&](int index) { return selected[static_cast<std::size_t>(index)]; };
  switch (command) {
    case TZOrderCommand::BringToFront:
      std::stable_partition(order.begin(), order.end(), [&](int i) { return !isSelected(i); });
      break;
    case TZOrderCommand::SendToBack: std::stable_partition(order.begin(), order.end(), isSelected); break;
    case TZOrderCommand::BringForward:
      for (int i = count - 1; i >= 1; --i)
        if (isSelected(order[i - 1]) && !isSelected(order[i])) std::swap(order[i - 1], order[i]);
      break;
    case TZOrderCommand::SendBackward:
      for (int i = 1; i < count; ++i)
        if (!isSelected(order[i - 1]) && isSelected(order[i])) std::swap(order[i - 1], order[i]);
      break;
  }
  return order;
}

std::vector<TGridWebElement*> SelectedObjectsInCreationOrder(const TComponent* surface) {
  std::vector<TGridWebElement*> objects;
  for (int i = 0; i < surface->ComponentCount(); ++i)
    if (auto* object = dynamic_cast<TGridWebElement*>(surface->Components(i)))
      if (object->Selected() && object->CanSelect()) objects.push_back(object);
  return objects;
}

namespace {

// Every page object of the surface brought to the front in the new order.
void ApplyZOrder(const std::vector<TGridWebElement*>& objects, TZOrderCommand command) {
  std::vector<bool> selected;
  selected.reserve(objects.size());
  for (TGridWebElement* object : objects) selected.push_back(object->Selected() && object->CanSelect());
  for (int index : ReorderZ(selected, command)) objects[static_cast<std::size_t>(index)]->BringToFront();
}

}  // namespace

void TFormDesign1::Bringtofront1Click(TObject*) {
  PushUndo();
  ApplyZOrder(PageObjects(), TZOrderCommand::BringToFront);
}

void TFormDesign1::Sendtoback1Click(TObject*) {
  PushUndo();
  ApplyZOrder(PageObjects(), TZOrderCommand::SendToBack);
}

void TFormDesign1::BringForward1Click(TObject*) {
  PushUndo();
  ApplyZOrder(PageObjects(), TZOrderCommand::BringForward);
}

void TFormDesign1::SendBackward1Click(TObject*) {
  PushUndo();
  ApplyZOrder(PageObjects(), TZOrderCommand::SendBackward);
}

void TFormDesign1::Grid1Click(TObject*) {
  if (FGridX == 1 && FGridY == 1)
    tbGridOnClick(nullptr);
  else
    tbGridOffClick(nullptr);
}
