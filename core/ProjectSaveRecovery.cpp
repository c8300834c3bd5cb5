#include "core/ProjectSaveRecovery.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <system_error>

#include "core/FileHelpers.h"
#include "core/ProjectFileCommit.h"
#include "core/ProjectSaveSteps.h"
#include "core/SaveJournal.h"
#include "core/SaveLiveMark.h"
#include "core/UiText.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileLock.h"
#include "platform/win/Folders.h"
#include "platform/win/Paths.h"

namespace projectsave {

namespace {

constexpr int kHoldsOldTextId = 7561;         // %s holds the project as it was
constexpr int kHoldsNewTextId = 7562;         // %s holds the project as saved now
constexpr int kPagesOldTextId = 7563;         // %s holds the pages as they were
constexpr int kPagesNewTextId = 7564;         // %s holds the pages as saved now
constexpr int kMissingTextId = 7565;          // %s is missing
constexpr int kBakOldTextId = 7580;           // %s holds the project's backup as it was
constexpr int kBigOldTextId = 7581;           // %s holds the copy of the project's largest backup as it was
constexpr int kPagesBakOldTextId = 7582;      // %s holds the backup of the pages as it was
constexpr int kHoldsStagedTextId = 7583;      // %s holds the project as the interrupted save was writing it
constexpr int kPagesStagedTextId = 7584;      // %s holds the pages as the interrupted save was writing them
constexpr int kHoldsOtherTextId = 7585;       // %s holds neither what the save wrote nor what it replaced
constexpr int kStagedMayBeLastTextId = 7661;  // %s holds the project as the interrupted save was writing it, ...
constexpr int kPagesMayBeLastTextId = 7662;   // %s holds the pages as the interrupted save was writing them, ...
constexpr int kFileThereTextId = 7663;        // %s is there (%s bytes)
constexpr int kFolderThereTextId = 7664;      // %s is there

// The staged files and page sets that a run of this process wrote and then
// could not delete (its rollback failed too), by path, with what each held:
// the run's own, whose content its designer still holds.
std::map<std::string, TStagedFile>& LeftByThisProcess() {
  static std::map<std::string, TStagedFile> left;
  return left;
}

// The contents a message can name, each with its words.
struct TWords {
  std::optional<TStagedFile> content;
  int textId;
};

// What the path holds, in the words of a message; a target that is missing
// is named only when `missingTold`. Content that none of `words` names is
// told as neither what the save wrote nor what it replaced where the journal
// lists both (`known`); else only as there, with a file's size.
void AddFact(std::vector<std::string>& facts, const std::string& path, bool folder, bool missingTold,
             const std::vector<TWords>& words, bool known = true) {
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
  if (known) return facts.push_back(Named(kHoldsOtherTextId, shown));
  if (folder) return facts.push_back(Named(kFolderThereTextId, shown));
  facts.push_back(Format(GetUiText(kFileThereTextId), ShownPath(shown), std::to_string(GetFileSizeByName(path))));
}

// Without a journal, only the names of the staged and moved-aside files tell
// what they hold, by how a save makes them; a file of the project is told by
// the one it is alike to, or else only as there: what the save wrote or
// replaced is not known, and a staged file may hold the last save (a copy of
// the folder taken while a save ran holds the new project only there).
std::string DescribeUnjournaled(const TNames& n) {
  struct TLeft {
    const std::string* path;
    int textId;
  };
  const TLeft files[] = {{&n.fileWas, kHoldsOldTextId}, {&n.fileNew, kStagedMayBeLastTextId},
                         {&n.bakWas, kBakOldTextId},    {&n.bakNew, kHoldsOldTextId},
                         {&n.bigWas, kBigOldTextId},    {&n.bigNew, kBakOldTextId}};
  const TLeft folders[] = {{&n.pagesNew, kPagesMayBeLastTextId}, {&n.pagesBakWas, kPagesBakOldTextId}};
  std::vector<TWords> words;
  for (const TLeft& left : files)
    if (PathExists(*left.path)) words.push_back({HeldBy(*left.path), left.textId});
  for (const TLeft& left : folders)
    if (PathExists(*left.path)) words.push_back({HeldBy(*left.path), left.textId});
  std::vector<std::string> facts;
  const auto told = [&](const TLeft& left, bool folder) {
    if (!PathExists(*left.path)) return;
    if (!folder && DirectoryExists(*left.path)) return facts.push_back(Named(kFolderInPlaceTextId, *left.path));
    facts.push_back(Named(left.textId, folder ? *left.path + "\\" : *left.path));
  };
  const std::string* targets[] = {&n.file, &n.bak, &n.big};
  for (std::size_t i = 0; i < std::size(targets); ++i) {
    const bool beside = PathExists(*files[2 * i].path) || PathExists(*files[2 * i + 1].path);
    AddFact(facts, *targets[i], false, i == 0 || beside, words, false);
    told(files[2 * i], false);
    told(files[2 * i + 1], false);
  }
  if (PathExists(n.pagesNew) || PathExists(n.pagesBakWas)) {
    AddFact(facts, n.pages, true, PathExists(n.pagesNew), words, false);
    told(folders[0], true);
    AddFact(facts, n.pagesBak, true, PathExists(n.pagesBakWas), words, false);
    told(folders[1], true);
  }
  std::string text;
  for (const std::string& fact : facts) text += (text.empty() ? "" : "; ") + fact;
  return text;
}

}  // namespace

// What each file of one save holds, as a message says it: by the contents
// that its journal lists (without one, those its staged files hold), in the
// words of a stopped save (`interrupted`) or of the run that failed.
std::string Describe(const TNames& n, const TSaveJournal* journal, bool interrupted) {
  if (journal == nullptr) return DescribeUnjournaled(n);
  TSaveJournal j = *journal;
  // A journal of the first format lists the replaced file and backup as the
  // next backup and the next copy of the largest one.
  if (!j.ReplacedKnown() && !j.wasFile && !j.wasBak) {
    if (j.bak.listed) j.wasFile = j.bak;
    if (j.big.listed) j.wasBak = j.big;
  }
  const std::optional<TStagedFile> newFile = j.file.listed ? std::optional(j.file) : std::nullopt;
  const std::optional<TStagedFile> newPages;
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
      if (DirectoryExists(*path) && FolderHoldsPages(*path, *journal))
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

namespace {

TStop Unproven(const TNames& n, const TSaveJournal* journal) {
  return TStop{n.file, TStop::TKind::kUnproven, Describe(n, journal, true)};
}
}  // namespace

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

std::optional<TStop> Rollback(const TNames& n) {
  const auto copyOf = [](const std::string& copy, const std::string& of) {
    return !PathExists(copy) || HeldBy(copy) == HeldBy(of);
  };
  if (!copyOf(n.bakNew, n.file) || !copyOf(n.bigNew, n.bak) || !copyOf(n.fileWas, n.file) || !copyOf(n.bakWas, n.bak) ||
      !copyOf(n.bigWas, n.big) || !copyOf(n.pagesBakWas, n.pagesBak))
    return Unproven(n, nullptr);
  for (const std::string* staged : {&n.fileNew, &n.pagesNew})
    if (PathExists(*staged)) LeftByThisProcess()[*staged] = HeldBy(*staged);
  for (std::string TNames::*name : kLeftNames)
    if (!Drop(n, n.*name)) return TStop{n.*name};
  return std::nullopt;
}

namespace {

// Without a journal nothing tells what a save wrote or replaced, so a staged
// or moved-aside file goes only as a copy of a file of the project that
// stays: a staged file or page set alike to the one it was to replace, a
// staged backup alike to the file it copies or replaces, a file moved aside
// alike to the one in its place. Anything else may be the only copy of the
// last save (a copy of the folder taken while a save ran holds the new
// project only under its staged name), so every file stays, and the stop
// says what each holds.
std::optional<TStop> RecoverUnjournaled(const TNames& n) {
  const auto copyOf = [](const std::string& copy, std::initializer_list<const std::string*> of) {
    if (!PathExists(copy)) return true;
    const TStagedFile held = HeldBy(copy);
    // What cannot be read is no proven copy of anything.
    if (held.size == ~std::uint64_t{0}) return false;
    // A run's own leftover: it holds its changes still, and saves them anew.
    const auto own = LeftByThisProcess().find(copy);
    if (own != LeftByThisProcess().end() && own->second == held) return true;
    return std::any_of(of.begin(), of.end(), [&](const std::string* path) { return HeldBy(*path) == held; });
  };
  // A page folder with no entry at all (a save stopped right after it made
  // the folder) holds nothing that could be lost.
  const auto empty = [](const std::string& folder) {
    std::error_code ec;
    const std::string native = ToNativePath(folder);
    return std::filesystem::is_directory(std::filesystem::symlink_status(native, ec)) &&
           std::filesystem::is_empty(native, ec) && !ec;
  };
  if (!copyOf(n.fileNew, {&n.file}) || !copyOf(n.bakNew, {&n.file, &n.bak}) || !copyOf(n.bigNew, {&n.bak, &n.big}) ||
      !copyOf(n.fileWas, {&n.file}) || !copyOf(n.bakWas, {&n.bak}) || !copyOf(n.bigWas, {&n.big}) ||
      !(empty(n.pagesNew) || copyOf(n.pagesNew, {&n.pages})) ||
      !(empty(n.pagesBakWas) || copyOf(n.pagesBakWas, {&n.pagesBak})))
    return TStop{n.file, TStop::TKind::kNoJournal, DescribeUnjournaled(n)};
  for (std::string TNames::*name : kLeftNames)
    if (!Drop(n, n.*name)) return TStop{n.*name};
  return std::nullopt;
}

// Finishes or undoes the save of one file that a kill stopped, where the
// files are as a stop of it leaves them; the caller holds the folder's lock.
std::optional<TStop> Recover(const TNames& n) {
  if (!RemoveTree(n.gone)) return TStop{n.gone};
  if (!PathExists(n.journal)) return RecoverUnjournaled(n);
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

}  // namespace projectsave

using namespace projectsave;

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

bool UnjournaledSaveLeft(const std::string& folder, const std::string& file) {
  const TNames n = NamesOf(folder, file);
  return !PathExists(n.journal) && std::any_of(std::begin(kLeftNames), std::end(kLeftNames),
                                               [&](std::string TNames::*name) { return PathExists(n.*name); });
}
