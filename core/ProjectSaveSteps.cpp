#include "core/ProjectSaveSteps.h"

#include "core/FileHelpers.h"
#include "core/UiText.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/Folders.h"
#include "platform/win/MoveFile.h"
#include "platform/win/Paths.h"
#include "platform/win/Win32File.h"

namespace projectsave {

namespace {

constexpr int kCannotReplaceTextId = 7386;  // cannot replace %s
constexpr int kNotStagedTextId = 7568;      // %s does not hold what the interrupted save staged: ...
constexpr int kUnprovenTextId = 7586;       // the files of an interrupted save are not in a state ...: %s
constexpr int kNoJournalTextId = 7660;      // a save of the project was stopped, or ... its journal is missing ...: %s

// The mark of the names one save stages beside its project file. Its '-'
// keeps them from the sweep of the writers' temporary files, which only
// takes names of letters, digits and '_' after the mark.
constexpr const char* kStageMark = ".~tarnwell~save-";

}  // namespace

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

std::string Told(const TStop& stop) {
  switch (stop.kind) {
    case TStop::TKind::kNotStaged: return Named(kNotStagedTextId, stop.path);
    case TStop::TKind::kFolderInPlace: return Named(kFolderInPlaceTextId, stop.path);
    case TStop::TKind::kUnproven: return Format(GetUiText(kUnprovenTextId), stop.facts);
    case TStop::TKind::kNoJournal: return Format(GetUiText(kNoJournalTextId), stop.facts);
    case TStop::TKind::kCannotRead: return Format(GetUiText(kCannotReadTextId), ShownPath(stop.path), stop.facts);
    case TStop::TKind::kCannotMove: break;
  }
  return Named(kCannotReplaceTextId, stop.path, stop.error);
}

std::optional<TSaveJournal> ReadJournal(const TNames& n) {
  std::string text;
  return ReadWholeFile(n.journal, text) ? TSaveJournal::Parse(text) : std::optional<TSaveJournal>();
}

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
std::optional<TStop> Forward(const TNames& n, const TSaveJournal& journal, std::set<std::string>* moved) {
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

bool Undo(const TNames& n, const TSaveJournal& journal, const std::set<std::string>* moved) {
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

bool AllBefore(const TNames& n, const TSaveJournal& j) {
  if (j.pages && PagesState(n, j) != TStepState::kBefore) return false;
  for (const TFileStep& step : kFileSteps)
    if ((j.*step.staged).listed && FileStepState(n, j, step) != TStepState::kBefore) return false;
  return true;
}

}  // namespace projectsave
