#pragma once
// One folder opened once for work on many entries directly inside it (writing
// files, deleting them, setting their times): each entry is reached by its
// name relative to the open folder, so the folder's path is walked once, not
// once per entry. An entry's name resolves as ToNativePath resolves the last
// component of a path (platform/win/Paths.h): the name as written when it
// exists, else an entry whose name equals it without regard to case.

#include <cstddef>
#include <string>

#include "platform/win/FileIo.h"
#include "platform/win/FolderNames.h"
#include "platform/win/WinTypes.h"

class TFolderEntries {
 public:
  // Opens the folder (a native path, its links followed); a folder that does
  // not exist or cannot be opened holds no entries.
  explicit TFolderEntries(const std::string& nativeFolder);
  ~TFolderEntries();
  TFolderEntries(const TFolderEntries&) = delete;
  TFolderEntries& operator=(const TFolderEntries&) = delete;

  // True when the folder could be opened.
  bool IsOpen() const { return folder_.fd >= 0; }

  // Writes the bytes as the whole new content of the entry, as
  // WriteDerivedFileAt does (a temporary file renamed over it: a failed write
  // leaves the old file whole, and a link is replaced, not followed), and
  // gives its times after the write. The entry is the one its name resolves
  // to, so a file that exists in another letter case is rewritten, not joined
  // by a second one, and takes the name's spelling. False, with the last
  // error set,
  // when anything fails; ERROR_PATH_NOT_FOUND or ERROR_FILE_NOT_FOUND when
  // the folder is not open or no longer exists.
  bool WriteFile(const std::string& name, const void* data, std::size_t size, WrittenFileTimes& times) const;

  // Deletes the entry when it is a file, or a link to a file (the link goes);
  // a folder, a link to a folder or to nothing, or a missing entry stays, as
  // does everything in a folder that could not be opened. False only when a
  // file was there and could not be deleted.
  bool DeleteFile(const std::string& name) const;

  // Sets the entry's times as SetPathFileTime does (through a link; a null, 0
  // or all-ones time stays as it is; no creation time on Linux). False when
  // the entry does not exist or its times cannot be set.
  bool SetFileTime(const std::string& name, const FILETIME* creation, const FILETIME* lastAccess,
                   const FILETIME* lastWrite) const;

 private:
  OpenFolder folder_;
};
