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
#include "core/SaveJournal.h"
#include "core/SaveLiveMark.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"
#include "platform/win/FileLock.h"
#include "platform/win/Folders.h"
#include "platform/win/MoveFile.h"
#include "platform/win/Paths.h"
#include "platform/win/SystemError.h"
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
constexpr int kSavedElsewhereTextId = 7567;     // another program is saving or opening the project in %s, ...
constexpr int kNotStagedTextId = 7568;          // %s does not hold what the interrupted save staged: ...
constexpr int kCannotCopyTextId = 7590;         // cannot copy %s
constexpr int kChangedElsewhereTextId = 7597;   // another program changed %s since this run read or ...
constexpr int kLockUnusableTextId = 7600;       // the lock file %s of the project folder cannot be used: %s
constexpr int kLockFolderTextId = 7601;         // it is a folder, not a file
constexpr int kLockLinkTextId = 7602;           // it is a link, not a file
constexpr int kLockNoFileTextId = 7603;         // it is not a file
constexpr int kWaitForPidTextId = 7604;         // Waiting up to %d seconds for another program (process %d), ...
constexpr int kWaitTextId = 7605;               // Waiting up to %d seconds for another program, ...
constexpr int kBakOldTextId = 7580;             // %s holds the project's backup as it was
constexpr int kBigOldTextId = 7581;             // %s holds the copy of the project's largest backup as it was
constexpr int kPagesBakOldTextId = 7582;        // %s holds the backup of the pages as it was
constexpr int kHoldsStagedTextId = 7583;        // %s holds the project as the interrupted save was writing it
constexpr int kPagesStagedTextId = 7584;        // %s holds the pages as the interrupted save was writing them
constexpr int kHoldsOtherTextId = 7585;         // %s holds neither what the save wrote nor what it replaced
constexpr int kUnprovenTextId = 7586;           // the files of an interrupted save are not in a state ...: %s
constexpr int kCannotReadTextId = 7620;         // cannot read %s (%s)
constexpr int kCannotEmptyTextId = 7621;        // cannot replace %s: this user may not delete what %s holds (%s)

// The mark of the names one save stages beside its project file. Its '-'
// keeps them from the sweep of the writers' temporary files, which only
// takes names of letters, digits and '_' after the mark.
constexpr const char* kStageMark = ".~tarnwell~save-";
constexpr const char* kLockName = ".~tarnwell~lock";

// The names one save uses beside the project file and its page folder.
struct TNames {
  std::string file, bak, big, pages, pagesBak;
  // Staged: the new files, the journal, and the files moved aside while the
  // staged ones go in.
  std::string fileNew, bakNew, bigNew, pagesNew, journal;
  std::string fileWas, bakWas, bigWas, pagesBakWas;
  // A folder on its way out, so that a deletion stopped half-way leaves no
  // part of it under a name that counts.
  std::string gone;
  // The mark of a save that runs (SaveLiveMark.h).
  std::string live;
};

TNames NamesOf(const std::string& folder, const std::string& file) {
  TNames n;
  n.file = file;
  n.bak = file + ".bak";
  n.big = n.bak + ".big";
  n.pages = folder + "pages";
  n.pagesBak = folder + "pages.bak";
  const std::string stage = file + kStageMark;
  n.fileNew = stage + "new";
  n.bakNew = stage + "bak";
  n.bigNew = stage + "big";
  n.pagesNew = stage + "pages";
  n.journal = stage + "journal";
  n.fileWas = stage + "was";
  n.bakWas = stage + "was-bak";
  n.bigWas = stage + "was-big";
  n.pagesBakWas = stage + "was-pages";
  n.gone = stage + "gone";
  n.live = stage + "live";
  return n;
}

// What a save leaves beside its journal: the staged names, then those of the
// files moved aside.
constexpr std::string TNames::*kLeftNames[] = {&TNames::pagesNew, &TNames::fileNew,     &TNames::bakNew,
                                               &TNames::bigNew,   &TNames::pagesBakWas, &TNames::fileWas,
                                               &TNames::bakWas,   &TNames::bigWas};

