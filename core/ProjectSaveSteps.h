#pragma once
// The names and steps of one save of the project files, shared by the commit
// (ProjectFileCommit.cpp) and the recovery of a stopped save
// (ProjectSaveRecovery.cpp): the staged and moved-aside names beside the
// project file, the commit's renames in their order, their undo, and where
// each step of a save stands. See ProjectFileCommit.h for the whole.
//
// Paths are system paths (see platform/win/Paths.h).

#include <optional>
#include <set>
#include <string>

#include "core/SaveJournal.h"
#include "platform/win/SystemError.h"

namespace projectsave {

inline constexpr int kFolderInPlaceTextId = 7460;  // %s is a folder, not a file
inline constexpr int kCannotReadTextId = 7620;     // cannot read %s (%s)

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

// The names of the save of `file` in `folder` (ending in a backslash).
TNames NamesOf(const std::string& folder, const std::string& file);

// What a save leaves beside its journal: the staged names, then those of the
// files moved aside.
inline constexpr std::string TNames::*kLeftNames[] = {&TNames::pagesNew, &TNames::fileNew,     &TNames::bakNew,
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
inline constexpr TFileStep kFileSteps[] = {
    {&TNames::fileNew, &TNames::file, &TNames::fileWas, &TSaveJournal::file, &TSaveJournal::wasFile},
    {&TNames::bakNew, &TNames::bak, &TNames::bakWas, &TSaveJournal::bak, &TSaveJournal::wasBak},
    {&TNames::bigNew, &TNames::big, &TNames::bigWas, &TSaveJournal::big, &TSaveJournal::wasBig},
};

// The text `textId` with the path shown in it ("cannot write X"); with the
// system's reason for the step that failed on the path (the errno `error`; 0:
// none known): "cannot write X (No space left on device)".
std::string Named(int textId, const std::string& path);
std::string Named(int textId, const std::string& path, int error);

// The file steps. Each leaves the reason of a failure in the last error.
// Move never replaces: a target that something else put there meanwhile
// stops the step instead of being lost.
bool Move(const std::string& from, const std::string& to);
// True when nothing is at the path once done (also when nothing was).
bool RemoveTree(const std::string& path);
bool RemoveFile(const std::string& path);
// Deletes a file, or a folder by way of the name `gone`.
bool Drop(const TNames& n, const std::string& path);
// Deletes what was moved aside at `aside` when nothing is there or it is a
// copy of what `of` holds now, so that nothing is lost; else it stays.
bool DropCopy(const TNames& n, const std::string& aside, const std::string& of);
// True when the path holds the content (a file's, or a folder's print).
bool HoldsContent(const std::string& path, const std::optional<TStagedFile>& content);

// Where a step stopped: the path it could not move or replace, or the staged
// one that does not hold what the journal lists; for files in a state that no
// stop of a save leaves, what each of them holds.
struct TStop {
  enum class TKind { kCannotMove, kFolderInPlace, kNotStaged, kUnproven, kNoJournal, kCannotRead };
  std::string path;
  TKind kind = TKind::kCannotMove;
  std::string facts = std::string();  // kUnproven, kNoJournal: what each file holds; kCannotRead: the reason
  // kCannotMove: the system's reason (an errno, 0: none), taken from the last
  // error when the stop is made, right after the step that failed.
  int error = LastErrorErrno();
};
// The stop as a message says it.
std::string Told(const TStop& stop);

// The journal beside the project file; none when it cannot be read whole.
std::optional<TSaveJournal> ReadJournal(const TNames& n);

// The staged files that are still to go in hold what the journal lists.
std::optional<TStop> Verify(const TNames& n, const TSaveJournal& journal);
// The commit's renames in their order, each due only in the state before it,
// so that the same steps finish a commit that a kill stopped. A file moves
// aside only while it holds what the journal lists as replaced, and nothing
// is renamed over: a file that another run put in the way stops the step.
// `moved`, when given, gets each name a file or folder was moved to.
std::optional<TStop> Forward(const TNames& n, const TSaveJournal& journal, std::set<std::string>* moved = nullptr);
// The renames of Forward taken back, the last first: each staged file goes
// back to its staged name and the file it replaced back in place, so the
// disk is in the state before the commit, which Forward can finish again.
// Only what holds what this save put there moves (a staged file in place its
// staged content, a file moved aside the content it replaced): what another
// run put there meanwhile stays; with `moved` (Forward's), only what this
// run moved there. True when the old set is whole again.
bool Undo(const TNames& n, const TSaveJournal& journal, const std::set<std::string>* moved = nullptr);
// What a commit leaves once its files are in: the files moved aside go (the
// older page set for good), then the journal. One that does not hold what
// the save moved there is no longer the save's: then every file stays, and
// the journal with them.
std::optional<TStop> Finish(const TNames& n, const TSaveJournal& j);

// Where one step of a commit stands, as a stop of one run leaves it: its
// target still holds what the journal lists as replaced (kBefore), or it was
// moved aside while the staged file waits (kHalfway), or it holds the staged
// content (kDone); a file moved aside is the one the journal lists. Anything
// else is kUnproven: a copy of the folder taken while a save ran, or a backup
// of one brought back over a project saved since, where a staged or moved
// file may be the one copy of a state. The journal records what each file
// it replaces held (ReplacedKnown).
enum class TStepState { kBefore, kHalfway, kDone, kUnproven };
TStepState FileStepState(const TNames& n, const TSaveJournal& j, const TFileStep& step);
// The page sets' renames: "pages.bak\" aside, "pages\" to "pages.bak\", the
// new set in; without an old "pages\" only the last.
TStepState PagesState(const TNames& n, const TSaveJournal& j);
// True when every step of the save is as before its commit: the old set is
// whole, its backups included.
bool AllBefore(const TNames& n, const TSaveJournal& j);

// Of the recovery (ProjectSaveRecovery.cpp), which the commit uses too.

// What a recovery may do with a save its journal lists: put the staged files
// in (every step is before, halfway or done, and each not done has its staged
// file), drop what is left of it (every step is before: the old set is
// whole), or nothing.
enum class TVerdict { kForward, kDrop, kLeave };
TVerdict Judge(const TNames& n, const TSaveJournal& j);

// What each file of one save holds, as a message says it: by the contents
// that its journal lists (without one, only what can be known: what the
// staged and moved-aside names hold by how a save makes them, and which
// file is alike to one of them), in the words of a stopped save
// (`interrupted`) or of the run that failed.
std::string Describe(const TNames& n, const TSaveJournal* journal, bool interrupted);

// What a run's own commit leaves when it stopped before its journal, or when
// its undo went through, or what a recovery leaves once its journal proved
// the old set whole: staged files beside a project they did not touch, the
// copies of the file and its backup still alike to them. Then every staged
// name goes. Anything else (a file moved aside, a copy unlike its file) may
// be the one copy of a state, so every file stays, and the stop says what
// each holds. Only names with this program's mark are touched. (A recovery
// that finds no journal deletes only proven copies: see
// ProjectSaveRecovery.cpp.)
std::optional<TStop> Rollback(const TNames& n);

}  // namespace projectsave
