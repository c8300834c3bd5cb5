#pragma once
// The limits of an edit field as its dialog reads them: the limit texts are
// values of the variable's type in the field's format (width, decimals,
// alignment, time mask).
//
// The designer's value texts (parsing and printing a value of a type in an
// edit format) stand behind these two functions; until they are there a
// limit keeps its text (trimmed) and the span compares the texts as numbers.

#include <string>

#include "plugin/VariableLookup.h"

struct TLimitFormat {
  std::string length;  // the width box's text
  std::string prec;    // the decimals box's text
  std::string align;   // "zero" or "left"
  std::string time;    // the mask; empty: none
};

// The limit text formatted back from its value (the text itself when it
// cannot be read as one).
std::string NormaliseLimitText(const std::string& text, const TLimitFormat& format, const TPinVariable& info);
// high minus low as numbers; 0 when either text is no number.
double LimitSpan(const std::string& high, const std::string& low, const TLimitFormat& format, const TPinVariable& info);
