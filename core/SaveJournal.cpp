#include "core/SaveJournal.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <system_error>

#include "base/Crc.h"
#include "core/FileHelpers.h"
#include "platform/win/FileIo.h"
#include "platform/win/Paths.h"

namespace {

// The second format records what each replaced file held; the first did not.
constexpr const char* kHeader = "Tarnwell save journal 2";
constexpr const char* kFirstHeader = "Tarnwell save journal 1";
constexpr const char* kEnd = "end";
constexpr const char* kMissing = "missing";

std::string Line(const char* key, const TStagedFile& staged) {
  std::ostringstream line;
  line << key << ' ' << staged.size << ' ' << std::hex << staged.crc << '\n';
  return line.str();
}

std::string HeldLine(const char* key, const std::optional<TStagedFile>& held) {
  if (!held) return std::string();
  return held->listed ? Line(key, *held) : std::string(key) + ' ' + kMissing + '\n';
}

bool ReadStaged(std::istringstream& in, TStagedFile& staged) {
  staged.listed = static_cast<bool>(in >> staged.size >> std::hex >> staged.crc >> std::dec);
  return staged.listed;
}

bool ReadOnce(std::istringstream& in, TStagedFile& staged) { return !staged.listed && ReadStaged(in, staged); }

// "missing", or a size and a checksum, and nothing after it.
bool ReadHeld(std::istringstream& in, std::optional<TStagedFile>& held) {
  std::string rest;
  if (held || !std::getline(in >> std::ws, rest)) return false;
  std::istringstream value(rest);
  TStagedFile file;
  if (rest != kMissing && (!ReadStaged(value, file) || !(value >> std::ws).eof())) return false;
  held = file;
  return true;
}

bool ReadPages(std::istringstream& in, TSaveJournal& journal) {
  int existed = -1;
  const bool ok = !journal.pages && (in >> existed) && (existed == 0 || existed == 1);
  journal.pages = true;
  journal.pagesExisted = existed == 1;
  return ok;
}

bool ReadPage(std::istringstream& in, TSaveJournal& journal) {
  TSaveJournal::TPage page;
  const bool ok = journal.pages && ReadStaged(in, page.staged) && in.get() == ' ' && std::getline(in, page.name) &&
                  !page.name.empty();
  journal.pageFiles.push_back(std::move(page));
  return ok;
}

// Each line of a journal by its first word; a word not in the table makes
// the journal unreadable, so that a journal of a later format is left alone.
struct TKeyReader {
  const char* key;
  bool (*read)(std::istringstream& in, TSaveJournal& journal);
};
constexpr TKeyReader kKeyReaders[] = {
    {"file", [](std::istringstream& in, TSaveJournal& j) { return ReadOnce(in, j.file); }},
    {"bak", [](std::istringstream& in, TSaveJournal& j) { return ReadOnce(in, j.bak); }},
    {"big", [](std::istringstream& in, TSaveJournal& j) { return ReadOnce(in, j.big); }},
    {"pages", ReadPages},
    {"page", ReadPage},
    {"was-file", [](std::istringstream& in, TSaveJournal& j) { return ReadHeld(in, j.wasFile); }},
    {"was-bak", [](std::istringstream& in, TSaveJournal& j) { return ReadHeld(in, j.wasBak); }},
    {"was-big", [](std::istringstream& in, TSaveJournal& j) { return ReadHeld(in, j.wasBig); }},
    {"was-pages", [](std::istringstream& in, TSaveJournal& j) { return ReadHeld(in, j.wasPages); }},
    {"was-pages.bak", [](std::istringstream& in, TSaveJournal& j) { return ReadHeld(in, j.wasPagesBak); }},
};

// A "was-" line for exactly the files the save replaces, and for "pages\"
// the same as the "pages" line says of it.
bool ReplacedLinesMatch(const TSaveJournal& j) {
  const auto one = [](bool replaced, const std::optional<TStagedFile>& held) { return replaced == held.has_value(); };
  return one(j.file.listed, j.wasFile) && one(j.bak.listed, j.wasBak) && one(j.big.listed, j.wasBig) &&
         one(j.pages, j.wasPages) && one(j.pages, j.wasPagesBak) && (!j.pages || j.wasPages->listed == j.pagesExisted);
}

bool NoReplacedLines(const TSaveJournal& j) {
  return !j.wasFile && !j.wasBak && !j.wasBig && !j.wasPages && !j.wasPagesBak;
}

// The print's lines of the folder's entries below `prefix`, by name.
bool ListFolder(const std::string& folder, const std::string& prefix, std::map<std::string, std::string>& lines) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(ToNativePath(folder), ec)) {
    const std::string name = entry.path().filename().string();
    const std::string path = folder + "\\" + name;
    if (entry.is_directory(ec) && !entry.is_symlink(ec)) {
      lines[prefix + name] = prefix + name + "/\n";
      if (!ListFolder(path, prefix + name + "/", lines)) return false;
      continue;
    }
    if (IsOwnTemporaryFileName(name)) continue;
    std::string content;
    if (!ReadWholeFile(path, content)) return false;
    const TStagedFile file = TStagedFile::Of(content);
    std::ostringstream line;
    line << prefix << name << ' ' << file.size << ' ' << std::hex << file.crc << '\n';
    lines[prefix + name] = line.str();
  }
  return !ec;
}

}  // namespace

