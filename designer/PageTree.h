#pragma once
// Helpers of the page tree that other commands share (the page properties,
// the page clipboard).

class TFormDesign1;
class TStringList;

// The highest N among the pages' file names of the form "PAGE" + N (letter
// case aside; only the first 31 characters of a name, up to its first '.',
// count); 0 when there is none. With `stems`, adds the file-name stem of every
// page but the reference page (the selected one; with the designer's
// from-design-surface flag and a group selected, its first page), or of every
// page when `includeSelected` is set.
int MakeUniquePageName(TFormDesign1& designer, TStringList* stems, bool includeSelected);