// The file steps of a commit in their order: the staged file, the file it
// replaces, where that one waits until the commit is done, and their lines
// in the journal.
struct TFileStep {
  std::string TNames::*from;
  std::string TNames::*to;
  std::string TNames::*was;
  TStagedFile TSaveJournal::*staged;
  std::optional<TStagedFile> TSaveJournal::*replaced;
};
constexpr TFileStep kFileSteps[] = {
    {&TNames::fileNew, &TNames::file, &TNames::fileWas, &TSaveJournal::file, &TSaveJournal::wasFile},
    {&TNames::bakNew, &TNames::bak, &TNames::bakWas, &TSaveJournal::bak, &TSaveJournal::wasBak},
    {&TNames::bigNew, &TNames::big, &TNames::bigWas, &TSaveJournal::big, &TSaveJournal::wasBig},
};

std::string Named(int textId, const std::string& path) { return Format(GetUiText(textId), ShownPath(path)); }

// The same with the system's reason for the step that failed on the path (the
// errno `error`; 0: none known): "cannot write X (No space left on device)".
std::string Named(int textId, const std::string& path, int error) {
  const std::string reason = error != 0 ? ErrnoText(error) : std::string();
  return Named(textId, path) + (reason.empty() ? "" : " (" + reason + ")");
}

// The steps below leave the reason of a failure in the last error. MoveFile
// never replaces: a target that something else put there meanwhile stops the
// step instead of being lost.
bool Move(const std::string& from, const std::string& to) { return MoveFile(from.c_str(), to.c_str()) != 0; }

bool RemoveTree(const std::string& path) {
  if (!PathExists(path)) return true;
  // The deletion tells no reason: none is shown rather than an older one.
  SetLastError(ERROR_SUCCESS);
  DeletePathToRecycle(path, true);
  return !PathExists(path);
}

bool RemoveFile(const std::string& path) { return !PathExists(path) || DeleteFile(path.c_str()) != 0; }

// Deletes a file, or a folder by way of the name `gone`.
bool Drop(const TNames& n, const std::string& path) {
  if (!DirectoryExists(path)) return RemoveFile(path);
  return RemoveTree(n.gone) && Move(path, n.gone) && RemoveTree(n.gone);
}

// Deletes what was moved aside at `aside` when nothing is there or it is a
// copy of what `of` holds now, so that nothing is lost; else it stays.
bool DropCopy(const TNames& n, const std::string& aside, const std::string& of) {
  return !PathExists(aside) || (HeldBy(aside) == HeldBy(of) && Drop(n, aside));
}

// True when the path holds the content (a file's, or a folder's print).
bool HoldsContent(const std::string& path, const std::optional<TStagedFile>& content) {
  return content && HeldBy(path) == *content;
}

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

// Where a step stopped: the path it could not move or replace, or the staged
// one that does not hold what the journal lists; for files in a state that no
// stop of a save leaves, what each of them holds.
struct TStop {
  enum class TKind { kCannotMove, kFolderInPlace, kNotStaged, kUnproven, kCannotRead };
  std::string path;
  TKind kind = TKind::kCannotMove;
  std::string facts = std::string();  // kUnproven: what each file holds; kCannotRead: the reason
  // kCannotMove: the system's reason (an errno, 0: none), taken from the last
  // error when the stop is made, right after the step that failed.
  int error = LastErrorErrno();
};

// The staged files that are still to go in hold what the journal lists.
std::optional<TStop> Verify(const TNames& n, const TSaveJournal& journal) {
  if (journal.pages && PathExists(n.pagesNew) && !FolderHoldsPages(n.pagesNew, journal))
    return TStop{n.pagesNew, TStop::TKind::kNotStaged};
  for (const TFileStep& step : kFileSteps)
    if ((journal.*step.staged).listed && PathExists(n.*step.from) && !FileHolds(n.*step.from, journal.*step.staged))
      return TStop{n.*step.from, TStop::TKind::kNotStaged};
  return std::nullopt;
}

