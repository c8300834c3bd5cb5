#pragma once
// One save of a web project's files, whole or not at all: the project file
// (the single file, or "web.xml" of the split layout), its backups and, in the
// split layout, the set of page files in "pages\".
//
// Every new file is first written whole and flushed beside its target under
// a name of this program's own, FILE + ".~tarnwell~save-" + "new" (the new
// file), "bak" (its next backup), "big" (the next copy of the largest backup)
// and "pages" (the folder of the new page set). Then the journal
// (".~tarnwell~save-journal") lists what was staged, by size and checksum,
// and the staged files go in place by renames: the page sets ("pages.bak\"
// aside, "pages\" to "pages.bak\", the new set to "pages\"), then the file,
// its backup and its biggest backup, each after the file it replaces was
// moved aside (to ".~tarnwell~save-was..."). Every step can thus be undone
// exactly: a rename that fails undoes the ones before it, so that the old set
// is whole again, backups included. Once all are in, the files moved aside and
// the journal are deleted. No rename replaces a file: one that something else
// put in the way stops the step. The undo moves back only what this run moved
// and what still holds what it moved there (a staged file its staged content,
// a file moved aside the content it replaced), and says the old set is whole
// only when every file holds what it held before.
//
// A run killed part-way is finished (the journal stands) or undone (it does
// not) by RecoverProjectSave (ProjectSaveRecovery.h), which the next load
// of the project, the next compile and the next save run first. It acts only on names that carry this
// program's mark, and puts in place only a staged file or page set that holds
// what its journal lists: anything else is left alone, and said.
//
// A save, a recovery and a load take the project folder's lock (TFolderLock,
// FileLock.h), so that two runs on one project never work on each other's
// save: a run that finds the lock taken waits (long enough for a slow save of
// a large project) and then says that another program is saving or opening
// the project, leaving its files as they are. Where the lock file cannot be
// used (a folder at its path, a folder that may not be written), a save is
// refused and names the lock file, and a recovery does nothing: another run
// may be saving. A save that stages also holds its live mark, FILE +
// ".~tarnwell~save-live" (SaveLiveMark.h), from before its first staged file
// until its commit ends: a recovery that finds it held by another run (whose
// folder lock went with a lock file deleted by hand) touches none of that
// file's names and says that another program is saving, as for a lock taken;
// one that no process holds is a dead save's, and the recovery deletes it.
//
// Each staged file and the staged page folder take the mode and group of the
// file or folder they replace, so that whoever could read the project still
// can. A file of the user's in "pages\" that no page of the project names,
// before the save or after (notes, drafts), goes along into every new page
// set, listed in the journal with the pages, and never counts as a change,
// whenever it came; a pipe, a socket or a device goes along as an entry of
// its kind, never opened (one this user may not make fails the save).
//
// A save that says what it read (SetExpected) writes only while the files
// still hold that, checked under the lock after the recovery: what another
// run saved in the meantime is never written over unasked.
//
// A file whose content does not change is neither written nor backed up, and
// neither is an unchanged page set (the user's files in it aside): the
// backups keep the state before the last real change. A backup is only ever
// replaced by the content that the new file replaces, so the last saved state
// is never lost; a missing file has no new backup, and its old backup stays.
//
// Paths are system paths (see platform/win/Paths.h).

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/ProjectFilePrint.h"
#include "core/ProjectSaveRecovery.h"
#include "core/SaveJournal.h"
#include "core/SaveLiveMark.h"

class TProjectFileCommit {
 public:
  // `folder`: the web project's folder, ending in a backslash; `file`: the
  // project file in it (the single file or "web.xml").
  TProjectFileCommit(std::string folder, std::string file);
  ~TProjectFileCommit();
  TProjectFileCommit(const TProjectFileCommit&) = delete;
  TProjectFileCommit& operator=(const TProjectFileCommit&) = delete;

  // The text the project file is to hold.
  void SetText(std::string text);
  // Off: the file's present content is no state to keep (a compile's copy of
  // changes not saved yet), so its backups stay as they are.
  void SetBackup(bool on) { backup_ = on; }
  // The split layout: the page files that "pages\" is to hold, by name (names
  // already checked to be plain file names; a later page of the same name
  // replaces an earlier one).
  void SetPages(std::vector<std::pair<std::string, std::string>> pages);

  // What the caller read or last wrote of these files. Run then checks,
  // under the lock, that no file holds anything else (but what this commit
  // writes): else it writes nothing and fails with ChangedElsewhere().
  void SetExpected(TProjectFilePrint seen) { expected_ = std::move(seen); }

  // Writes what changed. True when the new files are in place (or every file
  // held its text already: Changed() tells).
  bool Run();
  bool Changed() const { return changed_; }
  // After a successful Run: what the files hold now, the caller's next
  // expectation.
  const TProjectFilePrint& Print() const { return written_; }
  // After a failed Run: another run changed the files since the expected
  // state; Found() is what they held at the check, which the caller may
  // expect in a Run that replaces them.
  bool ChangedElsewhere() const { return changedElsewhere_; }
  const TProjectFilePrint& Found() const { return found_; }

  // After a failed Run: what failed, as a message names it ("cannot write
  // X"), and whether every file is as it was before the run (the undo went
  // through). When not, DiskState() says what each file of the save holds
  // (the project file, its backups, the page sets, and the staged and
  // moved-aside files), by the contents the journal lists.
  const std::string& Fault() const { return fault_; }
  bool Restored() const { return restored_; }
  std::string DiskState() const;
  // After a failed Run whose undo did not go through: the journal stands and
  // the files are as a stop of the run leaves them, so the next opening of
  // the project finishes the save.
  bool FinishedAtOpen() const;

 private:
  // What this save is to write, and what the files hold once it is in (true).
  TProjectFilePrint Planned() const;
  bool Written();
  bool Stage();
  bool PagesChanged() const;
  bool StagePages(TSaveJournal& journal);
  bool StillAsExpected();
  bool Fail(std::string fault);

  std::string folder_;
  std::string file_;
  std::string text_;
  bool backup_ = true;
  bool splitPages_ = false;
  std::vector<std::pair<std::string, std::string>> pages_;
  std::optional<TProjectFilePrint> expected_;
  TProjectFilePrint found_;
  TProjectFilePrint written_;
  bool changedElsewhere_ = false;
  bool changed_ = false;
  bool fileChanged_ = false;
  bool pagesChanged_ = false;
  bool staged_ = false;
  TSaveJournal journal_;
  // Held from before the first staged file until the commit ends.
  std::optional<TSaveLiveMark> live_;
  bool restored_ = true;
  std::string fault_;
};

// The lock file of the project folder `folder` (ending in a backslash).
std::string ProjectLockFile(const std::string& folder);
// The words for a project folder whose lock another run held for the whole
// wait ("another program is saving or opening the project in X").
std::string ProjectSavedElsewhere(const std::string& folder);
// The words for a project folder whose lock file could not be made or opened
// (TFolderLock::Error() gives `error`): "the lock file X of the project
// folder cannot be used: it is a folder, not a file" (a link, no file, or the
// system's reason).
std::string ProjectLockUnusable(const std::string& folder, int error);
// The notice of a run that waits for the lock file `lockFile` of a project
// folder, which the process `pid` holds (0: not known), for up to `waitMs`.
std::string ProjectLockWaitNotice(const std::string& lockFile, int pid, int waitMs);

// The file's size in bytes; 0 when it cannot be opened.
std::uint64_t GetFileSizeByName(const std::string& fileName);
