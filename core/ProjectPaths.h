#pragma once
// Where the web project and its output live.
//
// The web project is the folder "Tarnwell" inside the host project's folder;
// its compiled output is "SendRoot\WWW\" in the host project's folder. The
// folders come from the host's project manager (HostEnvironment.h) as
// backslash texts ending in a backslash; an empty text means that no project
// is open or that the host call failed, and then no folder is created.
//
// The output-path functions answer in one process-wide buffer that the next
// call overwrites, or null when there is no path to give (use or copy the text before calling again). The text is
// followed by a second NUL, so that it can serve as a one-entry path list for
// the shell's delete operation.

#include <string>

#include "hostapi/IQendProjectManager.h"

// The product word: the web project's folder name and the name of its files.
inline constexpr const char* kProductWord = "Tarnwell";

// Asks one of the project manager's text queries, frees the host's text and
// returns it. Raises EOleSysError when the host answers with a failure (and
// for a null manager, as E_POINTER).
std::string QueryHostText(IQendProjectManager* manager, HRESULT (IQendProjectManager::*query)(char**));

// The host's global folder / the host project folder; empty on any failure.
std::string GetHostProjectPath();
std::string GetHostProjectDir();
// As above; when not empty, the folder + "Tarnwell" is created when missing.
std::string GetProjectPath();
std::string GetProjectDir();

// GetProjectDir + "SendRoot\" / GetProjectDir + "SendRoot\WWW\"; null when no
// project is open (the host gives no folder).
const char* GetSendRootDir();
const char* GetSendRootWwwDir();
// GetProjectDir + "SendRoot\WWW\" + sub-folder (which is created with its
// missing parents) + file name. Null when the file name or the sub-folder is
// not a relative path that stays inside the output folder (a "..", an
// absolute path or a drive), and when no project is open: a path relative to
// the working folder is never made.
const char* GetSendRootWwwPath(const std::string& fileName, const char* subFolder = nullptr);

// The file of a project picture: in global mode GetProjectPath + the global
// folder name + "\Images\" + name, otherwise GetProjectDir + "Tarnwell\Images\"
// + name. Null for an empty name, for a name or global folder name that is
// not a plain name (a separator, "..", a drive), and when the host gives no
// folder. The main form's global flag and folder name are passed by the
// caller.
const char* GetImagePath(const std::string& name, bool globalMode, const std::string& globalDir);
