#pragma once
// A property form's components as data: one row a component (class, name,
// parent, bounds, the UI text of its caption), made in row order so that the
// form's Components list keeps that order.

#include <cstddef>
#include <span>

class TComponent;
class TWinControl;

enum class TControlClass {
  Label,
  Edit,
  MyEdit,
  Button,
  CheckBox,
  RadioButton,
  RadioGroup,
  ComboList,  // a drop-down list without an edit field
  Shape,
  Panel,
  ListView,
  Bevel,
  GroupBox,
  Image,
};

struct TComponentRow {
  TControlClass cls;
  const char* name;
  const char* parent;  // empty: the form
  int left, top, width, height;
  int captionId;     // 0: the layout text below
  const char* text;  // the layout text (shown when captionId is 0)
};

// Makes the rows' components, owned by `form`, each placed on its parent.
void BuildComponents(TWinControl& form, std::span<const TComponentRow> rows);
// The captions of the rows that have a UI text id, from the string table.
void ApplyCaptions(TWinControl& form, std::span<const TComponentRow> rows);
