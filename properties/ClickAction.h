#pragma once
// The click action of submit buttons and rectangles: cbUseVal ("On click
// set value of variable") with the variable (edtVariable) and the value
// (edtVal) that a click on the page writes.

#include <initializer_list>
#include <vector>

#include "properties/Bindings.h"

// What filling does with the first object's variable type: keeps the type
// read with the object, or looks it up afresh (rectangles, whose type is
// never read from the project file).
enum class TClickVariableType { AsRead, LookedUp };

// The rows, written in this order: the variable (its type looked up again),
// the value, then the box, so that an unchecked box always wins and clears
// both. cbUseVal is checked when the first object has a variable; a further
// object whose variable differs empties edtVariable and grays the box when
// the box showed none or the object has none.
std::vector<TPropertyBinding> ClickActionBindings(TClickVariableType type);
// cbUseVal's click: the variable and value controls (and `alsoEnabled`)
// enabled exactly while it is checked (grayed counts as not), then edtVal
// and cbUseVal flagged, so that OK writes the value whenever the box was
// clicked.
void ShowClickAction(TPropertyForm& form, std::initializer_list<const char*> alsoEnabled = {});
