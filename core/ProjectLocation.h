#pragma once
// Where the project's files lie. The window fills a TProjectLocation from the
// host (through the plug-in frame) when it loads or saves; the project
// document builds every file name from it, so that it needs no host itself.
//
// Paths are system paths (backslash texts, see platform/win/Paths.h).

#include <string>

struct TProjectLocation {
  // The host project's folder, ending in a backslash; empty when no project is open.
  std::string hostProjectDir;
  // The host project's name, without folder or extension.
  std::string hostProjectName;
  // Global mode: the web project is shared through the host's global folder.
  bool globalMode = false;
  // The host's global folder, ending in a backslash (global mode).
  std::string projectPath;
  // The shared web project's folder name below projectPath (global mode).
  std::string globalDir;
  // False when asking the host failed (it raised).
  bool hostAnswered = true;
};

// The file names of one project, built from a location.
struct TProjectFileNames {
  bool usable = false;
  std::string baseFile;      // the single project file (".xml")
  std::string folder;        // the folder of the base file, ending in a backslash
  std::string mainFile;      // folder + "web.xml": the main file of the split layout
  std::string pageFolder;    // folder + "pages\"
  std::string settingsFile;  // host project folder + "Tarnwell\" + name + ".webx"; empty when unknown
};

// The names as the load uses them: usable when the host answered and gave the
// folder the mode needs (the global folder in global mode, the project folder
// otherwise) and, in global mode, the shared folder's name is a plain name.
TProjectFileNames LoadFileNames(const TProjectLocation& location);
// The names as the save uses them: usable when the host answered and gave the
// project folder (in global mode too), the shared folder's name being a plain
// name in global mode.
TProjectFileNames SaveFileNames(const TProjectLocation& location);
