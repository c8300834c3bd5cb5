#include "host/sim/web/WebLogins.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include <openssl/evp.h>
#include "core/TextEncoding.h"
#include "host/sim/web/WebValues.h"

namespace {

std::string Sha1Hex(const std::string& text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(text.data(), text.size(), digest, &length, EVP_sha1(), nullptr);
  return HexOfBytes(digest, length);
}

constexpr std::size_t kMaxChallenges = 8;
constexpr std::size_t kMaxSessions = 16;
constexpr auto kChallengeLife = std::chrono::seconds(120);
constexpr auto kSessionLife = std::chrono::minutes(30);
constexpr int kFailuresBeforeLock = 5;
constexpr auto kLockTime = std::chrono::seconds(30);

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(line.substr(start, comma - start));
    if (comma == std::string::npos) return fields;
    start = comma + 1;
  }
}

// The text of a scrambled body: none when it is not whole pairs of digits or
// its sum does not match.
std::optional<std::string> Unscrambled(const std::string& body) {
  std::string digits;
  for (char c : body)
    if (c != '\r' && c != '\n') digits += c;
  if (digits.size() < 2 || digits.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  int previous = 0;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const int high = HexDigitValue(digits[i]);
    const int low = HexDigitValue(digits[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    const int sum = high * 16 + low;
    bytes += static_cast<char>(~(sum - previous) & 0xFF);
    previous = sum;
  }
  unsigned total = 0;
  for (std::size_t i = 1; i < bytes.size(); ++i) total += static_cast<unsigned char>(bytes[i]);
  if ((total & 0xFF) != static_cast<unsigned char>(bytes[0])) return std::nullopt;
  return bytes.substr(1);
}

bool ParseLevel(const std::string& text, int low, int& level) {
  if (text.empty() || text.size() > 2) return false;
  try {
    std::size_t used = 0;
    level = std::stoi(text, &used);
    return used == text.size() && level >= low && level <= 9;
  } catch (const std::exception&) {
    return false;
  }
}

// "name,password,level": the name and password may hold commas only before the last.
bool ParseUserLine(const std::string& line, int codePage, PasswordFileLine& out) {
  const std::size_t first = line.find(',');
  const std::size_t last = line.rfind(',');
  if (first == std::string::npos || first == last) return false;
  out.name = line.substr(0, first);
  const std::string password = line.substr(first + 1, last - first - 1);
  out.password = codePage > 0 ? AnsiToUtf8(password, codePage) : password;
  const std::string level = line.substr(last + 1);
  if (level == "-") {
    out.level = -1;
    return true;
  }
  return ParseLevel(level, -1, out.level);
}

bool ParseBody(const std::vector<std::string>& lines, int version, int codePage, PasswordFileContent& content) {
  std::size_t at = 0;
  int users = 10, autos = 10, apis = 10;
  if (version >= 4) {
    if (lines.empty()) return false;
    const auto counts = SplitFields(lines[at++]);
    if (counts.size() != 3) return false;
    try {
      users = std::stoi(counts[0]);
      autos = std::stoi(counts[1]);
      apis = std::stoi(counts[2]);
    } catch (const std::exception&) {
      return false;
    }
    if (users < 0 || autos < 0 || apis < 0 || users > 1000 || autos > 1000 || apis > 1000) return false;
  }
  const std::size_t needed = at + users + autos + (version >= 2 ? users + autos : 0) + (version >= 3 ? apis : 0);
  if (lines.size() < needed) return false;
  for (int i = 0; i < users; ++i) {
    PasswordFileLine line;
    if (!ParseUserLine(lines[at++], codePage, line)) return false;
    content.users.push_back(line);
  }
  for (int i = 0; i < autos; ++i) {
    const auto fields = SplitFields(lines[at++]);
    int level = -1;
    if (fields.size() == 2 && !ParseLevel(fields[1], 0, level)) level = -1;
    content.autoLogins.emplace_back(fields.empty() ? std::string() : fields[0], level);
  }
  if (version >= 2) {
    for (int i = 0; i < users; ++i) content.users[static_cast<std::size_t>(i)].startPage = lines[at++];
    at += static_cast<std::size_t>(autos);
  }
  if (version >= 3) {
    for (int i = 0; i < apis; ++i) {
      PasswordFileLine line;
      if (!ParseUserLine(lines[at++], codePage, line)) return false;
      if (line.level > 0) line.level = -1;
      content.api.push_back(line);
    }
  }
  return true;
}

}  // namespace

PasswordFileContent ReadPasswordFile(const std::string& bytes, int codePage) {
  PasswordFileContent content;
  content.present = true;
  const std::size_t end = bytes.find("\r\n");
  if (end == std::string::npos) return content;
  const std::string head = bytes.substr(0, end);
  if (head.size() != 5 || (head[0] != 'c' && head[0] != 'v') || head.compare(1, 3, ",1,") != 0 || head[4] < '1' ||
      head[4] > '4')
    return content;
  std::string body = bytes.substr(end + 2);
  if (head[0] == 'c') {
    const auto plain = Unscrambled(body);
    if (!plain) return content;
    body = *plain;
  }
  PasswordFileContent parsed;
  parsed.present = true;
  if (!ParseBody(SplitLines(body), head[4] - '0', codePage, parsed)) return content;
  parsed.readable = true;
  return parsed;
}

WebLogins::WebLogins(PasswordFileContent passwords)
    : passwords_(std::move(passwords)), clock_([] { return std::chrono::steady_clock::now(); }) {}

void WebLogins::SetClock(Clock clock) {
  std::lock_guard<std::mutex> lock(mutex_);
  clock_ = std::move(clock);
}

bool WebLogins::SecurityOn() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!passwords_.present) return false;
  if (!passwords_.readable) return true;
  const auto live = [](const PasswordFileLine& line) { return line.level >= 0; };
  if (std::any_of(passwords_.users.begin(), passwords_.users.end(), live)) return true;
  if (std::any_of(passwords_.api.begin(), passwords_.api.end(), live)) return true;
  return std::any_of(passwords_.autoLogins.begin(), passwords_.autoLogins.end(),
                     [](const auto& entry) { return !entry.first.empty() && entry.first != "00:00:00:00:00:00"; });
}