// The commit's renames in their order, each due only in the state before it,
// so that the same steps finish a commit that a kill stopped. A file moves
// aside only while it holds what the journal lists as replaced, and nothing
// is renamed over: a file that another run put in the way stops the step.
// `moved`, when given, gets each name a file or folder was moved to.
std::optional<TStop> Forward(const TNames& n, const TSaveJournal& journal, std::set<std::string>* moved = nullptr) {
  const auto move = [&](const std::string& from, const std::string& to) {
    if (!Move(from, to)) return false;
    if (moved != nullptr) moved->insert(to);
    return true;
  };
  if (journal.pages && DirectoryExists(n.pagesNew)) {
    if (PathExists(n.pages)) {
      if (PathExists(n.pagesBak)) {
        // What a copy of the folder caught there too is a copy of the
        // backup (the recovery sees to it), so it goes.
        if (!DropCopy(n, n.pagesBakWas, n.pagesBak)) return TStop{n.pagesBakWas};
        if (!HoldsContent(n.pagesBak, journal.wasPagesBak) || !move(n.pagesBak, n.pagesBakWas))
          return TStop{n.pagesBak};
      }
      if (!HoldsContent(n.pages, journal.wasPages) || !move(n.pages, n.pagesBak)) return TStop{n.pages};
    }
    if (!move(n.pagesNew, n.pages)) return TStop{n.pages};
  }
  for (const TFileStep& step : kFileSteps) {
    if (!(journal.*step.staged).listed || !PathExists(n.*step.from)) continue;
    if (DirectoryExists(n.*step.to)) return TStop{n.*step.to, TStop::TKind::kFolderInPlace};
    if (PathExists(n.*step.to)) {
      if (!DropCopy(n, n.*step.was, n.*step.to)) return TStop{n.*step.was};
      if (!HoldsContent(n.*step.to, journal.*step.replaced) || !move(n.*step.to, n.*step.was)) return TStop{n.*step.to};
    }
    if (!move(n.*step.from, n.*step.to)) return TStop{n.*step.to};
  }
  return std::nullopt;
}

// True when every step of the save is as before its commit (below).
bool AllBefore(const TNames& n, const TSaveJournal& j);

// The renames of Forward taken back, the last first: each staged file goes
// back to its staged name and the file it replaced back in place, so the
// disk is in the state before the commit, which Forward can finish again.
// Only what holds what this save put there moves (a staged file in place its
// staged content, a file moved aside the content it replaced): what another
// run put there meanwhile stays; with `moved` (Forward's), only what this
// run moved there. True when the old set is whole again.
bool Undo(const TNames& n, const TSaveJournal& journal, const std::set<std::string>* moved = nullptr) {
  // Moves `from` back to `to` when it holds what the save put there and `to`
  // is free; false only when that move failed.
  const auto moveBack = [&](const std::string& from, const std::string& to, bool holds) {
    return !holds || (moved != nullptr && moved->count(from) == 0) || PathExists(to) || Move(from, to);
  };
  bool ok = true;
  for (auto step = std::rbegin(kFileSteps); step != std::rend(kFileSteps); ++step) {
    if (!(journal.*step->staged).listed) continue;
    ok = ok && moveBack(n.*step->to, n.*step->from, FileHolds(n.*step->to, journal.*step->staged));
    ok = ok && moveBack(n.*step->was, n.*step->to, HoldsContent(n.*step->was, journal.*step->replaced));
  }
  if (journal.pages) {
    ok = ok && moveBack(n.pages, n.pagesNew, DirectoryExists(n.pages) && FolderHoldsPages(n.pages, journal));
    ok = ok && moveBack(n.pagesBak, n.pages, journal.pagesExisted && HoldsContent(n.pagesBak, journal.wasPages));
    ok = ok && moveBack(n.pagesBakWas, n.pagesBak, HoldsContent(n.pagesBakWas, journal.wasPagesBak));
  }
  return ok && AllBefore(n, journal);
}

