#include "core/ProjectFilePrint.h"

#include <filesystem>
#include <system_error>

#include "core/FileHelpers.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"
#include "platform/win/Paths.h"

namespace {

// A file that is there but cannot be read prints as unlisted: it matches no
// content, so it is never taken for what a run read.
void AddFile(TProjectFilePrint& print, const std::string& path) {
  if (!FileExists(path)) return;
  std::string content;
  print.files[path] = ReadWholeFile(path, content) ? TStagedFile::Of(content) : TStagedFile{};
}

}  // namespace

TProjectFilePrint ReadProjectFilePrint(const std::string& file, const std::string& pageFolder) {
  TProjectFilePrint print;
  AddFile(print, file);
  if (pageFolder.empty()) return print;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(ToNativePath(pageFolder), ec)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_directory(ec) && !IsOwnTemporaryFileName(name))
      AddFile(print, IncludeTrailingBackslash(pageFolder) + name);
  }
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
