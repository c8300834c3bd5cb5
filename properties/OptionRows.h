#pragma once
// The rows of the drop-down dialog's option list view: caption = the text in
// the editor's slot, sub-item 0 = the value, sub-items 1 .. 15 = the texts of
// slots 0 .. 14; and the row commands that move selected runs.

class TListView;
class TStringDualListLang;

// Removes every row, then one row per option.
void FillListView(const TStringDualListLang& options, TListView* view);
// Same count, and each row's value and slot texts equal the option's.
bool SameAsListView(const TStringDualListLang& options, TListView* view);
// The options anew from the rows (values that repeat, letter case aside,
// keep the first row).
void ReadListView(TStringDualListLang& options, TListView* view);
// Each run of adjacent selected rows moves one place up (down); a run at the
// first (last) row stays.
void MoveSelectedRows(TListView* view, bool up);
