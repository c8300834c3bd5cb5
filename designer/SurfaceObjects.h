#pragma once
// The page objects of a design surface: the TGridWebElement items that the
// designer's scroll box holds beside its other items (the selection band, the
// insertion frame). The undo history writes them, the surface keys move and
// delete them.

#include <vector>

class TGridWebElement;
class TmyXmlNode;
class TWinControl;

// The page objects owned by the surface, in the order they were made.
std::vector<TGridWebElement*> OwnedPageObjects(const TWinControl& surface);
// The page objects shown on the surface, back to front (its z-order).
std::vector<TGridWebElement*> PageObjectsInZOrder(const TWinControl& surface);
// Appends an `object` element for every page object of the surface, back to
// front, under parent (hidden objects write nothing). withLanguages: the
// designer keeps texts per project language.
void WriteSurfaceObjects(const TWinControl& surface, TmyXmlNode& parent, bool withLanguages);
