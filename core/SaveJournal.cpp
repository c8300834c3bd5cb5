#include "core/SaveJournal.h"

#include <unistd.h>

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

// The print's lines of the folder's entries below `prefix`, by name: a link
// by its target and a pipe or a socket by its kind, neither opened. False at
// the first entry that cannot be read, which `fault` names.
bool ListFolder(const std::string& folder, const std::string& prefix, std::map<std::string, std::string>& lines,
                TPathFault& fault) {
  namespace fs = std::filesystem;
  std::error_code ec;
  for (fs::directory_iterator it(ToNativePath(folder), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    const std::string path = folder + "\\" + name;
    const std::string key = prefix + name;
    const fs::file_status status = it->symlink_status(ec);
    if (ec) break;
    if (fs::is_directory(status)) {
      lines[key] = key + "/\n";
      if (!ListFolder(path, key + "/", lines, fault)) return false;
      continue;
    }
    if (IsOwnTemporaryFileName(name)) continue;
    if (fs::is_symlink(status)) {
      lines[key] = key + " -> " + fs::read_symlink(it->path(), ec).string() + "\n";
      if (ec) break;
      continue;
    }
    if (!fs::is_regular_file(status)) {
      lines[key] = key + " special\n";
      continue;
    }
    std::string content;
    if (!ReadWholeFile(path, content)) {
      fault = {path, errno};
      return false;
    }
    const TStagedFile file = TStagedFile::Of(content);
    std::ostringstream line;
    line << key << ' ' << file.size << ' ' << std::hex << file.crc << '\n';
    lines[key] = line.str();
  }
  if (ec) fault = {folder, ec.value()};
  return !ec;
}

// What the path holds, as HeldBy tells it; `fault` names what kept it from
// being read.
TStagedFile Held(const std::string& path, TPathFault& fault) {
  namespace fs = std::filesystem;
  // A size no file has: what cannot be read matches no content that was read.
  const TStagedFile unreadable{true, ~std::uint64_t{0}, 0};
  std::error_code ec;
  const fs::file_status status = fs::status(ToNativePath(path), ec);
  // A name too long for the system cannot be there; a folder on the way that
  // may not be searched hides what is there.
  if (status.type() == fs::file_type::not_found || ec == std::errc::filename_too_long) return TStagedFile{};
  if (status.type() == fs::file_type::none) {
    fault = {path, ec.value()};
    return unreadable;
  }
  std::string content;
  if (fs::is_directory(status)) {
    // The print starts with a line of its own, so that a folder and a file
    // whose text is the folder's listing differ.
    std::map<std::string, std::string> lines;
    if (!ListFolder(path, std::string(), lines, fault)) return unreadable;
    content = "folder\n";
    for (const auto& [name, line] : lines) content += line;
    return TStagedFile::Of(content);
  }
  if (ReadWholeFile(path, content)) return TStagedFile::Of(content);
  fault = {path, errno};
  return unreadable;
}

std::optional<TPathFault> RemoveFault(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(fs::symlink_status(folder, ec))) return std::nullopt;
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return TPathFault{folder.string(), errno};
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (std::optional<TPathFault> fault = RemoveFault(it->path())) return fault;
  if (ec) return TPathFault{folder.string(), ec.value()};
  return std::nullopt;
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
  TPathFault fault;
  return Held(path, fault);
}

std::optional<TPathFault> ReadFaultOf(const std::string& path) {
  TPathFault fault;
  Held(path, fault);
  if (fault.path.empty()) return std::nullopt;
  return fault;
}

std::optional<TPathFault> RemoveFaultOf(const std::string& path) { return RemoveFault(ToNativePath(path)); }

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
    // An entry whose kind cannot be told counts as a file.
    if (it->symlink_status(typeError).type() == fs::file_type::regular || typeError)
      names.insert(it->path().lexically_relative(root).string());
  }
  if (ec || names.size() != journal.pageFiles.size()) return false;
  for (const TSaveJournal::TPage& page : journal.pageFiles)
    if (names.count(page.name) == 0 || !FileHolds(folder + "\\" + page.name, page.staged)) return false;
  return true;
}
