#include "core/ProjectFileCommit.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <system_error>

#include "base/ScopeExit.h"
#include "core/FileHelpers.h"
#include "core/ProjectSaveSteps.h"
#include "core/SaveJournal.h"
#include "core/SaveLiveMark.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"
#include "platform/win/FileLock.h"
#include "platform/win/Folders.h"
#include "platform/win/Paths.h"
#include "platform/win/SystemError.h"
#include "platform/win/Win32File.h"

using namespace projectsave;

namespace {

constexpr int kCannotWriteTextId = 7385;        // cannot write %s
constexpr int kCannotCreatePagesTextId = 7387;  // cannot create the page folder in %s
constexpr int kFinishedAtOpenTextId = 7566;     // the next opening of the project finishes the save
constexpr int kSavedElsewhereTextId = 7567;     // another program is saving or opening the project in %s, ...
constexpr int kCannotCopyTextId = 7590;         // cannot copy %s
constexpr int kChangedElsewhereTextId = 7597;   // another program changed %s since this run read or ...
constexpr int kLockUnusableTextId = 7600;       // the lock file %s of the project folder cannot be used: %s
constexpr int kLockFolderTextId = 7601;         // it is a folder, not a file
constexpr int kLockLinkTextId = 7602;           // it is a link, not a file
constexpr int kLockNoFileTextId = 7603;         // it is not a file
constexpr int kWaitForPidTextId = 7604;         // Waiting up to %d seconds for another program (process %d), ...
constexpr int kWaitTextId = 7605;               // Waiting up to %d seconds for another program, ...
constexpr int kCannotEmptyTextId = 7621;        // cannot replace %s: this user may not delete what %s holds (%s)

constexpr const char* kLockName = ".~tarnwell~lock";

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

// The file whose mode and group a staged file takes: the one it replaces, or
// when there is none `otherwise` (empty: none, so that it keeps the mode a
// file created under the umask gets).
std::string ModelOf(const std::string& replaced, const std::string& otherwise) {
  return PathExists(replaced) ? replaced : otherwise;
}

// The names of the pages that the project file lists, in small letters.
std::set<std::string> PageNamesListedIn(const std::string& file) {
  std::string text;
  return FileExists(file) && ReadWholeFile(file, text) ? PageNamesIn(text) : std::set<std::string>();
}

using TPages = std::vector<std::pair<std::string, std::string>>;

// The entries of "pages\": the files of pages, which a page of the new set or
// of the project file on disk names (letter case aside, as the files are
// found), and the user's own (notes, drafts), which no page names. A
// temporary file of a writer is neither.
struct TPageFolder {
  std::set<std::string> pageFiles;
  std::vector<std::string> userEntries;
};

TPageFolder SortPageFolder(const TNames& n, const TPages& pages) {
  std::set<std::string> pageNames = PageNamesListedIn(n.file);
  for (const auto& page : pages) pageNames.insert(LowerCase(page.first));
  TPageFolder folder;
  for (const std::string& name : FileNamesIn(n.pages)) {
    if (pageNames.count(LowerCase(name)) != 0)
      folder.pageFiles.insert(name);
    else if (!IsOwnTemporaryFileName(name))
      folder.userEntries.push_back(name);
  }
  return folder;
}

// False, with errno set to `error` for the caller's message.
bool FailWith(int error) {
  errno = error;
  return false;
}

// Makes at `to` an entry of the kind of the pipe, socket or device `from`
// (a device with its number), with its mode, group and last-write time,
// without opening either: a pipe's writer would take that for a reader.
// False when it cannot be made (a device that this user may not make,
// EPERM); errno tells why.
bool CarrySpecialEntry(const std::filesystem::path& from, const std::filesystem::path& to) {
  struct stat held;
  if (::lstat(from.c_str(), &held) != 0 || ::mknod(to.c_str(), held.st_mode & (S_IFMT | 07777), held.st_rdev) != 0)
    return false;
  TakeModeOf(to.string(), from.string());
  const struct timespec times[2] = {held.st_atim, held.st_mtim};
  [[maybe_unused]] const int timed = ::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW);
  return true;
}

