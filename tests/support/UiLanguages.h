#pragma once
// The four UI languages as the host sets them: the plug-in's string table and
// the ANSI code page of a Windows in that language (1250 for Czech and
// Polish), the code page the texts are converted to and drawn with.

#include "core/UiText.h"
#include "platform/win/CodePage.h"

namespace testsupport {

struct TUiLanguage {
  int index;         // the plug-in's language index
  const char* code;  // for file names: "cs", "en", "de", "pl"
  WORD lcid;         // the host's language
};

inline constexpr TUiLanguage kUiLanguages[] = {
    {UI_LANG_CZECH, "cs", 1029},
    {UI_LANG_ENGLISH, "en", 1033},
    {UI_LANG_GERMAN, "de", 1031},
    {UI_LANG_POLISH, "pl", 1045},
};

// Sets the machine's code page for `language` and selects its table; false
// when the table could not be selected.
inline bool SelectHostLanguage(const TUiLanguage& language) {
  SetAnsiCodePage(AnsiCodePageOfLanguage(language.lcid));
  return SelectUiLanguage(language.index);
}

// Back to English on a machine of code page 1252.
inline void SelectEnglish() { SelectHostLanguage(kUiLanguages[1]); }

}  // namespace testsupport
