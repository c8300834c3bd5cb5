#include "core/UiText.h"

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/strres/TpsStringResource.h"
#include "platform/win/CodePage.h"

namespace {

struct UiTextState {
  HINSTANCE module = nullptr;
  std::unique_ptr<TpsStringResource> table;
  int languageIndex = UI_LANG_ENGLISH;
  // The texts already read, by id, for the current table and the ANSI code page
  // cachedCodePage: reading one converts it from UTF-16 each time, and a compile
  // reports the same few texts thousands of times.
  std::mutex cacheLock;
  std::unordered_map<int, std::string> cache;
  UINT cachedCodePage = 0;
};

UiTextState& State() {
  static UiTextState state;
  return state;
}

void ForgetTexts(UiTextState& s) {
  const std::lock_guard lock(s.cacheLock);
  s.cache.clear();
}

// The resource name of the table for a language index.
const char* UiTableName(int languageIndex) {
  switch (languageIndex) {
    case UI_LANG_CZECH: return "TARNWELL_CSY";
    case UI_LANG_GERMAN: return "TARNWELL_RUS";
    case UI_LANG_POLISH: return "TARNWELL_DEU";
    default: return "TARNWELL_ENU";
  }
}

// Turns \n into LF, \r into CR, a backslash before any other character into
// TAB, and drops a backslash at the end. This equals replacing the first
// backslash again and again from the start, as the characters put in are never
// backslashes.
std::string ExpandUiTextEscapes(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (i + 1 == text.size()) break;
    const char next = text[++i];
    out += next == 'n' ? '\n' : next == 'r' ? '\r' : '\t';
  }
  return out;
}

}  // namespace

bool LoadDefaultUiTable(HINSTANCE module, std::string* error) {
  UiTextState& s = State();
  s.table.reset();
  ForgetTexts(s);
  s.module = module;
  try {
    s.table = std::make_unique<TpsStringResource>(module, UiTableName(UI_LANG_ENGLISH));
  } catch (const EStringResourceError& e) {
    if (error != nullptr) *error = e.what();
    return false;
  }
  return true;
}

void FreeUiTable() {
  State().table.reset();
  ForgetTexts(State());
}

bool SelectUiLanguage(int languageIndex) {
  UiTextState& s = State();
  if (!s.table) return false;
  // The new table is read before the old one goes, so that a broken resource
  // cannot leave the module without texts.
  std::unique_ptr<TpsStringResource> next;
  try {
    next = std::make_unique<TpsStringResource>(s.module, UiTableName(languageIndex));
  } catch (const EStringResourceError&) {
    return false;
  }
  s.table = std::move(next);
  ForgetTexts(s);
  s.languageIndex = languageIndex;
  return true;
}

int GetUiLanguageIndex() { return State().languageIndex; }

std::string GetUiText(int id) {
  UiTextState& s = State();
  if (!s.table) return "resource error";
  const UINT codePage = GetACP();
  const std::lock_guard lock(s.cacheLock);
  if (codePage != s.cachedCodePage) {
    s.cache.clear();
    s.cachedCodePage = codePage;
  }
  auto found = s.cache.find(id);
  if (found == s.cache.end()) found = s.cache.emplace(id, ExpandUiTextEscapes(s.table->GetString(id))).first;
  return found->second;
}
