#pragma once
// The files of the web project as the host wants them for its online backup
// and for its list of the project's files: the settings file, the project
// (one file, or "web.xml" with the "pages\" folder), the flag files, the
// variables document, the stamp list and the import folder; the project's
// pictures for the file list. Paths are the host's backslash texts.

#include <functional>
#include <string>
#include <vector>

#include "hostapi/HostEvents.h"

using TAddWebFile = std::function<void(const std::string& path)>;

// The import folder: the web project folder's "Import\", or with the main
// form's Global set the host's global path + GlobalDir + "\Import\". Empty
// when the host gives no folder.
std::string GetImportFolder();

// Hands every file of the web project to `add`: `folder` is the project's
// folder (ending in a backslash), `name` the host project's name. Files that
// the host is always given are named whether or not they exist.
void ListWebProjectFiles(const std::string& folder, const std::string& name, const TAddWebFile& add);

// Every file below base + relative (relative empty or ending in a
// backslash), in subfolders too; names beginning with a full stop are left
// out. Sorted by name in each folder.
void ListFolderFiles(const std::string& base, const std::string& relative, const TAddWebFile& add);

// The pictures' file names of the project: from the designer's document
// when it holds one, else read from the project file ("web.xml" of the split
// layout, or the single file).
std::vector<std::string> ProjectImageNames(const std::string& folder, const std::string& name);

// The online backup's folder walk: ListFolderFiles into the backup, flag 0.
void AddFolderToOnlinePlcBackup(const std::string& base, const std::string& relative, IHalvexOnlinePlcBackup* backup);
