#pragma once
// The z-order commands of the design surface and the selection they act on.
//
// The reorderings work on the selected flags of the page objects listed back
// to front and answer the new order as indexes into that list, back to front:
//   BringToFront   the selected objects end on top, in their old order;
//   SendToBack     the selected objects end below all others, in their order;
//   BringForward   each run of selected objects moves up past the one object
//                  above it (a run already on top stays);
//   SendBackward   each run moves down past the one object below it.

#include <vector>

class TGridWebElement;
class TComponent;

enum class TZOrderCommand { BringToFront, SendToBack, BringForward, SendBackward };

std::vector<int> ReorderZ(const std::vector<bool>& selected, TZOrderCommand command);

// The page objects a command acts on: selected, selectable now, in the
// surface's creation order (the components it owns).
std::vector<TGridWebElement*> SelectedObjectsInCreationOrder(const TComponent* surface);
