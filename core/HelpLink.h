#pragma once
// The help link: the plug-in's compiled help file for the UI language, with a
// fallback to other languages, shown in the HTML Help viewer.
//
// Help files lie in the "HELP" folder beside the host's program folder:
// base folder (HelpBaseFolder, HostEnvironment.h) + "\..\HELP\" + the
// language code + "_" + the base name + ".chm", where the code is "CSY" for
// language index 0, "RUS" for 2, "DEU" for 4, "PLK" for 5 and "ENU" for any
// other index.

#include <string>

// Index 255: the base name is the full path already and comes back as it is.
inline constexpr int kHelpFullPath = 255;

// The help file's path for a language index. The base name's own extension is
// replaced by ".chm". With `fallBack` set, while nothing exists at the path
// the English, German and Czech files are tried in this order; when none
// exists the result is the path of the language asked for.
std::string GetHelpFilePath(int languageIndex, const std::string& baseName, bool fallBack);

// Opens the help file of the language (or of its fallback) in the viewer:
// at its default topic when the topic and the keyword are both empty (after
// trimming; the topic also loses its extension), otherwise through a keyword
// lookup (keyword given) and an A-link lookup of "a_" + topic (topic given).
// False when no help file exists or the viewer is missing; true when the
// viewer was asked. A lookup that finds nothing shows UI text 7128 ("Topic
// not found") in a plain message box (ShowPlainMessage).
bool ShowHelp(int languageIndex, const std::string& baseName, const std::string& topic, const std::string& keyword);
