#pragma once
// The component rows that the picture dialogs share, as blocks placed at a
// top: labels in the left column, boxes from x 200, "..." buttons at 424.

#include <vector>

#include "properties/ComponentTable.h"

enum class TRowBlock {
  Caption,     // Label1, edtCaption1, btLangEdit1
  Hint,        // lblHint, edtHint1, btLangHint1
  Font,        // lblFntSiz, seSize, lblPx, cbStrong, cbItalic; lblFntCol, shFront below
  Position,    // lblOff, lblX, ceOffX, lblY, ceOffY
  Variable,    // Label3, edtVariable, Button3; lblType below
  Link,        // cbLink; the link's label, edtLink1, AddPage below
  Visibility,  // lblVisibility, edtVisVar, btnVis; lblVisType, cbActiveIn0 below
  OkCancel,    // Button1, Button2 at the right
};

// Appends the block's rows placed at `top`; `label` names the link's label.
void AppendRows(std::vector<TComponentRow>& rows, TRowBlock block, int top, const char* label = "Label2");
