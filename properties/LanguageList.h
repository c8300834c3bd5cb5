#pragma once
// The list of languages a project may use: 66 English names numbered from 1,
// each with its Windows primary language identifier. Project languages are
// stored by identifier; dialogs show them by name.

#include <string>

class TFormDesign1;

inline constexpr int kLanguageListCount = 66;

// The name of list entry 1 .. 66; empty for any other index.
std::string LanguageListName(int index);
// Identifier -> index 1 .. 66; 0 for an identifier not in the list.
int LangIdToLanguageIndex(int langId);
// Index -> identifier; 0 for an index outside 1 .. 66.
int LanguageIndexToLangId(int index);
// The list index of the language in the designer's project language slot
// (0 .. 14); 0 for another slot, an unused one or an unknown identifier.
int GetLanguageListIndex(const TFormDesign1& designer, int slot);