// What a commit leaves once its files are in: the files moved aside go (the
// older page set for good), then the journal. One that does not hold what
// the save moved there is no longer the save's: then every file stays, and
// the journal with them.
std::optional<TStop> Finish(const TNames& n, const TSaveJournal& j) {
  const auto ours = [](const std::string& aside, bool listed, const std::optional<TStagedFile>& replaced) {
    return !listed || !PathExists(aside) || HoldsContent(aside, replaced);
  };
  std::vector<std::pair<std::string, bool>> aside = {{n.pagesBakWas, ours(n.pagesBakWas, j.pages, j.wasPagesBak)}};
  for (const TFileStep& step : kFileSteps)
    aside.emplace_back(n.*step.was, ours(n.*step.was, (j.*step.staged).listed, j.*step.replaced));
  for (const auto& [path, own] : aside)
    if (!own) return TStop{path, TStop::TKind::kNotStaged};
  for (const auto& [path, own] : aside)
    if (!Drop(n, path)) return TStop{path};
  if (!RemoveFile(n.journal)) return TStop{n.journal};
  return std::nullopt;
}

// The contents a message can name, each with its words.
struct TWords {
  std::optional<TStagedFile> content;
  int textId;
};

// What the path holds, in the words of a message; a target that is missing
// is named only when `missingTold`.
void AddFact(std::vector<std::string>& facts, const std::string& path, bool folder, bool missingTold,
             const std::vector<TWords>& words) {
  const TStagedFile held = HeldBy(path);
  const std::string shown = folder ? path + "\\" : path;
  if (!held.listed) {
    if (missingTold) facts.push_back(Named(kMissingTextId, shown));
    return;
  }
  if (!folder && DirectoryExists(path)) return facts.push_back(Named(kFolderInPlaceTextId, path));
  for (const TWords& word : words)
    if (word.content && word.content->listed && *word.content == held)
      return facts.push_back(Named(word.textId, shown));
  facts.push_back(Named(kHoldsOtherTextId, shown));
}

// Without a journal, what the staged files say: the new file, and the copies
// of the file and its backup taken before anything moved (or, moved aside,
// the files themselves).
TSaveJournal JournalOfNames(const TNames& n) {
  const auto held = [](const std::string& first, const std::string& second) {
    const std::string& path = PathExists(first) ? first : second;
    return PathExists(path) ? std::optional(HeldBy(path)) : std::nullopt;
  };
  TSaveJournal j;
  j.file = HeldBy(n.fileNew);
  j.bak = HeldBy(n.bakNew);
  j.big = HeldBy(n.bigNew);
  j.pages = PathExists(n.pagesNew);
  j.wasFile = held(n.bakNew, n.fileWas);
  j.wasBak = held(n.bigNew, n.bakWas);
  j.wasBig = held(n.bigWas, n.bigWas);
  j.wasPagesBak = held(n.pagesBakWas, n.pagesBakWas);
  return j;
}

