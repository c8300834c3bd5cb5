#pragma once
// Paths at the file-system boundary.
//
// Inside the system paths are the backslash texts the original wrote
// ("C:\\Proj\\Tarnwell\\pages\\p1.xml" or, here, "/home/u/Proj\\Tarnwell\\pages\\p1.xml").
// Every call that reaches the file system converts them with ToNativePath:
// both separators become '/', and each component is matched without regard to
// case against what exists, so "IMAGES", "images" and "Images" name one folder.
// Components that do not exist yet keep the case the caller wrote.

#include <string>
#include <string_view>

#include "platform/win/WinTypes.h"

// The native path of a system path; see above.
std::string ToNativePath(std::string_view path);

// A path as the user reads it on the screen (a window, a message box): every
// '\\' a '/', as the system shows paths ("/home/u/Proj\\Tarnwell\\Demo.xml"
// shows as "/home/u/Proj/Tarnwell/Demo.xml"); also a text whose only '\\' are
// those between the names of its paths. The file system's names are UTF-8:
// a text that is UTF-8 with letters beyond ASCII is shown in the ANSI code
// page (a letter it lacks as '?'), as the screen takes texts; any other text
// (already in the code page) keeps its bytes. Only for showing: the files are
// reached by the path itself.
std::string ShownPath(std::string_view path);

// File and folder names are UTF-8 on the file system and 8-bit texts in a
// code page in the program (the file dialog's fields, the names a project
// takes from its files). TextOfFileName gives the text of a name in
// `codePage` (CP_ACP: the ANSI code page), '?' for each letter the code page
// lacks, and tells through `held` whether it held every letter; a name that
// is not UTF-8 is taken as it stands. FileNameOfText is the way back.
std::string TextOfFileName(std::string_view name, UINT codePage, bool* held = nullptr);
std::string FileNameOfText(std::string_view text, UINT codePage);

// True when a name that came from a project file, the clipboard or the PLC may
// be used as one component inside a folder: not empty, no '/', '\\' or ':', not
// "." or "..".
bool IsSafeFileName(std::string_view name);

// True when a relative path from a project file stays inside its folder: no
// absolute path, no drive, no ".." component, no empty component.
bool IsSafeRelativePath(std::string_view path);
