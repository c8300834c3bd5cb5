#include "core/SaveJournal.h"

#include <filesystem>
#include <set>
#include <sstream>
#include <system_error>

#include "base/Crc.h"
#include "platform/win/FileIo.h"
#include "platform/win/Paths.h"

namespace {

constexpr const char* kHeader = "Tarnwell save journal 1";
constexpr const char* kEnd = "end";

std::string Line(const char* key, const TStagedFile& staged) {
  std::ostringstream line;
  line << key << ' ' << staged.size << ' ' << std::hex << staged.crc << '\n';
  return line.str();
}

bool ReadStaged(std::istringstream& in, TStagedFile& staged) {
  staged.listed = static_cast<bool>(in >> staged.size >> std::hex >> staged.crc >> std::dec);
  return staged.listed;
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

std::string TSaveJournal::Text() const {
  std::string text = std::string(kHeader) + "\n";
  if (file.listed) text += Line("file", file);
  if (bak.listed) text += Line("bak", bak);
  if (big.listed) text += Line("big", big);
  if (pages) text += std::string("pages ") + (pagesExisted ? "1" : "0") + "\n";
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
  if (!std::getline(lines, line) || line != kHeader) return std::nullopt;
  TSaveJournal journal;
  while (std::getline(lines, line)) {
    if (line == kEnd) return lines.peek() == std::char_traits<char>::eof() ? std::optional(journal) : std::nullopt;
    std::istringstream in(line);
    std::string key;
    in >> key;
    bool ok = false;
    if (key == "file") ok = !journal.file.listed && ReadStaged(in, journal.file);
    if (key == "bak") ok = !journal.bak.listed && ReadStaged(in, journal.bak);
    if (key == "big") ok = !journal.big.listed && ReadStaged(in, journal.big);
    if (key == "pages") {
      int existed = -1;
      ok = !journal.pages && (in >> existed) && (existed == 0 || existed == 1);
      journal.pages = true;
      journal.pagesExisted = existed == 1;
    }
    if (key == "page") {
      TPage page;
      ok = journal.pages && ReadStaged(in, page.staged) && in.get() == ' ' && std::getline(in, page.name) &&
           !page.name.empty();
      journal.pageFiles.push_back(std::move(page));
    }
    if (!ok) return std::nullopt;
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
