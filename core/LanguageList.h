#pragma once
// The languages a project may use: one fixed list of 66, numbered from 1,
// alphabetical by English name (Chinese stands between Hungarian and
// Icelandic), each with its Windows primary language identifier. The
// languages dialog shows the names; the project stores the identifiers.

#include <string>

inline constexpr int kLanguageListCount = 66;

// The list index (1..66) of an identifier; 0 when it is not in the list.
int LangIdToLanguageIndex(int langId);
// The identifier of a list index; 0 outside 1..66.
int LanguageIndexToLangId(int index);
// The English name of a list index; empty outside 1..66.
std::string LanguageIndexName(int index);
