#include "core/ProjectFileCommit.h"

#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "core/FileHelpers.h"
#include "core/UiText.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"
#include "platform/win/Folders.h"
#include "platform/win/MoveFile.h"
#include "platform/win/Paths.h"
#include "platform/win/Win32File.h"

namespace {

constexpr int kCannotWriteTextId = 7385;        // cannot write %s
constexpr int kCannotReplaceTextId = 7386;      // cannot replace %s
constexpr int kCannotCreatePagesTextId = 7387;  // cannot create the page folder in %s
constexpr int kFolderInPlaceTextId = 7460;      // %s is a folder, not a file
constexpr int kHoldsOldTextId = 7561;           // %s holds the project as it was
constexpr int kHoldsNewTextId = 7562;           // %s holds the project as saved now
constexpr int kPagesOldTextId = 7563;           // %s holds the pages as they were
constexpr int kPagesNewTextId = 7564;           // %s holds the pages as saved now
constexpr int kMissingTextId = 7565;            // %s is missing
constexpr int kFinishedAtOpenTextId = 7566;     // the next opening of the project finishes the save

// The names one save uses beside the project file and its page folder.
struct TNames {
  std::string file, fileNew, bak, bakNew, big, bigNew, journal;
  std::string pages, pagesBak, pagesNew, pagesOld;
};

TNames NamesOf(const std::string& folder, const std::string& file) {
  TNames n;
  n.file = file;
  n.fileNew = file + ".new";
  n.bak = file + ".bak";
  n.bakNew = n.bak + ".new";
  n.big = n.bak + ".big";
  n.bigNew = n.big + ".new";
  n.journal = file + ".commit";
  n.pages = folder + "pages";
  n.pagesBak = folder + "pages.bak";
  n.pagesNew = folder + "pages.new";
  n.pagesOld = folder + "pages.old";
  return n;
}

std::string Named(int textId, const std::string& path) { return Format(GetUiText(textId), ShownPath(path)); }

// A rename that replaces an existing file in one step, so that the target
// holds its old or its new content at every moment.
bool RenameOver(const std::string& from, const std::string& to) {
  return RenameReplacing(from.c_str(), to.c_str()) != 0;
}

bool RenameFolder(const std::string& from, const std::string& to) { return MoveFile(from.c_str(), to.c_str()) != 0; }

bool RemoveTree(const std::string& path) {
  if (!PathExists(path)) return true;
  DeletePathToRecycle(path, true);
  return !PathExists(path);
}

bool RemoveFile(const std::string& path) { return !PathExists(path) || DeleteFile(path.c_str()) != 0; }

bool HoldsText(const std::string& path, const std::string& text) {
  std::string held;
  return FileExists(path) && ReadWholeFile(path, held) && held == text;
}

// The files of a folder by name.
std::set<std::string> FileNamesIn(const std::string& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(ToNativePath(folder), ec))
    names.insert(entry.path().filename().string());
  return names;
}

// The commit's renames in their order, each due only in the state before it:
// so the same steps finish a commit that a kill stopped. False at the first
// rename that fails, with `failed` naming what it was to replace or move.
bool Forward(const TNames& n, std::string& failed) {
  const auto fail = [&](const std::string& path) {
    failed = path;
    return false;
  };
  const bool pagesStaged = DirectoryExists(n.pagesNew);
  if (pagesStaged && DirectoryExists(n.pages)) {
    if (PathExists(n.pagesBak)) {
      if (!RemoveTree(n.pagesOld)) return fail(n.pagesOld);
      if (!RenameFolder(n.pagesBak, n.pagesOld)) return fail(n.pagesBak);
    }
    if (!RenameFolder(n.pages, n.pagesBak)) return fail(n.pages);
  }
  if (pagesStaged && !RenameFolder(n.pagesNew, n.pages)) return fail(n.pages);
  if (PathExists(n.fileNew) && !RenameOver(n.fileNew, n.file)) return fail(n.file);
  if (PathExists(n.bigNew) && !RenameOver(n.bigNew, n.big)) return fail(n.big);
  if (PathExists(n.bakNew) && !RenameOver(n.bakNew, n.bak)) return fail(n.bak);
  return true;
}

