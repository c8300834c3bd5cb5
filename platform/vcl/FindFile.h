#pragma once
// The folder walk of the class library (unit SysUtils): FindFirst, FindNext
// and FindClose over a TSearchRec.
//
// The path is a system path (see platform/win/Paths.h) whose last component
// is a mask with the wildcards '*' and '?' ("*.*" is every name), letters
// compared without regard to case. As on Windows, a folder's walk begins
// with the entries "." and ".." (not in the root folder), and entries come in
// order of their upper-cased names. Folders are found only when faDirectory
// is asked for. A symbolic link is reported as what it is itself (a file),
// never as the folder it may point to, so that a walk that deletes what it
// finds does not reach outside the tree.

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int faReadOnly = 0x01;
inline constexpr int faHidden = 0x02;
inline constexpr int faSysFile = 0x04;
inline constexpr int faVolumeID = 0x08;
inline constexpr int faDirectory = 0x10;
inline constexpr int faArchive = 0x20;
inline constexpr int faAnyFile = 0x3F;

struct TSearchRec {
  int Time = 0;           // last write, local time as a DOS date and time
  std::int64_t Size = 0;  // bytes
  int Attr = 0;           // fa... flags
  std::string Name;       // the name alone, as it is on disk
  int ExcludeAttr = 0;    // the flags that make an entry skipped

  // The walk's state: the entries still to report.
  struct Entry {
    std::string name;
    int attr = 0;
    int time = 0;
    std::int64_t size = 0;
  };
  std::vector<Entry> Pending;
};

// 0 and the first entry in `rec`, or an error: 2 (file not found) when the
// folder has no matching entry, 3 (path not found) when the folder is missing.
int FindFirst(const std::string& path, int attr, TSearchRec& rec);
// 0 and the next entry, or 18 (no more files).
int FindNext(TSearchRec& rec);
// Ends the walk.
void FindClose(TSearchRec& rec);
