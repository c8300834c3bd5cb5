#include "designer/ProjectFiles.h"

#include <filesystem>
#include <system_error>

#include "core/FileHelpers.h"
#include "platform/win/FileIo.h"
#include "platform/win/Folders.h"
#include "platform/win/MoveFile.h"
#include "platform/win/Paths.h"
#include "platform/win/Win32File.h"

namespace {

constexpr const char* kStagedExtension = ".new";
constexpr const char* kPagesName = "pages";
constexpr const char* kPagesBackupName = "pages.bak";
constexpr const char* kPagesStagingName = "pages.new";

bool WriteText(const std::string& path, std::string_view text) {
  return WriteFileReplacing(path, text.data(), text.size());
}

// A rename that replaces an existing target in one step.
bool RenameOver(const std::string& from, const std::string& to) {
  std::error_code ec;
  std::filesystem::rename(ToNativePath(from), ToNativePath(to), ec);
  return !ec;
}

void RemoveFolder(const std::string& folder) {
  if (DirectoryExists(folder)) DeletePathToRecycle(folder, true);
}

}  // namespace

TStagedFile::TStagedFile(std::string target) : target_(std::move(target)), staged_(target_ + kStagedExtension) {}

TStagedFile::~TStagedFile() {
  if (pending_) DeleteFile(staged_.c_str());
}

bool TStagedFile::Stage(std::string_view text) {
  pending_ = WriteText(staged_, text);
  return pending_;
}

bool TStagedFile::Commit() {
  if (!pending_) return false;
  if (!RenameOver(staged_, target_)) return false;
  pending_ = false;
  return true;
}

TStagedPages::TStagedPages(std::string folder) : folder_(std::move(folder)), staging_(folder_ + kPagesStagingName) {}

TStagedPages::~TStagedPages() {
  if (open_) RemoveFolder(staging_);
}

bool TStagedPages::Open() {
  RemoveFolder(staging_);
  open_ = ForceDirectories(staging_);
  return open_;
}

bool TStagedPages::Add(const std::string& name, std::string text) {
  if (!open_ || !WriteText(staging_ + "\\" + name, text)) return false;
  pages_.emplace_back(name, std::move(text));
  return true;
}

bool TStagedPages::Commit() {
  if (!open_) return false;
  const std::string pages = folder_ + kPagesName;
  const std::string pagesBackup = folder_ + kPagesBackupName;
  RemoveFolder(pagesBackup);
  if (DirectoryExists(pages)) MoveFile(pages.c_str(), pagesBackup.c_str());
  if (!DirectoryExists(pages) && MoveFile(staging_.c_str(), pages.c_str())) {
    open_ = false;
    return true;
  }
  // The old set could not be moved aside: replace its files one by one.
  if (!ForceDirectories(pages)) return false;
  bool ok = true;
  for (const auto& [name, text] : pages_) ok = WriteText(pages + "\\" + name, text) && ok;
  return ok;
}