std::string WebLogins::RandomHex() {
  std::uint8_t bytes[16];
  for (std::size_t i = 0; i < sizeof bytes; i += 4) {
    const std::uint32_t word = random_();
    for (std::size_t k = 0; k < 4; ++k) bytes[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
  }
  return HexOfBytes(bytes, sizeof bytes);
}

std::string WebLogins::NewChallenge() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (challenges_.size() >= kMaxChallenges) challenges_.erase(challenges_.begin());
  challenges_.push_back({RandomHex(), clock_()});
  return challenges_.back().text;
}

bool WebLogins::TakeChallenge(const std::string& text) {
  const auto found =
      std::find_if(challenges_.begin(), challenges_.end(), [&](const Challenge& c) { return c.text == text; });
  if (found == challenges_.end()) return false;
  const bool young = clock_() - found->made < kChallengeLife;
  challenges_.erase(found);
  return young;
}

const PasswordFileLine* WebLogins::FindLine(const std::string& user, bool* api) const {
  if (user.empty() || !passwords_.readable) return nullptr;
  for (const PasswordFileLine& line : passwords_.users)
    if (line.name == user && line.level >= 0) {
      *api = false;
      return &line;
    }
  for (const PasswordFileLine& line : passwords_.api)
    if (line.name == user && line.level == 0) {
      *api = true;
      return &line;
    }
  return nullptr;
}

std::string WebLogins::NewSession(const PasswordFileLine& line, bool api) {
  const auto now = clock_();
  std::erase_if(sessions_, [&](const auto& entry) { return now - entry.second.used >= kSessionLife; });
  if (sessions_.size() >= kMaxSessions) {
    const auto oldest = std::min_element(sessions_.begin(), sessions_.end(),
                                         [](const auto& a, const auto& b) { return a.second.used < b.second.used; });
    sessions_.erase(oldest);
  }
  const std::string id = RandomHex();
  sessions_[id] =
      Session{api ? 0 : line.level, api, api || line.startPage.empty() ? "/INDEX.XML" : line.startPage, now};
  return id;
}

LoginResult WebLogins::Login(const std::string& client, const std::string& user, const std::string& digest,
                             const std::string& challenge) {
  std::lock_guard<std::mutex> lock(mutex_);
  LoginResult result;
  if (!TakeChallenge(challenge)) {
    result.outcome = LoginOutcome::Expired;
    return result;
  }
  const auto now = clock_();
  Failures& failures = failures_[client];
  if (failures.count >= kFailuresBeforeLock && now - failures.last < kLockTime) return result;
  bool api = false;
  const PasswordFileLine* line = FindLine(user, &api);
  if (line == nullptr || strcasecmp(Sha1Hex(challenge + line->password).c_str(), digest.c_str()) != 0) {
    if (failures.count >= kFailuresBeforeLock) failures.count = 0;
    ++failures.count;
    failures.last = now;
    return result;
  }
  failures_.erase(client);
  result.outcome = LoginOutcome::LoggedIn;
  result.sessionId = NewSession(*line, api);
  result.location = sessions_[result.sessionId].startPage;
  return result;
}

std::optional<int> WebLogins::SessionLevel(const std::string& sessionId) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = sessions_.find(sessionId);
  if (found == sessions_.end()) return std::nullopt;
  const auto now = clock_();
  if (now - found->second.used >= kSessionLife) {
    sessions_.erase(found);
    return std::nullopt;
  }
  found->second.used = now;
  return found->second.level;
}

std::string WebLogins::StartPage(const std::string& sessionId) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = sessions_.find(sessionId);
  return found == sessions_.end() ? std::string("/INDEX.XML") : found->second.startPage;
}

void WebLogins::Logout(const std::string& sessionId) {
  std::lock_guard<std::mutex> lock(mutex_);
  sessions_.erase(sessionId);
}
