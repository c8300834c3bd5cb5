// The password file is read as the web server reads it: a header line
// "c,1,V" or "v,1,V", then the body, scrambled or plain. Its rows need not
// be told apart by block: a row "name,password,level" with a level of 0 or
// more lets someone log in, a row "mac,level" with an address other than the
// empty one logs a device in, and start-page rows hold no comma.

#include "generator/EarlierLogins.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "base/ScopeExit.h"
#include "core/FileHelpers.h"
#include "generator/PasswordFile.h"
#include "platform/vcl/FindFile.h"
#include "platform/win/FileIo.h"

namespace {

constexpr const char* kPasswordFile = "PSW.TXT";
constexpr const char* kLevelMark = "PAGE_LEVEL=\"";
// Where the data pages lie under the output folder.
constexpr const char* kPageFolders[] = {"WWW\\", "WWW\\NOTIFY\\"};

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

// The first data page ("*.XML") of the folder that asks for a level.
std::string PageWithLevel(const std::string& folder) {
  TSearchRec entry;
  if (FindFirst(folder + "*.XML", faAnyFile & ~faDirectory, entry) != 0) return std::string();
  ScopeExit closeListing([&] { FindClose(entry); });
  do {
    if ((entry.Attr & faDirectory) == 0 && PageAsksForLogin(folder + entry.Name)) return folder + entry.Name;
  } while (FindNext(entry) == 0);
  return std::string();
}

}  // namespace

std::string FindEarlierLoginSign(const std::string& sendRoot) {
  if (sendRoot.empty()) return std::string();
  const std::string passwords = sendRoot + kPasswordFile;
  if (PasswordFileAsksForLogins(passwords)) return passwords;
  for (const char* folder : kPageFolders)
    if (std::string page = PageWithLevel(sendRoot + folder); !page.empty()) return page;
  return std::string();
}
