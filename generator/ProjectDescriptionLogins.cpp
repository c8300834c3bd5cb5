// The login data of the project description: users' passwords and the MAC
// addresses of automatic logins leave the project only as SHA-1 digests. The
// digested text is built whole, however long the name or password.

#include <openssl/evp.h>

#include <array>
#include <fstream>
#include <memory>

#include "core/PasswordScramble.h"
#include "core/XmlNode.h"
#include "generator/ProjectDescription.h"
#include "generator/ProjectDescriptionSteps.h"
#include "platform/win/Paths.h"

namespace {

constexpr std::int32_t kDefaultEntryLimit = 10;  // users and automatic logins without `count`
constexpr std::size_t kSha1Bytes = 20;

// The limit of entries: `count` of the node, the default when it has none
// (EConvertError when it is not an integer).
std::int32_t EntryLimit(const TmyXmlNode* node) {
  std::int32_t limit = kDefaultEntryLimit;
  if (node != nullptr) node->GetAttrIntStrict("count", limit);
  return limit;
}

void DeleteElement(TmyXmlNode* node) { std::unique_ptr<TmyXmlNode> owned(node); }

// A MAC line "address,level...": the address followed by the one character
// after the first comma; a line without a comma gives its first character.
std::string MacLineText(const std::string& line) {
  const std::size_t comma = line.find(',');
  const std::size_t head = comma == std::string::npos ? 0 : comma;
  const std::size_t after = comma == std::string::npos ? 0 : comma + 1;
  std::string text = line.substr(0, head);
  if (after < line.size()) text += line[after];
  return text;
}

}  // namespace

std::string Sha1Hex(std::string_view text) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  EVP_Digest(text.data(), text.size(), digest.data(), &length, EVP_sha1(), nullptr);
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(kSha1Bytes * 2);
  for (unsigned int i = 0; i < length; ++i) {
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 0x0F];
  }
  return hex;
}

void DigestUsers(TmyXmlNode* root) {
  TmyXmlNode* security = root->FindChild("security", {}, true);
  if (security == nullptr) return;
  std::int32_t limit = EntryLimit(security);
  TmyXmlNode* next = nullptr;
  for (TmyXmlNode* user = security->firstChild; user != nullptr; user = next) {
    next = user->next;
    if (user->name != "user") continue;
    if (limit <= 0) {
      DeleteElement(user);
      continue;
    }
    if (const TmyXmlAttrNode* pass = user->FindAttr("pass")) {
      const std::string password = UnscrambleHex(pass->value.c_str());
      user->SetAttr("pass", Sha1Hex(user->GetAttr("name") + user->GetAttr("level") + password));
    }
    --limit;
  }
}

std::vector<std::string> ReadMacLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(ToNativePath(path), std::ios::binary);
  std::string line;
  while (in && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void DigestAutoLogins(TmyXmlNode* root, const std::vector<std::string>& macLines) {
  TmyXmlNode* autologin = root->FindChild("autologin", {}, true);
  if (autologin == nullptr) return;
  std::int32_t limit = EntryLimit(autologin->firstChild);
  std::size_t lineIndex = 0;
  TmyXmlNode* next = nullptr;
  for (TmyXmlNode* entry = autologin->firstChild; entry != nullptr; entry = next) {
    next = entry->next;
    if (entry->name != "mac") continue;
    if (limit <= 0) {
      DeleteElement(entry);
      continue;
    }
    if (const TmyXmlAttrNode* mac = entry->FindAttr("mac")) {
      std::string text = mac->value + entry->GetAttr("level");
      if (lineIndex < macLines.size()) text = MacLineText(macLines[lineIndex++]);
      entry->SetAttr("mac", Sha1Hex(text));
    }
    entry->DeleteAttr("note");
    --limit;
  }
}
