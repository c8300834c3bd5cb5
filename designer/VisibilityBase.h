#pragma once
// The common start of the visibility variables of several page objects, and
// its replacement: "PLC.Tank1.Full" and "plc.tank2.full" share the base
// "PLC.Tank" (compared without regard to case, taken from the first);
// rebasing them on "Line.Tank" gives "Line.Tank1.Full" and "Line.Tank2.full".

#include <string>
#include <vector>

class TGridWebElement;

// The longest start that every non-empty visibility reference (as stored,
// placeholders unexpanded) shares with the first one; empty when none.
std::string CommonVisibilityBase(const std::vector<TGridWebElement*>& objects);

// Every non-empty visibility reference becomes `newBase` followed by what
// came after its first `oldLength` characters; each object's visibility
// record is looked up again for the result with placeholders expanded.
void RebaseVisibilityVariables(const std::vector<TGridWebElement*>& objects, std::size_t oldLength,
                               const std::string& newBase);
