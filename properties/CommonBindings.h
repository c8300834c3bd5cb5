#pragma once
// Binding rows that many dialogs share (tooltip, font, colours, position,
// visibility bit), so that a dialog's table names them instead of repeating
// them.

#include <initializer_list>
#include <vector>

#include "properties/Bindings.h"

enum class TCommonRow {
  Hint,         // edtHint1: the tooltip
  Strong,       // cbStrong
  Italic,       // cbItalic
  FontSize,     // seSize
  FrontColour,  // shFront
  PosX,         // ceOffX
  PosY,         // ceOffY
  VisVariable,  // edtVisVar, its type looked up again after the write
  VisNeg,       // cbActiveIn0
  BackColour,   // shBack
  Transparent,  // cbTransparent
  Variable,     // edtVariable: the main variable, its type looked up again (also when filled)
  SizeChar,     // seSizeChar: width in characters, at least 1
  SecLevel,     // seSecLevel: 0 .. 9
  Border,       // cbBorder1
  ReadOnly,     // cbReadOnly; each object filled enables seSecLevel by its own flag
  TabIndex,     // seTabIndex: a plain edit, not a number counts -1
};

TPropertyBinding CommonBinding(TCommonRow row);
// The rows in the order given.
std::vector<TPropertyBinding> CommonBindings(std::initializer_list<TCommonRow> rows);
// Tooltip, bold, italic, font size, front colour, X, Y, visibility variable,
// visible when zero, background colour, transparent: the run the label, edit
// and drop-down dialogs write in this order.
std::vector<TPropertyBinding> TooltipToTransparentBindings();
// A text that a check box switches on (a link, a second caption): the box
// checked when an object has the text (unchecked when the objects differ),
// the edit with the text (empty when they differ); written when either was
// changed: the edit's text while the box is checked, else empty.
std::vector<TPropertyBinding> SwitchedTextBindings(const char* box, const char* edit, TField field);
// Appends the second list to the first and answers it.
std::vector<TPropertyBinding> Joined(std::vector<TPropertyBinding> first,
                                     std::initializer_list<std::vector<TPropertyBinding>> more);
