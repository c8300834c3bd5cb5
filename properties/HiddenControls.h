#pragma once
// The controls that the kinds' dialogs carry hidden (caption, font, colours):
// filled and compared like the visible ones, never changed by the user.
// They live on an invisible panel `pnlHidden`.

#include <span>

#include "properties/ComponentTable.h"

inline constexpr TComponentRow kHiddenCaptionFontRows[] = {
    {TControlClass::Panel, "pnlHidden", "", 0, 0, 0, 0, 0, ""},
    {TControlClass::Label, "Label1", "pnlHidden", 0, 0, 10, 10, 7094, ""},
    {TControlClass::Edit, "edtCaption1", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {TControlClass::Label, "lblFntSiz", "pnlHidden", 0, 0, 10, 10, 7052, ""},
    {TControlClass::MyEdit, "seSize", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {TControlClass::CheckBox, "cbStrong", "pnlHidden", 0, 0, 10, 10, 7050, ""},
    {TControlClass::CheckBox, "cbItalic", "pnlHidden", 0, 0, 10, 10, 7049, ""},
};

inline constexpr TComponentRow kHiddenColourRows[] = {
    {TControlClass::Label, "lblFntCol", "pnlHidden", 0, 0, 10, 10, 7054, ""},
    {TControlClass::Shape, "shFront", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {TControlClass::Label, "lblFntBck", "pnlHidden", 0, 0, 10, 10, 7053, ""},
    {TControlClass::Shape, "shBack", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {TControlClass::CheckBox, "cbTransparent", "pnlHidden", 0, 0, 10, 10, 7051, ""},
};

// Makes the rows' controls on the form and hides the panel.
void AddHiddenControls(TWinControl& form, std::initializer_list<std::span<const TComponentRow>> rows);
