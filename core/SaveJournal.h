#pragma once
// The journal of one save of a project file: what the save staged beside the
// files it replaces, by size and checksum. A recovery puts in place only a
// staged file or page set that still holds what its journal lists, so a file
// of the same name that anything else put there is left alone.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A staged file's size and CRC-32; `listed` is off for a file the save did
// not stage.
struct TStagedFile {
  bool listed = false;
  std::uint64_t size = 0;
  std::uint32_t crc = 0;

  static TStagedFile Of(const std::string& content);
  bool operator==(const TStagedFile&) const = default;
};

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

  std::string Text() const;
  // Empty when the text is not a whole journal of this program.
  static std::optional<TSaveJournal> Parse(const std::string& text);
};

// True when the file holds the staged content.
bool FileHolds(const std::string& path, const TStagedFile& staged);
// True when the folder holds exactly the journal's page files, its sub-folders
// and links aside.
bool FolderHoldsPages(const std::string& folder, const TSaveJournal& journal);
