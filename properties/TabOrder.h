#pragma once
// The tab order of a page's input objects after the edit, submit and
// drop-down dialogs: objects sorted by their typed tab index (only its low 15
// bits count, so -1 sorts after every index from 0 to 32766), equal indexes
// in the surface's component order; then edits, submits and drop-downs get
// 1, 2, 3, ... and every other object -1.

#include <vector>

class TGridWebElement;

// key(a) - key(b) as a signed 32-bit difference; key(x) = ((tab index x
// 65536) AND 0x7FFFFFFF) OR component index (FTabSeq).
int TabOrderCompare(const TGridWebElement& a, const TGridWebElement& b);
// Sorts the list with TabOrderCompare and numbers the tab indexes.
void RenumberTabOrder(std::vector<TGridWebElement*>& objects);