// Copies the user's entry `name` of "pages\" (its path from there, '/'
// between folders) into the staged set, so that "pages\" keeps it and
// "pages.bak\" its copy: a file with its content, mode, group and last-write
// time, listed among the journal's page files so that the recovery's check of
// the staged set holds; a folder with its mode, group and entries; a link as
// a link; a pipe, a socket or a device as an entry of its kind. The paths are
// native, so that names that differ in letter case only stay two. False when
// the entry cannot be read or written, or its name cannot stand in a line of
// the journal (EINVAL); errno tells why.
bool CarryUserEntry(const TNames& n, const std::string& name, TSaveJournal& journal) {
  namespace fs = std::filesystem;
  if (name.find_first_of("\\\r\n") != std::string::npos) return FailWith(EINVAL);
  const fs::path from = fs::path(ToNativePath(n.pages)) / name;
  const fs::path to = fs::path(ToNativePath(n.pagesNew)) / name;
  std::error_code ec;
  const auto done = [&ec] { return ec ? FailWith(ec.value()) : true; };
  const fs::file_status status = fs::symlink_status(from, ec);
  if (fs::is_symlink(status)) {
    fs::copy_symlink(from, to, ec);
    return done();
  }
  if (fs::is_directory(status)) {
    if (!fs::create_directory(to, ec)) return ec ? done() : FailWith(EEXIST);
    TakeModeOf(to.string(), from.string());
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec))
      if (!CarryUserEntry(n, name + "/" + it->path().filename().string(), journal)) return false;
    return done();
  }
  if (ec) return done();
  if (!fs::is_regular_file(status)) return CarrySpecialEntry(from, to);
  std::string content;
  WrittenFileTimes times;
  if (!ReadWholeFile(from.string(), content) ||
      !WriteFileInPlaceAt(AT_FDCWD, to.string(), content.data(), content.size(), times))
    return false;
  TakeModeOf(to.string(), from.string());
  const fs::file_time_type written = fs::last_write_time(from, ec);
  if (!ec) fs::last_write_time(to, written, ec);
  if (!FlushFile(to.string())) return false;
  journal.pageFiles.push_back({name, TStagedFile::Of(content)});
  return true;
}

// Why a save cannot replace its files, before it writes any: a file it
// replaces, or whose content goes into a backup or a new page set, that this
// user cannot read (its content would be lost, or the backup that should keep
// it not be written); or the page sets' backup, which it deletes, holding a
// folder whose entries this user may not delete (the save could not finish).
// `file`: the file changes (with its backups when `backup`); `pages`: the page
// set does. Empty when it can.
std::string ReplaceFault(const TNames& n, bool file, bool backup, bool pages) {
  const auto reason = [](int error) { return std::generic_category().message(error != 0 ? error : EIO); };
  std::vector<std::string> read;
  if (file) read.push_back(n.file);
  if (file && backup) read.push_back(n.bak);
  if (file && backup && PathExists(n.bak)) read.push_back(n.big);
  if (pages) read.insert(read.end(), {n.pages, n.pagesBak});
  for (const std::string& path : read)
    if (const std::optional<TPathFault> fault = ReadFaultOf(path))
      return Format(GetUiText(kCannotReadTextId), ShownPath(fault->path), reason(fault->error));
  const std::optional<TPathFault> fault = pages && PathExists(n.pages) ? RemoveFaultOf(n.pagesBak) : std::nullopt;
  if (!fault) return std::string();
  return Format(GetUiText(kCannotEmptyTextId), ShownPath(n.pagesBak + "\\"), ShownPath(fault->path),
                reason(fault->error));
}

// What each file the save replaces holds, before anything moves.
void RecordReplaced(const TNames& n, TSaveJournal& journal) {
  for (const TFileStep& step : kFileSteps)
    if ((journal.*step.staged).listed) journal.*step.replaced = HeldBy(n.*step.to);
  if (journal.pages) {
    journal.wasPages = HeldBy(n.pages);
    journal.wasPagesBak = HeldBy(n.pagesBak);
  }
}

}  // namespace

TProjectFileCommit::TProjectFileCommit(std::string folder, std::string file)
    : folder_(std::move(folder)), file_(std::move(file)) {}