// What a commit stopped before its journal leaves: the staged files go, and
// a project file that was already replaced gets its old content back from the
// staged backup (staged after the new file, so it is there only when the new
// file was whole).
bool Rollback(const TNames& n, std::string& failed) {
  bool ok = true;
  const auto check = [&](bool done, const std::string& path) {
    if (!done && ok) failed = path;
    ok = ok && done;
  };
  if (DirectoryExists(n.pagesNew)) {
    if (!PathExists(n.pages) && DirectoryExists(n.pagesBak)) check(RenameFolder(n.pagesBak, n.pages), n.pages);
    if (DirectoryExists(n.pagesOld) && !PathExists(n.pagesBak)) check(RenameFolder(n.pagesOld, n.pagesBak), n.pagesBak);
    check(RemoveTree(n.pagesNew), n.pagesNew);
  }
  check(RemoveTree(n.pagesOld), n.pagesOld);
  if (PathExists(n.fileNew)) {
    check(RemoveFile(n.fileNew), n.fileNew);
    check(RemoveFile(n.bakNew), n.bakNew);
  } else if (PathExists(n.bakNew)) {
    check(RenameOver(n.bakNew, n.file), n.file);
  }
  check(RemoveFile(n.bigNew), n.bigNew);
  return ok;
}

}  // namespace

TProjectFileCommit::TProjectFileCommit(std::string folder, std::string file)
    : folder_(std::move(folder)), file_(std::move(file)) {}

TProjectFileCommit::~TProjectFileCommit() {
  std::string failed;
  if (staged_) Rollback(NamesOf(folder_, file_), failed);
}

void TProjectFileCommit::SetText(std::string text) { text_ = std::move(text); }

void TProjectFileCommit::SetPages(std::vector<std::pair<std::string, std::string>> pages) {
  // A later page of a name replaces an earlier one, as the files would.
  std::map<std::string, std::string> byName;
  for (auto& [name, text] : pages) byName[name] = std::move(text);
  pages_.assign(byName.begin(), byName.end());
  splitPages_ = true;
}

bool TProjectFileCommit::Fail(std::string fault) {
  fault_ = std::move(fault);
  return false;
}

// The page set changes unless "pages\" holds exactly these files with these
// texts.
bool TProjectFileCommit::PagesChanged() const {
  const TNames n = NamesOf(folder_, file_);
  if (!DirectoryExists(n.pages)) return true;
  std::set<std::string> names;
  for (const auto& [name, text] : pages_) {
    if (!HoldsText(n.pages + "\\" + name, text)) return true;
    names.insert(name);
  }
  return FileNamesIn(n.pages) != names;
}

bool TProjectFileCommit::Stage() {
  const TNames n = NamesOf(folder_, file_);
  std::string failed;
  if (!RecoverProjectSave(folder_, file_, &failed)) {
    // A folder where a staged file goes is named as such.
    const bool folderInPlace = DirectoryExists(failed) && failed != n.pages && failed != n.pagesBak &&
                               failed != n.pagesNew && failed != n.pagesOld;
    return Fail(Named(folderInPlace ? kFolderInPlaceTextId : kCannotReplaceTextId, failed));
  }
  for (const std::string& path : {n.file, n.bak, n.big})
    if (DirectoryExists(path)) return Fail(Named(kFolderInPlaceTextId, path));
  fileChanged_ = !HoldsText(n.file, text_);
  pagesChanged_ = splitPages_ && PagesChanged();
  changed_ = fileChanged_ || pagesChanged_;
  if (!changed_) return true;
  staged_ = true;
  if (pagesChanged_) {
    if (!ForceDirectories(n.pagesNew)) return Fail(Format(GetUiText(kCannotCreatePagesTextId), ShownPath(folder_)));
    for (const auto& [name, text] : pages_)
      if (!WriteFileReplacing(n.pagesNew + "\\" + name, text.data(), text.size()))
        return Fail(Named(kCannotWriteTextId, n.pages + "\\" + name));
  }
  if (fileChanged_) {
    // The new file first, then the backups it pushes along: a staged backup
    // thus tells a later recovery that the new file was whole.
    if (!WriteFileReplacing(n.fileNew, text_.data(), text_.size())) return Fail(Named(kCannotWriteTextId, n.file));
    if (backup_ && FileExists(n.file)) {
      if (!CopyFileKeepTime(n.file, n.bakNew)) return Fail(Named(kCannotWriteTextId, n.bak));
      if (FileExists(n.bak) && (!FileExists(n.big) || GetFileSizeByName(n.bak) > GetFileSizeByName(n.big)) &&
          !CopyFileKeepTime(n.bak, n.bigNew))
        return Fail(Named(kCannotWriteTextId, n.big));
    }
  }
  if (!WriteFileReplacing(n.journal, "", 0)) return Fail(Named(kCannotWriteTextId, n.journal));
  return true;
}

