#pragma once
// What the two dialogs on the selected objects' variable references share
// (replacing part of the names, numbering array indexes): their placement in
// the project's settings file (which the object list keeps the same way),
// the preview list's scroll position across a rebuild, and the integer
// fields typed by the user.

#include <string>

class TButton;
class TCustomForm;
class TEdit;
class TDesignerContext;
class TGridWebElement;
class TListView;

// The project's settings file, written to the trace log; empty without a
// project folder.
std::string DialogSettingsFile(TDesignerContext* designer);

// Reads the form's "Height", "Width", "Top" and "Left" from the section of
// the project's settings file (current values as defaults, the form centred
// on the screen); a top below the screen height - 32 or a left edge beyond
// the screen width - 32 is centred again. Nothing without a project folder.
void ReadVariableDialogPlacement(const std::string& section, TCustomForm& form, TDesignerContext* designer);
// Writes the four values; nothing without a project folder.
void WriteVariableDialogPlacement(const std::string& section, TCustomForm& form, TDesignerContext* designer);

// The index of the list's last visible row (0 when the list is empty).
int LastVisibleRow(TListView& list);
// Scrolls row min(row, count - 1) into view; nothing for an empty list.
void ShowRow(TListView& list, int row);

// The edit's text as an integer; 0 when it holds none.
int EditInteger(const TEdit& edit);

// The OK button (default, modal result OK) and the Cancel button (Esc,
// modal result Cancel), named Button1 and Button2; the form places them.
void AddOkCancelButtons(TCustomForm& form, TButton*& ok, TButton*& cancel);
// OK at form width - 179 and Cancel at form width - 99, both at form height
// - `buttonsUp`; the list `listTop` from the top, form width - 29 wide and
// form height - `listShorter` high.
void PlaceVariableDialog(TCustomForm& form, TButton& ok, TButton& cancel, TListView& list, int buttonsUp, int listTop,
                         int listShorter);

// Gives the object the new main (or visibility) reference and looks the
// reference up again with its placeholders resolved.
void SetVariableReference(TGridWebElement& object, bool visibility, const std::string& reference);