TProjectFileCommit::~TProjectFileCommit() {
  if (staged_) Rollback(NamesOf(folder_, file_));
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

// The page set changes unless "pages\" holds exactly these page files with
// these texts; the user's own files there do not count.
bool TProjectFileCommit::PagesChanged() const {
  const TNames n = NamesOf(folder_, file_);
  if (!DirectoryExists(n.pages)) return true;
  std::set<std::string> names;
  for (const auto& [name, text] : pages_) {
    if (!HoldsText(n.pages + "\\" + name, text)) return true;
    names.insert(name);
  }
  return SortPageFolder(n, pages_).pageFiles != names;
}

// The new page set in its staged folder, with the user's files of "pages\".
// The folder and each page file take the mode and group of the one they
// replace; a new folder those of the project's folder, a new page file those
// of the project file, so that whoever reads the one reads the other.
bool TProjectFileCommit::StagePages(TSaveJournal& journal) {
  const TNames n = NamesOf(folder_, file_);
  journal.pages = true;
  journal.pagesExisted = PathExists(n.pages);
  if (!ForceDirectories(n.pagesNew)) return Fail(Named(kCannotCreatePagesTextId, folder_, errno));
  TakeModeOf(n.pagesNew, ModelOf(n.pages, folder_));
  for (const auto& [name, text] : pages_) {
    const std::string staged = n.pagesNew + "\\" + name;
    if (!WriteFileReplacing(staged, text.data(), text.size()))
      return Fail(Named(kCannotWriteTextId, n.pages + "\\" + name, errno));
    TakeModeOf(staged, ModelOf(n.pages + "\\" + name, n.file));
    journal.pageFiles.push_back({name, TStagedFile::Of(text)});
  }
  for (const std::string& name : SortPageFolder(n, pages_).userEntries)
    if (!CarryUserEntry(n, name, journal)) return Fail(Named(kCannotCopyTextId, n.pages + "\\" + name, errno));
  return true;
}

bool TProjectFileCommit::Stage() {
  const TNames n = NamesOf(folder_, file_);
  std::string fault;
  if (!RecoverProjectSave(folder_, {file_}, &fault)) return Fail(fault);
  // A temporary file that a killed run left among the pages would otherwise
  // move with them into "pages.bak\".
  RemoveOwnTemporaryFiles(n.pages, false);
  for (const std::string& path : {n.file, n.bak, n.big})
    if (DirectoryExists(path)) return Fail(Named(kFolderInPlaceTextId, path));
  fileChanged_ = !HoldsText(n.file, text_);
  pagesChanged_ = splitPages_ && PagesChanged();
  changed_ = fileChanged_ || pagesChanged_;
  if (!changed_) return true;
  // Marked live before its first staged file, so that no other run's
  // recovery works on the save's files while it runs, even one that took the
  // folder's lock anew after its lock file was deleted.
  live_.emplace(n.live, TSaveLiveMark::TMode::kMake);
  if (live_->State() == TSaveLiveMark::TState::kLive) return Fail(ProjectSavedElsewhere(folder_));
  if (live_->State() != TSaveLiveMark::TState::kHeld) return Fail(Named(kCannotWriteTextId, n.live, live_->Error()));
  staged_ = true;
  TSaveJournal journal;
  if (pagesChanged_ && !StagePages(journal)) return false;
  // Each staged file takes the mode and group of the file it replaces; a new
  // backup those of the file it copies.
  if (fileChanged_) {
    if (!WriteFileReplacing(n.fileNew, text_.data(), text_.size()))
      return Fail(Named(kCannotWriteTextId, n.file, errno));
    TakeModeOf(n.fileNew, n.file);
    journal.file = TStagedFile::Of(text_);
    std::string old;
    if (backup_ && FileExists(n.file) && ReadWholeFile(n.file, old)) {
      if (!CopyFileKeepTime(n.file, n.bakNew)) return Fail(Named(kCannotWriteTextId, n.bak, LastErrorErrno()));
      TakeModeOf(n.bakNew, ModelOf(n.bak, n.file));
      if (!FlushFile(n.bakNew)) return Fail(Named(kCannotWriteTextId, n.bak, errno));
      journal.bak = TStagedFile::Of(old);
      std::string bak;
      if (FileExists(n.bak) && (!FileExists(n.big) || GetFileSizeByName(n.bak) > GetFileSizeByName(n.big)) &&
          ReadWholeFile(n.bak, bak)) {
        if (!CopyFileKeepTime(n.bak, n.bigNew)) return Fail(Named(kCannotWriteTextId, n.big, LastErrorErrno()));
        TakeModeOf(n.bigNew, ModelOf(n.big, n.bak));
        if (!FlushFile(n.bigNew)) return Fail(Named(kCannotWriteTextId, n.big, errno));
        journal.big = TStagedFile::Of(bak);
      }
    }
  }
  RecordReplaced(n, journal);
  const std::string text = journal.Text();
  if (!WriteFileReplacing(n.journal, text.data(), text.size()))
    return Fail(Named(kCannotWriteTextId, n.journal, errno));
  // Whoever may read the project reads its journal too, so that their
  // opening can finish the save.
  TakeModeOf(n.journal, ModelOf(n.file, std::string()));
  journal_ = journal;
  return true;
}

bool TProjectFileCommit::Run() {
  fault_.clear();
  restored_ = true;
  journal_ = TSaveJournal();
  const TNames n = NamesOf(folder_, file_);
  const TFolderLock lock(ProjectLockFile(folder_));
  if (lock.State() == TFolderLock::TState::kTaken) return Fail(ProjectSavedElsewhere(folder_));
  if (lock.State() == TFolderLock::TState::kNoLockFile) return Fail(ProjectLockUnusable(folder_, lock.Error()));
  // The save's live mark goes when the commit ends, while the lock is held.
  const ScopeExit endLive([this] { live_.reset(); });
  if (expected_ && !StillAsExpected()) return false;
  if (!Stage()) {
    // Only what this run staged goes: a leftover the recovery could not
    // finish stays for the next one, its journal with it.
    if (staged_) Rollback(n);
    staged_ = false;
    return false;
  }
  staged_ = false;
  if (!changed_) return Written();
  std::set<std::string> moved;
  if (const std::optional<TStop> stop = Forward(n, journal_, &moved)) {
    fault_ = Told(*stop);
    // Once every file is back, the journal goes and then what was staged (a
    // staged file that stays is removed by the next recovery); while the
    // journal stands, the next opening finishes the save instead.
    restored_ = Undo(n, journal_, &moved) && RemoveFile(n.journal);
    if (restored_) Rollback(n);
    return false;
  }
  // The new set is in. A journal that cannot be deleted stays behind; with
  // nothing left to put in place, the next opening deletes it.
  Finish(n, journal_);
  return Written();
}

// What the files hold once the save is in, read while the lock is still held:
// the files of the user's that went along with the pages included.
bool TProjectFileCommit::Written() {
  written_ = ReadProjectFilePrint(file_, splitPages_ ? NamesOf(folder_, file_).pages : std::string());
  return true;
}

// A save that a kill stopped is finished first, as Stage would, so that it
// counts as a change too; a recovery that fails is Stage's to tell. Files
// that this user cannot read or delete fail the save with the reason
// (ReplaceFault); a file that cannot be read is never told as changed.
bool TProjectFileCommit::StillAsExpected() {
  changedElsewhere_ = false;
  if (!RecoverProjectSave(folder_, {file_})) return true;
  const TNames n = NamesOf(folder_, file_);
  if (const std::string fault = ReplaceFault(n, !HoldsText(n.file, text_), backup_, splitPages_ && PagesChanged());
      !fault.empty())
    return Fail(fault);
  found_ = ReadProjectFilePrint(file_, splitPages_ ? n.pages : std::string());
  std::string changed;
  for (const std::string& path : FilesChangedSince(*expected_, found_, Planned()))
    changed += (changed.empty() ? "\"" : ", \"") + ShownPath(path) + "\"";
  if (changed.empty()) return true;
  changedElsewhere_ = true;
  return Fail(Format(GetUiText(kChangedElsewhereTextId), changed));
}

TProjectFilePrint TProjectFileCommit::Planned() const {
  return ProjectFilePrintOf(file_, text_, splitPages_ ? NamesOf(folder_, file_).pages : std::string(), pages_);
}

std::string TProjectFileCommit::DiskState() const {
  std::string text = Describe(NamesOf(folder_, file_), &journal_, false);
  if (FinishedAtOpen()) text += "; " + GetUiText(kFinishedAtOpenTextId);
  return text;
}

bool TProjectFileCommit::FinishedAtOpen() const {
  const TNames n = NamesOf(folder_, file_);
  const std::optional<TSaveJournal> journal = PathExists(n.journal) ? ReadJournal(n) : std::nullopt;
  return journal && !Verify(n, *journal) && Judge(n, *journal) == TVerdict::kForward;
}

std::string ProjectLockFile(const std::string& folder) { return folder + kLockName; }

std::string ProjectSavedElsewhere(const std::string& folder) { return Named(kSavedElsewhereTextId, folder); }

std::string ProjectLockUnusable(const std::string& folder, int error) {
  // No lock file, and none could be made: the folder is the cause, which the
  // system's reason alone ("Permission denied") does not name.
  constexpr int kFolderRefusedTextId = 7690;  // the lock file %s cannot be made: the folder %s may not be written (%s)
  constexpr int kNotMadeTextId = 7691;        // the lock file %s cannot be made in the folder %s (%s)
  const std::string lockFile = ProjectLockFile(folder);
  if (error != EISDIR && error != ELOOP && error != EINVAL && !PathExists(lockFile)) {
    const bool refused = error == EACCES || error == EPERM || error == EROFS;
    return Format(GetUiText(refused ? kFolderRefusedTextId : kNotMadeTextId), ShownPath(lockFile), ShownPath(folder),
                  ErrnoText(error));
  }
  std::string reason;
  switch (error) {
    case EISDIR: reason = GetUiText(kLockFolderTextId); break;
    case ELOOP: reason = GetUiText(kLockLinkTextId); break;
    case EINVAL: reason = GetUiText(kLockNoFileTextId); break;
    default: reason = ErrnoText(error);
  }
  return Format(GetUiText(kLockUnusableTextId), ShownPath(ProjectLockFile(folder)), reason);
}

std::string ProjectLockWaitNotice(const std::string& lockFile, int pid, int waitMs) {
  const std::string folder = ShownPath(lockFile.substr(0, lockFile.rfind('\\') + 1));
  const int seconds = (waitMs + 999) / 1000;
  if (pid > 0) return Format(GetUiText(kWaitForPidTextId), seconds, pid, folder);
  return Format(GetUiText(kWaitTextId), seconds, folder);
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