bool TProjectFileCommit::Run() {
  fault_.clear();
  restored_ = true;
  const TNames n = NamesOf(folder_, file_);
  std::string failed;
  if (!Stage()) {
    // Only what this run staged goes: a leftover the recovery could not
    // finish stays for the next one, its journal with it.
    if (staged_) Rollback(n, failed);
    staged_ = false;
    return false;
  }
  if (!changed_) return true;
  if (!Forward(n, failed)) {
    fault_ = Named(kCannotReplaceTextId, failed);
    Undo();
    return false;
  }
  staged_ = false;
  // The older page set goes for good now; one that stays is removed by the
  // next save or recovery.
  RemoveTree(n.pagesOld);
  RemoveFile(n.journal);
  return true;
}

// Undoes the renames a failed commit did, the pages first: while the journal
// stands, a kill in between leaves a state that the recovery finishes. Once
// the pages are back, the journal goes and the project file follows. The
// steps run in order, so the disk tells how far they got: the staged page
// folder is gone once the new pages are in.
void TProjectFileCommit::Undo() {
  const TNames n = NamesOf(folder_, file_);
  bool ok = true;
  if (pagesChanged_) {
    if (!DirectoryExists(n.pagesNew) && DirectoryExists(n.pages)) ok = RenameFolder(n.pages, n.pagesNew);
    if (ok && !PathExists(n.pages) && DirectoryExists(n.pagesBak)) ok = RenameFolder(n.pagesBak, n.pages);
    if (ok && DirectoryExists(n.pagesOld) && !PathExists(n.pagesBak)) ok = RenameFolder(n.pagesOld, n.pagesBak);
  }
  staged_ = false;
  // With the pages not back, the journal stays: the next recovery finishes
  // the save instead.
  std::string failed;
  restored_ = ok && RemoveFile(n.journal) && Rollback(n, failed);
}

std::string TProjectFileCommit::DiskState() const {
  const TNames n = NamesOf(folder_, file_);
  std::vector<std::string> facts;
  if (HoldsText(n.file, text_))
    facts.push_back(Named(kHoldsNewTextId, n.file));
  else if (FileExists(n.file))
    facts.push_back(Named(kHoldsOldTextId, n.file));
  else
    facts.push_back(Named(kMissingTextId, n.file));
  if (pagesChanged_) {
    if (!DirectoryExists(n.pages)) facts.push_back(Named(kMissingTextId, n.pages + "\\"));
    const bool newIn = DirectoryExists(n.pages) && !DirectoryExists(n.pagesNew);
    if (DirectoryExists(n.pages)) facts.push_back(Named(newIn ? kPagesNewTextId : kPagesOldTextId, n.pages + "\\"));
    if (!newIn && DirectoryExists(n.pagesNew)) facts.push_back(Named(kPagesNewTextId, n.pagesNew + "\\"));
    if (DirectoryExists(n.pagesBak)) facts.push_back(Named(kPagesOldTextId, n.pagesBak + "\\"));
  }
  if (PathExists(n.journal)) facts.push_back(GetUiText(kFinishedAtOpenTextId));
  std::string text;
  for (const std::string& fact : facts) text += (text.empty() ? "" : "; ") + fact;
  return text;
}

bool RecoverProjectSave(const std::string& folder, const std::string& file, std::string* failedPath) {
  const TNames n = NamesOf(folder, file);
  std::string failed;
  bool ok = true;
  if (PathExists(n.journal)) {
    ok = Forward(n, failed) && RemoveTree(n.pagesOld);
    if (ok && !RemoveFile(n.journal)) {
      failed = n.journal;
      ok = false;
    }
  } else {
    ok = Rollback(n, failed);
  }
  RemoveOwnTemporaryFiles(folder, false);
  if (!ok && failedPath != nullptr) *failedPath = failed;
  return ok;
}

std::uint64_t GetFileSizeByName(const std::string& fileName) {
  HANDLE file = CreateFile(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  const bool failed = low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS;
  CloseHandle(file);
  if (failed) return 0;
  return (std::uint64_t{high} << 32) | low;
}
