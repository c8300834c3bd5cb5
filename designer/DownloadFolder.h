#pragma once
// The live view's download folder and what closing the designer does with
// it: the pictures fetched from the PLC are kept under the project's
// temporary folder while the designer is open, and emptied when it closes.

#include <string>

#include "core/ProjectLocation.h"

// The project's temporary folder: the host project folder + "Tarnwell\temp\"
// (a system path); empty when no project is open.
std::string ProjectTempFolder(const TProjectLocation& location);

// Deletes everything inside `folder` (files and sub-folders, for good, without
// asking) and keeps the folder. Only a folder that is an absolute path, exists,
// and is `tempFolder` itself or lies below it is touched; `tempFolder` must be
// absolute and exist as well. An empty or relative path (which would name
// something under the working directory), or one that leads elsewhere
// through ".." or a link, deletes nothing. Answers whether the folder was
// emptied.
bool EmptyDownloadFolder(const std::string& folder, const std::string& tempFolder);