// What each file of one save holds, as a message says it: by the contents
// that its journal lists (without one, those its staged files hold), in the
// words of a stopped save (`interrupted`) or of the run that failed.
std::string Describe(const TNames& n, const TSaveJournal* journal, bool interrupted) {
  TSaveJournal j = journal != nullptr ? *journal : JournalOfNames(n);
  // A journal of the first format lists the replaced file and backup as the
  // next backup and the next copy of the largest one.
  if (!j.ReplacedKnown() && !j.wasFile && !j.wasBak) {
    if (j.bak.listed) j.wasFile = j.bak;
    if (j.big.listed) j.wasBak = j.big;
  }
  const std::optional<TStagedFile> newFile = j.file.listed ? std::optional(j.file) : std::nullopt;
  const std::optional<TStagedFile> newPages =
      journal == nullptr ? std::optional(HeldBy(n.pagesNew)) : std::optional<TStagedFile>();
  const std::vector<TWords> files = {{newFile, interrupted ? kHoldsStagedTextId : kHoldsNewTextId},
                                     {j.wasFile, kHoldsOldTextId},
                                     {j.wasBak, kBakOldTextId},
                                     {j.wasBig, kBigOldTextId}};
  const std::vector<TWords> folders = {{newPages, interrupted ? kPagesStagedTextId : kPagesNewTextId},
                                       {j.wasPages, kPagesOldTextId},
                                       {j.wasPagesBak, kPagesBakOldTextId}};
  const auto listed = [](const std::optional<TStagedFile>& held) { return held && held->listed; };
  std::vector<std::string> facts;
  AddFact(facts, n.file, false, true, files);
  for (const std::string* path : {&n.fileWas, &n.fileNew}) AddFact(facts, *path, false, false, files);
  AddFact(facts, n.bak, false, j.bak.listed || listed(j.wasBak), files);
  for (const std::string* path : {&n.bakWas, &n.bakNew}) AddFact(facts, *path, false, false, files);
  AddFact(facts, n.big, false, j.big.listed || listed(j.wasBig), files);
  for (const std::string* path : {&n.bigWas, &n.bigNew}) AddFact(facts, *path, false, false, files);
  if (j.pages || PathExists(n.pagesBakWas)) {
    // The new page set is known by the journal's list of its files.
    for (const std::string* path : {&n.pages, &n.pagesNew}) {
      if (journal != nullptr && DirectoryExists(*path) && FolderHoldsPages(*path, *journal))
        facts.push_back(Named(interrupted ? kPagesStagedTextId : kPagesNewTextId, *path + "\\"));
      else
        AddFact(facts, *path, true, path == &n.pages && j.pages, folders);
    }
    AddFact(facts, n.pagesBak, true, listed(j.wasPages) || listed(j.wasPagesBak), folders);
    AddFact(facts, n.pagesBakWas, true, false, folders);
  }
  std::string text;
  for (const std::string& fact : facts) text += (text.empty() ? "" : "; ") + fact;
  return text;
}

TStop Unproven(const TNames& n, const TSaveJournal* journal) {
  return TStop{n.file, TStop::TKind::kUnproven, Describe(n, journal, true)};
}

// Where one step of a commit stands, as a stop of one run leaves it: its
// target still holds what the journal lists as replaced (kBefore), or it was
// moved aside while the staged file waits (kHalfway), or it holds the staged
// content (kDone); a file moved aside is the one the journal lists. Anything
// else is kUnproven: a copy of the folder taken while a save ran, or a backup
// of one brought back over a project saved since, where a staged or moved
// file may be the one copy of a state.
enum class TStepState { kBefore, kHalfway, kDone, kUnproven };

TStepState FileStepState(const TNames& n, const TSaveJournal& j, const TFileStep& step) {
  const TStagedFile& staged = j.*step.staged;
  const TStagedFile& replaced = *(j.*step.replaced);
  const TStagedFile to = HeldBy(n.*step.to);
  const TStagedFile aside = HeldBy(n.*step.was);
  const bool waits = PathExists(n.*step.from);
  // A file moved aside twice (a copy that caught it in both places) is the
  // same content: the commit deletes one before it moves the other.
  const bool asideListed = !aside.listed || aside == replaced;
  if (!waits && to == staged && asideListed) return TStepState::kDone;
  if (to == replaced && asideListed) return TStepState::kBefore;
  if (waits && !to.listed && replaced.listed && aside == replaced) return TStepState::kHalfway;
  return TStepState::kUnproven;
}

// The page sets' renames: "pages.bak\" aside, "pages\" to "pages.bak\", the
// new set in; without an old "pages\" only the last.
TStepState PagesState(const TNames& n, const TSaveJournal& j) {
  const TStagedFile& was = *j.wasPages;
  const TStagedFile& wasBak = *j.wasPagesBak;
  const TStagedFile pages = HeldBy(n.pages);
  const TStagedFile bak = HeldBy(n.pagesBak);
  const TStagedFile aside = HeldBy(n.pagesBakWas);
  const bool waits = PathExists(n.pagesNew);
  const bool newIn = !waits && DirectoryExists(n.pages) && FolderHoldsPages(n.pages, j);
  const bool asideListed = !aside.listed || aside == wasBak;
  if (!j.pagesExisted) {
    if (bak != wasBak || !asideListed) return TStepState::kUnproven;
    if (newIn) return TStepState::kDone;
    return pages.listed ? TStepState::kUnproven : TStepState::kBefore;
  }
  if (newIn && bak == was && asideListed) return TStepState::kDone;
  if (pages == was && bak == wasBak && asideListed) return TStepState::kBefore;
  if (waits && pages == was && !bak.listed && wasBak.listed && aside == wasBak) return TStepState::kHalfway;
  if (waits && !pages.listed && bak == was && aside == wasBak) return TStepState::kHalfway;
  return TStepState::kUnproven;
}

