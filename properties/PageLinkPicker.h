#pragma once
// The page-link picker that the label, picture and rectangle dialogs share:
// cbLink says whether the objects are a link, edtLink1 holds the link, and
// AddPage ("...") fills it from the designer's page menu. The handlers are
// TPropertyForm's (cbLinkClick, AddPageClick, OnMenuClick); this header has
// the rows and the rule of OK.

#include <vector>

#include "properties/Bindings.h"

class TPropertyForm;

// The link rows: cbLink checked when an object has a link (unchecked when
// the objects differ), edtLink1 with the link (empty when they differ);
// written when either was changed: the text while the box is checked, else
// empty.
std::vector<TPropertyBinding> LinkBindings();
// When a link left empty while cbLink is checked gets the default link.
enum class TEmptyLinkRule {
  LinkEdited,   // only when the user changed edtLink1
  LinkWritten,  // whenever the link is written: cbLink or edtLink1 changed
};
// OK of the dialogs that give a link a default: an empty link while cbLink
// is checked becomes "index.xml" when the rule says so.
void DefaultEmptyLink(TPropertyForm& form, TEmptyLinkRule rule);