TStagedFile TStagedFile::Of(const std::string& content) {
  Crc32 crc;
  for (std::size_t done = 0; done < content.size();) {
    const std::size_t piece = std::min<std::size_t>(content.size() - done, 1u << 30);
    crc.Update(content.data() + done, static_cast<std::uint32_t>(piece));
    done += piece;
  }
  return TStagedFile{true, content.size(), crc.Value()};
}

TStagedFile HeldBy(const std::string& path) {
  // A size no file has: what cannot be read matches no content that was read.
  const TStagedFile unreadable{true, ~std::uint64_t{0}, 0};
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(ToNativePath(path), ec);
  if (!std::filesystem::exists(status)) return TStagedFile{};
  std::string content;
  if (std::filesystem::is_directory(status)) {
    // The print starts with a line of its own, so that a folder and a file
    // whose text is the folder's listing differ.
    std::map<std::string, std::string> lines;
    if (!ListFolder(path, std::string(), lines)) return unreadable;
    content = "folder\n";
    for (const auto& [name, line] : lines) content += line;
    return TStagedFile::Of(content);
  }
  return ReadWholeFile(path, content) ? TStagedFile::Of(content) : unreadable;
}

bool TSaveJournal::ReplacedKnown() const { return ReplacedLinesMatch(*this); }

std::string TSaveJournal::Text() const {
  std::string text = std::string(kHeader) + "\n";
  if (file.listed) text += Line("file", file) + HeldLine("was-file", wasFile);
  if (bak.listed) text += Line("bak", bak) + HeldLine("was-bak", wasBak);
  if (big.listed) text += Line("big", big) + HeldLine("was-big", wasBig);
  if (pages) {
    text += std::string("pages ") + (pagesExisted ? "1" : "0") + "\n";
    text += HeldLine("was-pages", wasPages) + HeldLine("was-pages.bak", wasPagesBak);
  }
  for (const TPage& page : pageFiles) {
    std::string line = Line("page", page.staged);
    line.insert(line.size() - 1, " " + page.name);
    text += line;
  }
  return text + kEnd + "\n";
}

std::optional<TSaveJournal> TSaveJournal::Parse(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || (line != kHeader && line != kFirstHeader)) return std::nullopt;
  const bool first = line == kFirstHeader;
  TSaveJournal journal;
  while (std::getline(lines, line)) {
    if (line == kEnd) {
      if (lines.peek() != std::char_traits<char>::eof()) return std::nullopt;
      if (first ? !NoReplacedLines(journal) : !ReplacedLinesMatch(journal)) return std::nullopt;
      return journal;
    }
    std::istringstream in(line);
    std::string key;
    in >> key;
    const auto reader =
        std::find_if(std::begin(kKeyReaders), std::end(kKeyReaders), [&](const TKeyReader& r) { return key == r.key; });
    if (reader == std::end(kKeyReaders) || !reader->read(in, journal)) return std::nullopt;
  }
  return std::nullopt;
}

bool FileHolds(const std::string& path, const TStagedFile& staged) {
  std::string content;
  return ReadWholeFile(path, content) && TStagedFile::Of(content) == staged;
}

bool FolderHoldsPages(const std::string& folder, const TSaveJournal& journal) {
  namespace fs = std::filesystem;
  const fs::path root(ToNativePath(folder));
  std::set<std::string> names;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    const fs::file_type type = it->symlink_status(typeError).type();
    if (type != fs::file_type::directory && type != fs::file_type::symlink)
      names.insert(it->path().lexically_relative(root).string());
  }
  if (ec || names.size() != journal.pageFiles.size()) return false;
  for (const TSaveJournal::TPage& page : journal.pageFiles)
    if (names.count(page.name) == 0 || !FileHolds(folder + "\\" + page.name, page.staged)) return false;
  return true;
}