// What a recovery may do with a save its journal lists: put the staged files
// in (every step is before, halfway or done, and each not done has its staged
// file), drop what is left of it (every step is before: the old set is
// whole), or nothing.
enum class TVerdict { kForward, kDrop, kLeave };

TVerdict Judge(const TNames& n, const TSaveJournal& j) {
  if (!j.ReplacedKnown()) return TVerdict::kLeave;
  bool forward = true;
  bool before = true;
  const auto take = [&](TStepState state, bool waits) {
    forward = forward && state != TStepState::kUnproven && (state == TStepState::kDone || waits);
    before = before && state == TStepState::kBefore;
  };
  if (j.pages) take(PagesState(n, j), PathExists(n.pagesNew));
  for (const TFileStep& step : kFileSteps)
    if ((j.*step.staged).listed) take(FileStepState(n, j, step), PathExists(n.*step.from));
  if (forward) return TVerdict::kForward;
  return before ? TVerdict::kDrop : TVerdict::kLeave;
}

// True when every step of the save is as before its commit: the old set is
// whole, its backups included.
bool AllBefore(const TNames& n, const TSaveJournal& j) {
  if (j.pages && PagesState(n, j) != TStepState::kBefore) return false;
  for (const TFileStep& step : kFileSteps)
    if ((j.*step.staged).listed && FileStepState(n, j, step) != TStepState::kBefore) return false;
  return true;
}

// What a commit stopped before its journal leaves, or one whose undo went
// through: staged files beside a project they did not touch, the copies of
// the file and its backup still alike to them. Then every staged name goes.
// Anything else (a file moved aside, a copy unlike its file: a copy of the
// folder taken while a save ran) may be the one copy of a state, so every
// file stays, and the stop says what each holds. Only names with this
// program's mark are touched.
std::optional<TStop> Rollback(const TNames& n) {
  const auto copyOf = [](const std::string& copy, const std::string& of) {
    return !PathExists(copy) || HeldBy(copy) == HeldBy(of);
  };
  if (!copyOf(n.bakNew, n.file) || !copyOf(n.bigNew, n.bak) || !copyOf(n.fileWas, n.file) || !copyOf(n.bakWas, n.bak) ||
      !copyOf(n.bigWas, n.big) || !copyOf(n.pagesBakWas, n.pagesBak))
    return Unproven(n, nullptr);
  for (std::string TNames::*name : kLeftNames)
    if (!Drop(n, n.*name)) return TStop{n.*name};
  return std::nullopt;
}

