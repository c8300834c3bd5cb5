#include "core/ProjectFilePrint.h"

#include <cerrno>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <system_error>

#include "core/FileHelpers.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"
#include "platform/win/Paths.h"

namespace {

// A file that is there but cannot be read, or whose folder may not be
// searched, is listed apart with the system's error. A name too long for the
// system cannot be there; a folder, a pipe or a socket holds no page.
// `read`, when given, gets what the file holds.
void AddFile(TProjectFilePrint& print, const std::string& path, std::string* read = nullptr) {
  using std::filesystem::file_type;
  std::error_code ec;
  const file_type type = std::filesystem::status(ToNativePath(path), ec).type();
  if ((type != file_type::regular && type != file_type::none) || ec == std::errc::filename_too_long) return;
  std::string content;
  if (type != file_type::none && ReadWholeFile(path, content)) {
    print.files[path] = TStagedFile::Of(content);
    if (read != nullptr) *read = std::move(content);
  } else {
    print.unreadable[path] = type == file_type::none ? ec.value() : errno;
  }
}

// True when a page of one of the prints names the file `path` of the page
// folder; a file outside it (the project file) is always one to keep.
bool NamedByAPage(const std::string& path, std::initializer_list<const TProjectFilePrint*> prints) {
  bool inPageFolder = false;
  for (const TProjectFilePrint* print : prints) {
    if (print->pageFolder.empty() || !path.starts_with(print->pageFolder)) continue;
    inPageFolder = true;
    if (print->pageNames.count(LowerCase(path.substr(print->pageFolder.size()))) != 0) return true;
  }
  return !inPageFolder;
}

}  // namespace

TProjectFilePrint ReadProjectFilePrint(const std::string& file, const std::string& pageFolder) {
  TProjectFilePrint print;
  std::string text;
  AddFile(print, file, &text);
  if (pageFolder.empty()) return print;
  print.pageFolder = IncludeTrailingBackslash(pageFolder);
  print.pageNames = PageNamesIn(text);
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(ToNativePath(pageFolder), ec);
  for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (!it->is_directory(typeError) && !IsOwnTemporaryFileName(name)) AddFile(print, print.pageFolder + name);
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
  if (pageFolder.empty()) return print;
  print.pageFolder = IncludeTrailingBackslash(pageFolder);
  print.pageNames = PageNamesIn(text);
  for (const auto& [name, page] : pages) {
    print.files[print.pageFolder + name] = TStagedFile::Of(page);
    print.pageNames.insert(LowerCase(name));
  }
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
    if (!holds(seen, path, content) && !holds(written, path, content) && NamedByAPage(path, {&seen, &now, &written}))
      changed.push_back(path);
  return changed;
}

std::set<std::string> PageNamesIn(const std::string& text) {
  std::set<std::string> names;
  TmyXMLParser parser;
  const std::unique_ptr<TmyXmlNode> root(parser.LoadFromString(text.c_str()) ? parser.Parse() : nullptr);
  for (TmyXmlNode* page = root != nullptr ? root->FindDeep("page") : nullptr; page != nullptr;
       page = page->FindDeep("page"))
    names.insert(LowerCase(page->GetAttr("name")));
  return names;
}
