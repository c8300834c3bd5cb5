#pragma once
// UI texts by id in the chosen UI language.
//
// The module holds one string table at a time (process-wide, used on the host's
// user-interface thread only). The module's entry code loads the English table
// with LoadDefaultUiTable; when the host reports its language, SelectUiLanguage
// replaces it; FreeUiTable drops it when the module unloads.

#include <string>

#include "platform/win/WinTypes.h"

// Language indexes as the host gives them.
inline constexpr int UI_LANG_CZECH = 0;
inline constexpr int UI_LANG_ENGLISH = 1;
inline constexpr int UI_LANG_RUSSIAN = 2;
inline constexpr int UI_LANG_GERMAN = 4;
inline constexpr int UI_LANG_POLISH = 5;

// Loads the English table from `module` (keeping the handle for later language
// changes) in place of any current one. Returns false when the table cannot be
// read; then no table is loaded, GetUiText answers "resource error", and
// `error`, when given, receives the reason.
bool LoadDefaultUiTable(HINSTANCE module, std::string* error = nullptr);

// Destroys the current table (at module unload). The language index stays.
void FreeUiTable();

// With no table loaded: does nothing and returns false. Otherwise loads the table
// for `languageIndex` (0 "TARNWELL_CSY"; 4 "TARNWELL_RUS", the German texts;
// 5 "TARNWELL_DEU", the Polish texts; any other index, 2 (Russian) included,
// "TARNWELL_ENU", English), makes it current in place of the old one, stores the
// index and returns true. Should the new table be unreadable, the old table and
// index stay and the result is false.
bool SelectUiLanguage(int languageIndex);

// The current UI language index (1, English, until a language is selected).
int GetUiLanguageIndex();

// The text of `id` in the current table as 8-bit text of the ANSI code page, with
// its escapes turned into control characters: a backslash followed by 'n' gives
// LF, by 'r' CR, by any other character TAB; a backslash at the end is dropped.
// "resource error" when no table is loaded; empty when the table lacks the id.
std::string GetUiText(int id);
