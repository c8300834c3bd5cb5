#pragma once
// One save of a web project's files, whole or not at all: the project file
// (the single file, or "web.xml" of the split layout), its backups and, in the
// split layout, the set of page files in "pages\".
//
// Every new file is first written whole beside its target ("FILE.new", the
// next backup "FILE.bak.new", the next biggest backup "FILE.bak.big.new", the
// new page set in the folder "pages.new\"). Only then is the journal
// "FILE.commit" written, and the staged files are put in place by renames:
//   "pages.bak\" -> "pages.old\", "pages\" -> "pages.bak\", "pages.new\" -> "pages\",
//   "FILE.new" over FILE, "FILE.bak.big.new" over "FILE.bak.big",
//   "FILE.bak.new" over "FILE.bak",
// and "pages.old\" and the journal are deleted. A rename that fails undoes the
// ones before it. A run killed part-way is finished (the journal stands) or
// undone (it does not) by RecoverProjectSave, which the next load of the
// project and the next compile run first, so no staged file stays.
//
// A file whose content does not change is neither written nor backed up, and
// neither is an unchanged page set: the backups keep the state before the last
// real change. A backup is only ever replaced by the content that the new file
// replaces, so the last saved state is never lost; a missing file has no new
// backup, and its old backup stays.
//
// Paths are system paths (see platform/win/Paths.h).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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

  // Writes what changed. True when the new files are in place (or every file
  // held its text already: Changed() tells).
  bool Run();
  bool Changed() const { return changed_; }

  // After a failed Run: what failed, as a message names it ("cannot write
  // X"), and whether every file is as it was before the run (the undo went
  // through). When not, DiskState() says what each file holds.
  const std::string& Fault() const { return fault_; }
  bool Restored() const { return restored_; }
  std::string DiskState() const;

 private:
  bool Stage();
  bool PagesChanged() const;
  bool Fail(std::string fault);
  void Undo();

  std::string folder_;
  std::string file_;
  std::string text_;
  bool backup_ = true;
  bool splitPages_ = false;
  std::vector<std::pair<std::string, std::string>> pages_;
  bool changed_ = false;
  bool fileChanged_ = false;
  bool pagesChanged_ = false;
  bool staged_ = false;
  bool restored_ = true;
  std::string fault_;
};

// Finishes a save of the project file `file` in `folder` that was stopped
// after its journal was written, or undoes one stopped before, and removes
// what it staged. Nothing happens when no save was stopped. False when a
// leftover could not be put in place or removed; then `failedPath`, when
// given, names it.
bool RecoverProjectSave(const std::string& folder, const std::string& file, std::string* failedPath = nullptr);

// The file's size in bytes; 0 when it cannot be opened.
std::uint64_t GetFileSizeByName(const std::string& fileName);
