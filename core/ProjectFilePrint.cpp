#include "core/ProjectFilePrint.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/FileHelpers.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"
#include "platform/win/Paths.h"

namespace {

// A file that is there but cannot be read, or whose folder may not be
// searched, is listed apart with the system's error. A name too long for the
// system cannot be there; a folder, a pipe or a socket holds no page.
void AddFile(TProjectFilePrint& print, const std::string& path) {
  using std::filesystem::file_type;
  std::error_code ec;
  const file_type type = std::filesystem::status(ToNativePath(path), ec).type();
  if ((type != file_type::regular && type != file_type::none) || ec == std::errc::filename_too_long) return;
  std::string content;
  if (type != file_type::none && ReadWholeFile(path, content))
    print.files[path] = TStagedFile::Of(content);
  else
    print.unreadable[path] = type == file_type::none ? ec.value() : errno;
}

}  // namespace

TProjectFilePrint ReadProjectFilePrint(const std::string& file, const std::string& pageFolder) {
  TProjectFilePrint print;
  AddFile(print, file);
  if (pageFolder.empty()) return print;
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(ToNativePath(pageFolder), ec);
  for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (!it->is_directory(typeError) && !IsOwnTemporaryFileName(name))
      AddFile(print, IncludeTrailingBackslash(pageFolder) + name);
  }
  // A folder that is missing holds no page; one that cannot be listed may.
  if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
    print.unreadable[pageFolder] = ec.value();
  return print;
}

TProjectFilePrint ProjectFilePrintOf(const std::string& file, const std::string& text, const std::string& pageFolder,
                                     const std::vector<std::pair<std::string, std::string>>& pages) {
  TProjectFilePrint print;
  print.files[file] = TStagedFile::Of(text);
  for (const auto& [name, page] : pages)
    print.files[IncludeTrailingBackslash(pageFolder) + name] = TStagedFile::Of(page);
  return print;
}

std::vector<std::string> FilesChangedSince(const TProjectFilePrint& seen, const TProjectFilePrint& now,
                                           const TProjectFilePrint& written) {
  const auto holds = [](const TProjectFilePrint& print, const std::string& path, const TStagedFile& content) {
    const auto found = print.files.find(path);
    return content.listed && found != print.files.end() && found->second == content;
  };
  std::vector<std::string> changed;
  for (const auto& [path, content] : now.files)
    if (!holds(seen, path, content) && !holds(written, path, content)) changed.push_back(path);
  return changed;
}
