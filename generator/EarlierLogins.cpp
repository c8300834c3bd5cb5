// The password file is read as the web server reads it: a header line
// "c,1,V" or "v,1,V", then the body, scrambled or plain. Its rows need not
// be told apart by block: a row "name,password,level" with a level of 0 or
// more lets someone log in, a row "mac,level" with an address other than the
// empty one logs a device in, and start-page rows hold no comma.

#include "generator/EarlierLogins.h"

#include <cstdlib>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/ScopeExit.h"
#include "core/FileHelpers.h"
#include "core/StampList.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "generator/CompileHost.h"
#include "generator/GeneratedFiles.h"
#include "generator/PasswordFile.h"
#include "platform/vcl/FindFile.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"
#include "platform/win/Paths.h"

namespace {

constexpr const char* kPasswordFile = "PSW.TXT";
constexpr const char* kLevelMark = "PAGE_LEVEL=\"";
constexpr const char* kOutputRoot = "WWW\\";
constexpr const char* kDataPageExtension = ".XML";
constexpr const char* kIndexPage = "INDEX.XML";
constexpr int kUnownedPagesText = 7424;  // The web output "%s" holds pages that ask for logins ...
constexpr int kStalePagesText = 7425;    // These pages of the last compile ask for a level but are no longer ...
constexpr int kKeptPagesText = 7520;     // ... and could not be deleted, so the old password file is kept: ...
constexpr const char* kMessageSource = "[Tarnwell]";
// The pages the refusal names; the rest are counted.
constexpr std::size_t kNamedPages = 10;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The plain body of a scrambled one: each byte is 255 minus the step of the
// running sum; the first byte is the checksum, not text. False when a digit
// pair is not hexadecimal.
bool Unscramble(const std::string& scrambled, std::string& plain) {
  unsigned previous = 0;
  std::size_t end = scrambled.size();
  while (end > 0 && (scrambled[end - 1] == '\r' || scrambled[end - 1] == '\n')) --end;
  if (end % 2 != 0) return false;
  for (std::size_t i = 0; i < end; i += 2) {
    const int high = HexDigit(scrambled[i]), low = HexDigit(scrambled[i + 1]);
    if (high < 0 || low < 0) return false;
    const unsigned value = static_cast<unsigned>(high * 16 + low);
    if (i > 0) plain += static_cast<char>(255 - ((value - previous) & 0xFF));
    previous = value;
  }
  return true;
}

std::vector<std::string> Fields(const std::string& row) {
  std::vector<std::string> fields(1);
  for (char c : row) {
    if (c == ',')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

bool RowLetsIn(const std::string& row) {
  const std::vector<std::string> fields = Fields(row);
  if (fields.size() == 3) return !fields[2].empty() && std::atoi(fields[2].c_str()) >= 0;
  if (fields.size() == 2) return !fields[0].empty() && fields[0] != kEmptyMac;
  return false;
}

bool PasswordFileAsksForLogins(const std::string& path) {
  std::string bytes;
  if (!PathExists(path)) return false;
  if (!ReadWholeFile(path, bytes)) return true;
  const std::size_t headEnd = bytes.find("\r\n");
  if (headEnd != 5 || (bytes[0] != 'c' && bytes[0] != 'v')) return true;
  std::string body = bytes.substr(headEnd + 2);
  if (bytes[0] == 'c') {
    std::string plain;
    if (!Unscramble(body, plain)) return true;
    body = plain;
  }
  std::istringstream rows(body);
  for (std::string row; std::getline(rows, row);) {
    if (!row.empty() && row.back() == '\r') row.pop_back();
    if (RowLetsIn(row)) return true;
  }
  return false;
}

bool PageAsksForLogin(const std::string& path) {
  std::string text;
  if (!ReadWholeFile(path, text)) return false;
  const std::size_t mark = text.find(kLevelMark);
  if (mark == std::string::npos) return false;
  return std::atoi(text.c_str() + mark + std::char_traits<char>::length(kLevelMark)) > 0;
}

// How a walk for pages with a level goes: which pages it does not read, whether
// the first is enough, and whether it skips the entries beginning with "."
// (the import copy does not copy them).
struct TLevelPageWalk {
  std::function<bool(const std::string&)> skipped;
  bool firstOnly = false;
  bool skipDotEntries = false;
};

// Adds the data pages ("*.XML") below `root` + `relative` (a relative folder
// ending with a backslash, or empty), in every folder of the tree, that are
// not skipped and that ask for a level, by their paths relative to `root`.
// Every folder counts: the web server serves the pages of each, and a compile
// writes into more than the output root (the import folder's sub-folders,
// "NOTIFY\"). Links are never followed. False once the first is enough.
bool AddLevelPages(const std::string& root, const std::string& relative, const TLevelPageWalk& walk,
                   std::vector<std::string>& pages) {
  TSearchRec entry;
  if (FindFirst(root + relative + "*.*", faAnyFile, entry) != 0) return true;
  ScopeExit closeListing([&] { FindClose(entry); });
  do {
    if (entry.Name.empty() || entry.Name == "." || entry.Name == ".." || (walk.skipDotEntries && entry.Name[0] == '.'))
      continue;
    const std::string page = relative + entry.Name;
    if ((entry.Attr & faDirectory) != 0) {
      if (!AddLevelPages(root, page + "\\", walk, pages)) return false;
      continue;
    }
    if (!SameText(ExtractFileExt(entry.Name), kDataPageExtension) || walk.skipped(page) ||
        !PageAsksForLogin(root + page))
      continue;
    pages.push_back(page);
    if (walk.firstOnly) return false;
  } while (FindNext(entry) == 0);
  return true;
}

std::vector<std::string> LevelPages(const std::string& root, const TLevelPageWalk& walk) {
  std::vector<std::string> pages;
  AddLevelPages(root, std::string(), walk, pages);
  return pages;
}

bool IsTrue(const TmyXmlNode* node, const char* attribute) { return node->GetAttr(attribute) == "true"; }

// The data pages a compile of `web` writes, in lower case: the pages of the
// groups that go to the web, as the project compiler walks them, and the
// copy of the start page as "INDEX.XML" (the page marked `default`, or any
// page when none is marked, since the compile then marks the first).
std::set<std::string> CompiledPages(TmyXmlNode* web) {
  std::set<std::string> pages;
  if (web == nullptr) return pages;
  bool marked = false;
  for (TmyXmlNode* node = web->FindDeep("page"); node != nullptr && !marked; node = node->FindDeep("page"))
    marked = node->FindAttr("default") != nullptr;
  for (TmyXmlNode* group = web->firstChild; group != nullptr; group = group->next) {
    if (group->name != "group" || IsTrue(group, "notforwww")) continue;
    for (TmyXmlNode* node = group->firstChild; node != nullptr; node = node->next) {
      if (node->name != "page") continue;
      pages.insert(LowerCase(node->GetAttr("name")));
      if (!marked || IsTrue(node, "default")) pages.insert(LowerCase(kIndexPage));
    }
  }
  return pages;
}

// The data pages with a level that neither the project compiles nor the
// import folder holds, of those the stamp list names (`listed`) or of the
// others.
std::vector<std::string> NotCompiledPages(const TLoginOutput& output, bool listed) {
  if (output.sendRoot.empty()) return {};
  TStringList names;
  names.SetSorted(true);
  if (!output.stampList.empty()) LoadHexRecordList(output.stampList, &names);
  ScopeExit freeRecords([&] { FreeListItems(&names); });
  const std::set<std::string> compiled = CompiledPages(output.web);
  const auto skipped = [&](const std::string& page) {
    int index = 0;
    return names.Find(page, index) != listed || compiled.count(LowerCase(page)) != 0 ||
           (!output.importFolder.empty() && FileExists(output.importFolder + page));
  };
  return LevelPages(output.sendRoot + kOutputRoot, {skipped});
}

}  // namespace

std::string LevelPageList(const std::vector<std::string>& pages) {
  std::string names;
  for (std::size_t i = 0; i < pages.size() && i < kNamedPages; ++i) names += (i > 0 ? ", " : "") + ShownPath(pages[i]);
  if (pages.size() > kNamedPages) names += ", ...";
  return names;
}

std::vector<std::string> FindImportedLevelPages(const std::string& importFolder) {
  if (importFolder.empty()) return {};
  return LevelPages(importFolder, {[](const std::string&) { return false; }, false, true});
}

std::string FindEarlierLoginSign(const std::string& sendRoot) {
  if (sendRoot.empty()) return std::string();
  const std::string passwords = sendRoot + kPasswordFile;
  if (PasswordFileAsksForLogins(passwords)) return passwords;
  const std::vector<std::string> pages =
      LevelPages(sendRoot + kOutputRoot, {[](const std::string&) { return false; }, true});
  return pages.empty() ? std::string() : sendRoot + kOutputRoot + pages.front();
}

std::vector<std::string> FindUnownedLevelPages(const TLoginOutput& output) { return NotCompiledPages(output, false); }

std::vector<std::string> FindStaleLevelPages(const TLoginOutput& output) {
  if (output.web == nullptr) return {};
  return NotCompiledPages(output, true);
}

bool RemoveStaleLevelPages(const TLoginOutput& output, TCompileHost& host, TGeneratedFiles& files) {
  const std::vector<std::string> pages = FindStaleLevelPages(output);
  if (pages.empty()) return true;
  std::vector<std::string> deleted, kept;
  for (const std::string& page : pages) {
    const std::string path = output.sendRoot + kOutputRoot + page;
    const bool gone = DeleteFile(path);
    const std::string reason = gone ? std::string() : LastErrorReason();
    if (gone || !FileExists(path)) {
      deleted.push_back(page);
      continue;
    }
    kept.push_back(reason.empty() ? page : page + " (" + reason + ")");
    files.ReportDeleteFailure(path, reason);
  }
  if (!deleted.empty())
    host.AddCompilerMessage(kMessageSource, Format(GetUiText(kStalePagesText), LevelPageList(deleted)));
  if (!kept.empty()) host.AddCompilerMessage(kMessageSource, Format(GetUiText(kKeptPagesText), LevelPageList(kept)));
  return kept.empty();
}

std::string UnownedLevelPagesRefusal(const TLoginOutput& output) {
  const std::vector<std::string> pages = FindUnownedLevelPages(output);
  if (pages.empty()) return std::string();
  return Format(GetUiText(kUnownedPagesText), ShownPath(output.sendRoot + kOutputRoot), LevelPageList(pages),
                ShownPath(output.sendRoot));
}
