#pragma once
// Writes of project files that cannot destroy the project: every text is
// first written whole beside its target (flushed), and only then, after the
// backup steps, renamed over the target. A write that fails (a full disk, a
// file-size limit, a folder that refuses new files) leaves every old file as
// it was.
//
// Paths are system paths (see platform/win/Paths.h).

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One file: Stage writes target + ".new", Commit renames it over the target.
// A staged copy that was not committed is removed with the object.
class TStagedFile {
 public:
  explicit TStagedFile(std::string target);
  ~TStagedFile();
  TStagedFile(const TStagedFile&) = delete;
  TStagedFile& operator=(const TStagedFile&) = delete;

  // False when the text could not be written whole (nothing is left behind).
  bool Stage(std::string_view text);
  // Replaces the target by the staged copy; false when nothing was staged or
  // the rename failed.
  bool Commit();
  const std::string& Target() const { return target_; }

 private:
  std::string target_;
  std::string staged_;
  bool pending_ = false;
};

// The page files of the split layout: written into the folder "pages.new\"
// beside "pages\"; Commit then deletes "pages.bak\" for good, renames
// "pages\" to "pages.bak\" and "pages.new\" to "pages\". A staging folder that
// was not committed is removed with the object.
class TStagedPages {
 public:
  // `folder`: the project folder that holds "pages\", ending in a backslash.
  explicit TStagedPages(std::string folder);
  ~TStagedPages();
  TStagedPages(const TStagedPages&) = delete;
  TStagedPages& operator=(const TStagedPages&) = delete;

  // Creates an empty staging folder (a leftover one is emptied first).
  bool Open();
  // Writes one page file (a name already checked to be a plain file name;
  // a later page of the same name replaces an earlier one).
  bool Add(const std::string& name, std::string text);
  // Puts the staged set in place as described above. When "pages\" cannot be
  // moved aside, the staged files are written over the files in it instead.
  bool Commit();

 private:
  std::string folder_;
  std::string staging_;
  bool open_ = false;
  std::vector<std::pair<std::string, std::string>> pages_;
};