std::string Told(const TStop& stop) {
  switch (stop.kind) {
    case TStop::TKind::kNotStaged: return Named(kNotStagedTextId, stop.path);
    case TStop::TKind::kFolderInPlace: return Named(kFolderInPlaceTextId, stop.path);
    case TStop::TKind::kUnproven: return Format(GetUiText(kUnprovenTextId), stop.facts);
    case TStop::TKind::kCannotRead: return Format(GetUiText(kCannotReadTextId), ShownPath(stop.path), stop.facts);
    case TStop::TKind::kCannotMove: break;
  }
  return Named(kCannotReplaceTextId, stop.path, stop.error);
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

std::optional<TSaveJournal> ReadJournal(const TNames& n) {
  std::string text;
  return ReadWholeFile(n.journal, text) ? TSaveJournal::Parse(text) : std::optional<TSaveJournal>();
}

// Finishes or undoes the save of one file that a kill stopped, where the
// files are as a stop of it leaves them; the caller holds the folder's lock.
std::optional<TStop> Recover(const TNames& n) {
  if (!RemoveTree(n.gone)) return TStop{n.gone};
  if (!PathExists(n.journal)) return Rollback(n);
  // A journal that this user may not read (another's, made under a private
  // umask) is no journal of a stranger: it is told as unreadable.
  if (const std::optional<TPathFault> fault = ReadFaultOf(n.journal))
    return TStop{n.journal, TStop::TKind::kCannotRead,
                 std::generic_category().message(fault->error != 0 ? fault->error : EIO)};
  const std::optional<TSaveJournal> journal = ReadJournal(n);
  if (!journal) return TStop{n.journal, TStop::TKind::kNotStaged};
  // A journal with nothing staged or moved aside beside it holds no state.
  const bool left = std::any_of(std::begin(kLeftNames), std::end(kLeftNames),
                                [&](std::string TNames::*name) { return PathExists(n.*name); });
  if (!left) return RemoveFile(n.journal) ? std::nullopt : std::optional(TStop{n.journal});
  if (std::optional<TStop> stop = Verify(n, *journal)) return stop;
  switch (Judge(n, *journal)) {
    case TVerdict::kLeave: return Unproven(n, &*journal);
    case TVerdict::kDrop:
      // The journal first: a stop between leaves what Rollback deletes.
      if (!RemoveFile(n.journal)) return TStop{n.journal};
      return Rollback(n);
    case TVerdict::kForward: break;
  }
  if (std::optional<TStop> stop = Forward(n, *journal)) {
    // The old set goes back in place, and the journal stays, so that the next
    // opening tries again once the obstacle is gone.
    Undo(n, *journal);
    return stop;
  }
  return Finish(n, *journal);
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

bool RecoverProjectSave(const std::string& folder, const std::vector<std::string>& files, std::string* fault,
                        bool* elsewhere) {
  const auto savedElsewhere = [&] {
    if (fault != nullptr) *fault = ProjectSavedElsewhere(folder);
    if (elsewhere != nullptr) *elsewhere = true;
    return false;
  };
  const TFolderLock lock(ProjectLockFile(folder));
  if (lock.State() == TFolderLock::TState::kTaken) return savedElsewhere();
  if (lock.State() == TFolderLock::TState::kNoLockFile) {
    // Without the lock another run may be saving here right now: what it
    // staged is left alone, and the files are read as they are. Only a save
    // that its journal shows stopped is worth a word.
    for (const std::string& file : files)
      if (PathExists(NamesOf(folder, file).journal)) {
        if (fault != nullptr) *fault = ProjectLockUnusable(folder, lock.Error());
        return false;
      }
    return true;
  }
  // A save whose process holds its live mark goes on, whatever became of the
  // lock file: none of its files is touched. The marks of dead saves are
  // held while their files are seen to, and then deleted (one a file, also
  // for a file named twice in two letter cases).
  std::vector<std::unique_ptr<TSaveLiveMark>> marks;
  std::set<std::string> marked;
  for (const std::string& file : files) {
    const std::string mark = NamesOf(folder, file).live;
    if (!marked.insert(LowerCase(mark)).second) continue;
    marks.push_back(std::make_unique<TSaveLiveMark>(mark, TSaveLiveMark::TMode::kTake));
    if (marks.back()->State() == TSaveLiveMark::TState::kLive) return savedElsewhere();
  }
  std::optional<TStop> stop;
  for (const std::string& file : files)
    if (!stop) stop = Recover(NamesOf(folder, file));
  RemoveOwnTemporaryFiles(folder, false);
  if (stop && fault != nullptr) *fault = Told(*stop);
  return !stop;
}

std::string ProjectLockFile(const std::string& folder) { return folder + kLockName; }

std::string ProjectSavedElsewhere(const std::string& folder) { return Named(kSavedElsewhereTextId, folder); }

std::string ProjectLockUnusable(const std::string& folder, int error) {
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
