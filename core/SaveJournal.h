#pragma once
// The journal of one save of a project file: what the save staged beside the
// files it replaces, by size and checksum, and what each file it replaces
// held when the journal was written. A recovery puts in place only a staged
// file or page set that still holds what its journal lists, and only over
// files that still hold what the journal lists as replaced, so a file of the
// same name that anything else put there is left alone.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A staged file's size and CRC-32; `listed` is off for a file the save did
// not stage. As what a path held: off when nothing was there.
struct TStagedFile {
  bool listed = false;
  std::uint64_t size = 0;
  std::uint32_t crc = 0;

  static TStagedFile Of(const std::string& content);
  bool operator==(const TStagedFile&) const = default;
};

// What the path holds now: a file's content, a folder's print (the names,
// sizes and checksums of every file below it, the target of each link, the
// writers' temporary files left out), or nothing. What cannot be read, or
// whose existence cannot be told, gets a size no file has.
TStagedFile HeldBy(const std::string& path);

// A path at or below a file or folder of a save that this user cannot use,
// and the system's error (errno).
struct TPathFault {
  std::string path;
  int error = 0;
};
// The first path at or below `path` that keeps HeldBy from reading it whole
// (a file that cannot be opened, a folder that cannot be listed, a path
// whose existence cannot be told); none when it reads, or nothing is there.
std::optional<TPathFault> ReadFaultOf(const std::string& path);
// The first folder at or below the folder `path` from which this user may
// not delete entries, so that the folder cannot be deleted whole; none when
// every one allows it, or nothing is there.
std::optional<TPathFault> RemoveFaultOf(const std::string& path);

struct TSaveJournal {
  TStagedFile file;           // the project file's new content
  TStagedFile bak;            // its next backup (the content it replaces)
  TStagedFile big;            // the next copy of the largest backup
  bool pages = false;         // a page set was staged
  bool pagesExisted = false;  // "pages\" existed when it was staged
  // The files of the staged page folder: the pages, and the user's files
  // that the save carried along, by their path from the folder ('/' between
  // folders).
  struct TPage {
    std::string name;
    TStagedFile staged;
  };
  std::vector<TPage> pageFiles;
  // What each file the save replaces held (HeldBy) when the journal was
  // written: the file, its backup and biggest backup for those staged, and
  // "pages\" and "pages.bak\" for a page set. All empty in a journal of the
  // first format, which did not record them.
  std::optional<TStagedFile> wasFile, wasBak, wasBig, wasPages, wasPagesBak;

  // True when the journal records what every file it replaces held.
  bool ReplacedKnown() const;
  std::string Text() const;
  // Empty when the text is not a whole journal of this program.
  static std::optional<TSaveJournal> Parse(const std::string& text);
};

// True when the file holds the staged content.
bool FileHolds(const std::string& path, const TStagedFile& staged);
// True when the folder holds exactly the journal's page files, its sub-folders,
// links, pipes, sockets and devices aside.
bool FolderHoldsPages(const std::string& folder, const TSaveJournal& journal);
