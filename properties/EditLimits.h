#pragma once
// The limits of an edit field as its dialog reads them: the limit texts are
// values of the variable's type in the field's format (width, decimals,
// alignment, time mask), read and printed with the designer's value texts.

#include <string>

#include "grid/PinVariable.h"

struct TLimitFormat {
  std::string length;  // the width box's text
  std::string prec;    // the decimals box's text
  std::string align;   // "zero" or "left"
  std::string time;    // the mask; empty: none
};

// The limit text read as a value of the type and printed back in the format.
std::string NormaliseLimitText(const std::string& text, const TLimitFormat& format, const TPinVariable& info);
// high minus low, both read as values of the type.
double LimitSpan(const std::string& high, const std::string& low, const TLimitFormat& format, const TPinVariable& info);
