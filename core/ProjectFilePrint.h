#pragma once
// What a run knows of the project files it read or last wrote: each file by
// size and CRC-32. A save compares it with the disk under the folder's lock
// (TProjectFileCommit), so that it never writes over what another run saved
// in the meantime without the user's word.
//
// Paths are system paths (see platform/win/Paths.h).

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/SaveJournal.h"

struct TProjectFilePrint {
  // The files that exist, by path: the project file and, in the split
  // layout, each file of the page folder.
  std::map<std::string, TStagedFile> files;
  // The files that are there, or may be, but cannot be read (and the page
  // folder when it cannot be listed), by path, with the system's error: what
  // they hold is not known, so they count neither as read nor as changed.
  std::map<std::string, int> unreadable;
  // The split layout: the page folder (ending in a backslash) and the names,
  // in small letters, of the pages that the project file names (as read, or
  // as written). A file of the folder that no page names is the user's.
  std::string pageFolder;
  std::set<std::string> pageNames;
  bool operator==(const TProjectFilePrint&) const = default;
};

// What `file` holds now and, when `pageFolder` is given, each file of that
// folder (this program's temporary files left out) and the names of the
// pages that `file` names.
TProjectFilePrint ReadProjectFilePrint(const std::string& file, const std::string& pageFolder = std::string());
// What `file` and the page files `pages` (by name, in `pageFolder`) hold
// once these texts are written.
TProjectFilePrint ProjectFilePrintOf(const std::string& file, const std::string& text,
                                     const std::string& pageFolder = std::string(),
                                     const std::vector<std::pair<std::string, std::string>>& pages = {});
// The files of `now` that hold neither what `seen` lists for them nor what
// `written` does: what another run changed or made since `seen`. A file gone
// since is no content to keep, and not listed; nor is one that cannot be read,
// nor a file of the page folder that no page names in any of the three (the
// user's notes or drafts, whenever they came).
std::vector<std::string> FilesChangedSince(const TProjectFilePrint& seen, const TProjectFilePrint& now,
                                           const TProjectFilePrint& written);

// The names, in small letters, of the pages that the project file's text
// names; none when the text holds no project.
std::set<std::string> PageNamesIn(const std::string& text);
