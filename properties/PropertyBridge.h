#pragma once
// The steps every property bridge shares: the lock guard, the walk over the
// selected, selectable objects of the dialog's kinds that fills the dialog
// (first object sets, further ones compare), the modal run, and on OK one undo
// entry and the write-back of the flagged controls into every object in the
// order of the dialog's table, with the kind's tool template refreshed.

#include <functional>
#include <memory>
#include <string>

class TDesignerContext;
class TGridWebElement;
class TObject;
class TPropertyForm;

using TPropertyFormFactory = std::function<std::unique_ptr<TPropertyForm>(TDesignerContext&)>;

// `sender` is the double-clicked object (any object for the menu commands);
// a page object gets its ignore-next-press flag afterwards.
void RunPropertyBridge(TDesignerContext& designer, TObject* sender, const TPropertyFormFactory& makeForm);

// The object's XML as a tool template: its `object` element under a
// `template` element, with `visvar` and the kind element's `variable`
// emptied, in the project's XML layout.
std::string GetObjectTemplateText(TDesignerContext& designer, TGridWebElement& element);

// True when the designer's group is locked: the warning was shown.
bool RefuseLockedGroup(const TDesignerContext& designer);
